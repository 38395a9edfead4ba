// The alarm window on the simulated sensor: what it shows for the words the sensor
// holds, what each Update writes, the pending marks and the flash update.
#include "frmAlarms.h"
#include "PendingChange.h"
#include "Screenshot.h"
#include "SimWindowBench.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>

namespace gyro::test {
namespace {

constexpr int AlmMag1 = 0x20;
constexpr int AlmMag2 = 0x22;
constexpr int AlmSmpl1 = 0x24;
constexpr int AlmCtrl = 0x28;

struct AlarmWindow : ::testing::Test {
    SimWindowBench b;
    std::unique_ptr<frmAlarms> w;

    void open()
    {
        w = std::make_unique<frmAlarms>(b.g, &b.mainWindow);
        w->show();
    }
    QString label(const char* name) { return control<QLabel>(*w, name).text(); }
    QString text(const char* name) { return box(*w, name).text(); }
    QComboBox& combo(const char* name) { return control<QComboBox>(*w, name); }
    bool pending(const char* name) { return IsPending(&button(*w, name)); }
    // Chooses a source as the user does: the list opened by keyboard, an entry picked.
    void chooseSource(const char* name, const QString& entry)
    {
        QComboBox& c = combo(name);
        while (c.currentText() != entry && c.currentIndex() < c.count() - 1)
            QTest::keyClick(&c, Qt::Key_Down);
        ASSERT_EQ(c.currentText(), entry);
    }
    void type(const char* name, const QString& text)
    {
        QLineEdit& entry = box(*w, name);
        entry.selectAll();
        QTest::keyClicks(&entry, text);
    }
};

TEST_F(AlarmWindow, ShowsTheControlWordsSourcesRatesAndIndicator)
{
    struct Case {
        std::uint16_t ctrl;
        const char* source1;
        const char* source2;
        bool rate1, rate2, secondLine, high, enabled;
    };
    const Case cases[] = {
        {0x0000, "Disabled", "Disabled", false, false, false, false, false},
        {0x6527, "Aux_ADC", "Temp", false, false, true, true, true},     // sources 5 and 6, bits 2..0 set
        {0x4300, "Supply V", "Gyro", false, false, false, false, false}, // numbers 3 and 4
        {0x8700, "Unknown (7)", "Disabled", false, true, false, false, false}, // 7 has no entry
        {0x1802, "Disabled", "Supply V", true, false, false, true, false},
    };
    for (const Case& c : cases) {
        b.setWord(AlmCtrl, c.ctrl);
        open();
        const QString hex = QStringLiteral("%1").arg(c.ctrl, 4, 16, QLatin1Char('0')).toUpper();
        for (const char* name : {"lblAlmCtrl", "lblAlmCtrlB", "lblAlmCtrlC"})
            EXPECT_EQ(label(name), hex);
        EXPECT_EQ(combo("cmboAsource1").currentText(), c.source1);
        EXPECT_EQ(combo("cmboAsource2").currentText(), c.source2);
        EXPECT_EQ(combo("cmboAsource1").count(), 5);
        EXPECT_EQ(text("txtLevel1"), "0.000");
        EXPECT_EQ(checked(*w, "opRate1_Enabled"), c.rate1) << hex.toStdString();
        EXPECT_EQ(checked(*w, "opRate1_Disabled"), !c.rate1);
        EXPECT_EQ(checked(*w, "opRate2_Enabled"), c.rate2);
        EXPECT_EQ(checked(*w, "opDigLine_one"), c.secondLine);
        EXPECT_EQ(checked(*w, "opDigLine_zero"), !c.secondLine);
        EXPECT_EQ(checked(*w, "opDigPol_high"), c.high);
        EXPECT_EQ(checked(*w, "opDig_Enabled"), c.enabled);
        EXPECT_EQ(checked(*w, "opDig_Disabled"), !c.enabled);
        // Filling the window is not a change of the user's.
        for (const char* update :
             {"cmdWriteA1", "cmdWriteA2", "cmdWriteAlmSmpl1", "cmdWriteAlmSmpl2", "cmdAdio"})
            EXPECT_FALSE(pending(update)) << update;
    }
}

TEST_F(AlarmWindow, LevelsShowInTheSourcesUnits)
{
    struct Case {
        std::uint16_t ctrl;
        std::uint16_t mag;
        const char* level;
        bool greater;
    };
    // Gyro at 0.07326 deg/s per count (320 deg/s, the factory range), supply 0.00183 V,
    // temperature 0.1454139 C without the 25 C offset.
    const Case cases[] = {
        {0x0200, 0x9FFE, "599.999", true},                                       // 8190 counts
        {0x0200, 0x2002, "-599.999", false},                                     // 8194 - 16384
        {0x0200, 0x0555, "100.000", false},                                      // 1365
        {0x0100, 0x0FFF, "7.494", false},                                        // 4095, unsigned
        {0x0600, 0x0001, "0.145", false},    {0x0600, 0x3FBB, "-10.034", false}, // -69
        {0x0700, 0x0555, "0.000", false},                                        // no scale for source 7
    };
    open();
    EXPECT_EQ(w->objectName(), "frmAlarms");
    EXPECT_EQ(w->windowTitle(), "ALARM CONFIGURATION AND CONTROL");
    EXPECT_EQ(w->pos(), b.mainWindow.pos());
    for (const Case& c : cases) {
        b.setWord(AlmCtrl, c.ctrl);
        b.setWord(AlmMag1, c.mag);
        w->ReadAlarmSetup();
        EXPECT_EQ(text("txtLevel1"), c.level);
        EXPECT_EQ(checked(*w, "opTrigPol1_Greater"), c.greater);
        EXPECT_EQ(checked(*w, "opTrigPol1_Less"), !c.greater);
        EXPECT_EQ(label("lblALM_MAG1"), QStringLiteral("%1").arg(c.mag, 4, 16, QLatin1Char('0')).toUpper());
    }
    b.setWord(AlmSmpl1, 0x00FF);
    w->ReadAlarmSetup();
    EXPECT_EQ(text("txtAvg1"), "255");
    EXPECT_EQ(label("lblALM_SMPL1"), "00FF");
}

TEST_F(AlarmWindow, UpdateWritesBothAlarmsAndShowsTheReadBack)
{
    open();
    chooseSource("cmboAsource1", "Gyro");
    EXPECT_TRUE(pending("cmdWriteA1"));
    type("txtLevel1", "100");
    click(*w, "opTrigPol1_Greater");
    chooseSource("cmboAsource2", "Supply V");
    type("txtLevel2", "8");
    EXPECT_TRUE(pending("cmdWriteA2"));

    click(*w, "cmdWriteA1");
    EXPECT_EQ(b.word(AlmMag1), 0x8555);
    EXPECT_EQ(b.word(AlmMag2), 0x0FFF); // limited to 7.49385 V
    EXPECT_EQ(b.word(AlmCtrl), 0x1200); // sources 2 and 1
    EXPECT_EQ(text("txtLevel1"), "100.000");
    EXPECT_EQ(text("txtLevel2"), "7.494");
    EXPECT_EQ(label("lblALM_MAG1"), "8555");
    EXPECT_FALSE(pending("cmdWriteA1"));
    EXPECT_TRUE(pending("cmdWriteA2")); // only the pressed button returns to its colour
    SaveScreenshot(*w, "frmAlarms");

    type("txtLevel1", "700");
    click(*w, "cmdWriteA2");
    EXPECT_EQ(b.word(AlmMag1), 0x9FFE);
    EXPECT_EQ(text("txtLevel1"), "599.999");
    EXPECT_FALSE(pending("cmdWriteA2"));
}

TEST_F(AlarmWindow, AverageRateAndIndicatorUpdates)
{
    b.setWord(AlmCtrl, 0x0700); // alarm 1 on source 7, which the list cannot show
    open();
    type("txtAvg1", "300");
    click(*w, "opRate1_Enabled");
    EXPECT_TRUE(pending("cmdWriteAlmSmpl1"));
    click(*w, "cmdWriteAlmSmpl1");
    EXPECT_EQ(b.word(AlmSmpl1), 255);
    EXPECT_EQ(text("txtAvg1"), "255");
    EXPECT_EQ(label("lblALM_SMPL1"), "00FF");
    EXPECT_FALSE(pending("cmdWriteAlmSmpl1"));

    click(*w, "opDigLine_one");
    click(*w, "opDigPol_high");
    click(*w, "opDig_Enabled");
    EXPECT_TRUE(pending("cmdAdio"));
    click(*w, "cmdAdio");
    EXPECT_EQ(b.word(AlmCtrl), 0x0F07); // source 7 and bit 11 kept, bits 2..0 set
    EXPECT_EQ(label("lblAlmCtrlC"), "0F07");
    EXPECT_FALSE(pending("cmdAdio"));

    // Alarm 2's Update leaves alarm 1's unknown source and its level alone.
    b.setWord(AlmMag1, 0x1234);
    w->ReadAlarmSetup();
    click(*w, "cmdWriteA2");
    EXPECT_EQ(b.word(AlmCtrl), 0x0F07);
    EXPECT_EQ(b.word(AlmMag1), 0x1234);
    EXPECT_EQ(combo("cmboAsource1").currentText(), "Unknown (7)");
}

TEST_F(AlarmWindow, TypedSourceTextSelectsAnEntryOnlyWhenItNamesOne)
{
    b.setWord(AlmCtrl, 0x0200);
    b.setWord(AlmMag1, 0x0555);
    open();
    combo("cmboAsource1").setEditText("xyz");
    EXPECT_FALSE(pending("cmdWriteA1")); // typing in a selector marks nothing
    type("txtLevel1", "50");
    click(*w, "cmdWriteA1");
    EXPECT_EQ(b.word(AlmMag1), 0x0555); // alarm 1 left as the sensor holds it
    EXPECT_EQ(combo("cmboAsource1").currentText(), "Gyro");

    combo("cmboAsource1").setEditText("temp");
    type("txtLevel1", "10");
    click(*w, "cmdWriteA1");
    EXPECT_EQ(b.word(AlmCtrl), 0x0600);
    EXPECT_EQ(b.word(AlmMag1), 0x0045);
}

TEST_F(AlarmWindow, FlashUpdateShowsItsMarkerWhileTheSensorStores)
{
    open();
    auto& line = control<QFrame>(*w, "LineFlash");
    EXPECT_FALSE(line.isVisible());
    bool shownDuringWait = false;
    b.ui.onYield = [&] { shownDuringWait = line.isVisible(); };
    b.framesOut();
    click(*w, "cmdFlash");
    EXPECT_TRUE(shownDuringWait);
    EXPECT_FALSE(line.isVisible());
    EXPECT_EQ(b.framesOut(), (std::vector<std::uint16_t>{0xBF00, 0xBE08})); // 8 to Command (0x3E)
}

TEST_F(AlarmWindow, RegistersThatDoNotAnswerShowNoValues)
{
    b.setWord(AlmCtrl, 0x6527);
    b.sim.usb().stopAnswering(0);
    open();
    for (const char* name : {"lblAlmCtrl", "lblALM_MAG1", "lblALM_SMPL2"})
        EXPECT_EQ(label(name), "----") << name;
    for (const char* name : {"txtLevel1", "txtAVG2"})
        EXPECT_EQ(text(name), "") << name;
    for (const char* name : {"opDig_Enabled", "opDig_Disabled", "opTrigPol1_Greater", "opTrigPol1_Less"})
        EXPECT_FALSE(checked(*w, name)) << name;
    EXPECT_EQ(combo("cmboAsource1").currentIndex(), -1);
}

} // namespace
} // namespace gyro::test
