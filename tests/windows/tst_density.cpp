#include "controls/designkit.h"
#include "controls/windowing.h"
#include "fakes/fakes.h"
#include "pictures/gifdecoder.h"
#include "runtime/program.h"
#include "windows/forms.h"
#include "windows/gamewindow.h"
#include "windows/startupwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage rgb(QImage image)
{
    image.setDevicePixelRatio(1);
    return image.convertToFormat(QImage::Format_RGB32);
}

// The size of the ink of a label drawn at `ratio`: a text that the label's box cuts leaves less of it than
// the same text drawn with room to spare.
QSize inkOf(QLabel &label, qreal ratio)
{
    const QRgb background = label.window()->palette().color(QPalette::Window).rgb();
    QImage image((QSizeF(label.size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(background);
    label.render(&image);
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                ink |= QRect(x, y, 1, 1);
    return ink.size();
}

} // namespace

// Runs at the device pixel ratio that its ctest entry sets through QT_SCALE_FACTOR: 2, or 1.5.
class tst_Density : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { controls::installFontSubstitutes(); }
    void facesFromPixelsMadeForTheScreen_data();
    void facesFromPixelsMadeForTheScreen();
    void pressOnACardsPixelTurnsIt_data();
    void pressOnACardsPixelTurnsIt();
};

void tst_Density::facesFromPixelsMadeForTheScreen_data()
{
    QTest::addColumn<QByteArray>("twin"); // F1@2x.gif; empty: removed
    QTest::newRow("as built") << bytesOf(QStringLiteral(PF_FACES_DIR "/F1@2x.gif"));
    QTest::newRow("removed") << QByteArray();
    QTest::newRow("twice the wrong size") << bytesOf(QStringLiteral(PF_FACES_DIR "/F2.gif"));
    QTest::newRow("not a picture") << QByteArray("not a picture");
}

void tst_Density::facesFromPixelsMadeForTheScreen()
{
    QFETCH(QByteArray, twin);
    QTemporaryDir directory;
    for (int p = 1; p <= 20; ++p)
        QFile::copy(QStringLiteral(PF_FACES_DIR "/F%1.gif").arg(p),
                    directory.filePath(QStringLiteral("F%1.gif").arg(p)));
    QFile file(directory.filePath(QStringLiteral("F1@2x.gif")));
    QVERIFY(twin.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(twin) == twin.size()));
    file.close();
    QStringList reports;
    runtime::setFailureReporter(fakes::recordFailures(reports));
    fakes::ScriptedRandom random(QList<float>(41, 0.0f)); // pictures 1 to 20, twice over
    fakes::FakeClock clock;
    windows::Forms forms({QFile::encodeName(directory.path()), random, clock});
    forms.startup->numCells[9]->click();
    forms.startup->cmdPlay->click();
    runtime::setFailureReporter({});
    if (twin.startsWith("not")) {
        // A bad twin is a bad picture file like any other: the report names it and the program ends.
        QVERIFY(
            reports.value(0).startsWith(QStringLiteral("Cannot load picture \"%1\"").arg(file.fileName())));
        QVERIFY(runtime::hasEnded());
        runtime::clearEnd();
        return;
    }
    QCOMPARE(reports, QStringList());

    // Cell 1 shows picture 1 at the design's size in logical pixels, and in as many device pixels as the
    // screen has for it.
    windows::GameWindow &game = forms.game.get();
    game.imgFront_Click(1);
    QCOMPARE(game.imgFractal(1).size(), QSize(64, 64));
    QCOMPARE(game.imgFront(2).size(), QSize(48, 36));
    const qreal ratio = qApp->devicePixelRatio();
    const QImage shown = rgb(game.imgFractal(1).grab().toImage());
    const QImage one = rgb(pictures::decodeGif(bytesOf(directory.filePath(QStringLiteral("F1.gif")))).image);
    QCOMPARE(shown.size(), (QSizeF(64, 64) * ratio).toSize());
    // From the twin, or without a true twin from the picture itself: each source pixel as an even square of
    // device pixels at 2, smoothly scaled at a fractional factor (never with uneven pixel rows).
    const bool true2x = twin.size() > 0 && twin != bytesOf(directory.filePath(QStringLiteral("F2.gif")));
    const QImage source = true2x ? rgb(pictures::decodeGif(twin).image) : one;
    const auto smoothly = ratio == 2 ? Qt::FastTransformation : Qt::SmoothTransformation;
    QCOMPARE(shown, source.scaled(shown.size(), Qt::IgnoreAspectRatio, smoothly));
    if (ratio == 2)
        QCOMPARE(rgb(game.imgFront(2).grab().toImage()),
                 rgb(pictures::decodeGif(bytesOf(QStringLiteral(PF_CARD_BACK_2X))).image));

    // No glyph of any label is cut at any scale: its ink is that of its text drawn with room to spare.
    game.setWinnerCaption(QStringLiteral("It's a tie.  Congratulations to you both!"));
    game.showWinner();
    game.setScore(0, 20);
    for (QLabel *label : game.findChildren<QLabel *>() + forms.startup->findChildren<QLabel *>()) {
        const QSize box = label->size();
        for (const qreal factor : {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0}) {
            const QSize fitted = inkOf(*label, factor);
            label->resize(box + QSize(80, 80)); // room by whole device pixels at every factor
            const QSize roomy = inkOf(*label, factor);
            label->resize(box);
            QVERIFY2(fitted == roomy,
                     qPrintable(QStringLiteral("\"%1\" is cut at %2").arg(label->text()).arg(factor)));
        }
    }
}

