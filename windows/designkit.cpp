#include "designkit.h"

#include "runtime/services.h"

#include <QLabel>

namespace windows {

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

QLabel *designLabel(QWidget *window, const QColor &colour, double points, const QString &caption)
{
    auto *label = new QLabel(caption, window);
    label->setTextFormat(Qt::PlainText);
    label->setFont(runtime::designFont(points));
    setTextColour(*label, colour);
    return label;
}

} // namespace windows
