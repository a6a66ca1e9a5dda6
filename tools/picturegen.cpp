// Writes the game's pictures: twenty 64 x 64 fractal faces, F1.gif to F20.gif, each in its own shape and
// palette so that any two tell apart at a glance, and the 48 x 36 wood-grain card back. Each is also drawn
// at twice the size from the same figure at twice the detail (F1@2x.gif, ...), for high-density screens,
// and each face carries its name ("fern") as a GIF comment for assistive technology to speak.
//
//   picturegen faces <directory>     F1.gif to F20.gif and F1@2x.gif to F20@2x.gif in <directory>
//   picturegen back <file>           the card back, and its @2x twin beside it
//
// The output depends on nothing but this file: the same program always writes the same bytes.

#include "artwork.h"
#include "pictures/twinname.h"

#include <gif_lib.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int faceSize = 64;
constexpr double pi = 3.14159265358979323846;

using artwork::Rgb;

using Palette = std::vector<Rgb>;

struct Indexed
{
    int width, height;
    std::vector<std::uint8_t> pixels;
    Palette palette;
    std::string name; // written as the picture's comment when not empty
};

// How finely a picture is drawn: 1 for the design's own size, 2 for twice as many pixels each way.
struct Detail
{
    int scale;
    int size() const { return faceSize * scale; }
    // Recursive figures go one level deeper at twice the size, so the extra pixels show extra detail.
    int extraLevels() const { return scale - 1; }
};

// A palette of `count` entries along colour stops at positions 0..1.
Palette gradient(const std::vector<std::pair<double, Rgb>> &stops, int count)
{
    Palette palette;
    for (int i = 0; i < count; ++i) {
        const double t = count == 1 ? 0 : double(i) / (count - 1);
        size_t k = 0;
        while (k + 2 < stops.size() && t > stops[k + 1].first)
            ++k;
        const auto &[t0, a] = stops[k];
        const auto &[t1, b] = stops[k + 1];
        const double f = std::clamp((t - t0) / (t1 - t0), 0.0, 1.0);
        palette.push_back({int(std::lround(a.r + (b.r - a.r) * f)), int(std::lround(a.g + (b.g - a.g) * f)),
                           int(std::lround(a.b + (b.b - a.b) * f))});
    }
    return palette;
}

// Entry 0 is the inside colour; entries 1..255 run along the stops.
Palette withInside(Rgb inside, const std::vector<std::pair<double, Rgb>> &stops)
{
    Palette palette {inside};
    const Palette rest = gradient(stops, 255);
    palette.insert(palette.end(), rest.begin(), rest.end());
    return palette;
}

// Renders a face from a function of the point (u, v) in [0, 1) x [0, 1) to a palette index.
Indexed face(Detail detail, const std::function<int(double, double)> &indexAt, Palette palette)
{
    const int size = detail.size();
    Indexed image {size, size, {}, std::move(palette), {}};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.pixels.push_back(
                std::uint8_t(std::clamp(indexAt((x + 0.5) / size, (y + 0.5) / size), 0, 255)));
    return image;
}

// A cyclic palette index 1..255 for a smooth escape count, or 0 inside the set.
int escapeIndex(double smooth, bool escaped, double cycle)
{
    if (!escaped)
        return 0;
    return 1 + int(std::fmod(std::max(smooth, 0.0) * cycle, 1.0) * 254.0);
}

using Step = std::function<std::complex<double>(std::complex<double>, std::complex<double>)>;

// Escape-time picture of z -> step(z, c) over the rectangle centred at `centre`, `width` across.
Indexed escapeTime(Detail detail, std::complex<double> centre, double width, bool julia,
                   std::complex<double> constant, Step step, double power, double cycle, Palette palette)
{
    constexpr int limit = 300;
    return face(
        detail,
        [=](double u, double v) {
            const std::complex<double> point
                = centre + std::complex<double>((u - 0.5) * width, (v - 0.5) * width);
            std::complex<double> z = julia ? point : 0.0;
            const std::complex<double> c = julia ? constant : point;
            for (int n = 0; n < limit; ++n) {
                z = step(z, c);
                if (std::norm(z) > 256.0) {
                    const double smooth = n + 1 - std::log(std::log(std::abs(z))) / std::log(power);
                    return escapeIndex(smooth, true, cycle);
                }
            }
            return 0;
        },
        std::move(palette));
}

