// The logging run on the simulated sensor: the files byte for byte, the frames it
// sends, its waits, and how it ends on a cancel, a file that cannot be made and a
// read that brings no answer (failed writes: DatalogSpaceTest).
#include "DatalogFixture.h"

#include <numeric>
#include <vector>

using namespace gyro;
using namespace gyro::test;

namespace {

// Words the sensor answers (bit 15 new data). Scales of the register map:
// Supply 2732 x 1.83 mV = 4.99956 V (no new-data flag here); Gyro 100 x 0.07326 =
// 7.326 deg/s; Gyro -100 in 14 bits is 0x4000 - 100 = 0x3F9C; Temp -10 x 0.1454139
// + 25 = 23.545861 C (7 digits: 23.54586); Angle 1000 x 0.03663 = 36.63 deg.
constexpr std::uint16_t Supply = 2732;
constexpr std::uint16_t GyroPlus100 = NewData | 100;
constexpr std::uint16_t GyroMinus100 = NewData | 0x3F9C;
constexpr std::uint16_t TempMinus10 = NewData | (0x1000 - 10);
constexpr std::uint16_t Angle1000 = NewData | 1000;

struct LayoutCase {
    const char* name;
    std::uint16_t gyroWord;
    std::function<void(DatalogSettings&)> choose;
    const char* fileName;
    QByteArray expected; // the whole file when headerless, else the lines after the header
};

} // namespace

TEST_F(DatalogTest, DefaultsWriteOneFileWithItsSevenHeaderLines)
{
    sim.sensor().setRegisterWord(GyroAddress, GyroPlus100);
    const DatalogOutcome outcome = run();
    EXPECT_EQ(outcome.end, DatalogEnd::Completed);
    EXPECT_EQ(outcome.filesWritten, 1);
    EXPECT_EQ(fileBytes("DATALOG_1.csv"), QByteArray("File Name,DATALOG_1.csv\r\n"
                                                     "Date,12/8/26\r\n"
                                                     "Time,1:00:00 AM\r\n"
                                                     "Begin Seconds,3600\r\n"
                                                     "End Seconds,3600\r\n"
                                                     " \r\n"
                                                     "Sample #,GyroND,Gyro,\r\n"
                                                     "1,1,7.326,\r\n"));
    EXPECT_EQ(folderEntries(), QStringList{"DATALOG_1.csv"}); // no temporary file left
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DatalogTest, ColumnsFlagsScalingAndSeparatorFollowTheChoices)
{
    const std::vector<LayoutCase> cases{
        {"no header", GyroPlus100,
         [](DatalogSettings& s) {
             s.ckNoHeader = true;
             s.SamplesPerFile = 2;
         },
         "DATALOG_1.csv", "1,1,7.326,\r\n2,1,7.326,\r\n"},
        {"no flags, timed, 10 ms apart", GyroPlus100,
         [](DatalogSettings& s) {
             s.ckDisableNewDataFlags = s.ckTime = true;
             s.SamplesPerFile = 3;
             s.SampleDelayMs = 10;
         },
         "DATALOG_1.csv", "Sample #,Time(sec),Gyro,\r\n1,0,7.326,\r\n2,0.01,7.326,\r\n3,0.02,7.326,\r\n"},
        {"raw counts keep their sign and the titles", GyroMinus100,
         [](DatalogSettings& s) {
             s.ckNoScaling = true;
             s.CheckReg = {false, true, false, true, false};
         },
         "DATALOG_1.csv", "Sample #,GyroND,Gyro,TempND,Temperature,\r\n1,1,-100,1,-10,\r\n"},
        {"scaled negative values", GyroMinus100,
         [](DatalogSettings& s) {
             s.CheckReg = {false, true, false, true, false};
         },
         "DATALOG_1.csv", "Sample #,GyroND,Gyro,TempND,Temperature,\r\n1,1,-7.326,1,23.54586,\r\n"},
        {"boxes 5 and 1 in column order", GyroPlus100,
         [](DatalogSettings& s) {
             s.CheckReg = {true, false, false, false, true};
         },
         "DATALOG_1.csv", "Sample #,PvND,Power V,AngleND,Angle,\r\n1,0,4.99956,1,36.63,\r\n"},
        {"decimal comma: tab and .txt", GyroMinus100,
         [](DatalogSettings& s) {
             s.locale = QLocale(QLocale::German, QLocale::Germany);
             s.ckNoHeader = true;
         },
         "DATALOG_1.txt", "1\t1\t-7,326\t\r\n"},
        {"another base name", GyroMinus100, [](DatalogSettings& s) { s.FileName = QStringLiteral("run b"); },
         "run b_1.csv", "Sample #,GyroND,Gyro,\r\n1,1,-7.326,\r\n"},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        settings = DatalogSettings{};
        settings.Folder = dir.path();
        settings.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        settings.SamplesPerFile = 1;
        c.choose(settings);
        sim.sensor().setRegisterWord(GyroAddress, c.gyroWord);
        sim.sensor().setRegisterWord(SupplyAddress, Supply);
        sim.sensor().setRegisterWord(TempAddress, TempMinus10);
        sim.sensor().setRegisterWord(AngleAddress, Angle1000);

        EXPECT_EQ(run().end, DatalogEnd::Completed);
        EXPECT_EQ(settings.ckNoHeader ? fileBytes(c.fileName) : dataLines(c.fileName), c.expected);
        EXPECT_EQ(folderEntries(), QStringList{c.fileName});
    }
}

