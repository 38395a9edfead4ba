// The output-register panel: single passes, the loop and its stop paths, the
// supply colour, the angle row and the loop delay text.
#include "CommaLocale.h"
#include "MainWindowFixture.h"
#include "Screenshot.h"
#include "StripChart.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <algorithm>
#include <cstddef>

using namespace gyro;
using namespace gyro::test;

namespace {

// Supply_Out counts at 1.83 mV: 1366 -> 2.49978 V ("2.50"), 1421 -> 2.60043 V
// ("2.60"), 2732 -> 4.99956 V ("5.00").
constexpr std::uint16_t Supply250 = 1366;
constexpr std::uint16_t Supply260 = 1421;
constexpr std::uint16_t Supply500 = 2732;

const QColor Red(255, 0, 0);
const QColor White(255, 255, 255);

std::ptrdiff_t countOf(const std::vector<std::uint16_t>& frames, std::uint16_t frame)
{
    return std::count(frames.begin(), frames.end(), frame);
}

} // namespace

class Readout : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        load(2);
        framesOut();
        ui.clear();
        ui.yields = 0;
    }
    StripChart* pic1() const { return control<StripChart>("pic1"); }
    QAbstractButton* ckLoop() const { return control<QAbstractButton>("ckLoop"); }
    // Passes made: each reads Supply_Out once, as two frames 0x0200.
    std::ptrdiff_t passes(const std::vector<std::uint16_t>& frames) const
    {
        return countOf(frames, 0x0200) / 2;
    }
};

TEST_F(Readout, OnePassReadsTheFiveOutputsThenTheStatus)
{
    ckLoop()->setChecked(false);
    click("cmdReadData");
    // Each read frame twice on the card: Supply, Gyro, Aux, Temp, Angle, Status.
    const std::vector<std::uint16_t> expected{0x0200, 0x0200, 0x0400, 0x0400, 0x0A00, 0x0A00,
                                              0x0C00, 0x0C00, 0x0E00, 0x0E00, 0x3C00, 0x3C00};
    EXPECT_EQ(framesOut(), expected);
    EXPECT_EQ(text("cmdReadData"), "Read");
    // Every reading with two decimals.
    for (const char* name : {"lblRegDat_1", "lblRegDat_2", "lblRegDat_3", "lblRegDat_4"})
        EXPECT_TRUE(text(name).contains(QRegularExpression(QStringLiteral("^-?\\d+\\.\\d\\d$")))) << name;
}

TEST_F(Readout, SupplyColourFollowsTheDisplayedValue)
{
    ckLoop()->setChecked(false);
    auto passWithSupply = [this](std::uint16_t counts) {
        sim.sensor().setRegisterWord(SupplyAddress, counts);
        click("cmdReadData");
    };
    passWithSupply(Supply250);
    EXPECT_EQ(text("lblRegDat_1"), "2.50");
    EXPECT_EQ(backColor("lblRegDat_1"), Red);
    passWithSupply(Supply260); // exactly 2.60 shown: the colour stays
    EXPECT_EQ(text("lblRegDat_1"), "2.60");
    EXPECT_EQ(backColor("lblRegDat_1"), Red);
    passWithSupply(Supply500);
    EXPECT_EQ(backColor("lblRegDat_1"), White);
    passWithSupply(Supply260);
    EXPECT_EQ(backColor("lblRegDat_1"), White);
}

TEST_F(Readout, SupplyOfExactly260OnTheFirstPassKeepsTheDesignColour)
{
    form.reset();
    sim.sensor().setRegisterWord(SupplyAddress, Supply260);
    frmForm1 window(g);
    const QColor design = window.lblRegDat[1]->palette().color(window.lblRegDat[1]->backgroundRole());
    window.Form_Load();
    EXPECT_EQ(window.lblRegDat[1]->text(), "2.60");
    EXPECT_EQ(window.lblRegDat[1]->palette().color(window.lblRegDat[1]->backgroundRole()), design);
}

