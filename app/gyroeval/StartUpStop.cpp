#include "StartUpStop.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace gyro {

namespace {

bool isModalWindow(const QObject* object)
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget != nullptr && widget->isWindow() && widget->isModal();
}

// Closing a modal window ends its exec(); queued so that the window that is just
// being shown finishes showing first.
void closeSoon(QWidget* window)
{
    QTimer::singleShot(0, window, [window] { window->close(); });
}

} // namespace

StartUpStop::StartUpStop(GyroState& gIn) : g(gIn) {}

void StartUpStop::request()
{
    if (atStop_)
        return;
    atStop_ = InterfaceValuesOf(g);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && isModalWindow(window))
            closeSoon(window);
    }
    qApp->installEventFilter(this);
}

bool StartUpStop::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && isModalWindow(watched))
        closeSoon(static_cast<QWidget*>(watched));
    return false;
}

bool StartUpStop::finish(const ProgramWindows& windows, const QString& path, QString* failure)
{
    qApp->removeEventFilter(this);
    if (!atStop_) // a stop seen only between two steps: the values as they stand now
        atStop_ = InterfaceValuesOf(g);
    if (!windows.loadedSettings)
        return true; // stopped before the file was read
    // Start-up began with the file's values and the command line's interface.
    InterfaceValues started = *windows.loadedSettings;
    if (windows.interfaceForThisRun)
        started.InterfaceType = *windows.interfaceForThisRun;
    if (*atStop_ == started)
        return true; // nothing chosen: the file stays byte for byte
    if (atStop_->InterfaceType == started.InterfaceType)
        atStop_->InterfaceType = windows.loadedSettings->InterfaceType; // this run's only
    SetInterfaceValues(g, *atStop_);
    if (QString reason; !SaveInterfaceSettings(g, path, &reason)) {
        if (failure != nullptr)
            *failure = SettingsNotSavedText(path, reason);
        return false;
    }
    return true;
}

} // namespace gyro
