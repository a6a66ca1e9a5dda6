// A picture file of any content, loaded as the picture library loads one: it must give a picture within the
// budget with a printable name, or the failure that names the file and a reason, and never crash, leak or
// read out of bounds. Built as a libFuzzer target by the fuzz preset; replay_picture runs the same check over
// the committed corpus in every test run.
#include "pictures/picture.h"
#include "runtime/failure.h"

#include "gifwalk.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
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

const QLatin1String unknownCode("(a code that the LZW table does not hold)"),
    widthInDoubt("(codes whose width readers disagree on, below a minimum code size of 2)"),
    endsEarly("(the image data ends before the image is complete)"), fileEnds("(the file ends too early)");

// The colour that index `k` has in the table of 256 colours below: each its own, none black.
QRgb distinct(int k)
{
    return qRgb(k, (k * 7 + 50) % 256, 255 - k);
}

// A copy of the file that holds the first frame's codes alone: on a screen of the frame's size, at its top
// left corner, its rows in the order they come, with no extension and one table of 256 colours, each its own,
// so that every index of the frame shows, as itself, in both readers. `data`: its sub-blocks; by default the
// file's.
QByteArray alone(const QByteArray &bytes, const GifWalk &walk, const QByteArray &data = {})
{
    QByteArray copy("GIF89a");
    const auto put16 = [&copy](int value) { copy += char(value & 0xff), copy += char(value >> 8); };
    put16(walk.frame.width());
    put16(walk.frame.height());
    copy += QByteArray::fromHex("f70000");
    for (int k = 0; k < 256; ++k)
        copy += char(qRed(distinct(k))), copy += char(qGreen(distinct(k))), copy += char(qBlue(distinct(k)));
    copy += ',';
    for (const int value : {0, 0, walk.frame.width(), walk.frame.height()})
        put16(value);
    return copy + '\0' + (data.isEmpty() ? bytes.mid(walk.codes) : char(walk.codeSize) + data);
}

// The indices that giflib gives of a copy's frame, in the order they come, up to where it refuses its codes.
std::vector<quint8> giflibGives(const QByteArray &copy)
{
    GiflibFrame read = readWithGiflib(copy);
    if (!read.read) { // what it gave is what two readings into other fillings agree on
        const GiflibFrame again = readWithGiflib(copy, 0xff);
        const auto apart = std::mismatch(read.indices.begin(), read.indices.end(), again.indices.begin());
        read.indices.erase(apart.first, read.indices.end());
    }
    return read.indices;
}

// The first pixel of the frame, in the order they come, that giflib and Qt's reader do not read alike from
// its codes alone, and what each gives there (-1: none; giflib refused the codes, or Qt's reader painted
// nothing).
struct Apart
{
    qint64 at = -1; // -1: every pixel alike
    int giflib = -1, qt = -1;
    bool giflibRefuses = false;
    int giflibHighest = -1; // the highest index that giflib gives
};

Apart readApart(const QByteArray &bytes, const GifWalk &walk)
{
    QByteArray copy = alone(bytes, walk);
    const std::vector<quint8> giflib = giflibGives(copy);
    QBuffer buffer(&copy);
    QImageReader reader(&buffer, "gif");
    reader.setAllocationLimit(0);
    const QImage qt = reader.read();
    const qint64 pixels = qint64(walk.frame.width()) * walk.frame.height();
    Apart apart;
    apart.giflibRefuses = qint64(giflib.size()) < pixels;
    apart.giflibHighest = giflib.empty() ? -1 : *std::max_element(giflib.begin(), giflib.end());
    for (qint64 at = 0; at < pixels && apart.at < 0; ++at) {
        const QRgb painted = qt.isNull() ? 0 : qt.pixel(int(at % qt.width()), int(at / qt.width()));
        const int theirs = painted == distinct(qRed(painted)) ? qRed(painted) : -1;
        const int ours = at < qint64(giflib.size()) ? giflib[size_t(at)] : -1;
        if (ours < 0 || ours != theirs)
            apart = {at, ours, theirs, apart.giflibRefuses, apart.giflibHighest};
    }
    return apart;
}

