// The time from PLAY to a fully painted 40-card board: the first PLAY of a run, which also reads the twenty
// pictures, and a later PLAY, which lays out a fresh board.
#include "controls/designkit.h"
#include "controls/windowing.h"
#include "runtime/clock.h"
#include "runtime/random.h"
#include "windows/forms.h"
#include "windows/gamewindow.h"
#include "windows/startupwindow.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>

#include <benchmark/benchmark.h>

namespace {

struct Program
{
    Program() : forms({QByteArray(PF_FACES_DIR), random, clock})
    {
        controls::Show(forms.startup.get());
        forms.startup->numCells[9]->click();
    }

    // PLAY, then paint the whole game window at once.
    void play()
    {
        forms.startup->cmdPlay->click();
        forms.game->repaint();
    }

    runtime::SystemRandom random;
    runtime::SystemClock clock;
    windows::Forms forms;
};

void firstPlay(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto program = std::make_unique<Program>();
        state.ResumeTiming();
        program->play();
        state.PauseTiming();
        program.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(firstPlay)->Unit(benchmark::kMillisecond);

void laterPlay(benchmark::State &state)
{
    Program program;
    program.play();
    for (auto _ : state)
        program.play();
}
BENCHMARK(laterPlay)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    controls::installFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
