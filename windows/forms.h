#pragma once

#include "runtime/firstreference.h"

#include <QByteArray>

#include <functional>
#include <optional>

class QIcon;
class QWidget;

namespace runtime {
class Clock;
class RandomSource;
} // namespace runtime

namespace pictures {
class ImagesWindow;
} // namespace pictures

namespace windows {

class GameWindow;
class StartupWindow;

/** The application's icon, the menu's drawing, at every size it was drawn at. */
QIcon applicationIcon();

/** The program's windows, each created on its first reference and kept to the end of the run. */
class Forms
{
public:
    /** What the windows take from the machine: the program's directory, chance and time. */
    struct Services
    {
        std::optional<QByteArray> appPath; // the program's directory, as the file system spells it
        runtime::RandomSource &random;
        runtime::Clock &clock;
    };

    explicit Forms(Services services);
    ~Forms();
    Forms(const Forms &) = delete;
    Forms &operator=(const Forms &) = delete;

    runtime::FirstReference<StartupWindow> startup;
    runtime::FirstReference<GameWindow> game;
    runtime::FirstReference<pictures::ImagesWindow> images;

    const Services &services() const { return m_services; }

    /**
     * Runs a handler of any window for an event of a player, inside the guard that turns a failure into the
     * program's report and end. While a miss is on show, the game holds it until the miss is covered.
     */
    void handle(std::function<void()> handler);

    /**
     * Whether closing `window` has to wait for a miss on show; if so, the close is held like any other
     * action of a player and happens after it.
     */
    bool holdClose(QWidget &window);

private:
    Services m_services;
};

} // namespace windows
