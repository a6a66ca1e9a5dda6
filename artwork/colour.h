#pragma once

// Colours and the palettes of the indexed pictures, mixed in whole numbers.
#include "artwork/fixed.h"

#include <vector>

namespace artwork {

struct Rgb
{
    int r, g, b;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

using Palette = std::vector<Rgb>;

/** A colour stop of a gradient: where it lies, 0 to 1, and its colour. */
struct Stop
{
    Fixed at;
    Rgb colour;
};

/** A palette of `count` entries along the colour stops, the first at 0 and the last at 1. */
Palette gradient(const std::vector<Stop> &stops, int count);

/** Entry 0 is the inside colour; entries 1..255 run along the stops. */
Palette withInside(Rgb inside, const std::vector<Stop> &stops);

} // namespace artwork