std::complex<double> square(std::complex<double> z, std::complex<double> c)
{
    return z * z + c;
}

// Newton's method for z^degree = 1: each root its own band of the palette, shaded by the steps it took.
Indexed newton(Detail detail, int degree, double zoom, const std::vector<Rgb> &colours)
{
    const int band = 255 / degree;
    Palette palette {{20, 20, 20}};
    for (const Rgb &colour : colours) {
        const Palette shades = gradient(
            {{0, {255, 255, 255}}, {0.25, colour}, {1, {colour.r / 6, colour.g / 6, colour.b / 6}}}, band);
        palette.insert(palette.end(), shades.begin(), shades.end());
    }
    return face(
        detail,
        [=](double u, double v) {
            std::complex<double> z((u - 0.5) * zoom, (v - 0.5) * zoom);
            for (int n = 0; n < 60; ++n) {
                const std::complex<double> power = std::pow(z, degree - 1);
                if (std::abs(power) < 1e-12)
                    return 0;
                z -= (power * z - 1.0) / (double(degree) * power);
                for (int root = 0; root < degree; ++root) {
                    const std::complex<double> target = std::polar(1.0, 2 * pi * root / degree);
                    if (std::abs(z - target) < 1e-3)
                        return 1 + root * band + std::min(band - 1, n * band / 16);
                }
            }
            return 0;
        },
        std::move(palette));
}

// A deterministic sequence of random numbers in [0, 1), so that the pictures never change.
class Lcg
{
public:
    explicit Lcg(std::uint64_t seed) : m_state(seed) { }
    double next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(m_state >> 11) * 0x1p-53;
    }

private:
    std::uint64_t m_state;
};

struct Affine
{
    double a, b, c, d, e, f, weight;
};

// An iterated function system drawn as the density of its orbit, on a logarithmic scale.
Indexed chaosGame(Detail detail, const std::vector<Affine> &maps, double left, double top, double size,
                  Palette palette)
{
    const int pixels = detail.size();
    std::vector<int> hits(size_t(pixels * pixels), 0);
    Lcg random(7);
    double x = 0, y = 0;
    // As many points per pixel at every size.
    const int points = 400000 * detail.scale * detail.scale;
    for (int i = 0; i < points; ++i) {
        double pick = random.next();
        size_t k = 0;
        while (k + 1 < maps.size() && pick > maps[k].weight) {
            pick -= maps[k].weight;
            ++k;
        }
        const Affine &m = maps[k];
        const double nx = m.a * x + m.b * y + m.e;
        y = m.c * x + m.d * y + m.f;
        x = nx;
        const int px = int((x - left) / size * pixels);
        const int py = int((top - y) / size * pixels);
        if (i > 20 && px >= 0 && px < pixels && py >= 0 && py < pixels)
            ++hits[size_t(py * pixels + px)];
    }
    const int most = *std::max_element(hits.begin(), hits.end());
    return face(
        detail,
        [&](double u, double v) {
            const int count = hits[size_t(int(v * pixels) * pixels + int(u * pixels))];
            return count == 0 ? 0 : 1 + int(254.0 * std::log1p(count) / std::log1p(most));
        },
        std::move(palette));
}

// Sierpinski-like carpets: the depth of the first hole a point falls into picks its colour.
Indexed carpet(Detail detail, const std::function<bool(int, int)> &isHole, Palette palette, int levels)
{
    levels += detail.extraLevels();
    return face(
        detail,
        [=](double u, double v) {
            double x = u, y = v;
            for (int level = 0; level < levels; ++level) {
                const int cx = std::min(2, int(x * 3));
                const int cy = std::min(2, int(y * 3));
                if (isHole(cx, cy))
                    return 1 + level * (254 / levels);
                x = x * 3 - cx;
                y = y * 3 - cy;
            }
            return 255;
        },
        std::move(palette));
}

