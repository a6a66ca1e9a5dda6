// The time to create the picture library and read its twenty pictures, as the first PLAY does.
#include "pictures/imageswindow.h"

#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>

static void createAndLoadTheLibrary(benchmark::State &state)
{
    const QString directory = QStringLiteral(PF_FACES_DIR);
    for (auto _ : state) {
        pictures::ImagesWindow images(QFile::encodeName(directory));
        images.Form_Load();
        benchmark::DoNotOptimize(images.picFractals(20).picture());
    }
}
BENCHMARK(createAndLoadTheLibrary)->Unit(benchmark::kMillisecond);

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
