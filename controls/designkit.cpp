#include "designkit.h"

#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>

#include <cmath>

namespace controls {

void installFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
}

QFont designFont(double points)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void paintWindowGrey(QWidget &window)
{
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, windowGrey);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

void setTextColour(QWidget &control, const QColor &colour)
{
    QPalette palette = control.palette();
    palette.setColor(QPalette::WindowText, colour);
    control.setPalette(palette);
}

void makeOneTabStop(std::span<QRadioButton *const> group)
{
    // Only the selected option takes the focus from Tab; the others still take it from a click, and the
    // arrow keys reach them whatever their focus policy.
    const auto update = [group] {
        for (QRadioButton *option : group)
            option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    for (QRadioButton *option : group)
        QObject::connect(option, &QRadioButton::toggled, option, update);
    update();
}

namespace {

// A label of the design. Where its font's line is taller than its box, as that of "Turn to Play:" is, 12
// points in 17 pixels, the ink of its text, from the top of its tallest glyph to the foot of its lowest, is
// centred in the box instead of the line, its baseline on a whole device pixel: no glyph is cut at any scale.
class DesignLabel : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        const QRectF box = contentsRect();
        const QFontMetricsF metrics(font());
        if (metrics.height() <= box.height() || text().isEmpty()) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        const QRectF ink = metrics.tightBoundingRect(text());
        const qreal ratio = painter.device()->devicePixelRatioF();
        const qreal baseline = box.top() + (box.height() - ink.height()) / 2 - ink.top();
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(QPointF(box.left(), std::round(baseline * ratio) / ratio), text());
    }
};

} // namespace

QLabel *designLabel(QWidget *window, const QColor &colour, double points, const QString &caption)
{
    // Plain text from the first: the caption is never read as markup, not even once.
    auto *label = new DesignLabel(window);
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    label->setFont(designFont(points));
    setTextColour(*label, colour);
    return label;
}

} // namespace controls
