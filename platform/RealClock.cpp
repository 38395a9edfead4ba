#include "RealClock.h"

#include <QTime>
#include <algorithm>
#include <chrono>
#include <thread>

#ifdef __linux__
#include <sys/prctl.h>
#elif defined(_WIN32)
#include <windows.h>
// After windows.h, whose types it uses.
#include <timeapi.h>
#endif

namespace gyro {

double RealClock::secondsSinceMidnight()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

double RealClock::monotonicSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void RealClock::sleepUntil(double deadline)
{
#ifdef __linux__
    // The kernel may otherwise wake a sleeper up to 50 us late to batch timers;
    // the waits want their deadline.
    static const bool preciseTimers = ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)preciseTimers;
#elif defined(_WIN32)
    // Windows wakes sleepers on its timer tick, 15.6 ms unless the process asks
    // for a finer one; the waits want their millisecond.
    static const bool fineTimer = ::timeBeginPeriod(1) == TIMERR_NOERROR;
    (void)fineTimer;
#endif
    using namespace std::chrono;
    // steady_clock is the system's monotonic clock, so the deadline is absolute on
    // the clock monotonicSeconds() reads; an early wake-up sleeps again.
    const steady_clock::time_point until{duration_cast<steady_clock::duration>(duration<double>(deadline))};
    // The last millisecond is a sleep of its own: on a busy machine the scheduler
    // serves a task that slept briefly at once, while one back from a long sleep
    // may queue for several milliseconds behind the others. Two sleeps a wait,
    // not one a millisecond: each wake-up costs the processor time too.
    constexpr auto lastStep = milliseconds(1);
    for (auto now = steady_clock::now(); now < until; now = steady_clock::now())
        std::this_thread::sleep_until(until - now > 2 * lastStep ? until - lastStep : until);
}

void RealBusyLoop::spin(std::int64_t units, std::int32_t turnsPerUnit)
{
    for (std::int64_t unit = 0; unit < units; ++unit) {
        volatile std::int32_t counter = 0;
        while (counter < turnsPerUnit)
            counter = counter + 1;
    }
}

void DeadlineBusyLoop::spin(std::int64_t units, std::int32_t)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(units * 10);
    while (std::chrono::steady_clock::now() < deadline) {
    }
}

} // namespace gyro
