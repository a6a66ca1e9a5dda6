#include "fakes/fakes.h"
#include "rules/game.h"

#include <QTest>

#include <cmath>
#include <map>

namespace {

constexpr float justBelowOne = 0x1.fffffep-1f; // the largest float below 1
constexpr float justBelowHalf = 0x1.fffffep-2f;

// Deals a board of `cells` with a scripted source: the picks of the cells, then the starting player's draw.
struct ScriptedDeal
{
    ScriptedDeal(int cells, QList<float> script)
        : view(cells), random(std::move(script)), game(view, random, clock)
    {
        game.state().cellCount = cells;
        game.deal();
    }

    fakes::FakeView view;
    fakes::ScriptedRandom random;
    fakes::FakeClock clock;
    rules::Game game;
};

QList<float> repeated(float value, int count)
{
    return QList<float>(count, value);
}

// How often each picture was dealt on a board of `cells`.
std::map<int, int> pictureCounts(const fakes::FakeView &view, int cells)
{
    std::map<int, int> counts;
    for (int cell = 1; cell <= cells; ++cell)
        ++counts[view.pictures.at(size_t(cell))];
    return counts;
}

} // namespace

class tst_Deal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scriptedDrawsGiveTheirCells_data();
    void scriptedDrawsGiveTheirCells();
    void everyPictureInPlayLiesOnTwoCells_data();
    void everyPictureInPlayLiesOnTwoCells();
    void lastDrawPicksTheStarter_data();
    void lastDrawPicksTheStarter();
    void seedsOnceThenDrawsOncePerCellAndOnceMore_data();
    void seedsOnceThenDrawsOncePerCellAndOnceMore();
    void everyPictureLandsOnEveryCellAlike();
};

void tst_Deal::scriptedDrawsGiveTheirCells_data()
{
    QTest::addColumn<int>("cells");
    QTest::addColumn<QList<float>>("draws");
    QTest::addColumn<QString>("faces");

    // r = 0 always takes the front of the deck; 3 and 4 become pictures 1 and 2.
    QTest::newRow("4 cells, r = 0") << 4 << repeated(0.0f, 4) << QStringLiteral("1 2 1 2");
    // r just below 1 always takes position n, never n + 1.
    QTest::newRow("4 cells, r below 1") << 4 << repeated(justBelowOne, 4) << QStringLiteral("2 1 2 1");
    // In single precision r * 40 + 1 would round up to 41; the deal computes in double.
    QStringList countdown;
    for (int value = 40; value >= 1; --value)
        countdown << QString::number(value > 20 ? value - 20 : value);
    QTest::newRow("40 cells, r below 1")
        << 40 << repeated(justBelowOne, 40) << countdown.join(QLatin1Char(' '));
    // 0.375 * 8 + 1 draws position 4, whose value 4 is half the board and keeps its number; 5 becomes 1.
    QTest::newRow("8 cells, half keeps its number")
        << 8 << (QList<float> {0.375f} + repeated(0.0f, 7)) << QStringLiteral("4 1 3 2 1 4 3 2");
}

void tst_Deal::scriptedDrawsGiveTheirCells()
{
    QFETCH(int, cells);
    QFETCH(QList<float>, draws);
    QFETCH(QString, faces);

    ScriptedDeal deal(cells, draws << 0.0f);
    QCOMPARE(deal.view.faces(cells), faces);
}

void tst_Deal::everyPictureInPlayLiesOnTwoCells_data()
{
    QTest::addColumn<int>("cells");
    for (int cells = 4; cells <= 40; cells += 4)
        QTest::addRow("%d cells", cells) << cells;
}

void tst_Deal::everyPictureInPlayLiesOnTwoCells()
{
    QFETCH(int, cells);
    fakes::FakeView view(40);
    runtime::SystemRandom random;
    fakes::FakeClock clock;
    rules::Game game(view, random, clock);
    game.state().cellCount = cells;
    game.deal();

    std::map<int, int> expected;
    for (int picture = 1; picture <= cells / 2; ++picture)
        expected[picture] = 2;
    QCOMPARE(pictureCounts(view, cells), expected);
    // Cells beyond the board are never dealt.
    for (int cell = cells + 1; cell <= 40; ++cell)
        QCOMPARE(view.pictures.at(size_t(cell)), 0);
}

