// The option buttons of the configuration windows: each pair is exclusive on its
// own, shows what the sensor holds, and a choice writes only what was chosen.
#include "Screenshot.h"
#include "SensorWindowBench.h"
#include "frmAlarms.h"
#include "frmOperationalControl.h"

#include <QRadioButton>
#include <memory>
#include <set>

using namespace gyro;
using namespace gyro::test;

namespace {

using Group = std::set<QString>;

// The buttons Qt unchecks when `option` is chosen: the auto-exclusive buttons
// anywhere under its parent, nested frames included.
Group exclusiveWith(const QRadioButton& option)
{
    Group group;
    for (const QAbstractButton* b : option.parentWidget()->findChildren<QAbstractButton*>()) {
        if (b->autoExclusive() && b->group() == nullptr)
            group.insert(b->objectName());
    }
    return group;
}

void expectGroups(const QWidget& window, const std::vector<Group>& groups)
{
    std::size_t options = 0;
    for (const Group& group : groups) {
        for (const QString& name : group) {
            EXPECT_EQ(exclusiveWith(control<QRadioButton>(window, qPrintable(name))), group)
                << window.objectName().toStdString() << ' ' << name.toStdString();
            ++options;
        }
    }
    EXPECT_EQ(window.findChildren<QRadioButton*>().size(), options) << window.objectName().toStdString();
}

class OptionPairs : public SensorWindowTest {};

} // namespace

TEST_F(OptionPairs, EveryGroupOfEveryConfigurationWindowIsExclusiveOnItsOwn)
{
    frmOperationalControl operation(g, &mainWindow);
    expectGroups(operation, {{"opt_Rate_80", "opt_Rate_160", "opt_Rate_320"},
                             {"op330Hz", "op50Hz"},
                             {"optIO_zero_output", "optIO_zero_input"},
                             {"optIO_one_output", "optIO_one_input"},
                             {"optPol_zero_low", "optPol_zero_high"},
                             {"optPol_one_low", "optPol_one_high"},
                             {"optDRselect_Zero", "optDRselect_One"},
                             {"optDRPolarity_Low", "optDRPolarity_High"},
                             {"optDREnable_Off", "optDREnable_On"}});
    frmAlarms alarms(g, &mainWindow);
    expectGroups(alarms, {{"opTrigPol1_Greater", "opTrigPol1_Less"},
                          {"opRate1_Enabled", "opRate1_Disabled"},
                          {"opTrigPol2_Greater", "opTrigPol2_Less"},
                          {"opRate2_Enabled", "opRate2_Disabled"},
                          {"opDig_Enabled", "opDig_Disabled"},
                          {"opDigLine_zero", "opDigLine_one"},
                          {"opDigPol_high", "opDigPol_low"}});
}

// Clicks on the data-ready options of a fresh window (Msc_Ctrl 0000): after each,
// exactly one option of each pair shows the bit the sensor holds, and the word
// written carries the choice and the bits the sensor already held.
TEST_F(OptionPairs, DataReadyChoicesWriteWhatWasChosenAndShowTheSensor)
{
    struct Step {
        const char* click;
        std::uint16_t written; // Msc_Ctrl at 0x34; nothing when the choice was shown already
        std::uint16_t held;
    };
    const Step steps[] = {
        {"optDREnable_On", 0x0004, 0x0004},  {"optDREnable_Off", 0x0000, 0x0000},
        {"optDREnable_On", 0x0004, 0x0004},  {"optDRPolarity_High", 0x0006, 0x0006},
        {"optDRselect_One", 0x0007, 0x0007}, {"optDREnable_Off", 0x0003, 0x0003},
    };
    sim.sensor().setRegisterWord(MscCtrlAddress, 0x0000);
    frmOperationalControl w(g, &mainWindow);
    w.Form_Load();
    w.show();
    framesOut();
    const std::pair<const char*, const char*> pairs[] = {{"optDRselect_One", "optDRselect_Zero"},
                                                         {"optDRPolarity_High", "optDRPolarity_Low"},
                                                         {"optDREnable_On", "optDREnable_Off"}};
    for (const Step& s : steps) {
        click(w, s.click);
        // The low byte goes to 0x34 after the (zero) high byte to 0x35.
        const std::vector<std::uint16_t> writes = writesOut();
        EXPECT_EQ(writes,
                  (std::vector<std::uint16_t>{0xB500, static_cast<std::uint16_t>(0xB400 | s.written)}))
            << s.click;
        EXPECT_EQ(sensorWord(MscCtrlAddress), s.held) << s.click;
        for (std::size_t bit = 0; bit < 3; ++bit) {
            const bool set = (s.held >> bit & 1) != 0;
            EXPECT_EQ(checked(w, pairs[bit].first), set) << s.click << ' ' << pairs[bit].first;
            EXPECT_EQ(checked(w, pairs[bit].second), !set) << s.click << ' ' << pairs[bit].second;
        }
    }
    EXPECT_EQ(text(w, "lblMisc"), "0003");
    SaveScreenshot(w, "frmOperationalControl_data_ready");
}

// A register that did not answer selects neither option of its pairs; a choice
// then writes the bits the sensor held when it last answered, not zeros.
TEST_F(OptionPairs, AnUnansweredReadSelectsNeitherOption)
{
    sim.sensor().setRegisterWord(GpioCtrlAddress, 0x0103); // both lines outputs, line 0 high
    frmOperationalControl w(g, &mainWindow);
    w.Form_Load();
    w.show();
    for (const char* option : {"optIO_zero_output", "optIO_one_output", "optPol_zero_high", "optPol_one_low"})
        EXPECT_TRUE(checked(w, option)) << option;

    sim.usb().stopAnswering(0);
    click(w, "optPol_one_high"); // the write's read-back gets no answer
    EXPECT_EQ(text(w, "lblGPIO"), "----");
    for (const char* option : {"optIO_zero_output", "optIO_zero_input", "optPol_one_high", "optPol_one_low"})
        EXPECT_FALSE(checked(w, option)) << option;

    // The card found again: line 1 made an input keeps line 0's output and level.
    sim.usb().setAnswering(0, true);
    ASSERT_TRUE(OpenUsbCard(g).ready);
    framesOut();
    click(w, "optIO_one_input");
    EXPECT_EQ(writesOut(), (std::vector<std::uint16_t>{0xB301, 0xB201})); // 0x0101 to Gpio_Ctrl (0x32)
    EXPECT_TRUE(checked(w, "optIO_zero_output"));
    EXPECT_TRUE(checked(w, "optPol_zero_high"));
}
