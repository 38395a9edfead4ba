#pragma once
// How a log file is laid out, learnt from its first lines: the program's own logs
// (comma or tab separated, decimal point or comma, with or without the seven
// header lines, with a time column and new-data flag columns or without) and
// plain files with one number a line.
#include <QString>
#include <QStringList>
#include <optional>
#include <string_view>
#include <vector>

namespace gyro::analysis {

struct LogLayout {
    char separator = 0;     // ',', '\t' or ';'; 0: one number a line
    char decimalMark = '.'; // '.' or ','
    int linesBeforeData = 0;
    QStringList titles;                 // the column-title line; empty when there is none
    std::optional<double> beginSeconds; // the header's "Begin Seconds"
    std::optional<double> endSeconds;   // the header's "End Seconds"
    int timeColumn = -1;                // "Time(sec)", or -1
};

// The layout from the file's first lines (a few kilobytes are enough).
LogLayout DetectLogLayout(std::string_view head);

// The first line after the header (or the first line that holds a digit), without
// its line end: the one that shows how many fields a data line has.
std::string_view FirstDataLine(std::string_view head, const LogLayout& layout);

// The field index of a column: by title ("Gyro"; case is ignored), or, for a file
// without titles, by number counted from 1. Without titles and without a name the
// last field holds the series (the program's last column, or the only number).
// -1 and the reason in `error` when there is no such column.
int FindLogColumn(const LogLayout& layout, const QString& name, int fieldsPerLine, QString* error);

// The fields of a line; the separator after the last field (the program ends every
// line with one) makes no empty field.
std::vector<std::string_view> SplitLogFields(std::string_view line, char separator);

// A number in the file's notation (its decimal mark, blanks around it allowed).
std::optional<double> ParseLogNumber(std::string_view field, char decimalMark);

} // namespace gyro::analysis
