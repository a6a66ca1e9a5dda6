#include "picture.h"

#include "failure.h"
#include "gifdecoder.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>

namespace runtime {

namespace {

quint32 nextHandle()
{
    static std::atomic<quint32> counter {0};
    return ++counter;
}

[[noreturn]] void cannotLoad(const QString &path, const QString &reason)
{
    fail(QStringLiteral("Cannot load picture \"%1\": %2").arg(path, reason));
}

} // namespace

PictureObject::PictureObject(QImage image) : m_image(std::move(image)), m_handle(nextHandle()) { }

Picture LoadPicture(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        cannotLoad(path, QStringLiteral("file not found"));
    if (info.isDir())
        cannotLoad(path, QStringLiteral("it is a directory"));
    // A pipe or a device could block or never end; only a regular file can be a picture.
    if (!info.isFile())
        cannotLoad(path, QStringLiteral("not a regular file"));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        cannotLoad(path, file.errorString().toLower());
    if (file.size() == 0)
        cannotLoad(path, QStringLiteral("the file is empty"));
    if (file.size() > gifAllocationLimit)
        cannotLoad(path, QStringLiteral("the file is too large"));
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        cannotLoad(path, file.errorString().toLower());

    DecodedGif decoded = decodeGif(bytes);
    if (decoded.image.isNull())
        cannotLoad(path, QStringLiteral("not a readable GIF picture (%1)").arg(decoded.error));
    // One pixel format for every picture makes painting a plain copy.
    return std::make_shared<const PictureObject>(
        decoded.image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

} // namespace runtime
