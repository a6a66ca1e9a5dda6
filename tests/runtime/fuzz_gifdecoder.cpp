// The GIF decoder against any input: it must return a picture within the budget or a reason, never crash,
// leak or read out of bounds. Built as a libFuzzer target by the fuzz preset; replay_gifdecoder runs the same
// check over the committed corpus in every test run.
#include "runtime/gifdecoder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Small enough that the fuzzer spends its time on the decoder, not on filling huge canvases.
constexpr qint64 budget = 16 * 1024 * 1024;

[[noreturn]] void broken(const char *what)
{
    std::fprintf(stderr, "fuzz_gifdecoder: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const runtime::DecodedGif decoded = runtime::decodeGif(bytes, budget);
    using Problem = runtime::DecodedGif::Problem;
    if (decoded.image.isNull() != (decoded.problem != Problem::None))
        broken("a picture and a problem disagree");
    if (decoded.problem == Problem::Unreadable && decoded.error.trimmed().isEmpty())
        broken("an unreadable picture without a reason");
    if (decoded.image.sizeInBytes() > budget)
        broken("a picture over its budget");
    if (!decoded.image.isNull() && decoded.image.format() != QImage::Format_ARGB32_Premultiplied)
        broken("a picture in another format than the painting one");
    return 0;
}
