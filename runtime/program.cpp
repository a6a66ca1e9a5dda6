#include "program.h"

#include "failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace runtime {

namespace {

// Thrown by End: it unwinds the handler like a failure but is not reported.
struct EndOfProgram
{
};

struct ProgramEnd
{
    bool ended = false;
    int status = 0;
    int guardDepth = 0;
    FailureReporter reporter;
    std::function<void()> closeWindows;
};

ProgramEnd &programEnd()
{
    static ProgramEnd state;
    return state;
}

void reportOnStandardError(const QString &message, const std::function<void()> &done)
{
    std::fprintf(stderr, "pairfield: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    done();
}

// Every window goes at once; the event loop then returns `status` to main. The exit is posted, so that it
// also ends an event loop that has not started yet, and never runs inside a call from the window system.
void finish(int status)
{
    if (programEnd().closeWindows)
        programEnd().closeWindows();
    if (QCoreApplication *application = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            application, [status] { QCoreApplication::exit(status); }, Qt::QueuedConnection);
}

QString describe(const std::exception_ptr &escaped)
{
    try {
        std::rethrow_exception(escaped);
    } catch (const Failure &failure) {
        return failure.message();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception &error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return QStringLiteral("Unexpected failure");
    }
}

struct HeldMessage
{
    QtMsgType type;
    QString category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
std::vector<HeldMessage> heldMessages;
QByteArray displayOption;

// Whether Qt's Wayland platform plugin is in one of the places where Qt looks for platform plugins.
bool hasWaylandSupport()
{
    QStringList places {QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms")};
    if (const QString chosen = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH"); !chosen.isEmpty())
        places << chosen;
    for (const QString &place : places)
        if (!QDir(place).entryList({QStringLiteral("*qwayland*")}, QDir::Files).isEmpty())
            return true;
    return false;
}

// Whether a platform plugin that Qt tried said it could not reach its display server.
bool displayUnreachable()
{
    return std::any_of(heldMessages.begin(), heldMessages.end(), [](const HeldMessage &held) {
        return held.text.contains(QLatin1String("could not connect to display"), Qt::CaseInsensitive)
            || held.text.contains(QLatin1String("wl_display"));
    });
}

void startupHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        heldMessages.push_back({type, QString::fromLatin1(context.category), text});
        return;
    }
    const QByteArray display = qgetenv("DISPLAY"), wayland = qgetenv("WAYLAND_DISPLAY");
    const bool waylandMissing = display.isEmpty() && !wayland.isEmpty() && !hasWaylandSupport();
    // Qt could not start a platform for another reason than a display (an unknown -platform, a plugin that is
    // missing or broken): its own words say which, and which platforms there are, on one line.
    if (!displayUnreachable() && !waylandMissing) {
        QStringList said;
        for (const HeldMessage &held : heldMessages)
            said << held.text.simplified();
        said << text.simplified();
        std::fprintf(stderr, "pairfield: Qt could not start its platform: %s\n",
                     said.join(QStringLiteral("; ")).toLocal8Bit().constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
    const QByteArray where = !displayOption.isEmpty() ? "-display " + displayOption
        : !display.isEmpty()                          ? "DISPLAY=" + display
        : !wayland.isEmpty()                          ? "WAYLAND_DISPLAY=" + wayland
                             : QByteArray("neither DISPLAY nor WAYLAND_DISPLAY is set");
    std::fprintf(stderr, "pairfield: needs a graphical session, and no display could be opened (%s)%s\n",
                 where.constData(),
                 waylandMissing
                     ? ": Qt's Wayland platform support is not installed (Debian package qt6-wayland)"
                     : "");
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

StartupWatch::StartupWatch(const QByteArray &displayAsked)
{
    displayOption = displayAsked;
    previousHandler = qInstallMessageHandler(startupHandler);
}

StartupWatch::~StartupWatch()
{
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage &held : std::exchange(heldMessages, {})) {
        const QByteArray category = held.category.toUtf8();
        const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        qt_message_output(held.type, context, held.text);
    }
}

FailureReporter setFailureReporter(FailureReporter reporter)
{
    return std::exchange(programEnd().reporter, std::move(reporter));
}

std::function<void()> setWindowCloser(std::function<void()> closer)
{
    return std::exchange(programEnd().closeWindows, std::move(closer));
}

void End()
{
    programEnd().ended = true;
    programEnd().status = 0;
    finish(0);
    throw EndOfProgram {};
}

bool hasEnded()
{
    return programEnd().ended;
}

int exitStatus()
{
    return programEnd().status;
}

// Declared for the tests alone (tests/fakes/fakes.h): one test process tries several ends.
void clearEnd()
{
    programEnd().ended = false;
    programEnd().status = 0;
}

namespace detail {

bool insideGuard()
{
    return programEnd().guardDepth > 0;
}
void enterGuard()
{
    ++programEnd().guardDepth;
}
void leaveGuard()
{
    --programEnd().guardDepth;
}

void endWithEscaped(const std::exception_ptr &escaped) noexcept
{
    leaveGuard();
    try {
        std::rethrow_exception(escaped);
    } catch (const EndOfProgram &) {
        return; // End has already closed everything
    } catch (...) { }
    // Mark the end before the report: the event loop goes on while it is read, and no handler may run.
    ProgramEnd &state = programEnd();
    state.ended = true;
    state.status = 1;
    const auto done = [] { finish(1); };
    try {
        const QString message = describe(escaped);
        if (state.reporter)
            state.reporter(message, done);
        else
            reportOnStandardError(message, done);
    } catch (...) {
        // A report that fails itself still ends the program.
        done();
    }
}

} // namespace detail

} // namespace runtime
