#pragma once

// Koch's snowflake, which the face of that name and the application icon both show.
#include "artwork/complex.h"

#include <vector>

namespace artwork {

/** Koch's snowflake around the origin, point up on a screen (y down): a triangle of `radius` refined `levels`
 * times, each side's middle third raised outwards. */
std::vector<Complex> kochSnowflake(Fixed radius, int levels);

/** Whether `p` lies inside `polygon` by the even-odd rule, decided exactly. */
bool insidePolygon(const std::vector<Complex> &polygon, Complex p);

} // namespace artwork
