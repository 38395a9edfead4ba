// The calibration window on the simulated sensor: the averaging run with its
// Run/STOP protocol, the offset entry, the sensor's offset commands.
#include "fmCalibration.h"
#include "HexText.h"
#include "NumberText.h"
#include "PendingChange.h"
#include "Screenshot.h"
#include "SensorWindowBench.h"
#include "WidgetText.h"

#include <memory>

using namespace gyro;
using namespace gyro::test;

namespace {

class Calibration : public SensorWindowTest {
protected:
    fmCalibration& open()
    {
        w = std::make_unique<fmCalibration>(g, &mainWindow);
        w->Form_Load();
        w->show();
        framesOut();
        return *w;
    }

    // Starts a run of `seconds`; every yield moves simulated time on by `step`, and
    // `onSample(n)` runs at the yield after sample n.
    void run(const char* seconds, double step, std::function<void(int)> onSample = {})
    {
        control<QLineEdit>(*w, "txtSec").setText(QString::fromLatin1(seconds));
        ui.onYield = [this, step, onSample] {
            sim.fakeClock()->advance(step);
            const int n = gyroReads();
            if (onSample && n > lastSample) {
                lastSample = n;
                onSample(n);
            }
        };
        click(*w, "cmdAvgCalc");
        ui.onYield = nullptr;
    }
    // Gyro_Out reads so far: the USB card sends the read frame 0x0400 twice.
    int gyroReads()
    {
        int frames = 0;
        for (const auto& f : sim.sensor().trace())
            frames += f.out == 0x0400 ? 1 : 0;
        return frames / 2;
    }

    std::unique_ptr<fmCalibration> w;
    int lastSample = 0;
};

} // namespace

TEST_F(Calibration, OpeningShowsTheOffsetAndWritesNothing)
{
    sim.sensor().setRegisterWord(GyroOfstAddress, 0x0800); // -2048 counts in 12 bits
    w = std::make_unique<fmCalibration>(g, &mainWindow);
    w->Form_Load();
    w->show();
    EXPECT_TRUE(writesOut().empty());
    EXPECT_EQ(w->objectName(), "fmCalibration");
    EXPECT_EQ(w->windowTitle(), "Calibration");
    EXPECT_EQ(w->pos(), mainWindow.pos());
    EXPECT_EQ(text(*w, "lblGX"), "F800");
    EXPECT_EQ(text(*w, "txtGX"), "-37.509");
    EXPECT_EQ(text(*w, "txtSec"), "10");
    EXPECT_EQ(text(*w, "lblGyro_Out"), "---");
    EXPECT_EQ(text(*w, "lblAvg"), "---");
    EXPECT_FALSE(control(*w, "LbLInProgress").isVisible());
    EXPECT_FALSE(control(*w, "lblAvgCount").isVisible());
}

TEST_F(Calibration, AveragingRunCountsDownAndProposesTheOffset)
{
    struct Case {
        const char* seconds;
        const char* after; // the time rounded, halves to even
        int samples;       // one at each 0.3 s step, up to the first at or past the time
    };
    const Case cases[] = {{"2.5", "2", 10}, {"3.5", "4", 13}};
    open();
    for (const Case& c : cases) {
        sim.sensor().setRegisterWord(GyroOfstAddress, 0x0010);
        lastSample = 0;
        // While it runs: "In Progress", and the cleared offset it measures against.
        bool runShown = true;
        run(c.seconds, 0.3, [&](int) {
            runShown = runShown && control(*w, "LbLInProgress").isVisible() && text(*w, "lblGX") == "0x0";
        });
        EXPECT_TRUE(runShown);
        // The offset register is read (to be put back if the proposal is not applied)
        // and cleared (0x15, 0x14), then only Gyro_Out is read.
        const auto frames = framesOut();
        ASSERT_GE(frames.size(), 4u);
        EXPECT_EQ(frames[0], 0x1400);
        EXPECT_EQ(frames[1], 0x1400);
        EXPECT_EQ(frames[2], 0x9500);
        EXPECT_EQ(frames[3], 0x9400);
        EXPECT_EQ(static_cast<int>(frames.size()), 4 + 2 * c.samples) << c.seconds;
        EXPECT_EQ(sensorWord(GyroOfstAddress), 0);

        EXPECT_EQ(text(*w, "txtSec"), c.after);
        EXPECT_EQ(text(*w, "lblAvgCount"), QStringLiteral("Total Samples = %1").arg(c.samples));
        EXPECT_TRUE(control(*w, "lblAvgCount").isVisible());
        EXPECT_FALSE(control(*w, "LbLInProgress").isVisible());
        EXPECT_EQ(text(*w, "cmdAvgCalc"), "Run");
        // The proposal is the mean as shown, negated, waiting for "Update".
        EXPECT_DOUBLE_EQ(TextNumber(text(*w, "txtGX")), -TextNumber(text(*w, "lblAvg")));
        EXPECT_TRUE(IsPending(&control(*w, "cmdCal_GX")));
    }
    SaveScreenshot(*w, "fmCalibration");

    // "Update" writes the proposal.
    const std::int32_t proposed =
        static_cast<std::int32_t>(RoundHalfEven(TextNumber(text(*w, "txtGX")) / 0.018315));
    click(*w, "cmdCal_GX");
    EXPECT_EQ(static_cast<std::int16_t>(sensorWord(GyroOfstAddress) << 4) >> 4, proposed);
    EXPECT_FALSE(IsPending(&control(*w, "cmdCal_GX")));
}

