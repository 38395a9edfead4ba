// The readout session's states: a click starts and stops the loop, a stop asked
// for during a pass lets the pass end, a nested run (a click answered in a pass's
// yield) makes one pass of its own, and the caption's callback sees every change.
#include "ReadoutSession.h"

#include <gtest/gtest.h>

#include <vector>

namespace gyro {
namespace {

struct Recorder {
    ReadoutSession session;
    std::vector<ReadoutState> changes;
    Recorder()
    {
        session.stateChanged = [this](ReadoutState s) { changes.push_back(s); };
    }
};

const auto always = [] { return true; };

TEST(ReadoutSession, AStoppedSessionMakesExactlyOnePass)
{
    Recorder r;
    int passes = 0;
    r.session.run([&] { return ++passes, true; }, always);
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(r.session.state(), ReadoutState::Stopped);
    EXPECT_TRUE(r.changes.empty());
}

TEST(ReadoutSession, AStopDuringAPassEndsTheLoopAfterIt)
{
    Recorder r;
    r.session.toggle();
    int passes = 0;
    r.session.run(
        [&] {
            if (++passes == 3) {
                r.session.toggle(); // the click, answered in the pass's yield
                EXPECT_EQ(r.session.state(), ReadoutState::Stopping);
            }
            return true;
        },
        always);
    EXPECT_EQ(passes, 3);
    EXPECT_EQ(r.changes, (std::vector{ReadoutState::Running, ReadoutState::Stopping, ReadoutState::Stopped}));
}

// The click during a running loop runs a pass of its own, nested; the outer loop
// then ends, and only the outer run's end stops the session.
TEST(ReadoutSession, ANestedRunMakesOnePassAndTheOuterLoopEnds)
{
    Recorder r;
    r.session.toggle();
    std::vector<int> depths;
    int depth = 0;
    std::function<bool()> pass = [&] {
        ++depth;
        depths.push_back(depth);
        if (depths.size() == 2) {
            r.session.toggle();
            r.session.run(pass, always);
            EXPECT_EQ(r.session.state(), ReadoutState::Stopping); // the outer run is still in its pass
        }
        --depth;
        return true;
    };
    r.session.run(pass, always);
    EXPECT_EQ(depths, (std::vector{1, 1, 2}));
    EXPECT_EQ(r.session.state(), ReadoutState::Stopped);
}

TEST(ReadoutSession, TheLoopEndsWhenThePassOrTheLoopChoiceSaysSo)
{
    struct Case {
        const char* name;
        int passFailsAt;    // 0: never
        int loopChoiceEnds; // the pass after which keepGoing says no; 0: never
        int passes;
        ReadoutState after;
    };
    const Case cases[] = {
        {"window gone during the second pass", 2, 0, 2, ReadoutState::Running},
        {"loop box cleared after the fourth pass", 0, 4, 4, ReadoutState::Running},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReadoutSession session;
        session.toggle();
        int passes = 0;
        session.run([&] { return ++passes != c.passFailsAt; }, [&] { return passes != c.loopChoiceEnds; });
        EXPECT_EQ(passes, c.passes);
        EXPECT_EQ(session.state(), c.after);
        // A stop asked for with no run in progress stops at once.
        session.requestStop();
        EXPECT_EQ(session.state(), ReadoutState::Stopped);
    }
}

} // namespace
} // namespace gyro
