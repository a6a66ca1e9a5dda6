// A picture file of any content, loaded as the picture library loads one: it must give a picture within the
// budget with a printable name, or the failure that names the file and a reason, and never crash, leak or
// read out of bounds. Built as a libFuzzer target by the fuzz preset; replay_picture runs the same check over
// the committed corpus in every test run.
#include "pictures/picture.h"
#include "runtime/failure.h"

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

// Whether Qt's reader places the first frame's pixels as the file does: not when the frame runs past the
// right or bottom edge of its screen, nor when it is interlaced with fewer than 5 rows.
bool placedAsTheFileSays(const QByteArray &bytes)
{
    const auto at = [&bytes](qsizetype k) { return k < bytes.size() ? int(quint8(bytes[k])) : -1; };
    const auto word = [&at](qsizetype k) { return at(k) | at(k + 1) << 8; };
    if (bytes.size() < 13)
        return true;
    qsizetype k = 13 + ((at(10) & 0x80) ? 3 << ((at(10) & 7) + 1) : 0);
    while (at(k) == 0x21) { // an extension: its label, then sub-blocks up to an empty one
        for (k += 2; at(k) > 0; k += 1 + at(k)) { }
        ++k;
    }
    if (at(k) != 0x2c || k + 9 >= bytes.size())
        return true;
    const bool interlaced = (at(k + 9) & 0x40) != 0;
    return word(k + 1) + word(k + 5) <= word(6) && word(k + 3) + word(k + 7) <= word(8)
        && !(interlaced && word(k + 7) < 5);
}

// The picture must be the one that Qt's own GIF reader draws, where it draws one. Where we leave a pixel
// clear, Qt may paint one that the file does not give: the background outside a frame smaller than the
// picture, white for an index past the colour table. We differ from Qt's reader on purpose here alone:
// - a frame that runs past the screen: Qt's reader clips the frame first and lays an interlaced one's rows
//   out by the clipped height, so it draws rows where the file does not put them; we draw each pixel where
//   the file puts it, as giflib and Pillow do, and leave out what falls off the screen;
// - an interlaced frame of fewer than 5 rows, whose second pass has no row: Qt's reader (and Pillow, each
//   otherwise) still reads rows for it; we follow GIF's four passes, as giflib does;
// - codes that the LZW table does not hold, and codes whose width readers disagree on below a minimum code
//   size of 2: a reader must make pixels up for them, and a corrupt file gives no picture here;
// - a minimum code size past GIF's 8: not a GIF picture, though Qt's reader takes sizes up to 11;
// - a file, or an image's data, that ends before the image is complete: Qt's reader shows what came, as a
//   page shows a picture still loading; a picture of the game is whole or not at all;
// - a frame or a screen of no pixels, or of more than a picture of the game may take in memory (the budget of
//   the pictures together, the memory to be had): Qt's reader paints an empty frame's screen in a background
//   colour that no pixel of the file has;
// - a file that does not begin with GIF's signature, "GIF87a" or "GIF89a": Qt's reader checks fewer of its
//   letters ("GIf89a" passes);
// - a record that is not GIF's where an extension or an image must begin (after a graphics control block of
//   the wrong length, say): Qt's reader reads on by its own guess;
// - a graphics control block that is not 4 bytes long: readers part ways on where the next record begins;
// - a frame with no colour table, neither its own nor the picture's: Qt's reader paints it in colours that
// the
//   file does not give.
const char *const deliberateRefusals[] = {
    // clang-format off
    "a code that the LZW table does not hold",
    "codes whose width readers disagree on",
    "the LZW minimum code size is out of range",
    "the file ends too early",
    "the image data ends before the image is complete",
    "out of range)",
    "data is not in gif format",
    "would need more than",
    "unknown record",
    "a graphics control block that is not 4 bytes long",
    "no colour table",
    "out of memory",
    // clang-format on
};

void compareWithQt(const std::uint8_t *data, std::size_t size, const QImage *ours, const QString &refusal)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "gif");
    const QImage theirs = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (theirs.isNull() || !placedAsTheFileSays(bytes))
        return;
    if (ours == nullptr) {
        for (const char *deliberate : deliberateRefusals)
            if (refusal.contains(QLatin1String(deliberate)))
                return;
        std::fprintf(stderr, "fuzz_picture: refused: %s\n", qPrintable(refusal));
        broken("a picture that Qt's GIF reader draws and we refuse");
    }
    if (theirs.size() != ours->size())
        broken("a picture of another size than Qt's GIF reader reads");
    for (int y = 0; y < ours->height(); ++y)
        for (int x = 0; x < ours->width(); ++x)
            if (qAlpha(ours->pixel(x, y)) != 0 && ours->pixel(x, y) != theirs.pixel(x, y))
                broken("a pixel that Qt's GIF reader draws otherwise");
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
        compareWithQt(data, size, nullptr, failure.message());
    }
    return 0;
}
