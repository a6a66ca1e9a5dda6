#pragma once

#include "pictures/picture.h"

#include <QWidget>

namespace board {

/**
 * A control that shows a picture at the picture's own size and draws nothing without one. Its place is
 * kept in twips; while visible it reports a click.
 */
class ImageCell : public QWidget
{
    Q_OBJECT

public:
    /** A cell at its designed place and size, in twips. */
    ImageCell(QWidget *parent, float left, float top, int width, int height);

    /** A hidden copy of this cell as it stands now: place, size and picture. */
    ImageCell *copyHidden() const;

    const pictures::Picture &picture() const { return m_picture; }
    void setPicture(pictures::Picture picture);

    float Left() const { return m_left; }
    float Top() const { return m_top; }
    void setLeft(float twips);
    void setTop(float twips);

    /** Repaints the cell before returning. */
    void Refresh();

    /** A click made otherwise than with the mouse (by assistive technology): reported, as one, while visible.
     */
    void click();

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void place();

    pictures::Picture m_picture;
    float m_left;
    float m_top;
    bool m_pressed = false;
};

} // namespace board
