// Writes the game's pictures: twenty 64 x 64 fractal faces, F1.gif to F20.gif, each in its own shape and
// palette so that any two tell apart at a glance, and the 48 x 36 wood-grain card back. Each is also drawn
// at twice the size from the same figure at twice the detail (F1@2x.gif, ...), for high-density screens,
// and each face carries its name ("fern") as a GIF comment for assistive technology to speak.
//
//   picturegen faces <directory>     F1.gif to F20.gif and F1@2x.gif to F20@2x.gif in <directory>
//   picturegen back <file>           the card back, and its @2x twin beside it
//
// The output depends on nothing but this file: every figure is drawn in fixed-point integer arithmetic
// (fixedpoint.h), so the same bytes come out on every architecture, with every compiler and C library.

#include "artwork.h"
#include "fixedpoint.h"
#include "pictures/twinname.h"

#include <gif_lib.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace fixedpoint;

constexpr int faceSize = 64;

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

// A colour stop of a gradient: where it lies, 0 to 1, and its colour.
struct Stop
{
    Fixed at;
    Rgb colour;
};

// A palette of `count` entries along colour stops.
Palette gradient(const std::vector<Stop> &stops, int count)
{
    Palette palette;
    for (int i = 0; i < count; ++i) {
        const Fixed t = count == 1 ? 0 : whole(i) / (count - 1);
        size_t k = 0;
        while (k + 2 < stops.size() && t > stops[k + 1].at)
            ++k;
        const Stop &from = stops[k], &to = stops[k + 1];
        const Fixed f = std::clamp(div(t - from.at, to.at - from.at), Fixed(0), one);
        const auto mix = [f](int a, int b) { return int(a + roundDiv((b - a) * f, one)); };
        palette.push_back({mix(from.colour.r, to.colour.r), mix(from.colour.g, to.colour.g),
                           mix(from.colour.b, to.colour.b)});
    }
    return palette;
}

// Entry 0 is the inside colour; entries 1..255 run along the stops.
Palette withInside(Rgb inside, const std::vector<Stop> &stops)
{
    Palette palette {inside};
    const Palette rest = gradient(stops, 255);
    palette.insert(palette.end(), rest.begin(), rest.end());
    return palette;
}

// Renders a face from a function of the pixel's centre (u, v) in [0, 1) x [0, 1) to a palette index.
Indexed face(Detail detail, const std::function<int(Fixed, Fixed)> &indexAt, Palette palette)
{
    const int size = detail.size();
    Indexed image {size, size, {}, std::move(palette), {}};
    const auto centre = [size](int pixel) { return whole(2 * pixel + 1) / (2 * size); };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.pixels.push_back(std::uint8_t(std::clamp(indexAt(centre(x), centre(y)), 0, 255)));
    return image;
}

using Step = std::function<Complex(Complex, Complex)>;

// Escape-time picture of z -> step(z, c) over the square centred at `centre`, `width` across: a cyclic
// palette index 1..255 for the smooth escape count, or 0 inside the set. `log2Power` is log2 of the power
// that `step` raises z to.
Indexed escapeTime(Detail detail, Complex centre, Fixed width, bool julia, Complex constant, Step step,
                   Fixed log2Power, Fixed cycle, Palette palette)
{
    constexpr int limit = 300;
    constexpr Fixed log2Ln2 = fx(-0.52876637294042054); // log2(ln 2)
    return face(
        detail,
        [=](Fixed u, Fixed v) {
            const Complex point = centre + Complex {mul(u - half, width), mul(v - half, width)};
            Complex z = julia ? point : Complex {};
            const Complex c = julia ? constant : point;
            for (int n = 0; n < limit; ++n) {
                z = step(z, c);
                const Fixed size = coarseNorm(z);
                if (size > whole(256)) {
                    // n + 1 - log_power(ln |z|), with ln |z| = ln 2 * log2(|z|^2) / 2.
                    const Fixed logLog = log2Ln2 + log2(log2(size)) - one;
                    const Fixed smooth = std::max(Fixed(0), whole(n + 1) - div(logLog, log2Power));
                    const Fixed turns = mul(smooth, cycle);
                    return 1 + int(((turns & (one - 1)) * 254) >> fractionBits);
                }
            }
            return 0;
        },
        std::move(palette));
}

Complex square(Complex z, Complex c)
{
    return z * z + c;
}

