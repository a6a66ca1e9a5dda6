#pragma once

#include <functional>

namespace runtime {

/** Whether the program is inside a pause, when nothing of the game may run. */
bool isPausing();

/**
 * Runs `action` now, or once the pause is over when one is running: what arrives during a pause through
 * another path than user input (an assistive technology's action) waits like user input does.
 */
void whenNotPausing(std::function<void()> action);

/** Marks a pause for as long as it lives; at its end, the actions deferred meanwhile run in their order. */
class PauseScope
{
public:
    PauseScope();
    ~PauseScope();
    PauseScope(const PauseScope &) = delete;
    PauseScope &operator=(const PauseScope &) = delete;
};

} // namespace runtime
