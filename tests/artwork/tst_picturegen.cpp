#include "artwork/wood.h"
#include "pictures/picture.h"
#include "pictures/twinname.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QTest>

#include <sys/stat.h>

#include <cstdlib>

namespace {

QImage load(const QString &path)
{
    return pictures::LoadPicture(path)->image();
}

QString face(const QString &directory, int p)
{
    return directory + QStringLiteral("/F%1.gif").arg(p);
}

QString twin(const QString &path)
{
    return QString::fromStdString(pictures::twinPath(path.toStdString()));
}

// The mean difference of two pictures over all pixels and channels, 0 to 255.
double meanDifference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

class tst_PictureGen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twentyFacesOfTheirSize();
    void noTwoFacesAlike();
    void cardBackIsWoodInItsShades_data();
    void cardBackIsWoodInItsShades();
    void outputNeverChanges();
};

void tst_PictureGen::twentyFacesOfTheirSize()
{
    QSet<QString> names;
    for (int p = 1; p <= 20; ++p) {
        const QString path = face(QStringLiteral(PF_FACES_DIR), p);
        const QImage one = load(path);
        QCOMPARE(one.size(), QSize(64, 64));
        const QImage two = load(twin(path));
        QCOMPARE(two.size(), QSize(128, 128));
        // The same figure drawn finer: close to the design's picture when brought down to its size, and not
        // its enlargement.
        const QImage reduced = two.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QVERIFY2(meanDifference(reduced, one) < 30, qPrintable(path));
        QVERIFY2(meanDifference(two, one.scaled(128, 128)) > 2, qPrintable(path));
        names.insert(pictures::LoadPicture(path)->name());
    }
    // Every face says what it shows, and no two say the same.
    names.remove(QString());
    QCOMPARE(names.size(), 20);
    QVERIFY(names.contains(QStringLiteral("fern")));
    QVERIFY(!QFile::exists(face(QStringLiteral(PF_FACES_DIR), 21)));
}

void tst_PictureGen::noTwoFacesAlike()
{
    QList<QImage> faces;
    for (int p = 1; p <= 20; ++p)
        faces << load(face(QStringLiteral(PF_FACES_DIR), p));
    for (int a = 0; a < faces.size(); ++a)
        for (int b = a + 1; b < faces.size(); ++b) {
            const double difference = meanDifference(faces[a], faces[b]);
            QVERIFY2(
                difference > 30,
                qPrintable(
                    QStringLiteral("F%1 and F%2 differ by only %3").arg(a + 1).arg(b + 1).arg(difference)));
        }
}

void tst_PictureGen::cardBackIsWoodInItsShades_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("design") << QStringLiteral(PF_CARD_BACK) << QSize(48, 36);
    QTest::newRow("twice the size") << twin(QStringLiteral(PF_CARD_BACK)) << QSize(96, 72);
}

void tst_PictureGen::cardBackIsWoodInItsShades()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage back = load(path);
    QCOMPARE(back.size(), size);
    QSet<QRgb> shades;
    long across = 0, down = 0;
    for (int y = 0; y < back.height(); ++y)
        for (int x = 0; x < back.width(); ++x) {
            const QRgb p = back.pixel(x, y);
            shades.insert(p);
            QVERIFY(artwork::isWood(qRed(p), qGreen(p), qBlue(p)));
            if (x + 1 < back.width())
                across += std::abs(qRed(p) - qRed(back.pixel(x + 1, y)));
            if (y + 1 < back.height())
                down += std::abs(qRed(p) - qRed(back.pixel(x, y + 1)));
        }
    QCOMPARE(shades.size(), artwork::woodShades);
    const auto rgb = [](artwork::Rgb c) { return qRgb(c.r, c.g, c.b); };
    QVERIFY(shades.contains(rgb(artwork::woodDarkest)));
    QVERIFY(shades.contains(rgb(artwork::woodLightest)));
    // Vertical streaks: the grain changes far more from column to column than from row to row.
    QVERIFY2(across > 2 * down, qPrintable(QStringLiteral("%1 across, %2 down").arg(across).arg(down)));
}

namespace {

// The SHA-256 of a file's bytes, or with `pixels` of a PNG's pixels, red, green, blue and alpha bytes row by
// row (the compressor of the day may write other bytes for the same pixels).
QByteArray digestOf(const QString &path, bool pixels)
{
    QByteArray bytes;
    if (pixels) {
        const QImage image = QImage(path).convertToFormat(QImage::Format_RGBA8888);
        for (int y = 0; y < image.height(); ++y)
            bytes.append(reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 4);
    } else {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    }
    return bytes.isEmpty() ? QByteArray()
                           : QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// The rows of the two tables: sha256sum's "<digest>  <name>" for files held by their bytes, and
// "<name>  rgba8888-sha256 <digest>" for the PNGs held by their pixels.
struct Digest
{
    QString name;
    QByteArray digest;
    bool pixels;
};

QList<Digest> digests()
{
    QList<Digest> rows;
    for (const bool pixels : {false, true}) {
        QFile table(QStringLiteral(PF_ARTWORK_DIR) + (pixels ? "/pixels.digests" : "/digests.sha256"));
        if (!table.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        while (!table.atEnd()) {
            const QStringList row
                = QString::fromLatin1(table.readLine()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (row.size() != (pixels ? 3 : 2) || (pixels && row[1] != QLatin1String("rgba8888-sha256")))
                return {};
            rows.append({(pixels ? row[0] : row[1]).trimmed(),
                         (pixels ? row[2] : row[0]).trimmed().toLatin1(), pixels});
        }
    }
    return rows;
}

} // namespace

void tst_PictureGen::outputNeverChanges()
{
    // Drawn again by the generators built for this machine (before this test, by ctest): every picture and
    // icon is what the committed digests name, on every architecture, with the modes that every other file
    // made under this umask gets; those the build drew (by the build machine's generators when
    // cross-building) are the same.
    const QDir again(QStringLiteral(PF_DRAWN_AGAIN));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    int rows = 0;
    for (const auto &[name, digest, pixels] : digests()) {
        const QString built = name.startsWith(QLatin1String("cardback"))
            ? QFileInfo(QStringLiteral(PF_CARD_BACK)).path() + QLatin1Char('/') + name
            : name.contains(QLatin1Char('/')) ? QStringLiteral(PF_WINDOWS_DIR "/") + name
                                              : QStringLiteral(PF_FACES_DIR "/") + name;
        for (const QString &path : {again.filePath(name), built})
            QVERIFY2(digestOf(path, pixels) == digest, qPrintable(path));
        struct stat drawn
        {
        };
        QCOMPARE(::stat(QFile::encodeName(again.filePath(name)).constData(), &drawn), 0);
        QCOMPARE(drawn.st_mode & 0777, 0666 & ~mask);
        ++rows;
    }
    // The faces and the card back, each with its twin; the icon as SVG, at eight sizes and as four sizes of
    // raw pixels.
    QCOMPARE(rows, 42 + 1 + 8 + 4);
    int files = 0;
    for (QDirIterator each(again.path(), QDir::Files, QDirIterator::Subdirectories); each.hasNext();
         each.next())
        ++files;
    QCOMPARE(files, rows);
}

QTEST_GUILESS_MAIN(tst_PictureGen)
#include "tst_picturegen.moc"
