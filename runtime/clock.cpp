#include "clock.h"

#include "pause.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTime>
#include <QTimer>

#include <thread>

namespace runtime {

float SystemClock::timer() const
{
    return float(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0f;
}

double SystemClock::monotonicSeconds() const
{
    const auto sinceOrigin = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(sinceOrigin).count();
}

void SystemClock::sleep(std::chrono::milliseconds duration)
{
    if (QCoreApplication::instance() == nullptr) {
        std::this_thread::sleep_for(duration);
        return;
    }
    // Waits in the event loop, blocked until the one timer fires or the window system has something to
    // say. User input stays queued in the window system's order and is handled after the pause; so are the
    // actions that assistive technology asks for meanwhile.
    const PauseScope pause;
    bool due = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, [&due] { due = true; });
    deadline.start(duration);
    while (!due)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace runtime
