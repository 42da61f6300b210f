#pragma once

#include "tickets/wheel_design.h"

#include <cstdint>
#include <vector>

namespace lumaro {

struct WeightingOutcome {
    std::vector<WheelMask> tickets; // the smallest complete design reached, unsorted
    qint64 steps = 0;
    bool cancelled = false;
};

// Row-weighting local search, the design seen as a set cover: the draws are the rows, every
// possible ticket a column covering the draws it holds k of. From a greedy cover it drops a
// ticket whenever the cover is complete; otherwise one step swaps the ticket whose loss weighs
// least for the best ticket through a random uncovered draw, and then every uncovered draw
// weighs one more, so that draws left out long pull the search towards them. A ticket just
// dropped is not taken back until one of its draws changes state. Ends after maxSteps steps,
// after `seconds` (when positive), on cancel, or at `target` tickets.
WeightingOutcome SearchByRowWeighting(
    const WheelParams &p, std::uint64_t seed, qint64 maxSteps, double seconds, int target, const Progress &progress);

} // namespace lumaro
