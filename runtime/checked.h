#pragma once

#include "failure.h"

#include <QtGlobal>

#include <cmath>
#include <limits>

namespace runtime {

/** Raises the fatal "Overflow" failure. */
[[noreturn]] void overflow();

/**
 * An integer field of fixed width whose arithmetic never wraps: a result outside the field's range
 * is the fatal failure "Overflow". Values are widened to int for the arithmetic, then checked.
 */
template<class T> class Checked
{
public:
    static constexpr int min = std::numeric_limits<T>::min();
    static constexpr int max = std::numeric_limits<T>::max();

    constexpr Checked() = default;
    constexpr Checked(int value) // NOLINT: implicit, so fields read like plain numbers
        : m_value(narrow(value))
    { }

    constexpr operator int() const { return m_value; }
    constexpr int value() const { return m_value; }

    // Overloads for plain int on either side keep `field + 1` from being ambiguous with int arithmetic.
    friend constexpr Checked operator+(Checked a, Checked b) { return Checked(a.value() + b.value()); }
    friend constexpr Checked operator+(Checked a, int b) { return Checked(a.value() + b); }
    friend constexpr Checked operator+(int a, Checked b) { return Checked(a + b.value()); }
    friend constexpr Checked operator-(Checked a, Checked b) { return Checked(a.value() - b.value()); }
    friend constexpr Checked operator-(Checked a, int b) { return Checked(a.value() - b); }
    friend constexpr Checked operator-(int a, Checked b) { return Checked(a - b.value()); }
    friend constexpr Checked operator*(Checked a, Checked b) { return Checked(a.value() * b.value()); }
    friend constexpr Checked operator*(Checked a, int b) { return Checked(a.value() * b); }
    friend constexpr Checked operator*(int a, Checked b) { return Checked(a * b.value()); }
    Checked &operator+=(Checked other) { return *this = *this + other; }

private:
    static constexpr T narrow(int value)
    {
        if (value < min || value > max)
            overflow();
        return static_cast<T>(value);
    }

    T m_value = 0;
};

/** An 8-bit unsigned field. */
using Byte = Checked<quint8>;
/** A 16-bit signed field. */
using Int16 = Checked<qint16>;

/** A floating-point value converted to a 16-bit field: rounded to the nearest integer, ties to even. */
Int16 roundToInt16(double value);

/** The integer part of a value, rounded down, as a 16-bit field. */
Int16 floorToInt16(double value);

} // namespace runtime
