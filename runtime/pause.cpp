#include "pause.h"

#include <QTimer>

#include <vector>

namespace runtime {

namespace {

struct Pausing
{
    int depth = 0;
    std::vector<std::function<void()>> deferred;
};

Pausing &pausing()
{
    static Pausing state;
    return state;
}

} // namespace

bool isPausing()
{
    return pausing().depth > 0;
}

void whenNotPausing(std::function<void()> action)
{
    if (!isPausing()) {
        action();
        return;
    }
    pausing().deferred.push_back(std::move(action));
}

PauseScope::PauseScope()
{
    ++pausing().depth;
}

PauseScope::~PauseScope()
{
    if (--pausing().depth > 0 || pausing().deferred.empty())
        return;
    // They run from the event loop once the handler that paused has returned, one after the other.
    QTimer::singleShot(0, [actions = std::move(pausing().deferred)] {
        for (const auto &action : actions)
            whenNotPausing(action);
    });
    pausing().deferred.clear();
}

} // namespace runtime
