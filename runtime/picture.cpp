#include "picture.h"

#include "failure.h"
#include "gifdecoder.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace runtime {

namespace {

quint32 nextHandle()
{
    static std::atomic<quint32> counter {0};
    return ++counter;
}

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

QByteArray readPictureFile(const QByteArray &path)
{
    // Non-blocking, so that a pipe in a picture's place is refused instead of waited on.
    const FileDescriptor file(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
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
    if (status.st_size > gifAllocationLimit)
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

Picture decodePicture(const QByteArray &path, const QByteArray &bytes, PictureBudget &budget)
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
    return std::make_shared<const PictureObject>(std::move(decoded.image));
}

} // namespace

PictureObject::PictureObject(QImage image) : m_image(std::move(image)), m_handle(nextHandle()) { }

Picture LoadPicture(const QByteArray &path, PictureBudget &budget)
{
    return decodePicture(path, readPictureFile(path), budget);
}

Picture LoadPicture(const QString &path)
{
    PictureBudget budget(gifAllocationLimit);
    if (!path.startsWith(QLatin1String(":/")))
        return LoadPicture(QFile::encodeName(path), budget);
    QFile resource(path);
    if (!resource.open(QIODevice::ReadOnly))
        cannotLoad(path.toUtf8(), resource.errorString().toLower());
    return decodePicture(path.toUtf8(), resource.readAll(), budget);
}

} // namespace runtime
