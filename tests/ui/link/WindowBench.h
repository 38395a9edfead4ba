#pragma once
// What the transport window tests share: a simulated platform with a recording UI
// host and a main window to open at, plus finding and driving controls by name.
#include "GyroState.h"
#include "RecordingUiHost.h"
#include "SimPlatform.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <stdexcept>

namespace gyro::test {

struct WindowBench {
    explicit WindowBench(sim::SimOptions options = {}) : sim(options)
    {
        g.ProgramFolder = programFolder.path(); // the driver installer's batch file goes here
        mainWindow.move(140, 90);
    }

    QTemporaryDir programFolder;
    sim::SimPlatform sim;
    RecordingUiHost ui;
    GyroState g{sim.platform(), ui};
    QWidget mainWindow;
};

template <typename Control> Control& control(const QWidget& form, const QString& name)
{
    auto* found = form.findChild<Control*>(name);
    if (found == nullptr)
        throw std::runtime_error("no control " + name.toStdString());
    return *found;
}

inline QLineEdit& box(const QWidget& form, const QString& name)
{
    return control<QLineEdit>(form, name);
}

inline QAbstractButton& button(const QWidget& form, const QString& name)
{
    return control<QAbstractButton>(form, name);
}

// A mouse click as the user makes it; check and option buttons are hit on their
// indicator, at the left edge.
inline void click(const QWidget& form, const QString& name)
{
    QAbstractButton& b = button(form, name);
    const bool indicator = b.isCheckable();
    QTest::mouseClick(&b, Qt::LeftButton, {}, indicator ? QPoint(6, b.height() / 2) : b.rect().center());
}

inline bool checked(const QWidget& form, const QString& name)
{
    return button(form, name).isChecked();
}

// Control array member names: "txtWriteSpi", 3 -> "txtWriteSpi_3".
inline QString item(const char* name, int index)
{
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}

} // namespace gyro::test
