#pragma once

#include <QImage>
#include <QString>

#include <memory>

namespace pictures {

/**
 * A loaded picture. Cells and holders share one object by reference; it is never copied. Besides the
 * picture itself it may hold a twin drawn at twice the size for high-density screens, and a name that
 * says what it shows.
 */
class PictureObject
{
public:
    /** `detailed`, when not null, is the same picture at exactly twice the width and height. */
    explicit PictureObject(QImage image, QString name = {}, QImage detailed = {});
    PictureObject(const PictureObject &) = delete;
    PictureObject &operator=(const PictureObject &) = delete;

    /** The picture at its own size: what sizes a control, and what a screen of ordinary density shows. */
    const QImage &image() const { return m_image; }
    /** What the picture shows, in a few words, or empty when its file did not say. */
    const QString &name() const { return m_name; }
    /** Identifies this object: equal for one object, different for two, whatever the pixels. */
    quint32 Handle() const { return m_handle; }

    /**
     * The pixels to draw this picture with on a device of `ratio` device pixels per logical pixel, at the
     * same logical size: the source made for that density when there is one, otherwise the nearest larger
     * source (the largest there is) scaled smoothly to the device's pixels, and kept for the next time.
     */
    const QImage &pixelsFor(qreal ratio) const;

private:
    QImage m_image;
    QImage m_detailed;
    QString m_name;
    quint32 m_handle;
    mutable QImage m_scaled;
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
 * paid from `budget`, named by the file's comment or else `nameIfNone`. A file that cannot be read,
 * decoded or paid for is the failure `Cannot load picture "<path>": <reason>`. Where a screen has more than
 * one device pixel per logical pixel, also reads the picture's twice-as-large twin (F1@2x.gif beside
 * F1.gif) when that file exists: a twin that exists but cannot be read is the same failure, naming it; one
 * that is not twice the size is left unused.
 */
Picture LoadPicture(const QByteArray &path, PictureBudget &budget, const QString &nameIfNone = {});

/** Whether any screen has more than one device pixel per logical pixel, so that twins are worth reading. */
bool screensWantDetail();

/**
 * Reads a GIF file, or a picture among the program's resources (":/..."), into a new picture object, with
 * its twin where the screens want one and it exists.
 */
Picture LoadPicture(const QString &path);

} // namespace pictures
