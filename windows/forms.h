#pragma once

#include "rules/actions.h"
#include "runtime/firstreference.h"

#include <QByteArray>

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

/**
 * The program's windows, each created on its first reference and kept to the end of the run, and the stage on
 * which the players' actions are carried out.
 */
class Forms : public rules::Stage
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
     * Hands an action of a player to the rules, inside the guard that turns a failure into the program's
     * report and end; they carry it out now, later or not at all, and say which.
     */
    rules::Actions::Outcome report(const rules::Action &action);
    /** The rules that judge the players' actions, for the game to join. */
    rules::Actions &actions() { return m_actions; }

    /**
     * Whether `window` may close now. Closing it by its frame is an action of a player like any other, which
     * the rules carry out now, once a miss on show is covered, or not at all; a close that had to wait is
     * carried out later by closing the window again, which then may close.
     */
    bool mayClose(rules::Window window);

    void play(int cellCount) override;
    void quit() override;
    void close(rules::Window window) override;

private:
    Services m_services;
    rules::Actions m_actions {*this};
};

} // namespace windows
