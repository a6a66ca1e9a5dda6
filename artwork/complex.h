#pragma once

// A complex number, or a point of the plane, in fixed point.
#include "artwork/fixed.h"

namespace artwork {

struct Complex
{
    Fixed re, im;

    friend constexpr Complex operator+(Complex a, Complex b) { return {a.re + b.re, a.im + b.im}; }
    friend constexpr Complex operator-(Complex a, Complex b) { return {a.re - b.re, a.im - b.im}; }
    friend constexpr Complex operator*(Complex a, Complex b)
    {
        return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
    }
    template<typename N, typename = WholeNumber<N>> friend constexpr Complex operator*(Complex a, N n)
    {
        return {a.re * n, a.im * n};
    }
    template<typename N, typename = WholeNumber<N>> friend constexpr Complex operator/(Complex a, N n)
    {
        return {a.re / n, a.im / n};
    }
    /** Scaled by a real factor. */
    friend constexpr Complex operator*(Complex a, Fixed f) { return {a.re * f, a.im * f}; }
    friend constexpr bool operator==(Complex a, Complex b) = default;
};

constexpr Complex conj(Complex z)
{
    return {z.re, -z.im};
}

/** |z|^2, for components under 2^7 in magnitude. */
constexpr Fixed norm(Complex z)
{
    return z.re * z.re + z.im * z.im;
}

/** |z|^2 to a coarser grain (2^-12 in each component), for components under 2^19 in magnitude. */
constexpr Fixed coarseNorm(Complex z)
{
    const Fixed re = z.re >> (Fixed::fractionBits / 2), im = z.im >> (Fixed::fractionBits / 2);
    return Fixed::fromRaw(
        detail::sum(detail::product(re.raw(), re.raw()), detail::product(im.raw(), im.raw())));
}

/** The sign of the cross product u x v (-1, 0 or 1), exactly: nothing is rounded. */
constexpr int crossSign(Complex u, Complex v)
{
    const std::int64_t a = detail::product(u.re.raw(), v.im.raw()),
                       b = detail::product(v.re.raw(), u.im.raw());
    return a < b ? -1 : a > b ? 1 : 0;
}

} // namespace artwork
