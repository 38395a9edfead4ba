#include "RegisterLogFile.h"

#include "WholeFile.h"

#include <QDir>

namespace gyro {

QString RegisterLogPath(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Registers_LOG.txt"));
}

bool WriteRegisterLog(const QString& programFolder, const QString& text, QString* error)
{
    // A text box may hold its lines with LF or CR LF ends; the file has CR LF.
    QString content = text;
    content.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    content.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    content += QStringLiteral("\r\n");
    return WriteFileWhole(RegisterLogPath(programFolder), content.toUtf8(), error);
}

} // namespace gyro
