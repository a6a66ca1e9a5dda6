// The real program on a real X server: real mouse clicks through xdotool, pixels read off the screen.
#include "artwork/wood.h"
#include "controls/twips.h"
#include "rules/boardgeometry.h"
#include "windows/design.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <filesystem>
#include <functional>

namespace {

const QString setupTitle = QStringLiteral("^Pairfield: Getting Started$");
const QString gameTitle = QStringLiteral("^Pairfield$");

namespace design = windows::design;

// Twips of the design to pixels on screen, for the few places the test clicks or looks at.
int px(double twips)
{
    return controls::toPixels(twips);
}

QString xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(PF_XDOTOOL), arguments);
    process.waitForFinished(20000);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

bool waitFor(const std::function<bool()> &condition, int milliseconds = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QTest::qWait(50);
    }
    return true;
}

QStringList visibleWindows(const QString &title)
{
    const QString found = xdotool(
        {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), title});
    return found.isEmpty() ? QStringList() : found.split(QLatin1Char('\n'));
}

// The top-left corner of a window's client area on the screen.
QPoint originOf(const QString &window)
{
    const QStringList lines
        = xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window})
              .split(QLatin1Char('\n'));
    QPoint origin;
    for (const QString &line : lines) {
        if (line.startsWith(QStringLiteral("X=")))
            origin.setX(line.mid(2).toInt());
        if (line.startsWith(QStringLiteral("Y=")))
            origin.setY(line.mid(2).toInt());
    }
    return origin;
}

void clickAt(QPoint point)
{
    xdotool({QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()),
             QStringLiteral("click"), QStringLiteral("1")});
}

QImage screen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

bool isWood(QRgb p)
{
    return artwork::isWood(qRed(p), qGreen(p), qBlue(p));
}

// The screen once it has stopped changing: two looks in a row alike.
QImage stillScreen()
{
    QImage now = screen();
    waitFor([&] {
        const QImage before = now;
        QTest::qWait(30);
        now = screen();
        return now == before;
    });
    return now;
}

// The share of a rectangle of the screen that shows the card back's wood.
double woodShare(const QImage &image, const QRect &rect)
{
    int wood = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            wood += isWood(image.pixel(x, y));
    return double(wood) / (rect.width() * rect.height());
}

