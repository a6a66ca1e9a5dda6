#pragma once

// The number every picture is drawn in: a whole number of 2^-24, so that every operation is integer
// arithmetic and a picture comes out the same bytes whatever the processor, compiler, optimisation and C
// library. Floating point would not: fused multiply-adds, the x87's wider registers and each libm's last bit
// all move a pixel somewhere.
//
// Fixed is a type of its own. It converts from nothing implicitly, so `x * 0.23` does not compile; a product
// or quotient of two Fixed goes through its operators, which round as documented and stop the program, or
// the compilation when evaluated at compile time, rather than overflow.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <type_traits>

namespace artwork {

namespace detail {

/** Stops with `what`: never returns; at compile time, a call that is not a constant expression. */
[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "artwork: %s\n", what);
    std::abort();
}

/** `condition` must hold; a precondition of the arithmetic. */
constexpr void require(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

/** a * b, which must fit in 64 bits. */
constexpr std::int64_t product(std::int64_t a, std::int64_t b)
{
    std::int64_t result = 0;
    require(!__builtin_mul_overflow(a, b, &result), "a product overflows 64 bits");
    return result;
}

} // namespace detail

/** Allows a template for whole numbers only: a double given where one is taken does not compile. */
template<typename N> using WholeNumber = std::enable_if_t<std::is_integral_v<N>>;

class Fixed
{
public:
    static constexpr int fractionBits = 24;

    constexpr Fixed() = default;
    /** The number whose value is `raw` * 2^-24. */
    static constexpr Fixed fromRaw(std::int64_t raw) { return Fixed(raw); }
    constexpr std::int64_t raw() const { return m_raw; }

    friend constexpr Fixed operator+(Fixed a, Fixed b) { return Fixed(a.m_raw + b.m_raw); }
    friend constexpr Fixed operator-(Fixed a, Fixed b) { return Fixed(a.m_raw - b.m_raw); }
    friend constexpr Fixed operator-(Fixed a) { return Fixed(-a.m_raw); }
    constexpr Fixed &operator+=(Fixed b) { return *this = *this + b; }
    constexpr Fixed &operator-=(Fixed b) { return *this = *this - b; }

    /** The product, rounded down. */
    friend constexpr Fixed operator*(Fixed a, Fixed b)
    {
        return Fixed(detail::product(a.m_raw, b.m_raw) >> fractionBits);
    }
    /** The quotient, rounded towards zero. */
    friend constexpr Fixed operator/(Fixed a, Fixed b)
    {
        detail::require(b.m_raw != 0, "a division by zero");
        return Fixed(detail::product(a.m_raw, std::int64_t(1) << fractionBits) / b.m_raw);
    }

    // By a whole number: exact, and the quotient rounded towards zero.
    template<typename N, typename = WholeNumber<N>> friend constexpr Fixed operator*(Fixed a, N n)
    {
        return Fixed(detail::product(a.m_raw, std::int64_t(n)));
    }
    template<typename N, typename = WholeNumber<N>> friend constexpr Fixed operator*(N n, Fixed a)
    {
        return a * n;
    }
    template<typename N, typename = WholeNumber<N>> friend constexpr Fixed operator/(Fixed a, N n)
    {
        detail::require(n != 0, "a division by zero");
        return Fixed(a.m_raw / std::int64_t(n));
    }

    /** Halved `bits` times, rounded down; doubled `bits` times. */
    friend constexpr Fixed operator>>(Fixed a, int bits) { return Fixed(a.m_raw >> bits); }
    friend constexpr Fixed operator<<(Fixed a, int bits)
    {
        return Fixed(detail::product(a.m_raw, std::int64_t(1) << bits));
    }

    friend constexpr bool operator==(Fixed a, Fixed b) { return a.m_raw == b.m_raw; }
    friend constexpr bool operator!=(Fixed a, Fixed b) { return a.m_raw != b.m_raw; }
    friend constexpr bool operator<(Fixed a, Fixed b) { return a.m_raw < b.m_raw; }
    friend constexpr bool operator<=(Fixed a, Fixed b) { return a.m_raw <= b.m_raw; }
    friend constexpr bool operator>(Fixed a, Fixed b) { return a.m_raw > b.m_raw; }
    friend constexpr bool operator>=(Fixed a, Fixed b) { return a.m_raw >= b.m_raw; }

private:
    constexpr explicit Fixed(std::int64_t raw) : m_raw(raw) { }
    std::int64_t m_raw = 0;
};

inline constexpr Fixed one = Fixed::fromRaw(std::int64_t(1) << Fixed::fractionBits);
inline constexpr Fixed half = one >> 1;
/** The smallest positive number. */
inline constexpr Fixed epsilon = Fixed::fromRaw(1);

/** `value` as a fixed-point number, rounded to the nearest; only at compile time. */
consteval Fixed fx(double value)
{
    const double scaled = value * double(one.raw());
    return Fixed::fromRaw(std::int64_t(scaled < 0 ? scaled - 0.5 : scaled + 0.5));
}

/** A whole number as a fixed-point one. */
constexpr Fixed whole(std::int64_t n)
{
    return one * n;
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

/** The whole part of `a`, rounded down. */
constexpr int wholePart(Fixed a)
{
    return int(a.raw() >> Fixed::fractionBits);
}

/** `a` rounded to the nearest whole number, halves away from zero. */
constexpr std::int64_t roundWhole(Fixed a)
{
    return roundDiv(a.raw(), one.raw());
}

/** What is left of `a` past its whole part, in [0, 1). */
constexpr Fixed fraction(Fixed a)
{
    return Fixed::fromRaw(a.raw() & (one.raw() - 1));
}

/** How many whole times `b` goes into `a`, rounded towards zero. */
constexpr std::int64_t ratio(Fixed a, Fixed b)
{
    detail::require(b.raw() != 0, "a division by zero");
    return a.raw() / b.raw();
}

/** How many whole times `b` (> 0) goes into `a`, rounded down. */
constexpr std::int64_t floorRatio(Fixed a, Fixed b)
{
    detail::require(b.raw() > 0, "a division by a number not above zero");
    return floorDiv(a.raw(), b.raw());
}

constexpr Fixed abs(Fixed a)
{
    return a < Fixed() ? -a : a;
}

} // namespace artwork
