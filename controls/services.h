#pragma once

#include <QString>

#include <functional>

class QFont;
class QLineEdit;
class QWidget;

namespace controls {

/** Shows a window, not modal and without an owner, restored if it was minimised, and brings it to the front.
 */
void Show(QWidget &window);

/** Starts the selection of a text box before character `start` (clamped to the text), selecting nothing. */
void setSelStart(QLineEdit &box, int start);

/** Selects `length` characters from the selection start; a length past the end selects to the end. */
void setSelLength(QLineEdit &box, int length);

/** Lets designs name "MS Sans Serif", which Linux lacks: a metric-compatible installed sans takes its place.
 */
void installFontSubstitutes();

/** The design font, "MS Sans Serif" at regular weight, in `points`. */
QFont designFont(double points);

/** Reports a failure in a message box over the windows, and calls `done` once it is dismissed. */
void showFailureBox(const QString &message, std::function<void()> done);

/** Hides every window of the program at once, as its end does. */
void closeEveryWindow();

} // namespace controls
