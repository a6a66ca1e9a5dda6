#include "artwork/complex.h"
#include "artwork/functions.h"
#include "artwork/icon.h"
#include "artwork/raster.h"

#include <QTest>

#include <cmath>
#include <csignal>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

using namespace artwork;

// Whole numbers whose value depends on the machine are no factors: char is signed on amd64, unsigned on
// arm64.
template<typename N>
concept Factor = requires(Fixed f, N n)
{
    f *n;
};
static_assert(Factor<int> && Factor<std::uint8_t> && Factor<std::int64_t>);
static_assert(!Factor<char> && !Factor<bool> && !Factor<wchar_t> && !Factor<double>);
// Nor are they raw values, whole numbers, dividends, divisors or shift counts, and neither are unscoped
// enumerations: how many of those nine entries take an N.
template<typename N>
constexpr int wholeEntries = int(requires(N n) { whole(n); }) + int(requires(N n) { Fixed::fromRaw(n); })
    + int(requires(N n) { floorDiv(n, 1); }) + int(requires(N n) { floorDiv(1, n); })
    + int(requires(N n) { roundDiv(n, 1); }) + int(requires(N n) { roundDiv(1, n); })
    + int(requires(Fixed f, N n) { f >> n; }) + int(requires(Fixed f, N n) { f << n; })
    + int(requires(Fixed f, N n) { f / n; });
enum Unscoped { unscoped };
static_assert(wholeEntries<int> == 9 && wholeEntries<std::uint64_t> == 9 && wholeEntries<short> == 9);
static_assert(wholeEntries<double> == 0 && wholeEntries<float> == 0 && wholeEntries<char> == 0
              && wholeEntries<bool> == 0 && wholeEntries<Unscoped> == 0 && wholeEntries<char8_t> == 0);

class tst_Artwork : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void functions_data();
    void functions();
    void coverage_data();
    void coverage();
    void iconIsTheSameDrawingAtEverySize();
    void outOfRangeStops_data();
    void outOfRangeStops();
};

void tst_Artwork::functions_data()
{
    QTest::addColumn<double>("computed");
    QTest::addColumn<double>("expected");
    const auto real = [](Fixed f) { return double(f.raw()) / double(one.raw()); };
    QTest::newRow("sin pi/6") << real(sin(pi / 6)) << 0.5;
    QTest::newRow("sin -3pi/4, reduced") << real(sin(-pi * 3 / 4)) << -std::sqrt(0.5);
    QTest::newRow("sin 20, reduced from afar") << real(sin(whole(20))) << std::sin(20.0);
    QTest::newRow("cos pi") << real(cos(pi)) << -1.0;
    QTest::newRow("log2 8") << real(log2(whole(8))) << 3.0;
    QTest::newRow("log2 0.1") << real(log2(fx(0.1))) << std::log2(0.1);
    QTest::newRow("e^0") << real(expNegative(Fixed())) << 1.0;
    QTest::newRow("e^-5.3") << real(expNegative(fx(5.3))) << std::exp(-5.3);
    QTest::newRow("sqrt 2") << real(sqrt(whole(2))) << std::sqrt(2.0);
    QTest::newRow("sqrt of a large number") << real(sqrt(whole(200000))) << std::sqrt(200000.0);
    QTest::newRow("sqrt 0") << real(sqrt(Fixed())) << 0.0;
}

void tst_Artwork::functions()
{
    QFETCH(double, computed);
    QFETCH(double, expected);
    QVERIFY2(std::abs(computed - expected) < 1e-5, qPrintable(QString::number(computed, 'g', 10)));
}

void tst_Artwork::coverage_data()
{
    // A 4 x 1 canvas; the alpha of each of its pixels once the polygons are filled.
    QTest::addColumn<QList<QList<double>>>("polygons"); // x0, y0, x1, y1, ...
    QTest::addColumn<QList<int>>("alpha");
    QTest::newRow("nothing") << QList<QList<double>>() << QList<int> {0, 0, 0, 0};
    QTest::newRow("on the pixels' edges")
        << QList<QList<double>> {{1, 0, 3, 0, 3, 1, 1, 1}} << QList<int> {0, 255, 255, 0};
    QTest::newRow("half a pixel each end")
        << QList<QList<double>> {{0.5, 0, 3.5, 0, 3.5, 1, 0.5, 1}} << QList<int> {128, 255, 255, 128};
    QTest::newRow("a quarter by height")
        << QList<QList<double>> {{0, 0.75, 4, 0.75, 4, 1, 0, 1}} << QList<int> {64, 64, 64, 64};
    QTest::newRow("a triangle halves a pixel")
        << QList<QList<double>> {{2, 0, 3, 1, 2, 1}} << QList<int> {0, 0, 128, 0};
    QTest::newRow("overlapping, counted once")
        << QList<QList<double>> {{0, 0, 2, 0, 2, 1, 0, 1}, {1, 0, 3, 0, 3, 1, 1, 1}}
        << QList<int> {255, 255, 255, 0};
    QTest::newRow("wound the other way, still inside")
        << QList<QList<double>> {{0, 0, 0, 1, 2, 1, 2, 0}} << QList<int> {255, 255, 0, 0};
    QTest::newRow("past the canvas, clipped")
        << QList<QList<double>> {{-3, -2, 9, -2, 9, 5, -3, 5}} << QList<int> {255, 255, 255, 255};
}

