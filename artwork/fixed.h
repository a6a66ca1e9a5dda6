#pragma once

// The number every picture is drawn in: a whole number of 2^-24, so that every operation is integer
// arithmetic and a picture comes out the same bytes whatever the processor, compiler, optimisation and C
// library. Floating point would not: fused multiply-adds, the x87's wider registers and each libm's last bit
// all move a pixel somewhere.
//
// Fixed is a type of its own. It converts from nothing implicitly, so `x * 0.23` does not compile; a product
// or quotient of two Fixed goes through its operators, which round as documented. Every entry that takes a
// whole number (a factor, a divisor, a shift count, a raw value, whole and the divisions of whole numbers)
// takes only the machine-independent integer types, and one that the operation cannot hold stops. Every
// operation, sums, negations and shifts included, stops the program, or the compilation when evaluated at
// compile time, rather than overflow.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <type_traits>
#include <utility>

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

// The operations of 64-bit whole numbers, each checked: a result that does not fit stops, the same on every
// machine, where the bare operator would wrap, or trap, or do either by optimisation.

/** a * b, which must fit in 64 bits. */
constexpr std::int64_t product(std::int64_t a, std::int64_t b)
{
    std::int64_t result = 0;
    require(!__builtin_mul_overflow(a, b, &result), "a product overflows 64 bits");
    return result;
}

/** a + b, which must fit in 64 bits. */
constexpr std::int64_t sum(std::int64_t a, std::int64_t b)
{
    std::int64_t result = 0;
    require(!__builtin_add_overflow(a, b, &result), "a sum overflows 64 bits");
    return result;
}

/** a - b, which must fit in 64 bits. */
constexpr std::int64_t difference(std::int64_t a, std::int64_t b)
{
    std::int64_t result = 0;
    require(!__builtin_sub_overflow(a, b, &result), "a difference overflows 64 bits");
    return result;
}

/** a / b rounded towards zero, for a b that is not zero and a quotient that fits (not -2^63 / -1). */
constexpr std::int64_t quotient(std::int64_t a, std::int64_t b)
{
    require(b != 0, "a division by zero");
    require(a != INT64_MIN || b != -1, "a quotient overflows 64 bits");
    return a / b;
}

/** `n` as a 64-bit whole number, which it must fit. */
template<typename N> constexpr std::int64_t whole(N n)
{
    require(std::in_range<std::int64_t>(n), "a whole number past 64 bits");
    return std::int64_t(n);
}

/** `bits` as the count of a shift, 0 to 62. */
template<typename N> constexpr int shiftCount(N bits)
{
    require(std::cmp_greater_equal(bits, 0) && std::cmp_less(bits, 63), "a shift out of range");
    return int(bits);
}

/** a * 2^bits, which must fit in 64 bits. */
template<typename N> constexpr std::int64_t shifted(std::int64_t a, N bits)
{
    return product(a, std::int64_t(1) << shiftCount(bits));
}

} // namespace detail

/**
 * The whole numbers that a Fixed takes as factors and divisors: the integer types whose values are the same
 * on every machine. Not bool, nor the character types, whose signedness or meaning depends on the machine
 * (`char(0xC8)` is -56 on amd64 and 200 on arm64).
 */
template<typename N>
inline constexpr bool isWholeNumber
    = std::is_integral_v<
          N> && !std::is_same_v<N, bool> && !std::is_same_v<N, char> && !std::is_same_v<N, wchar_t> && !std::is_same_v<N, char8_t> && !std::is_same_v<N, char16_t> && !std::is_same_v<N, char32_t>;

/** Allows a template for whole numbers only: a double, a char or a bool given where one is taken does not
 * compile. */
template<typename N> using WholeNumber = std::enable_if_t<isWholeNumber<N>>;

class Fixed
{
public:
    static constexpr int fractionBits = 24;

    constexpr Fixed() = default;
    /** The number whose value is `raw` * 2^-24. */
    template<typename N, typename = WholeNumber<N>> static constexpr Fixed fromRaw(N raw)
    {
        return Fixed(detail::whole(raw));
    }
    constexpr std::int64_t raw() const { return m_raw; }

    friend constexpr Fixed operator+(Fixed a, Fixed b) { return Fixed(detail::sum(a.m_raw, b.m_raw)); }
    friend constexpr Fixed operator-(Fixed a, Fixed b) { return Fixed(detail::difference(a.m_raw, b.m_raw)); }
    friend constexpr Fixed operator-(Fixed a) { return Fixed(detail::difference(0, a.m_raw)); }
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
        return Fixed(detail::quotient(detail::shifted(a.m_raw, fractionBits), b.m_raw));
    }

    // By a whole number: exact, and the quotient rounded towards zero.
    template<typename N, typename = WholeNumber<N>> friend constexpr Fixed operator*(Fixed a, N n)
    {
        return Fixed(detail::product(a.m_raw, detail::whole(n)));
    }
    template<typename N, typename = WholeNumber<N>> friend constexpr Fixed operator*(N n, Fixed a)
    {
        return a * n;
    }
    template<typename N, typename = WholeNumber<N>> friend constexpr Fixed operator/(Fixed a, N n)
    {
        return Fixed(detail::quotient(a.m_raw, detail::whole(n)));
    }

    /** Halved `bits` times, rounded down; doubled `bits` times; 0 <= bits < 63. */
    template<typename N, typename = WholeNumber<N>> friend constexpr Fixed operator>>(Fixed a, N bits)
    {
        return Fixed(a.m_raw >> detail::shiftCount(bits));
    }
    template<typename N, typename = WholeNumber<N>> friend constexpr Fixed operator<<(Fixed a, N bits)
    {
        return Fixed(detail::shifted(a.m_raw, bits));
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
template<typename N, typename = WholeNumber<N>> constexpr Fixed whole(N n)
{
    return one * n;
}

/** n / d rounded down, for d > 0. */
template<typename N, typename D, typename = WholeNumber<N>, typename = WholeNumber<D>>
constexpr std::int64_t floorDiv(N dividend, D divisor)
{
    const std::int64_t n = detail::whole(dividend), d = detail::whole(divisor);
    detail::require(d > 0, "a division by a number not above zero");
    return n / d - (n % d < 0 ? 1 : 0);
}

/** n / d rounded to the nearest, halves away from zero, for d > 0. */
template<typename N, typename D, typename = WholeNumber<N>, typename = WholeNumber<D>>
constexpr std::int64_t roundDiv(N dividend, D divisor)
{
    const std::int64_t n = detail::whole(dividend), d = detail::whole(divisor);
    detail::require(d > 0, "a division by a number not above zero");
    const std::int64_t rounded = n / d, left = n % d;
    return left >= d - d / 2 ? rounded + 1 : -left >= d - d / 2 ? rounded - 1 : rounded;
}

/** The whole part of `a`, rounded down, which must fit an int. */
constexpr int wholePart(Fixed a)
{
    const std::int64_t part = a.raw() >> Fixed::fractionBits;
    detail::require(std::in_range<int>(part), "a whole part past an int");
    return int(part);
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
    return detail::quotient(a.raw(), b.raw());
}

/** How many whole times `b` (> 0) goes into `a`, rounded down. */
constexpr std::int64_t floorRatio(Fixed a, Fixed b)
{
    return floorDiv(a.raw(), b.raw());
}

constexpr Fixed abs(Fixed a)
{
    return a < Fixed() ? -a : a;
}

} // namespace artwork
