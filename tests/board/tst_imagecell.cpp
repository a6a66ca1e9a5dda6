#include "board/imagecell.h"
#include "controls/controlarray.h"
#include "fakes/fakes.h"
#include "runtime/failure.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

class tst_ImageCell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadCopiesTheDesignElementAsItStandsNow();
    void loadingAnIndexTwiceFails();
    void imageCellReportsClicksOnlyWhileVisible();
};

void tst_ImageCell::loadCopiesTheDesignElementAsItStandsNow()
{
    QWidget window;
    auto *design = new board::ImageCell(&window, 600, 480, 720, 540);
    auto picture = std::make_shared<const pictures::PictureObject>(QImage(48, 36, QImage::Format_ARGB32));
    design->setPicture(picture);
    controls::ControlArray<board::ImageCell> cells(1, design);
    window.show();

    design->setLeft(4600);
    board::ImageCell &copy = cells.Load(2);
    QCOMPARE(copy.Left(), 4600.0f);
    QCOMPARE(copy.Top(), 480.0f);
    QCOMPARE(copy.picture(), picture); // the same object, not a copy
    QCOMPARE(copy.size(), QSize(48, 36));
    QVERIFY(!copy.isVisible());
    QCOMPARE(copy.parentWidget(), &window);
    QCOMPARE(&cells(2), &copy);

    // Moving the design element later leaves the copy where it was made.
    design->setLeft(600);
    QCOMPARE(cells(2).Left(), 4600.0f);
}

void tst_ImageCell::loadingAnIndexTwiceFails()
{
    QWidget window;
    controls::ControlArray<board::ImageCell> cells(1, new board::ImageCell(&window, 0, 0, 15, 15));
    cells.Load(2);
    QCOMPARE(fakes::failureOf([&] { cells.Load(2); }),
             QStringLiteral("Control array element 2 is already loaded"));
    QCOMPARE(fakes::failureOf([&] { cells.Load(1); }),
             QStringLiteral("Control array element 1 is already loaded"));
    QCOMPARE(fakes::failureOf([&] { cells(3); }), QStringLiteral("Control array element 3 does not exist"));
    cells.unloadAll();
    QVERIFY(cells.exists(1));
    QVERIFY(!cells.exists(2));
    cells.Load(2);
}

void tst_ImageCell::imageCellReportsClicksOnlyWhileVisible()
{
    QWidget window;
    window.resize(200, 200);
    auto *cell = new board::ImageCell(&window, 150, 150, 720, 540);
    QSignalSpy clicks(cell, &board::ImageCell::clicked);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicks.count(), 1);
    QTest::mouseClick(cell, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(clicks.count(), 1);
    // Pressed on the cell but released outside it: no click.
    QTest::mousePress(cell, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(cell, Qt::LeftButton, {}, QPoint(100, 100));
    QCOMPARE(clicks.count(), 1);
    cell->hide();
    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicks.count(), 1);
}

QTEST_MAIN(tst_ImageCell)
#include "tst_imagecell.moc"
