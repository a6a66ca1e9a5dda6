#include "random.h"

#include <chrono>

namespace runtime {

void SystemRandom::randomize()
{
    // Two deals within one clock tick must still differ, so the engine's own state joins the clock's.
    const auto wall = quint64(std::chrono::system_clock::now().time_since_epoch().count());
    const auto steady = quint64(std::chrono::steady_clock::now().time_since_epoch().count());
    std::seed_seq seed {quint32(wall), quint32(wall >> 32), quint32(steady), quint32(steady >> 32),
                        quint32(m_engine())};
    m_engine.seed(seed);
}

float SystemRandom::next()
{
    return unitInterval(quint32(m_engine()));
}

} // namespace runtime
