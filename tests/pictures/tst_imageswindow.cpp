#include "fakes/fakes.h"
#include "pictures/imageswindow.h"
#include "runtime/failure.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString faces = QStringLiteral(PF_FACES_DIR);

// A directory holding copies of the twenty generated pictures.
struct PictureDirectory
{
    PictureDirectory()
    {
        for (int p = 1; p <= 20; ++p)
            QFile::copy(faces + QStringLiteral("/F%1.gif").arg(p), file(p));
    }
    QString file(int p) const { return dir.path() + QStringLiteral("/F%1.gif").arg(p); }
    void replace(int p, const QByteArray &bytes) const
    {
        QFile::remove(file(p));
        QFile out(file(p));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

    QTemporaryDir dir;
};

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The failure that loading the library raises, or an empty text.
QString loadFailure(pictures::ImagesWindow &images)
{
    return fakes::failureOf([&images] { images.Form_Load(); });
}

} // namespace

class tst_ImagesWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void designIsNeverShown();
    void loadsTwentyPicturesInOrder();
    void identicalFilesStillGiveDistinctPictures();
    void badFileStopsTheLoadAtThatPicture_data();
    void badFileStopsTheLoadAtThatPicture();
    void withoutTheProgramsDirectoryNothingIsRead();
    void namesAreExact_data();
    void namesAreExact();
    void picturesAreNamedByTheirFiles_data();
    void picturesAreNamedByTheirFiles();
};

void tst_ImagesWindow::designIsNeverShown()
{
    pictures::ImagesWindow images(QFile::encodeName(faces));
    QCOMPARE(images.windowTitle(), QStringLiteral("Images"));
    QCOMPARE(images.size(), QSize(312, 213)); // 4680 x 3195 twips
    QVERIFY(!images.isVisible());
    QCOMPARE(images.picFront->geometry(), QRect(216, 144, 65, 49));
    QVERIFY(!images.picFront->picture());
    QVERIFY(!images.picFractals(0).picture());
    QVERIFY(!images.picFractals.exists(1));
}

void tst_ImagesWindow::loadsTwentyPicturesInOrder()
{
    pictures::ImagesWindow images(QFile::encodeName(faces));
    images.Form_Load();
    QVERIFY(!images.picFractals(0).picture());
    QVERIFY(!images.picFractals.exists(21));
    for (int p = 1; p <= 20; ++p) {
        const pictures::Picture &picture = images.picFractals(p).picture();
        QVERIFY(picture);
        QCOMPARE(picture->image().size(), QSize(64, 64));
        QVERIFY(!images.picFractals(p).isVisible());
        QCOMPARE(images.picFractals(p).geometry(), images.picFractals(0).geometry());
    }
}

void tst_ImagesWindow::identicalFilesStillGiveDistinctPictures()
{
    PictureDirectory directory;
    directory.replace(2, bytesOf(directory.file(1)));
    pictures::ImagesWindow images(QFile::encodeName(directory.dir.path()));
    images.Form_Load();
    const pictures::Picture &first = images.picFractals(1).picture();
    const pictures::Picture &second = images.picFractals(2).picture();
    QCOMPARE(first->image(), second->image());
    QVERIFY(first->Handle() != second->Handle());
}

