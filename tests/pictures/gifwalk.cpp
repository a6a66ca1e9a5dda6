#include "gifwalk.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

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

// Skips the sub-blocks of a frame's data up to the empty one that ends them, as giflib reads them; gives
// whether the file ends first.
bool skipData(Cursor &in)
{
    for (int size = in.byte(); size > 0 && !in.past; size = in.byte())
        in.skip(size);
    return !in.past;
}

int readFromBytes(GifFileType *gif, GifByteType *into, int length)
{
    auto *bytes = static_cast<QByteArray *>(gif->UserData);
    const int count = int(std::min<qsizetype>(length, bytes->size()));
    std::memcpy(into, bytes->constData(), size_t(count));
    bytes->remove(0, count);
    return count;
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
    walk.codeSize = codeSize;
    walk.codes = in.at - 1;
    walk.interlaced = (frameFlags & 0x40) != 0;
    if (in.past || codeSize > 8)
        return refuse(QLatin1String(in.past ? endsEarly : "the LZW minimum code size is out of range"));
    if (tooLarge(width, height))
        return tooLargeFor("image", width, height);
    // Once its codes are read, a frame without a colour table is refused, before its data is found to run off
    // the file.
    if (!(flags & 0x80) && !(frameFlags & 0x80))
        walk.afterCodes = QStringLiteral("not a readable GIF picture (no colour table)");
    else if (!skipData(in))
        walk.afterCodes = QStringLiteral("not a readable GIF picture (%1)").arg(QLatin1String(endsEarly));
    return walk;
}

namespace {

// giflib at the first frame's codes, its descriptor read into `frame`; null where it cannot get there.
GifFileType *openAtFirstFrame(QByteArray &unread, GiflibFrame &frame)
{
    int error = 0, type = 0, code = 0;
    GifFileType *gif = DGifOpen(&unread, readFromBytes, &error);
    GifByteType *block = nullptr;
    while (gif != nullptr && DGifGetRecordType(gif, reinterpret_cast<GifRecordType *>(&type)) == GIF_OK
           && type == EXTENSION_RECORD_TYPE && DGifGetExtension(gif, &code, &block) == GIF_OK) {
        GraphicsControlBlock control;
        if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] == 4
            && DGifExtensionToGCB(4, block + 1, &control) == GIF_OK)
            frame.transparent = control.TransparentColor;
        while (block != nullptr && DGifGetExtensionNext(gif, &block) == GIF_OK) { }
    }
    if (gif != nullptr && type == IMAGE_DESC_RECORD_TYPE && DGifGetImageDesc(gif) == GIF_OK)
        return gif;
    if (gif != nullptr)
        DGifCloseFile(gif, &error);
    return nullptr;
}

} // namespace

GiflibFrame readWithGiflib(const QByteArray &bytes, unsigned char fill)
{
    QByteArray unread = bytes;
    GiflibFrame frame;
    GifFileType *gif = openAtFirstFrame(unread, frame);
    if (gif == nullptr)
        return frame;
    const GifImageDesc &desc = gif->Image;
    const ColorMapObject *colours = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
    for (int k = 0; colours != nullptr && k < colours->ColorCount; ++k)
        frame.table.push_back(
            qRgb(colours->Colors[k].Red, colours->Colors[k].Green, colours->Colors[k].Blue));
    frame.indices.resize(size_t(desc.Width) * size_t(desc.Height), fill);
    // Interlaced, the rows come every 8th from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
    frame.read = true;
    for (const auto &[start, step] : desc.Interlace
             ? std::vector<std::pair<int, int>> {{0, 8}, {4, 8}, {2, 4}, {1, 2}}
             : std::vector<std::pair<int, int>> {{0, 1}})
        for (int y = start; frame.read && y < desc.Height; y += step)
            frame.read = DGifGetLine(gif, frame.indices.data() + size_t(y) * size_t(desc.Width), desc.Width)
                == GIF_OK;
    int error = 0;
    DGifCloseFile(gif, &error);
    return frame;
}

GiflibCodes giflibCodes(const QByteArray &bytes)
{
    QByteArray unread = bytes;
    GiflibFrame frame;
    GifFileType *gif = openAtFirstFrame(unread, frame);
    GiflibCodes read;
    while (gif != nullptr && read.codes.size() < 1 << 20) {
        // giflib gives -1 for the end code once it has passed the sub-blocks after it, and fails where the
        // file ends among them (the end code then left in `code`), or where an empty sub-block comes first.
        int code = -2;
        if (DGifGetLZCodes(gif, &code) == GIF_ERROR) {
            read.endOnTheirOwn = code >= 0 || gif->Error == D_GIF_ERR_IMAGE_DEFECT;
            break;
        }
        if (code < 0) {
            read.endOnTheirOwn = true;
            break;
        }
        read.codes.push_back(code);
    }
    int error = 0;
    if (gif != nullptr)
        DGifCloseFile(gif, &error);
    return read;
}