TEST_F(DatalogTest, CancelDuringFileTwoOfThreeKeepsExactlyTheSamplesTaken)
{
    settings.SamplesPerFile = 10;
    settings.FilesPerSession = 3;
    settings.ckNoHeader = false;
    std::int64_t file = 0;
    std::int64_t taken = 0;
    QStringList written;
    hooks.fileBegun = [&](std::int64_t n) { file = n; };
    hooks.sampleTaken = [&](std::int64_t j, std::int64_t) { taken = j; };
    hooks.cancelRequested = [&] { return file == 2 && taken == 3; };
    hooks.fileWritten = [&](const QString& path) { written << QFileInfo(path).fileName(); };

    const DatalogOutcome outcome = run();
    EXPECT_EQ(outcome.end, DatalogEnd::Cancelled);
    EXPECT_EQ(outcome.filesWritten, 2);
    EXPECT_EQ(written, (QStringList{"DATALOG_1.csv", "DATALOG_2.csv"}));
    EXPECT_EQ(dataLines("DATALOG_1.csv").count("\r\n"), 1 + 10); // titles and ten samples
    const QByteArray second = dataLines("DATALOG_2.csv");
    EXPECT_EQ(second.count("\r\n"), 1 + 3);
    EXPECT_TRUE(second.mid(second.lastIndexOf("\r\n", second.size() - 3) + 2).startsWith("3,"));
    EXPECT_EQ(folderEntries(), (QStringList{"DATALOG_1.csv", "DATALOG_2.csv"}));
}

TEST_F(DatalogTest, AFileThatCannotBeMadeEndsTheRunWithTheFileAccessMessage)
{
    // Names that would leave the folder, and a file name taken by a folder.
    struct Case {
        const char* base;
        const char* blocked; // made a folder before the run, or null
        const char* failingName;
        std::int64_t filesBefore;
    };
    const Case cases[] = {
        {"DATALOG", "DATALOG_2.csv", "DATALOG_2.csv", 1},
        {"sub/DATALOG", nullptr, "sub/DATALOG_1.csv", 0},
        {"..\\DATALOG", nullptr, "..\\DATALOG_1.csv", 0},
        {"../DATALOG", nullptr, "../DATALOG_1.csv", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path() + "/sub");
        if (c.blocked != nullptr)
            QDir(dir.path()).mkdir(c.blocked);
        const QStringList before = folderEntries();
        const QStringList parentBefore = QDir(dir.path() + "/..").entryList();
        ui.clear();
        settings.FileName = c.base;
        settings.FilesPerSession = 3;

        const DatalogOutcome outcome = run();
        EXPECT_EQ(outcome.end, DatalogEnd::FileAccessFailed);
        EXPECT_EQ(outcome.filesWritten, c.filesBefore);
        ASSERT_EQ(ui.messages.size(), 1u);
        const QString described = QString("\r\nFILE ACCESS ERROR\r\n\r\nFile name = ") + c.failingName +
                                  "\r\n\r\nThis file may already be open by another application."
                                  "\r\n\r\nClose the file or choose a different file name.";
        // A name refused before any file is touched has no system reason.
        if (c.blocked == nullptr)
            EXPECT_EQ(ui.messages[0].text, described);
        else
            EXPECT_TRUE(ui.messages[0].text.startsWith(described + "\r\n\r\nReason: "))
                << ui.messages[0].text.toStdString();
        EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
        QStringList expected = before;
        for (std::int64_t n = 1; n <= c.filesBefore; ++n)
            expected << QString("DATALOG_%1.csv").arg(n);
        expected.sort();
        EXPECT_EQ(folderEntries(), expected);
        EXPECT_TRUE(QDir(dir.path() + "/sub").isEmpty());
        EXPECT_EQ(QDir(dir.path() + "/..").entryList(), parentBefore);
    }
}

TEST_F(DatalogTest, ANoAnswerEndsTheRunAndKeepsTheSamplesBeforeIt)
{
    settings.SamplesPerFile = 10;
    settings.FilesPerSession = 2;
    hooks.sampleTaken = [this](std::int64_t j, std::int64_t) {
        if (j == 4)
            sim.usb().stopAnswering(0);
    };
    const DatalogOutcome outcome = run();
    EXPECT_EQ(outcome.end, DatalogEnd::SensorFailed);
    EXPECT_EQ(outcome.filesWritten, 1);
    // Four samples were taken before the card fell silent; the fifth is not counted.
    EXPECT_EQ(dataLines("DATALOG_1.csv").count("\r\n"), 1 + 4);
    // The card's own failure report comes first, then the run's.
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, SensorFailedMessage("DATALOG_1.csv", 4));
    EXPECT_EQ(folderEntries(), QStringList{"DATALOG_1.csv"});
}

