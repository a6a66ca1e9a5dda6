#include "colour.h"

#include <algorithm>

namespace artwork {

Palette gradient(const std::vector<Stop> &stops, int count)
{
    Palette palette;
    for (int i = 0; i < count; ++i) {
        const Fixed t = count == 1 ? Fixed() : whole(i) / (count - 1);
        size_t k = 0;
        while (k + 2 < stops.size() && t > stops[k + 1].at)
            ++k;
        const Stop &from = stops[k], &to = stops[k + 1];
        const Fixed f = std::clamp((t - from.at) / (to.at - from.at), Fixed(), one);
        const auto mix = [f](int a, int b) { return int(a + roundWhole(f * (b - a))); };
        palette.push_back({mix(from.colour.r, to.colour.r), mix(from.colour.g, to.colour.g),
                           mix(from.colour.b, to.colour.b)});
    }
    return palette;
}

Palette withInside(Rgb inside, const std::vector<Stop> &stops)
{
    Palette palette {inside};
    const Palette rest = gradient(stops, 255);
    palette.insert(palette.end(), rest.begin(), rest.end());
    return palette;
}

} // namespace artwork
