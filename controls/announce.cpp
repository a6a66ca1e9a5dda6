#include "announce.h"

#include <QWidget>

namespace controls {

namespace {

AnnouncementListener &listener()
{
    static AnnouncementListener current;
    return current;
}

void tellListener(QObject *control, QAccessible::Event change)
{
    if (listener())
        listener()(control, change);
}

} // namespace

AnnouncementListener setAnnouncementListener(AnnouncementListener listener)
{
    return std::exchange(controls::listener(), std::move(listener));
}

void announce(QObject *control, QAccessible::Event change)
{
    QAccessibleEvent event(control, change);
    QAccessible::updateAccessibility(&event);
    tellListener(control, change);
}

void announceName(QWidget &control, const QString &name)
{
    // Qt raises the name's change itself, once, when the name is new.
    if (control.accessibleName() == name)
        return;
    control.setAccessibleName(name);
    tellListener(&control, QAccessible::NameChanged);
}

} // namespace controls
