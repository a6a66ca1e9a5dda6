#pragma once

// A small raster for drawn shapes: polygons filled in solid colours, their edges antialiased by how much of
// each pixel they cover, all in whole numbers so that a picture is the same bytes wherever it is drawn.
#include "artwork/colour.h"
#include "artwork/complex.h"

#include <cstdint>
#include <vector>

namespace artwork {

using Polygon = std::vector<Complex>;

class Canvas
{
public:
    /** A transparent canvas of `width` x `height` pixels. */
    Canvas(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }

    /** Paints the union of `polygons` (each closed, in pixels, y down; a point is inside where the polygons
     * wind round it) in the opaque `colour`, over what is there: each pixel by the share of it covered. */
    void fill(const std::vector<Polygon> &polygons, Rgb colour);

    /** The pixels row by row as red, green, blue and alpha bytes, the colours premultiplied by the alpha or
     * not. */
    std::vector<std::uint8_t> rgba(bool premultiplied) const;

private:
    void paintRow(int y, const std::vector<std::uint32_t> &coverage, Rgb colour);

    int m_width, m_height;
    std::vector<std::uint32_t> m_channels; // red, green, blue, alpha of each pixel, 0 to 65535, premultiplied
};

/** A closed polygon's outline `width` wide, centred on it, with round joins: polygons for Canvas::fill. */
std::vector<Polygon> strokeOutline(const Polygon &polygon, Fixed width);

} // namespace artwork
