#include "CloseOnSignal.h"

#include <QCoreApplication>
#include <csignal>
#include <gtest/gtest.h>

using namespace gyro;

#ifdef Q_OS_UNIX
// A signal becomes a close request on the event loop, once per signal; afterwards
// the default handling is back.
TEST(CloseOnSignal, TerminationSignalsCloseOnTheEventLoop)
{
    int closes = 0;
    {
        const CloseOnSignal handler([&closes] { ++closes; });
        for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
            const int before = closes;
            ASSERT_EQ(std::raise(signal), 0);
            EXPECT_EQ(closes, before); // nothing runs inside the signal handler
            for (int turn = 0; turn < 100 && closes == before; ++turn)
                QCoreApplication::processEvents();
            EXPECT_EQ(closes, before + 1);
        }
    }
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction action = {};
        ASSERT_EQ(::sigaction(signal, nullptr, &action), 0);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << signal;
    }
}
#else
TEST(CloseOnSignal, TerminationSignalsCloseOnTheEventLoop)
{
    GTEST_SKIP() << "console control events need a console of their own";
}
#endif
