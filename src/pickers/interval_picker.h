#pragma once

#include "common/progress.h"
#include "pickers/optimal_picker.h"

#include <vector>

namespace lumaro {

// The settings of the interval rebound picker.
struct IntervalSettings {
    int interval = 5; // L (间隔期数): longest repeat interval considered, and the window length
    int count = 0; // K (选号个数): how many numbers to propose
};

// The interval rebound picker. Over the last L + 1 draws before a target it counts after how
// many draws (1 … L) drawn numbers came back, orders the intervals from the least to the most
// frequent, and proposes the numbers whose current absence equals the intervals that came back
// least often, until K numbers are proposed. Reads only draws before the target.
class IntervalPicker {
public:
    static constexpr int kMaxInterval = 20;

    IntervalPicker(const DrawTable &draws, NumberRange range);

    // The proposal for target T (0 … draw count): numbers in the order proposed, at most K.
    // Throws InputError on a target or setting out of range, or when there are no draws.
    std::vector<int> propose(int target, const IntervalSettings &settings) const;
    // The back-test over every draw (grid, tally k = 0 … M, memo). Honours a cancel.
    BacktestResult backtest(const IntervalSettings &settings, const Progress &progress = {}) const;

    // The intervals 1 … L ordered from the least to the most frequent for target T.
    std::vector<int> orderedIntervals(int target, int interval) const;

private:
    void checkSettings(const IntervalSettings &settings) const;
    // lastSeen[slot]: the latest draw before the target holding the number, -1 if none.
    std::vector<int> proposeWith(int target, const IntervalSettings &settings, const std::vector<int> &lastSeen) const;

    const DrawTable &m_draws;
    NumberRange m_range;
    // m_gaps[t * M + k]: t - u for cell k of draw t, u the latest earlier draw holding that
    // number (-1 when none).
    std::vector<int> m_gaps;
};

} // namespace lumaro
