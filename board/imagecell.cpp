#include "imagecell.h"

#include "controls/twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace board {

ImageCell::ImageCell(QWidget *parent, float left, float top, int width, int height)
    : QWidget(parent), m_left(left), m_top(top)
{
    resize(controls::toPixels(width), controls::toPixels(height));
    place();
}

ImageCell *ImageCell::copyHidden() const
{
    auto *copy = new ImageCell(parentWidget(), m_left, m_top, 0, 0);
    copy->hide();
    copy->resize(size());
    copy->setPicture(m_picture);
    copy->setAttribute(Qt::WA_TransparentForMouseEvents, testAttribute(Qt::WA_TransparentForMouseEvents));
    return copy;
}

void ImageCell::setPicture(pictures::Picture picture)
{
    m_picture = std::move(picture);
    if (m_picture)
        resize(m_picture->image().deviceIndependentSize().toSize());
    update();
}

void ImageCell::setLeft(float twips)
{
    m_left = twips;
    place();
}

void ImageCell::setTop(float twips)
{
    m_top = twips;
    place();
}

void ImageCell::Refresh()
{
    repaint();
}

void ImageCell::click()
{
    if (isVisible())
        Q_EMIT clicked();
}

void ImageCell::place()
{
    move(controls::toPixels(m_left), controls::toPixels(m_top));
}

void ImageCell::paintEvent(QPaintEvent *)
{
    if (!m_picture)
        return;
    // At the same logical size on every screen, from the pixels made for its density where there are some.
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), m_picture->pixelsFor(devicePixelRatioF()));
}

void ImageCell::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

// The second press of a double-click is no press of its own: the double-click was one click, already made.
void ImageCell::mouseDoubleClickEvent(QMouseEvent *)
{
    m_pressed = false;
}

// A click is a left press and release on the cell, as with a push button.
void ImageCell::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click
        = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        this->click();
}

} // namespace board
