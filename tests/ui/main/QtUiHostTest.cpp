// The Qt UI host: message boxes mapped from the program's icons and buttons, and
// the busy pointer.
#include "QtUiHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace gyro;

namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the next message box with `button` (or closes it from its title bar when
// NoButton) and notes what it showed.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, [&seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
        if (button == QMessageBox::NoButton)
            box->reject();
        else
            box->button(button)->click();
    });
}

} // namespace

TEST(QtUiHost, MessagesMapIconsButtonsAndAnswers)
{
    QtUiHost host(QStringLiteral("Gyro Evaluation"));
    SeenBox seen;

    answerNextBox(seen, QMessageBox::No);
    EXPECT_EQ(
        host.message(QStringLiteral("Line 1\r\nLine 2"), MsgButtons::YesNo, MsgIcon::Exclamation, QString()),
        MsgResult::No);
    EXPECT_EQ(seen.title, "Gyro Evaluation"); // empty title: the application's
    EXPECT_EQ(seen.text, "Line 1\nLine 2");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);

    answerNextBox(seen, QMessageBox::Retry);
    EXPECT_EQ(host.message(QStringLiteral("x"), MsgButtons::RetryCancel, MsgIcon::Critical,
                           QStringLiteral("Error")),
              MsgResult::Retry);
    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);

    // Closed from the title bar: the escape answer of each button set.
    answerNextBox(seen, QMessageBox::NoButton);
    EXPECT_EQ(host.message(QStringLiteral("x"), MsgButtons::OkCancel, MsgIcon::Question, QString()),
              MsgResult::Cancel);
    answerNextBox(seen, QMessageBox::NoButton);
    EXPECT_EQ(host.message(QStringLiteral("x"), MsgButtons::Ok, MsgIcon::None, QString()), MsgResult::Ok);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
}

TEST(QtUiHost, BusyPointerIsSetOnceAndRestored)
{
    QtUiHost host(QStringLiteral("t"));
    host.setBusyCursor(true);
    host.setBusyCursor(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    host.setBusyCursor(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Ending on a signal, no one may be there to answer: the message goes to stderr
// and the box's escape answer comes back at once, without a box.
TEST(QtUiHost, MessagesOnStderrGetTheEscapeAnswerWithoutABox)
{
    QtUiHost qtHost(QStringLiteral("Gyro"));
    qtHost.setMessagesOnStderr(true);
    UiHost& host = qtHost;
    bool boxShown = false;
    QTimer::singleShot(0, [&boxShown] { boxShown = QApplication::activeModalWidget() != nullptr; });
    testing::internal::CaptureStderr();
    EXPECT_EQ(host.message(QStringLiteral("first\r\nsecond"), MsgButtons::Ok), MsgResult::Ok);
    EXPECT_EQ(host.message(QStringLiteral("x"), MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(host.message(QStringLiteral("x"), MsgButtons::OkCancel), MsgResult::Cancel);
    const std::string printed = testing::internal::GetCapturedStderr();
    QCoreApplication::processEvents();
    EXPECT_FALSE(boxShown);
    EXPECT_EQ(printed.substr(0, 19), "Gyro: first\nsecond\n");
}
