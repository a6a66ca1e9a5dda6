// A picture file of any content, loaded as the picture library loads one: it must give a picture within the
// budget with a printable name, or the failure that names the file and a reason, and never crash, leak or
// read out of bounds. Built as a libFuzzer target by the fuzz preset; replay_picture runs the same check over
// the committed corpus in every test run.
#include "pictures/picture.h"
#include "runtime/failure.h"

#include "gifwalk.h"

#include <QBuffer>
#include <QImageReader>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// Small enough that the fuzzer spends its time on the decoder, not on filling huge canvases.
constexpr qint64 budget = 16 * 1024 * 1024;

[[noreturn]] void broken(const char *what)
{
    std::fprintf(stderr, "fuzz_picture: %s\n", what);
    std::abort();
}

// One file in memory, rewritten for each input and opened by its path like any picture file.
const QByteArray &pictureFile()
{
    static const QByteArray path = [] {
        const int fd = memfd_create("F1.gif", MFD_CLOEXEC);
        if (fd < 0)
            broken("no file in memory");
        return "/proc/self/fd/" + QByteArray::number(fd);
    }();
    return path;
}

void write(const std::uint8_t *data, std::size_t size)
{
    const int fd = pictureFile().mid(pictureFile().lastIndexOf('/') + 1).toInt();
    if (ftruncate(fd, 0) != 0 || (size > 0 && pwrite(fd, data, size, 0) != ssize_t(size)))
        broken("cannot write the file in memory");
}

void checkName(const QString &name)
{
    const QList<uint> characters = name.toUcs4();
    if (characters.isEmpty() || characters.size() > 80)
        broken("a name that is empty or too long");
    if (name != name.simplified())
        broken("a name with spaces at its ends or more than one in a row");
    for (const uint c : characters)
        if (!QChar::isPrint(char32_t(c)))
            broken("a name with a character that cannot be shown");
}

// Where Qt's reader does not place the rows of the first frame as the file does: it lays an interlaced
// frame's rows out by its height clipped to the screen, and reads rows for the second pass of an interlaced
// frame of fewer than 5 rows, which has none. We place each row where the file puts it, as giflib does; the
// decoder's tests pin those rows. Every other frame, past an edge of its screen or not, is compared pixel by
// pixel.
bool rowsPlacedApart(const GifWalk &walk)
{
    return walk.interlaced && (walk.frame.bottom() > walk.screen.bottom() || walk.frame.height() < 5);
}

// Whether a refusal is of the frame's codes, which the file's own walk does not read: it must be shown by
// another reader.
bool ofTheCodes(const QString &refusal)
{
    return refusal.endsWith(QLatin1String("(a code that the LZW table does not hold)"))
        || refusal.endsWith(
            QLatin1String("(codes whose width readers disagree on, below a minimum code size of 2)"))
        || refusal.endsWith(QLatin1String("(the image data ends before the image is complete)"));
}

// Whether giflib reads other codes from the first frame's data than Qt's reader would, by Qt's rule for their
// width: one bit wider each time its table grows to the width's limit, the table growing by one entry for
// each code after the first since a clear, a clear that follows a clear changing nothing.
bool codesReadApart(const QByteArray &bytes, const GifWalk &walk)
{
    const std::vector<int> giflib = giflibCodes(bytes);
    const int clear = 1 << walk.codeSize;
    int width = walk.codeSize + 1, entries = clear + 2, limit = 2 * clear, held = 0;
    size_t read = 0;
    bool first = true;
    quint32 bits = 0;
    for (qsizetype block = walk.codes + 1; block < bytes.size() && bytes[block] != 0;
         block += 1 + quint8(bytes[block]))
        for (qsizetype at = block + 1; at <= block + quint8(bytes[block]) && at < bytes.size(); ++at) {
            bits |= quint32(quint8(bytes[at])) << held;
            held += 8;
            while (held >= width) {
                const int code = int(bits & ((1u << width) - 1));
                bits >>= width;
                held -= width;
                if (read == giflib.size())
                    return false;
                if (giflib[read++] != code)
                    return true;
                if (code == clear + 1)
                    return false;
                if (code == clear) {
                    if (!first)
                        width = walk.codeSize + 1, entries = clear + 2, limit = 2 * clear;
                    first = true;
                } else if (first) {
                    first = false;
                } else if (entries < 4096 && ++entries >= limit && limit < 4096) {
                    limit *= 2;
                    ++width;
                }
            }
        }
    return false;
}

