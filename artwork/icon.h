#pragma once

// The application icon: a wood-grain card back leaning against a turned card that shows Koch's snowflake,
// as in a game in progress. One description of its shapes is written as a scalable SVG and drawn at every
// size by the raster, so that every size shows the same drawing.
#include "artwork/raster.h"

#include <optional>
#include <string>
#include <vector>

namespace artwork {

/** The icon is laid out on a canvas of this many units each way. */
inline constexpr int iconCanvas = 256;

struct Shape
{
    Polygon outline; // in the canvas's units
    std::optional<Rgb> fill;
    std::optional<Rgb> stroke;
    int strokeWidth = 0;
};

/** The icon's shapes, back to front. */
std::vector<Shape> iconShapes();

/** The shapes drawn on a transparent canvas of `size` x `size` pixels. */
Canvas drawIcon(const std::vector<Shape> &shapes, int size);

/** The shapes as an SVG document. */
std::string iconSvg(const std::vector<Shape> &shapes);

} // namespace artwork
