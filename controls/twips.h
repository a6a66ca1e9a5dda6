#pragma once

#include <QtGlobal>

class QWidget;

namespace controls {

/** Window positions and sizes are designed in twips; one logical pixel is this many twips. */
inline constexpr int twipsPerPixel = 15;

/** The one place where twips become logical pixels (rounded to the nearest pixel). */
inline int toPixels(double twips)
{
    return qRound(twips / twipsPerPixel);
}

/** Places a control at its designed rectangle, given in twips. */
void setTwipsGeometry(QWidget &control, int left, int top, int width, int height);

/** Sets the size of a window's client area, given in twips; the window keeps that size. */
void setTwipsClientSize(QWidget &window, int width, int height);

} // namespace controls
