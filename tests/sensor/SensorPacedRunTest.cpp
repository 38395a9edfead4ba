// The logging run paced by the sensor, on simulated time: one line per sample the
// sensor made, each once, with its own time; gaps counted as missed samples.
#include "DatalogFixture.h"
#include "SensorPacedSampling.h"

#include <cmath>

using namespace gyro;
using namespace gyro::test;

namespace {

constexpr double TopRatePeriod = 1.0 / 2048.0;

struct Line {
    double time;
    std::vector<int> flags;
};

// Lines of a headerless file with the time column: time, then flag and value pairs.
std::vector<Line> parseLines(const QByteArray& bytes)
{
    std::vector<Line> lines;
    for (const QByteArray& text : bytes.split('\n')) {
        const QList<QByteArray> fields = text.trimmed().split(',');
        if (fields.size() < 3)
            continue;
        Line line{fields[1].toDouble(), {}};
        for (qsizetype i = 2; i + 1 < fields.size(); i += 2)
            line.flags.push_back(fields[i].toInt());
        lines.push_back(line);
    }
    return lines;
}

class PacedRun : public DatalogTest {
protected:
    void SetUp() override
    {
        DatalogTest::SetUp();
        sim.sensor().setRegisterWord(SmplPrdAddress, 0x0000); // 2048 samples a second
        settings.chkEverySample = true;
        settings.ckTime = true;
        settings.ckNoHeader = true;
    }
};

} // namespace

// Every line is a sample the sensor made, taken once: its flags are set, its time is
// one period after the line before, and the sensor made no sample between them.
TEST_F(PacedRun, OneLinePerSensorSampleWithItsOwnTime)
{
    settings.SamplesPerFile = 4096;
    settings.CheckReg = {true, true, true, true, true};
    const std::uint64_t madeBefore = sim.sensor().sampleCount();
    const DatalogOutcome outcome = run();
    EXPECT_EQ(outcome.end, DatalogEnd::Completed);
    EXPECT_EQ(outcome.samplesMissed, 0);

    const std::vector<Line> lines = parseLines(fileBytes("DATALOG_1.csv"));
    ASSERT_EQ(lines.size(), 4096u);
    for (std::size_t j = 0; j < lines.size(); ++j) {
        EXPECT_EQ(lines[j].flags, std::vector<int>(5, 1)) << "line " << j + 1;
        if (j > 0) {
            EXPECT_NEAR(lines[j].time - lines[j - 1].time, TopRatePeriod, 0.3 * TopRatePeriod)
                << "line " << j + 1;
        }
    }
    // The sensor made one sample per line (and at most one more while the run began).
    sim.sensor().update();
    EXPECT_LE(sim.sensor().sampleCount() - madeBefore, 4096u + 1);
    // Each sample costs one transfer that finds it and a few that come early: far
    // fewer than the free-running run's thousands of reads a sample.
    EXPECT_LT(sim.sensor().trace().size(), 4096u * 6 * 5);
    EXPECT_TRUE(ui.messages.empty());
}

// A stall of 3.2 periods (the window busy, the scheduler late) hides the two samples
// made meanwhile: the run counts them and goes on with the newest one.
TEST_F(PacedRun, AGapIsCountedAsMissedSamples)
{
    settings.SamplesPerFile = 200;
    hooks.sampleTaken = [this](std::int64_t j, std::int64_t) {
        if (j == 100)
            sim.fakeClock()->advance(3.2 * TopRatePeriod);
    };
    const DatalogOutcome outcome = run();
    EXPECT_EQ(outcome.end, DatalogEnd::Completed);
    EXPECT_EQ(outcome.samplesMissed, 2);
    const std::vector<Line> lines = parseLines(fileBytes("DATALOG_1.csv"));
    ASSERT_EQ(lines.size(), 200u);
    EXPECT_NEAR(lines[100].time - lines[99].time, 3 * TopRatePeriod, 0.5 * TopRatePeriod);
}

// The sensor goes on while a file is closed and the next opened: a sample it made
// just before a later file began still starts that file's times at 0, never below.
TEST_F(PacedRun, EachFilesTimesStartAtZeroAndRise)
{
    settings.SamplesPerFile = 50;
    settings.FilesPerSession = 3;
    hooks.fileBegun = [this](std::int64_t n) {
        if (n > 1)
            sim.fakeClock()->advance(0.7 * TopRatePeriod);
    };
    EXPECT_EQ(run().end, DatalogEnd::Completed);
    for (const char* name : {"DATALOG_1.csv", "DATALOG_2.csv", "DATALOG_3.csv"}) {
        const std::vector<Line> lines = parseLines(fileBytes(name));
        ASSERT_EQ(lines.size(), 50u) << name;
        EXPECT_GE(lines.front().time, 0.0) << name;
        EXPECT_LT(lines.front().time, TopRatePeriod) << name;
        for (std::size_t j = 1; j < lines.size(); ++j)
            EXPECT_GT(lines[j].time, lines[j - 1].time) << name << " line " << j + 1;
    }
}

