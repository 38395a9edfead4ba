#pragma once
// A main window on the simulated platform (simulated time, recording UI host), in a
// temporary current directory so that CommPort.cfg never lands in the build tree.
#include "GyroState.h"
#include "RecordingUiHost.h"
#include "SimPlatform.h"
#include "frmForm1.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// Clicks an option button on its indicator, as a user does: some styles (the
// Windows one) answer a click only on the indicator and the text.
inline void ClickOptionButton(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

namespace gyro::test {

// Register words as the sensor answers them (bit 15 new data, bit 14 error).
inline constexpr int StatusAddress = 0x3C;
inline constexpr int SupplyAddress = 0x02;
inline constexpr int GyroAddress = 0x04;
inline constexpr int TempAddress = 0x0C;
inline constexpr int MscCtrlAddress = 0x34;

class MainWindowTest : public ::testing::Test {
protected:
    explicit MainWindowTest(sim::SimOptions options = {}) : sim(options) {}

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        SetInterfaceDefaults(g);
        InitRegisterMap(g);
        // 1 ns per loop turn on the simulated PC: 10'000 turns make 10 us.
        g.DelayCalibrated = true;
        g.LoopsPer10us = 10000;
        g.PortAddress = 0x378;
        g.ProductNumber = 27140;
    }

    void TearDown() override
    {
        form.reset();
        QDir::setCurrent(previousDir);
    }

    // Builds the window, runs its load and shows it.
    frmForm1& load(std::int16_t interfaceType)
    {
        g.InterfaceType = interfaceType;
        form = std::make_unique<frmForm1>(g);
        form->Form_Load();
        form->show();
        return *form;
    }

    template <class T = QWidget> T* control(const char* name) const
    {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char* name) const
    {
        if (auto* label = form->findChild<QLabel*>(QString::fromLatin1(name)))
            return label->text();
        if (auto* box = form->findChild<QLineEdit*>(QString::fromLatin1(name)))
            return box->text();
        return control<QAbstractButton>(name)->text();
    }
    QAction* action(const char* name) const { return control<QAction>(name); }
    void click(const char* name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }
    QColor backColor(const char* name) const
    {
        QWidget* w = control(name);
        return w->palette().color(w->backgroundRole());
    }

    // The frames the sensor received since the last call, in order.
    std::vector<std::uint16_t> framesOut()
    {
        std::vector<std::uint16_t> out;
        for (const auto& frame : sim.sensor().trace())
            out.push_back(frame.out);
        sim.sensor().clearTrace();
        return out;
    }

    // Closes the modal window that opens next, as soon as it runs its own loop.
    void closeNextModal()
    {
        QTimer::singleShot(0, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                static_cast<QDialog*>(modal)->done(QDialog::Rejected);
        });
    }

    QTemporaryDir dir;
    QString previousDir;
    sim::SimPlatform sim;
    RecordingUiHost ui;
    GyroState g{sim.platform(), ui};
    std::unique_ptr<frmForm1> form;
};

} // namespace gyro::test
