#include "cardback.h"

#include "functions.h"
#include "wood.h"

#include <algorithm>
#include <array>

namespace artwork {

// At twice the size the same wood is sampled between the design's pixels, so streaks and knot stay where
// they are.
Indexed cardBack(Detail detail)
{
    constexpr int designWidth = 48, designHeight = 36, shades = woodShades;
    const int width = designWidth * detail.scale, height = designHeight * detail.scale;
    Palette palette;
    for (int k = 0; k < shades; ++k)
        palette.push_back(woodShade(k));
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
            const Fixed across = x + fx(1.6) * sin(y * fx(0.23) + x * fx(0.05));
            const int streak = std::clamp(int(roundWhole(across)), 0, designWidth - 1);
            const Fixed rings = half + sin(across * fx(1.3) + sin(x * fx(0.31)) * 2) / 2;
            const Fixed dx = x - whole(33), dy = y - whole(12);
            const Fixed knot = expNegative((dx * dx + dy * dy * fx(0.3)) / 18);
            field.push_back(fx(0.55) * rings + fx(0.35) * grain[size_t(streak)] + fx(0.1) * random.next()
                            - knot / 2);
        }
    const auto [low, high] = std::minmax_element(field.begin(), field.end());
    Indexed back {width, height, {}, palette, {}};
    for (const Fixed value : field)
        back.pixels.push_back(
            std::uint8_t(std::min<std::int64_t>(shades - 1, ratio((value - *low) * shades, *high - *low))));
    return back;
}

} // namespace artwork