TEST_F(DatalogTest, ResetAngleZeroesTheAngleRegisterAtEveryFileStart)
{
    settings.CheckReg = {false, false, false, false, true};
    settings.ckReSetAngle = true;
    settings.SamplesPerFile = 2;
    settings.FilesPerSession = 2;
    run();
    std::vector<std::uint16_t> frames;
    for (const auto& frame : sim.sensor().trace())
        frames.push_back(frame.out);
    // Per file: ANGL_OUT (0x0E) := 0, high byte to 0x0F first; then two reads of
    // 0x0E, each sent twice in one card transfer.
    const std::vector<std::uint16_t> perFile{0x8F00, 0x8E00, 0x0E00, 0x0E00, 0x0E00, 0x0E00};
    std::vector<std::uint16_t> expected = perFile;
    expected.insert(expected.end(), perFile.begin(), perFile.end());
    EXPECT_EQ(frames, expected);
}

TEST_F(DatalogTest, ElapsedTimesKeepRisingAcrossMidnight)
{
    sim.fakeClock()->setMidnightOffset(86400 - 0.015); // 23:59:59.985
    settings.ckTime = true;
    settings.ckDisableNewDataFlags = true;
    settings.SamplesPerFile = 3;
    settings.SampleDelayMs = 10;
    sim.sensor().setRegisterWord(GyroAddress, GyroPlus100);
    run();
    const QList<QByteArray> lines = fileBytes("DATALOG_1.csv").split('\n');
    ASSERT_EQ(lines.size(), 7 + 3 + 1);
    // The header keeps seconds since midnight: begun before it, ended after it.
    EXPECT_EQ(lines[3], "Begin Seconds,86399.98\r");
    EXPECT_EQ(lines[4].left(15), "End Seconds,0.0");
    EXPECT_EQ(lines[7], "1,0,7.326,\r");
    EXPECT_EQ(lines[8], "2,0.01,7.326,\r");
    EXPECT_EQ(lines[9], "3,0.02,7.326,\r");
}

// A long delay between samples sleeps (the processor stays free) and asks for a
// stop at least every 20 ms, so that Ctrl+C or a cancel 1 s into a 32 s delay ends
// the run at once; a delay that nobody stops lasts its whole length.
TEST_F(DatalogTest, ALongDelaySleepsAndAStopEndsItAtOnce)
{
    struct Case {
        const char* what;
        double delayMs;
        std::int64_t samples;
        double stopAfterSeconds; // < 0: never
        QList<QByteArray> lines; // after the header
        double endsBefore;       // simulated seconds after the start
    };
    const Case cases[] = {
        {"waited out", 250, 3, -1, {"1,0,7.326,\r", "2,0.25,7.326,\r", "3,0.5,7.326,\r"}, 0.8},
        {"stopped 1 s into 32 s", 32000, 100, 1.0, {"1,0,7.326,\r"}, 1.1},
    };
    settings.ckTime = true;
    settings.ckDisableNewDataFlags = true;
    sim.sensor().setRegisterWord(GyroAddress, GyroPlus100);
    sim::FakeClock& clock = *sim.fakeClock();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings.SampleDelayMs = c.delayMs;
        settings.SamplesPerFile = c.samples;
        const double start = clock.monotonicSeconds();
        hooks.cancelRequested = [&] {
            return c.stopAfterSeconds >= 0 && clock.monotonicSeconds() - start >= c.stopAfterSeconds;
        };
        sim.fakeBusyLoop()->clearSpins();
        const std::size_t sleepsBefore = clock.sleeps().size();

        EXPECT_EQ(run().end, c.stopAfterSeconds < 0 ? DatalogEnd::Completed : DatalogEnd::Cancelled);
        const double took = clock.monotonicSeconds() - start;
        EXPECT_LT(took, c.endsBefore);
        QList<QByteArray> lines = fileBytes("DATALOG_1.csv").split('\n');
        ASSERT_GE(lines.size(), 8);
        EXPECT_EQ(lines.mid(7, lines.size() - 8), c.lines);
        const std::vector<double> sleeps(clock.sleeps().begin() + static_cast<std::ptrdiff_t>(sleepsBefore),
                                         clock.sleeps().end());
        EXPECT_LE(*std::max_element(sleeps.begin(), sleeps.end()), 0.02 + 1e-9);
        const double slept = std::accumulate(sleeps.begin(), sleeps.end(), 0.0);
        EXPECT_GT(slept / took, 0.95); // spun: only the last 0.15 ms of a wait, and the reads
    }
}
