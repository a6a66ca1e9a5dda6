#pragma once

// The few functions of analysis the pictures need, written out in fixed point: no libm, so that their last
// bit is the same everywhere.
#include "artwork/fixed.h"

#include <initializer_list>

namespace artwork {

inline constexpr Fixed pi = fx(3.14159265358979323846);
inline constexpr Fixed ln2 = fx(0.69314718055994530942);
/** sin 60 degrees, the height of an equilateral triangle of side 1. */
inline constexpr Fixed halfRootThree = fx(0.86602540378443864676);

/** log2 of x > 0, bit by bit: normalised to [1, 2), each squaring gives one bit of the fraction. */
constexpr Fixed log2(Fixed x)
{
    detail::require(x > Fixed(), "the logarithm of a number not above zero");
    Fixed result;
    while (x >= whole(2)) {
        x = x >> 1;
        result += one;
    }
    while (x < one) {
        x = x << 1;
        result -= one;
    }
    for (Fixed bit = half; bit > Fixed(); bit = bit >> 1) {
        x = x * x;
        if (x >= whole(2)) {
            x = x >> 1;
            result += bit;
        }
    }
    return result;
}

/** sin(a): reduced to [-pi/2, pi/2], then its Taylor series to the 13th power. */
constexpr Fixed sin(Fixed a)
{
    a -= pi * 2 * floorRatio(a + pi, pi * 2); // now in [-pi, pi)
    if (a > pi / 2)
        a = pi - a;
    else if (a < -pi / 2)
        a = -pi - a;
    const Fixed square = a * a;
    Fixed series = one;
    // (2n)(2n + 1) for n = 6 down to 1
    for (const int k : {156, 110, 72, 42, 20, 6})
        series = one - square * series / k;
    return a * series;
}

constexpr Fixed cos(Fixed a)
{
    return sin(a + pi / 2);
}

/** e^-v for v >= 0: 2 to the whole part of v / ln 2 by a shift, the rest by its Taylor series. */
constexpr Fixed expNegative(Fixed v)
{
    detail::require(v >= Fixed(), "e to a positive power");
    const Fixed powerOfTwo = v * fx(1.44269504088896340736); // v / ln 2
    const int shift = wholePart(powerOfTwo);
    if (shift >= Fixed::fractionBits + 1)
        return Fixed();
    const Fixed t = (powerOfTwo - whole(shift)) * ln2; // in [0, ln 2)
    Fixed series = one;
    for (int k = 9; k >= 1; --k)
        series = one - t * series / k;
    return series >> shift;
}

/** The square root of x >= 0, rounded down to 2^-12 at least: by whole numbers, digit by digit. */
constexpr Fixed sqrt(Fixed x)
{
    detail::require(x >= Fixed(), "the square root of a negative number");
    // sqrt(raw * 2^-24) = sqrt(raw * 2^shift) * 2^-(24 + shift) / 2: shift as far as 64 bits allow.
    int shift = Fixed::fractionBits;
    while (shift > 0 && x.raw() > (INT64_MAX >> shift))
        shift -= 2;
    std::uint64_t n = std::uint64_t(x.raw()) << shift, root = 0;
    for (std::uint64_t bit = std::uint64_t(1) << 62; bit > 0; bit >>= 2) {
        if (n >= root + bit) {
            n -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
    }
    return Fixed::fromRaw(std::int64_t(root) << ((Fixed::fractionBits - shift) / 2));
}

} // namespace artwork
