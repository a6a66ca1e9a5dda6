// The processor time of one two-second pause: the wall time is the pause itself, the CPU column what it
// costs.
#include "rules/pause.h"

#include <benchmark/benchmark.h>

static void pauseOfTwoSeconds(benchmark::State &state)
{
    runtime::SystemClock clock;
    for (auto _ : state)
        rules::delay(clock, 2);
}
BENCHMARK(pauseOfTwoSeconds)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
