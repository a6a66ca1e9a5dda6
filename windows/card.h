#pragma once

#include <QWidget>

namespace windows {

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
    Card(QWidget *window, int index, const ImageCell &back, const ImageCell &face);

    int index() const { return m_index; }
    /** The side that shows now, the back or the face. */
    const ImageCell &side() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int m_index;
    const ImageCell &m_back;
    const ImageCell &m_face;
};

/**
 * What the game has to tell a player who cannot see it, spoken by a screen reader without being asked: a
 * control of the notification role, one pixel that paints nothing, shown again with each piece of news. The
 * pieces told during one event make one announcement.
 */
class News : public QWidget
{
    Q_OBJECT

public:
    explicit News(QWidget *window);

    /** Adds `piece` to what is announced once the current event has been handled. */
    void tell(const QString &piece);

private:
    void announce();

    QStringList m_pieces;
};

} // namespace windows
