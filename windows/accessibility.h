#pragma once

namespace windows {

/**
 * Makes the program readable by assistive technology: the windows present themselves as application
 * windows, and each card of the board as one control, "Card 7", that says whether it is face down or which
 * picture it shows, and that a face-down card can be pressed like a click. Installed once; later calls do
 * nothing.
 */
void installAccessibility();

} // namespace windows
