#include "cursor.h"

#include "rules/boardgeometry.h"

namespace board {

int cursorTarget(int cell, int cells, int columns, int key, Qt::KeyboardModifiers modifiers)
{
    const auto [row, column] = rules::placeOf(cell, columns);
    const bool control = modifiers & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Left:
        return column > 1 ? cell - 1 : cell;
    case Qt::Key_Right:
        return column < columns ? cell + 1 : cell;
    case Qt::Key_Up:
        return row > 1 ? cell - columns : cell;
    case Qt::Key_Down:
        return cell + columns <= cells ? cell + columns : cell;
    case Qt::Key_Home:
        return control ? 1 : rules::cellAt(row, 1, columns);
    case Qt::Key_End:
        return control ? cells : rules::cellAt(row, columns, columns);
    default:
        return 0;
    }
}

} // namespace board
