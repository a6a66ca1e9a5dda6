#include "clock.h"

#include "program.h"

#include <QTimer>

#include <algorithm>

namespace runtime {

namespace {

// Arms a timer for what is left until `deadline`: the event loop may wake a little early, never late enough
// to matter, so a wake-up before the deadline waits for the rest.
void armUntil(QObject &context, std::chrono::steady_clock::time_point deadline, std::function<void()> action)
{
    const auto left
        = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    QTimer::singleShot(std::max(left, std::chrono::milliseconds(0)), Qt::PreciseTimer, &context,
                       [&context, deadline, action = std::move(action)]() mutable {
                           if (std::chrono::steady_clock::now() < deadline)
                               armUntil(context, deadline, std::move(action));
                           else
                               guard(action);
                       });
}

} // namespace

void SystemClock::after(std::chrono::milliseconds duration, std::function<void()> action)
{
    armUntil(m_timers, std::chrono::steady_clock::now() + duration, std::move(action));
}

} // namespace runtime
