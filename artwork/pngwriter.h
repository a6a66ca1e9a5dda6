#pragma once

// Writes drawn pixels as a PNG file.
#include <cstdint>
#include <string>
#include <vector>

namespace artwork {

/** Writes `width` x `height` pixels, row by row red, green, blue and alpha bytes (not premultiplied), to
 * `path` as a PNG, with nothing but the pixels in it; says what failed on the standard error. */
bool writePng(const std::string &path, int width, int height, const std::vector<std::uint8_t> &rgba);

} // namespace artwork
