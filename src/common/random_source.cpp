#include "common/random_source.h"

#include <chrono>

namespace lumaro {

RandomSource::RandomSource(std::uint64_t seed)
    : m_engine(seed)
{ }

RandomSource RandomSource::fromClock()
{
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return RandomSource(static_cast<std::uint64_t>(ticks));
}

int RandomSource::below(int bound)
{
    if (bound <= 1)
        return 0;
    // Rejection sampling keeps every value equally likely.
    const std::uint64_t range = static_cast<std::uint64_t>(bound);
    const std::uint64_t limit = UINT64_MAX - UINT64_MAX % range;
    std::uint64_t value;
    do {
        value = m_engine();
    } while (value >= limit);
    return static_cast<int>(value % range);
}

} // namespace lumaro
