// The figures drawn by counting, by thirds and by polygons.
#include "figures.h"
#include "functions.h"
#include "snowflake.h"

#include <algorithm>
#include <string>

namespace artwork {

Indexed chaosGame(Detail detail, const std::vector<Affine> &maps, Fixed left, Fixed top, Fixed size,
                  Palette palette)
{
    const int pixels = detail.size();
    std::vector<int> hits(size_t(pixels * pixels), 0);
    Lcg random(7);
    Fixed x, y;
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
        const Fixed nx = m.a * x + m.b * y + m.e;
        y = m.c * x + m.d * y + m.f;
        x = nx;
        const std::int64_t px = floorRatio((x - left) * pixels, size);
        const std::int64_t py = floorRatio((top - y) * pixels, size);
        if (i > 20 && px >= 0 && px < pixels && py >= 0 && py < pixels)
            ++hits[size_t(py * pixels + px)];
    }
    const Fixed most = log2(whole(1 + *std::max_element(hits.begin(), hits.end())));
    return drawFace(
        detail,
        [&](Fixed u, Fixed v) {
            const int count = hits[size_t(wholePart(v * pixels) * pixels + wholePart(u * pixels))];
            return count == 0 ? 0 : 1 + int(ratio(log2(whole(1 + count)) * 254, most));
        },
        std::move(palette));
}

Indexed carpet(Detail detail, const std::function<bool(int, int)> &isHole, Palette palette, int levels)
{
    levels += detail.extraLevels();
    return drawFace(
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
    Palette palette = withInside({18, 6, 24}, {{Fixed(), {255, 60, 200}}, {one, {255, 220, 250}}});
    const int size = detail.size();
    return drawFace(
        detail,
        [=](Fixed u, Fixed v) {
            const int x = wholePart(u * size), y = wholePart(v * size);
            // Pascal's triangle modulo 2, leaning to the left and shaded by height.
            return (x & (size - 1 - y)) == 0 ? 1 + y * 4 / detail.scale : 0;
        },
        std::move(palette));
}

Indexed kochFace(Detail detail)
{
    constexpr Fixed radius = fx(0.46);
    const std::vector<Complex> points = kochSnowflake(radius, 4 + detail.extraLevels());
    Palette palette = withInside(
        {10, 16, 40}, {{Fixed(), {230, 250, 255}}, {fx(0.6), {90, 180, 240}}, {one, {30, 70, 160}}});
    return drawFace(
        detail,
        [&](Fixed u, Fixed v) {
            const Complex p {u - half, v - fx(0.52)};
            if (!insidePolygon(points, p))
                return 0;
            // The distance from the centre, by its square, as a share of the radius.
            const Fixed share = std::min(one, norm(p) / (radius * radius));
            return 1 + wholePart(std::min(sqrt(share), one) * 254);
        },
        std::move(palette));
}

Indexed lyapunov(Detail detail)
{
    Palette palette = withInside({0, 0, 0},
                                 {{Fixed(), {20, 30, 110}},
                                  {fx(0.45), {60, 120, 230}},
                                  {half, {0, 0, 0}},
                                  {fx(0.55), {250, 200, 40}},
                                  {one, {255, 250, 200}}});
    const std::string sequence = "AABAB";
    return drawFace(
        detail,
        [&](Fixed u, Fixed v) {
            const Fixed a = fx(2.6) + u * fx(1.4), b = whole(4) - v * fx(1.4);
            Fixed x = half, sum;
            for (int n = 0; n < 240; ++n) {
                const Fixed r = sequence[size_t(n) % sequence.size()] == 'A' ? a : b;
                x = r * x * (one - x);
                if (n >= 40)
                    sum += log2(std::max(epsilon, abs(r * (one - x * 2))));
            }
            // The exponent in natural logarithms, per step.
            const Fixed exponent = std::clamp(sum * ln2 / 200, whole(-2), one);
            return exponent < Fixed() ? 128 - int(ratio(-exponent * 127, whole(2)))
                                      : 128 + int(ratio(exponent * 127, one));
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
    branch({fx(0.41), fx(0.97)}, {fx(0.17), Fixed()}, 0);
    Palette palette = withInside({200, 230, 250},
                                 {{Fixed(), {110, 70, 30}}, {half, {140, 120, 40}}, {one, {60, 200, 60}}});
    return drawFace(
        detail,
        [&](Fixed u, Fixed v) {
            const Complex p {u, v};
            int deepest = -1;
            for (const Square &s : squares) {
                // The point in the square's own frame, times |side|^2: the square is (0,0)-(1,-1) there.
                const Complex local = (p - s.corner) * conj(s.side);
                const Fixed scale = norm(s.side);
                if (local.re >= Fixed() && local.re <= scale && local.im <= Fixed() && local.im >= -scale)
                    deepest = std::max(deepest, s.depth);
            }
            return deepest < 0 ? 0 : 1 + deepest * 28;
        },
        std::move(palette));
}

} // namespace artwork
