#include "RealClock.h"

#include <QTime>
#include <chrono>

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
