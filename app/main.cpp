#include "controls/services.h"
#include "runtime/clock.h"
#include "runtime/program.h"
#include "runtime/programpath.h"
#include "runtime/random.h"
#include "windows/forms.h"
#include "windows/startupwindow.h"

#include <QApplication>
#include <QIcon>

#include <optional>

int main(int argc, char *argv[])
{
    std::optional<runtime::StartupWatch> startup(std::in_place);
    QApplication app(argc, argv);
    startup.reset();
    QApplication::setApplicationName(QStringLiteral("Pairfield"));
    QApplication::setApplicationVersion(QStringLiteral(PAIRFIELD_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(PAIRFIELD_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/design/cardback.gif")));
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
