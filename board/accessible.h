#pragma once

class QAccessibleInterface;
class QObject;

namespace board {

/**
 * What assistive technology is told of a piece of the board: a card is a button, "Card 7, row 2, column 1",
 * that says it is face down or which picture it shows, and that can be pressed while face down; the news is
 * a notification. Null for anything else.
 */
QAccessibleInterface *accessibleFor(QObject *object);

} // namespace board
