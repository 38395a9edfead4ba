// The status flags, the self-test buttons and the timed power-down.
#include "CommaLocale.h"
#include "MainWindowFixture.h"

using namespace gyro;
using namespace gyro::test;

namespace {

const QColor Red(255, 0, 0);
const QColor Green(0, 255, 0);

// Flag labels in bit order: bits 0..5, then 8 and 9.
const char* const FlagLabels[] = {"lblLowSupplyFlag", "lblHighSupplyFlag", "lblWriteFailFlag",
                                  "lblSpiWriteFlag",  "lblGyroOR",         "lblSTFail",
                                  "lblAlarm1SetFlag", "lblAlarm2SetFlag"};

} // namespace

class StatusPanel : public MainWindowTest {
protected:
    void loadUsb()
    {
        load(2);
        control<QAbstractButton>("ckLoop")->setChecked(false);
        framesOut();
        ui.clear();
    }
    void showStatus(std::uint16_t word)
    {
        sim.sensor().setRegisterWord(StatusAddress, word);
        click("CmdUpdateStatus");
    }
};

TEST_F(StatusPanel, FlagsShowTheirBitsInRedOrGreen)
{
    loadUsb();
    // 0x0301: bits 0, 8 and 9 -> supply low, alarm 1, alarm 2.
    showStatus(0x0301);
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0x3C00, 0x3C00}));
    const bool alarm[] = {true, false, false, false, false, false, true, true};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(text(FlagLabels[i]), alarm[i] ? "Alarm" : "OK") << FlagLabels[i];
        EXPECT_EQ(backColor(FlagLabels[i]), alarm[i] ? Red : Green) << FlagLabels[i];
    }
    // 0x003E: bits 1..5.
    showStatus(0x003E);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(text(FlagLabels[i]), i >= 1 && i <= 5 ? "Alarm" : "OK") << FlagLabels[i];
}

TEST_F(StatusPanel, UnshownBitsChangeNothing)
{
    loadUsb();
    showStatus(0xFCC0); // bits 6, 7 and 10..15
    for (const char* flag : FlagLabels) {
        EXPECT_EQ(text(flag), "OK") << flag;
        EXPECT_EQ(backColor(flag), Green) << flag;
    }
}

TEST_F(StatusPanel, WithoutInterfaceFlagsShowNoReading)
{
    load(0);
    const QColor window = QApplication::palette().color(QPalette::Window);
    click("CmdUpdateStatus");
    for (const char* flag : FlagLabels) {
        EXPECT_EQ(text(flag), "----") << flag; // no "OK" from no traffic
        EXPECT_EQ(backColor(flag), window) << flag;
    }
}

TEST_F(StatusPanel, SelfTestEditsTheShadowOfMscCtrl)
{
    // Msc_Ctrl 0x0605 in the sensor: the load reads it into the shadow.
    sim.sensor().setRegisterWord(MscCtrlAddress, 0x0605);
    loadUsb();
    EXPECT_EQ(g.MscCtrlShadow, 0x0605);

    // ON sets bit 8: 0x0705, sent high byte to 0x35, then low byte to 0x34.
    ClickOptionButton(control<QAbstractButton>("optSTON"));
    EXPECT_EQ(g.MscCtrlShadow, 0x0705);
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xB507, 0xB405}));

    // OFF clears the whole upper byte, bits 9 and 10 too: 0x0005.
    ClickOptionButton(control<QAbstractButton>("optSTOFF"));
    EXPECT_EQ(g.MscCtrlShadow, 0x0005);
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xB500, 0xB405}));
}

TEST_F(StatusPanel, PowerDownWritesHalfSecondsAndCountsTheTime)
{
    loadUsb();
    ui.onYield = [&] {
        sim.fakeClock()->advance(0.5);
        if (ui.yields > 1000)
            form->close(); // a count that never ends would hang the test
    };
    control<QLineEdit>("txtPowerDown")->setText(QStringLiteral("10.3"));
    const double start = sim.fakeClock()->monotonicSeconds();
    click("cmdPowerDown");

    // 2 x 10.3 = 20.6 -> 20 (0x14) to Pwr_Mde (0x3A): 0x3B <- 0x00, 0x3A <- 0x14.
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xBB00, 0xBA14}));
    // The label keeps the last value under 10.3 s. The count reads 10.5 s on its
    // last turn and yields once more (11 s), then waits 200 ms; the write before it 0.1 ms.
    EXPECT_EQ(text("lblPDElapsed"), "10.0");
    EXPECT_NEAR(sim.fakeClock()->monotonicSeconds() - start, 0.0001 + 11.0 + 0.2, 1e-6);
}

