#include "snowflake.h"

#include "functions.h"

namespace artwork {

std::vector<Complex> kochSnowflake(Fixed radius, int levels)
{
    std::vector<Complex> points {
        {Fixed(), -radius}, {radius * halfRootThree, radius / 2}, {-(radius * halfRootThree), radius / 2}};
    const Complex turn {half, -halfRootThree}; // a sixth of a turn, outwards
    for (int level = 0; level < levels; ++level) {
        std::vector<Complex> finer;
        for (size_t i = 0; i < points.size(); ++i) {
            const Complex a = points[i], b = points[(i + 1) % points.size()];
            const Complex third = (b - a) / 3;
            finer.insert(finer.end(), {a, a + third, a + third + third * turn, a + third + third});
        }
        points = finer;
    }
    return points;
}

// By the number of sides that a ray to the right crosses; each crossing is decided by the sign of a cross
// product, so nothing is rounded.
bool insidePolygon(const std::vector<Complex> &polygon, Complex p)
{
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Complex a = polygon[i], b = polygon[j];
        if ((a.im > p.im) == (b.im > p.im))
            continue;
        const int side = crossSign(p - a, b - a);
        if (b.im > a.im ? side < 0 : side > 0)
            inside = !inside;
    }
    return inside;
}

} // namespace artwork
