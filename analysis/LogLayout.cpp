#include "LogLayout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace gyro::analysis {

namespace {

std::vector<std::string_view> linesOf(std::string_view text, std::size_t most)
{
    std::vector<std::string_view> lines;
    while (!text.empty() && lines.size() < most) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            break; // a cut-off last line is not looked at
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace

std::vector<std::string_view> SplitLogFields(std::string_view line, char separator)
{
    std::vector<std::string_view> fields;
    if (separator == 0) {
        fields.push_back(line);
        return fields;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(separator, start);
        if (end == std::string_view::npos) {
            if (start < line.size())
                fields.push_back(line.substr(start)); // a final field without a separator after it
            return fields;
        }
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
}

namespace {

bool startsWith(std::string_view line, std::string_view prefix)
{
    return line.substr(0, prefix.size()) == prefix;
}

std::optional<double> headerNumber(std::string_view line, std::string_view title, char separator,
                                   char decimalMark)
{
    if (!startsWith(line, title) || line.size() <= title.size() || line[title.size()] != separator)
        return std::nullopt;
    return ParseLogNumber(line.substr(title.size() + 1), decimalMark);
}

// The separator of a data line: a tab or a semicolon if there is one, else a comma,
// else none (one number a line). A single comma with nothing after it ending the
// line is a decimal comma ("0,25"): the program ends every data line with its
// separator, so its comma-separated lines hold a comma at the end.
char separatorOf(std::string_view line)
{
    for (char c : {'\t', ';'})
        if (line.find(c) != std::string_view::npos)
            return c;
    const auto commas = std::count(line.begin(), line.end(), ',');
    if (commas > 1 || (commas == 1 && line.back() == ','))
        return ',';
    return 0;
}

} // namespace

namespace {

// Powers of ten that a double holds exactly.
constexpr double ExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common case fast: an optional sign, digits, the decimal mark, digits, with at
// most 15 digits in all. Then digits / 10^k divides two exact doubles, and IEEE
// division rounds the exact quotient correctly: the same double as a full parse.
std::optional<double> plainDecimal(std::string_view text, char decimalMark)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        ++i;
    std::int64_t digits = 0;
    int count = 0;
    int fraction = -1; // digits after the mark; -1 before it
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + (c - '0');
            if (++count > 15)
                return std::nullopt;
            if (fraction >= 0)
                ++fraction;
        } else if (c == decimalMark && fraction < 0) {
            fraction = 0;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0)
        return std::nullopt;
    const double value = static_cast<double>(digits) / ExactPowersOfTen[std::max(fraction, 0)];
    return negative ? -value : value;
}

} // namespace

std::optional<double> ParseLogNumber(std::string_view field, char decimalMark)
{
    if (const auto plain = plainDecimal(field, decimalMark)) // the program's own fields: no blanks
        return plain;
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t' || field.back() == '\r'))
        field.remove_suffix(1);
    if (field.empty() || field.size() > 64)
        return std::nullopt;
    char text[64];
    std::size_t n = 0;
    for (char c : field) {
        if (c == decimalMark)
            c = '.';
        else if (c == '.' && decimalMark != '.')
            return std::nullopt; // a point in a decimal-comma file is no number of it
        text[n++] = c;
    }
    const char* begin = text;
    if (*begin == '+')
        ++begin;
    double value = 0;
    const auto [end, ec] = std::from_chars(begin, text + n, value);
    if (ec != std::errc() || end != text + n || !std::isfinite(value))
        return std::nullopt;
    return value;
}

LogLayout DetectLogLayout(std::string_view head)
{
    LogLayout layout;
    const std::vector<std::string_view> lines = linesOf(head, 64);
    std::size_t first = 0;
    if (!lines.empty() && startsWith(lines[0], "File Name") && lines[0].size() > 9) {
        // The program's header: the character after "File Name" is the separator, and a
        // tab stands for a system whose decimal mark is the comma.
        layout.separator = lines[0][9];
        layout.decimalMark = layout.separator == '\t' ? ',' : '.';
        for (std::size_t i = 1; i < lines.size() && i < 7; ++i) {
            if (!layout.beginSeconds)
                layout.beginSeconds =
                    headerNumber(lines[i], "Begin Seconds", layout.separator, layout.decimalMark);
            if (!layout.endSeconds)
                layout.endSeconds =
                    headerNumber(lines[i], "End Seconds", layout.separator, layout.decimalMark);
        }
        first = std::min<std::size_t>(6, lines.size());
    }
    if (first < lines.size() && startsWith(lines[first], "Sample #")) {
        if (layout.separator == 0)
            layout.separator = separatorOf(lines[first]);
        for (std::string_view title : SplitLogFields(lines[first], layout.separator))
            layout.titles
                << QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size())).trimmed();
        layout.timeColumn = static_cast<int>(layout.titles.indexOf(QStringLiteral("Time(sec)")));
        ++first;
    }
    layout.linesBeforeData = static_cast<int>(first);
    if (layout.separator == 0 && first < lines.size()) {
        // No header: the first line that holds a digit shows the separator.
        for (std::size_t i = first; i < lines.size(); ++i) {
            if (std::none_of(lines[i].begin(), lines[i].end(), [](char c) { return c >= '0' && c <= '9'; }))
                continue;
            layout.separator = separatorOf(lines[i]);
            break;
        }
    }
    if (layout.separator != ',' && lines.size() > first) {
        // Tab, semicolon or one number a line: a comma inside a number is the decimal mark.
        const bool comma =
            std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end(),
                        [](std::string_view l) { return l.find(',') != std::string_view::npos; });
        if (comma)
            layout.decimalMark = ',';
    }
    return layout;
}

int FindLogColumn(const LogLayout& layout, const QString& name, int fieldsPerLine, QString* error)
{
    if (!layout.titles.isEmpty()) {
        const QString wanted = name.isEmpty() ? QStringLiteral("Gyro") : name;
        for (qsizetype i = 0; i < layout.titles.size(); ++i)
            if (layout.titles[i].compare(wanted, Qt::CaseInsensitive) == 0)
                return static_cast<int>(i);
        QStringList present;
        for (const QString& t : layout.titles)
            if (!t.isEmpty())
                present << t;
        *error = QStringLiteral("no column '%1'; the columns are: %2")
                     .arg(wanted, present.join(QStringLiteral(", ")));
        return -1;
    }
    if (name.isEmpty())
        return fieldsPerLine - 1;
    bool ok = false;
    const int number = name.toInt(&ok);
    if (!ok || number < 1 || number > fieldsPerLine) {
        *error = QStringLiteral(
                     "the file has no column titles: give the column as a number from 1 to %1, not '%2'")
                     .arg(fieldsPerLine)
                     .arg(name);
        return -1;
    }
    return number - 1;
}

} // namespace gyro::analysis

namespace gyro::analysis {

std::string_view FirstDataLine(std::string_view head, const LogLayout& layout)
{
    const std::vector<std::string_view> lines = linesOf(head, 64);
    for (std::size_t i = static_cast<std::size_t>(layout.linesBeforeData); i < lines.size(); ++i)
        if (std::any_of(lines[i].begin(), lines[i].end(), [](char c) { return c >= '0' && c <= '9'; }))
            return lines[i];
    return {};
}

} // namespace gyro::analysis
