// Every layout the program writes, and plain files, read to the same series; lines
// that are not data skipped and counted; the sample interval from each source.
#include "LogReader.h"
#include "AllanDeviation.h"
#include "SeriesFiles.h"

#include <gtest/gtest.h>

namespace gyro::analysis {
namespace {

using test::TextFile;

// Counts with a bias and a slow swing: every digit count and sign.
std::vector<int> someCounts()
{
    std::vector<int> counts;
    for (int i = 0; i < 600; ++i)
        counts.push_back(static_cast<int>(std::lround(300.0 * std::sin(i * 0.37) + (i * 7919 % 61) - 30)));
    return counts;
}

// The program's value text: the single-precision value, 7 significant digits.
QByteArray valueText(int count, double scale, char decimalMark)
{
    QByteArray text = scale == 1.0
                          ? QByteArray::number(count)
                          : QByteArray::number(static_cast<float>(count) * static_cast<float>(scale), 'g', 7);
    if (decimalMark == ',')
        text.replace('.', ',');
    return text;
}

struct Layout {
    const char* name;
    char separator; // 0: one number a line
    char decimalMark;
    bool header;
    bool time;
    bool flags;
    double scale; // 1: counts
    const char* column;
};

QByteArray logText(const Layout& l, const std::vector<int>& counts)
{
    const QByteArray sep(1, l.separator);
    const double interval = 0.0005;
    QByteArray text;
    auto number = [&](double v) {
        QByteArray t = QByteArray::number(v, 'g', 7);
        if (l.decimalMark == ',')
            t.replace('.', ',');
        return t;
    };
    if (l.header) {
        text +=
            "File Name" + sep + "DATALOG_1.csv\r\nDate" + sep + "12/9/2026\r\nTime" + sep + "10:00:00\r\n";
        text += "Begin Seconds" + sep + number(36000.0) + "\r\nEnd Seconds" + sep +
                number(36000.0 + interval * static_cast<double>(counts.size())) + "\r\n \r\n";
        text += "Sample #" + sep + (l.time ? "Time(sec)" + sep : QByteArray()) +
                (l.flags ? "PvND" + sep + "Power V" + sep + "GyroND" + sep : QByteArray()) + "Gyro" + sep +
                "\r\n";
    }
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (l.separator == 0) {
            text += valueText(counts[i], l.scale, l.decimalMark) + "\n";
            continue;
        }
        text += QByteArray::number(static_cast<qulonglong>(i + 1)) + sep;
        if (l.time)
            text += number(interval * static_cast<double>(i)) + sep;
        if (l.flags)
            text += "1" + sep + number(5.012) + sep + "1" + sep;
        text += valueText(counts[i], l.scale, l.decimalMark) + sep + "\r\n";
    }
    return text;
}

TEST(LogReader, EveryLayoutGivesTheSameExactSeries)
{
    const std::vector<int> counts = someCounts();
    const Layout layouts[] = {
        {"header, comma, flags, scaled", ',', '.', true, false, true, 0.07326, ""},
        {"header, tab, decimal comma, time, scaled", '\t', ',', true, true, true, 0.03663, "gyro"},
        {"no header, comma, flags, counts", ',', '.', false, false, true, 1.0, ""},
        {"header, comma, time, no flags, counts", ',', '.', true, true, false, 1.0, "Gyro"},
        {"no header, tab, decimal comma, scaled", '\t', ',', false, false, false, 0.018315, ""},
        {"one number a line, decimal comma", 0, ',', false, false, false, 0.07326, ""},
        {"one number a line, counts", 0, '.', false, false, false, 1.0, ""},
    };
    // The reference: the counts themselves, summed exactly.
    TextFile plain(test::OneNumberALine(std::vector<double>(counts.begin(), counts.end())));
    LogReadOptions given;
    given.sampleRate = 2000;
    const auto reference = ReadLogSeries(plain.path(), given, {});
    ASSERT_TRUE(reference.series);
    const auto expected = AllanDeviation({reference.series->samples, 0.0005, 1.0}, {}, {});

    for (const Layout& l : layouts) {
        TextFile file(logText(l, counts));
        LogReadOptions options;
        options.column = QString::fromLatin1(l.column);
        if (!l.header)
            options.sampleRate = 2000;
        const auto read = ReadLogSeries(file.path(), options, {});
        ASSERT_TRUE(read.series) << l.name << ": " << read.error.toStdString();
        const LogSeries& s = *read.series;
        EXPECT_EQ(s.samples.size(), static_cast<std::int64_t>(counts.size())) << l.name;
        EXPECT_EQ(s.skippedLines, 0) << l.name;
        EXPECT_DOUBLE_EQ(s.quantum, l.scale) << l.name;
        EXPECT_NEAR(s.intervalSeconds, 0.0005, 1e-9) << l.name;
        const auto allan = AllanDeviation({s.samples, s.intervalSeconds, s.quantum}, {}, {});
        ASSERT_EQ(allan.size(), expected.size()) << l.name;
        for (std::size_t i = 0; i < allan.size(); ++i)
            EXPECT_NEAR(allan[i].adev, expected[i].adev * l.scale, 1e-12 * allan[i].adev)
                << l.name << " m " << allan[i].m;
    }
}

TEST(LogReader, LinesThatAreNotDataAreSkippedAndCountedNeverZeros)
{
    const QByteArray clean = "1,1,0.5,\r\n2,1,-0.5,\r\n3,1,1.5,\r\n4,1,-1.5,\r\n5,1,0.25,\r\n";
    const QByteArray dirty = "1,1,0.5,\r\n2,1,-0.5,\r\nsensor unplugged\r\n\r\n3,1,1.5,\r\n4,1,,\r\n"
                             "4,1,-1.5,\r\n5,1,abc,\r\n5,1,0.25,\r\n6,1";
    LogReadOptions options;
    options.sampleRate = 10;
    TextFile cleanFile(clean), dirtyFile(dirty);
    const auto a = ReadLogSeries(cleanFile.path(), options, {});
    const auto b = ReadLogSeries(dirtyFile.path(), options, {});
    ASSERT_TRUE(a.series && b.series);
    EXPECT_EQ(b.series->skippedLines, 5); // text, blank, empty field, "abc", a cut-off last line
    EXPECT_EQ(b.series->firstSkippedLine, 3);
    EXPECT_EQ(b.series->samples.size(), 5);
    const auto x = AllanDeviation({a.series->samples, 0.1, a.series->quantum}, {}, {});
    const auto y = AllanDeviation({b.series->samples, 0.1, b.series->quantum}, {}, {});
    ASSERT_EQ(x.size(), y.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_DOUBLE_EQ(x[i].adev, y[i].adev);
}

TEST(LogReader, RepeatedSamplesAreLeftOutByTheirNewDataFlag)
{
    // Read faster than the sensor samples: each sample once with flag 1, then again with 0.
    const QByteArray text =
        "Sample #,Time(sec),GyroND,Gyro,\r\n1,0,1,0.5,\r\n2,0.1,0,0.5,\r\n3,0.2,1,-0.5,\r\n"
        "4,0.3,0,-0.5,\r\n5,0.4,0,-0.5,\r\n6,0.5,1,1.5,\r\n7,0.6,0,1.5,\r\n8,0.8,1,2,\r\n";
    TextFile file(text);
    LogReadOptions options;
    const auto fresh = ReadLogSeries(file.path(), options, {});
    ASSERT_TRUE(fresh.series);
    EXPECT_EQ(fresh.series->samples.size(), 4);
    EXPECT_EQ(fresh.series->repeatedLines, 4);
    EXPECT_DOUBLE_EQ(fresh.series->intervalSeconds, 0.8 / 3); // the fresh samples' own spacing
    options.freshOnly = false;
    const auto every = ReadLogSeries(file.path(), options, {});
    ASSERT_TRUE(every.series);
    EXPECT_EQ(every.series->samples.size(), 8);
    EXPECT_EQ(every.series->repeatedLines, 0);
}

TEST(LogReader, SampleIntervalFromEachSource)
{
    struct Case {
        const char* name;
        QByteArray text;
        std::optional<double> rate;
        double interval; // 0: none can be found
        IntervalSource source;
    };
    const Case cases[] = {
        {"time column",
         "Sample #,Time(sec),Gyro,\r\n1,0,1,\r\n2,0.25,2,\r\n3,0.5,3,\r\n",
         {},
         0.25,
         IntervalSource::TimeColumn},
        {"begin and end seconds",
         "File Name,D_1.csv\r\nDate,x\r\nTime,x\r\nBegin Seconds,100\r\nEnd Seconds,101.5\r\n \r\n"
         "Sample #,Gyro,\r\n1,1,\r\n2,2,\r\n3,3,\r\n",
         {},
         0.5,
         IntervalSource::Header},
        {"begin and end across midnight",
         "File Name,D_1.csv\r\nDate,x\r\nTime,x\r\nBegin Seconds,86399\r\nEnd Seconds,2\r\n \r\n"
         "Sample #,Gyro,\r\n1,1,\r\n2,2,\r\n3,3,\r\n",
         {},
         1.0,
         IntervalSource::Header},
        {"given rate wins", "Sample #,Time(sec),Gyro,\r\n1,0,1,\r\n2,0.25,2,\r\n", 8.0, 0.125,
         IntervalSource::Given},
        {"plain file without a rate", "1\n2\n3\n", {}, 0, IntervalSource::Given},
    };
    for (const Case& c : cases) {
        TextFile file(c.text);
        LogReadOptions options;
        options.sampleRate = c.rate;
        const auto read = ReadLogSeries(file.path(), options, {});
        if (c.interval == 0) {
            EXPECT_FALSE(read.series) << c.name;
            EXPECT_TRUE(read.error.contains(QStringLiteral("sample rate"))) << read.error.toStdString();
            continue;
        }
        ASSERT_TRUE(read.series) << c.name << ": " << read.error.toStdString();
        EXPECT_DOUBLE_EQ(read.series->intervalSeconds, c.interval) << c.name;
        EXPECT_EQ(read.series->intervalSource, c.source) << c.name;
    }
}

TEST(LogReader, ColumnsByTitleOrNumberAndClearFailures)
{
    const QByteArray titled =
        "Sample #,GyroND,Gyro,TempND,Temperature,\r\n1,1,0.5,1,25.1,\r\n2,1,0.6,1,25.2,\r\n";
    const QByteArray untitled = "1,1,0.5,1,25.1,\r\n2,1,0.6,1,25.2,\r\n";
    struct Case {
        const char* name;
        const QByteArray& text;
        const char* column;
        const char* title; // empty: a failure whose message holds `problem`
        const char* problem;
    };
    const Case cases[] = {
        {"default rate column", titled, "", "Gyro", ""},
        {"by title, any case", titled, "temperature", "Temperature", ""},
        {"title not there", titled, "Angle", "",
         "the columns are: Sample #, GyroND, Gyro, TempND, Temperature"},
        {"untitled default: the last", untitled, "", "column 5", ""},
        {"untitled by number", untitled, "3", "column 3", ""},
        {"untitled number too big", untitled, "6", "", "from 1 to 5"},
    };
    for (const Case& c : cases) {
        TextFile file(c.text);
        LogReadOptions options;
        options.column = QString::fromLatin1(c.column);
        options.sampleRate = 1;
        const auto read = ReadLogSeries(file.path(), options, {});
        if (*c.title == 0) {
            EXPECT_FALSE(read.series) << c.name;
            EXPECT_TRUE(read.error.contains(QLatin1String(c.problem)))
                << c.name << ": " << read.error.toStdString();
            continue;
        }
        ASSERT_TRUE(read.series) << c.name << ": " << read.error.toStdString();
        EXPECT_EQ(read.series->column, QLatin1String(c.title)) << c.name;
        EXPECT_EQ(read.series->samples.size(), 2) << c.name;
    }
    LogReadOptions options;
    EXPECT_TRUE(ReadLogSeries(QStringLiteral("/no/such/file.csv"), options, {})
                    .error.contains(QLatin1String("cannot read")));
    TextFile empty(QByteArray("text only\n"));
    options.sampleRate = 1;
    EXPECT_TRUE(ReadLogSeries(empty.path(), options, {}).error.contains(QLatin1String("at least 2")));
    // A file of settings is no log, whatever column is asked for.
    TextFile settings(QByteArray("Interface =  2\r\nPort Address =  888\r\nFactory =  0\r\n"));
    options.column = QStringLiteral("Gyro");
    const auto notALog = ReadLogSeries(settings.path(), options, {});
    EXPECT_TRUE(notALog.error.contains(QLatin1String("holds no samples of a log")))
        << notALog.error.toStdString();
    EXPECT_FALSE(notALog.usageProblem);
}

TEST(LogReader, ALineLongerThanTheReadBufferIsOneSkippedLine)
{
    const QByteArray text = "1\n2\n" + QByteArray(3 << 20, '5') + "\n3\n4\n";
    TextFile file(text);
    LogReadOptions options;
    options.sampleRate = 1;
    const auto read = ReadLogSeries(file.path(), options, {});
    ASSERT_TRUE(read.series);
    EXPECT_EQ(read.series->samples.size(), 4);
    EXPECT_EQ(read.series->skippedLines, 1);
    EXPECT_EQ(read.series->firstSkippedLine, 3);
}

TEST(LogReader, ACancelStopsTheReading)
{
    TextFile file(test::OneNumberALine(test::WhiteNoise(200000, 1.0, 1)));
    LogReadOptions options;
    options.sampleRate = 1;
    AnalysisHooks hooks;
    int reports = 0;
    hooks.progress = [&](const char*, double) { ++reports; };
    hooks.cancelRequested = [&] { return reports >= 2; };
    const auto read = ReadLogSeries(file.path(), options, hooks);
    EXPECT_TRUE(read.cancelled);
    EXPECT_FALSE(read.series);
    EXPECT_TRUE(read.error.isEmpty());
}

} // namespace
} // namespace gyro::analysis