TEST_F(Readout, AngleRowIsReadWhileHiddenAndRestartsFromZeroWhenShown)
{
    ckLoop()->setChecked(false);
    auto* caption = control<QLabel>("lblReg_5");
    const QColor grey = QApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
    const QColor buttonText = QApplication::palette().color(QPalette::Active, QPalette::ButtonText);
    EXPECT_EQ(caption->palette().color(caption->foregroundRole()), grey);
    EXPECT_EQ(caption->toolTip(), "Click to enable Angle_Out");

    click("cmdReadData");
    EXPECT_EQ(countOf(framesOut(), 0x0E00), 2); // still read
    EXPECT_EQ(text("lblRegDat_5"), "____");

    // Enabling writes 0 to ANGL_OUT (0x0E): high byte to 0x0F first, then the low byte.
    QTest::mouseClick(caption, Qt::LeftButton);
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0x8F00, 0x8E00}));
    EXPECT_EQ(caption->palette().color(caption->foregroundRole()), buttonText);
    EXPECT_EQ(caption->toolTip(), "Click to disable Angle_Out");
    click("cmdReadData");
    EXPECT_NE(text("lblRegDat_5"), "____");

    // Disabling writes nothing.
    framesOut();
    QTest::mouseClick(caption, Qt::LeftButton);
    EXPECT_TRUE(framesOut().empty());
    EXPECT_EQ(text("lblRegDat_5"), "____");
    EXPECT_EQ(caption->toolTip(), "Click to enable Angle_Out");

    // The other row captions ignore clicks.
    QTest::mouseClick(control<QLabel>("lblReg_2"), Qt::LeftButton);
    EXPECT_TRUE(framesOut().empty());
}

TEST_F(Readout, WithoutLoopEveryClickIsOnePass)
{
    ckLoop()->setChecked(false);
    for (int i = 0; i < 3; ++i)
        click("cmdReadData");
    EXPECT_EQ(passes(framesOut()), 3);
    EXPECT_EQ(text("cmdReadData"), "Read");
}

TEST_F(Readout, SecondClickDuringTheLoopMakesOneMorePassAndStopsIt)
{
    const int startPosition = pic1()->position();
    QString captionDuringLoop;
    bool clicked = false;
    ui.onYield = [&] {
        // Yield 1 is the click's own; yield n + 1 falls inside pass n.
        if (ui.yields == 2)
            captionDuringLoop = text("cmdReadData");
        if (ui.yields == 4 && !clicked) {
            clicked = true;
            sim.sensor().setRegisterWord(SupplyAddress, Supply250);
            click("cmdReadData"); // nested in pass 3: caption "Read", one single pass
        }
    };
    click("cmdReadData");

    EXPECT_EQ(captionDuringLoop, "STOP");
    EXPECT_EQ(text("cmdReadData"), "Read");
    EXPECT_EQ(passes(framesOut()), 4); // three passes of the loop and the click's own
    EXPECT_EQ(pic1()->position(), startPosition + 4);
    // The newest pass shows; pass 3's readings, held back, never overwrite it.
    EXPECT_EQ(text("lblRegDat_1"), "2.50");
}

TEST_F(Readout, ClearingLoopEndsTheLoopAfterItsCurrentPass)
{
    ui.onYield = [&] {
        if (ui.yields == 2) // inside pass 1: pass 2 reads a low supply
            sim.sensor().setRegisterWord(SupplyAddress, Supply250);
        if (ui.yields == 3) // inside pass 2
            ckLoop()->setChecked(false);
    };
    click("cmdReadData");
    EXPECT_EQ(text("cmdReadData"), "Read");
    EXPECT_EQ(passes(framesOut()), 2);
    // A running loop shows its readings at the display's pace; the last pass's show when it ends.
    EXPECT_EQ(text("lblRegDat_1"), "2.50");
    EXPECT_EQ(backColor("lblRegDat_1"), Red);
    // Checking the box again starts nothing.
    ui.onYield = nullptr;
    ckLoop()->setChecked(true);
    EXPECT_TRUE(framesOut().empty());
}

