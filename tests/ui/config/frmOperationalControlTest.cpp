// The operational control window on the simulated sensor: what it reads when it
// opens, and the frames each control sends.
#include "frmOperationalControl.h"
#include "PendingChange.h"
#include "Screenshot.h"
#include "SensorWindowBench.h"

#include <memory>

using namespace gyro;
using namespace gyro::test;

namespace {

class OperationalControl : public SensorWindowTest {
protected:
    frmOperationalControl& open()
    {
        w = std::make_unique<frmOperationalControl>(g, &mainWindow);
        w->Form_Load();
        w->show();
        framesOut();
        return *w;
    }
    bool pending(const char* button) { return IsPending(&control(*w, button)); }

    std::unique_ptr<frmOperationalControl> w;
};

} // namespace

TEST_F(OperationalControl, OpeningShowsTheSensorAndWritesNothing)
{
    sim.sensor().setRegisterWord(SmplPrdAddress, 0x0080);  // long base, NS 0: 1 / 0.06054
    sim.sensor().setRegisterWord(SensAvgAddress, 0x0283);  // 300 Hz, 160 deg/s, N 3 = 17 taps
    sim.sensor().setRegisterWord(GpioCtrlAddress, 0x0102); // line 1 output, line 0 high
    sim.sensor().setRegisterWord(MscCtrlAddress, 0x0005);  // DIO 2, low, on
    sim.sensor().setRegisterWord(AuxDacAddress, 2047);
    w = std::make_unique<frmOperationalControl>(g, &mainWindow);
    w->Form_Load();
    w->show();
    EXPECT_TRUE(writesOut().empty());

    EXPECT_EQ(w->objectName(), "frmOperationalControl");
    EXPECT_EQ(w->windowTitle(), "Operational Control");
    EXPECT_EQ(w->pos(), mainWindow.pos());
    EXPECT_EQ(text(*w, "lblSmpl_Prd"), "0080");
    EXPECT_EQ(text(*w, "txtSampleRate"), "16.518");
    EXPECT_EQ(text(*w, "lblSensAvg"), "0283");
    EXPECT_TRUE(checked(*w, "opt_Rate_160"));
    EXPECT_EQ(text(*w, "txtTaps"), "17");
    EXPECT_TRUE(checked(*w, "op330Hz"));
    EXPECT_EQ(text(*w, "lblGPIO"), "0102");
    for (const char* on : {"optIO_zero_input", "optIO_one_output", "optPol_zero_high", "optPol_one_low",
                           "optDRselect_One", "optDRPolarity_Low", "optDREnable_On"})
        EXPECT_TRUE(checked(*w, on)) << on;
    EXPECT_EQ(text(*w, "lblMisc"), "0005");
    EXPECT_EQ(text(*w, "lblAuxDac"), "07FF");
    EXPECT_EQ(text(*w, "txtVolts"), "1.2496947");
    SaveScreenshot(*w, "frmOperationalControl");
}

TEST_F(OperationalControl, RateUpdateWritesTheEncodedPeriodAndShowsTheReadBack)
{
    struct Case {
        std::int16_t interfaceType;
        const char* typed;
        std::uint16_t word;
        const char* shown;
        bool warned;
    };
    const Case cases[] = {
        {2, "256", 0x01, "256.016", false},
        {2, "5000", 0x00, "2048.0", false},
        {1, "0.01", 0xFF, "0.129", false},
        {2, "10", 0x09, "51.203", true}, // 50 counts is low-power mode: the USB card gets 9
        {2, "abc", 0x01, "256.016", false},
    };
    for (const Case& c : cases) {
        useInterface(c.interfaceType);
        open();
        ui.clear();
        type(*w, "txtSampleRate", c.typed);
        EXPECT_TRUE(pending("cmdWriteSmpl_prd")) << c.typed;
        EXPECT_TRUE(framesOut().empty()) << c.typed;
        click(*w, "cmdWriteSmpl_prd");
        // High byte 0 to 0x37, then the word's low byte to 0x36.
        EXPECT_EQ(writesOut(),
                  (std::vector<std::uint16_t>{0xB700, static_cast<std::uint16_t>(0xB600 | c.word)}))
            << c.typed;
        EXPECT_EQ(sensorWord(SmplPrdAddress), c.word) << c.typed;
        EXPECT_EQ(text(*w, "txtSampleRate"), c.shown) << c.typed;
        EXPECT_EQ(text(*w, "lblSmpl_Prd"),
                  QStringLiteral("%1").arg(c.word, 4, 16, QLatin1Char('0')).toUpper());
        ASSERT_EQ(ui.messages.size(), c.warned ? 1u : 0u) << c.typed;
        if (c.warned) {
            EXPECT_TRUE(ui.messages[0].text.contains("will place the 28150 into low power mode."));
        }
        EXPECT_FALSE(pending("cmdWriteSmpl_prd")) << c.typed;
    }
}

TEST_F(OperationalControl, TapsAreCorrectedAndShownAsTheSensorHoldsThem)
{
    struct Case {
        const char* typed;
        int setting; // N in bits 2..0
        const char* shown;
    };
    const Case cases[] = {{"2", 0, "3"}, {"300", 7, "257"}, {"100", 6, "129"}};
    open();
    for (const Case& c : cases) {
        type(*w, "txtTaps", c.typed);
        EXPECT_TRUE(pending("cmdWriteSensAvg"));
        click(*w, "cmdWriteSensAvg");
        EXPECT_EQ(sensorWord(SensAvgAddress) & 0x7, c.setting) << c.typed;
        EXPECT_EQ(text(*w, "txtTaps"), c.shown) << c.typed;
        EXPECT_FALSE(pending("cmdWriteSensAvg"));
    }
}

