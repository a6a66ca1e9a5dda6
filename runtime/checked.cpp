#include "checked.h"

#include <QString>

#include <cfenv>

namespace runtime {

void overflow()
{
    fail(QStringLiteral("Overflow"));
}

namespace {

Int16 toInt16(double whole)
{
    // Compare as double so that huge values and NaN never reach the int conversion.
    if (!(whole >= Int16::min && whole <= Int16::max))
        overflow();
    return Int16(static_cast<int>(whole));
}

} // namespace

Int16 roundToInt16(double value)
{
    // nearbyint follows the current rounding mode, which is round-to-nearest-even unless someone changed it.
    Q_ASSERT(std::fegetround() == FE_TONEAREST);
    return toInt16(std::nearbyint(value));
}

Int16 floorToInt16(double value)
{
    return toInt16(std::floor(value));
}

} // namespace runtime
