#include "program.h"

#include "failure.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <new>

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
};

ProgramEnd &programEnd()
{
    static ProgramEnd state;
    return state;
}

void showMessageBox(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Pairfield"), message, QMessageBox::Ok);
    // The message may quote a path, which is text, never markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// Every window goes at once; the event loop then returns `status` to main.
void finish(int status)
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        window->hide();
    QCoreApplication::exit(status);
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

} // namespace

FailureReporter setFailureReporter(FailureReporter reporter)
{
    FailureReporter previous = std::move(programEnd().reporter);
    programEnd().reporter = std::move(reporter);
    return previous;
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
    // Mark the end before the report: its message box runs an event loop, and no handler may run in it.
    ProgramEnd &state = programEnd();
    state.ended = true;
    state.status = 1;
    try {
        const QString message = describe(escaped);
        if (state.reporter)
            state.reporter(message);
        else
            showMessageBox(message);
    } catch (...) {
        // A report that fails itself still ends the program.
    }
    finish(1);
}

} // namespace detail

} // namespace runtime
