#pragma once

class QLineEdit;

namespace controls {

/** Starts the selection of a text box before character `start` (clamped to the text), selecting nothing. */
void setSelStart(QLineEdit &box, int start);

/** Selects `length` characters from the selection start; a length past the end selects to the end. */
void setSelLength(QLineEdit &box, int length);

} // namespace controls
