#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace runtime {

/** The first frame of a GIF, or the reason it could not be decoded (the image is then null). */
struct DecodedGif
{
    QImage image;
    QString error;
};

/** Pictures larger than this many bytes of 32-bit pixels are refused before anything is allocated. */
inline constexpr qint64 gifAllocationLimit = 256 * 1024 * 1024;

/**
 * Decodes the first frame of a GIF held in memory. Truncated or corrupt data is an error, never a
 * partial picture.
 */
DecodedGif decodeGif(const QByteArray &bytes);

} // namespace runtime
