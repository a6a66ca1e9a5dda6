#include "controls/designkit.h"
#include "controls/windowing.h"
#include "fakes/fakes.h"
#include "pictures/imageswindow.h"
#include "rules/boardgeometry.h"
#include "runtime/program.h"
#include "windows/forms.h"
#include "windows/gamewindow.h"
#include "windows/startupwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <QTimer>
#include <map>

namespace {

const QColor yellow(0xFF, 0xFF, 0x00), green(0x00, 0xC0, 0x00), blue(0x00, 0x00, 0xFF);

} // namespace

class tst_GameWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { controls::installFontSubstitutes(); }
    void init();
    void cleanup();

    void designOfTheWindow();
    void onlyQuitTakesTheFocus();
    void layoutPlacesEveryCell_data();
    void layoutPlacesEveryCell();
    void backOverTheDesignFaceTakesTheClick_data();
    void backOverTheDesignFaceTakesTheClick();
    void clicksPlayAWholeGame();
    void namesShowAsPlainText_data();
    void namesShowAsPlainText();
    void secondPlayStartsAFreshGame();
    void closedGameWindowComesBackFresh();
    void closedSetupWindowKeepsTheNames();
    void quitEndsTheProgram_data();
    void quitEndsTheProgram();
    void missingPictureEndsThePlayWithItsReport();

private:
    windows::StartupWindow &startup() { return m_forms->startup.get(); }
    windows::GameWindow &play(int option = 5);
    void clickCell(int cell);

    std::unique_ptr<fakes::ScriptedRandom> m_random;
    std::unique_ptr<fakes::FakeClock> m_clock;
    std::unique_ptr<windows::Forms> m_forms;
    QStringList m_reports;
};

void tst_GameWindow::init()
{
    // Deals in a script: every draw 0 puts pictures "1 2 ... n/2" twice over and lets player 0 start.
    m_random = std::make_unique<fakes::ScriptedRandom>(QList<float>(41 * 3, 0.0f));
    m_clock = std::make_unique<fakes::FakeClock>();
    m_forms = std::make_unique<windows::Forms>(
        windows::Forms::Services {QByteArray(PF_FACES_DIR), *m_random, *m_clock});
    controls::Show(startup());
    m_reports.clear();
    runtime::setFailureReporter(fakes::recordFailures(m_reports));
}

void tst_GameWindow::cleanup()
{
    QCOMPARE(m_reports, QStringList());
    m_forms.reset();
    runtime::clearEnd();
    runtime::setFailureReporter({});
}

windows::GameWindow &tst_GameWindow::play(int option)
{
    startup().numCells.at(size_t(option))->click();
    startup().cmdPlay->click();
    windows::GameWindow &game = m_forms->game.get();
    [&] { QVERIFY(QTest::qWaitForWindowExposed(&game)); }();
    return game;
}

// A real click through the window system at the centre of the cell's back.
void tst_GameWindow::clickCell(int cell)
{
    windows::GameWindow &game = m_forms->game.get();
    const QPoint centre = game.imgFront(cell).geometry().center();
    QTest::mouseClick(game.windowHandle(), Qt::LeftButton, {}, centre);
}