void tst_Density::pressOnACardsPixelTurnsIt_data()
{
    QTest::addColumn<int>("cell"); // on a board of 40
    QTest::addColumn<QPoint>("corner"); // of the pixels drawn for the card: 0 left or top, 1 right or bottom
    QTest::addColumn<QPoint>("step"); // from that pixel, in device pixels
    QTest::addColumn<bool>("touch");
    QTest::addColumn<bool>("turns");
    QTest::newRow("cell 1, top left") << 1 << QPoint(0, 0) << QPoint() << false << true;
    QTest::newRow("cell 3, bottom right") << 3 << QPoint(1, 1) << QPoint() << false << true;
    QTest::newRow("cell 6, top right") << 6 << QPoint(1, 0) << QPoint() << false << true;
    QTest::newRow("cell 9, bottom right, by touch") << 9 << QPoint(1, 1) << QPoint() << true << true;
    QTest::newRow("cell 29, bottom left") << 29 << QPoint(0, 1) << QPoint() << false << true;
    QTest::newRow("cell 40, bottom right") << 40 << QPoint(1, 1) << QPoint() << false << true;
    QTest::newRow("right of cell 6") << 6 << QPoint(1, 0) << QPoint(1, 0) << false << false;
    QTest::newRow("left of cell 9") << 9 << QPoint(0, 1) << QPoint(-1, 0) << false << false;
    QTest::newRow("below cell 23, by touch") << 23 << QPoint(1, 1) << QPoint(0, 1) << true << false;
}

// A press on any pixel drawn for a card turns that card, and one on the grey beside it none, whatever the
// scale, though Qt picks the control under the pointer by its position rounded to a whole logical pixel.
void tst_Density::pressOnACardsPixelTurnsIt()
{
    QFETCH(int, cell);
    QFETCH(QPoint, corner);
    QFETCH(QPoint, step);
    QFETCH(bool, touch);
    QFETCH(bool, turns);
    fakes::ScriptedRandom random(QList<float>(41, 0.0f));
    fakes::FakeClock clock;
    windows::Forms forms({QByteArray(PF_FACES_DIR), random, clock});
    forms.startup->numCells[9]->click();
    forms.startup->cmdPlay->click();
    windows::GameWindow &game = forms.game.get();
    QVERIFY(QTest::qWaitForWindowExposed(&game));
    const qreal ratio = game.devicePixelRatioF();
    const QImage shown = rgb(game.grab().toImage());
    const QRect back(game.imgFront(cell).mapTo(&game, QPoint()), game.imgFront(cell).size());
    QRect drawn;
    for (int y = int((back.top() - 2) * ratio); y < int((back.bottom() + 3) * ratio); ++y)
        for (int x = int((back.left() - 2) * ratio); x < int((back.right() + 3) * ratio); ++x)
            if (shown.pixel(x, y) != controls::windowGrey.rgb())
                drawn |= QRect(x, y, 1, 1);
    const QPoint pixel
        = QPoint(corner.x() ? drawn.right() : drawn.left(), corner.y() ? drawn.bottom() : drawn.top());
    // The pointer on that device pixel, as the window system gives it.
    const QPointF at = QPointF(pixel + step) / ratio, global = game.windowHandle()->mapToGlobal(at);
    // Qt stamps a touch with the time since the program began, and takes a press within the double-click
    // interval of the last one, from any device and window, for a double-click: the mouse's times here lie
    // far from those, and a second apart.
    static ulong time = 1ul << 30;
    if (touch) {
        static QPointingDevice *const screen = QTest::createTouchDevice();
        for (const QEventPoint::State state : {QEventPoint::State::Pressed, QEventPoint::State::Released})
            qt_handleTouchEvent(game.windowHandle(), screen, {QEventPoint(1, state, at, global)});
    } else {
        time += 1000;
        qt_handleMouseEvent(game.windowHandle(), at, global, Qt::LeftButton, Qt::LeftButton,
                            QEvent::MouseButtonPress, {}, int(time));
        qt_handleMouseEvent(game.windowHandle(), at, global, {}, Qt::LeftButton, QEvent::MouseButtonRelease,
                            {}, int(time + 50));
    }
    for (int card = 1; card <= 40; ++card)
        QCOMPARE(game.imgFront(card).isHidden(), turns && card == cell);
}

QTEST_MAIN(tst_Density)
#include "tst_density.moc"
