#pragma once

#include "runtime/clock.h"

namespace rules {

/**
 * Holds the thread for at least `seconds` on the monotonic clock, sleeping in short slices so that the
 * processor stays idle. No event is handled meanwhile. Zero or fewer seconds return at once.
 */
void delay(runtime::Clock &clock, double seconds);

} // namespace rules
