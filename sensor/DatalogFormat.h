#pragma once
// The text of a log file: separator and extension from the decimal mark, the file
// name, the seven header lines and the column titles. Numbers go through the
// shared general format, so the files read as the windows show.
#include "DatalogSettings.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <cstdint>

namespace gyro {

struct DatalogTextFormat {
    QChar separator;   // ',' or a tab
    QString extension; // ".csv" or ".txt"
};

// Where 1.2 is written with a decimal comma, a comma cannot also part the fields:
// tab and ".txt"; otherwise comma and ".csv".
DatalogTextFormat DatalogFormatFor(const QLocale& locale);

// "DATALOG_3.csv": base name, "_", the file number, the extension.
QString DatalogFileName(const QString& baseName, std::int64_t fileNumber, const DatalogTextFormat& format);

// Why `name` cannot name a file directly in a folder (empty when it can): empty,
// "." or "..", a path separator (either slash) or a control character (NUL, a line
// break, which would split the path where it is printed).
QString FileNameProblem(const QString& name);
bool NamesFileInFolder(const QString& name);

// Line 7: "Sample #", "Time(sec)" when timed, then flag and value titles of every
// selected register in column order; a separator after each field.
QString DatalogTitleLine(const DatalogSettings& settings, QChar separator);

// What the header states about one file.
struct DatalogFileFacts {
    QString fileName;        // without folder
    QDate date;              // when the header is written
    double timeOfDaySeconds; // seconds since midnight, when the header is written
    float beginSeconds;      // seconds since midnight at the first sample
    float endSeconds;        // seconds since midnight after the last sample
};

// The seven header lines, each ended by CR LF, in the file's 8-bit encoding.
QByteArray DatalogHeader(const DatalogSettings& settings, const DatalogTextFormat& format,
                         const DatalogFileFacts& facts);

// The locale's long time pattern without the time zone: "HH:mm:ss", "h:mm:ss AP".
QString TimeOfDayPattern(const QLocale& locale);

} // namespace gyro