// A sensor that makes no samples (powered down) holds no run: the waits yield and
// a cancel ends it with the samples taken.
TEST_F(PacedRun, ACancelEndsTheWaitForASampleThatNeverComes)
{
    settings.SamplesPerFile = 10;
    settings.ckNoHeader = false;
    int yields = 0;
    hooks.sampleTaken = [this](std::int64_t j, std::int64_t) {
        if (j == 3)
            sim.sensor().setRegisterWord(GyroAddress, 0x0123); // held: never new again
    };
    hooks.yield = [&yields] { ++yields; };
    hooks.cancelRequested = [&yields] { return yields > 20; };
    const DatalogOutcome outcome = run();
    EXPECT_EQ(outcome.end, DatalogEnd::Cancelled);
    EXPECT_EQ(dataLines("DATALOG_1.csv").count("\r\n"), 1 + 3);
}

// A burst that fails takes no sample: the file ends with the lines before it, each whole.
TEST_F(PacedRun, AFailedBurstWritesNothingForItsSample)
{
    settings.SamplesPerFile = 50;
    settings.CheckReg = {false, true, false, true, false};
    hooks.sampleTaken = [this](std::int64_t j, std::int64_t) {
        if (j == 7)
            sim.usb().stopAnsweringAfter(0, 2);
    };
    const DatalogOutcome outcome = run();
    EXPECT_EQ(outcome.end, DatalogEnd::SensorFailed);
    const std::vector<Line> lines = parseLines(fileBytes("DATALOG_1.csv"));
    ASSERT_GE(lines.size(), 7u);
    ASSERT_LE(lines.size(), 9u);
    for (const Line& line : lines)
        EXPECT_EQ(line.flags, std::vector<int>({1, 1}));
    EXPECT_EQ(ui.messages.back().text,
              SensorFailedMessage("DATALOG_1.csv", static_cast<std::int64_t>(lines.size())));
}

TEST(PacedSamplingText, MissedSamplesAndMicrosecondTimes)
{
    const double p = TopRatePeriod;
    struct GapCase {
        double gap;
        std::int64_t missed;
    };
    for (const GapCase& c :
         {GapCase{p, 0}, {1.49 * p, 0}, {1.51 * p, 1}, {2 * p, 1}, {3.2 * p, 2}, {100 * p, 99}}) {
        double residue = 0;
        EXPECT_EQ(SamplesMissedInGap(c.gap, p, residue), c.missed) << c.gap / p;
    }
    double residue = 0;
    EXPECT_EQ(SamplesMissedInGap(1.0, 0.0, residue), 0); // no period known: nothing counted
    // A card that takes 4.4 periods a sample misses 3.4 samples a gap: 17 in five gaps,
    // not the 15 that rounding each gap would give.
    std::int64_t missed = 0;
    for (int gap = 0; gap < 5; ++gap)
        missed += SamplesMissedInGap(4.4 * p, p, residue);
    EXPECT_EQ(missed, 17);
    // A short gap (no sample missed) starts afresh.
    EXPECT_EQ(SamplesMissedInGap(p, p, residue), 0);
    EXPECT_EQ(residue, 0.0);

    // Microseconds for any length of run, with the locale's mark and no grouping.
    EXPECT_EQ(MicrosecondTime(0.00048828125, QLocale::c()), "0.000488");
    EXPECT_EQ(MicrosecondTime(36000.0000016, QLocale(QLocale::English)), "36000.000002");
    EXPECT_EQ(MicrosecondTime(12345.25, QLocale(QLocale::German)), "12345,250000");
}

// On a card whose bulk transactions each end at the next frame boundary: a
// high-speed card (125 us frames) keeps up with 2048 samples a second, a full-speed
// one (1 ms frames, 2 ms a burst) cannot, and says how many it missed.
TEST_F(PacedRun, ACardsBusTimingKeepsUpOrTellsWhatItMissed)
{
    struct Case {
        const char* name;
        std::uint16_t pipe3MaxPacket;
    };
    for (const Case& c : {Case{"high speed", 512}, Case{"full speed", 64}}) {
        SCOPED_TRACE(c.name);
        sim::SimUsbCardConfig config;
        config.pipe3MaxPacket = c.pipe3MaxPacket;
        sim.usb().attachCard(0, config);
        ASSERT_TRUE(OpenUsbCard(g).ready);
        sim.usb().setBusTiming(sim.fakeClock());
        sim.sensor().setRegisterWord(SmplPrdAddress, 0x0000);
        settings.SamplesPerFile = 1000;
        settings.CheckReg = {true, true, true, true, true};
        sim.sensor().update();
        const std::uint64_t madeBefore = sim.sensor().sampleCount();
        const DatalogOutcome outcome = run();
        sim.sensor().update();
        const auto made = static_cast<std::int64_t>(sim.sensor().sampleCount() - madeBefore);
        ASSERT_EQ(outcome.end, DatalogEnd::Completed);
        // Taken and told missed make what the sensor made, but for the samples made
        // while the run began: its read of Smpl_Prd and first burst take 4 ms at full
        // speed (eight samples).
        EXPECT_NEAR(static_cast<double>(1000 + outcome.samplesMissed), static_cast<double>(made), 10.0);
        if (c.pipe3MaxPacket == 512)
            EXPECT_EQ(outcome.samplesMissed, 0);
        else
            EXPECT_GT(outcome.samplesMissed, 2000);
        sim.usb().setBusTiming(nullptr);
    }
}