void tst_Deal::lastDrawPicksTheStarter_data()
{
    QTest::addColumn<float>("lastDraw");
    QTest::addColumn<QString>("name0");
    QTest::addColumn<QString>("name1");
    QTest::addColumn<int>("starter");
    QTest::addColumn<QString>("turn");

    QTest::newRow("0") << 0.0f << "A"
                       << "B" << 0 << "A";
    QTest::newRow("just below 0.5") << justBelowHalf << "A"
                                    << "B" << 0 << "A";
    QTest::newRow("0.5") << 0.5f << "A"
                         << "B" << 1 << "B";
    QTest::newRow("just below 1") << justBelowOne << "A"
                                  << "B" << 1 << "B";
    QTest::newRow("empty name of the starter") << 0.75f << "Ann"
                                               << "" << 1 << "";
    QTest::newRow("both names empty") << 0.25f << ""
                                      << "" << 0 << "";
}

void tst_Deal::lastDrawPicksTheStarter()
{
    QFETCH(float, lastDraw);
    QFETCH(QString, name0);
    QFETCH(QString, name1);
    QFETCH(int, starter);
    QFETCH(QString, turn);

    fakes::FakeView view(4);
    view.names = {name0, name1};
    fakes::ScriptedRandom random(repeated(0.0f, 4) << lastDraw);
    fakes::FakeClock clock;
    rules::Game game(view, random, clock);
    game.state().cellCount = 4;
    view.turn = QStringLiteral("not written");
    game.deal();

    QCOMPARE(int(game.state().currentPlayer), starter);
    QCOMPARE(view.turn, turn);
}

void tst_Deal::seedsOnceThenDrawsOncePerCellAndOnceMore_data()
{
    QTest::addColumn<int>("cells");
    QTest::newRow("4 cells") << 4;
    QTest::newRow("40 cells") << 40;
}

void tst_Deal::seedsOnceThenDrawsOncePerCellAndOnceMore()
{
    QFETCH(int, cells);
    ScriptedDeal deal(cells, repeated(0.0f, cells + 1));
    QCOMPARE(deal.random.log,
             QStringList {QStringLiteral("seed")} + QStringList(cells + 1, QStringLiteral("draw")));
}

// Over many deals every picture must land on every cell about equally often: a chi-square test on the
// table of cells against pictures, with a bound that a fair shuffle passes except once in millions of
// runs and that the usual biased shuffles (drawing from the whole deck each time, off-by-one ranges) fail.
void tst_Deal::everyPictureLandsOnEveryCellAlike()
{
    constexpr int cells = 12;
    constexpr int pictures = cells / 2;
    constexpr int deals = 30000;
    fakes::FakeView view(cells);
    runtime::SystemRandom random;
    fakes::FakeClock clock;
    rules::Game game(view, random, clock);
    game.state().cellCount = cells;

    std::array<std::array<int, pictures + 1>, cells + 1> seen {};
    for (int round = 0; round < deals; ++round) {
        game.deal();
        for (int cell = 1; cell <= cells; ++cell)
            ++seen.at(size_t(cell)).at(size_t(view.pictures.at(size_t(cell))));
    }

    const double expected = deals * 2.0 / cells;
    double chiSquare = 0;
    for (int cell = 1; cell <= cells; ++cell)
        for (int picture = 1; picture <= pictures; ++picture)
            chiSquare += std::pow(seen[size_t(cell)][size_t(picture)] - expected, 2) / expected;
    // (12 - 1) x (6 - 1) = 55 degrees of freedom: the mean is 55; 130 lies far out in the tail.
    QVERIFY2(chiSquare < 130, qPrintable(QStringLiteral("chi-square %1").arg(chiSquare)));
}

QTEST_GUILESS_MAIN(tst_Deal)
#include "tst_deal.moc"