TEST_F(Readout, LoopGoesOnWhileAMenuWindowIsOpenAndAfterItCloses)
{
    bool opened = false;
    ui.onYield = [&] {
        if (ui.yields == 3 && !opened) {
            opened = true;
            closeNextModal();
            action("mnuPort")->trigger(); // the loop waits inside this yield
        }
        if (ui.yields == 8)
            click("cmdReadData");
    };
    click("cmdReadData");
    EXPECT_TRUE(opened);
    EXPECT_NE(form->findChild<QDialog*>(QStringLiteral("frmPort")), nullptr);
    EXPECT_GE(passes(framesOut()), 6);
    EXPECT_EQ(g.InterfaceType, 2); // the port window was cancelled
}

// "None" chosen in the card selection while the loop runs ends the loop: the rows
// and flags show "----", not the loop's last readings, and "Read" leaves them so.
TEST_F(Readout, NoCardChosenDuringTheLoopLeavesNoOldNumbers)
{
    bool chosen = false;
    ui.onYield = [&] {
        if (ui.yields != 3 || chosen)
            return;
        chosen = true;
        QTimer::singleShot(0, [] {
            QWidget* modal = QApplication::activeModalWidget();
            QTest::mouseClick(modal->findChild<QAbstractButton*>(QStringLiteral("optUsbPort_4")),
                              Qt::LeftButton);
            QTest::mouseClick(modal->findChild<QAbstractButton*>(QStringLiteral("cmdExit")), Qt::LeftButton);
        });
        action("mnuUsb")->trigger(); // the loop waits inside this yield
    };
    for (int click = 0; click < 2; ++click) { // the loop, then "Read" without an interface
        QTest::mouseClick(control<QAbstractButton>("cmdReadData"), Qt::LeftButton);
        ASSERT_TRUE(chosen);
        EXPECT_EQ(g.InterfaceType, 0);
        for (const char* row : {"lblRegDat_1", "lblRegDat_2", "lblRegDat_3", "lblRegDat_4"})
            EXPECT_EQ(control<QLabel>(row)->text(), QStringLiteral("----")) << row << " click " << click;
    }
}

TEST_F(Readout, ClosingTheWindowDuringTheLoopEndsItWithoutFurtherTraffic)
{
    QSignalSpy ended(form.get(), &frmForm1::programEnded);
    ui.onYield = [&] {
        if (ui.yields == 3) {
            form->close();
            framesOut();
        }
    };
    click("cmdReadData");
    EXPECT_EQ(ended.count(), 1);
    EXPECT_TRUE(framesOut().empty());
    EXPECT_TRUE(QFile::exists(QStringLiteral("CommPort.cfg")));
}

TEST_F(Readout, LoopDelayTextSettlesWithinZeroTo1000)
{
    auto* box = control<QLineEdit>("txtLoopDelay");
    const std::pair<const char*, const char*> cases[] = {
        {"abc", "0"},   {"2500", "1000"}, {"-3", "0"},      {"", "0"},
        {"250", "250"}, {"12.5", "12.5"}, {"1000", "1000"},
    };
    for (const auto& [typed, settled] : cases) {
        box->setText(QString::fromLatin1(typed));
        EXPECT_EQ(box->text(), settled) << typed;
    }
    // Typing over the box goes through the same rules key by key.
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("x7"));
    EXPECT_EQ(box->text(), "07");
}

