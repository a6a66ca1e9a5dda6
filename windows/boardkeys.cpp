#include "gamewindow.h"

#include "board/cursor.h"

#include <QKeyEvent>
#include <QPushButton>

namespace windows {

// The arrow keys bring the focus onto the board and move it over the cards as they lie, staying at an edge;
// Space or Return turns the card under it as a click does; Tab and Escape give the focus back to QUIT. Moving
// is not an action of the game, so it never waits for a miss.
bool GameWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || m_cards.empty())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool onCard = watched != cmdQuit;
    if (onCard
        && (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        if (!key->isAutoRepeat())
            imgFront_Click(m_cursor);
        return true;
    }
    if (onCard
        && (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
        cmdQuit->setFocus(Qt::TabFocusReason);
        return true;
    }
    const int target = board::cursorTarget(m_cursor, cardCount(), m_game.state().columnCount.value(),
                                           key->key(), key->modifiers());
    if (target == 0)
        return false;
    // From QUIT the first key comes back to the card where the cursor was left.
    if (onCard)
        m_cursor = target;
    m_cards.at(size_t(m_cursor - 1))->setFocus(Qt::OtherFocusReason);
    return true;
}

} // namespace windows
