#pragma once

#include "runtime/firstreference.h"

#include <QByteArray>

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

/** The program's windows, each created on its first reference and kept to the end of the run. */
class Forms
{
public:
    /** What the windows take from the machine: the program's directory, chance and time. */
    struct Services
    {
        QByteArray appPath; // the program's directory, as the file system spells it
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

private:
    Services m_services;
};

} // namespace windows