Indexed sierpinskiTriangle(Detail detail)
{
    Palette palette = withInside({18, 6, 24}, {{0, {255, 60, 200}}, {1, {255, 220, 250}}});
    const int size = detail.size();
    return face(
        detail,
        [=](double u, double v) {
            const int x = int(u * size), y = int(v * size);
            // Pascal's triangle modulo 2, leaning to the left and shaded by height.
            return (x & (size - 1 - y)) == 0 ? 1 + y * 4 / detail.scale : 0;
        },
        std::move(palette));
}

bool insidePolygon(const std::vector<std::complex<double>> &polygon, std::complex<double> p)
{
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const auto a = polygon[i], b = polygon[j];
        if ((a.imag() > p.imag()) != (b.imag() > p.imag())
            && p.real() < (b.real() - a.real()) * (p.imag() - a.imag()) / (b.imag() - a.imag()) + a.real())
            inside = !inside;
    }
    return inside;
}

Indexed kochSnowflake(Detail detail)
{
    const std::vector<std::complex<double>> points = artwork::kochSnowflake(0.46, 4 + detail.extraLevels());
    Palette palette
        = withInside({10, 16, 40}, {{0, {230, 250, 255}}, {0.6, {90, 180, 240}}, {1, {30, 70, 160}}});
    return face(
        detail,
        [&](double u, double v) {
            const std::complex<double> p(u - 0.5, v - 0.52);
            return insidePolygon(points, p) ? 1 + int(std::min(1.0, std::abs(p) / 0.46) * 254) : 0;
        },
        std::move(palette));
}

Indexed lyapunov(Detail detail)
{
    Palette palette = withInside({0, 0, 0},
                                 {{0, {20, 30, 110}},
                                  {0.45, {60, 120, 230}},
                                  {0.5, {0, 0, 0}},
                                  {0.55, {250, 200, 40}},
                                  {1, {255, 250, 200}}});
    const std::string sequence = "AABAB";
    return face(
        detail,
        [&](double u, double v) {
            const double a = 2.6 + u * 1.4, b = 4.0 - v * 1.4;
            double x = 0.5, sum = 0;
            for (int n = 0; n < 240; ++n) {
                const double r = sequence[size_t(n) % sequence.size()] == 'A' ? a : b;
                x = r * x * (1 - x);
                if (n >= 40)
                    sum += std::log(std::max(1e-12, std::abs(r * (1 - 2 * x))));
            }
            const double exponent = std::clamp(sum / 200, -2.0, 1.0);
            return exponent < 0 ? 128 - int(-exponent / 2 * 127) : 128 + int(exponent * 127);
        },
        std::move(palette));
}

Indexed pythagorasTree(Detail detail)
{
    struct Square
    {
        std::complex<double> corner, side; // corner and the vector of its base
        int depth;
    };
    std::vector<Square> squares;
    // Each square carries a 3-4-5 right triangle whose two short sides bear the next squares.
    std::function<void(std::complex<double>, std::complex<double>, int)> branch
        = [&](std::complex<double> corner, std::complex<double> side, int depth) {
              squares.push_back({corner, side, depth});
              if (depth == 9 + detail.extraLevels())
                  return;
              const std::complex<double> up = side * std::complex<double>(0, -1);
              const std::complex<double> leftSide = side * std::polar(0.8, -0.6435);
              const std::complex<double> rightSide = side - leftSide;
              branch(corner + up, leftSide, depth + 1);
              branch(corner + up + leftSide, rightSide, depth + 1);
          };
    branch({0.41, 0.97}, {0.17, 0}, 0);
    Palette palette
        = withInside({200, 230, 250}, {{0, {110, 70, 30}}, {0.5, {140, 120, 40}}, {1, {60, 200, 60}}});
    return face(
        detail,
        [&](double u, double v) {
            const std::complex<double> p(u, v);
            int deepest = -1;
            for (const Square &s : squares) {
                const std::complex<double> local = (p - s.corner) / s.side; // the square becomes (0,0)-(1,-1)
                if (local.real() >= 0 && local.real() <= 1 && local.imag() <= 0 && local.imag() >= -1)
                    deepest = std::max(deepest, s.depth);
            }
            return deepest < 0 ? 0 : 1 + deepest * 28;
        },
        std::move(palette));
}

