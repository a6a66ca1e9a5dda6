#include "controls/services.h"
#include "runtime/clock.h"
#include "runtime/program.h"
#include "runtime/programpath.h"
#include "runtime/random.h"
#include "windows/forms.h"
#include "windows/startupwindow.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// What the command line can ask without a window; nothing to answer returns -1 and the game starts.
int answerCommandLine(int argc, char *argv[])
{
    if (argc != 2)
        return -1;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("pairfield %s\n", PAIRFIELD_VERSION);
        return 0;
    }
    if (std::strcmp(argv[1], "--help") == 0) {
        std::printf("Usage: pairfield [--help | --version]\n"
                    "A memory game of pairs for two players who share one mouse: choose a board of 4 to 40\n"
                    "cards and your names, then take turns turning two cards until every pair is found.\n"
                    "\n"
                    "  --help     show this help and exit\n"
                    "  --version  show the version and exit\n");
        return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const int answered = answerCommandLine(argc, argv); answered >= 0)
        return answered;
    std::optional<runtime::StartupWatch> startup(std::in_place);
    QApplication app(argc, argv);
    startup.reset();
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