void tst_ImagesWindow::badFileStopsTheLoadAtThatPicture_data()
{
    QTest::addColumn<int>("bad");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing F1") << 1 << "missing"
                                << "file not found";
    QTest::newRow("missing F20") << 20 << "missing"
                                 << "file not found";
    QTest::newRow("empty") << 5 << "empty"
                           << "the file is empty";
    QTest::newRow("directory") << 5 << "directory"
                               << "it is a directory";
    QTest::newRow("pipe") << 5 << "pipe"
                          << "not a regular file";
    QTest::newRow("link to a device") << 5 << "device"
                                      << "not a regular file";
    QTest::newRow("unreadable") << 5 << "unreadable"
                                << "permission denied";
    QTest::newRow("text") << 5 << "text"
                          << "not a readable GIF picture (data is not in gif format)";
    QTest::newRow("PNG named .gif") << 5 << "png"
                                    << "not a readable GIF picture (data is not in gif format)";
    QTest::newRow("header only") << 5 << "header"
                                 << "not a readable GIF picture (the file ends too early)";
    QTest::newRow("cut in its pixels") << 5 << "truncated"
                                       << "not a readable GIF picture (the file ends too early)";
    QTest::newRow("corrupt pixels") << 5 << "corrupt"
                                    << "not a readable GIF picture (a code that the LZW table does not hold)";
    QTest::newRow("60000 x 60000") << 5 << "huge"
                                   << "not a readable GIF picture (picture size 60000 x 60000 out of range)";
    QTest::newRow("huge frame in a small picture")
        << 5 << "huge frame"
        << "not a readable GIF picture (image size 60000 x 60000 out of range)";
    QTest::newRow("no image") << 5 << "no image"
                              << "not a readable GIF picture (no image in the file)";
    QTest::newRow("ends after the image descriptor")
        << 5 << "descriptor only"
        << "not a readable GIF picture (the file ends too early)";
    QTest::newRow("LZW code size 9")
        << 5 << "code size 09"
        << "not a readable GIF picture (the LZW minimum code size is out of range)";
    // A row of pixels in two colours, "codes <minimum code size> <width> <data>". Code size 1: giflib reads
    // the second code after a clear a bit wider than Qt's reader, and here each reads other pixels: 0, 0
    // against 0, 1 where that bit is set; 1, 1, 1 against 1, 0 and another; clear, 1, 0, then a code of the
    // table; and codes past the fifth, where Qt's reader has widened as its table grew and giflib's reading
    // has not yet.
    const QString widthInDoubt = QStringLiteral(
        "not a readable GIF picture (codes whose width readers disagree on, below a minimum code size of 2)");
    QTest::newRow("extra bit set") << 5 << "codes 1 2 52" << widthInDoubt;
    QTest::newRow("three pixels read apart") << 5 << "codes 1 3 46" << widthInDoubt;
    QTest::newRow("LZW code size 1, past the table's first entry") << 5 << "codes 1 3 0607" << widthInDoubt;
    QTest::newRow("LZW code size 1, where Qt's reader widens") << 5 << "codes 1 10 0000a602" << widthInDoubt;
    // Code size 1, 3 x 1: giflib reads clear, 1, then 5, past the table: 1 and a pixel made up inside the
    // frame.
    QTest::newRow("LZW code size 1, a pixel made up inside the frame")
        << 5 << "codes 1 3 5600"
        << "not a readable GIF picture (a code that the LZW table does not hold)";
    // Code size 2: clear, then the end code.
    QTest::newRow("the end code right after a clear code")
        << 5 << "codes 2 6 2c"
        << "not a readable GIF picture (the image data ends before the image is complete)";
    QTest::newRow("a table code right after a clear code")
        << 5 << "code after clear"
        << "not a readable GIF picture (a code that the LZW table does not hold)";
    QTest::newRow("the end code before the last pixel, then codes past it")
        << 5 << "early end"
        << "not a readable GIF picture (the image data ends before the image is complete)";
    QTest::newRow("symlink loop") << 5 << "loop"
                                  << "too many levels of symbolic links";
    // Every file alone is small and allowed; together they would take gigabytes.
    QTest::newRow("tiny files of 8192 x 8192")
        << 2 << "budget"
        << "the pictures together would need more than 256 MiB of memory";
    QTest::newRow("no memory for the pixels") << 5 << "no memory"
                                              << "out of memory";
}