std::vector<Indexed> faces(Detail d)
{
    using C = std::complex<double>;
    std::vector<Indexed> all;
    // 1: the whole Mandelbrot set, gold and blue.
    all.push_back(
        escapeTime(d, {-0.6, 0}, 2.9, false, 0, square, 2, 0.06,
                   withInside({8, 8, 40}, {{0, {10, 30, 120}}, {0.5, {255, 200, 60}}, {1, {10, 30, 120}}})));
    // 2: a Julia set on fire.
    all.push_back(escapeTime(
        d, 0, 3.0, true, C(-0.8, 0.156), square, 2, 0.05,
        withInside({0, 0, 0},
                   {{0, {30, 0, 0}}, {0.4, {220, 40, 0}}, {0.8, {255, 220, 40}}, {1, {30, 0, 0}}})));
    // 3: a Julia set in emerald.
    all.push_back(
        escapeTime(d, 0, 2.6, true, C(0.285, 0.01), square, 2, 0.05,
                   withInside({0, 40, 20}, {{0, {0, 20, 10}}, {0.5, {80, 240, 140}}, {1, {0, 20, 10}}})));
    // 4: the burning ship, upright.
    all.push_back(escapeTime(
        d, {-0.45, -0.5}, 3.2, false, 0,
        [](C z, C c) {
            return C(std::abs(z.real()), std::abs(z.imag())) * C(std::abs(z.real()), std::abs(z.imag())) + c;
        },
        2, 0.08,
        withInside({60, 20, 0}, {{0, {255, 240, 200}}, {0.5, {230, 110, 20}}, {1, {255, 240, 200}}})));
    // 5: Newton's basins of z^3 = 1 in red, green and blue.
    all.push_back(newton(d, 3, 3.0, {{230, 40, 40}, {40, 200, 60}, {50, 90, 240}}));
    // 6: Sierpinski's triangle, magenta.
    all.push_back(sierpinskiTriangle(d));
    // 7: Sierpinski's carpet, teal.
    all.push_back(carpet(
        d, [](int x, int y) { return x == 1 && y == 1; },
        gradient({{0, {5, 40, 50}}, {0.7, {20, 200, 210}}, {1, {210, 255, 250}}}, 256), 4));
    // 8: Barnsley's fern.
    all.push_back(chaosGame(d,
                            {{0, 0, 0, 0.16, 0, 0, 0.01},
                             {0.85, 0.04, -0.04, 0.85, 0, 1.6, 0.85},
                             {0.2, -0.26, 0.23, 0.22, 0, 1.6, 0.07},
                             {-0.15, 0.28, 0.26, 0.24, 0, 0.44, 0.07}},
                            -5.2, 10.3, 10.6,
                            withInside({5, 15, 5}, {{0, {30, 110, 30}}, {1, {200, 255, 120}}})));
    // 9: the seahorse valley of the Mandelbrot set, violet.
    all.push_back(
        escapeTime(d, {-0.7453, 0.1127}, 0.012, false, 0, square, 2, 0.03,
                   withInside({20, 0, 30}, {{0, {40, 0, 60}}, {0.5, {250, 120, 230}}, {1, {40, 0, 60}}})));
    // 10: the tricorn, red and teal.
    all.push_back(escapeTime(
        d, {-0.3, 0}, 3.6, false, 0, [](C z, C c) { return std::conj(z) * std::conj(z) + c; }, 2, 0.1,
        withInside({0, 60, 70}, {{0, {120, 0, 20}}, {0.5, {250, 90, 80}}, {1, {120, 0, 20}}})));
    // 11: a dendrite Julia set, navy and yellow.
    all.push_back(
        escapeTime(d, 0, 2.8, true, C(-0.4, 0.6), square, 2, 0.07,
                   withInside({250, 240, 120}, {{0, {0, 10, 60}}, {0.5, {60, 80, 200}}, {1, {0, 10, 60}}})));
    // 12: Newton's basins of z^4 = 1 in four bright colours.
    all.push_back(newton(d, 4, 2.4, {{255, 150, 0}, {160, 60, 220}, {140, 230, 0}, {60, 200, 255}}));
    // 13: Heighway's dragon, red on cream.
    all.push_back(chaosGame(d, {{0.5, -0.5, 0.5, 0.5, 0, 0, 0.5}, {-0.5, -0.5, 0.5, -0.5, 1, 0, 0.5}}, -0.45,
                            0.95, 1.65,
                            withInside({250, 240, 215}, {{0, {240, 120, 100}}, {1, {150, 0, 10}}})));
    // 14: Koch's snowflake, ice blue.
    all.push_back(kochSnowflake(d));
    // 15: a Lyapunov landscape, yellow and blue.
    all.push_back(lyapunov(d));
    // 16: a Julia set of spirals, pink.
    all.push_back(escapeTime(
        d, 0, 3.0, true, C(-0.70176, -0.3842), square, 2, 0.04,
        withInside({255, 255, 255}, {{0, {90, 0, 50}}, {0.5, {255, 150, 200}}, {1, {90, 0, 50}}})));
    // 17: the cubic Mandelbrot set, coral and teal.
    all.push_back(escapeTime(
        d, 0, 2.8, false, 0, [](C z, C c) { return z * z * z + c; }, 3, 0.08,
        withInside({0, 90, 90}, {{0, {255, 230, 210}}, {0.5, {250, 110, 80}}, {1, {255, 230, 210}}})));
    // 18: Vicsek's cross, lime on purple.
    all.push_back(carpet(
        d, [](int x, int y) { return (x + y) % 2 == 0 && !(x == 1 && y == 1); },
        gradient({{0, {50, 0, 80}}, {0.6, {120, 40, 160}}, {1, {200, 255, 40}}}, 256), 4));
    // 19: a Pythagoras tree against the sky.
    all.push_back(pythagorasTree(d));
    // 20: Lévy's C curve, gold on midnight blue.
    all.push_back(chaosGame(d, {{0.5, -0.5, 0.5, 0.5, 0, 0, 0.5}, {0.5, 0.5, -0.5, 0.5, 0.5, 0.5, 0.5}},
                            -0.55, 1.2, 2.1,
                            withInside({8, 10, 40}, {{0, {150, 110, 20}}, {1, {255, 240, 150}}})));
    // What each face shows, in a few words a screen reader can speak; no two alike.
    const std::array<const char *, 20> names {"Mandelbrot set",
                                              "fiery Julia set",
                                              "emerald Julia set",
                                              "burning ship",
                                              "Newton basins of three roots",
                                              "Sierpinski triangle",
                                              "Sierpinski carpet",
                                              "fern",
                                              "seahorse valley",
                                              "tricorn",
                                              "dendrite Julia set",
                                              "Newton basins of four roots",
                                              "Heighway dragon",
                                              "Koch snowflake",
                                              "Lyapunov landscape",
                                              "spiral Julia set",
                                              "cubic Mandelbrot set",
                                              "Vicsek cross",
                                              "Pythagoras tree",
                                              "Levy C curve"};
    for (size_t i = 0; i < all.size(); ++i)
        all[i].name = names.at(i);
    return all;
}

