#include "controls/designkit.h"
#include "controls/windowing.h"
#include "runtime/clock.h"
#include "runtime/platformchoice.h"
#include "runtime/program.h"
#include "runtime/programpath.h"
#include "runtime/random.h"
#include "windows/forms.h"
#include "windows/startupwindow.h"

#include <QApplication>
#include <QIcon>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

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

bool isAnswerOption(const char *argument)
{
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "--version") == 0;
}

// Answers --help or --version with status 0 (or 1 if the answer cannot be written).
int answerCommandLine(const char *option)
{
    return answer(std::strcmp(option, "--version") == 0 ? "pairfield " PAIRFIELD_VERSION "\n" : usage);
}

// Qt's own options, as Qt 6 reads them (QCoreApplication, QGuiApplication, QApplication and the X11
// platform), with one dash or two: those that take the next argument as their value, and those that stand
// alone or carry "=value". Qt takes -title, -icon and -geometry only on X11, and leaves them to the program
// elsewhere, where they are refused once Qt has started.
bool isQtOption(const char *argument, bool *takesValue = nullptr)
{
    static constexpr const char *withValue[] = {"platform",
                                                "platformpluginpath",
                                                "platformtheme",
                                                "plugin",
                                                "qwindowgeometry",
                                                "qwindowicon",
                                                "qwindowtitle",
                                                "session",
                                                "display",
                                                "geometry",
                                                "title",
                                                "icon",
                                                "name",
                                                "visual",
                                                "style",
                                                "stylesheet",
                                                "qmljsdebugger"};
    static constexpr const char *alone[]
        = {"reverse", "testability", "widgetcount", "nograb", "dograb", "qdevel", "qdebug"};
    static constexpr const char *withEquals[] = {"style=", "stylesheet=", "qmljsdebugger="};
    if (argument[0] != '-')
        return false;
    const char *name = argument + (argument[1] == '-' ? 2 : 1);
    const auto takes = [takesValue](bool value) {
        if (takesValue != nullptr)
            *takesValue = value;
        return true;
    };
    for (const char *option : withValue)
        if (std::strcmp(name, option) == 0)
            return takes(true);
    takes(false);
    for (const char *option : alone)
        if (std::strcmp(name, option) == 0)
            return true;
    for (const char *option : withEquals)
        if (std::strncmp(name, option, std::strlen(option)) == 0)
            return true;
    return false;
}

int refuse(const std::string &why)
{
    std::fprintf(stderr, "pairfield: %s\nTry 'pairfield --help' for more information.\n", why.c_str());
    return 2;
}

// The command line judged before any display is opened, as Qt reads it: Qt's options with their values pass,
// "--" ends the options and is taken away, and --help or --version anywhere is answered as the first of them
// asks; anything else is refused with status 2, and so is an option of Qt's whose value is missing or is
// another of Qt's options (Qt takes its platform's options in a pass of their own, before the rest, and would
// leave the first without its value). -1 when Qt may start.
int judgeCommandLine(int &argc, char *argv[])
{
    const char *answerAsked = nullptr;
    for (int k = 1; k < argc; ++k) {
        const char *argument = argv[k];
        bool takesValue = false;
        if (std::strcmp(argument, "--") == 0) {
            if (k + 1 < argc)
                return refuse("unexpected argument '" + std::string(argv[k + 1]) + "'");
            argv[k] = nullptr;
            argc = k;
            break;
        }
        if (isAnswerOption(argument)) {
            answerAsked = answerAsked != nullptr ? answerAsked : argument;
        } else if (isQtOption(argument, &takesValue)) {
            const bool hasValue
                = takesValue && k + 1 < argc && !isAnswerOption(argv[k + 1]) && !isQtOption(argv[k + 1]);
            if (takesValue && !hasValue && answerAsked == nullptr
                && !std::any_of(argv + k + 1, argv + argc, isAnswerOption))
                return refuse("option '" + std::string(argument) + "' needs a value");
            k += hasValue ? 1 : 0;
        } else {
            const bool option = argument[0] == '-' && argument[1] != '\0';
            return refuse((option ? "unknown option '" : "unexpected argument '") + std::string(argument)
                          + "'");
        }
    }
    return answerAsked != nullptr ? answerCommandLine(answerAsked) : -1;
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
    if (const int judged = judgeCommandLine(argc, argv); judged >= 0)
        return judged;
    // On GNOME under Wayland, where Qt would draw a title bar of its own, X11 first: GNOME then draws its
    // own.
    if (const QByteArray platforms = runtime::preferredPlatforms(runtime::currentSession(argc, argv));
        !platforms.isEmpty())
        qputenv("QT_QPA_PLATFORM", platforms);
    std::optional<runtime::StartupWatch> startup(std::in_place, displayAsked(argc, argv));
    QApplication app(argc, argv);
    startup.reset();
    // Qt has taken the options it knows; what is left is nobody's.
    if (argc > 1)
        return refuse("unknown option '" + std::string(argv[1]) + "'");
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
