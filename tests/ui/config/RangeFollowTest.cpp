// Every window road that can change the range the sensor holds sets the rate scale
// for the range read back, so Gyro_Out is never shown for a range the sensor left.
#include "RegisterAccess.h"
#include "RegisterMap.h"
#include "SensorWindowBench.h"
#include "fmCalibration.h"
#include "frmManualReg.h"

#include <QComboBox>
#include <functional>
#include <memory>

using namespace gyro;
using namespace gyro::test;

namespace {

// Scales of Gyro_Out per range (bits 10..8 of Sens_Avg): 0x400 320, 0x200 160, 0x100 80 deg/s.
constexpr float Scale320 = 0.07326f;
constexpr float Scale160 = 0.03663f;
constexpr float Scale80 = 0.018315f;

class RangeFollow : public SensorWindowTest {
public:
    // The register window writes `hex` to the register `name`.
    void writeInRegisterWindow(const char* name, const char* hex)
    {
        frmManualReg w(g, &mainWindow);
        auto& list = control<QComboBox>(w, "cmboRegister");
        list.setCurrentIndex(list.findText(QString::fromLatin1(name)));
        control<QLineEdit>(w, "txtDataWrite").setText(QString::fromLatin1(hex));
        click(w, "cmdWrite");
    }
    void clickInCalibrationWindow(const char* button)
    {
        fmCalibration w(g, &mainWindow);
        w.Form_Load();
        w.show();
        click(w, button);
    }
};

} // namespace

TEST_F(RangeFollow, CommandsAndWritesThatCanChangeTheRangeSetTheScaleFromTheSensor)
{
    struct Case {
        const char* road;
        std::function<void(RangeFollow&)> act;
        std::uint16_t sensAvgBefore; // what the sensor holds when the program last read it
        std::uint16_t sensAvgBehind; // what the command leaves (set behind the program's back
                                     // where the simulated sensor's command keeps the range)
        float scale;
    };
    const Case cases[] = {
        // Factory restore puts the sensor's own Sens_Avg 0x0402 back: 320 deg/s.
        {"factory restore", [](RangeFollow& t) { t.clickInCalibrationWindow("cmdFactoryCal"); }, 0x0201, 0,
         Scale320},
        {"automatic null", [](RangeFollow& t) { t.clickInCalibrationWindow("cmdAutoNull"); }, 0x0201, 0x0102,
         Scale80},
        {"Command 2 in the register window",
         [](RangeFollow& t) { t.writeInRegisterWindow("Command", "0002"); }, 0x0102, 0, Scale320},
        {"an unnamed Command bit", [](RangeFollow& t) { t.writeInRegisterWindow("Command", "0080"); }, 0x0402,
         0x0201, Scale160},
        // The flash update and the DAC latch keep the range: no Sens_Avg read, the scale stays.
        {"flash update", [](RangeFollow& t) { t.writeInRegisterWindow("Command", "0008"); }, 0x0201, 0x0102,
         Scale160},
    };
    for (const Case& c : cases) {
        sim.sensor().setRegisterWord(SensAvgAddress, c.sensAvgBefore);
        ASSERT_EQ(SetGyroScale(g).result, GyroScaleResult::Set);
        if (c.sensAvgBehind != 0)
            sim.sensor().setRegisterWord(SensAvgAddress, c.sensAvgBehind);
        c.act(*this);
        EXPECT_EQ(g.GyroScale, c.scale) << c.road;
        sim.sensor().clearTrace();
    }
}
