#include "textbox.h"

#include <QLineEdit>

#include <algorithm>

namespace controls {

void setSelStart(QLineEdit &box, int start)
{
    box.setCursorPosition(std::clamp(start, 0, int(box.text().size())));
}

void setSelLength(QLineEdit &box, int length)
{
    const int start = box.hasSelectedText() ? box.selectionStart() : box.cursorPosition();
    box.setSelection(start, std::clamp(length, 0, int(box.text().size()) - start));
}

} // namespace controls
