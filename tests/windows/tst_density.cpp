#include "fakes/fakes.h"
#include "pictures/imageswindow.h"
#include "runtime/gifdecoder.h"
#include "runtime/program.h"
#include "runtime/services.h"
#include "windows/forms.h"
#include "windows/gamewindow.h"
#include "windows/startupwindow.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

// Runs at the device pixel ratio its ctest entry sets through QT_SCALE_FACTOR.
class tst_Density : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { runtime::installFontSubstitutes(); }
    void init();
    void cleanup();
    void facesFromPixelsMadeForTheScreen_data();
    void facesFromPixelsMadeForTheScreen();
    void textsFitAsAtOrdinaryDensity();

private:
    windows::GameWindow &play();

    QTemporaryDir m_directory;
    std::unique_ptr<fakes::ScriptedRandom> m_random;
    std::unique_ptr<fakes::FakeClock> m_clock;
    std::unique_ptr<windows::Forms> m_forms;
    QStringList m_reports;
};

namespace {

QImage readGif(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return runtime::decodeGif(file.readAll()).image.convertToFormat(QImage::Format_RGB32);
}

QImage grabbed(QWidget &widget)
{
    QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    return image;
}

} // namespace

void tst_Density::init()
{
    QVERIFY(m_directory.isValid());
    for (const QString &name : QDir(QStringLiteral(PF_FACES_DIR)).entryList({QStringLiteral("F*.gif")})) {
        QFile::remove(m_directory.filePath(name));
        QVERIFY(QFile::copy(QStringLiteral(PF_FACES_DIR "/") + name, m_directory.filePath(name)));
    }
    m_random = std::make_unique<fakes::ScriptedRandom>(QList<float>(41 * 3, 0.0f));
    m_clock = std::make_unique<fakes::FakeClock>();
    m_forms = std::make_unique<windows::Forms>(
        windows::Forms::Services {QFile::encodeName(m_directory.path()), *m_random, *m_clock});
    runtime::Show(m_forms->startup.get());
    m_reports.clear();
    runtime::setFailureReporter([this](const QString &message) { m_reports << message; });
}

void tst_Density::cleanup()
{
    m_forms.reset();
    runtime::clearEnd();
    runtime::setFailureReporter({});
}

windows::GameWindow &tst_Density::play()
{
    m_forms->startup->numCells.at(9)->click();
    m_forms->startup->cmdPlay->click();
    return m_forms->game.get();
}

void tst_Density::facesFromPixelsMadeForTheScreen_data()
{
    QTest::addColumn<QByteArray>("twin"); // what F1@2x.gif is made
    QTest::addColumn<bool>("twinShown"); // whether a high-density screen shows it
    QTest::newRow("as built") << QByteArray("built") << true;
    QTest::newRow("removed") << QByteArray() << false;
    QTest::newRow("twice the wrong size") << QByteArray("F2.gif") << false;
    QTest::newRow("not a picture") << QByteArray("not a picture") << false;
}

void tst_Density::facesFromPixelsMadeForTheScreen()
{
    QFETCH(QByteArray, twin);
    QFETCH(bool, twinShown);
    const qreal ratio = qApp->devicePixelRatio();
    const QString twinPath = m_directory.filePath(QStringLiteral("F1@2x.gif"));
    if (twin != "built") {
        QFile::remove(twinPath);
        if (twin == "F2.gif")
            QVERIFY(QFile::copy(m_directory.filePath(QStringLiteral("F2.gif")), twinPath));
        QFile file(twinPath);
        if (twin == "not a picture")
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(twin) > 0);
    }
    windows::GameWindow &game = play();
    if (twin == "not a picture" && ratio > 1) {
        // A bad twin is a bad picture file like any other: the report names it and the program ends.
        QCOMPARE(m_reports.size(), 1);
        QVERIFY2(m_reports[0].startsWith(QStringLiteral("Cannot load picture \"%1\"").arg(twinPath)),
                 qPrintable(m_reports[0]));
        QVERIFY(runtime::hasEnded());
        return;
    }
    QCOMPARE(m_reports, QStringList());

    // The cards are dealt 1, 2, ... 20, 1, 2, ... so cell 1 shows picture 1; the design's sizes hold.
    game.imgFront_Click(1);
    runtime::ImageCell &face = game.imgFractal(1);
    QCOMPARE(face.size(), QSize(64, 64));
    QCOMPARE(game.imgFront(2).size(), QSize(48, 36));
    const QImage one = readGif(m_directory.filePath(QStringLiteral("F1.gif")));
    const QImage shown = grabbed(face);
    QCOMPARE(shown.size(), (QSizeF(64, 64) * ratio).toSize());
    if (ratio == 1) {
        QCOMPARE(shown, one);
    } else if (ratio == 2) {
        const QImage two = readGif(QStringLiteral(PF_FACES_DIR "/F1@2x.gif"));
        QCOMPARE(shown, twinShown ? two : one.scaled(128, 128));
        QCOMPARE(grabbed(game.imgFront(2)), readGif(QStringLiteral(PF_CARD_BACK_2X)));
    } else {
        // Smooth from the nearest larger source: never the blocky enlargement with its uneven pixel rows.
        QVERIFY(shown != one.scaled(shown.size()));
    }
}

// The edges of a label that its text's ink reaches when drawn at `ratio`: text cut by an edge leaves ink in
// the label's last column or row of device pixels.
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
            if (image.pixel(x, y) != background) {
                edges |= x == 0 ? Qt::LeftEdge : x == image.width() - 1 ? Qt::RightEdge : Qt::Edges();
                edges |= y == 0 ? Qt::TopEdge : y == image.height() - 1 ? Qt::BottomEdge : Qt::Edges();
            }
    return edges;
}

void tst_Density::textsFitAsAtOrdinaryDensity()
{
    windows::GameWindow &game = play();
    game.setWinnerCaption(QStringLiteral("It's a tie.  Congratulations to you both!"));
    game.showWinner();
    game.setPlayerCaption(0, QStringLiteral("A"));
    game.setPlayerCaption(1, QStringLiteral("B"));
    game.setScoreCaption(0, QStringLiteral("20"));
    game.setScoreCaption(1, QStringLiteral("0"));
    const QList<QLabel *> labels = game.findChildren<QLabel *>() + m_forms->startup->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        const Qt::Edges atOne = inkAtTheEdges(*label, 1);
        for (const qreal ratio : {1.25, 1.5, 2.0, 3.0}) {
            const Qt::Edges edges = inkAtTheEdges(*label, ratio);
            QVERIFY2((edges & ~atOne) == Qt::Edges(),
                     qPrintable(QStringLiteral("\"%1\" at %2 reaches edges %3 that it keeps clear of at 1")
                                    .arg(label->text())
                                    .arg(ratio)
                                    .arg(int(edges & ~atOne))));
        }
    }
}

QTEST_MAIN(tst_Density)
#include "tst_density.moc"