// The colour that index `k` has in the table of 256 colours below: each its own.
QRgb distinct(int k)
{
    return qRgb(k, (k * 7 + 50) % 256, 255 - k);
}

// Whether giflib reads the first frame's codes to other indices than Qt's reader does, or refuses them. Both
// read the frame's codes alone, byte for byte: on a screen of the frame's size, at its top left corner, its
// rows in the order they come, with no extension and one table of 256 colours, each its own, so that every
// index of the frame shows, as itself, in both.
bool readApart(const QByteArray &bytes, const GifWalk &walk)
{
    if (qint64(walk.frame.width()) * walk.frame.height() * 4 > budget)
        return false;
    QByteArray alone("GIF89a");
    const auto put16 = [&alone](int value) { alone += char(value & 0xff), alone += char(value >> 8); };
    put16(walk.frame.width());
    put16(walk.frame.height());
    alone += QByteArray::fromHex("f70000");
    for (int k = 0; k < 256; ++k)
        alone += char(qRed(distinct(k))), alone += char(qGreen(distinct(k))),
            alone += char(qBlue(distinct(k)));
    alone += ',';
    put16(0);
    put16(0);
    put16(walk.frame.width());
    put16(walk.frame.height());
    alone += '\0' + bytes.mid(walk.codes);
    const GiflibFrame giflib = readWithGiflib(alone);
    if (!giflib.read)
        return true;
    QBuffer buffer(&alone);
    QImageReader reader(&buffer, "gif");
    const QImage theirs = reader.read();
    for (int y = 0; y < theirs.height(); ++y)
        for (int x = 0; x < theirs.width(); ++x)
            if (theirs.pixel(x, y)
                != distinct(giflib.indices[size_t(y) * size_t(walk.frame.width()) + size_t(x)]))
                return true;
    return false;
}

