#pragma once

// The places of the windows' design that more than one piece of code needs, in twips. Header-only and free
// of widgets, so that the end-to-end tests aim their clicks with the same numbers.
#include <array>
#include <cmath>

namespace windows::design {

/** Top edges of the setup window's ten size options; the last gap is a little wider, as designed. */
inline constexpr std::array<int, 10> optionTops {1200, 1666, 2132, 2598, 3064, 3530, 3996, 4462, 4928, 5400};
inline constexpr int optionLeft = 1320;
inline constexpr int optionWidth = 735;
inline constexpr int optionHeight = 375;

/** Where the design-time back and face of the board stand: the top-left corner of column 1, row 1. */
inline constexpr int boardLeft = 600;
inline constexpr int boardTop = 480;
/** Distance between the rows and between the columns of the board. */
inline constexpr int rowPitch = 1440;
inline constexpr int columnPitch = 1000;
/** The board has room for this many columns. */
inline constexpr int boardColumns = 10;

/** Columns left free at the board's left: half of those unused, a half rounded to even (4.5 -> 4). */
inline int boardMargin(int columnCount)
{
    return int(std::nearbyint((boardColumns - columnCount) / 2.0));
}

} // namespace windows::design