// The card back: vertical streaks of wood grain in exactly the wood's shades. At twice the size the same
// wood is sampled between the design's pixels, so streaks and knot stay where they are.
Indexed cardBack(Detail detail)
{
    constexpr int designWidth = 48, designHeight = 36, shades = artwork::woodShades;
    const int width = designWidth * detail.scale, height = designHeight * detail.scale;
    Palette palette;
    for (int k = 0; k < shades; ++k)
        palette.push_back(artwork::woodShade(k));
    Lcg random(1987);
    std::array<double, designWidth> grain {};
    for (double &g : grain)
        g = random.next();
    std::vector<double> field;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            // The point in the design's pixels: the pixel itself at 1, between pixels at 2.
            const double x = (column + 0.5) / detail.scale - 0.5, y = (row + 0.5) / detail.scale - 0.5;
            // Streaks run down the card and sway a little, with the odd knot of darker wood.
            const double sway = 1.6 * std::sin(y * 0.23 + x * 0.05);
            const double across = x + sway;
            const int streak = std::clamp(int(std::lround(across)), 0, designWidth - 1);
            const double rings = 0.5 + 0.5 * std::sin(across * 1.3 + 2.0 * std::sin(x * 0.31));
            const double knot = std::exp(-(std::pow(x - 33.0, 2) + std::pow(y - 12.0, 2) * 0.3) / 18.0);
            field.push_back(0.55 * rings + 0.35 * grain[size_t(streak)] + 0.1 * random.next() - 0.5 * knot);
        }
    const auto [low, high] = std::minmax_element(field.begin(), field.end());
    Indexed back {width, height, {}, palette, {}};
    for (const double value : field)
        back.pixels.push_back(
            std::uint8_t(std::min(shades - 1, int((value - *low) / (*high - *low) * shades))));
    return back;
}

