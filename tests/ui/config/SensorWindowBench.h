#pragma once
// What the configuration window tests share: the program's fixture with the USB
// card (or the parallel port) up, a main window to open at, and finding and
// driving controls by name.
#include "SimProgramTest.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace gyro::test {

// A configuration window's test: the USB card up, a main window to open at.
class SensorWindowTest : public SimProgramTest {
protected:
    SensorWindowTest()
    {
        g.OsName = QStringLiteral("WinXP");
        g.ProgramFolder = programFolder.path();
        mainWindow.move(140, 90);
        useInterface(2);
    }

    // 2: the USB card, 1: the parallel port at 0x378.
    void useInterface(std::int16_t interfaceType)
    {
        g.PortAddress = 0x378;
        SimProgramTest::useInterface(interfaceType == 2 ? InterfaceKind::UsbCard
                                                        : InterfaceKind::ParallelPort);
    }

    QTemporaryDir programFolder;
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