TEST_F(Calibration, StopOrClosingEndsTheRunAfterTheCurrentSample)
{
    open();
    bool stopping = false;
    run("100", 0.01, [&](int n) {
        if (n == 3 && !stopping) {
            stopping = true;
            click(*w, "cmdAvgCalc"); // STOP, nested in the run's yield
        }
    });
    EXPECT_EQ(text(*w, "lblAvgCount"), "Total Samples = 3");
    EXPECT_EQ(text(*w, "cmdAvgCalc"), "Run");
    EXPECT_EQ(text(*w, "txtSec"), "100");
    EXPECT_TRUE(IsPending(&control(*w, "cmdCal_GX")));

    // Closing the window during a run: no sample after the close, only the offset
    // the run cleared put back (0 here: written, then read back).
    std::size_t framesAtClose = 0;
    lastSample = 0;
    framesOut();
    run("100", 0.01, [&](int n) {
        if (n == 4 && w->isVisible()) {
            click(*w, "cmdClose");
            framesAtClose = sim.sensor().trace().size();
        }
    });
    EXPECT_FALSE(w->isVisible());
    const auto frames = framesOut();
    ASSERT_GE(frames.size(), framesAtClose);
    EXPECT_EQ(
        std::vector<std::uint16_t>(frames.begin() + static_cast<std::ptrdiff_t>(framesAtClose), frames.end()),
        (std::vector<std::uint16_t>{0x9500, 0x9400, 0x1400, 0x1400}));
    EXPECT_EQ(text(*w, "lblAvgCount"), "Total Samples = 4");
}

TEST_F(Calibration, AFailedReadEndsTheRunWithWhatItHas)
{
    open();
    run("100", 0.01, [&](int n) {
        if (n == 3)
            sim.usb().stopAnswering(0);
    });
    EXPECT_EQ(text(*w, "lblAvgCount"), "Total Samples = 3");
    EXPECT_TRUE(ui.texts().contains("Gyro_Out did not answer: the averaging run ended after 3 samples."));
    EXPECT_TRUE(IsPending(&control(*w, "cmdCal_GX")));
}

TEST_F(Calibration, ATooShortAveragingTimeMakesAOneSampleRun)
{
    open();
    for (const char* seconds : {"0", "-5", "abc"}) {
        lastSample = 0;
        framesOut();
        run(seconds, 0.25);
        EXPECT_EQ(text(*w, "lblAvgCount"), "Total Samples = 1") << seconds;
        EXPECT_EQ(text(*w, "txtSec"), "0") << seconds;
    }
}

