#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>

// A reading of a GIF file of its own, apart from the decoder: its blocks in order and the LZW codes of its
// first frame, counted but not drawn. It tells whether the picture library must refuse the file and in which
// words, and where the first frame lies, so that a check can hold the decoder's refusals to reasons it has
// seen for itself.
struct GifWalk
{
    QString refusal; // what the picture library says after "Cannot load picture "...": "; empty: drawable
    QRect screen, frame; // the frame as the file places it, on or past its screen
    bool interlaced = false;
};

/** Walks `bytes` as a picture that may take `budget` bytes of memory. */
GifWalk walkGif(const QByteArray &bytes, qint64 budget);
