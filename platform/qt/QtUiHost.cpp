#include "QtUiHost.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <cstdio>

namespace gyro {

namespace {

QMessageBox::Icon toQt(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// Closing the box from its title bar counts as the escape button: Cancel where
// there is one, No for Yes/No, OK for a lone OK.
MsgResult fromQt(int button, MsgButtons buttons)
{
    switch (button) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Retry:
        return MsgResult::Retry;
    default:
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::YesNo:
        return MsgResult::No;
    default:
        return MsgResult::Cancel;
    }
}

// The window a message box belongs to, so that it shows over a window of the
// program: the modal or active one, else the main window, else any window shown
// (the start-up window while the main window loads).
QWidget* ownerWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    QWidget* shown = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip)
            continue;
        if (qobject_cast<QMainWindow*>(window) != nullptr)
            return window;
        shown = window;
    }
    return shown;
}

} // namespace

MsgResult QtUiHost::message(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    // Message texts use CR LF line breaks; a plain line feed shows the same.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString shownTitle = title.isEmpty() ? applicationTitle_ : title;
    if (messagesOnStderr_) {
        std::fputs(qPrintable(shownTitle + QStringLiteral(": ") + shown + u'\n'), stderr);
        return fromQt(QMessageBox::NoButton, buttons);
    }
    QMessageBox box(toQt(icon), shownTitle, shown, toQt(buttons), ownerWindow());
    box.setTextFormat(Qt::PlainText);
    // The normal pointer while the user answers, whatever runs behind the box.
    if (busy_)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (busy_)
        QGuiApplication::restoreOverrideCursor();
    return fromQt(answer, buttons);
}

void QtUiHost::yield()
{
    QCoreApplication::processEvents();
}

void QtUiHost::setBusyCursor(bool busy)
{
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace gyro
