#include "fakes/fakes.h"
#include "rules/game.h"
#include "rules/pause.h"

#include <QTest>

#include <ctime>
#include <random>

namespace {

// A dealt board with known faces and a known starter, played with a fake clock.
struct Board
{
    Board(const QList<int> &faces, int starter) : view(int(faces.size())), game(view, random, clock)
    {
        for (int cell = 1; cell <= faces.size(); ++cell)
            view.pictures.at(size_t(cell)) = faces.at(cell - 1);
        game.state().cellCount = int(faces.size());
        game.state().currentPlayer = starter;
    }

    void click(const QList<int> &cells)
    {
        for (int cell : cells)
            game.imgFront_Click(cell);
    }

    fakes::FakeView view;
    fakes::ScriptedRandom random;
    fakes::FakeClock clock;
    rules::Game game;
};

double processorSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

} // namespace

class tst_Turn : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clickOnFaceUpCellCountsNoPick();
    void pairScoresForTheCurrentPlayerAndStaysUp_data();
    void pairScoresForTheCurrentPlayerAndStaysUp();
    void missIsCoveredAfterThePause();
    void gameEndsWithTheWinnerText_data();
    void gameEndsWithTheWinnerText();
    void randomPlayKeepsTheInvariants();
    void pauseOfNoTimeReturnsAtOnce_data();
    void pauseOfNoTimeReturnsAtOnce();
    void realPauseHoldsTheThreadButNotTheProcessor();
};

void tst_Turn::clickOnFaceUpCellCountsNoPick()
{
    Board board({1, 2, 1, 2}, 0);
    board.click({1});
    const QStringList log = board.view.log;
    board.click({1});
    QCOMPARE(board.view.log, log);
    QCOMPARE(int(board.game.state().picksThisTurn), 1);
    QCOMPARE(board.view.players, (std::array<QString, 2> {}));
}

void tst_Turn::pairScoresForTheCurrentPlayerAndStaysUp_data()
{
    QTest::addColumn<int>("starter");
    QTest::addColumn<QStringList>("scores");
    QTest::addColumn<QString>("nextTurn");
    QTest::newRow("player 0") << 0 << QStringList {"1", "0"} << "B";
    QTest::newRow("player 1") << 1 << QStringList {"0", "1"} << "A";
}

void tst_Turn::pairScoresForTheCurrentPlayerAndStaysUp()
{
    QFETCH(int, starter);
    QFETCH(QStringList, scores);
    QFETCH(QString, nextTurn);

    Board board({1, 2, 2, 1, 3, 3, 4, 4}, starter);
    board.click({1, 4});

    QCOMPARE(
        board.view.log,
        QStringList({"hideBack 1", "showFace 1", "repaintFace 1", "hideBack 4", "showFace 4", "repaintFace 4",
                     "player0 A", "player1 B", "score0 " + scores[0], "score1 " + scores[1]}));
    QCOMPARE(board.clock.now, 1000.0); // no pause after a pair
    QCOMPARE(board.view.turn, nextTurn);
    QCOMPARE(int(board.game.state().currentPlayer), 1 - starter);
    QCOMPARE(int(board.game.state().picksThisTurn), 0);
    QVERIFY(!board.view.winnerShown);
}

void tst_Turn::missIsCoveredAfterThePause()
{
    Board board({1, 2, 1, 2}, 1);
    double pausedFor = 0;
    board.clock.onSleep = [&] {
        // Both faces stay up for the whole pause.
        QVERIFY(board.view.face[1] && board.view.face[2] && !board.view.back[1] && !board.view.back[2]);
        pausedFor = board.clock.now - 1000.0;
    };
    board.click({1, 2});

    QVERIFY(pausedFor >= 2.0);
    QVERIFY(pausedFor < 2.02);
    QCOMPARE(board.view.log.mid(6),
             QStringList({"showBack 1", "hideFace 1", "showBack 2", "hideFace 2", "player0 A", "player1 B",
                          "score0 0", "score1 0"}));
    QCOMPARE(board.view.turn, QStringLiteral("A"));
    QCOMPARE(board.game.state().score, (std::array<runtime::Byte, 2> {0, 0}));
    // A click that arrives after the pause meets the covered board and the passed turn.
    board.click({1});
    QCOMPARE(int(board.game.state().picksThisTurn), 1);
    QCOMPARE(int(board.game.state().firstPick), 1);
}

