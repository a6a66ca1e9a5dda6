#include "picture.h"

#include "gifdecoder.h"
#include "twinname.h"

#include "runtime/failure.h"

#include <QFile>
#include <QGuiApplication>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictures {

namespace {

quint32 nextHandle()
{
    static std::atomic<quint32> counter {0};
    return ++counter;
}

using runtime::fail;

[[noreturn]] void cannotLoad(const QByteArray &path, const QString &reason)
{
    // A path that is not valid UTF-8 is shown as well as it can be; the file was opened by its bytes.
    fail(QStringLiteral("Cannot load picture \"%1\": %2").arg(QFile::decodeName(path), reason));
}

// The system's own words for an error, as the rest of a sentence.
QString systemReason(int error)
{
    if (error == ENOENT)
        return QStringLiteral("file not found");
    QString reason = QString::fromLocal8Bit(std::strerror(error));
    if (!reason.isEmpty())
        reason[0] = reason[0].toLower();
    return reason;
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) { }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

enum class Presence { Required, Optional };

// The bytes of a picture file; nothing for an optional file that does not exist.
std::optional<QByteArray> readPictureFile(const QByteArray &path, Presence presence)
{
    // Non-blocking, so that a pipe in a picture's place is refused instead of waited on.
    const FileDescriptor file(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0 && errno == ENOENT && presence == Presence::Optional)
        return std::nullopt;
    if (file.get() < 0)
        cannotLoad(path, systemReason(errno));
    struct stat status
    {
    };
    if (::fstat(file.get(), &status) != 0)
        cannotLoad(path, systemReason(errno));
    if (S_ISDIR(status.st_mode))
        cannotLoad(path, QStringLiteral("it is a directory"));
    // A pipe or a device could block or never end; only a regular file can be a picture.
    if (!S_ISREG(status.st_mode))
        cannotLoad(path, QStringLiteral("not a regular file"));
    if (status.st_size == 0)
        cannotLoad(path, QStringLiteral("the file is empty"));
    if (status.st_size > memoryLimit)
        cannotLoad(path, QStringLiteral("the file is too large"));

    QByteArray bytes(qsizetype(status.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::read(file.get(), bytes.data() + done, size_t(bytes.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            cannotLoad(path, systemReason(errno));
        if (count == 0)
            cannotLoad(path, QStringLiteral("the file became shorter while it was read"));
        done += count;
    }
    return bytes;
}

DecodedGif decodePicture(const QByteArray &path, const QByteArray &bytes, PictureBudget &budget)
{
    DecodedGif decoded = decodeGif(bytes, std::max<qint64>(budget.remaining(), 0));
    switch (decoded.problem) {
    case DecodedGif::Problem::None:
        break;
    case DecodedGif::Problem::Unreadable:
        cannotLoad(path, QStringLiteral("not a readable GIF picture (%1)").arg(decoded.error));
    case DecodedGif::Problem::OverBudget:
        cannotLoad(path,
                   QStringLiteral("the pictures together would need more than %1 MiB of memory")
                       .arg(budget.total() / (1024 * 1024)));
    case DecodedGif::Problem::OutOfMemory:
        cannotLoad(path, QStringLiteral("out of memory"));
    }
    budget.spend(decoded.image.sizeInBytes());
    return decoded;
}

// The bytes of a picture among the program's resources; nothing for an optional one that is not there.
std::optional<QByteArray> readResource(const QByteArray &path, Presence presence)
{
    QFile resource(QString::fromUtf8(path));
    if (presence == Presence::Optional && !resource.exists())
        return std::nullopt;
    if (!resource.open(QIODevice::ReadOnly))
        cannotLoad(path, resource.errorString().toLower());
    return resource.readAll();
}

using Reader = std::optional<QByteArray> (*)(const QByteArray &path, Presence presence);

// The picture, and its twin where the screens want one and it exists. The twin goes with the picture only
// when it is exactly twice its size; one that is not (the picture was replaced, the twin left behind) would
// show something else, and costs nothing.
Picture load(const QByteArray &path, PictureBudget &budget, const QString &nameIfNone, Reader read)
{
    const QByteArray twinFile = QByteArray::fromStdString(twinPath(path.toStdString()));
    DecodedGif picture = decodePicture(path, *read(path, Presence::Required), budget);
    QImage detailed;
    const std::optional<QByteArray> twinBytes
        = screensWantDetail() ? read(twinFile, Presence::Optional) : std::nullopt;
    if (twinBytes) {
        DecodedGif twin = decodePicture(twinFile, *twinBytes, budget);
        if (twin.image.size() == picture.image.size() * 2) {
            detailed = std::move(twin.image);
            detailed.setDevicePixelRatio(2);
        } else {
            budget.spend(-twin.image.sizeInBytes());
        }
    }
    QString name = picture.comment.isEmpty() ? nameIfNone : std::move(picture.comment);
    return std::make_shared<const PictureObject>(std::move(picture.image), std::move(name),
                                                 std::move(detailed));
}

} // namespace

PictureObject::PictureObject(QImage image, QString name, QImage detailed)
    : m_image(std::move(image))
    , m_detailed(std::move(detailed))
    , m_name(std::move(name))
    , m_handle(nextHandle())
{ }

const QImage &PictureObject::pixelsFor(qreal ratio) const
{
    const QImage &source = ratio > 1 && !m_detailed.isNull() ? m_detailed : m_image;
    // A whole multiple of the source's density draws every source pixel as an even square of device
    // pixels: nothing to smooth.
    const qreal times = ratio / source.devicePixelRatio();
    if (times >= 1 && qFuzzyCompare(times, std::round(times)))
        return source;
    if (m_scaled.isNull() || !qFuzzyCompare(m_scaled.devicePixelRatio(), ratio)) {
        const QSize devicePixels = (QSizeF(m_image.size()) * ratio).toSize();
        m_scaled = source.scaled(devicePixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaled.setDevicePixelRatio(ratio);
    }
    return m_scaled;
}

Picture LoadPicture(const QByteArray &path, PictureBudget &budget, const QString &nameIfNone)
{
    return load(path, budget, nameIfNone, readPictureFile);
}

bool screensWantDetail()
{
    // No screens at all in a program without a graphical application (a command-line tool).
    const auto *application = qobject_cast<const QGuiApplication *>(QCoreApplication::instance());
    return application != nullptr && application->devicePixelRatio() > 1.0;
}

Picture LoadPicture(const QString &path)
{
    PictureBudget budget(memoryLimit);
    const bool resource = path.startsWith(QLatin1String(":/"));
    const QByteArray file = resource ? path.toUtf8() : QFile::encodeName(path);
    return load(file, budget, {}, resource ? readResource : readPictureFile);
}

} // namespace pictures
