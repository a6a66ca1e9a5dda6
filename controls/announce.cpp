#include "announce.h"

#include <QWidget>

namespace controls {

void announce(QObject *control, QAccessible::Event change)
{
    QAccessibleEvent event(control, change);
    QAccessible::updateAccessibility(&event);
}

void announceName(QWidget &control, const QString &name)
{
    // Qt raises the name's change itself, once, when the name is new.
    if (control.accessibleName() == name)
        return;
    control.setAccessibleName(name);
}

} // namespace controls
