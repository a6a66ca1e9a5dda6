#include "platformchoice.h"

#include <QDir>
#include <QLibraryInfo>

#include <algorithm>
#include <iterator>
#include <cstring>

namespace runtime {

namespace {

bool isGnome(const QByteArray &desktops)
{
    const QList<QByteArray> names = desktops.split(':');
    return std::any_of(names.begin(), names.end(), [](const QByteArray &name) {
        return name.compare("GNOME", Qt::CaseInsensitive) == 0;
    });
}

// Whether Qt's Wayland client has a window decoration in GNOME's own style, which newer Qt ships.
bool hasAdwaitaDecoration(const QStringList &pluginDirectories)
{
    return std::any_of(pluginDirectories.begin(), pluginDirectories.end(), [](const QString &directory) {
        return !QDir(directory + QStringLiteral("/wayland-decoration-client"))
                    .entryList({QStringLiteral("*adwaita*")}, QDir::Files)
                    .isEmpty();
    });
}

constexpr const char *userChoices[] = {"QT_QPA_PLATFORM", "QT_WAYLAND_DECORATION",
                                       "QT_WAYLAND_DISABLE_WINDOWDECORATION", "QT_WAYLAND_SHELL_INTEGRATION"};

} // namespace

QByteArray preferredPlatforms(const PlatformSession &session)
{
    const auto set = [&session](const char *name) { return !session.environment(name).isEmpty(); };
    // A platform, or how Qt draws and places its windows on Wayland, that the user named.
    const bool userChose = session.platformOption
        || std::any_of(std::begin(userChoices), std::end(userChoices), set);
    if (userChose || session.environment("XDG_SESSION_TYPE") != "wayland" || !set("WAYLAND_DISPLAY")
        || !set("DISPLAY") || !isGnome(session.environment("XDG_CURRENT_DESKTOP"))
        || hasAdwaitaDecoration(session.pluginDirectories))
        return {};
    return QByteArrayLiteral("xcb;wayland");
}

PlatformSession currentSession(int argc, char *argv[])
{
    PlatformSession session;
    session.environment = [](const char *name) { return qgetenv(name); };
    session.platformOption = std::any_of(argv + 1, argv + argc, [](const char *argument) {
        return std::strcmp(argument, "-platform") == 0 || std::strcmp(argument, "--platform") == 0;
    });
    const QString path = qEnvironmentVariable("QT_PLUGIN_PATH");
    session.pluginDirectories = path.split(QDir::listSeparator(), Qt::SkipEmptyParts);
    session.pluginDirectories << QLibraryInfo::path(QLibraryInfo::PluginsPath);
    return session;
}

} // namespace runtime
