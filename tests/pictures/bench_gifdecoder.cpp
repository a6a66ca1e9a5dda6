// Our GIF decoder against Qt's own GIF reader on large frames, each decoded by both in every iteration: the
// average time of each and their ratio (ours to Qt's). A frame of 4000 x 4000 pixels of noise, as giflib's
// encoder writes it at a minimum code size of 8, where giflib's reading of the codes goes alone; and one of
// 2000 x 2000 pixels of index 0 at a minimum code size of 0, where it goes in step with Qt's.
#include "pictures/gifdecoder.h"

#include <QBuffer>
#include <QImageReader>

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <chrono>
#include <vector>

namespace {

int writeToBytes(GifFileType *gif, const GifByteType *data, int length)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(data), length);
    return length;
}

QByteArray noiseOfCodeSize8(int side)
{
    QByteArray bytes;
    int error = 0;
    GifFileType *gif = EGifOpen(&bytes, writeToBytes, &error);
    ColorMapObject *colours = GifMakeMapObject(256, nullptr);
    for (int k = 0; k < 256; ++k)
        colours->Colors[k] = {GifByteType(k), GifByteType(255 - k), GifByteType(k * 7)};
    EGifPutScreenDesc(gif, side, side, 8, 0, colours);
    EGifPutImageDesc(gif, 0, 0, side, side, false, nullptr);
    std::vector<GifPixelType> row(static_cast<size_t>(side));
    quint32 state = 1;
    for (int y = 0; y < side; ++y) {
        for (GifPixelType &pixel : row) {
            state = state * 1664525u + 1013904223u;
            pixel = GifPixelType(state >> 24);
        }
        EGifPutLine(gif, row.data(), side);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(colours);
    return bytes;
}

// Every code is 0, a pixel of index 0, twelve bits wide once the table is full.
QByteArray zerosOfCodeSize0(int side)
{
    QByteArray bytes = QByteArray::fromHex("474946383961") + QByteArray(4, '\0')
        + QByteArray::fromHex("800000000000ffffff2c") + QByteArray(8, '\0') + QByteArray(2, '\0');
    for (const qsizetype at : {6, 8, 24, 26})
        bytes[at] = char(side & 0xff), bytes[at + 1] = char(side >> 8);
    const qint64 blocks = qint64(side) * side * 12 / 8 / 255 + 1;
    for (qint64 block = 0; block < blocks; ++block)
        bytes += char(255) + QByteArray(255, '\0');
    return bytes + '\0' + ';';
}

void decodeBoth(benchmark::State &state, const QByteArray &file)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration ours {}, qt {};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const pictures::DecodedGif decoded = pictures::decodeGif(file);
        const Clock::time_point between = Clock::now();
        QByteArray copy = file;
        QBuffer buffer(&copy);
        QImageReader reader(&buffer, "gif");
        reader.setAllocationLimit(0);
        const QImage theirs = reader.read();
        ours += between - start;
        qt += Clock::now() - between;
        if (decoded.image.isNull() || theirs.isNull())
            state.SkipWithError("a frame not drawn");
        benchmark::DoNotOptimize(decoded.image.constBits());
    }
    const auto ms = [&state](Clock::duration time) {
        return std::chrono::duration<double, std::milli>(time).count() / double(state.iterations());
    };
    state.counters["ours_ms"] = ms(ours);
    state.counters["qt_ms"] = ms(qt);
    state.counters["ours_to_qt"] = ms(ours) / ms(qt);
}

} // namespace

int main(int argc, char *argv[])
{
    const QByteArray large = noiseOfCodeSize8(4000), zeros = zerosOfCodeSize0(2000);
    benchmark::RegisterBenchmark("noise of code size 8, 4000 x 4000", decodeBoth, large)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("zeros of code size 0, 2000 x 2000", decodeBoth, zeros)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
