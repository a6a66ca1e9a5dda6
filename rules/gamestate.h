#pragma once

#include "runtime/checked.h"

#include <array>

namespace rules {

using runtime::Byte;
using runtime::Int16;

/** The variables of one game, kept by the game that plays it; every field starts at zero. */
struct GameState
{
    Int16 cellCount; // cells on the board: 4 to 40 in steps of 4
    Int16 columnCount; // cellCount / 4; the board has four rows
    Int16 rowIndex; // working row index of the layout
    Byte picksThisTurn; // cards turned so far in this turn: 0, 1, or 2 while resolving
    Int16 cellIndex; // working cell index of the layout; the drawn deck position in the deal
    Byte firstPick; // cell turned first in this turn
    Byte secondPick; // cell turned second in this turn
    Int16 columnIndex; // working column index of the layout
    Byte currentPlayer; // 0 or 1
    std::array<Byte, 2> score; // pairs found by each player
    Int16 loopIndex; // working index of the layout and the deal
    Int16 rowPitch; // vertical distance between rows, in twips
    Int16 columnPitch; // horizontal distance between columns, in twips
};

} // namespace rules