// The game as a player sees it: a board of cells with the default design positions.
class Game
{
public:
    explicit Game(const QString &program = QStringLiteral(PF_PAIRFIELD), const QString &directory = {})
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setWorkingDirectory(directory);
        m_process.start(program, {});
    }
    ~Game()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    bool waitForSetup()
    {
        return waitFor([&] { return !visibleWindows(setupTitle).isEmpty(); })
            && (m_setup = originOf(visibleWindows(setupTitle).first()), true);
    }

    // Picks a size option (0 for 4 cells ... 9 for 40) on the setup window, then presses PLAY.
    void pressPlay(int option)
    {
        clickAt(m_setup
                + QPoint(px(design::optionLeft + 100),
                         px(design::optionTops.at(size_t(option)) + design::optionHeight / 2)));
        clickAt(m_setup + QPoint(px(8160 + 847), px(1920 + 547)));
        m_columns = option + 1;
    }

    // PLAY, then wait until the whole board is on the screen.
    bool play(int option)
    {
        pressPlay(option);
        if (!waitFor([&] { return !visibleWindows(gameTitle).isEmpty(); }))
            return false;
        m_game = originOf(visibleWindows(gameTitle).first());
        return waitForBoard();
    }

    // Painted once every back shows its wood.
    bool waitForBoard()
    {
        return waitFor([&] {
            const QImage now = screen();
            for (int cell = 1; cell <= cells(); ++cell)
                if (!showsBack(now, cell))
                    return false;
            return true;
        });
    }

    int cells() const { return 4 * m_columns; }

    // Where the back of a cell lies on the screen: the designed layout, half the free columns to the left.
    QRect back(int cell) const
    {
        const int margin = design::boardMargin(m_columns);
        const auto [row, column] = rules::placeOf(cell, m_columns);
        return QRect(m_game
                         + QPoint(px(design::boardLeft + design::columnPitch * (margin + column - 1)),
                                  px(design::boardTop + design::rowPitch * (row - 1))),
                     QSize(48, 36));
    }

    void click(int cell) { clickAt(back(cell).center()); }
    QRect winnerLabel() const { return QRect(m_game + QPoint(px(2640), px(7560)), QSize(px(7215), px(735))); }
    QPoint quitButton() const { return m_game + QPoint(px(10680 + 547), px(360 + 217)); }

    bool showsFace(const QImage &image, int cell) const { return woodShare(image, back(cell)) < 0.5; }
    bool showsBack(const QImage &image, int cell) const { return woodShare(image, back(cell)) > 0.9; }
    // Waits until both cells show their faces, and returns the screen then.
    QImage facesUp(int a, int b) const
    {
        QImage now;
        waitFor([&] {
            now = screen();
            return showsFace(now, a) && showsFace(now, b);
        });
        return now;
    }
    bool backsUp(int a, int b) const
    {
        return waitFor([&] {
            const QImage now = screen();
            return showsBack(now, a) && showsBack(now, b);
        });
    }
    QImage face(const QImage &image, int cell) const { return image.copy(back(cell)); }

    // Turns cards two by two until a turn misses, pairs simply staying up; the first card of the miss, whose
    // faces are then on show, or 0 if the whole board paired.
    int turnUntilMiss()
    {
        for (int first = 1; first < cells(); first += 2) {
            click(first);
            click(first + 1);
            const QImage during = facesUp(first, first + 1);
            if (face(during, first) != face(during, first + 1))
                return first;
        }
        return 0;
    }

    QProcess &process() { return m_process; }
    QPoint gameOrigin() const { return m_game; }

    // Brings the setup window up again over the game window, picks a size and presses PLAY.
    void pressPlayAgain(int option)
    {
        xdotool({QStringLiteral("windowraise"), visibleWindows(setupTitle).first()});
        pressPlay(option);
    }

    // The game window over the setup window again.
    void raiseBoard() { xdotool({QStringLiteral("windowraise"), visibleWindows(gameTitle).first()}); }

    // PLAY again, until the new board is on the screen; the game window comes back to the front.
    bool replay(int option)
    {
        pressPlayAgain(option);
        return waitForBoard();
    }

private:
    QProcess m_process;
    QPoint m_setup;
    QPoint m_game;
    int m_columns = 6;
};

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missStaysOnScreenThroughThePauseAndClicksWait();
    void heldPlayDropsTheClicksOfTheOldBoard();
    void wholeSmallGameEndsAndQuitLeavesNothing();
    void missingPictureIsReportedAndEndsTheProgram();
    void installedGameFindsItsPictures();
    void doubleClickIsOneClick();
    void programInADirectoryNamedInLatin1();
    void withoutADisplayOneLineAndFailure_data();
    void withoutADisplayOneLineAndFailure();
    void commandLineAnswersWithoutAWindow_data();
    void commandLineAnswersWithoutAWindow();
    void monkeyNeverBreaksWhatPlayersSee();
};

void tst_EndToEnd::missStaysOnScreenThroughThePauseAndClicksWait()
{
    Game game;
    QVERIFY(game.waitForSetup());
    QVERIFY(game.play(5));
    // Every back where the layout puts it, with the window's grey to its left and below it.
    const QImage board = screen();
    for (int cell = 1; cell <= 24; ++cell) {
        const QRect back = game.back(cell);
        QVERIFY2(game.showsBack(board, cell), qPrintable(QStringLiteral("cell %1").arg(cell)));
        QCOMPARE(QColor(board.pixel(back.left() - 2, back.center().y())), QColor(0x40, 0x40, 0x40));
        QCOMPARE(QColor(board.pixel(back.center().x(), back.bottom() + 3)), QColor(0x40, 0x40, 0x40));
    }

    const int first = game.turnUntilMiss();
    QVERIFY(first > 0);

    // A third click during the miss waits for it: the third card stays down while the miss is on show,
    // and turns as the miss is covered.
    const int third = first + 2;
    game.click(third);
    QVERIFY(waitFor([&] {
        const QImage now = screen();
        if (game.showsFace(now, first) && game.showsFace(now, first + 1)) {
            [&] { QVERIFY(game.showsBack(now, third)); }();
            return QTest::currentTestFailed();
        }
        return game.showsBack(now, first) && game.showsBack(now, first + 1);
    }));
    QVERIFY(!QTest::currentTestFailed());
    QVERIFY(waitFor([&] { return game.showsFace(screen(), third); }, 5000));

    clickAt(game.quitButton());
    QVERIFY(game.process().waitForFinished(20000));
    QCOMPARE(game.process().exitCode(), 0);
}

