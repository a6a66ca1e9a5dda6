#include "fakes/fakes.h"
#include "runtime/gifdecoder.h"
#include "runtime/program.h"
#include "runtime/services.h"
#include "windows/forms.h"
#include "windows/gamewindow.h"
#include "windows/startupwindow.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QImage rgb(QImage image)
{
    image = image.convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    return image;
}

QImage readGif(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? rgb(runtime::decodeGif(file.readAll()).image) : QImage();
}

// A game of 40 cards dealt 1 to 20 twice over, from a copy of the pictures that a test may change first.
struct Game
{
    explicit Game(const std::function<void(const QDir &)> &change = {})
    {
        const QDir built(QStringLiteral(PF_FACES_DIR));
        for (const QString &name : built.entryList({QStringLiteral("F*.gif")}))
            QFile::copy(built.filePath(name), directory.filePath(name));
        if (change)
            change(QDir(directory.path()));
        runtime::setFailureReporter([this](const QString &message) { reports << message; });
        forms.startup->numCells.at(9)->click();
        forms.startup->cmdPlay->click();
    }
    ~Game()
    {
        runtime::setFailureReporter({});
        runtime::clearEnd();
    }

    QTemporaryDir directory;
    fakes::ScriptedRandom random {QList<float>(41, 0.0f)};
    fakes::FakeClock clock;
    windows::Forms forms {{QFile::encodeName(directory.path()), random, clock}};
    QStringList reports;
};

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
    void initTestCase() { runtime::installFontSubstitutes(); }
    void facesFromPixelsMadeForTheScreen_data();
    void facesFromPixelsMadeForTheScreen();
    void textsFitAsAtOrdinaryDensity();
};

void tst_Density::facesFromPixelsMadeForTheScreen_data()
{
    QTest::addColumn<QString>("twin"); // what F1@2x.gif is made of
    QTest::newRow("as built") << "";
    QTest::newRow("removed") << "removed";
    QTest::newRow("twice the wrong size") << "F2.gif";
    QTest::newRow("not a picture") << "not a picture";
}

void tst_Density::facesFromPixelsMadeForTheScreen()
{
    QFETCH(QString, twin);
    Game game([&twin](const QDir &directory) {
        const QString path = directory.filePath(QStringLiteral("F1@2x.gif"));
        if (!twin.isEmpty())
            QFile::remove(path);
        if (twin == QStringLiteral("F2.gif"))
            QFile::copy(directory.filePath(twin), path);
        QFile file(path);
        if (twin == QStringLiteral("not a picture") && file.open(QIODevice::WriteOnly))
            file.write("not a picture");
    });
    if (twin == QStringLiteral("not a picture")) {
        // A bad twin is a bad picture file like any other: the report names it and the program ends.
        QCOMPARE(game.reports.size(), 1);
        QVERIFY2(
            game.reports[0].startsWith(
                QStringLiteral("Cannot load picture \"%1/F1@2x.gif\": not a").arg(game.directory.path())),
            qPrintable(game.reports[0]));
        QVERIFY(runtime::hasEnded());
        return;
    }
    QCOMPARE(game.reports, QStringList());

    // Cell 1 shows picture 1, at the design's size in logical pixels.
    windows::GameWindow &window = game.forms.game.get();
    window.imgFront_Click(1);
    QCOMPARE(window.imgFractal(1).size(), QSize(64, 64));
    QCOMPARE(window.imgFront(2).size(), QSize(48, 36));
    const qreal ratio = qApp->devicePixelRatio();
    const QImage shown = rgb(window.imgFractal(1).grab().toImage());
    const QImage one = readGif(game.directory.filePath(QStringLiteral("F1.gif")));
    QCOMPARE(shown.size(), (QSizeF(64, 64) * ratio).toSize());
    if (ratio == 2) {
        // The twin's own pixels; without a true twin, each pixel of the picture as an even square.
        const QImage two = readGif(QStringLiteral(PF_FACES_DIR "/F1@2x.gif"));
        QCOMPARE(shown, twin.isEmpty() ? two : one.scaled(128, 128));
        QCOMPARE(rgb(window.imgFront(2).grab().toImage()), readGif(QStringLiteral(PF_CARD_BACK_2X)));
    } else {
        // Smooth from the nearest larger source: never the blocky enlargement with its uneven pixel rows.
        QVERIFY(shown != one.scaled(shown.size()));
    }
}

// No text is cut at any common scale factor that is not cut at 1 ("Turn to Play:" is, by design).
void tst_Density::textsFitAsAtOrdinaryDensity()
{
    Game game;
    windows::GameWindow &window = game.forms.game.get();
    window.setWinnerCaption(QStringLiteral("It's a tie.  Congratulations to you both!"));
    window.showWinner();
    window.setPlayerCaption(0, QStringLiteral("A"));
    window.setScoreCaption(0, QStringLiteral("20"));
    for (QLabel *label : window.findChildren<QLabel *>() + game.forms.startup->findChildren<QLabel *>()) {
        const Qt::Edges atOne = inkAtTheEdges(*label, 1);
        for (const qreal ratio : {1.25, 1.5, 2.0, 3.0})
            QVERIFY2((inkAtTheEdges(*label, ratio) & ~atOne) == Qt::Edges(),
                     qPrintable(QStringLiteral("\"%1\" is cut at %2").arg(label->text()).arg(ratio)));
    }
}

QTEST_MAIN(tst_Density)
#include "tst_density.moc"