// Whether giflib makes up a pixel of the frame for a code that its table does not hold. From a minimum code
// size of 2 up the index it makes up (2) is one that the codes also give, so the frame is read once more from
// giflib's own codes written again at the widths it reads them with, each index turned into its neighbour: a
// pixel read from the file turns with them, one made up does not.
bool giflibMakesUpAPixel(const QByteArray &bytes, const GifWalk &walk)
{
    if (walk.codeSize < 2)
        return false; // the index it makes up lies past the codes' own, where the readers part
    const int clear = 1 << walk.codeSize;
    std::vector<int> codes = giflibCodes(bytes).codes;
    codes.push_back(clear + 1);
    QByteArray data;
    quint32 bits = 0;
    int held = 0, width = walk.codeSize + 1, counted = clear + 2;
    for (const int code : codes) {
        bits |= quint32(code < clear ? code ^ 1 : code) << held;
        for (held += width; held >= 8; held -= 8, bits >>= 8)
            data += char(bits & 0xff);
        if (code == clear)
            width = walk.codeSize + 1, counted = clear + 2;
        else if (counted <= 4096 && ++counted > 1 << width && width < 12)
            ++width;
    }
    const std::vector<quint8> read = giflibGives(alone(bytes, walk));
    data += char(bits);
    QByteArray blocks;
    for (qsizetype at = 0; at < data.size(); at += 255)
        blocks += char(std::min<qsizetype>(255, data.size() - at)) + data.mid(at, 255);
    const std::vector<quint8> turned = giflibGives(alone(bytes, walk, blocks + '\0'));
    for (size_t at = 0; at < std::min(read.size(), turned.size()); ++at)
        if (turned[at] != (read[at] ^ 1))
            return true;
    return false;
}

// Whether giflib refuses the frame's codes for an end of their own before its last pixel, the end code or an
// empty sub-block, and not for the file's end.
bool codesEndEarly(const QByteArray &bytes, const GifWalk &walk)
{
    return readApart(bytes, walk).giflibRefuses && giflibCodes(bytes).endOnTheirOwn;
}

// Whether readers other than ours show the reason given for refusing the frame's codes, over its pixels
// alone: giflib refusing them for an end of their own; a pixel that giflib reads from the file and Qt's
// reader reads otherwise, where they first part, for their width; a pixel made up for a code that the table
// does not hold, that giflib gives past the codes' own indices, or that the two read apart where both read
// the same codes, or that giflib's own codes show.
bool provenByReaders(const QString &refusal, const QByteArray &bytes, const GifWalk &walk)
{
    if (refusal.endsWith(endsEarly))
        return codesEndEarly(bytes, walk);
    const Apart apart = readApart(bytes, walk);
    const int clear = 1 << walk.codeSize;
    if (refusal.endsWith(widthInDoubt))
        return walk.codeSize < 2 && apart.at >= 0 && apart.giflib >= 0 && apart.giflib < clear;
    if (refusal.endsWith(unknownCode))
        return apart.giflibHighest >= clear || (walk.codeSize >= 2 && apart.at >= 0 && apart.qt >= 0)
            || giflibMakesUpAPixel(bytes, walk);
    return false;
}

// The picture must be the one that Qt's own GIF reader draws, where it draws one, or be refused for a reason
// that our own walk of the file confirms, in the same words; a refusal of the frame's codes, which the walk
// does not read, only where giflib and Qt's reader show that very reason over the frame's pixels. We refuse
// on purpose what Qt's reader draws:
// - a code that the LZW table does not hold, where it gives a pixel of the frame, and below a minimum code
//   size of 2 codes that the readers read to other pixels of the frame: a reader must make pixels up for
//   them, and a corrupt file gives no picture here;
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
    if (ours == nullptr) {
        // The file's end, where the frame's data runs off it, unless its codes end on their own first.
        if (refusal == walk.refusal
            || (walk.refusal.isEmpty() && refusal == walk.afterCodes
                && (!refusal.endsWith(fileEnds) || !codesEndEarly(bytes, walk)))
            || (walk.refusal.isEmpty() && provenByReaders(refusal, bytes, walk)))
            return;
        std::fprintf(stderr, "fuzz_picture: refused: %s\nfuzz_picture: the walk: %s\n", qPrintable(refusal),
                     qPrintable(walk.refusal.isEmpty() ? QStringLiteral("drawable") : walk.refusal));
        broken(
            "a picture that Qt's GIF reader draws and we refuse for no reason the file or the readers show");
    }
    const GiflibFrame giflib = readWithGiflib(bytes);
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
