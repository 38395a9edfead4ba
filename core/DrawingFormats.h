#pragma once
// The drawing formats this build writes: PNG pictures always, SVG drawings where
// Qt SVG was there to build with (GYRO_HAVE_SVG; a Windows build may lack it).
#include <QString>

namespace gyro {

#ifdef GYRO_HAVE_SVG
inline constexpr bool SvgDrawingsAvailable = true;
#else
inline constexpr bool SvgDrawingsAvailable = false;
#endif

inline QString SvgUnavailableText()
{
    return QStringLiteral("SVG drawings are not available in this build; use a .png name");
}

inline bool IsSvgName(const QString& path)
{
    return path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
}

// A save dialog's filter: the PNG entry, and the SVG one where this build draws it.
inline QString DrawingFileFilter(const QString& pngEntry)
{
    return SvgDrawingsAvailable ? pngEntry + QStringLiteral(";;SVG drawing (*.svg)") : pngEntry;
}

} // namespace gyro
