#pragma once
// What the configuration window tests share: the simulated platform with the USB
// card (or the parallel port) up, a recording UI host, a main window to open at,
// and finding and driving controls by name.
#include "GyroState.h"
#include "InterfaceBringUp.h"
#include "RecordingUiHost.h"
#include "SimPlatform.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace gyro::test {

// Register addresses of the simulated sensor.
inline constexpr int GyroOfstAddress = 0x14;
inline constexpr int AuxDacAddress = 0x30;
inline constexpr int GpioCtrlAddress = 0x32;
inline constexpr int MscCtrlAddress = 0x34;
inline constexpr int SmplPrdAddress = 0x36;
inline constexpr int SensAvgAddress = 0x38;

class SensorWindowTest : public ::testing::Test {
protected:
    SensorWindowTest()
    {
        SetInterfaceDefaults(g);
        g.DelayCalibrated = true;
        g.LoopsPer10us = 10000; // 1 ns a turn on the simulated PC: 10 us per unit
        g.OsName = QStringLiteral("WinXP");
        g.ProgramFolder = programFolder.path();
        mainWindow.move(140, 90);
        useInterface(2);
    }

    // 2: the USB card, 1: the parallel port at 0x378.
    void useInterface(std::int16_t interfaceType)
    {
        g.InterfaceType = interfaceType;
        g.PortAddress = 0x378;
        interfaceType == 2 ? OpenUsbCard(g) : OpenParallelPort(g);
        sim.sensor().clearTrace();
    }

    // The frames sent since the last call, and those of them that write.
    std::vector<std::uint16_t> framesOut()
    {
        std::vector<std::uint16_t> out;
        for (const auto& frame : sim.sensor().trace())
            out.push_back(frame.out);
        sim.sensor().clearTrace();
        return out;
    }
    std::vector<std::uint16_t> writesOut()
    {
        std::vector<std::uint16_t> writes;
        for (std::uint16_t frame : framesOut()) {
            if ((frame & 0x8000) != 0)
                writes.push_back(frame);
        }
        return writes;
    }
    std::uint16_t sensorWord(int address) { return sim.sensor().registerWord(address); }

    QTemporaryDir programFolder;
    sim::SimPlatform sim;
    RecordingUiHost ui;
    GyroState g{sim.platform(), ui};
    QWidget mainWindow;
};

template <typename Control = QWidget> Control& control(const QWidget& form, const char* name)
{
    auto* found = form.findChild<Control*>(QString::fromLatin1(name));
    if (found == nullptr)
        throw std::runtime_error(std::string("no control ") + name);
    return *found;
}

// The text of a label, box or button.
inline QString text(const QWidget& form, const char* name)
{
    if (auto* label = form.findChild<QLabel*>(QString::fromLatin1(name)))
        return label->text();
    if (auto* box = form.findChild<QLineEdit*>(QString::fromLatin1(name)))
        return box->text();
    return control<QAbstractButton>(form, name).text();
}

inline bool checked(const QWidget& form, const char* name)
{
    return control<QAbstractButton>(form, name).isChecked();
}

// A mouse click as the user makes it; option buttons are hit on their indicator.
inline void click(const QWidget& form, const char* name)
{
    auto& b = control<QAbstractButton>(form, name);
    QTest::mouseClick(&b, Qt::LeftButton, {},
                      b.isCheckable() ? QPoint(6, b.height() / 2) : b.rect().center());
}

// Replaces a box's text by typing, so its key-up handling runs.
inline void type(const QWidget& form, const char* name, const QString& text)
{
    auto& box = control<QLineEdit>(form, name);
    box.clear();
    QTest::keyClicks(&box, text);
}

} // namespace gyro::test
