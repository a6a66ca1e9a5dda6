// The processor time of a miss on show for two seconds, on the machine's clock in a real event loop, as in
// the game: the wall time is the pause itself, the CPU column what it costs the whole process.
#include "fakes/fakes.h"
#include "rules/game.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

static void missOnShowForTwoSeconds(benchmark::State &state)
{
    for (auto _ : state) {
        fakes::FakeView view(4);
        view.pictures = {0, 1, 2, 1, 2};
        fakes::ScriptedRandom random;
        runtime::SystemClock clock;
        rules::Game game(view, random, clock);
        game.state().cellCount = 4;
        game.imgFront_Click(1);
        game.imgFront_Click(2);
        game.whenMissCovered([] { QCoreApplication::quit(); });
        QCoreApplication::exec();
    }
}
BENCHMARK(missOnShowForTwoSeconds)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
