// The main window's "Operation Control" and "Calibration" menu items: each opening
// builds the window afresh from the sensor at the main window's corner, and closing
// the main window while one is open still saves the settings file.
#include "InterfaceSettings.h"
#include "SensorWindowBench.h"
#include "frmForm1.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <functional>
#include <memory>

using namespace gyro;
using namespace gyro::test;

namespace {

class ConfigMenus : public SensorWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(cwd.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(cwd.path()); // CommPort.cfg lands here
        g.ProductNumber = 27140;
    }
    void TearDown() override
    {
        form.reset();
        QDir::setCurrent(previousDir);
    }

    void loadMainWindow()
    {
        form = std::make_unique<frmForm1>(g);
        form->Form_Load();
        form->show();
        form->move(60, 40);
        framesOut();
    }

    // Chooses the menu item and runs `whileOpen` on the modal window it opens.
    void openFromMenu(const char* item, const std::function<void(QDialog&)>& whileOpen)
    {
        QAction* action = form->findChild<QAction*>(QString::fromLatin1(item));
        ASSERT_NE(action, nullptr) << item;
        ASSERT_TRUE(action->isEnabled()) << item;
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            ran = true;
            whileOpen(*window);
            if (window->isVisible())
                window->done(QDialog::Rejected);
        });
        action->trigger();
        EXPECT_TRUE(ran) << item;
    }

    QTemporaryDir cwd;
    QString previousDir;
    std::unique_ptr<frmForm1> form;
};

struct MenuWindow {
    const char* item;
    const char* window;
    const char* box; // a box the load fills from the sensor
};
const MenuWindow MenuWindows[] = {{"mnuOperation", "frmOperationalControl", "txtSampleRate"},
                                  {"MnuCal", "fmCalibration", "txtGX"}};

} // namespace

TEST_F(ConfigMenus, EachOpeningLoadsAFreshWindowAtTheMainWindowsCorner)
{
    loadMainWindow();
    for (const MenuWindow& m : MenuWindows) {
        openFromMenu(m.item, [&](QDialog& w) {
            EXPECT_EQ(w.objectName(), m.window);
            EXPECT_EQ(w.pos(), form->pos());
            EXPECT_FALSE(text(w, m.box).isEmpty());
            control<QLineEdit>(w, m.box).setText(QStringLiteral("left behind"));
        });
        openFromMenu(m.item, [&](QDialog& w) { EXPECT_NE(text(w, m.box), "left behind") << m.window; });
        EXPECT_TRUE(writesOut().empty()) << m.window;
    }
}

TEST_F(ConfigMenus, ClosingTheMainWindowWithAWindowOpenSavesTheSettings)
{
    for (const MenuWindow& m : MenuWindows) {
        QFile::remove(QStringLiteral("CommPort.cfg"));
        loadMainWindow();
        std::size_t framesAtClose = 0;
        openFromMenu(m.item, [&](QDialog& w) {
            if (QString::fromLatin1(m.window) != "fmCalibration") {
                form->close();
                return;
            }
            // The calibration window in the middle of an averaging run.
            control<QLineEdit>(w, "txtSec").setText(QStringLiteral("100"));
            int yields = 0;
            ui.onYield = [&] {
                sim.fakeClock()->advance(0.01);
                if (++yields == 5 && form->isVisible()) {
                    form->close();
                    framesAtClose = sim.sensor().trace().size();
                }
            };
            click(w, "cmdAvgCalc");
            ui.onYield = nullptr;
            // No sample after the close; only the offset the run cleared is put back
            // (written and read back: four frames).
            EXPECT_EQ(sim.sensor().trace().size(), framesAtClose + 4) << "no sample after the close";
            EXPECT_EQ(text(w, "cmdAvgCalc"), "Run");
        });
        EXPECT_FALSE(form->isVisible()) << m.window;
        QFile saved(QStringLiteral("CommPort.cfg"));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly)) << m.window;
        EXPECT_EQ(saved.readAll(), InterfaceSettingsText(g)) << m.window;
    }
}
