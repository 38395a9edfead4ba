// How a front end's host shows a failure it is given.
#include "Failure.h"
#include "RecordingUiHost.h"

#include <gtest/gtest.h>

namespace gyro {
namespace {

TEST(Failure, AWindowShowsItAsAnOkBoxWithItsTitleAndIconAndTheReasonBelow)
{
    test::RecordingUiHost ui;
    const Failure failure{QStringLiteral("port driver installation"),
                          QStringLiteral("The required I/O drivers could not be installed."),
                          QStringLiteral("The installer could not be started."), QStringLiteral("Error"),
                          MsgIcon::Exclamation};
    EXPECT_FALSE(TellIfFailed(ui, failure));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("The required I/O drivers could not be installed.\n"
                                                  "The installer could not be started."));
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::Ok);

    // A success and a failure told before (a card that already stopped) show nothing.
    EXPECT_TRUE(TellIfFailed(ui, Outcome{}));
    Failure again = failure;
    again.toldBefore = true;
    TellEach(ui, {again});
    EXPECT_EQ(ui.messages.size(), 1u);
}

} // namespace
} // namespace gyro