void tst_GameWindow::designOfTheWindow()
{
    startup().cmdPlay->click();
    windows::GameWindow &game = m_forms->game.get();
    QCOMPARE(game.windowTitle(), QStringLiteral("Pairfield"));
    QCOMPARE(game.size(), QSize(792, 566));
    QCOMPARE(game.palette().color(QPalette::Window), QColor(0x40, 0x40, 0x40));

    QCOMPARE(game.cmdQuit->text(), QStringLiteral("QUIT"));
    QCOMPARE(game.cmdQuit->geometry(), QRect(712, 24, 73, 29));
    QCOMPARE(game.cmdQuit->font().pointSizeF(), 12.0);

    struct Expected
    {
        QLabel *label;
        QRect place;
        QColor colour;
        double points;
    };
    const Expected labels[] = {
        {game.lblTurn, QRect(696, 128, 89, 25), yellow, 12},
        {game.Label1, QRect(696, 104, 89, 17), yellow, 12},
        {game.lblPlayers[0], QRect(712, 192, 73, 25), green, 12},
        {game.lblPlayers[1], QRect(712, 264, 73, 25), blue, 12},
        {game.lblScore[0], QRect(712, 224, 81, 33), green, 12},
        {game.lblScore[1], QRect(712, 296, 81, 33), blue, 12},
        {game.lblWinner, QRect(176, 504, 481, 49), blue, 18},
    };
    for (const Expected &expected : labels) {
        QCOMPARE(expected.label->geometry(), expected.place);
        QCOMPARE(expected.label->palette().color(QPalette::WindowText), expected.colour);
        QCOMPARE(expected.label->font().pointSizeF(), expected.points);
        QCOMPARE(expected.label->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(expected.label->textFormat(), Qt::PlainText);
    }
    QCOMPARE(game.Label1->text(), QStringLiteral("Turn to Play:"));
    QVERIFY(game.lblWinner->isHidden());
    QVERIFY(game.lblWinner->text().isEmpty());

    // The design face stays at its place, with no picture, and no face takes clicks.
    QCOMPARE(game.imgFractal(0).geometry(), QRect(40, 32, 65, 65));
    QVERIFY(!game.imgFractal(0).picture());
    QVERIFY(!game.imgFractal(0).isHidden());
    QVERIFY(game.imgFractal(0).testAttribute(Qt::WA_TransparentForMouseEvents));
    QCOMPARE(game.imgFront(1).picture()->image().size(), QSize(48, 36));
    for (int cell = 2; cell <= 24; ++cell)
        QCOMPARE(game.imgFront(cell).picture(), game.imgFront(1).picture()); // one card back for all
}

void tst_GameWindow::onlyQuitTakesTheFocus()
{
    windows::GameWindow &game = play();
    QVERIFY(QTest::qWaitForWindowActive(&game));
    QCOMPARE(QApplication::focusWidget(), game.cmdQuit);
    const auto children = game.findChildren<QWidget *>();
    for (QWidget *child : children)
        QCOMPARE(child->focusPolicy() != Qt::NoFocus, child == game.cmdQuit);
}

void tst_GameWindow::layoutPlacesEveryCell_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("firstLeft");

    QTest::newRow("4 cells") << 0 << 4600; // margin 4.5 rounds to 4
    QTest::newRow("8 cells") << 1 << 4600;
    QTest::newRow("12 cells") << 2 << 4600; // margin 3.5 rounds to 4
    QTest::newRow("16 cells") << 3 << 3600;
    QTest::newRow("20 cells") << 4 << 2600; // margin 2.5 rounds to 2
    QTest::newRow("24 cells") << 5 << 2600;
    QTest::newRow("28 cells") << 6 << 2600; // margin 1.5 rounds to 2
    QTest::newRow("32 cells") << 7 << 1600;
    QTest::newRow("36 cells") << 8 << 600; // margin 0.5 rounds to 0
    QTest::newRow("40 cells") << 9 << 600;
}

void tst_GameWindow::layoutPlacesEveryCell()
{
    QFETCH(int, option);
    QFETCH(int, firstLeft);
    windows::GameWindow &game = play(option);

    const int cells = 4 * (option + 1), columns = cells / 4;
    QCOMPARE(int(game.state().cellCount), cells);
    QCOMPARE(int(game.state().columnCount), columns);
    for (int row = 1; row <= 4; ++row)
        for (int column = 1; column <= columns; ++column) {
            const int cell = rules::cellAt(row, column, columns);
            const float left = float(firstLeft + 1000 * (column - 1)), top = float(480 + 1440 * (row - 1));
            QCOMPARE(game.imgFront(cell).Left(), left);
            QCOMPARE(game.imgFront(cell).Top(), top);
            QCOMPARE(game.imgFractal(cell).Left(), left);
            QCOMPARE(game.imgFractal(cell).Top(), top);
            QCOMPARE(game.imgFront(cell).pos(), QPoint(qRound(left / 15), qRound(top / 15)));
            QVERIFY(game.imgFront(cell).isVisible());
            QVERIFY(game.imgFractal(cell).isHidden());
            QVERIFY(game.imgFractal(cell).picture());
        }
    QVERIFY(!game.imgFront.exists(cells + 1));
    QVERIFY(!game.imgFractal.exists(cells + 1));
    QCOMPARE(game.imgFractal(0).Left(), 600.0f);

    // Each of the library's pictures 1..cells/2 lies on exactly two faces, as the very same object.
    std::map<quint32, int> counts, expected;
    for (int cell = 1; cell <= cells; ++cell)
        ++counts[game.facePicture(cell)];
    for (int picture = 1; picture <= cells / 2; ++picture)
        expected[m_forms->images->picFractals(picture).picture()->Handle()] = 2;
    QCOMPARE(counts, expected);
}