bool writeGif(const std::string &path, const Indexed &image)
{
    // A colour table holds a power of two entries; the unused ones repeat the last colour.
    int tableSize = 2;
    while (tableSize < int(image.palette.size()))
        tableSize *= 2;
    std::vector<GifColorType> colours;
    for (int i = 0; i < tableSize; ++i) {
        const Rgb &c = image.palette[size_t(std::min(i, int(image.palette.size()) - 1))];
        colours.push_back({GifByteType(c.r), GifByteType(c.g), GifByteType(c.b)});
    }
    ColorMapObject *map = GifMakeMapObject(tableSize, colours.data());
    int error = 0;
    // giflib would create the file owner-only; 0666 less the umask is what every other build output gets.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    GifFileType *gif = fd >= 0 ? EGifOpenFileHandle(fd, &error) : nullptr;
    if (fd >= 0 && gif == nullptr)
        ::close(fd);
    bool ok = gif != nullptr && map != nullptr;
    if (ok) {
        EGifSetGifVersion(gif, true);
        ok = EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map) == GIF_OK
            && (image.name.empty() || EGifPutComment(gif, image.name.c_str()) == GIF_OK)
            && EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
        std::vector<GifPixelType> row(size_t(image.width));
        for (int y = 0; ok && y < image.height; ++y) {
            std::copy_n(image.pixels.begin() + y * image.width, image.width, row.begin());
            ok = EGifPutLine(gif, row.data(), image.width) == GIF_OK;
        }
    }
    if (gif != nullptr && EGifCloseFile(gif, &error) != GIF_OK)
        ok = false;
    GifFreeMapObject(map);
    if (!ok)
        std::fprintf(stderr, "picturegen: cannot write %s: %s\n", path.c_str(), GifErrorString(error));
    return ok;
}

int writeFaces(const std::string &directory)
{
    for (const Detail detail : {Detail {1}, Detail {2}}) {
        const std::vector<Indexed> all = faces(detail);
        for (size_t i = 0; i < all.size(); ++i) {
            const std::string path = directory + "/F" + std::to_string(i + 1) + ".gif";
            if (!writeGif(detail.scale == 1 ? path : pictures::twinPath(path), all[i]))
                return 1;
        }
    }
    return 0;
}

int writeBack(const std::string &path)
{
    for (const Detail detail : {Detail {1}, Detail {2}}) {
        const Indexed back = cardBack(detail);
        std::array<bool, artwork::woodShades> used {};
        for (const std::uint8_t index : back.pixels)
            used[index] = true;
        if (!std::all_of(used.begin(), used.end(), [](bool shade) { return shade; })) {
            std::fprintf(stderr, "picturegen: the card back leaves a shade unused\n");
            return 1;
        }
        if (!writeGif(detail.scale == 1 ? path : pictures::twinPath(path), back))
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string what = argc == 3 ? argv[1] : "";
    if (what == "faces")
        return writeFaces(argv[2]);
    if (what == "back")
        return writeBack(argv[2]);
    std::fprintf(stderr, "usage: picturegen faces <directory> | picturegen back <file>\n");
    return 2;
}
