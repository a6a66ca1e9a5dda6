#pragma once

#include "rules/boardgeometry.h"

#include <QWidget>

namespace board {

class ImageCell;

/**
 * A card of the board as the keyboard and assistive technology know it: one control over a cell's back and
 * face, whichever shows. It paints nothing but a focus mark around that side while it holds the focus, lets
 * every mouse event through to the cell, and is never a stop of Tab: the arrow keys bring the focus to it.
 */
class Card : public QWidget
{
    Q_OBJECT

public:
    Card(QWidget *window, int index, rules::CellPlace place, ImageCell &back, const ImageCell &face);

    int index() const { return m_index; }
    rules::CellPlace place() const { return m_place; }
    /** The side that shows now, the back or the face. */
    const ImageCell &side() const;
    bool isFaceDown() const;
    /** Turns the card as a click on its back does, from the event loop. */
    void press();
    /** Shows that the card turned: its focus mark moves to the other side, and assistive technology is told.
     */
    void turned();

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int m_index;
    rules::CellPlace m_place;
    ImageCell &m_back;
    const ImageCell &m_face;
    bool m_turnedSinceFocus = false;
};

} // namespace board
