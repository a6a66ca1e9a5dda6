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

/**
 * Reads a GIF file into a new picture object. A file that cannot be read or decoded is the failure
 * `Cannot load picture "<path>": <reason>`.
 */
Picture LoadPicture(const QString &path);

} // namespace runtime
