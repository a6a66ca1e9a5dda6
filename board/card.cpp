#include "card.h"

#include "imagecell.h"

#include "controls/announce.h"

#include <QAccessible>
#include <QPainter>
#include <QTimer>

#include <utility>

namespace board {

namespace {

// Room around a card for its focus mark.
constexpr int markWidth = 3;

} // namespace

Card::Card(QWidget *window, int index, rules::CellPlace place, ImageCell &back, const ImageCell &face)
    : QWidget(window), m_index(index), m_place(place), m_back(back), m_face(face)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(
        back.geometry().united(face.geometry()).adjusted(-markWidth, -markWidth, markWidth, markWidth));
    show();
}

const ImageCell &Card::side() const
{
    return m_back.isHidden() ? m_face : m_back;
}

bool Card::isFaceDown() const
{
    return !m_back.isHidden();
}

void Card::press()
{
    QTimer::singleShot(0, &m_back, [back = &m_back] { back->click(); });
}

void Card::turned()
{
    update();
    controls::announce(this, QAccessible::DescriptionChanged);
    m_turnedSinceFocus = true;
}

void Card::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    // A yellow frame outside the side that shows, with a dark line inside it, clear on the grey and on any
    // picture.
    QPainter painter(this);
    const QRect around = side().geometry().translated(-pos());
    painter.setPen(QPen(QColor(0xFF, 0xFF, 0x00), 2));
    painter.drawRect(QRectF(around).adjusted(-2, -2, 1, 1));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(QRectF(around).adjusted(-0.5, -0.5, -0.5, -0.5));
}

// A screen reader may keep what it last read of a card for a while and forget it only by the clock (Orca 48
// keeps a description up to two seconds, whatever changes): a card that turned since it last had the focus
// takes a new accessible identity as the cursor comes onto it, before the focus is told, so that it is read
// afresh. The change itself was told on the card as it was.
void Card::focusInEvent(QFocusEvent *)
{
    if (std::exchange(m_turnedSinceFocus, false) && QAccessible::isActive())
        QAccessible::deleteAccessibleInterface(
            QAccessible::uniqueId(QAccessible::queryAccessibleInterface(this)));
    update();
}

void Card::focusOutEvent(QFocusEvent *)
{
    update();
}

} // namespace board