TEST_F(Calibration, OffsetEntriesAreLimitedWrittenAndReadBack)
{
    struct Case {
        const char* typed;
        const char* shown;
        const char* hex;
    };
    // Counts of 0.018315 deg/s: 0, -2048 (the lower limit), 2047 (the upper), 0.546 -> 1.
    const Case cases[] = {{"abc", "0.000", "0000"},
                          {"-40", "-37.509", "F800"},
                          {"40", "37.491", "07FF"},
                          {"0.01", "0.018", "0001"}};
    open();
    for (const Case& c : cases) {
        control<QLineEdit>(*w, "txtGX").setText(QString::fromLatin1(c.typed));
        click(*w, "cmdCal_GX");
        EXPECT_EQ(text(*w, "txtGX"), c.shown) << c.typed;
        EXPECT_EQ(text(*w, "lblGX"), c.hex) << c.typed;
        EXPECT_EQ(
            QStringLiteral("%1").arg(sensorWord(GyroOfstAddress) & 0xFFF, 3, 16, QLatin1Char('0')).toUpper(),
            QString::fromLatin1(c.hex).right(3))
            << c.typed;
    }
}

TEST_F(Calibration, AutoNullAndFactoryRestoreShowTheOffsetTheSensorSets)
{
    open();
    bool markerShown = false;
    ui.onYield = [&] { markerShown = markerShown || control(*w, "Line1").isVisible(); };
    click(*w, "cmdAutoNull");
    EXPECT_TRUE(markerShown);
    EXPECT_FALSE(control(*w, "Line1").isVisible());
    // Command 1, then Sens_Avg (0x38) for the range it may have changed, then the offset.
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xBF00, 0xBE01, 0x3800, 0x3800, 0x1400, 0x1400}));
    const std::uint16_t nulled = sensorWord(GyroOfstAddress);
    EXPECT_NE(nulled, 0); // the simulated sensor has a bias to cancel
    EXPECT_EQ(text(*w, "lblGX"), ValueToHex4(static_cast<std::int16_t>(nulled << 4) >> 4)); // 12-bit count

    click(*w, "cmdFactoryCal");
    EXPECT_EQ(writesOut(), (std::vector<std::uint16_t>{0xBF00, 0xBE02}));
    EXPECT_EQ(text(*w, "lblGX"), "0000");
    EXPECT_EQ(text(*w, "txtGX"), "0.000");
}

// The run clears the offset to measure the uncorrected bias; a run that does not
// end with its proposal applied gives the sensor back the offset it had (here
// -5 deg/s: count -273, 0xFEEF), whichever way it ends.
TEST_F(Calibration, ARunThatIsNotAppliedRestoresTheOffsetItCleared)
{
    struct Case {
        const char* name;
        int stopAtSample; // 0: the run completes
        const char* stopBy;
        const char* afterRun; // then this button, or none
        bool restored;
    };
    const Case cases[] = {
        {"stopped", 3, "cmdAvgCalc", nullptr, true},
        {"closed during the run", 3, "cmdClose", nullptr, true},
        {"completed, then closed", 0, nullptr, "cmdClose", true},
        {"completed, then applied", 0, nullptr, "cmdCal_GX", false},
    };
    for (const Case& c : cases) {
        sim.sensor().setRegisterWord(GyroOfstAddress, 0xFEEF);
        open();
        EXPECT_EQ(text(*w, "lblGX"), "FEEF") << c.name;
        lastSample = 0;
        bool stopped = false;
        run(c.stopAtSample != 0 ? "100" : "0.05", 0.01, [&](int n) {
            if (c.stopAtSample != 0 && n == c.stopAtSample && !stopped) {
                stopped = true;
                click(*w, c.stopBy); // nested in the run's yield
            }
        });
        // A whole run leaves the offset at 0 (the 12-bit count) for its proposal.
        EXPECT_EQ((sensorWord(GyroOfstAddress) & 0x0FFF) == 0, c.stopAtSample == 0) << c.name;
        if (c.afterRun != nullptr)
            click(*w, c.afterRun);
        const std::uint16_t held = sensorWord(GyroOfstAddress) & 0x0FFF;
        if (c.restored) {
            EXPECT_EQ(held, 0x0EEF) << c.name;
            if (w->isVisible()) {
                EXPECT_EQ(text(*w, "lblGX"), "FEEF") << c.name; // what the sensor holds again
            }
        } else {
            EXPECT_NE(held, 0x0EEF) << c.name;
            EXPECT_EQ(ValueToHex4(static_cast<std::int16_t>(held << 4) >> 4), text(*w, "lblGX")) << c.name;
        }
        if (c.stopAtSample == 3 && std::string(c.stopBy) == "cmdAvgCalc")
            SaveScreenshot(*w, "fmCalibration_stopped_run_restored");
        w.reset();
    }
}
