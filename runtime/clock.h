#pragma once

#include <chrono>

namespace runtime {

/** The clocks of the program: the time of day and a monotonic clock for pauses. */
class Clock
{
public:
    virtual ~Clock() = default;
    /** Seconds since midnight, with fractions. */
    virtual float timer() const = 0;
    /** Seconds on a clock that only moves forward, from an arbitrary origin. */
    virtual double monotonicSeconds() const = 0;
    /**
     * Holds the program for about `duration` without using the processor. The window system is still
     * answered (painting, assistive technology) but no user input is handled until it returns.
     */
    virtual void sleep(std::chrono::milliseconds duration) = 0;
};

/** The real clocks of the machine. */
class SystemClock final : public Clock
{
public:
    float timer() const override;
    double monotonicSeconds() const override;
    void sleep(std::chrono::milliseconds duration) override;
};

} // namespace runtime
