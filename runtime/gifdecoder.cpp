#include "gifdecoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace runtime {

namespace {

struct Source
{
    const QByteArray &bytes;
    qsizetype position = 0;
};

int readFromSource(GifFileType *gif, GifByteType *buffer, int length)
{
    auto *source = static_cast<Source *>(gif->UserData);
    const qsizetype count = std::min<qsizetype>(length, source->bytes.size() - source->position);
    std::memcpy(buffer, source->bytes.constData() + source->position, size_t(count));
    source->position += count;
    return int(count);
}

struct CloseGif
{
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

QString gifError(int code)
{
    // The data is all in memory, so a failed read can only mean that the file ends too early.
    if (code == D_GIF_ERR_READ_FAILED)
        return QStringLiteral("the file ends too early");
    return QString::fromLatin1(GifErrorString(code)).toLower();
}

QString gifError(const GifFileType *gif)
{
    return gifError(gif->Error);
}

bool withinLimit(qint64 width, qint64 height)
{
    return width * height * 4 <= gifAllocationLimit;
}

// Row order of an interlaced image: every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd
// from 1.
std::vector<int> rowOrder(int height, bool interlaced)
{
    std::vector<int> rows;
    rows.reserve(size_t(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    constexpr std::array<std::pair<int, int>, 4> passes {{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};
    for (const auto &[start, step] : passes)
        for (int y = start; y < height; y += step)
            rows.push_back(y);
    return rows;
}

// Skips an extension, keeping the transparent colour of a graphics control block.
bool readExtension(GifFileType *gif, int &transparent)
{
    int code = 0;
    GifByteType *block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
        GraphicsControlBlock control;
        if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
            transparent = control.TransparentColor;
    }
    while (block != nullptr)
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return false;
    return true;
}

DecodedGif failed(const QString &reason)
{
    return {QImage(), reason};
}

DecodedGif readFrame(GifFileType *gif, int transparent)
{
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        return failed(gifError(gif));
    const GifImageDesc &frame = gif->Image;
    if (frame.Width <= 0 || frame.Height <= 0 || !withinLimit(frame.Width, frame.Height))
        return failed(QStringLiteral("image size %1 x %2 out of range").arg(frame.Width).arg(frame.Height));
    const ColorMapObject *colours = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    if (colours == nullptr)
        return failed(QStringLiteral("no colour table"));

    QImage canvas(gif->SWidth, gif->SHeight, QImage::Format_ARGB32);
    if (canvas.isNull())
        return failed(QStringLiteral("out of memory"));
    canvas.fill(Qt::transparent);

    std::vector<GifPixelType> line(size_t(frame.Width));
    for (const int row : rowOrder(frame.Height, frame.Interlace)) {
        if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR)
            return failed(gifError(gif));
        const int y = frame.Top + row;
        if (y < 0 || y >= canvas.height())
            continue;
        auto *pixels = reinterpret_cast<QRgb *>(canvas.scanLine(y));
        for (int column = 0; column < frame.Width; ++column) {
            const int x = frame.Left + column;
            const int index = line[size_t(column)];
            if (x < 0 || x >= canvas.width() || index == transparent || index >= colours->ColorCount)
                continue;
            const GifColorType colour = colours->Colors[index];
            pixels[x] = qRgb(colour.Red, colour.Green, colour.Blue);
        }
    }
    return {canvas, QString()};
}

} // namespace

DecodedGif decodeGif(const QByteArray &bytes)
{
    Source source {bytes};
    int error = 0;
    std::unique_ptr<GifFileType, CloseGif> gif(DGifOpen(&source, readFromSource, &error));
    if (!gif)
        return failed(gifError(error));
    if (gif->SWidth <= 0 || gif->SHeight <= 0 || !withinLimit(gif->SWidth, gif->SHeight))
        return failed(QStringLiteral("picture size %1 x %2 out of range").arg(gif->SWidth).arg(gif->SHeight));

    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR)
            return failed(gifError(gif.get()));
        switch (record) {
        case IMAGE_DESC_RECORD_TYPE:
            return readFrame(gif.get(), transparent);
        case EXTENSION_RECORD_TYPE:
            if (!readExtension(gif.get(), transparent))
                return failed(gifError(gif.get()));
            break;
        case TERMINATE_RECORD_TYPE:
            return failed(QStringLiteral("no image in the file"));
        default:
            return failed(QStringLiteral("unknown record"));
        }
    }
}

} // namespace runtime
