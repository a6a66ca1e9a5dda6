#pragma once

#include <QImage>
#include <QString>

#include <memory>

namespace runtime {

/** A loaded picture. Cells and holders share one object by reference; it is never copied. */
class PictureObject
{
public:
    explicit PictureObject(QImage image);
    PictureObject(const PictureObject &) = delete;
    PictureObject &operator=(const PictureObject &) = delete;

    const QImage &image() const { return m_image; }
    /** Identifies this object: equal for one object, different for two, whatever the pixels. */
    quint32 Handle() const { return m_handle; }

private:
    QImage m_image;
    quint32 m_handle;
};

using Picture = std::shared_ptr<const PictureObject>;

/** A limit on the memory that the pixels of a set of pictures may take together, spent as they load. */
class PictureBudget
{
public:
    explicit PictureBudget(qint64 bytes) : m_total(bytes), m_remaining(bytes) { }
    qint64 total() const { return m_total; }
    qint64 remaining() const { return m_remaining; }
    void spend(qint64 bytes) { m_remaining -= bytes; }

private:
    qint64 m_total;
    qint64 m_remaining;
};

/**
 * Reads the GIF file at `path`, the file system's own bytes, into a new picture object whose pixels are
 * paid from `budget`. A file that cannot be read, decoded or paid for is the failure
 * `Cannot load picture "<path>": <reason>`.
 */
Picture LoadPicture(const QByteArray &path, PictureBudget &budget);

/** Reads a GIF file, or a picture among the program's resources (":/..."), into a new picture object. */
Picture LoadPicture(const QString &path);

} // namespace runtime
