#include "indexed.h"

#include <algorithm>

namespace artwork {

Indexed drawFace(Detail detail, const std::function<int(Fixed, Fixed)> &indexAt, Palette palette)
{
    const int size = detail.size();
    Indexed image {size, size, {}, std::move(palette), {}};
    const auto centre = [size](int pixel) { return whole(2 * pixel + 1) / (2 * size); };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.pixels.push_back(std::uint8_t(std::clamp(indexAt(centre(x), centre(y)), 0, 255)));
    return image;
}

} // namespace artwork
