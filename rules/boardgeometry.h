#pragma once

namespace rules {

/** Where a card lies on the board: its row, 1 to 4, and its column, 1 to the board's column count. */
struct CellPlace
{
    int row;
    int column;

    friend bool operator==(const CellPlace &, const CellPlace &) = default;
};

/** The board has four rows of `columns` cells, numbered row by row from 1: the place of cell `cell`. */
constexpr CellPlace placeOf(int cell, int columns)
{
    return {(cell - 1) / columns + 1, (cell - 1) % columns + 1};
}

/** The number of the cell at `row` and `column` of a board of `columns` columns. */
constexpr int cellAt(int row, int column, int columns)
{
    return (row - 1) * columns + column;
}

} // namespace rules
