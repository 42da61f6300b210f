#pragma once

#include <cstdint>
#include <random>

namespace lumaro {

// The one random generator of the program. Windows seed it from the clock; tests give a fixed
// seed so that every shuffle and random pick can be replayed. below() is written out here
// rather than taken from <random> distributions, so the same seed gives the same numbers on
// every standard library.
class RandomSource {
public:
    explicit RandomSource(std::uint64_t seed);
    static RandomSource fromClock();

    // A uniform integer in 0 .. bound - 1 (bound >= 1).
    int below(int bound);
    // A uniform integer in lo .. hi (lo <= hi).
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    std::uint64_t next() { return m_engine(); }

private:
    std::mt19937_64 m_engine;
};

} // namespace lumaro
