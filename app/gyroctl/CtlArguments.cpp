#include "CtlArguments.h"

#include "NumberText.h"

#include <QLocale>
#include <cmath>

namespace gyro {

bool AtMostArguments(CtlContext& c, qsizetype most)
{
    if (c.options.arguments.size() <= most)
        return true;
    c.err << "gyroctl: " << c.options.command << " takes at most " << most << " argument"
          << (most == 1 ? "" : "s") << Qt::endl;
    return false;
}

std::optional<double> StrictNumber(CtlContext& c, const QString& text, const char* what)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (ok && std::isfinite(value))
        return value;
    c.err << "gyroctl: " << what << " '" << text << "' is not a number" << Qt::endl;
    return std::nullopt;
}

void NoteCorrection(CtlContext& c, const char* what, double entered, const QString& used)
{
    c.err << "gyroctl: " << what << ' ' << GeneralFormat(entered) << " is out of range; using " << used
          << Qt::endl;
}

} // namespace gyro
