// Our GIF decoder against Qt's own GIF reader on large frames, each decoded by both in every iteration: the
// average time of each and their ratio (ours to Qt's). 4000 x 4000 pixels of noise at a minimum code size of
// 8, where giflib's reading of the codes goes alone; 2000 x 2000 pixels of index 0 at a minimum code size of
// 0, where it goes in step with Qt's.
#include "pictures/gifdecoder.h"

#include <QBuffer>
#include <QImageReader>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

// A square picture of `side` pixels, in two colours, whose frame has `codeSize` and the codes `data`.
QByteArray picture(int side, int codeSize, const QByteArray &data)
{
    // "GIF89a", the screen, two colours (black and white), the frame's place and size, no table of its own.
    QByteArray bytes = QByteArray::fromHex("474946383961"
                                           "00000000"
                                           "800000"
                                           "000000ffffff"
                                           "2c"
                                           "0000000000000000"
                                           "00");
    for (const qsizetype at : {6, 8, 24, 26})
        bytes[at] = char(side & 0xff), bytes[at + 1] = char(side >> 8);
    bytes += char(codeSize);
    for (qsizetype at = 0; at < data.size(); at += 255)
        bytes += char(std::min<qsizetype>(255, data.size() - at)) + data.mid(at, 255);
    return bytes + '\0' + ';';
}

// A clear code, then 254 random indices, each a code of its own nine bits wide, over and over.
QByteArray noise(int side)
{
    QByteArray data;
    quint32 bits = 0, state = 1;
    int held = 0;
    for (qint64 pixel = 0; pixel < qint64(side) * side; ++pixel) {
        state = state * 1664525u + 1013904223u;
        for (const quint32 code : {pixel % 254 == 0 ? 256u : 512u, state >> 24})
            if (code < 512)
                for (bits |= code << held, held += 9; held >= 8; held -= 8, bits >>= 8)
                    data += char(bits);
    }
    return picture(side, 8, data + char(bits));
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
    // Zeros are codes of index 0 at every width.
    const QByteArray large = noise(4000), zeros = picture(2000, 0, QByteArray(2000 * 2000 * 12 / 8, '\0'));
    benchmark::RegisterBenchmark("noise of code size 8", decodeBoth, large)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("zeros of code size 0", decodeBoth, zeros)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
