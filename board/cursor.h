#pragma once

#include <Qt>

namespace board {

/**
 * Where a key takes the board's cursor from card `cell`, on a board of `cells` cards in `columns` columns,
 * staying at an edge: Left and Right by column, Up and Down by row, Home and End to the ends of the row, and
 * with Ctrl to the first and the last card. 0 for a key that does not move it.
 */
int cursorTarget(int cell, int cells, int columns, int key, Qt::KeyboardModifiers modifiers);

} // namespace board
