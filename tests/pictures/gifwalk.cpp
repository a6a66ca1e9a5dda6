#include "gifwalk.h"

#include <vector>

namespace {

constexpr const char *endsEarly = "the file ends too early";

// The file's bytes in order; a read past its end gives 0 and is remembered.
struct Cursor
{
    const QByteArray &bytes;
    qsizetype at = 0;
    bool past = false;

    int byte()
    {
        past = past || at >= bytes.size();
        return past ? 0 : quint8(bytes[at++]);
    }
    int word()
    {
        const int low = byte();
        return low | byte() << 8;
    }
    void skip(qsizetype count) { past = past || (at += count) > bytes.size(); }
};

// Follows the LZW codes of `pixels` pixels from the sub-blocks at the cursor: a clear code resets the table
// and the width, each code after the first adds an entry (the previous code's pixels and one more), the width
// grows when the next entry needs another bit, up to 12, and a full table stays as it is. Gives what the
// picture library says of the codes, or nullptr when they draw the frame.
const char *followCodes(Cursor &in, int codeSize, qint64 pixels)
{
    const int clear = 1 << codeSize;
    std::vector<qint64> length(4096, 1);
    int width = codeSize + 1, next = clear + 2, previous = -1, left = in.byte(), held = 0;
    quint32 bits = 0;
    while (pixels > 0) {
        while (held < width) {
            if (!in.past && left == 0)
                return "the image data ends before the image is complete";
            bits |= quint32(in.byte()) << held;
            if (in.past)
                return endsEarly;
            held += 8;
            if (--left == 0)
                left = in.byte();
        }
        // Below a minimum code size of 2, giflib reads the code after any but a clear one bit wider than
        // Qt's reader does.
        if (codeSize < 2 && previous >= 0)
            return "codes whose width readers disagree on, below a minimum code size of 2";
        const int code = int(bits & ((1u << width) - 1));
        bits >>= width;
        held -= width;
        if (code == clear) {
            width = codeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == clear + 1)
            return "the image data ends before the image is complete";
        if (previous < 0 ? code > clear : code > next || (code == next && next == 4096))
            return "a code that the LZW table does not hold";
        pixels -= code == next ? length[size_t(previous)] + 1 : length[size_t(code)];
        if (previous >= 0 && next < 4096) {
            length[size_t(next++)] = length[size_t(previous)] + 1;
            width += next == 1 << width && width < 12 ? 1 : 0;
        }
        previous = code;
    }
    // giflib reads the rest of the data, up to the empty sub-block that ends it.
    for (int size = left; size > 0 && !in.past; size = in.byte())
        in.skip(size);
    return in.past ? endsEarly : nullptr;
}

bool tooLarge(int width, int height)
{
    return width == 0 || height == 0 || qint64(width) * height * 4 > 256 * 1024 * 1024;
}

} // namespace

GifWalk walkGif(const QByteArray &bytes, qint64 budget)
{
    GifWalk walk;
    const auto refuse = [&walk](const QString &why) {
        walk.refusal = why.isEmpty() ? why : QStringLiteral("not a readable GIF picture (%1)").arg(why);
        return walk;
    };
    const auto tooLargeFor = [&refuse](const char *what, int width, int height) {
        return refuse(
            QStringLiteral("%1 size %2 x %3 out of range").arg(QLatin1String(what)).arg(width).arg(height));
    };
    Cursor in {bytes};
    if (bytes.size() < 6 || !bytes.startsWith("GIF"))
        return refuse(QLatin1String(bytes.size() < 6 ? endsEarly : "data is not in gif format"));
    in.skip(6);
    const int screenWidth = in.word(), screenHeight = in.word(), flags = in.byte();
    walk.screen = QRect(0, 0, screenWidth, screenHeight);
    in.skip(2 + ((flags & 0x80) ? 3 << ((flags & 7) + 1) : 0));
    if (in.past)
        return refuse(QLatin1String(endsEarly));
    if (tooLarge(screenWidth, screenHeight))
        return tooLargeFor("picture", screenWidth, screenHeight);
    if (qint64(screenWidth) * screenHeight * 4 > budget) {
        walk.refusal = QStringLiteral("the pictures together would need more than %1 MiB of memory")
                           .arg(budget / (1024 * 1024));
        return walk;
    }
    int record = in.byte();
    for (; !in.past && record == 0x21; record = in.byte()) {
        const int label = in.byte(), size = in.byte();
        in.skip(size);
        if (!in.past && label == 0xf9 && size != 4)
            return refuse(QStringLiteral("a graphics control block that is not 4 bytes long"));
        for (int next = size > 0 ? in.byte() : 0; next > 0 && !in.past; next = in.byte())
            in.skip(next);
    }
    if (in.past || record != 0x2c)
        return refuse(QLatin1String(in.past              ? endsEarly
                                        : record == 0x3b ? "no image in the file"
                                                         : "unknown record"));
    const int left = in.word(), top = in.word(), width = in.word(), height = in.word(),
              frameFlags = in.byte();
    in.skip((frameFlags & 0x80) ? 3 << ((frameFlags & 7) + 1) : 0);
    const int codeSize = in.byte();
    walk.frame = QRect(left, top, width, height);
    walk.interlaced = (frameFlags & 0x40) != 0;
    if (in.past || codeSize > 8)
        return refuse(QLatin1String(in.past ? endsEarly : "the LZW minimum code size is out of range"));
    if (tooLarge(width, height))
        return tooLargeFor("image", width, height);
    const char *codes = followCodes(in, codeSize, qint64(width) * height);
    // A frame without a colour table is refused before its data is found to run off the file.
    if ((codes == nullptr || codes == endsEarly) && !(flags & 0x80) && !(frameFlags & 0x80))
        codes = "no colour table";
    return refuse(QLatin1String(codes));
}