// The picture must be the one that Qt's own GIF reader draws, where it draws one, or be refused for a reason
// that our own walk of the file confirms, in the same words; a refusal of the frame's codes, which the walk
// does not read, only where giflib refuses the file or reads other pixels than Qt's reader draws. We refuse
// on purpose what Qt's reader draws:
// - codes that the LZW table does not hold, and codes that readers read to other pixels below a minimum code
//   size of 2: a reader must make pixels up for them, and a corrupt file gives no picture here;
// - a minimum code size past GIF's 8: not a GIF picture, though Qt's reader takes sizes up to 11;
// - a file, or an image's data, that ends before the image is complete: Qt's reader shows what came, as a
//   page shows a picture still loading; a picture of the game is whole or not at all;
// - a frame or a screen of no pixels, or of more than a picture of the game may take in memory (the budget of
//   the pictures together, the memory to be had): Qt's reader paints an empty frame's screen in a background
//   colour that no pixel of the file has;
// - a file that does not begin with "GIF": Qt's reader checks fewer of its letters ("GIf89a" passes);
// - a record that is not GIF's where an extension or an image must begin (after a graphics control block of
//   the wrong length, say): Qt's reader reads on by its own guess;
// - a graphics control block that is not 4 bytes long: readers part ways on where the next record begins;
// - a frame with no colour table, neither its own nor the picture's: Qt's reader paints it in colours that
//   the file does not give.
// Where we leave a pixel of the frame clear, Qt's reader leaves it clear too, or paints it white where the
// file's index lies past the colour table. Outside a frame smaller than the picture it paints the background,
// and below the frame, in colours of memory it does not own, the pixels of data that runs on past the frame's
// last one: the file gives neither, and we leave them clear.
void compareWithQt(const std::uint8_t *data, std::size_t size, const QImage *ours, const QString &refusal)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const GifWalk walk = walkGif(bytes, budget);
    if (ours != nullptr && !(walk.refusal + walk.afterCodes).isEmpty()) {
        std::fprintf(stderr, "fuzz_picture: the walk refuses: %s\n",
                     qPrintable(walk.refusal + walk.afterCodes));
        broken("a picture drawn that the file's own walk refuses");
    }
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "gif");
    const QImage theirs = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (theirs.isNull())
        return;
    const GiflibFrame giflib = walk.refusal.isEmpty() ? readWithGiflib(bytes) : GiflibFrame();
    if (ours == nullptr) {
        if (refusal == walk.refusal || (walk.refusal.isEmpty() && refusal == walk.afterCodes))
            return;
        const bool unknownCode = refusal.endsWith(QLatin1String("(a code that the LZW table does not hold)"));
        if (walk.refusal.isEmpty() && ofTheCodes(refusal)
            && (!giflib.read || readApart(bytes, walk) || (walk.codeSize < 2 && codesReadApart(bytes, walk))
                || (unknownCode && giflibReadsAnUnknownCode(bytes, walk.codeSize))))
            return;
        std::fprintf(stderr,
                     "fuzz_picture: refused: %s\nfuzz_picture: the walk: %s\nfuzz_picture: giflib %s\n",
                     qPrintable(refusal),
                     qPrintable(walk.refusal.isEmpty() ? QStringLiteral("drawable") : walk.refusal),
                     giflib.read ? "reads its codes as Qt's reader does" : "does not read it");
        broken("a picture that Qt's GIF reader draws and we refuse for no reason the file shows");
    }
    if (!giflib.read)
        broken("a picture drawn that giflib does not read");
    if (theirs.size() != ours->size())
        broken("a picture of another size than Qt's GIF reader reads");
    if (rowsPlacedApart(walk))
        return;
    for (int y = 0; y < ours->height(); ++y)
        for (int x = 0; x < ours->width(); ++x) {
            const QRgb mine = ours->pixel(x, y), qt = theirs.pixel(x, y);
            const QPoint inFrame = QPoint(x, y) - walk.frame.topLeft();
            const bool pastTable = walk.frame.contains(x, y)
                && giflib.indices[size_t(inFrame.y()) * size_t(walk.frame.width()) + size_t(inFrame.x())]
                    >= giflib.colours();
            const bool same = qAlpha(mine) != 0
                ? mine == qt
                : !walk.frame.contains(x, y) || qAlpha(qt) == 0 || (pastTable && qt == qRgb(255, 255, 255));
            if (!same)
                broken("a pixel that Qt's GIF reader draws otherwise");
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    write(data, size);
    pictures::PictureBudget pixels(budget);
    try {
        const pictures::Picture picture
            = pictures::LoadPicture(pictureFile(), pixels, QStringLiteral("picture 1"));
        if (!picture || picture->image().isNull())
            broken("a picture without pixels");
        if (picture->image().sizeInBytes() > budget || pixels.remaining() < 0)
            broken("a picture over its budget");
        if (picture->image().format() != QImage::Format_ARGB32_Premultiplied)
            broken("a picture in another format than the painting one");
        checkName(picture->name());
        compareWithQt(data, size, &picture->image(), {});
    } catch (const runtime::Failure &failure) {
        const QString prefix
            = QStringLiteral("Cannot load picture \"%1\": ").arg(QString::fromLatin1(pictureFile()));
        if (!failure.message().startsWith(prefix) || failure.message().size() == prefix.size())
            broken("a failure that does not name the file and a reason");
        compareWithQt(data, size, nullptr, failure.message().mid(prefix.size()));
    }
    return 0;
}