void tst_ImagesWindow::badFileStopsTheLoadAtThatPicture()
{
    QFETCH(int, bad);
    QFETCH(QString, kind);
    QFETCH(QString, reason);

    PictureDirectory directory;
    const QString path = directory.file(bad);
    const QByteArray good = bytesOf(path);
    // A GIF whose logical screen (or, in the second case, only its frame) declares 60000 x 60000 pixels.
    const QByteArray hugeScreen
        = QByteArray::fromHex("47494638396160ea60ea0000002c0000000060ea60ea000202440100"
                              "3b");
    const QByteArray hugeFrame = QByteArray::fromHex("474946383961100010008000000000"
                                                     "00ffffff2c0000000060ea60ea0002024401003b");
    // The frame follows the 13-byte header, the colour table and the extensions (the picture's name).
    qsizetype frameStart = 13 + (3 << ((good.at(10) & 7) + 1));
    while (good.at(frameStart) == '!')
        for (frameStart += 2; good.at(frameStart++) != 0;)
            frameStart += quint8(good.at(frameStart - 1));
    QCOMPARE(good.at(frameStart), ',');
    QFile::remove(path);
    if (kind == QStringLiteral("empty")) {
        directory.replace(bad, {});
    } else if (kind == QStringLiteral("directory")) {
        QVERIFY(QDir(directory.dir.path()).mkdir(QStringLiteral("F%1.gif").arg(bad)));
    } else if (kind == QStringLiteral("pipe")) {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QStringLiteral("device")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (kind == QStringLiteral("unreadable")) {
        if (geteuid() == 0)
            QSKIP("the superuser reads every file");
        directory.replace(bad, good);
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    } else if (kind == QStringLiteral("text")) {
        directory.replace(bad, "not a picture at all\n");
    } else if (kind == QStringLiteral("png")) {
        directory.replace(bad, QByteArray::fromHex("89504e470d0a1a0a0000000d49484452"));
    } else if (kind == QStringLiteral("header")) {
        directory.replace(bad, good.left(13));
    } else if (kind == QStringLiteral("truncated")) {
        directory.replace(bad, good.left(good.size() / 2));
    } else if (kind == QStringLiteral("corrupt")) {
        QByteArray corrupt = good;
        // The frame's compressed pixels start 12 bytes in. All-ones bits there are codes that the decoder's
        // table cannot hold yet.
        const qsizetype pixels = frameStart + 12;
        corrupt.replace(pixels, 40, QByteArray(40, char(0xff)));
        directory.replace(bad, corrupt);
    } else if (kind == QStringLiteral("huge")) {
        directory.replace(bad, hugeScreen);
    } else if (kind == QStringLiteral("huge frame")) {
        directory.replace(bad, hugeFrame);
    } else if (kind == QStringLiteral("no image")) {
        directory.replace(bad, QByteArray::fromHex("47494638396101000100800000000000ffffff3b"));
    } else if (kind == QStringLiteral("descriptor only")) {
        directory.replace(bad, good.left(frameStart + 10));
    } else if (kind.startsWith(QStringLiteral("code size "))) {
        directory.replace(bad,
                          QByteArray::fromHex("47494638396101000100800000000000ffffff2c000000000100010000"
                                              + kind.right(2).toLatin1() + "024401003b"));
    } else if (kind.startsWith(QStringLiteral("codes "))) {
        const QStringList part = kind.split(QLatin1Char(' '));
        const QByteArray width = QByteArray(1, char(part[2].toInt())).toHex() + "00";
        const QByteArray data = part[3].toLatin1();
        directory.replace(
            bad,
            QByteArray::fromHex("474946383961" + width + "0100800000c0c0c0000000" + "2c00000000" + width
                                + "010000" + QByteArray(1, char(part[1].toInt())).toHex()
                                + QByteArray(1, char(data.size() / 2)).toHex() + data + "003b"));
    } else if (kind == QStringLiteral("code after clear") || kind == QStringLiteral("early end")) {
        // Four colours, code size 2: clear, then 6, which the empty table does not hold, and the end code; or
        // clear, 0 and the end code for three pixels, then clear and 7, which only a reader that went past
        // the end code would meet.
        const bool early = kind == QStringLiteral("early end");
        const QByteArray width = QByteArray::fromHex(early ? "0300" : "0100");
        directory.replace(bad,
                          QByteArray::fromHex("474946383961") + width
                              + QByteArray::fromHex("0100810000000000ffffffff000000ff002c00000000") + width
                              + QByteArray::fromHex(early ? "01000002024479003b" : "01000002027401003b"));
    } else if (kind == QStringLiteral("loop")) {
        QVERIFY(QFile::link(path, path));
    } else if (kind == QStringLiteral("budget")) {
        // A 1 x 1 frame on an 8192 x 8192 screen, 41 bytes; the first takes the whole budget.
        const QByteArray tiny
            = QByteArray::fromHex("47494638396100200020800000000000ffffff2c000000000100010000"
                                  "02024401003b");
        directory.replace(1, tiny);
        directory.replace(2, tiny);
    } else if (kind == QStringLiteral("no memory")) {
        // Run with the sanitizers' allocator told to refuse large blocks (the test's "no memory" entry).
        if (!qEnvironmentVariable("ASAN_OPTIONS").contains(QStringLiteral("max_allocation_size_mb")))
            QSKIP("needs an allocator that refuses large blocks");
        directory.replace(bad,
                          QByteArray::fromHex("47494638396188138813800000000000ffffff2c000000000100010000"
                                              "02024401003b"));
    }

    pictures::ImagesWindow images(QFile::encodeName(directory.dir.path()));
    const QString failure = loadFailure(images);
    const QString expected = QStringLiteral("Cannot load picture \"%1\": %2").arg(path, reason);
    QVERIFY2(failure.startsWith(expected), qPrintable(failure));
    for (int p = 1; p < bad; ++p)
        QVERIFY(images.picFractals(p).picture());
    QVERIFY(images.picFractals.exists(bad));
    QVERIFY(!images.picFractals(bad).picture());
    QVERIFY(!images.picFractals.exists(bad + 1));
}

// The root directory is never taken for the program's: its F1.gif would be some other file.
void tst_ImagesWindow::withoutTheProgramsDirectoryNothingIsRead()
{
    pictures::ImagesWindow images(std::nullopt);
    QCOMPARE(loadFailure(images),
             QStringLiteral(
                 "Cannot load picture \"F1.gif\": the directory that holds the program cannot be found"));
    QVERIFY(!images.picFractals(1).picture());
}

void tst_ImagesWindow::namesAreExact_data()
{
    QTest::addColumn<QString>("present");
    QTest::addColumn<QString>("missing");
    QTest::newRow("lower-case f") << "f1.gif"
                                  << "F1.gif";
    QTest::newRow("upper-case extension") << "F1.GIF"
                                          << "F1.gif";
    QTest::newRow("leading zero") << "F01.gif"
                                  << "F1.gif";
    QTest::newRow("three digits") << "F010.gif"
                                  << "F10.gif";
}

void tst_ImagesWindow::namesAreExact()
{
    QFETCH(QString, present);
    QFETCH(QString, missing);
    PictureDirectory directory;
    const QString wanted = directory.dir.path() + QLatin1Char('/') + missing;
    QVERIFY(QFile::rename(wanted, directory.dir.path() + QLatin1Char('/') + present));

    pictures::ImagesWindow images(QFile::encodeName(directory.dir.path()));
    QCOMPARE(loadFailure(images), QStringLiteral("Cannot load picture \"%1\": file not found").arg(wanted));
}

void tst_ImagesWindow::picturesAreNamedByTheirFiles_data()
{
    QTest::addColumn<QByteArray>("comments"); // the comment extensions of a 1 x 1 GIF put in as F3.gif
    QTest::addColumn<QString>("name");

    QTest::newRow("none") << QByteArray() << "picture 3";
    QTest::newRow("one") << QByteArray("21fe0466726f6700") << "frog";
    QTest::newRow("in sub-blocks, then a second") << QByteArray("21fe03746f6102642100" /* then */
                                                                "21fe016200")
                                                  << "toad! b";
    QTest::newRow("control characters") << QByteArray("21fe0b3c623e0a0d1b5b316d783c00") << "<b> [1mx<";
    QTest::newRow("beyond the Basic Multilingual Plane")
        << QByteArray("21fe0e" + QByteArray("frog \xf0\x9f\x90\xb8 \xf0\xa0\x80\x80").toHex() + "00")
        << QString::fromUtf8("frog \xf0\x9f\x90\xb8 \xf0\xa0\x80\x80");
    QTest::newRow("one long word") << QByteArray("21fe78" + QByteArray(120, 'a').toHex() + "00")
                                   << QString(80, 'a');
    QTest::newRow("exactly 80 characters")
        << QByteArray("21fe50" + (QByteArray(39, 'a') + ' ' + QByteArray(40, 'b')).toHex() + "00")
        << QString(39, 'a') + ' ' + QString(40, 'b');
    QTest::newRow("cut after a whole word")
        << QByteArray("21fe64" + QByteArray("word ").repeated(20).toHex() + "00")
        << QStringLiteral("word ").repeated(16).chopped(1);
}

void tst_ImagesWindow::picturesAreNamedByTheirFiles()
{
    QFETCH(QByteArray, comments);
    QFETCH(QString, name);
    PictureDirectory directory;
    directory.replace(3,
                      QByteArray::fromHex("47494638396101000100800000000000ffffff" + comments
                                          + "2c00000000010001000002024401003b"));
    pictures::ImagesWindow images(QFile::encodeName(directory.dir.path()));
    images.Form_Load();
    QCOMPARE(images.picFractals(3).picture()->name(), name);
    // The generated faces carry their own names.
    QCOMPARE(images.picFractals(7).picture()->name(), QStringLiteral("Sierpinski carpet"));
    QCOMPARE(images.picFractals(8).picture()->name(), QStringLiteral("fern"));
}

QTEST_MAIN(tst_ImagesWindow)
#include "tst_imageswindow.moc"
