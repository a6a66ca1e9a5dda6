#pragma once

#include <QString>

#include <functional>

class QWidget;

/** The program's top-level windows: showing one, reporting a failure over them, hiding them all at the end.
 */
namespace controls {

/** Shows a window, not modal and without an owner, restored if it was minimised, and brings it to the front.
 */
void Show(QWidget &window);

/** Reports a failure in a message box over the windows, and calls `done` once it is dismissed. */
void showFailureBox(const QString &message, std::function<void()> done);

/** Hides every window of the program at once, as its end does. */
void closeEveryWindow();

} // namespace controls
