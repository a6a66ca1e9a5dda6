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

// The edges of a label that its text reaches when drawn at `ratio`: text cut by an edge leaves ink in the
// label's last column or row of device pixels.
Qt::Edges inkAtTheEdges(QLabel &label, qreal ratio)
{
    const QRgb background = label.window()->palette().color(QPalette::Window).rgb();
    QImage image((QSizeF(label.size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(background);
    label.render(&image);
    Qt::Edges edges;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                edges |= (x == 0                       ? Qt::LeftEdge
                              : x == image.width() - 1 ? Qt::RightEdge
                                                       : Qt::Edges())
                    | (y == 0                        ? Qt::TopEdge
                           : y == image.height() - 1 ? Qt::BottomEdge
                                                     : Qt::Edges());
    return edges;
}

} // namespace

// Runs at the device pixel ratio that its ctest entry sets through QT_SCALE_FACTOR: 2, or 1.5.
class tst_Density : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void facesFromPixelsMadeForTheScreen_data();
    void facesFromPixelsMadeForTheScreen();
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

    // No text is cut at a common scale factor that is not cut at 1 ("Turn to Play:" is, by design).
    game.setWinnerCaption(QStringLiteral("It's a tie.  Congratulations to you both!"));
    game.showWinner();
    game.setScore(0, 20);
    for (QLabel *label : game.findChildren<QLabel *>() + forms.startup->findChildren<QLabel *>())
        for (const qreal factor : {1.25, 1.5, 2.0, 3.0})
            QVERIFY2((inkAtTheEdges(*label, factor) & ~inkAtTheEdges(*label, 1)) == Qt::Edges(),
                     qPrintable(QStringLiteral("\"%1\" is cut at %2").arg(label->text()).arg(factor)));
}

QTEST_MAIN(tst_Density)
#include "tst_density.moc"