// Newton's method for z^degree = 1: each root its own band of the palette, shaded by the steps it took.
Indexed newton(Detail detail, int degree, Fixed zoom, const std::vector<Complex> &roots,
               const std::vector<Rgb> &colours)
{
    const int band = 255 / degree;
    Palette palette {{20, 20, 20}};
    for (const Rgb &colour : colours) {
        const Palette shades = gradient(
            {{0, {255, 255, 255}}, {fx(0.25), colour}, {one, {colour.r / 6, colour.g / 6, colour.b / 6}}},
            band);
        palette.insert(palette.end(), shades.begin(), shades.end());
    }
    return face(
        detail,
        [=, &roots](Fixed u, Fixed v) {
            Complex z {mul(u - half, zoom), mul(v - half, zoom)};
            for (int n = 0; n < 60; ++n) {
                const Fixed size = norm(z);
                if (size < fx(0.0016))
                    return 0; // too near the pole at 0 to step from
                // z - (z^d - 1) / (d z^(d-1)) = ((d - 1) z + 1 / z^(d-1)) / d
                const Complex inverse {div(z.re, size), div(-z.im, size)};
                Complex step {one, 0};
                for (int k = 1; k < degree; ++k)
                    step = step * inverse;
                z = {((degree - 1) * z.re + step.re) / degree, ((degree - 1) * z.im + step.im) / degree};
                while (abs(z.re) > whole(16) || abs(z.im) > whole(16))
                    z = {z.re * (degree - 1) / degree, z.im * (degree - 1) / degree};
                for (int root = 0; root < degree; ++root)
                    if (norm(z - roots[size_t(root)]) < fx(1e-6))
                        return 1 + root * band + std::min(band - 1, n * band / 16);
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
    Fixed next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return Fixed(m_state >> (64 - fractionBits));
    }

private:
    std::uint64_t m_state;
};

struct Affine
{
    Fixed a, b, c, d, e, f, weight;
};

// An iterated function system drawn as the density of its orbit, on a logarithmic scale.
Indexed chaosGame(Detail detail, const std::vector<Affine> &maps, Fixed left, Fixed top, Fixed size,
                  Palette palette)
{
    const int pixels = detail.size();
    std::vector<int> hits(size_t(pixels * pixels), 0);
    Lcg random(7);
    Fixed x = 0, y = 0;
    // As many points per pixel at every size.
    const int points = 400000 * detail.scale * detail.scale;
    for (int i = 0; i < points; ++i) {
        Fixed pick = random.next();
        size_t k = 0;
        while (k + 1 < maps.size() && pick > maps[k].weight) {
            pick -= maps[k].weight;
            ++k;
        }
        const Affine &m = maps[k];
        const Fixed nx = mul(m.a, x) + mul(m.b, y) + m.e;
        y = mul(m.c, x) + mul(m.d, y) + m.f;
        x = nx;
        const std::int64_t px = floorDiv((x - left) * pixels, size);
        const std::int64_t py = floorDiv((top - y) * pixels, size);
        if (i > 20 && px >= 0 && px < pixels && py >= 0 && py < pixels)
            ++hits[size_t(py * pixels + px)];
    }
    const Fixed most = log2(whole(1 + *std::max_element(hits.begin(), hits.end())));
    return face(
        detail,
        [&](Fixed u, Fixed v) {
            const int count = hits[size_t(wholePart(v * pixels) * pixels + wholePart(u * pixels))];
            return count == 0 ? 0 : 1 + int(254 * log2(whole(1 + count)) / most);
        },
        std::move(palette));
}

// Sierpinski-like carpets: the depth of the first hole a point falls into picks its colour.
Indexed carpet(Detail detail, const std::function<bool(int, int)> &isHole, Palette palette, int levels)
{
    levels += detail.extraLevels();
    return face(
        detail,
        [=](Fixed x, Fixed y) {
            for (int level = 0; level < levels; ++level) {
                const int cx = std::min(2, wholePart(x * 3));
                const int cy = std::min(2, wholePart(y * 3));
                if (isHole(cx, cy))
                    return 1 + level * (254 / levels);
                x = x * 3 - whole(cx);
                y = y * 3 - whole(cy);
            }
            return 255;
        },
        std::move(palette));
}

Indexed sierpinskiTriangle(Detail detail)
{
    Palette palette = withInside({18, 6, 24}, {{0, {255, 60, 200}}, {one, {255, 220, 250}}});
    const int size = detail.size();
    return face(
        detail,
        [=](Fixed u, Fixed v) {
            const int x = wholePart(u * size), y = wholePart(v * size);
            // Pascal's triangle modulo 2, leaning to the left and shaded by height.
            return (x & (size - 1 - y)) == 0 ? 1 + y * 4 / detail.scale : 0;
        },
        std::move(palette));
}

// Koch's snowflake around the origin, point up (y down): a triangle of `radius` refined `levels` times, each
// side's middle third raised outwards.
std::vector<Complex> kochSnowflake(Fixed radius, int levels)
{
    constexpr Fixed halfRootThree = fx(0.86602540378443864676);
    std::vector<Complex> points {
        {0, -radius}, {mul(radius, halfRootThree), radius / 2}, {-mul(radius, halfRootThree), radius / 2}};
    const Complex turn {half, -halfRootThree}; // a sixth of a turn, outwards
    for (int level = 0; level < levels; ++level) {
        std::vector<Complex> finer;
        for (size_t i = 0; i < points.size(); ++i) {
            const Complex a = points[i], b = points[(i + 1) % points.size()];
            const Complex third {(b.re - a.re) / 3, (b.im - a.im) / 3};
            finer.insert(finer.end(), {a, a + third, a + third + third * turn, a + third + third});
        }
        points = finer;
    }
    return points;
}

// Whether `p` lies inside `polygon`, by the number of its sides that a ray to the right crosses; the
// crossing is compared by cross-multiplying, so nothing is rounded.
bool insidePolygon(const std::vector<Complex> &polygon, Complex p)
{
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Complex a = polygon[i], b = polygon[j];
        if ((a.im > p.im) == (b.im > p.im))
            continue;
        const Fixed across = (p.re - a.re) * (b.im - a.im), along = (b.re - a.re) * (p.im - a.im);
        if (b.im > a.im ? across < along : across > along)
            inside = !inside;
    }
    return inside;
}

Indexed kochSnowflake(Detail detail)
{
    constexpr Fixed radius = fx(0.46);
    const std::vector<Complex> points = kochSnowflake(radius, 4 + detail.extraLevels());
    Palette palette
        = withInside({10, 16, 40}, {{0, {230, 250, 255}}, {fx(0.6), {90, 180, 240}}, {one, {30, 70, 160}}});
    return face(
        detail,
        [&](Fixed u, Fixed v) {
            const Complex p {u - half, v - fx(0.52)};
            if (!insidePolygon(points, p))
                return 0;
            // The distance from the centre, by its square, as a share of the radius.
            const Fixed share = std::min(one, div(norm(p), mul(radius, radius)));
            Fixed root = share; // the square root by Newton's method, from above
            for (int k = 0; k < 30 && root > 0; ++k)
                root = (root + div(share, root)) / 2;
            return 1 + int((std::min(root, one) * 254) >> fractionBits);
        },
        std::move(palette));
}

Indexed lyapunov(Detail detail)
{
    Palette palette = withInside({0, 0, 0},
                                 {{0, {20, 30, 110}},
                                  {fx(0.45), {60, 120, 230}},
                                  {half, {0, 0, 0}},
                                  {fx(0.55), {250, 200, 40}},
                                  {one, {255, 250, 200}}});
    const std::string sequence = "AABAB";
    return face(
        detail,
        [&](Fixed u, Fixed v) {
            const Fixed a = fx(2.6) + mul(u, fx(1.4)), b = whole(4) - mul(v, fx(1.4));
            Fixed x = half, sum = 0;
            for (int n = 0; n < 240; ++n) {
                const Fixed r = sequence[size_t(n) % sequence.size()] == 'A' ? a : b;
                x = mul(mul(r, x), one - x);
                if (n >= 40)
                    sum += log2(std::max(Fixed(1), abs(mul(r, one - 2 * x))));
            }
            // The exponent in natural logarithms, per step.
            const Fixed exponent = std::clamp(mul(sum, fx(0.69314718055994530942)) / 200, whole(-2), one);
            return exponent < 0 ? 128 - int(-exponent * 127 / (2 * one)) : 128 + int(exponent * 127 / one);
        },
        std::move(palette));
}

Indexed pythagorasTree(Detail detail)
{
    struct Square
    {
        Complex corner, side; // corner and the vector of its base
        int depth;
    };
    std::vector<Square> squares;
    // Each square carries a 3-4-5 right triangle whose two short sides bear the next squares: the left one
    // is the base turned by the triangle's angle and shortened to 4/5.
    const Complex leftTurn {fx(0.64), fx(-0.48)};
    std::function<void(Complex, Complex, int)> branch = [&](Complex corner, Complex side, int depth) {
        squares.push_back({corner, side, depth});
        if (depth == 9 + detail.extraLevels())
            return;
        const Complex up {side.im, -side.re};
        const Complex leftSide = side * leftTurn;
        const Complex rightSide = side - leftSide;
        branch(corner + up, leftSide, depth + 1);
        branch(corner + up + leftSide, rightSide, depth + 1);
    };
    branch({fx(0.41), fx(0.97)}, {fx(0.17), 0}, 0);
    Palette palette
        = withInside({200, 230, 250}, {{0, {110, 70, 30}}, {half, {140, 120, 40}}, {one, {60, 200, 60}}});
    return face(
        detail,
        [&](Fixed u, Fixed v) {
            const Complex p {u, v};
            int deepest = -1;
            for (const Square &s : squares) {
                // The point in the square's own frame, times |side|^2: the square is (0,0)-(1,-1) there.
                const Complex local = (p - s.corner) * conj(s.side);
                const Fixed scale = norm(s.side);
                if (local.re >= 0 && local.re <= scale && local.im <= 0 && local.im >= -scale)
                    deepest = std::max(deepest, s.depth);
            }
            return deepest < 0 ? 0 : 1 + deepest * 28;
        },
        std::move(palette));
}

std::vector<Indexed> faces(Detail d)
{
    using C = Complex;
    constexpr Fixed log2Of2 = one, log2Of3 = fx(1.58496250072115618146);
    std::vector<Indexed> all;
    // 1: the whole Mandelbrot set, gold and blue.
    all.push_back(escapeTime(
        d, {fx(-0.6), 0}, fx(2.9), false, {}, square, log2Of2, fx(0.06),
        withInside({8, 8, 40}, {{0, {10, 30, 120}}, {half, {255, 200, 60}}, {one, {10, 30, 120}}})));
    // 2: a Julia set on fire.
    all.push_back(escapeTime(
        d, {}, fx(3.0), true, C {fx(-0.8), fx(0.156)}, square, log2Of2, fx(0.05),
        withInside(
            {0, 0, 0},
            {{0, {30, 0, 0}}, {fx(0.4), {220, 40, 0}}, {fx(0.8), {255, 220, 40}}, {one, {30, 0, 0}}})));
    // 3: a Julia set in emerald.
    all.push_back(
        escapeTime(d, {}, fx(2.6), true, C {fx(0.285), fx(0.01)}, square, log2Of2, fx(0.05),
                   withInside({0, 40, 20}, {{0, {0, 20, 10}}, {half, {80, 240, 140}}, {one, {0, 20, 10}}})));
    // 4: the burning ship, upright.
    all.push_back(escapeTime(
        d, {fx(-0.45), fx(-0.5)}, fx(3.2), false, {},
        [](C z, C c) {
            const C folded {abs(z.re), abs(z.im)};
            return folded * folded + c;
        },
        log2Of2, fx(0.08),
        withInside({60, 20, 0}, {{0, {255, 240, 200}}, {half, {230, 110, 20}}, {one, {255, 240, 200}}})));
    // 5: Newton's basins of z^3 = 1 in red, green and blue.
    constexpr Fixed halfRootThree = fx(0.86602540378443864676);
    all.push_back(newton(d, 3, fx(3.0), {{one, 0}, {-half, halfRootThree}, {-half, -halfRootThree}},
                         {{230, 40, 40}, {40, 200, 60}, {50, 90, 240}}));
    // 6: Sierpinski's triangle, magenta.
    all.push_back(sierpinskiTriangle(d));
    // 7: Sierpinski's carpet, teal.
    all.push_back(carpet(
        d, [](int x, int y) { return x == 1 && y == 1; },
        gradient({{0, {5, 40, 50}}, {fx(0.7), {20, 200, 210}}, {one, {210, 255, 250}}}, 256), 4));
    // 8: Barnsley's fern.
    all.push_back(chaosGame(d,
                            {{0, 0, 0, fx(0.16), 0, 0, fx(0.01)},
                             {fx(0.85), fx(0.04), fx(-0.04), fx(0.85), 0, fx(1.6), fx(0.85)},
                             {fx(0.2), fx(-0.26), fx(0.23), fx(0.22), 0, fx(1.6), fx(0.07)},
                             {fx(-0.15), fx(0.28), fx(0.26), fx(0.24), 0, fx(0.44), fx(0.07)}},
                            fx(-5.2), fx(10.3), fx(10.6),
                            withInside({5, 15, 5}, {{0, {30, 110, 30}}, {one, {200, 255, 120}}})));
    // 9: the seahorse valley of the Mandelbrot set, violet.
    all.push_back(
        escapeTime(d, {fx(-0.7453), fx(0.1127)}, fx(0.012), false, {}, square, log2Of2, fx(0.03),
                   withInside({20, 0, 30}, {{0, {40, 0, 60}}, {half, {250, 120, 230}}, {one, {40, 0, 60}}})));
    // 10: the tricorn, red and teal.
    all.push_back(escapeTime(
        d, {fx(-0.3), 0}, fx(3.6), false, {}, [](C z, C c) { return conj(z) * conj(z) + c; }, log2Of2,
        fx(0.1), withInside({0, 60, 70}, {{0, {120, 0, 20}}, {half, {250, 90, 80}}, {one, {120, 0, 20}}})));
    // 11: a dendrite Julia set, navy and yellow.
    all.push_back(escapeTime(
        d, {}, fx(2.8), true, C {fx(-0.4), fx(0.6)}, square, log2Of2, fx(0.07),
        withInside({250, 240, 120}, {{0, {0, 10, 60}}, {half, {60, 80, 200}}, {one, {0, 10, 60}}})));
    // 12: Newton's basins of z^4 = 1 in four bright colours.
    all.push_back(newton(d, 4, fx(2.4), {{one, 0}, {0, one}, {-one, 0}, {0, -one}},
                         {{255, 150, 0}, {160, 60, 220}, {140, 230, 0}, {60, 200, 255}}));
    // 13: Heighway's dragon, red on cream.
    all.push_back(chaosGame(
        d, {{half, -half, half, half, 0, 0, half}, {-half, -half, half, -half, one, 0, half}}, fx(-0.45),
        fx(0.95), fx(1.65), withInside({250, 240, 215}, {{0, {240, 120, 100}}, {one, {150, 0, 10}}})));
    // 14: Koch's snowflake, ice blue.
    all.push_back(kochSnowflake(d));
    // 15: a Lyapunov landscape, yellow and blue.
    all.push_back(lyapunov(d));
    // 16: a Julia set of spirals, pink.
    all.push_back(escapeTime(
        d, {}, fx(3.0), true, C {fx(-0.70176), fx(-0.3842)}, square, log2Of2, fx(0.04),
        withInside({255, 255, 255}, {{0, {90, 0, 50}}, {half, {255, 150, 200}}, {one, {90, 0, 50}}})));
    // 17: the cubic Mandelbrot set, coral and teal.
    all.push_back(escapeTime(
        d, {}, fx(2.8), false, {}, [](C z, C c) { return z * z * z + c; }, log2Of3, fx(0.08),
        withInside({0, 90, 90}, {{0, {255, 230, 210}}, {half, {250, 110, 80}}, {one, {255, 230, 210}}})));
    // 18: Vicsek's cross, lime on purple.
    all.push_back(carpet(
        d, [](int x, int y) { return (x + y) % 2 == 0 && !(x == 1 && y == 1); },
        gradient({{0, {50, 0, 80}}, {fx(0.6), {120, 40, 160}}, {one, {200, 255, 40}}}, 256), 4));
    // 19: a Pythagoras tree against the sky.
    all.push_back(pythagorasTree(d));
    // 20: Lévy's C curve, gold on midnight blue.
    all.push_back(chaosGame(
        d, {{half, -half, half, half, 0, 0, half}, {half, half, -half, half, half, half, half}}, fx(-0.55),
        fx(1.2), fx(2.1), withInside({8, 10, 40}, {{0, {150, 110, 20}}, {one, {255, 240, 150}}})));
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
    std::array<Fixed, designWidth> grain {};
    for (Fixed &g : grain)
        g = random.next();
    std::vector<Fixed> field;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            // The point in the design's pixels: the pixel itself at 1, between pixels at 2.
            const Fixed x = whole(2 * column + 1) / (2 * detail.scale) - half;
            const Fixed y = whole(2 * row + 1) / (2 * detail.scale) - half;
            // Streaks run down the card and sway a little, with the odd knot of darker wood.
            const Fixed across = x + mul(fx(1.6), sin(mul(y, fx(0.23)) + mul(x, fx(0.05))));
            const int streak = std::clamp(int(roundDiv(across, one)), 0, designWidth - 1);
            const Fixed rings = half + sin(mul(across, fx(1.3)) + 2 * sin(mul(x, fx(0.31)))) / 2;
            const Fixed dx = x - whole(33), dy = y - whole(12);
            const Fixed knot = expNegative((mul(dx, dx) + mul(mul(dy, dy), fx(0.3))) / 18);
            field.push_back(mul(fx(0.55), rings) + mul(fx(0.35), grain[size_t(streak)])
                            + mul(fx(0.1), random.next()) - knot / 2);
        }
    const auto [low, high] = std::minmax_element(field.begin(), field.end());
    Indexed back {width, height, {}, palette, {}};
    for (const Fixed value : field)
        back.pixels.push_back(
            std::uint8_t(std::min<Fixed>(shades - 1, (value - *low) * shades / (*high - *low))));
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
