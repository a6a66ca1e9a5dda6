#include "pause.h"

namespace rules {

void delay(runtime::Clock &clock, double seconds)
{
    using namespace std::chrono_literals;
    const double start = clock.monotonicSeconds();
    while (clock.monotonicSeconds() - start < seconds)
        clock.sleep(10ms);
}

} // namespace rules
