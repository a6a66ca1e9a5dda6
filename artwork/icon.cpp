#include "icon.h"

#include "functions.h"
#include "snowflake.h"
#include "wood.h"

#include <cstdio>

namespace artwork {

namespace {

// A rounded rectangle, each corner a quarter circle of `radius` in eight straight steps.
Polygon roundedRect(Fixed x, Fixed y, Fixed width, Fixed height, Fixed radius)
{
    constexpr int steps = 8;
    const Complex centres[4] = {{x + width - radius, y + radius},
                                {x + width - radius, y + height - radius},
                                {x + radius, y + height - radius},
                                {x + radius, y + radius}};
    Polygon points;
    for (int corner = 0; corner < 4; ++corner)
        for (int step = 0; step <= steps; ++step) {
            // From straight up round to the right, on a screen (y down).
            const Fixed angle = pi / 2 * (corner - 1) + pi / 2 * step / steps;
            points.push_back(centres[corner] + Complex {cos(angle), sin(angle)} * radius);
        }
    return points;
}

// `polygon` turned by `degrees` about `centre`, clockwise on a screen.
Polygon turned(Polygon polygon, Complex centre, Fixed degrees)
{
    const Fixed angle = degrees * pi / 180;
    const Complex turn {cos(angle), sin(angle)};
    for (Complex &point : polygon)
        point = centre + (point - centre) * turn;
    return polygon;
}

// The part of `polygon` on the side of the vertical line at `x` that `keepRight` names.
Polygon clippedAt(const Polygon &polygon, Fixed x, bool keepRight)
{
    const auto keeps = [=](Complex p) { return keepRight ? p.re >= x : p.re <= x; };
    Polygon kept;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Complex a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        if (keeps(a))
            kept.push_back(a);
        if (keeps(a) != keeps(b)) {
            const Complex along = b - a;
            kept.push_back({x, a.im + along.im * ((x - a.re) / along.re)});
        }
    }
    return kept;
}

// A number of the canvas's units as the SVG writes it, to two decimals.
std::string decimal(Fixed value)
{
    const std::int64_t hundredths = roundWhole(value * 100);
    const std::int64_t magnitude = hundredths < 0 ? -hundredths : hundredths;
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", hundredths < 0 ? "-" : "", (long long)(magnitude / 100),
                  (long long)(magnitude % 100));
    return text;
}

std::string colour(const std::optional<Rgb> &c)
{
    if (!c)
        return "none";
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", unsigned(c->r), unsigned(c->g), unsigned(c->b));
    return text;
}

} // namespace

std::vector<Shape> iconShapes()
{
    std::vector<Shape> shapes;
    constexpr Rgb outline {0x2A, 0x1C, 0x0E};

    // The card back behind, leaning left: vertical wood streaks in the back's shades.
    const Complex backCentre {whole(82), whole(132)};
    const Polygon card = roundedRect(whole(26), whole(46), whole(112), whole(172), whole(12));
    const Polygon turnedCard = turned(card, backCentre, whole(-10));
    shapes.push_back({turnedCard, woodShade(10), {}, 0});
    constexpr int streaks = 14;
    for (int i = 0; i < streaks; ++i) {
        // A fixed, irregular choice of shades, so the grain looks grown rather than ruled.
        const int k = (i * 7 + (i % 3) * 5) % woodShades;
        const Fixed left = whole(26) + whole(112) * i / streaks;
        const Polygon streak
            = clippedAt(clippedAt(card, left, true), left + whole(112) / streaks + half, false);
        shapes.push_back({turned(streak, backCentre, whole(-10)), woodShade(k), {}, 0});
    }
    shapes.push_back({turnedCard, {}, outline, 6});

    // The turned card in front, leaning right: an ice-blue snowflake on the night sky.
    const Complex faceCentre {whole(170), whole(126)};
    shapes.push_back(
        {turned(roundedRect(whole(114), whole(40), whole(112), whole(172), whole(12)), faceCentre, whole(8)),
         Rgb {0x0A, 0x10, 0x28}, outline, 6});
    Polygon flake = kochSnowflake(whole(46), 3);
    for (Complex &point : flake)
        point = point + Complex {whole(170), whole(130)};
    shapes.push_back(
        {turned(flake, faceCentre, whole(8)), Rgb {0x8C, 0xCC, 0xF2}, Rgb {0xE6, 0xFA, 0xFF}, 3});
    return shapes;
}

Canvas drawIcon(const std::vector<Shape> &shapes, int size)
{
    Canvas canvas(size, size);
    const auto toPixels = [size](Polygon polygon) {
        for (Complex &point : polygon)
            point = point * size / iconCanvas;
        return polygon;
    };
    for (const Shape &shape : shapes) {
        if (shape.fill)
            canvas.fill({toPixels(shape.outline)}, *shape.fill);
        if (shape.stroke) {
            std::vector<Polygon> band = strokeOutline(shape.outline, whole(shape.strokeWidth));
            for (Polygon &part : band)
                part = toPixels(std::move(part));
            canvas.fill(band, *shape.stroke);
        }
    }
    return canvas;
}

std::string iconSvg(const std::vector<Shape> &shapes)
{
    const std::string side = std::to_string(iconCanvas);
    std::string svg
        = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\""
        + side + "\" height=\"" + side + "\" viewBox=\"0 0 " + side + ' ' + side + "\">\n";
    for (const Shape &shape : shapes) {
        svg += "  <path d=\"";
        for (size_t i = 0; i < shape.outline.size(); ++i)
            svg += (i == 0 ? "M" : " L") + decimal(shape.outline[i].re) + ',' + decimal(shape.outline[i].im);
        svg += " Z\" fill=\"" + colour(shape.fill) + '"';
        if (shape.stroke)
            svg += " stroke=\"" + colour(shape.stroke) + "\" stroke-width=\""
                + std::to_string(shape.strokeWidth) + "\" stroke-linejoin=\"round\"";
        svg += "/>\n";
    }
    return svg + "</svg>\n";
}

} // namespace artwork
