#include "faces.h"

#include "figures.h"
#include "functions.h"

#include <array>

namespace artwork {

namespace {

// What each face shows, in a few words a screen reader can speak; no two alike.
constexpr std::array<const char *, faceCount> names {"Mandelbrot set",
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

constexpr Fixed log2Of2 = one, log2Of3 = fx(1.58496250072115618146);
constexpr Fixed zero;

// A palette cycling from `edge` through `middle` and back, `inside` for the set itself.
Palette cycling(Rgb inside, Rgb edge, Rgb middle)
{
    return withInside(inside, {{zero, edge}, {half, middle}, {one, edge}});
}

Escape mandelbrot(Complex centre, Fixed width, Fixed cycle, Step step = square, Fixed log2Power = log2Of2)
{
    return {centre, width, false, {}, std::move(step), log2Power, cycle};
}

Escape julia(Fixed width, Complex constant, Fixed cycle)
{
    return {{}, width, true, constant, square, log2Of2, cycle};
}

} // namespace

std::vector<Indexed> faces(Detail d)
{
    using C = Complex;
    std::vector<Indexed> all;
    // 1: the whole Mandelbrot set, gold and blue.
    all.push_back(escapeTime(d, mandelbrot({fx(-0.6), zero}, fx(2.9), fx(0.06)),
                             cycling({8, 8, 40}, {10, 30, 120}, {255, 200, 60})));
    // 2: a Julia set on fire.
    all.push_back(escapeTime(
        d, julia(fx(3.0), {fx(-0.8), fx(0.156)}, fx(0.05)),
        withInside(
            {0, 0, 0},
            {{zero, {30, 0, 0}}, {fx(0.4), {220, 40, 0}}, {fx(0.8), {255, 220, 40}}, {one, {30, 0, 0}}})));
    // 3: a Julia set in emerald.
    all.push_back(escapeTime(d, julia(fx(2.6), {fx(0.285), fx(0.01)}, fx(0.05)),
                             cycling({0, 40, 20}, {0, 20, 10}, {80, 240, 140})));
    // 4: the burning ship, upright.
    const Step burningShip = [](C z, C c) {
        const C folded {abs(z.re), abs(z.im)};
        return folded * folded + c;
    };
    all.push_back(escapeTime(d, mandelbrot({fx(-0.45), fx(-0.5)}, fx(3.2), fx(0.08), burningShip),
                             cycling({60, 20, 0}, {255, 240, 200}, {230, 110, 20})));
    // 5: Newton's basins of z^3 = 1 in red, green and blue.
    all.push_back(newton(d, 3, fx(3.0), {{one, zero}, {-half, halfRootThree}, {-half, -halfRootThree}},
                         {{230, 40, 40}, {40, 200, 60}, {50, 90, 240}}));
    // 6: Sierpinski's triangle, magenta.
    all.push_back(sierpinskiTriangle(d));
    // 7: Sierpinski's carpet, teal.
    all.push_back(carpet(
        d, [](int x, int y) { return x == 1 && y == 1; },
        gradient({{zero, {5, 40, 50}}, {fx(0.7), {20, 200, 210}}, {one, {210, 255, 250}}}, 256), 4));
    // 8: Barnsley's fern.
    all.push_back(chaosGame(d,
                            {{zero, zero, zero, fx(0.16), zero, zero, fx(0.01)},
                             {fx(0.85), fx(0.04), fx(-0.04), fx(0.85), zero, fx(1.6), fx(0.85)},
                             {fx(0.2), fx(-0.26), fx(0.23), fx(0.22), zero, fx(1.6), fx(0.07)},
                             {fx(-0.15), fx(0.28), fx(0.26), fx(0.24), zero, fx(0.44), fx(0.07)}},
                            fx(-5.2), fx(10.3), fx(10.6),
                            withInside({5, 15, 5}, {{zero, {30, 110, 30}}, {one, {200, 255, 120}}})));
    // 9: the seahorse valley of the Mandelbrot set, violet.
    all.push_back(escapeTime(d, mandelbrot({fx(-0.7453), fx(0.1127)}, fx(0.012), fx(0.03)),
                             cycling({20, 0, 30}, {40, 0, 60}, {250, 120, 230})));
    // 10: the tricorn, red and teal.
    const Step tricorn = [](C z, C c) { return conj(z) * conj(z) + c; };
    all.push_back(escapeTime(d, mandelbrot({fx(-0.3), zero}, fx(3.6), fx(0.1), tricorn),
                             cycling({0, 60, 70}, {120, 0, 20}, {250, 90, 80})));
    // 11: a dendrite Julia set, navy and yellow.
    all.push_back(escapeTime(d, julia(fx(2.8), {fx(-0.4), fx(0.6)}, fx(0.07)),
                             cycling({250, 240, 120}, {0, 10, 60}, {60, 80, 200})));
    // 12: Newton's basins of z^4 = 1 in four bright colours.
    all.push_back(newton(d, 4, fx(2.4), {{one, zero}, {zero, one}, {-one, zero}, {zero, -one}},
                         {{255, 150, 0}, {160, 60, 220}, {140, 230, 0}, {60, 200, 255}}));
    // 13: Heighway's dragon, red on cream.
    all.push_back(chaosGame(
        d, {{half, -half, half, half, zero, zero, half}, {-half, -half, half, -half, one, zero, half}},
        fx(-0.45), fx(0.95), fx(1.65),
        withInside({250, 240, 215}, {{zero, {240, 120, 100}}, {one, {150, 0, 10}}})));
    // 14: Koch's snowflake, ice blue.
    all.push_back(kochFace(d));
    // 15: a Lyapunov landscape, yellow and blue.
    all.push_back(lyapunov(d));
    // 16: a Julia set of spirals, pink.
    all.push_back(escapeTime(d, julia(fx(3.0), {fx(-0.70176), fx(-0.3842)}, fx(0.04)),
                             cycling({255, 255, 255}, {90, 0, 50}, {255, 150, 200})));
    // 17: the cubic Mandelbrot set, coral and teal.
    const Step cube = [](C z, C c) { return z * z * z + c; };
    all.push_back(escapeTime(d, mandelbrot({}, fx(2.8), fx(0.08), cube, log2Of3),
                             cycling({0, 90, 90}, {255, 230, 210}, {250, 110, 80})));
    // 18: Vicsek's cross, lime on purple.
    all.push_back(carpet(
        d, [](int x, int y) { return (x + y) % 2 == 0 && !(x == 1 && y == 1); },
        gradient({{zero, {50, 0, 80}}, {fx(0.6), {120, 40, 160}}, {one, {200, 255, 40}}}, 256), 4));
    // 19: a Pythagoras tree against the sky.
    all.push_back(pythagorasTree(d));
    // 20: Lévy's C curve, gold on midnight blue.
    all.push_back(chaosGame(
        d, {{half, -half, half, half, zero, zero, half}, {half, half, -half, half, half, half, half}},
        fx(-0.55), fx(1.2), fx(2.1),
        withInside({8, 10, 40}, {{zero, {150, 110, 20}}, {one, {255, 240, 150}}})));
    for (size_t i = 0; i < all.size(); ++i)
        all[i].name = names.at(i);
    return all;
}

} // namespace artwork