void tst_Artwork::coverage()
{
    QFETCH(QList<QList<double>>, polygons);
    QFETCH(QList<int>, alpha);
    std::vector<Polygon> shapes;
    for (const QList<double> &corners : polygons) {
        Polygon polygon;
        for (qsizetype i = 0; i + 1 < corners.size(); i += 2)
            polygon.push_back({Fixed::fromRaw(std::int64_t(corners[i] * 16)) << 20,
                               Fixed::fromRaw(std::int64_t(corners[i + 1] * 16)) << 20});
        shapes.push_back(polygon);
    }
    Canvas canvas(4, 1);
    canvas.fill(shapes, {255, 0, 0});
    const std::vector<std::uint8_t> pixels = canvas.rgba(false);
    QList<int> drawn;
    for (int x = 0; x < 4; ++x) {
        drawn << pixels[size_t(x) * 4 + 3];
        if (drawn.last() > 0)
            QCOMPARE(pixels[size_t(x) * 4], std::uint8_t(255)); // red however little is covered
    }
    QCOMPARE(drawn, alpha);
}

void tst_Artwork::iconIsTheSameDrawingAtEverySize()
{
    // The icon brought down from 64 pixels to 16, four by four, is the icon drawn at 16.
    const std::vector<Shape> shapes = iconShapes();
    const std::vector<std::uint8_t> small = drawIcon(shapes, 16).rgba(true),
                                    large = drawIcon(shapes, 64).rgba(true);
    long difference = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int k = 0; k < 16; ++k)
                    sum += large[size_t(((y * 4 + k / 4) * 64 + x * 4 + k % 4) * 4 + c)];
                difference += std::abs(sum / 16 - small[size_t((y * 16 + x) * 4 + c)]);
            }
    QVERIFY2(difference < 16 * 16 * 4 * 6, qPrintable(QString::number(difference)));
    // Opaque where the cards are, clear in the corners.
    QCOMPARE(small[(8 * 16 + 8) * 4 + 3], std::uint8_t(255));
    QCOMPARE(small[3], std::uint8_t(0));
}

void tst_Artwork::outOfRangeStops_data()
{
    QTest::addColumn<std::function<void()>>("compute");
    const Fixed lowest = Fixed::fromRaw(INT64_MIN), highest = Fixed::fromRaw(INT64_MAX);
    using Compute = std::function<void()>;
    QTest::newRow("lowest / -1") << Compute([=] { (void)(lowest / -1); });
    QTest::newRow("ratio(lowest, -epsilon)") << Compute([=] { (void)ratio(lowest, -epsilon); });
    QTest::newRow("a sum past 64 bits") << Compute([=] { (void)(highest + epsilon); });
    QTest::newRow("a difference past 64 bits") << Compute([=] { (void)(lowest - epsilon); });
    QTest::newRow("-lowest") << Compute([=] { (void)-lowest; });
    QTest::newRow("epsilon << 63") << Compute([] { (void)(epsilon << 63); });
    QTest::newRow("one << 40") << Compute([] { (void)(one << 40); });
    QTest::newRow("a coarse norm at its bound") << Compute([] {
        (void)coarseNorm({whole(1 << 19), whole(1 << 19)});
    });
    QTest::newRow("a factor past 64 bits") << Compute([] { (void)(epsilon * UINT64_MAX); });
    QTest::newRow("a whole number past 64 bits") << Compute([] { (void)whole(UINT64_MAX); });
    QTest::newRow("a raw value past 64 bits") << Compute([] { (void)Fixed::fromRaw(UINT64_MAX); });
    QTest::newRow("a dividend past 64 bits") << Compute([] { (void)floorDiv(UINT64_MAX, 2); });
    QTest::newRow("a divisor past 64 bits") << Compute([] { (void)roundDiv(2, UINT64_MAX); });
    QTest::newRow("a shift by 2^32 + 1") << Compute([] { (void)(one << ((std::int64_t(1) << 32) + 1)); });
    QTest::newRow("a shift by -1") << Compute([] { (void)(one >> -1); });
    QTest::newRow("a shift by 63") << Compute([] { (void)(one >> 63u); });
}

// Each edge, evaluated in a child process, must stop it with the arithmetic's own message.
void tst_Artwork::outOfRangeStops()
{
    QFETCH(std::function<void()>, compute);
    int output[2];
    QCOMPARE(pipe(output), 0);
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        dup2(output[1], STDERR_FILENO);
        compute();
        _exit(0);
    }
    close(output[1]);
    char said[200] = {};
    const ssize_t length = read(output[0], said, sizeof said - 1);
    close(output[0]);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT, "it went on");
    QVERIFY2(length > 0 && QByteArray(said).startsWith("artwork: "), said);
}

QTEST_GUILESS_MAIN(tst_Artwork)
#include "tst_artwork.moc"
