#pragma once

#include <QAccessible>

#include <functional>

class QWidget;

namespace controls {

/** Hears what the program tells assistive technology, whether or not any is listening: a test does. */
using AnnouncementListener = std::function<void(QObject *control, QAccessible::Event change)>;

/** Sets the listener; returns the one it replaces. */
AnnouncementListener setAnnouncementListener(AnnouncementListener listener);

/** Tells assistive technology that `control` changed as `change` says (its description, say). */
void announce(QObject *control, QAccessible::Event change);

/** Gives `control` a new accessible name and tells assistive technology so. */
void announceName(QWidget &control, const QString &name);

} // namespace controls
