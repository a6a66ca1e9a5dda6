#pragma once

// Fixed-point arithmetic for the picture generator: every value is a whole number of 2^-24, every operation
// is integer arithmetic, so a picture comes out the same bytes whatever the processor, compiler, optimisation
// and C library. Floating point would not: fused multiply-adds, the x87's wider registers and each libm's
// last bit all move a pixel somewhere. Constants are written as decimals and converted by the compiler,
// exactly.
#include <cstdint>

namespace fixedpoint {

using Fixed = std::int64_t;

inline constexpr int fractionBits = 24;
inline constexpr Fixed one = Fixed(1) << fractionBits;
inline constexpr Fixed half = one / 2;

/** `value` as a fixed-point number, rounded to the nearest; only at compile time. */
consteval Fixed fx(double value)
{
    const double scaled = value * double(one);
    return Fixed(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
}

/** A whole number as a fixed-point one. */
constexpr Fixed whole(std::int64_t n)
{
    return n * one;
}

/** The product, rounded down. Both factors' magnitudes must multiply to less than 2^15. */
constexpr Fixed mul(Fixed a, Fixed b)
{
    return (a * b) >> fractionBits;
}

/** The quotient, rounded towards zero; |a| must stay under 2^15. */
constexpr Fixed div(Fixed a, Fixed b)
{
    return (a * one) / b;
}

/** n / d rounded down, for d > 0. */
constexpr std::int64_t floorDiv(std::int64_t n, std::int64_t d)
{
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}

/** n / d rounded to the nearest, halves away from zero, for d > 0. */
constexpr std::int64_t roundDiv(std::int64_t n, std::int64_t d)
{
    return n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d);
}

/** The whole part of a non-negative fixed-point number. */
constexpr int wholePart(Fixed a)
{
    return int(a >> fractionBits);
}

constexpr Fixed abs(Fixed a)
{
    return a < 0 ? -a : a;
}

struct Complex
{
    Fixed re = 0, im = 0;

    friend constexpr Complex operator+(Complex a, Complex b) { return {a.re + b.re, a.im + b.im}; }
    friend constexpr Complex operator-(Complex a, Complex b) { return {a.re - b.re, a.im - b.im}; }
    friend constexpr Complex operator*(Complex a, Complex b)
    {
        return {mul(a.re, b.re) - mul(a.im, b.im), mul(a.re, b.im) + mul(a.im, b.re)};
    }
};

constexpr Complex conj(Complex z)
{
    return {z.re, -z.im};
}

/** |z|^2, for components under 2^7 in magnitude. */
constexpr Fixed norm(Complex z)
{
    return mul(z.re, z.re) + mul(z.im, z.im);
}

/** |z|^2 to a coarser grain (2^-12 in each component), for components up to 2^19 in magnitude. */
constexpr Fixed coarseNorm(Complex z)
{
    const Fixed re = z.re >> (fractionBits / 2), im = z.im >> (fractionBits / 2);
    return re * re + im * im;
}

/** log2 of a positive number, bit by bit: normalised to [1, 2), each squaring gives one bit of the fraction.
 */
constexpr Fixed log2(Fixed x)
{
    Fixed result = 0;
    while (x >= 2 * one) {
        x >>= 1;
        result += one;
    }
    while (x < one) {
        x <<= 1;
        result -= one;
    }
    for (Fixed bit = half; bit > 0; bit >>= 1) {
        x = mul(x, x);
        if (x >= 2 * one) {
            x >>= 1;
            result += bit;
        }
    }
    return result;
}

inline constexpr Fixed pi = fx(3.14159265358979323846);

/** sin(a): reduced to [-pi/2, pi/2], then its Taylor series to the 13th power. */
constexpr Fixed sin(Fixed a)
{
    a -= floorDiv(a + pi, 2 * pi) * 2 * pi; // now in [-pi, pi)
    if (a > pi / 2)
        a = pi - a;
    else if (a < -pi / 2)
        a = -pi - a;
    const Fixed square = mul(a, a);
    Fixed series = one;
    for (const int k : {156, 110, 72, 42, 20, 6}) // (2n)(2n + 1) for n = 6 down to 1
        series = one - mul(square, series) / k;
    return mul(a, series);
}

/** e^-v for v >= 0: 2 to the whole part of v / ln 2 by a shift, the rest by its Taylor series. */
constexpr Fixed expNegative(Fixed v)
{
    const Fixed powerOfTwo = mul(v, fx(1.44269504088896340736)); // v / ln 2
    const int shift = wholePart(powerOfTwo);
    if (shift >= fractionBits + 1)
        return 0;
    const Fixed t = mul(powerOfTwo - whole(shift), fx(0.69314718055994530942)); // in [0, ln 2)
    Fixed series = one;
    for (int k = 9; k >= 1; --k)
        series = one - mul(t, series) / k;
    return series >> shift;
}

} // namespace fixedpoint
