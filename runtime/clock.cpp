#include "clock.h"

#include <QTime>

#include <thread>

namespace runtime {

float SystemClock::timer() const
{
    return float(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0f;
}

double SystemClock::monotonicSeconds() const
{
    const auto sinceOrigin = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(sinceOrigin).count();
}

void SystemClock::sleep(std::chrono::milliseconds duration)
{
    std::this_thread::sleep_for(duration);
}

} // namespace runtime
