#include "twips.h"

#include <QWidget>

namespace controls {

void setTwipsGeometry(QWidget &control, int left, int top, int width, int height)
{
    control.setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

void setTwipsClientSize(QWidget &window, int width, int height)
{
    window.setFixedSize(toPixels(width), toPixels(height));
}

} // namespace controls
