#pragma once

#include <QColor>
#include <QString>

#include <span>

class QFont;
class QLabel;
class QRadioButton;
class QWidget;

namespace controls {

/** Lets designs name "MS Sans Serif", which Linux lacks: a metric-compatible installed sans takes its place.
 */
void installFontSubstitutes();

/** The design font, "MS Sans Serif" at regular weight, in `points`. */
QFont designFont(double points);

/** The dark grey of both windows and of every label on them. */
inline const QColor windowGrey {0x40, 0x40, 0x40};

/** Gives a window its grey background. */
void paintWindowGrey(QWidget &window);

/** Sets the colour of a control's text. */
void setTextColour(QWidget &control, const QColor &colour);

/**
 * Makes a group of option buttons one stop in the tab order, as on every desktop: Tab reaches the selected
 * option only, and the arrow keys move the selection within the group.
 */
void makeOneTabStop(std::span<QRadioButton *const> group);

/** A plain-text label in the design font: whatever it shows is never read as markup. */
QLabel *designLabel(QWidget *window, const QColor &colour, double points, const QString &caption = {});

} // namespace controls
