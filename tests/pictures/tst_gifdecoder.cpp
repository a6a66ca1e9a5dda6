// Our GIF decoder against Qt's own GIF reader, on GIFs made here for each feature of the format and of LZW,
// and one written by Pillow: both must draw the same pixels, fully transparent pixels being equal whatever
// their colour.
#include "pictures/gifcodes.h"
#include "pictures/gifdecoder.h"

#include <QBuffer>
#include <QImageReader>
#include <QTest>

#include <bit>
#include <functional>
#include <map>

namespace {

// How the LZW encoder writes a frame's codes; by default as GIF encoders do.
struct Encoding
{
    int codeSize = 0; // the minimum code size; 0: the colour table's
    bool openingClear = true; // a clear code first
    bool endCode = true; // an end code last
    bool clearWhenFull = true; // a clear code once the table holds 4096 entries; else it is kept as it is
    int clearEvery = 0; // a clear code after this many codes, if not 0
};

struct Frame
{
    explicit Frame(const QRect &where) : rect(where) { }

    QRect rect; // within the picture
    QList<QRgb> localTable; // empty: the global table
    bool interlaced = false;
    int transparent = -1;
    Encoding encoding;
    std::function<int(int x, int y)> index = [](int x, int y) { return (3 * x + 5 * y) % 2; }; // its colour
};

void put16(QByteArray &out, int value)
{
    out += char(value & 0xff);
    out += char(value >> 8);
}

// The size field of a colour table of `colours` entries (a power of two, 2 to 256).
int sizeField(const QList<QRgb> &colours)
{
    return std::countr_zero(unsigned(colours.size())) - 1;
}

QByteArray table(const QList<QRgb> &colours)
{
    QByteArray out;
    for (const QRgb colour : colours)
        for (const int channel : {qRed(colour), qGreen(colour), qBlue(colour)})
            out += char(channel);
    return out;
}

QByteArray subBlocks(const QByteArray &data)
{
    QByteArray out;
    for (qsizetype at = 0; at < data.size(); at += 255)
        out += char(std::min<qsizetype>(255, data.size() - at)) + data.mid(at, 255);
    return out + '\0';
}

// A real LZW encoder: the longest string of indices that the table holds, one code for it, and a new entry
// for it and the next index, with the code width that the decoder reads at each point (it learns each entry
// one code later than the encoder makes it).
QByteArray lzw(const QByteArray &indices, const Encoding &how)
{
    const int codeSize = how.codeSize, clear = 1 << codeSize;
    QByteArray out;
    quint64 bits = 0;
    int count = 0, width = codeSize + 1, known = clear + 2, made = clear + 2, sinceClear = 0;
    std::map<QByteArray, int> table;
    const auto put = [&](int code) {
        bits |= quint64(code) << count;
        for (count += width; count >= 8; count -= 8, bits >>= 8)
            out += char(bits & 0xff);
    };
    const auto restart = [&] {
        put(clear);
        table.clear();
        width = codeSize + 1;
        known = made = clear + 2;
        sinceClear = 0;
    };
    const auto code = [&](const QByteArray &string) {
        return string.size() == 1 ? int(quint8(string[0])) : table.at(string);
    };
    const auto emit = [&](int value) {
        put(value);
        // What the decoder adds on reading it: an entry for every code but the first after a clear.
        if (sinceClear++ > 0 && known < 4096 && ++known == 1 << width && width < 12)
            ++width;
    };
    if (how.openingClear)
        restart();
    QByteArray string;
    for (const char index : indices) {
        const QByteArray longer = string + index;
        if (string.isEmpty() || longer.size() == 1 || table.count(longer) > 0) {
            string = longer;
            continue;
        }
        emit(code(string));
        if (made < 4096)
            table[longer] = made++;
        string = QByteArray(1, index);
        if ((made == 4096 && how.clearWhenFull) || (how.clearEvery > 0 && sinceClear >= how.clearEvery)) {
            emit(code(string));
            string.clear();
            restart();
        }
    }
    if (!string.isEmpty())
        emit(code(string));
    if (how.endCode)
        put(clear + 1);
    if (count > 0)
        out += char(bits & 0xff);
    return out;
}

QByteArray gif(QSize screen, const QList<QRgb> &global, const QList<Frame> &frames,
               const QByteArray &comment = {})
{
    QByteArray out("GIF89a");
    put16(out, screen.width());
    put16(out, screen.height());
    out += char(global.isEmpty() ? 0 : 0x80 | 0x70 | sizeField(global));
    out += QByteArray(2, '\0'); // background colour 0, no aspect ratio
    out += table(global);
    if (!comment.isEmpty())
        out += "\x21\xfe" + subBlocks(comment);
    for (const Frame &frame : frames) {
        if (frame.transparent >= 0)
            out += QByteArray::fromHex("21f904010000") + char(frame.transparent) + '\0';
        out += ',';
        for (const int value : {frame.rect.x(), frame.rect.y(), frame.rect.width(), frame.rect.height()})
            put16(out, value);
        out += char((frame.localTable.isEmpty() ? 0 : 0x80 | sizeField(frame.localTable))
                    | (frame.interlaced ? 0x40 : 0));
        out += table(frame.localTable);
        // Rows in the order the file keeps them: interlaced, every 8th from 0, from 4, every 4th from 2,
        // every 2nd from 1.
        QList<int> rows;
        const int height = frame.rect.height();
        for (const auto &[start, step] : frame.interlaced
                 ? QList<std::pair<int, int>> {{0, 8}, {4, 8}, {2, 4}, {1, 2}}
                 : QList<std::pair<int, int>> {{0, 1}})
            for (int y = start; y < height; y += step)
                rows << y;
        QByteArray indices;
        for (const int y : rows)
            for (int x = 0; x < frame.rect.width(); ++x)
                indices += char(frame.index(x, y));
        const int tableSize = int((frame.localTable.isEmpty() ? global : frame.localTable).size());
        Encoding encoding = frame.encoding;
        if (encoding.codeSize == 0)
            encoding.codeSize = std::max(2, std::countr_zero(unsigned(tableSize)));
        out += char(encoding.codeSize) + subBlocks(lzw(indices, encoding));
    }
    return out + ';';
}

QList<QRgb> colours(int count)
{
    QList<QRgb> made;
    for (int k = 0; k < count; ++k)
        made << qRgb((k * 37) % 256, (k * 91 + 13) % 256, 255 - k);
    return made;
}

} // namespace

