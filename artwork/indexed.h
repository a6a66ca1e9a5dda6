#pragma once

// An indexed picture, as a GIF holds one, and the grid of pixels a figure is drawn on.
#include "artwork/colour.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace artwork {

struct Indexed
{
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels; // row by row
    Palette palette;
    std::string name; // what it shows, for a screen reader; empty for none
};

/** How finely a picture is drawn: 1 for the design's own size, 2 for twice as many pixels each way. */
struct Detail
{
    int scale = 1;
    /** The side of a face, in pixels. */
    int size() const { return 64 * scale; }
    /** Recursive figures go one level deeper at twice the size, so the extra pixels show extra detail. */
    int extraLevels() const { return scale - 1; }
};

/** A face of `detail`'s size: each pixel the palette index that `indexAt` gives for its centre (u, v) in
 * [0, 1) x [0, 1), clamped to 0..255. */
Indexed drawFace(Detail detail, const std::function<int(Fixed, Fixed)> &indexAt, Palette palette);

/** A deterministic sequence of numbers in [0, 1), so that the pictures never change. */
class Lcg
{
public:
    explicit Lcg(std::uint64_t seed) : m_state(seed) { }
    Fixed next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return Fixed::fromRaw(std::int64_t(m_state >> (64 - Fixed::fractionBits)));
    }

private:
    std::uint64_t m_state;
};

} // namespace artwork