TEST_F(Readout, LoopDelayIsTheWaitAfterEachPass)
{
    ckLoop()->setChecked(false);
    control<QLineEdit>("txtLoopDelay")->setText(QStringLiteral("12.5"));
    sim.fakeBusyLoop()->clearSpins();
    const std::size_t sleepsBefore = sim.fakeClock()->sleeps().size();
    click("cmdReadData");
    // The wait sleeps until 0.15 ms before its end and spins the rest (15 units).
    ASSERT_EQ(sim.fakeClock()->sleeps().size(), sleepsBefore + 1);
    EXPECT_NEAR(sim.fakeClock()->sleeps().back(), 0.01235, 1e-9);
    ASSERT_FALSE(sim.fakeBusyLoop()->spins().empty());
    EXPECT_EQ(sim.fakeBusyLoop()->spins().back().units, 15);
}

// With the burst a pass is one transfer: the five outputs, Status and the closing
// frame. The numbers, chart points and flags it shows are those of the six reads.
TEST_F(Readout, ABurstPassShowsWhatSixReadsShow)
{
    ckLoop()->setChecked(false);
    // Held words: supply 5.00 V, gyro 100 counts, aux 1000, temp -10, angle 1000,
    // Status with the over-range bit 4.
    const std::pair<int, std::uint16_t> words[] = {{SupplyAddress, Supply500},
                                                   {0x04, 0x8064},
                                                   {0x0A, 1000},
                                                   {0x0C, 0x8FF6},
                                                   {0x0E, 1000},
                                                   {0x3C, 0x0010}};
    for (const auto& [address, word] : words)
        sim.sensor().setRegisterWord(address, word);
    const char* shown[] = {"lblRegDat_1", "lblRegDat_2", "lblRegDat_3", "lblRegDat_4", "lblRegDat_5"};

    click("cmdReadData");
    QStringList described;
    for (const char* name : shown)
        described << text(name);
    const QColor describedFlag = backColor("lblGyroOR");
    framesOut();
    sim.usb().clearRequests();

    g.ReadoutBurst = true;
    for (const char* name : shown)
        if (QString(name) != "lblRegDat_5") // the disabled angle row keeps its "____"
            control<QLabel>(name)->setText(QString());
    click("cmdReadData");
    EXPECT_EQ(framesOut(),
              std::vector<std::uint16_t>({0x0200, 0x0400, 0x0A00, 0x0C00, 0x0E00, 0x3C00, 0x0000}));
    EXPECT_EQ(sim.usb().pipe0Requests().size(), 1u); // one transfer for the pass
    QStringList burst;
    for (const char* name : shown)
        burst << text(name);
    EXPECT_EQ(burst, described);
    EXPECT_EQ(backColor("lblGyroOR"), describedFlag);
    EXPECT_EQ(text("lblGyroOR"), "Alarm");

    // A card that stops answering: no numbers, no flags lit.
    sim.usb().stopAnswering(0);
    click("cmdReadData");
    EXPECT_EQ(text("lblRegDat_2"), "----");
    EXPECT_EQ(text("lblGyroOR"), "----");
}

// Under LC_ALL=de_DE.UTF-8 (Qt's locale and the C library's both German, in a
// child process) the readings keep their fractions, with a comma.
TEST_F(Readout, ReadingsKeepTheirFractionsUnderACommaLocale)
{
    GYRO_UNDER_COMMA_LOCALE();
    ckLoop()->setChecked(false);
    const struct {
        int address;
        std::uint16_t counts;
        const char* label;
        const char* shown;
    } cases[] = {
        {SupplyAddress, Supply500, "lblRegDat_1", "5,00"},
        {GyroAddress, 1001, "lblRegDat_2", "73,33"},
        {0x0A, 1001, "lblRegDat_3", "0,61"},
        {TempAddress, 7, "lblRegDat_4", "26,02"},
    };
    for (const auto& c : cases)
        sim.sensor().setRegisterWord(c.address, c.counts);
    click("cmdReadData");
    for (const auto& c : cases)
        EXPECT_EQ(text(c.label), c.shown) << c.label;
    SaveScreenshot(*form, "frmForm1_comma_locale");
}
