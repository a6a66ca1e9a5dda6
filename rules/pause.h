#pragma once

#include "runtime/clock.h"

namespace rules {

/**
 * Holds the game for at least `seconds` on the monotonic clock, in one wait to the deadline that leaves the
 * processor idle. No user input is handled meanwhile. Zero or fewer seconds return at once.
 */
void delay(runtime::Clock &clock, double seconds);

} // namespace rules