TEST_F(OperationalControl, RangeChoiceWaitsForUpdateThenTheScaleFollows)
{
    open(); // factory Sens_Avg 0x0402: 320 deg/s, 9 taps, 50 Hz
    ASSERT_TRUE(checked(*w, "opt_Rate_320"));
    click(*w, "opt_Rate_160");
    EXPECT_TRUE(pending("cmdWriteSensAvg"));
    EXPECT_TRUE(framesOut().empty());
    EXPECT_EQ(sensorWord(SensAvgAddress), 0x0402);

    click(*w, "cmdWriteSensAvg");
    // 160 deg/s (2 x 256) + 9 taps (N 2); 50 Hz.
    EXPECT_EQ(writesOut(), (std::vector<std::uint16_t>{0xB902, 0xB802}));
    EXPECT_EQ(text(*w, "lblSensAvg"), "0202");
    EXPECT_FLOAT_EQ(g.GyroScale, 0.03663f);
    EXPECT_FALSE(pending("cmdWriteSensAvg"));

    click(*w, "op330Hz");
    click(*w, "opt_Rate_80");
    click(*w, "cmdWriteSensAvg");
    EXPECT_EQ(sensorWord(SensAvgAddress), 0x0182); // 300 Hz + 80 deg/s + N 2
    EXPECT_FLOAT_EQ(g.GyroScale, 0.018315f);
}

TEST_F(OperationalControl, IoOptionsWriteTheirRegisterAtOnce)
{
    sim.sensor().setRegisterWord(MscCtrlAddress, 0x0100); // self-test on
    open();
    click(*w, "optIO_one_output");
    // Gpio_Ctrl at 0x32: line 1 output, line 0 input, both low.
    EXPECT_EQ(writesOut(), (std::vector<std::uint16_t>{0xB300, 0xB202}));
    EXPECT_EQ(text(*w, "lblGPIO"), "0002");
    EXPECT_EQ(g.GpioCtrlShadow, 0x0002);

    click(*w, "optDRselect_One");
    click(*w, "optDRPolarity_High");
    click(*w, "optDREnable_On");
    // Msc_Ctrl at 0x34, one write per choice; the last carries all three bits and no self-test.
    const auto writes = writesOut();
    ASSERT_EQ(writes.size(), 6u);
    EXPECT_EQ(writes[5], 0xB407);
    EXPECT_EQ(sensorWord(MscCtrlAddress), 0x0007);
    EXPECT_EQ(g.MscCtrlShadow, 0x0007);
    EXPECT_EQ(text(*w, "lblMisc"), "0007");
}

TEST_F(OperationalControl, DacVoltsAreLimitedLatchedAndReadBack)
{
    struct Case {
        const char* typed;
        int code;
        const char* shown;
    };
    const Case cases[] = {{"1.25", 2047, "1.2496947"}, {"3", 4095, "2.5"}, {"x", 0, "0.0"}};
    open();
    for (const Case& c : cases) {
        type(*w, "txtVolts", c.typed);
        EXPECT_TRUE(pending("cmdWriteAuxDac"));
        click(*w, "cmdWriteAuxDac");
        // The code to Aux_DAC (0x31, 0x30), then Command 4 (0x3F, 0x3E).
        EXPECT_EQ(writesOut(), (std::vector<std::uint16_t>{
                                   static_cast<std::uint16_t>(0xB100 | (c.code >> 8)),
                                   static_cast<std::uint16_t>(0xB000 | (c.code & 0xFF)), 0xBF00, 0xBE04}))
            << c.typed;
        EXPECT_EQ(sim.sensor().dacOutputCode(), c.code);
        EXPECT_EQ(text(*w, "txtVolts"), c.shown) << c.typed;
        EXPECT_FALSE(pending("cmdWriteAuxDac"));
    }
}

TEST_F(OperationalControl, FlashUpdateShowsItsMarkerWhileItWaits)
{
    open();
    bool markerShown = false;
    ui.onYield = [&] { markerShown = markerShown || control(*w, "Line1").isVisible(); };
    const double before = sim.clock().monotonicSeconds();
    click(*w, "cmdFlash");
    EXPECT_TRUE(markerShown);
    EXPECT_FALSE(control(*w, "Line1").isVisible());
    EXPECT_EQ(writesOut(), (std::vector<std::uint16_t>{0xBF00, 0xBE08}));
    EXPECT_GE(sim.clock().monotonicSeconds() - before, 0.2);
    EXPECT_EQ(sim.sensor().flashWord(SmplPrdAddress), sensorWord(SmplPrdAddress));
}

TEST_F(OperationalControl, ASensorThatDoesNotAnswerShowsNoNumbers)
{
    sim.usb().stopAnswering(0);
    open();
    for (const char* hex : {"lblSmpl_Prd", "lblSensAvg", "lblGPIO", "lblMisc", "lblAuxDac"})
        EXPECT_EQ(text(*w, hex), "----") << hex;
    for (const char* box : {"txtSampleRate", "txtTaps", "txtVolts"})
        EXPECT_EQ(text(*w, box), "") << box;

    // A write whose read-back fails leaves the change marked as not done.
    type(*w, "txtSampleRate", "100");
    click(*w, "cmdWriteSmpl_prd");
    EXPECT_EQ(text(*w, "lblSmpl_Prd"), "----");
    EXPECT_TRUE(pending("cmdWriteSmpl_prd"));
}
