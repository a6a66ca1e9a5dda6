#pragma once

#include <QByteArray>
#include <QStringList>

#include <functional>

namespace runtime {

/** What the choice of the window system's platform looks at, before Qt starts. */
struct PlatformSession
{
    std::function<QByteArray(const char *name)> environment; // a variable's value, empty where it is unset
    bool platformOption = false; // -platform on the command line
    QStringList pluginDirectories; // where Qt looks for its plugins
};

/**
 * The platforms to ask Qt for, in order of preference: "xcb;wayland" in a Wayland session of GNOME that also
 * offers X11, where Qt has no Adwaita-style window decoration and would draw a title bar of its own, so that
 * GNOME draws its own; empty everywhere else, and wherever the user chose a platform or a decoration, leaving
 * the choice to Qt.
 */
QByteArray preferredPlatforms(const PlatformSession &session);

/** This process's session: its environment, its command line, and QT_PLUGIN_PATH's and Qt's plugin
 * directories. */
PlatformSession currentSession(int argc, char *argv[]);

} // namespace runtime
