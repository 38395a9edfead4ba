// The Alarms and Registers menu items of the main window open their windows modally
// at the main window's corner; the register window survives "Close Window" with its
// contents and is unloaded by its title bar.
#include "../main/MainWindowFixture.h"
#include "frmAlarms.h"
#include "frmManualReg.h"

#include <QComboBox>
#include <QPushButton>
#include <functional>

namespace gyro::test {
namespace {

class MenuWindows : public MainWindowTest {
protected:
    // Runs `whileOpen` on the modal window the next menu item opens.
    void onNextModal(std::function<void(QDialog&)> whileOpen)
    {
        QTimer::singleShot(0, [whileOpen] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                whileOpen(*modal);
        });
    }
};

TEST_F(MenuWindows, AlarmsOpensAFreshAlarmWindowEachTime)
{
    load(2);
    form->move(120, 80);
    for (int opening = 0; opening < 2; ++opening) {
        QString name;
        QPoint at;
        onNextModal([&](QDialog& window) {
            name = window.objectName();
            at = window.pos();
            QTest::mouseClick(window.findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
        });
        action("MnuAlarms")->trigger();
        EXPECT_EQ(name, "frmAlarms");
        EXPECT_EQ(at, form->pos());
        EXPECT_EQ(form->findChildren<frmAlarms*>().size(), 0); // unloaded by "Close Window"
    }
}

TEST_F(MenuWindows, RegistersWindowIsHiddenByItsButtonAndUnloadedByItsTitleBar)
{
    load(2);
    int chosen = -1;
    onNextModal([&](QDialog& window) {
        window.findChild<QComboBox*>("cmboRegister")->setCurrentIndex(Idx_Alm_Ctrl);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
    });
    action("mnuRegisters")->trigger();
    frmManualReg* first = form->findChild<frmManualReg*>();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->isVisible());

    // The same window again, with its selection; then closed from the title bar.
    onNextModal([&](QDialog& window) {
        chosen = window.findChild<QComboBox*>("cmboRegister")->currentIndex();
        window.close();
    });
    action("mnuRegisters")->trigger();
    EXPECT_EQ(chosen, Idx_Alm_Ctrl);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->findChild<frmManualReg*>(), nullptr);

    onNextModal([&](QDialog& window) {
        chosen = window.findChild<QComboBox*>("cmboRegister")->currentIndex();
        window.close();
    });
    action("mnuRegisters")->trigger();
    EXPECT_EQ(chosen, -1); // loaded afresh
}

} // namespace
} // namespace gyro::test
