// The configuration windows where the decimal mark is a comma (Qt's locale and the
// C library's both German, as LC_ALL=de_DE.UTF-8 makes them): levels typed with
// or without a fraction are written as the counts they mean, and values shown
// keep their fractions.
#include "CommaLocale.h"
#include "SimWindowBench.h"
#include "frmAlarms.h"
#include "frmManualReg.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

namespace gyro::test {
namespace {

constexpr int AlmMag1 = 0x20;
constexpr int AlmCtrl = 0x28;
constexpr int GyroScale = 0x16;

TEST(CommaLocaleWindows, AlarmLevelsAreWrittenAsTyped)
{
    GYRO_UNDER_COMMA_LOCALE();
    // Gyro at 0.07326 deg/s per count: 12 is 164 counts, 12.5 is 171.
    const struct {
        const char* typed;
        std::uint16_t word;
        const char* shown;
    } cases[] = {{"12", 0x00A4, "12,015"}, {"12,5", 0x00AB, "12,527"}, {"-0,5", 0x3FF9, "-0,513"}};
    SimWindowBench b;
    b.setWord(AlmCtrl, 0x0200); // alarm 1 on the gyro
    frmAlarms w(b.g, &b.mainWindow);
    w.show();
    for (const auto& c : cases) {
        QLineEdit& level = box(w, "txtLevel1");
        level.selectAll();
        QTest::keyClicks(&level, QString::fromLatin1(c.typed));
        click(w, "cmdWriteA1");
        EXPECT_EQ(b.word(AlmMag1), c.word) << c.typed;
        EXPECT_EQ(level.text(), c.shown) << c.typed;
    }
}

TEST(CommaLocaleWindows, RegisterWindowShowsFractions)
{
    GYRO_UNDER_COMMA_LOCALE();
    SimWindowBench b;
    b.setWord(GyroScale, 0x0800); // 2048 x 0.000488
    frmManualReg w(b.g, &b.mainWindow);
    w.show();
    auto& list = control<QComboBox>(w, "cmboRegister");
    const int target = list.findText(QStringLiteral("GYRO_SCALE"));
    while (list.currentIndex() != target)
        QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(box(w, "txtRegVal").text(), "0,999424");
    EXPECT_TRUE(control<QPlainTextEdit>(w, "Text1")
                    .toPlainText()
                    .contains("GYRO_SCALE    \t0016\t0800\t   0,99942\n"));
}

} // namespace
} // namespace gyro::test
