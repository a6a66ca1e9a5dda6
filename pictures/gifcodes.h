#pragma once

#include <QByteArray>

namespace pictures {

/** What a frame's LZW codes say of its pixels. */
enum class FrameCodes {
    // Every pixel of the frame is read from the file, and alike by every reader; or the data runs off the end
    // of the file, which the reading of the pixels names.
    Drawable,
    // A code that the LZW table does not hold gives a pixel of the frame: giflib makes that pixel up instead
    // of refusing it, and a corrupt file must never give a picture.
    Unknown,
    // Below a minimum code size of 2 giflib and Qt's reader widen the codes at different points, and read a
    // pixel of this frame otherwise.
    WidthInDoubt,
    // The end code, or the end of the data, before the frame's last pixel.
    EndsEarly,
    // A minimum code size past GIF's 8, for which a table of 12-bit codes has no room.
    CodeSizeOutOfRange,
};

/**
 * Reads the codes of a frame of `pixels` pixels whose minimum code size lies at `at`, before its data's
 * sub-blocks, up to its last pixel: what comes after it counts for nothing, as no reader looks at it. A
 * minimum code size past 8 is refused before any code is read, and where `at` lies past the end of `bytes`
 * the file's end decides. Takes memory of its own size, whatever the frame's.
 */
FrameCodes readFrameCodes(const QByteArray &bytes, qsizetype at, qint64 pixels);

} // namespace pictures
