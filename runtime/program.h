#pragma once

#include <QString>

#include <exception>
#include <functional>

namespace runtime {

/**
 * Shows the report of a failure without waiting for it to be read, and calls `done` once it has been: the
 * program then ends. Until then no handler runs.
 */
using FailureReporter = std::function<void(const QString &message, std::function<void()> done)>;

/**
 * Replaces the failure report and returns the one it replaces. Without one, the report is a line on
 * standard error; the windows put a message box in its place.
 */
FailureReporter setFailureReporter(FailureReporter reporter);

/** Closes every window when the program ends; the windows set it, and return the one it replaces. */
std::function<void()> setWindowCloser(std::function<void()> closer);

/**
 * Ends the program at once with every window, exit status 0: the event loop returns once it next gets
 * its turn. Code after it never runs.
 */
[[noreturn]] void End();

/** Whether the program is ending, after End or a failure: from then on no handler runs. */
bool hasEnded();

/** The exit status the program ends with: 0 after End, 1 after a failure. */
int exitStatus();

/**
 * Watches the window system's start-up: while it lives, a fatal message (no display could be opened) ends
 * the program with one line on standard error and status 1, instead of an abort and a core dump. The line
 * names `displayAsked` (a -display option's) if there is one, else the session's display. Other messages
 * are held and passed on once it ends.
 */
class StartupWatch
{
public:
    explicit StartupWatch(const QByteArray &displayAsked = {});
    ~StartupWatch();
    StartupWatch(const StartupWatch &) = delete;
    StartupWatch &operator=(const StartupWatch &) = delete;
};

namespace detail {
bool insideGuard();
void enterGuard();
void leaveGuard();
void endWithEscaped(const std::exception_ptr &escaped) noexcept;
} // namespace detail

/**
 * Runs one handler from the event loop. A failure stops the handler and all its callers, is reported, and
 * ends the program with a non-zero status; nothing escapes into the event loop. Guards nest: only the
 * outermost one catches, so a failure in a window's load step still stops the handler that caused it.
 */
template<class Handler> void guard(Handler &&handler)
{
    if (hasEnded())
        return;
    if (detail::insideGuard()) {
        handler();
        return;
    }
    detail::enterGuard();
    try {
        handler();
    } catch (...) {
        detail::endWithEscaped(std::current_exception());
        return;
    }
    detail::leaveGuard();
}

} // namespace runtime
