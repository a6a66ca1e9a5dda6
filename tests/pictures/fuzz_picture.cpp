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

// Where Qt's own GIF reader reads the input too, the pixels that we draw must be the ones it draws. Where we
// leave a pixel clear, Qt may paint one that the file does not give: the background outside a frame smaller
// than the picture, white for an index past the colour table.
void compareWithQt(const std::uint8_t *data, std::size_t size, const QImage &ours)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "gif");
    const QImage theirs = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (theirs.isNull())
        return;
    if (theirs.size() != ours.size())
        broken("a picture of another size than Qt's GIF reader reads");
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x)
            if (qAlpha(ours.pixel(x, y)) != 0 && ours.pixel(x, y) != theirs.pixel(x, y))
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
        compareWithQt(data, size, picture->image());
    } catch (const runtime::Failure &failure) {
        const QString prefix
            = QStringLiteral("Cannot load picture \"%1\": ").arg(QString::fromLatin1(pictureFile()));
        if (!failure.message().startsWith(prefix) || failure.message().size() == prefix.size())
            broken("a failure that does not name the file and a reason");
    }
    return 0;
}
