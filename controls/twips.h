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

/**
 * Makes a press, by mouse or by touch, on any pixel of the screen reach the control drawn there, at every
 * scale: at a fractional one Qt paints a control from its edges' device positions rounded, and picks the
 * control under the pointer by the pointer's position rounded to a whole logical pixel, which can be a
 * neighbour's or the window's. The pointer is put on the logical pixel that holds the device pixel under it
 * first. Once for the whole program; later calls do nothing.
 */
void pickControlsByTheirPixels();

} // namespace controls