void tst_Turn::gameEndsWithTheWinnerText_data()
{
    QTest::addColumn<QList<int>>("faces");
    QTest::addColumn<int>("starter");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QString>("winner");
    QTest::addColumn<QString>("lastTurn");

    const QList<int> eight {1, 2, 3, 4, 1, 2, 3, 4};
    // Player 1 starts: pair, miss by 0, pair, pair by 0, pair: 3 to 1 for player 1.
    const QList<int> threeToOne {1, 5, 2, 3, 2, 6, 3, 7, 4, 8};
    QTest::newRow("player 1 wins") << eight << 1 << QStringList {"A", "B"} << threeToOne
                                   << "Congratulations B !"
                                   << "A";
    QTest::newRow("player 0 wins") << eight << 0 << QStringList {"A", "B"} << threeToOne
                                   << "Congratulations A !"
                                   << "B";
    QTest::newRow("empty winner name")
        << eight << 1 << QStringList {"A", ""} << threeToOne << "Congratulations  !"
        << "A";
    QTest::newRow("tie on 4 cells") << QList<int> {1, 2, 1, 2} << 0 << QStringList {"A", "B"}
                                    << QList<int> {1, 3, 2, 4} << "It's a tie.  Congratulations to you both!"
                                    << "A";
    QTest::newRow("markup stays text")
        << eight << 0 << QStringList {"<b>x</b>", "B"} << threeToOne << "Congratulations <b>x</b> !"
        << "B";
}

void tst_Turn::gameEndsWithTheWinnerText()
{
    QFETCH(QList<int>, faces);
    QFETCH(int, starter);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, clicks);
    QFETCH(QString, winner);
    QFETCH(QString, lastTurn);

    Board board(faces, starter);
    board.view.names = {names[0], names[1]};
    board.click(clicks.mid(0, clicks.size() - 1));
    QVERIFY(!board.view.winnerShown);
    board.click({clicks.last()});

    QVERIFY(board.view.winnerShown);
    QCOMPARE(board.view.winner, winner);
    // The turn passes after the last pair too.
    QCOMPARE(board.view.turn, lastTurn);
}

// Many random games on random boards: whatever is clicked, the board and the score stay consistent.
void tst_Turn::randomPlayKeepsTheInvariants()
{
    std::mt19937 chance(20261207);
    for (int game = 0; game < 300; ++game) {
        const int cells = 4 * std::uniform_int_distribution(1, 10)(chance);
        fakes::FakeView view(cells);
        runtime::SystemRandom random;
        fakes::FakeClock clock;
        rules::Game rules(view, random, clock);
        rules.state().cellCount = cells;
        rules.deal();

        for (int click = 0; click < 400 && !view.winnerShown; ++click) {
            rules.imgFront_Click(std::uniform_int_distribution(1, cells)(chance));
            const rules::GameState &s = rules.state();
            QVERIFY(s.picksThisTurn == 0 || s.picksThisTurn == 1);
            QVERIFY(s.currentPlayer == 0 || s.currentPlayer == 1);
            int facesUp = 0;
            for (int cell = 1; cell <= cells; ++cell) {
                QVERIFY(view.back[size_t(cell)] != view.face[size_t(cell)]);
                facesUp += view.face[size_t(cell)];
            }
            const int found = s.score[0] + s.score[1];
            QVERIFY(found <= cells / 2);
            QCOMPARE(facesUp, 2 * found + s.picksThisTurn);
            QCOMPARE(view.winnerShown, found == cells / 2);
        }
    }
}

void tst_Turn::pauseOfNoTimeReturnsAtOnce_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<bool>("sleeps");
    QTest::newRow("0") << 0.0 << false;
    QTest::newRow("-1") << -1.0 << false;
    QTest::newRow("0.005") << 0.005 << true;
}

void tst_Turn::pauseOfNoTimeReturnsAtOnce()
{
    QFETCH(double, seconds);
    QFETCH(bool, sleeps);
    fakes::FakeClock clock;
    rules::delay(clock, seconds);
    QCOMPARE(clock.now > 1000.0, sleeps);
}

void tst_Turn::realPauseHoldsTheThreadButNotTheProcessor()
{
    runtime::SystemClock clock;
    const double processorBefore = processorSeconds();
    const double before = clock.monotonicSeconds();
    rules::delay(clock, 2);
    const double elapsed = clock.monotonicSeconds() - before;
    const double processor = processorSeconds() - processorBefore;

    QVERIFY2(elapsed >= 2.0, qPrintable(QString::number(elapsed)));
    QVERIFY2(processor < 0.3, qPrintable(QString::number(processor)));
}

QTEST_GUILESS_MAIN(tst_Turn)
#include "tst_turn.moc"
