// The figures that iterate a map of the complex plane: escape time and Newton's basins.
#include "figures.h"
#include "functions.h"

#include <algorithm>

namespace artwork {

Indexed escapeTime(Detail detail, const Escape &escape, Palette palette)
{
    constexpr int limit = 300;
    constexpr Fixed log2Ln2 = fx(-0.52876637294042054); // log2(ln 2)
    return drawFace(
        detail,
        [&escape](Fixed u, Fixed v) {
            const Complex point
                = escape.centre + Complex {(u - half) * escape.width, (v - half) * escape.width};
            Complex z = escape.julia ? point : Complex {};
            const Complex c = escape.julia ? escape.constant : point;
            for (int n = 0; n < limit; ++n) {
                z = escape.step(z, c);
                const Fixed size = coarseNorm(z);
                if (size > whole(256)) {
                    // n + 1 - log_power(ln |z|), with ln |z| = ln 2 * log2(|z|^2) / 2.
                    const Fixed logLog = log2Ln2 + log2(log2(size)) - one;
                    const Fixed smooth = std::max(Fixed(), whole(n + 1) - logLog / escape.log2Power);
                    return 1 + wholePart(fraction(smooth * escape.cycle) * 254);
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

// Each step: z - (z^d - 1) / (d z^(d-1)) = ((d - 1) z + 1 / z^(d-1)) / d. Near the pole at 0, 1 / z^(d-1)
// grows as |z|^(1-d): the largest product, |z|^(1-d) times 2^24 squared, must stay within 64 bits, which
// bounds the degree and the nearest a point may come to the pole.
Indexed newton(Detail detail, int degree, Fixed zoom, const std::vector<Complex> &roots,
               const std::vector<Rgb> &colours)
{
    constexpr Fixed nearestToPole = fx(0.0016); // |z|^2; nearer, the point is left in the dark
    detail::require(degree >= 2 && degree <= 4, "Newton's basins of a degree past 4");
    const int band = 255 / degree;
    Palette palette {{20, 20, 20}};
    for (const Rgb &colour : colours) {
        const Palette shades = gradient({{Fixed(), {255, 255, 255}},
                                         {fx(0.25), colour},
                                         {one, {colour.r / 6, colour.g / 6, colour.b / 6}}},
                                        band);
        palette.insert(palette.end(), shades.begin(), shades.end());
    }
    return drawFace(
        detail,
        [=, &roots](Fixed u, Fixed v) {
            Complex z {(u - half) * zoom, (v - half) * zoom};
            for (int n = 0; n < 60; ++n) {
                const Fixed size = norm(z);
                if (size < nearestToPole)
                    return 0;
                const Complex inverse {z.re / size, -z.im / size};
                Complex step {one, Fixed()};
                for (int k = 1; k < degree; ++k)
                    step = step * inverse;
                z = (z * (degree - 1) + step) / degree;
                while (abs(z.re) > whole(16) || abs(z.im) > whole(16))
                    z = z * (degree - 1) / degree;
                for (int root = 0; root < degree; ++root)
                    if (norm(z - roots[size_t(root)]) < fx(1e-6))
                        return 1 + root * band + std::min(band - 1, n * band / 16);
            }
            return 0;
        },
        std::move(palette));
}

} // namespace artwork
