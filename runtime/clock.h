#pragma once

#include <QObject>

#include <chrono>
#include <functional>

namespace runtime {

/** The program's time: one-shot timers on a clock that only moves forward, so midnight changes nothing. */
class Clock
{
public:
    virtual ~Clock() = default;
    /**
     * Runs `action` once, from the event loop and inside a handler's guard, when at least `duration` has
     * passed. Nothing waits meanwhile: the caller returns at once.
     */
    virtual void after(std::chrono::milliseconds duration, std::function<void()> action) = 0;
};

/** The machine's monotonic clock, with timers of the event loop; pending ones end with the clock. */
class SystemClock final : public Clock
{
public:
    void after(std::chrono::milliseconds duration, std::function<void()> action) override;

private:
    QObject m_timers;
};

} // namespace runtime