void tst_GameWindow::backOverTheDesignFaceTakesTheClick_data()
{
    QTest::addColumn<int>("option");
    QTest::newRow("36 cells") << 8;
    QTest::newRow("40 cells") << 9;
}

void tst_GameWindow::backOverTheDesignFaceTakesTheClick()
{
    QFETCH(int, option);
    windows::GameWindow &game = play(option);
    QVERIFY(game.imgFractal(0).geometry().contains(game.imgFront(1).geometry()));
    clickCell(1);
    QVERIFY(game.imgFront(1).isHidden());
    QVERIFY(game.imgFractal(1).isVisible());
    QCOMPARE(int(game.state().picksThisTurn), 1);
}

void tst_GameWindow::clicksPlayAWholeGame()
{
    windows::GameWindow &game = play(0); // 4 cells dealt "1 2 1 2", player 0 to start
    QCOMPARE(game.lblTurn->text(), QStringLiteral("A"));
    QVERIFY(game.lblPlayers[0]->text().isEmpty());

    clickCell(1);
    clickCell(2); // a miss: shown for the pause, then covered again
    QVERIFY(game.imgFractal(1).isVisible() && game.imgFractal(2).isVisible());
    // A click and closing a window during the miss wait for it, and come in their order.
    clickCell(3);
    QVERIFY(!startup().close());
    QVERIFY(game.imgFront(3).isVisible() && startup().isVisible());
    QCOMPARE(game.lblTurn->text(), QStringLiteral("A"));
    m_clock->advance(2);
    QVERIFY(game.imgFront(1).isVisible() && game.imgFront(2).isVisible());
    QVERIFY(game.imgFractal(1).isHidden() && game.imgFractal(2).isHidden());
    QVERIFY(game.imgFractal(3).isVisible()); // B's first pick
    QVERIFY(startup().isHidden());
    QCOMPARE(game.lblScore[0]->text(), QStringLiteral("0"));
    QCOMPARE(game.lblTurn->text(), QStringLiteral("B"));

    clickCell(1); // player 1 finds pair 1
    clickCell(2);
    clickCell(4); // player 0 finds pair 2
    QCOMPARE(game.lblPlayers[0]->text(), QStringLiteral("A"));
    QCOMPARE(game.lblPlayers[1]->text(), QStringLiteral("B"));
    QCOMPARE(game.lblScore[0]->text(), QStringLiteral("1"));
    QCOMPARE(game.lblScore[1]->text(), QStringLiteral("1"));
    QVERIFY(game.lblWinner->isVisible());
    QCOMPARE(game.lblWinner->text(), QStringLiteral("It's a tie.  Congratulations to you both!"));
    QCOMPARE(game.lblTurn->text(), QStringLiteral("B"));
    for (int cell = 1; cell <= 4; ++cell)
        QVERIFY(game.imgFractal(cell).isVisible() && game.imgFront(cell).isHidden());
}

void tst_GameWindow::namesShowAsPlainText_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("bold markup") << "<b>x</b>";
    QTest::newRow("image markup") << "<img src=/etc/passwd>";
    QTest::newRow("entity") << "&amp; &lt;";
    QTest::newRow("100000 characters") << QString(100000, QLatin1Char('W'));
}

void tst_GameWindow::namesShowAsPlainText()
{
    QFETCH(QString, name);
    startup().txtName[0]->setText(name);
    windows::GameWindow &game = play(0);
    QElapsedTimer timer;
    timer.start();
    clickCell(1);
    clickCell(3);
    clickCell(2);
    clickCell(4);
    game.repaint();
    QVERIFY2(timer.elapsed() < 10000, "a long name must not hold up the game");
    QCOMPARE(game.lblPlayers[0]->text(), name);
    QCOMPARE(game.lblTurn->text(), name);
    for (QLabel *label : {game.lblTurn, game.lblPlayers[0], game.lblPlayers[1], game.lblWinner})
        QCOMPARE(label->textFormat(), Qt::PlainText);
}