// PLAY of a smaller board during a miss, then a click on a card that the new board will not have: the new
// game comes, fresh, and the click goes with the old one.
void tst_EndToEnd::heldPlayDropsTheClicksOfTheOldBoard()
{
    Game game;
    QVERIFY(game.waitForSetup());
    QVERIFY(game.play(5));
    const int first = game.turnUntilMiss();
    // A card still face down on the old board that the new one has too, clicked after PLAY during the miss.
    const int card = first + 2;
    QVERIFY(first > 0 && card <= 8);
    const QRect clicked = game.back(card);
    const QRect pastTheNewBoard = game.back(20);
    game.pressPlayAgain(1);
    game.raiseBoard();
    clickAt(clicked.center());
    QVERIFY(waitFor([&] { return woodShare(screen(), pastTheNewBoard) == 0; })); // the old board is gone
    // The new board comes face down, the clicked card's namesake too.
    QVERIFY(game.waitForBoard());
    QVERIFY(game.showsBack(screen(), card));
    QCOMPARE(game.process().state(), QProcess::Running);
    clickAt(game.quitButton());
    QVERIFY(game.process().waitForFinished(20000));
    QCOMPARE(game.process().exitCode(), 0);
}

void tst_EndToEnd::wholeSmallGameEndsAndQuitLeavesNothing()
{
    Game game;
    QVERIFY(game.waitForSetup());
    QVERIFY(game.play(0));
    QCOMPARE(woodShare(screen(), game.winnerLabel()), 0.0);

    // Learn the faces by turning them: 1 with 2, then 1 with 3 if needed; the rest follows.
    QImage seen;
    auto turn = [&](int a, int b) {
        game.click(a);
        game.click(b);
        seen = game.facesUp(a, b);
        const bool pair = game.face(seen, a) == game.face(seen, b);
        if (!pair)
            [&] { QVERIFY(game.backsUp(a, b)); }();
        return pair;
    };
    if (turn(1, 2)) {
        QVERIFY(turn(3, 4));
    } else if (turn(1, 3)) {
        QVERIFY(turn(2, 4));
    } else {
        QVERIFY(turn(1, 4));
        QVERIFY(turn(2, 3));
    }

    // The winner (or the tie) is announced in blue below the board.
    QVERIFY(waitFor(
        [&] {
            const QImage end = screen();
            const QRect label = game.winnerLabel();
            for (int y = label.top(); y <= label.bottom(); ++y)
                for (int x = label.left(); x <= label.right(); ++x)
                    if (qBlue(end.pixel(x, y)) > 0xC0 && qRed(end.pixel(x, y)) < 0x40)
                        return true;
            return false;
        },
        5000));

    clickAt(game.quitButton());
    QVERIFY(game.process().waitForFinished(20000));
    QCOMPARE(game.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(game.process().exitCode(), 0);
    QVERIFY(visibleWindows(QStringLiteral("Pairfield")).isEmpty());
}

void tst_EndToEnd::missingPictureIsReportedAndEndsTheProgram()
{
    // A copy of the program in a directory that lacks F20.gif.
    QTemporaryDir directory;
    const QString program = directory.filePath(QStringLiteral("pairfield"));
    QVERIFY(QFile::copy(QStringLiteral(PF_PAIRFIELD), program));
    QVERIFY(QFile::setPermissions(program, QFile::permissions(QStringLiteral(PF_PAIRFIELD))));
    const QString built = QFileInfo(QStringLiteral(PF_PAIRFIELD)).absolutePath();
    for (int p = 1; p <= 19; ++p)
        QVERIFY(QFile::copy(built + QStringLiteral("/F%1.gif").arg(p),
                            directory.filePath(QStringLiteral("F%1.gif").arg(p))));

    Game game(program);
    QVERIFY(game.waitForSetup());
    game.pressPlay(0);
    // The report is a message box titled like the game window, which stays behind it; Return dismisses it.
    QVERIFY(waitFor([&] { return visibleWindows(gameTitle).size() >= 2; }));
    // Return reaches the box once it holds the keyboard focus.
    QVERIFY(waitFor([&] {
        const QString focus = xdotool({QStringLiteral("getwindowfocus")});
        return !focus.isEmpty() && focus != visibleWindows(setupTitle).value(0)
            && visibleWindows(gameTitle).contains(focus);
    }));
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    QVERIFY(game.process().waitForFinished(20000));
    QCOMPARE(game.process().exitCode(), 1);
    QVERIFY(visibleWindows(QStringLiteral("Pairfield")).isEmpty());
}

// PLAY deals a board whose first card turns to a picture; QUIT then ends the program normally.
static void dealsPicturesAndQuits(Game &game, int option)
{
    QVERIFY(game.waitForSetup());
    QVERIFY(game.play(option));
    game.click(1);
    QVERIFY(waitFor([&] { return game.showsFace(screen(), 1); }, 5000));
    clickAt(game.quitButton());
    QVERIFY(game.process().waitForFinished(20000));
    QCOMPARE(game.process().exitCode(), 0);
}

// The installed game started through its link in the command directory, from elsewhere: it finds its
// pictures beside the real executable and deals them.
void tst_EndToEnd::installedGameFindsItsPictures()
{
    const QString installed = qEnvironmentVariable("PF_INSTALLED_PROGRAM");
    if (installed.isEmpty())
        QSKIP("PF_INSTALLED_PROGRAM names no installed game");
    QTemporaryDir elsewhere;
    Game game(installed, elsewhere.path());
    dealsPicturesAndQuits(game, 9);
}

// The second press of a double-click on the second card arrives during the pause; it must not turn that
// card again for the next player once it is covered.
void tst_EndToEnd::doubleClickIsOneClick()
{
    Game game;
    QVERIFY(game.waitForSetup());
    QVERIFY(game.play(9));
    for (int first = 1;; first += 2) {
        QVERIFY2(first < 40, "no miss in the whole board");
        game.click(first);
        const QPoint second = game.back(first + 1).center();
        xdotool({QStringLiteral("mousemove"), QString::number(second.x()), QString::number(second.y()),
                 QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                 QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("1")});
        const QImage during = game.facesUp(first, first + 1);
        if (game.face(during, first) == game.face(during, first + 1))
            continue;
        // Covered, and the second press did not turn the card again when the miss ended.
        QVERIFY(game.backsUp(first, first + 1));
        QVERIFY(game.showsBack(stillScreen(), first + 1));
        break;
    }
    clickAt(game.quitButton());
    QVERIFY(game.process().waitForFinished(20000));
}

// The program's directory is found by its bytes, whatever the locale makes of them.
void tst_EndToEnd::programInADirectoryNamedInLatin1()
{
    QTemporaryDir top;
    const std::filesystem::path built = std::filesystem::path(PF_PAIRFIELD).parent_path();
    const std::filesystem::path latin1 = std::filesystem::path(top.path().toStdString()) / "caf\xe9";
    std::filesystem::create_directory(latin1);
    std::filesystem::copy_file(PF_PAIRFIELD, latin1 / "pairfield");
    for (int p = 1; p <= 20; ++p) {
        const std::string face = QStringLiteral("F%1.gif").arg(p).toStdString();
        std::filesystem::copy_file(built / face, latin1 / face);
    }
    // Started through a link with a plain name; the program resolves it to the Latin-1 directory.
    const QString link = top.filePath(QStringLiteral("pairfield"));
    std::filesystem::create_symlink(latin1 / "pairfield", link.toStdString());

    Game game(link);
    dealsPicturesAndQuits(game, 0);
}

void tst_EndToEnd::withoutADisplayOneLineAndFailure_data()
{
    QTest::addColumn<QString>("wayland"); // WAYLAND_DISPLAY; no DISPLAY in any case
    QTest::addColumn<bool>("waylandSupport");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said");
    QTest::addColumn<bool>("qtGoesOn"); // Qt's own words follow ours, and only their beginning is known
    const QString none = "needs a graphical session, and no display could be opened ";
    QTest::newRow("no display at all") << QString() << true << QStringList()
                                       << none + "(neither DISPLAY nor WAYLAND_DISPLAY is set)" << false;
    QTest::newRow("Wayland without Qt's support for it") << "wl-test" << false << QStringList()
                                                         << none
            + "(WAYLAND_DISPLAY=wl-test): Qt's Wayland platform support is not installed (Debian package "
              "qt6-wayland)" << false;
    QTest::newRow("the display asked for")
        << QString() << true << QStringList {"-display", ":999"} << none + "(-display :999)" << false;
    // Qt's own reason, and the platforms it has, on the same line.
    QTest::newRow("a platform Qt does not have")
        << QString() << true << QStringList {"-platform", "nosuch"}
        << "Qt could not start its platform: Could not find the Qt platform plugin \"nosuch\"" << true;
}

void tst_EndToEnd::withoutADisplayOneLineAndFailure()
{
    QFETCH(QString, wayland);
    QFETCH(bool, waylandSupport);
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    QFETCH(bool, qtGoesOn);
    QTemporaryDir directory;
    QString program = QStringLiteral(PF_PAIRFIELD);
    if (!waylandSupport) {
        // A copy of the program whose qt.conf points Qt at plugins without Wayland's.
        program = directory.filePath(QStringLiteral("pairfield"));
        QVERIFY(QFile::copy(QStringLiteral(PF_PAIRFIELD), program));
        QVERIFY(QFile::setPermissions(program, QFile::permissions(QStringLiteral(PF_PAIRFIELD))));
        QVERIFY(QDir(directory.path()).mkpath(QStringLiteral("plugins/platforms")));
        QFile conf(directory.filePath(QStringLiteral("qt.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[Paths]\nPlugins=" + QFile::encodeName(directory.filePath(QStringLiteral("plugins")))
                   + "\n");
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name :
         {QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("QT_QPA_PLATFORM")})
        environment.remove(name);
    if (!wayland.isEmpty())
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), wayland);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QStringList lines
        = QString::fromLocal8Bit(process.readAllStandardError()).trimmed().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 1);
    if (qtGoesOn)
        QVERIFY2(lines.first().startsWith("pairfield: " + said), qPrintable(lines.first()));
    else
        QCOMPARE(lines.first(), "pairfield: " + said);
}