class tst_GifDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drawsAsQtDraws_data();
    void drawsAsQtDraws();
    void readsNoCodesOfAnotherSize();
};

void tst_GifDecoder::drawsAsQtDraws_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QRect>("drawn"); // where Qt's pixels are compared; ours are transparent outside it
    QTest::addColumn<QImage>(
        "placed"); // where Qt's reader places rows otherwise: the frame as the file places it

    const QSize size(21, 13);
    const QRect whole({0, 0}, size);
    const auto row = [](const char *name, const QByteArray &file, const QRect &frame) {
        QTest::newRow(name) << file << frame << QImage();
    };
    for (const int count : {2, 4, 16, 256}) {
        Frame frame {whole};
        frame.index = [count](int x, int y) { return (3 * x + 5 * y + x * y) % count; };
        QTest::addRow("%d colours", count) << gif(size, colours(count), {frame}) << whole << QImage();
    }

    Frame interlaced {whole};
    interlaced.interlaced = true;
    interlaced.index = [](int, int y) { return y % 4; }; // every row tells where it went
    row("interlaced", gif(size, colours(4), {interlaced}), whole);

    Frame transparent {whole};
    transparent.transparent = 1;
    transparent.index = [](int x, int y) { return (x + y) % 4; };
    row("a transparent colour", gif(size, colours(4), {transparent}), whole);

    Frame local {whole};
    local.localTable = colours(8).mid(4) + colours(8).mid(0, 4);
    local.index = [](int x, int y) { return (x * y) % 8; };
    row("a local colour table", gif(size, colours(8), {local}), whole);

    Frame offset {QRect(5, 3, 9, 7)};
    offset.index = [](int x, int y) { return (x + 2 * y) % 4; };
    row("a frame offset inside the picture", gif(size, colours(4), {offset}), offset.rect);

    // Frames past an edge of the picture: each pixel where the file puts it, what falls off left out. Qt's
    // reader lays the rows of an interlaced frame out by its clipped height, and reads rows for the empty
    // second pass of one under 5 rows: there each file row must land where giflib puts it.
    for (const QRect &rect :
         {QRect(15, 2, 10, 6), QRect(3, 9, 6, 8), QRect(2, 5, 15, 12), QRect(0, 4, 21, 3)}) {
        Frame frame {rect};
        frame.interlaced = rect.height() != 6 && rect.height() != 8;
        frame.index = [](int x, int y) { return (y * 2 + x % 2) % 4; }; // every row tells where it went
        QImage placed;
        if (frame.interlaced) {
            placed = QImage(size, QImage::Format_ARGB32_Premultiplied);
            placed.fill(Qt::transparent);
            for (int y = 0; y < rect.height(); ++y)
                for (int x = 0; x < rect.width(); ++x)
                    if (whole.contains(rect.topLeft() + QPoint(x, y)))
                        placed.setPixel(rect.topLeft() + QPoint(x, y), colours(4).at(frame.index(x, y)));
        }
        QTest::addRow("%s frame at %d, %d of %d x %d", frame.interlaced ? "an interlaced" : "a", rect.x(),
                      rect.y(), rect.width(), rect.height())
            << gif(size, colours(4), {frame}) << (rect & whole) << placed;
    }

    Frame past {whole};
    past.encoding.codeSize = 3;
    past.index = [](int x, int y) { return x < 10 ? (x + y) % 2 : 2 + (x + y) % 6; }; // past the table of two
    row("indices past the table", gif(size, colours(2), {past}), QRect(0, 0, 10, size.height()));

    Frame second {whole};
    second.index = [](int, int) { return 3; };
    row("comments before the image", gif(size, colours(4), {Frame {whole}}, "first\n" + QByteArray(300, 'c')),
        whole);
    row("several frames, the first counts", gif(size, colours(4), {Frame {whole}, second}), whole);
    // Real LZW: table codes of every width up to 12 on a picture large enough to fill the table, which an
    // encoder clears, keeps full without a clear (a deferred clear) or clears early; runs of one index that
    // send the code one past the table; no opening clear code; no end code; a minimum code size of 8 for two
    // colours.
    const QSize large(160, 120);
    const QRect all({0, 0}, large);
    const auto noise = [](int x, int y) { // indices with no pattern, so that the table fills
        quint32 h = quint32(x) * 73856093u ^ quint32(y) * 19349663u;
        h ^= h >> 13;
        h *= 0x5bd1e995u;
        return int((h ^ (h >> 15)) & 0xff);
    };
    const auto lzwRow = [&](const char *name, int count, std::function<int(int, int)> index, Encoding how) {
        Frame frame {all};
        frame.index = std::move(index);
        frame.encoding = how;
        row(name, gif(large, colours(count), {frame}), all);
    };
    lzwRow("a table filled and cleared", 256, noise, {});
    lzwRow("a full table kept without a clear code", 256, noise, {.clearWhenFull = false});
    lzwRow("clear codes sent early", 256, noise, {.clearEvery = 300});
    lzwRow("runs that send the code one past the table", 4,
           [](int x, int y) { return (x / 40 + y / 30) % 4; }, {});
    lzwRow("no opening clear code", 16, [](int x, int y) { return (x * y) % 16; }, {.openingClear = false});
    lzwRow("no end code", 16, [](int x, int y) { return (x + y) % 16; }, {.endCode = false});
    lzwRow("a minimum code size of 8 for two colours", 2, [](int x, int y) { return (x ^ y) & 1; },
           {.codeSize = 8});
    // Indices whose every pair in a row is new, so that each is a code of its own, until 0, 1, 2 makes the
    // table's last entry, 4095, with no clear; then 2, 200 and 0, 1, 2 again, which is that entry's code.
    Frame full {QRect(0, 0, 62, 62)};
    full.index = [](int x, int y) {
        const int j = y * 62 + x;
        return j < 3837 ? (j % 256 * (2 * (j / 256) + 1) + j / 256) % 256
                        : QList {0, 1, 2, 200, 0, 1, 2}[j - 3837];
    };
    full.encoding.clearWhenFull = false;
    row("a full table whose last entry is then used", gif(full.rect.size(), colours(256), {full}), full.rect);

    // Written by a common library's encoder: Pillow 9.4, 24 x 16 pixels of bands in 8 colours.
    row("a GIF written by Pillow",
        QByteArray::fromHex(
            "47494638376118001000820000000dff2568fe4ac3fd6f1efc9479fbb9d4fade2ff90000002c0000000018001000"
            "4008720001081c18a0a0410108130e58c830a142860b09489c58a0a24583071d0a801871a2448e033c4ab468d1"
            "80c9930309620ca07123c7952c35821449a0e54c91242bdef498b3c049942901c0b4c931a8d09544210e95c991"
            "e652873b27266548b3e7d48e3c73461d99f3a7c9ad047a7a351010003b"),
        QRect(0, 0, 24, 16));

    // Minimum code sizes below GIF's 2, which giflib and Qt's reader read with codes of other widths for a
    // code or two after each clear, but to the same pixels of the frame here: one pixel with a transparent
    // colour (from a public decoder's bug tracker); two pixels of size 0, whose second code is 0 however
    // wide; two of size 1, 0 and 1, whose second code has its extra bit clear; 8 x 8 of each size, all codes
    // 0.
    row("a minimum code size of 1",
        QByteArray::fromHex(
            "4749463839610100010080ff00c0c0c000000021f90401000000002c000000000100010000010132003b"),
        QRect(0, 0, 1, 1));
    const auto small = [](QSize size, int codeSize, const QByteArray &codes) {
        QByteArray file = QByteArray::fromHex("474946383961") + QByteArray(4, '\0')
            + QByteArray::fromHex("800000c0c0c0000000") + ',' + QByteArray(4, '\0') + QByteArray(4, '\0')
            + '\0' + char(codeSize) + subBlocks(codes) + ';';
        for (const qsizetype at : {6, 24})
            file[at] = char(size.width()), file[at + 2] = char(size.height());
        return file;
    };
    row("a minimum code size of 0, two pixels", small({2, 1}, 0, QByteArray::fromHex("01")),
        QRect(0, 0, 2, 1));
    row("a minimum code size of 1, two pixels", small({2, 1}, 1, QByteArray::fromHex("12")),
        QRect(0, 0, 2, 1));
    row("a minimum code size of 0, 8 x 8", small({8, 8}, 0, QByteArray::fromHex("01") + QByteArray(60, '\0')),
        QRect(0, 0, 8, 8));
    row("a minimum code size of 1, 8 x 8", small({8, 8}, 1, QByteArray::fromHex("02") + QByteArray(50, '\0')),
        QRect(0, 0, 8, 8));
    // Clear, 1, then a code past the table that giflib reads as 5, its prefix 1 and a pixel made up past the
    // frame, and Qt's reader as 1; or then 1, alike, and a code past the table after the last pixel.
    row("a minimum code size of 1, a pixel made up past the frame",
        small({2, 1}, 1, QByteArray::fromHex("56")), QRect(0, 0, 2, 1));
    row("a minimum code size of 1, a code past the table after the last pixel",
        small({2, 1}, 1, QByteArray::fromHex("960f")), QRect(0, 0, 2, 1));
    // Codes past the fifth after a clear, where Qt's reader widens as its table grows, read alike.
    row("a minimum code size of 0, where Qt's reader widens",
        small({5, 2}, 0, QByteArray::fromHex("00000200")), QRect(0, 0, 5, 2));
    row("a minimum code size of 1, where Qt's reader widens", small({8, 1}, 1, QByteArray::fromHex("000052")),
        QRect(0, 0, 8, 1));
}