void tst_GameWindow::secondPlayStartsAFreshGame()
{
    windows::GameWindow &game = play(5);
    const quint32 libraryPicture = m_forms->images->picFractals(1).picture()->Handle();
    int partner = 2;
    while (game.facePicture(partner) != game.facePicture(1))
        ++partner;
    clickCell(1);
    clickCell(partner);
    QCOMPARE(int(game.state().score[0]), 1);

    // PLAY during a miss waits for it.
    clickCell(2);
    clickCell(3);
    windows::GameWindow &again = play(1);
    QCOMPARE(&again, &game);
    QVERIFY(game.imgFront.exists(24));
    m_clock->advance(2);
    const rules::GameState &s = game.state();
    QCOMPARE(int(s.cellCount), 8);
    QCOMPARE(int(s.score[0]) + int(s.score[1]) + int(s.picksThisTurn), 0);
    QVERIFY(!game.imgFront.exists(9));
    for (int cell = 1; cell <= 8; ++cell)
        QVERIFY(game.imgFront(cell).isVisible() && game.imgFractal(cell).isHidden());
    QCOMPARE(game.imgFront(1).Left(), 4600.0f);
    for (QLabel *label : {game.lblPlayers[0], game.lblPlayers[1], game.lblScore[0], game.lblScore[1]})
        QVERIFY(label->text().isEmpty());
    QVERIFY(game.lblWinner->isHidden());
    QCOMPARE(game.lblTurn->text(), QStringLiteral("A"));
    // The library is not read again: its pictures are the same objects.
    QCOMPARE(m_forms->images->picFractals(1).picture()->Handle(), libraryPicture);
    QCOMPARE(m_random->log.count(QStringLiteral("seed")), 2);
}

void tst_GameWindow::closedGameWindowComesBackFresh()
{
    windows::GameWindow &game = play(0);
    clickCell(1);
    game.close();
    QVERIFY(game.isHidden());
    QVERIFY(!runtime::hasEnded());
    play(0);
    QVERIFY(game.isVisible());
    QCOMPARE(int(game.state().picksThisTurn), 0);
    QVERIFY(game.imgFront(1).isVisible());
}

void tst_GameWindow::closedSetupWindowKeepsTheNames()
{
    windows::GameWindow &game = play(0);
    startup().txtName[1]->setText(QStringLiteral("Bea"));
    startup().close();
    QVERIFY(startup().isHidden());
    QVERIFY(game.isVisible());
    clickCell(1);
    clickCell(2);
    m_clock->advance(2);
    QCOMPARE(game.lblPlayers[1]->text(), QStringLiteral("Bea"));
    QCOMPARE(game.lblTurn->text(), QStringLiteral("Bea"));

    // Closing the last window ends the program's event loop with status 0.
    QTimer::singleShot(0, &game, [&game] { game.close(); });
    QTimer::singleShot(10000, &game, [] { QCoreApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!runtime::hasEnded());
}

void tst_GameWindow::quitEndsTheProgram_data()
{
    QTest::addColumn<int>("key"); // 0 for a mouse click
    QTest::addColumn<bool>("duringAMiss");
    QTest::newRow("click") << 0 << false;
    QTest::newRow("space") << int(Qt::Key_Space) << false;
    QTest::newRow("return") << int(Qt::Key_Return) << false;
    QTest::newRow("click during a miss") << 0 << true;
    QTest::newRow("space during a miss") << int(Qt::Key_Space) << true;
}

void tst_GameWindow::quitEndsTheProgram()
{
    QFETCH(int, key);
    QFETCH(bool, duringAMiss);
    windows::GameWindow &game = play(0);
    if (duringAMiss) {
        clickCell(1);
        clickCell(2);
    }
    if (key == 0)
        QTest::mouseClick(game.cmdQuit, Qt::LeftButton);
    else
        QTest::keyClick(game.cmdQuit, Qt::Key(key));
    QCOMPARE(runtime::hasEnded(), !duringAMiss);
    m_clock->advance(2);
    QVERIFY(runtime::hasEnded());
    QCOMPARE(runtime::exitStatus(), 0);
    QVERIFY(game.isHidden());
    QVERIFY(startup().isHidden());
}

void tst_GameWindow::missingPictureEndsThePlayWithItsReport()
{
    QTemporaryDir empty;
    m_forms = std::make_unique<windows::Forms>(
        windows::Forms::Services {QFile::encodeName(empty.path()), *m_random, *m_clock});
    controls::Show(startup());
    startup().cmdPlay->click();
    QCOMPARE(
        m_reports,
        QStringList {QStringLiteral("Cannot load picture \"%1/F1.gif\": file not found").arg(empty.path())});
    m_reports.clear();
    QVERIFY(runtime::hasEnded());
    QCOMPARE(runtime::exitStatus(), 1);
    // The failure stopped the layout before any cell was made.
    QVERIFY(!m_forms->game->imgFractal.exists(1));
}

QTEST_MAIN(tst_GameWindow)
#include "tst_gamewindow.moc"
