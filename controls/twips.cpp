#include "twips.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <cmath>
#include <optional>

namespace controls {

namespace {

// The logical pixel, of a window whose device pixel ratio is `ratio`, that holds the device pixel under
// `position`. Qt paints logical pixel q on the device pixels from q * ratio rounded to (q + 1) * ratio
// rounded, halves up: device pixel p lies in the last q with round(q * ratio) <= p, the last below
// (p + 0.5) / ratio.
qreal pixelHolding(qreal position, qreal ratio)
{
    return std::ceil((std::floor(position * ratio + 1e-6) + 0.5) / ratio) - 1;
}

// Puts the pointer of each mouse event that a window receives from the window system on the logical pixel
// that holds its device pixel, before the window picks the control under it. Qt makes a touch that no
// control takes into such events, at its place rounded to a whole logical pixel: their place is the touch's,
// kept as it came.
class PixelPicker : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        auto *window = qobject_cast<QWindow *>(receiver);
        // The window system's own events; not those sent below, whose place is made already.
        if (!window || !event->spontaneous())
            return false;
        if (type == QEvent::TouchBegin || type == QEvent::TouchUpdate || type == QEvent::TouchEnd) {
            m_touch = static_cast<QTouchEvent *>(event)->points().constFirst().position();
            return false;
        }
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease
            && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove)
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool touched = mouse->pointingDevice()->type() == QInputDevice::DeviceType::TouchScreen;
        const QPointF from = touched && m_touch ? *m_touch : mouse->position();
        const qreal ratio = window->devicePixelRatio();
        const QPointF at(pixelHolding(from.x(), ratio), pixelHolding(from.y(), ratio));
        if (at == mouse->position())
            return false;
        QMouseEvent onItsPixel(type, at, at, mouse->globalPosition() + (at - from), mouse->button(),
                               mouse->buttons(), mouse->modifiers(), mouse->pointingDevice());
        onItsPixel.setTimestamp(mouse->timestamp());
        QCoreApplication::sendEvent(window, &onItsPixel);
        event->setAccepted(onItsPixel.isAccepted());
        return true;
    }

private:
    std::optional<QPointF> m_touch; // where the last touch was, in its window
};

} // namespace

void setTwipsGeometry(QWidget &control, int left, int top, int width, int height)
{
    control.setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

void setTwipsClientSize(QWidget &window, int width, int height)
{
    window.setFixedSize(toPixels(width), toPixels(height));
}

void pickControlsByTheirPixels()
{
    static PixelPicker *const picker = [] {
        auto *made = new PixelPicker(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(made);
        return made;
    }();
    static_cast<void>(picker);
}

} // namespace controls
