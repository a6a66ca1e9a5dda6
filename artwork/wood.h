#pragma once

// The card back's wood: its shades, which the card back and the icon's card are drawn in and the tests look
// for on screen.
#include "artwork/colour.h"

namespace artwork {

/** The card back's wood runs in this many shades from the darkest to the lightest. */
inline constexpr int woodShades = 22;
inline constexpr Rgb woodDarkest {0x7B, 0x5A, 0x31};
inline constexpr Rgb woodLightest {0xA5, 0x84, 0x5A};

/** Shade `k` of the wood, 0 (darkest) to woodShades - 1 (lightest). */
constexpr Rgb woodShade(int k)
{
    // Rounded to the nearest in whole numbers.
    const auto mix
        = [k](int a, int b) { return a + ((b - a) * k * 2 + woodShades - 1) / (2 * (woodShades - 1)); };
    return {mix(woodDarkest.r, woodLightest.r), mix(woodDarkest.g, woodLightest.g),
            mix(woodDarkest.b, woodLightest.b)};
}

/** Whether a colour lies within the wood's range, channel by channel. */
constexpr bool isWood(int r, int g, int b)
{
    return r >= woodDarkest.r && r <= woodLightest.r && g >= woodDarkest.g && g <= woodLightest.g
        && b >= woodDarkest.b && b <= woodLightest.b;
}

} // namespace artwork