// --help and --version answer on standard output without a window, even without a display; Qt takes its own
// options; anything else is refused before a window opens.
void tst_EndToEnd::commandLineAnswersWithoutAWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("display");
    QTest::addColumn<QString>("output"); // where standard output goes, if not to the test
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("error"); // the end of standard error

    const QString refused = "\nTry 'pairfield --help' for more information.\n";
    QTest::newRow("--version") << QStringList {"--version"} << false << QString() << 0
                               << "pairfield " PF_VERSION << QString();
    QTest::newRow("--help") << QStringList {"--help"} << false << QString() << 0
                            << "Usage: pairfield [--help | --version]" << QString();
    QTest::newRow("after Qt's own option") << QStringList {"-platform", "offscreen", "--version"} << false
                                           << QString() << 0 << "pairfield " PF_VERSION << QString();
    QTest::newRow("to a full disk")
        << QStringList {"--version"} << false << "/dev/full" << 1 << QString()
        << "pairfield: cannot write to standard output: No space left on device\n";
    // Judged before any display is opened.
    for (const QString &unknown : QStringList {"--version=x", "-h", "--bogus"})
        QTest::newRow(qPrintable(unknown)) << QStringList {unknown} << false << QString() << 2 << QString()
                                           << "pairfield: unknown option '" + unknown + "'" + refused;
    for (const QString &operand : QStringList {"cards.txt", "-"})
        QTest::newRow(qPrintable(operand)) << QStringList {operand} << false << QString() << 2 << QString()
                                           << "pairfield: unexpected argument '" + operand + "'" + refused;
    QTest::newRow("after the options") << QStringList {"--", "--version"} << false << QString() << 2
                                       << QString() << "pairfield: unexpected argument '--version'" + refused;
    // Answered as the first of them asks, with a display or without.
    QTest::newRow("two answers at once") << QStringList {"--help", "--version"} << false << QString() << 0
                                         << "Usage: pairfield [--help | --version]" << QString();
    QTest::newRow("two answers, on a display") << QStringList {"--version", "--help"} << true << QString()
                                               << 0 << "pairfield " PF_VERSION << QString();
    for (const QString &option : QStringList {"-display", "-platform", "-geometry"})
        QTest::newRow(qPrintable(option + " without its value"))
            << QStringList {option} << false << QString() << 2 << QString()
            << "pairfield: option '" + option + "' needs a value" + refused;
    // Qt takes its platform's options in a pass of their own, first: a value that is another of Qt's options
    // would leave the option without one.
    for (const QStringList &line :
         {QStringList {"-style", "-qwindowtitle"}, QStringList {"-session", "-platform", "xcb"}})
        QTest::newRow(qPrintable(line.join(' ')))
            << line << false << QString() << 2 << QString()
            << "pairfield: option '" + line[0] + "' needs a value" + refused;
    // --help anywhere, whatever Qt options stand beside it, is answered before any display.
    for (const QStringList &line :
         {QStringList {"--help", "-display", ":99"}, QStringList {"-display", ":99", "--help"},
          QStringList {"-qwindowtitle", "--help"}})
        QTest::newRow(qPrintable(line.join(' ')))
            << line << false << QString() << 0 << "Usage: pairfield [--help | --version]" << QString();
    // The X11 platform's own options, which Qt takes there.
    for (const QString &option : QStringList {"-title", "-name", "--visual"})
        QTest::newRow(qPrintable(option)) << QStringList {option, "0x21", "--version"} << true << QString()
                                          << 0 << "pairfield " PF_VERSION << QString();
}

