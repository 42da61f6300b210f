#pragma once

#include "common/progress.h"
#include "pickers/optimal_picker.h"

#include <vector>

namespace lumaro {

// The settings of the intimate-number picker.
struct IntimateSettings {
    bool perPosition = false; // "各个位置" (true) or "总体位置" (false)
    int count = 1; // K: numbers taken overall, or per position
    // S (阶段次数): the walk back stops at the S-th earlier occurrence of a reference number.
    // 0 ("全部期数") walks back to the first draw.
    int stop = 7;
};

// The tallies for one target: per position of the reference draw (draw T - 1) every number
// with its count, and the overall counts, each list sorted by count (largest first, by the
// exchange sort).
struct IntimateTallies {
    std::vector<int> reference; // r_1 … r_M
    std::vector<std::vector<NumberCount>> positions;
    std::vector<NumberCount> overall;
};

struct IntimateProposal {
    IntimateTallies tallies;
    std::vector<int> numbers; // ascending
};

// The intimate-number picker. For each number of the draw before the target it walks back
// through the earlier draws: from the most recent earlier draw holding that number on, it
// tallies the numbers of each older draw's follower draw, until the S-th earlier occurrence
// (whose follower is not tallied). The proposal is the most frequent followers, per position
// or over all positions. Reads only draws before the target.
class IntimatePicker {
public:
    IntimatePicker(const DrawTable &draws, NumberRange range);

    // Target T is 1 … draw count (T = 0 has no reference draw: InputError).
    IntimateProposal propose(int target, const IntimateSettings &settings) const;
    // The back-test: the first draw has empty fields; the chart covers draws S + 1 …; tally
    // k = 0 … M. Honours a cancel.
    BacktestResult backtest(const IntimateSettings &settings, const Progress &progress = {}) const;

    // The text of the single 总体位置 cell: "各亲密数字总次数" then "n:c次 " per entry.
    static QString overallText(const std::vector<NumberCount> &overall);
    // The text of a per-position cell: "n:c次".
    static QString entryText(const NumberCount &entry);

private:
    void checkSettings(const IntimateSettings &settings) const;
    // The counts of position i's list (unsorted, by slot) for target T.
    void tallyPosition(int target, int reference, int stop, std::vector<int> &counts) const;
    IntimateProposal compute(int target, const IntimateSettings &settings, bool allLists) const;

    const DrawTable &m_draws;
    NumberRange m_range;
    int m_width; // numbers in the range
    // m_prefix[t * width + slot]: how many cells of draws 0 … t - 1 hold the number.
    std::vector<int> m_prefix;
    // m_occurrences[slot]: the draws holding the number, ascending (each draw once).
    std::vector<std::vector<int>> m_occurrences;
};

} // namespace lumaro
