#pragma once

// What the build's pictures and the application icon draw alike, and what the tests look for on screen: the
// card back's wood and the snowflake's outline. Standard C++ only, so every generator and test can share it.
#include <cmath>
#include <complex>
#include <vector>

namespace artwork {

struct Rgb
{
    int r, g, b;
};

/** The card back's wood runs in this many shades from the darkest to the lightest. */
inline constexpr int woodShades = 22;
inline constexpr Rgb woodDarkest {0x7B, 0x5A, 0x31};
inline constexpr Rgb woodLightest {0xA5, 0x84, 0x5A};

/** Shade `k` of the wood, 0 (darkest) to woodShades - 1 (lightest). */
inline Rgb woodShade(int k)
{
    // In whole numbers, rounded to the nearest, so the shades are the same wherever they are computed.
    const auto mix
        = [k](int a, int b) { return a + ((b - a) * k * 2 + woodShades - 1) / (2 * (woodShades - 1)); };
    return {mix(woodDarkest.r, woodLightest.r), mix(woodDarkest.g, woodLightest.g),
            mix(woodDarkest.b, woodLightest.b)};
}

/** Whether a colour lies within the wood's range, channel by channel. */
inline bool isWood(int r, int g, int b)
{
    return r >= woodDarkest.r && r <= woodLightest.r && g >= woodDarkest.g && g <= woodLightest.g
        && b >= woodDarkest.b && b <= woodLightest.b;
}

/**
 * Koch's snowflake around the origin, point up on a screen (y down): a triangle of `radius` refined `levels`
 * times, each side's middle third raised outwards.
 */
inline std::vector<std::complex<double>> kochSnowflake(double radius, int levels)
{
    constexpr double pi = 3.14159265358979323846;
    std::vector<std::complex<double>> points;
    for (int k = 0; k < 3; ++k)
        points.push_back(std::polar(radius, -pi / 2 + 2 * pi * k / 3));
    for (int level = 0; level < levels; ++level) {
        std::vector<std::complex<double>> finer;
        for (size_t i = 0; i < points.size(); ++i) {
            const auto a = points[i], b = points[(i + 1) % points.size()];
            const auto third = (b - a) / 3.0;
            finer.insert(finer.end(),
                         {a, a + third, a + third + third * std::polar(1.0, -pi / 3), a + 2.0 * third});
        }
        points = finer;
    }
    return points;
}

} // namespace artwork