// A minimum code size past GIF's 8, wherever it comes from, is refused before a code is read, and a size
// byte past the file's end leaves the file's end to decide.
void tst_GifDecoder::readsNoCodesOfAnotherSize()
{
    const QByteArray codes = QByteArray::fromHex("0d01ff00");
    for (const char size : {char(9), char(13), char(255)})
        QCOMPARE(pictures::readFrameCodes(size + codes.mid(1), 0, 100),
                 pictures::FrameCodes::CodeSizeOutOfRange);
    QCOMPARE(pictures::readFrameCodes(codes, 4, 100), pictures::FrameCodes::Drawable);
}

void tst_GifDecoder::drawsAsQtDraws()
{
    QFETCH(QByteArray, file);
    QFETCH(QRect, drawn);
    QFETCH(QImage, placed);

    const pictures::DecodedGif ours = pictures::decodeGif(file);
    QVERIFY2(ours.problem == pictures::DecodedGif::Problem::None, qPrintable(ours.error));
    QBuffer buffer(&file);
    QImageReader reader(&buffer, "gif");
    const QImage qt
        = placed.isNull() ? reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied) : placed;
    QVERIFY2(!qt.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(ours.image.size(), qt.size());
    for (int y = 0; y < qt.height(); ++y)
        for (int x = 0; x < qt.width(); ++x) {
            const QRgb mine = ours.image.pixel(x, y), theirs = qt.pixel(x, y);
            const QString where = QStringLiteral("at %1, %2: %3 against Qt's %4")
                                      .arg(x)
                                      .arg(y)
                                      .arg(mine, 8, 16, QLatin1Char('0'))
                                      .arg(theirs, 8, 16, QLatin1Char('0'));
            // Outside a frame smaller than the picture Qt paints the background, and white for an index past
            // the colour table; we invent no colour for either and leave them clear.
            if (!drawn.contains(x, y))
                QVERIFY2(qAlpha(mine) == 0, qPrintable(where));
            else if (qAlpha(mine) != 0 || qAlpha(theirs) != 0)
                QVERIFY2(mine == theirs, qPrintable(where));
        }
}

QTEST_GUILESS_MAIN(tst_GifDecoder)
#include "tst_gifdecoder.moc"