void tst_EndToEnd::commandLineAnswersWithoutAWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, display);
    QFETCH(QString, output);
    QFETCH(int, status);
    QFETCH(QString, firstLine);
    QFETCH(QString, error);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!display)
        environment.remove(QStringLiteral("DISPLAY"));
    process.setProcessEnvironment(environment);
    if (!output.isEmpty())
        process.setStandardOutputFile(output);
    process.start(QStringLiteral(PF_PAIRFIELD), arguments);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitCode(), status);
    const QStringList lines
        = QString::fromLocal8Bit(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    QCOMPARE(lines.first(), firstLine);
    for (const QString &line : lines)
        QVERIFY2(line.size() <= 80, qPrintable(line));
    // Qt may say something of the session first.
    const QString said = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(error.isEmpty() ? !said.contains("pairfield") : said.endsWith(error), qPrintable(said));
}

// Random actions against the real program; after each, what a player sees must make sense: each cell shows
// its back or its face, at most two unmatched faces are up (one when no pause runs), and the pairs found only
// grow until the next PLAY. PF_MONKEY_SEED replays a run; PF_MONKEY_ACTIONS sets its length.
void tst_EndToEnd::monkeyNeverBreaksWhatPlayersSee()
{
    const quint32 seed = qEnvironmentVariableIsSet("PF_MONKEY_SEED")
        ? quint32(qEnvironmentVariableIntValue("PF_MONKEY_SEED"))
        : quint32(QDateTime::currentMSecsSinceEpoch());
    const int actions = qEnvironmentVariableIsSet("PF_MONKEY_ACTIONS")
        ? qEnvironmentVariableIntValue("PF_MONKEY_ACTIONS")
        : 80;
    qInfo("monkey: PF_MONKEY_SEED=%u PF_MONKEY_ACTIONS=%d", seed, actions);
    QRandomGenerator random(seed);

    Game game;
    QVERIFY(game.waitForSetup());
    QVERIFY(game.play(int(random.bounded(10))));
    int pairsFound = 0;
    // The faces up on a board that have no partner up, and the pairs.
    const auto faces = [&](const QImage &now, QList<QImage> &unmatched) {
        int pairs = 0;
        for (int cell = 1; cell <= game.cells(); ++cell) {
            if (!game.showsFace(now, cell))
                continue;
            const QImage face = game.face(now, cell);
            if (unmatched.removeOne(face))
                ++pairs;
            else
                unmatched << face;
        }
        return pairs;
    };
    const auto look = [&](bool idle, const QString &after) {
        const QImage now = stillScreen();
        for (int cell = 1; cell <= game.cells(); ++cell)
            QVERIFY2(
                game.showsBack(now, cell) != game.showsFace(now, cell),
                qPrintable(QStringLiteral("cell %1 is neither back nor face after %2").arg(cell).arg(after)));
        QList<QImage> unmatched;
        const int pairs = faces(now, unmatched);
        QVERIFY2(unmatched.size() <= (idle ? 1 : 2),
                 qPrintable(QStringLiteral("%1 unmatched faces after %2").arg(unmatched.size()).arg(after)));
        if (idle) {
            QVERIFY2(pairs >= pairsFound,
                     qPrintable(QStringLiteral("pairs went from %1 to %2 after %3")
                                    .arg(pairsFound)
                                    .arg(pairs)
                                    .arg(after)));
            pairsFound = pairs;
        }
    };
    // Clicks held during a miss may start further misses, even on the same two cards over and over: the
    // game is idle once no two unmatched faces are up, as they are while a miss is on show.
    const auto settle = [&] {
        const bool idle = waitFor(
            [&] {
                QList<QImage> unmatched;
                faces(stillScreen(), unmatched);
                return unmatched.size() <= 1;
            },
            300000);
        QVERIFY2(idle, "the misses never ended");
    };
    const auto anyCell = [&] { return game.back(1 + int(random.bounded(game.cells()))).center(); };
    const QStringList keys {QStringLiteral("a"),        QStringLiteral("Tab"),  QStringLiteral("Escape"),
                            QStringLiteral("Left"),     QStringLiteral("Down"), QStringLiteral("F1"),
                            QStringLiteral("shift+Tab")};
    for (int action = 0; action < actions; ++action) {
        const quint32 kind = random.bounded(100);
        QString what;
        if (kind < 45) {
            what = QStringLiteral("click");
            clickAt(anyCell());
        } else if (kind < 55) {
            what = QStringLiteral("double-click");
            const QPoint at = anyCell();
            xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                     QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                     QStringLiteral("--delay"), QStringLiteral("50"), QStringLiteral("1")});
        } else if (kind < 65) {
            what = QStringLiteral("burst");
            for (int i = 0; i < 4; ++i)
                clickAt(anyCell());
        } else if (kind < 75) {
            what = QStringLiteral("click on empty space");
            clickAt(game.gameOrigin() + QPoint(int(random.bounded(10, 690)), int(random.bounded(430, 500))));
        } else if (kind < 90) {
            what = QStringLiteral("key ") + keys.at(random.bounded(keys.size()));
            xdotool({QStringLiteral("key"), what.mid(4)});
        } else if (kind < 93) {
            what = QStringLiteral("PLAY");
            // Clicks queued meanwhile come first, and each miss among them is a pause of its own: a long
            // queue takes longer than the wait for a board, so it is waited out before PLAY.
            settle();
            QVERIFY(game.replay(int(random.bounded(10))));
            pairsFound = 0;
        } else {
            what = QStringLiteral("waiting out the pauses");
            settle();
            look(true, what);
            continue;
        }
        look(false, QStringLiteral("action %1 (%2)").arg(action).arg(what));
    }
    settle();
    look(true, QStringLiteral("the last action"));
    QCOMPARE(game.process().state(), QProcess::Running);
    clickAt(game.quitButton());
    QVERIFY(game.process().waitForFinished(20000));
    QCOMPARE(game.process().exitCode(), 0);
}

QTEST_MAIN(tst_EndToEnd)
#include "tst_e2e.moc"
