#include "pause.h"

#include <cmath>
#include <cstdint>

namespace rules {

void delay(runtime::Clock &clock, double seconds)
{
    // One wait to the deadline; a wake-up before it (the event loop's, the system's) waits for the rest.
    const double start = clock.monotonicSeconds();
    for (double waited = 0; (waited = clock.monotonicSeconds() - start) < seconds;)
        clock.sleep(std::chrono::milliseconds(std::int64_t(std::ceil((seconds - waited) * 1000))));
}

} // namespace rules