TEST_F(StatusPanel, PowerDownCountsAcrossMidnight)
{
    loadUsb();
    sim.fakeClock()->setMidnightOffset(24 * 3600.0 - 2.0 - sim.fakeClock()->monotonicSeconds());
    ui.onYield = [&] {
        sim.fakeClock()->advance(0.5);
        if (ui.yields > 1000)
            form->close();
    };
    control<QLineEdit>("txtPowerDown")->setText(QStringLiteral("5"));
    const int yieldsBefore = ui.yields;
    click("cmdPowerDown");
    EXPECT_EQ(ui.yields - yieldsBefore, 11); // elapsed 0, 0.5, .., 5.0
    EXPECT_EQ(text("lblPDElapsed"), "4.5");
}

// The count sleeps on the monotonic clock between its passes instead of spinning
// through yields: with yields that take no time it still ends, having slept the
// whole time in short steps, yielding and showing the time on every step.
TEST_F(StatusPanel, PowerDownSleepsBetweenPassesAndStaysResponsive)
{
    const struct {
        const char* seconds;
        const char* lastShown;
    } cases[] = {{"1", "1.0"}, {"2.5", "2.5"}, {"0.01", "0.0"}};
    for (const auto& c : cases) {
        loadUsb();
        ui.onYield = [&] {
            if (ui.yields > 100000)
                form->close(); // a count that never ends would hang the test
        };
        control<QLineEdit>("txtPowerDown")->setText(QString::fromLatin1(c.seconds));
        const double seconds = QString::fromLatin1(c.seconds).toDouble();
        const std::size_t sleepsBefore = sim.fakeClock()->sleeps().size();
        const int yieldsBefore = ui.yields;
        const double start = sim.fakeClock()->monotonicSeconds();
        click("cmdPowerDown");
        ui.onYield = nullptr;

        ASSERT_TRUE(form->isVisible()) << c.seconds;
        // 0.1 ms for the write, the time asked, then the 200 ms wait.
        EXPECT_NEAR(sim.fakeClock()->monotonicSeconds() - start, 0.0001 + seconds + 0.2, 1e-6) << c.seconds;
        const auto& sleeps = sim.fakeClock()->sleeps();
        double slept = 0.0;
        for (std::size_t i = sleepsBefore; i < sleeps.size(); ++i) {
            if (sleeps[i] <= 0.0200001) // the 200 ms wait sleeps too, in one piece
                slept += sleeps[i];
        }
        EXPECT_NEAR(slept, seconds, 1e-6) << c.seconds;
        // A yield at least every 20 ms, so a click is answered within that.
        EXPECT_GE(ui.yields - yieldsBefore, static_cast<int>(seconds / 0.02)) << c.seconds;
        EXPECT_EQ(text("lblPDElapsed"), c.lastShown) << c.seconds;
        form.reset();
    }
}

TEST_F(StatusPanel, PowerDownOfTheLongestTimeWrites255)
{
    loadUsb();
    ui.onYield = [&] { sim.fakeClock()->advance(1.0); };
    control<QLineEdit>("txtPowerDown")->setText(QStringLiteral("127.5"));
    click("cmdPowerDown");
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xBB00, 0xBAFF}));
}

TEST_F(StatusPanel, PowerDownOfZeroWritesZeroAndCountsNothing)
{
    loadUsb();
    control<QLineEdit>("txtPowerDown")->setText(QStringLiteral("0"));
    const int yieldsBefore = ui.yields;
    click("cmdPowerDown");
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xBB00, 0xBA00}));
    EXPECT_EQ(text("lblPDElapsed"), "0.0");
    EXPECT_EQ(ui.yields, yieldsBefore);
}

TEST_F(StatusPanel, PowerDownTextSettlesWithin0To127_5)
{
    loadUsb();
    auto* box = control<QLineEdit>("txtPowerDown");
    const std::pair<const char*, const char*> cases[] = {
        {"abc", "0.0"}, {"200", "127.5"}, {"-1", "0.0"}, {"12.25", "12.25"}, {"127.5", "127.5"}, {"", "0.0"},
    };
    for (const auto& [typed, settled] : cases) {
        box->setText(QString::fromLatin1(typed));
        EXPECT_EQ(box->text(), settled) << typed;
    }
    EXPECT_TRUE(framesOut().empty());
}

// Where the decimal mark is a comma, the texts the box is corrected to must read
// back as the numbers they mean: 200 becomes "127,5" and Run writes 255, not 0.
// The system locale is read once per process, so the test runs itself again in a
// child process under a German locale.
TEST_F(StatusPanel, PowerDownCorrectionsReadBackInACommaLocale)
{
    if (test::RanUnderCommaLocaleInAChild())
        return;
    loadUsb();
    ui.onYield = [&] { sim.fakeClock()->advance(1.0); };
    auto* box = control<QLineEdit>("txtPowerDown");
    box->setText(QStringLiteral("200"));
    EXPECT_EQ(box->text(), "127,5");
    click("cmdPowerDown");
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xBB00, 0xBAFF}));
    box->setText(QStringLiteral("abc"));
    EXPECT_EQ(box->text(), "0,0");
    box->setText(QStringLiteral("10,5"));
    EXPECT_EQ(box->text(), "10,5");
}
