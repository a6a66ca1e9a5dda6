#pragma once

#include <QtGlobal>

#include <random>

namespace runtime {

/** A source of random values in [0, 1) that is seeded from the clock. */
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    /** Seeds the source afresh from the clock. */
    virtual void randomize() = 0;
    /** The next value r, 0 <= r < 1. */
    virtual float next() = 0;
};

/** The top 24 of 32 random bits as a single-precision value in [0, 1); never 1. */
constexpr float unitInterval(quint32 bits)
{
    return float(bits >> 8) * 0x1p-24f;
}

/** Mersenne Twister values, seeded from the high-resolution clocks. */
class SystemRandom final : public RandomSource
{
public:
    void randomize() override;
    float next() override;

private:
    std::mt19937 m_engine;
};

} // namespace runtime
