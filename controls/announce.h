#pragma once

#include <QAccessible>

class QWidget;

namespace controls {

/** Tells assistive technology that `control` changed as `change` says (its description, say). */
void announce(QObject *control, QAccessible::Event change);

/** Gives `control` a new accessible name and tells assistive technology so. */
void announceName(QWidget &control, const QString &name);

} // namespace controls
