#pragma once

#include <QColor>
#include <QString>

class QLabel;
class QWidget;

namespace windows {

/** The dark grey of both windows and of every label on them. */
inline const QColor windowGrey {0x40, 0x40, 0x40};

/** Gives a window its grey background. */
void paintWindowGrey(QWidget &window);

/** Sets the colour of a control's text. */
void setTextColour(QWidget &control, const QColor &colour);

/** A plain-text label in the design font: whatever it shows is never read as markup. */
QLabel *designLabel(QWidget *window, const QColor &colour, double points, const QString &caption = {});

} // namespace windows
