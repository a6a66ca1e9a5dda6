#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace pictures {

/** The first frame of a GIF, or why there is none (the image is then null). */
struct DecodedGif
{
    enum class Problem { None, Unreadable, OverBudget, OutOfMemory };
    QImage image;
    Problem problem = Problem::None;
    QString error; // for an unreadable file: what is wrong with it
    QString comment; // the text of the comments before the picture, made safe to show; often empty
};

/** The longest comment kept, in characters; a longer one is cut after its last whole word that fits. */
inline constexpr qsizetype gifCommentLimit = 80;

/**
 * The memory that the 32-bit pixels of pictures may take: a single picture larger than this is refused as
 * unreadable, and the picture library's pictures together may take no more.
 */
inline constexpr qint64 memoryLimit = 256 * 1024 * 1024;

/**
 * Decodes the first frame of a GIF held in memory into premultiplied 32-bit pixels, ready to paint, with
 * the comments that come before it as one line of printable text.
 * Truncated or corrupt data is an error, never a partial picture. A picture whose pixels would take more
 * than `budget` bytes is refused before anything is allocated.
 */
DecodedGif decodeGif(const QByteArray &bytes, qint64 budget = memoryLimit);

} // namespace pictures
