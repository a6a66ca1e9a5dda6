#include "gifdecoder.h"

#include "gifcodes.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace pictures {

namespace {

struct Source
{
    const QByteArray &bytes;
    qsizetype position = 0;
    bool exhausted = false; // a read asked for more than was left
};

int readFromSource(GifFileType *gif, GifByteType *buffer, int length)
{
    auto *source = static_cast<Source *>(gif->UserData);
    const qsizetype count = std::min<qsizetype>(std::max(length, 0), source->bytes.size() - source->position);
    if (count < length)
        source->exhausted = true;
    if (count > 0)
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

DecodedGif failed(const QString &reason)
{
    return {QImage(), DecodedGif::Problem::Unreadable, reason, {}};
}

// Each of the decoder's errors in words of its own. Data that ran out mid-way is named as such whatever
// the decoder made of it.
DecodedGif decoderFailed(int code, const Source &source)
{
    if (code == D_GIF_ERR_NOT_ENOUGH_MEM)
        return {QImage(), DecodedGif::Problem::OutOfMemory, {}, {}};
    if (source.exhausted)
        return failed(QStringLiteral("the file ends too early"));
    switch (code) {
    case D_GIF_ERR_NOT_GIF_FILE:
        return failed(QStringLiteral("data is not in gif format"));
    case D_GIF_ERR_NO_SCRN_DSCR:
        return failed(QStringLiteral("no screen descriptor detected"));
    case D_GIF_ERR_NO_IMAG_DSCR:
        return failed(QStringLiteral("no image descriptor detected"));
    case D_GIF_ERR_NO_COLOR_MAP:
        return failed(QStringLiteral("no colour table"));
    case D_GIF_ERR_WRONG_RECORD:
        return failed(QStringLiteral("unknown record"));
    case D_GIF_ERR_DATA_TOO_BIG:
        return failed(QStringLiteral("more pixels than the image holds"));
    case D_GIF_ERR_IMAGE_DEFECT:
        return failed(QStringLiteral("image is defective, decoding aborted"));
    case D_GIF_ERR_EOF_TOO_SOON:
        return failed(QStringLiteral("the image data ends before the image is complete"));
    case D_GIF_ERR_READ_FAILED:
        // With the data all in memory and not used up, the decoder gives up this way only on a code size it
        // cannot decode.
        return failed(QStringLiteral("the LZW minimum code size is out of range"));
    default:
        return failed(QStringLiteral("decoder error %1").arg(code));
    }
}

DecodedGif decoderFailed(const GifFileType *gif, const Source &source)
{
    return decoderFailed(gif->Error, source);
}

bool withinLimit(qint64 width, qint64 height)
{
    return width * height * 4 <= memoryLimit;
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

struct Extensions
{
    int transparent = NO_TRANSPARENT_COLOR;
    QByteArray comment;
};

// At most `limit` characters of a text whose spaces are single: all the words that fit whole, or the start of
// a first word too long to fit.
QList<uint> cutAfterWord(QList<uint> characters, qsizetype limit)
{
    if (characters.size() <= limit)
        return characters;
    qsizetype end = limit;
    if (characters[limit] != ' ') {
        const qsizetype space = characters.first(limit).lastIndexOf(' ');
        if (space > 0)
            end = space;
    }
    while (end > 0 && characters[end - 1] == ' ')
        --end;
    characters.resize(end);
    return characters;
}

QString fromCharacters(const QList<uint> &characters)
{
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(characters.constData()), characters.size());
}

// A comment is somebody else's text: one line of printable characters, cut at a sane length. Characters are
// taken whole, those beyond the Basic Multilingual Plane (emoji, rare ideographs) included.
QString safeComment(const QByteArray &bytes)
{
    QList<uint> characters = QString::fromUtf8(bytes).toUcs4();
    for (uint &c : characters)
        if (!QChar::isPrint(char32_t(c)))
            c = ' ';
    return fromCharacters(cutAfterWord(fromCharacters(characters).simplified().toUcs4(), gifCommentLimit));
}

enum class Extension { Read, Failed, MalformedControl };

// Reads an extension, keeping the transparent colour of a graphics control block and the text of a comment.
// A control block is four bytes long: readers part ways on where a longer or shorter one ends.
Extension readExtension(GifFileType *gif, Extensions &extensions)
{
    int code = 0;
    GifByteType *block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return Extension::Failed;
    if (code == GRAPHICS_EXT_FUNC_CODE && (block == nullptr || block[0] != 4))
        return Extension::MalformedControl;
    if (code == GRAPHICS_EXT_FUNC_CODE) {
        GraphicsControlBlock control;
        if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
            extensions.transparent = control.TransparentColor;
    }
    // Each sub-block starts with its length; a comment longer than is kept is not gathered further.
    const bool comment = code == COMMENT_EXT_FUNC_CODE;
    if (comment && !extensions.comment.isEmpty())
        extensions.comment += ' ';
    while (block != nullptr) {
        if (comment && extensions.comment.size() < 4 * gifCommentLimit)
            extensions.comment.append(reinterpret_cast<const char *>(block + 1), block[0]);
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return Extension::Failed;
    }
    return Extension::Read;
}

DecodedGif readFrame(GifFileType *gif, const Source &source, int transparent)
{
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        return decoderFailed(gif, source);
    const GifImageDesc &frame = gif->Image;
    if (frame.Width <= 0 || frame.Height <= 0 || !withinLimit(frame.Width, frame.Height))
        return failed(QStringLiteral("image size %1 x %2 out of range").arg(frame.Width).arg(frame.Height));
    // The image descriptor has been read up to the minimum code size, the byte before the compressed pixels.
    switch (readFrameCodes(source.bytes, source.position - 1, qint64(frame.Width) * frame.Height)) {
    case FrameCodes::Drawable:
        break;
    case FrameCodes::Unknown:
        return failed(QStringLiteral("a code that the LZW table does not hold"));
    case FrameCodes::WidthInDoubt:
        return failed(
            QStringLiteral("codes whose width readers disagree on, below a minimum code size of 2"));
    case FrameCodes::EndsEarly:
        return failed(QStringLiteral("the image data ends before the image is complete"));
    case FrameCodes::CodeSizeOutOfRange:
        return failed(QStringLiteral("the LZW minimum code size is out of range"));
    }
    const ColorMapObject *colours = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    if (colours == nullptr)
        return failed(QStringLiteral("no colour table"));

    // Opaque and fully transparent pixels are the same premultiplied or not, so the picture is decoded
    // straight into the format it is painted in: there is no conversion that could fail.
    QImage canvas(gif->SWidth, gif->SHeight, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return {QImage(), DecodedGif::Problem::OutOfMemory, {}, {}};
    canvas.fill(Qt::transparent);

    std::vector<GifPixelType> line(size_t(frame.Width));
    for (const int row : rowOrder(frame.Height, frame.Interlace)) {
        if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR)
            return decoderFailed(gif, source);
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
    return {canvas, DecodedGif::Problem::None, {}, {}};
}

DecodedGif decode(const QByteArray &bytes, qint64 budget)
{
    Source source {bytes};
    int error = 0;
    std::unique_ptr<GifFileType, CloseGif> gif(DGifOpen(&source, readFromSource, &error));
    if (!gif)
        return decoderFailed(error, source);
    if (gif->SWidth <= 0 || gif->SHeight <= 0 || !withinLimit(gif->SWidth, gif->SHeight))
        return failed(QStringLiteral("picture size %1 x %2 out of range").arg(gif->SWidth).arg(gif->SHeight));
    if (qint64(gif->SWidth) * gif->SHeight * 4 > budget)
        return {QImage(), DecodedGif::Problem::OverBudget, {}, {}};

    Extensions extensions;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR)
            return decoderFailed(gif.get(), source);
        switch (record) {
        case IMAGE_DESC_RECORD_TYPE: {
            DecodedGif decoded = readFrame(gif.get(), source, extensions.transparent);
            if (decoded.problem == DecodedGif::Problem::None)
                decoded.comment = safeComment(extensions.comment);
            return decoded;
        }
        case EXTENSION_RECORD_TYPE:
            switch (readExtension(gif.get(), extensions)) {
            case Extension::Read:
                break;
            case Extension::Failed:
                return decoderFailed(gif.get(), source);
            case Extension::MalformedControl:
                return failed(QStringLiteral("a graphics control block that is not 4 bytes long"));
            }
            break;
        case TERMINATE_RECORD_TYPE:
            return failed(QStringLiteral("no image in the file"));
        default:
            return failed(QStringLiteral("unknown record"));
        }
    }
}

} // namespace

DecodedGif decodeGif(const QByteArray &bytes, qint64 budget)
{
    try {
        return decode(bytes, budget);
    } catch (const std::bad_alloc &) {
        return {QImage(), DecodedGif::Problem::OutOfMemory, {}, {}};
    }
}

} // namespace pictures
