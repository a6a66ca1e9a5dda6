#include "controls/designkit.h"
#include "controls/windowing.h"
#include "runtime/clock.h"
#include "runtime/program.h"
#include "runtime/programpath.h"
#include "runtime/random.h"
#include "windows/forms.h"
#include "windows/startupwindow.h"

#include <QApplication>
#include <QIcon>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

constexpr char usage[] = "Usage: pairfield [--help | --version]\n"
                         "A memory game of pairs for two players, by mouse or by keys: choose a board of\n"
                         "4 to 40 cards and your names, then take turns turning two cards until every\n"
                         "pair is found. Qt's own options (-platform, -display, -style, ...) work too.\n"
                         "\n"
                         "  --help     show this help and exit\n"
                         "  --version  show the version and exit\n";

// Writes an answer on standard output; a write that fails (a full disk, a closed pipe) is an error.
int answer(const char *text)
{
    std::fputs(text, stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    std::fprintf(stderr, "pairfield: cannot write to standard output: %s\n", std::strerror(errno));
    return 1;
}

// What the command line asks without a window: --help or --version alone is answered with status 0 (or 1
// if the answer cannot be written); -1 when there is nothing to answer.
int answerCommandLine(int argc, char *argv[])
{
    if (argc != 2)
        return -1;
    if (std::strcmp(argv[1], "--version") == 0)
        return answer("pairfield " PAIRFIELD_VERSION "\n");
    if (std::strcmp(argv[1], "--help") == 0)
        return answer(usage);
    return -1;
}

// The display that a -display option asks for, which a failure to open one names; empty without one.
QByteArray displayAsked(int argc, char *argv[])
{
    for (int k = 1; k + 1 < argc; ++k)
        if (std::strcmp(argv[k], "-display") == 0 || std::strcmp(argv[k], "--display") == 0)
            return argv[k + 1];
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    if (const int answered = answerCommandLine(argc, argv); answered >= 0)
        return answered;
    std::optional<runtime::StartupWatch> startup(std::in_place, displayAsked(argc, argv));
    QApplication app(argc, argv);
    startup.reset();
    // Qt has taken the options it knows; what is left is the game's, or nobody's.
    if (const int answered = answerCommandLine(argc, argv); answered >= 0)
        return answered;
    if (argc > 1) {
        std::fprintf(stderr, "pairfield: unknown option '%s'\nTry 'pairfield --help' for more information.\n",
                     argv[1]);
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Pairfield"));
    QApplication::setApplicationVersion(QStringLiteral(PAIRFIELD_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(PAIRFIELD_APP_ID));
    QApplication::setWindowIcon(windows::applicationIcon());
    controls::installFontSubstitutes();
    runtime::setFailureReporter(controls::showFailureBox);

    runtime::SystemRandom random;
    runtime::SystemClock clock;
    windows::Forms forms({runtime::appPath(), random, clock});

    // The setup window is the only one the program shows at start.
    runtime::guard([&forms] { controls::Show(forms.startup.get()); });
    const int status = QApplication::exec();
    return runtime::hasEnded() ? runtime::exitStatus() : status;
}
