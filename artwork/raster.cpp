#include "raster.h"

#include "functions.h"

#include <algorithm>

namespace artwork {

namespace {

// Each row of pixels is sampled along this many lines across it; along each line a span's cover of a pixel
// is exact to 1/2048 of its width. A pixel wholly covered adds up to 65536.
constexpr int linesPerRow = 32;
constexpr int coverShift = Fixed::fractionBits - 11;
constexpr std::uint32_t fullCover = std::uint32_t(linesPerRow) << 11;

// Sample line j lies at y = (2j + 1) / (2 * linesPerRow).
constexpr std::int64_t halfLine = one.raw() / (2 * linesPerRow);

/** The first sample line at or below y. */
std::int64_t firstLineFrom(Fixed y)
{
    return -floorDiv(-(y.raw() - halfLine), 2 * halfLine);
}

Fixed lineY(std::int64_t line)
{
    return Fixed::fromRaw((2 * line + 1) * halfLine);
}

struct Edge
{
    Complex top, bottom; // top.im < bottom.im
    int winding; // +1 downwards, -1 upwards
    std::int64_t firstLine, endLine;
};

struct Crossing
{
    Fixed x;
    int winding;
};

} // namespace

Canvas::Canvas(int width, int height)
    : m_width(width), m_height(height), m_channels(size_t(width) * size_t(height) * 4, 0)
{ }

void Canvas::fill(const std::vector<Polygon> &polygons, Rgb colour)
{
    std::vector<Edge> edges;
    for (const Polygon &polygon : polygons)
        for (size_t i = 0; i < polygon.size(); ++i) {
            Complex a = polygon[i], b = polygon[(i + 1) % polygon.size()];
            const int winding = a.im < b.im ? 1 : -1;
            if (a.im > b.im)
                std::swap(a, b);
            const std::int64_t first = std::max<std::int64_t>(0, firstLineFrom(a.im));
            const std::int64_t end
                = std::min<std::int64_t>(std::int64_t(m_height) * linesPerRow, firstLineFrom(b.im));
            if (first < end)
                edges.push_back({a, b, winding, first, end});
        }
    std::sort(edges.begin(), edges.end(),
              [](const Edge &a, const Edge &b) { return a.firstLine < b.firstLine; });

    std::vector<std::uint32_t> coverage(size_t(m_width), 0);
    std::vector<const Edge *> active;
    std::vector<Crossing> crossings;
    if (edges.empty())
        return;
    // From the first row an edge reaches to the end of the last.
    std::int64_t endLine = 0;
    for (const Edge &edge : edges)
        endLine = std::max(endLine, edge.endLine);
    endLine += (linesPerRow - endLine % linesPerRow) % linesPerRow;
    size_t next = 0;
    const Fixed right = whole(m_width);
    const std::int64_t firstLine = edges.front().firstLine;
    for (std::int64_t line = firstLine - firstLine % linesPerRow; line < endLine; ++line) {
        std::erase_if(active, [line](const Edge *edge) { return edge->endLine <= line; });
        while (next < edges.size() && edges[next].firstLine == line)
            active.push_back(&edges[next++]);
        const Fixed y = lineY(line);
        crossings.clear();
        for (const Edge *edge : active) {
            const Complex along = edge->bottom - edge->top;
            crossings.push_back({edge->top.re + along.re * ((y - edge->top.im) / along.im), edge->winding});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing &a, const Crossing &b) { return a.x < b.x; });
        // The spans where the polygons wind round the line, each added to the pixels it covers.
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].winding;
            if (winding == 0)
                continue;
            const Fixed from = std::clamp(crossings[i].x, Fixed(), right);
            const Fixed to = std::clamp(crossings[i + 1].x, Fixed(), right);
            for (int x = wholePart(from); x < m_width && whole(x) < to; ++x) {
                const Fixed covered = std::min(to, whole(x + 1)) - std::max(from, whole(x));
                coverage[size_t(x)] += std::uint32_t(covered.raw() >> coverShift);
            }
        }
        if (line % linesPerRow == linesPerRow - 1) {
            paintRow(int(line / linesPerRow), coverage, colour);
            std::fill(coverage.begin(), coverage.end(), 0);
        }
    }
}

void Canvas::paintRow(int y, const std::vector<std::uint32_t> &coverage, Rgb colour)
{
    const std::uint64_t source[4] = {std::uint64_t(colour.r) * 257, std::uint64_t(colour.g) * 257,
                                     std::uint64_t(colour.b) * 257, 65535};
    for (int x = 0; x < m_width; ++x) {
        const std::uint64_t cover = std::min(coverage[size_t(x)], fullCover);
        if (cover == 0)
            continue;
        std::uint32_t *pixel = &m_channels[(size_t(y) * size_t(m_width) + size_t(x)) * 4];
        for (int c = 0; c < 4; ++c)
            pixel[c] = std::uint32_t((source[c] * cover + pixel[c] * (fullCover - cover) + fullCover / 2)
                                     / fullCover);
    }
}

std::vector<std::uint8_t> Canvas::rgba(bool premultiplied) const
{
    std::vector<std::uint8_t> bytes(m_channels.size());
    const auto eight
        = [](std::uint64_t v, std::uint64_t of) { return std::uint8_t((v * 255 * 2 + of) / (2 * of)); };
    for (size_t i = 0; i < m_channels.size(); i += 4) {
        const std::uint32_t alpha = m_channels[i + 3];
        for (size_t c = 0; c < 3; ++c)
            bytes[i + c] = premultiplied ? eight(m_channels[i + c], 65535)
                : alpha == 0             ? 0
                                         : eight(std::min(m_channels[i + c], alpha), alpha);
        bytes[i + 3] = eight(alpha, 65535);
    }
    return bytes;
}

std::vector<Polygon> strokeOutline(const Polygon &polygon, Fixed width)
{
    // Each side a band, each corner a disc; all wound the same way round, so their union is what fills.
    constexpr int discPoints = 32;
    const Fixed radius = width / 2;
    Polygon disc;
    for (int k = 0; k < discPoints; ++k) {
        const Fixed angle = pi * 2 * k / discPoints;
        disc.push_back(Complex {cos(angle), sin(angle)} * radius);
    }
    std::vector<Polygon> parts;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Complex a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        Polygon round = disc;
        for (Complex &point : round)
            point = point + a;
        parts.push_back(std::move(round));
        const Complex side = b - a;
        if (side == Complex {})
            continue;
        // The length by a sixteenth of the side, whose square stays well within the number's range.
        const Fixed length = sqrt(norm(side / 16)) * 16;
        const Fixed across = radius / length;
        const Complex normal {-side.im * across, side.re * across};
        parts.push_back({a - normal, b - normal, b + normal, a + normal});
    }
    return parts;
}

} // namespace artwork
