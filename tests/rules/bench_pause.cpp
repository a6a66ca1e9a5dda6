// The processor time of one two-second pause, waited in the event loop as in the game: the wall time is the
// pause itself, the CPU column what it costs.
#include "rules/pause.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

static void pauseOfTwoSeconds(benchmark::State &state)
{
    runtime::SystemClock clock;
    for (auto _ : state)
        rules::delay(clock, 2);
}
BENCHMARK(pauseOfTwoSeconds)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
