#include "rules/boardgeometry.h"

#include <QTest>

// Which cell stands at which row and column: what the layout, the cursor, the cards' names and the end-to-end
// tests all go by.
class tst_BoardGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cellsLieRowByRow_data();
    void cellsLieRowByRow();
};

void tst_BoardGeometry::cellsLieRowByRow_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("the first") << 1 << 6 << 1 << 1;
    QTest::newRow("the end of row 1") << 6 << 6 << 1 << 6;
    QTest::newRow("the start of row 2") << 7 << 6 << 2 << 1;
    QTest::newRow("one column: a row each") << 3 << 1 << 3 << 1;
    QTest::newRow("8 cards, the last") << 8 << 2 << 4 << 2;
    QTest::newRow("40 cards, the last") << 40 << 10 << 4 << 10;
    QTest::newRow("40 cards, row 3") << 23 << 10 << 3 << 3;
}

void tst_BoardGeometry::cellsLieRowByRow()
{
    QFETCH(int, cell);
    QFETCH(int, columns);
    QFETCH(int, row);
    QFETCH(int, column);
    QCOMPARE(rules::placeOf(cell, columns), (rules::CellPlace {row, column}));
    QCOMPARE(rules::cellAt(row, column, columns), cell);
}

QTEST_GUILESS_MAIN(tst_BoardGeometry)
#include "tst_boardgeometry.moc"
