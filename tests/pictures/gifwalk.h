#pragma once

#include <QByteArray>
#include <QColor>
#include <QRect>
#include <QString>

#include <vector>

// A reading of a GIF file of its own, apart from the decoder: its blocks in order up to the first frame's
// data, whose sub-blocks it skips without reading their codes. It tells whether the picture library must
// refuse the file for its structure and in which words, and where the first frame lies, so that a check can
// hold the decoder's refusals to reasons it has seen for itself.
struct GifWalk
{
    QString refusal; // what the picture library says after "Cannot load picture "...": "; empty: none
    QString afterCodes; // what it says once the frame's codes are read, if they draw: no colour table, or
                        // data that runs off the file
    QRect screen, frame; // the frame as the file places it, on or past its screen
    bool interlaced = false;
    qsizetype codes = -1; // where the first frame's minimum code size lies, before its data
    int codeSize = 0; // its minimum code size
};

/** Walks `bytes` as a picture that may take `budget` bytes of memory. */
GifWalk walkGif(const QByteArray &bytes, qint64 budget);

// The first frame as giflib reads it, to hold our reading of the codes to another: each pixel's index, row by
// row in their places, and how many colours its table has; where giflib refuses the frame's codes, the
// indices it gave before.
struct GiflibFrame
{
    bool read = false;
    std::vector<unsigned char> indices;
    std::vector<QRgb> table;
    int transparent = -1; // the index that a graphics control block makes transparent
    int colours() const { return int(table.size()); }
    QRgb rgb(int index) const { return table[size_t(index)]; }
};

/** Reads the first frame with giflib, its indices first filled with `fill`. */
GiflibFrame readWithGiflib(const QByteArray &bytes, unsigned char fill = 0);

// The first frame's LZW codes as giflib reads them, up to its end code, and whether they end on their own, at
// the end code or an empty sub-block, rather than at the file's end.
struct GiflibCodes
{
    std::vector<int> codes;
    bool endOnTheirOwn = false;
};

/** Reads the first frame's codes with giflib. */
GiflibCodes giflibCodes(const QByteArray &bytes);
