#pragma once

#include "common/progress.h"
#include "pickers/optimal_picker.h"

#include <vector>

namespace lumaro {

// The settings of the four-step picker.
struct FourStepSettings {
    static constexpr int kDefaultLong = 40;
    int longWindow = kDefaultLong; // L1: draws of the long window (1 … draw count)
    int rest2 = 1; // L2: recent rest of step 2 (1 … 5)
    int rest3 = 10; // L3: recent rest of step 3 (1 … 10)
    int recent4 = 10; // L4: recent window of step 4 (1 … 10)
};

// What each step contributed for one target, and the final proposal.
struct FourStepProposal {
    std::vector<int> step1; // the hottest half of the long window, ascending
    std::vector<int> step2; // step 1 less the numbers of the last L2 draws, ascending
    std::vector<int> step3; // three-in-a-row numbers rested for L3 draws, ascending
    std::vector<int> step4; // recently active cold numbers, in recent-list order
    std::vector<int> numbers; // the final proposal: every flagged number, ascending

    // The texts of edtcode1 … edtcode4 and of the final numbers.
    QString step1Text() const;
    QString step2Text() const;
    QString step3Text() const;
    QString step4Text() const;
    QString finalText() const;
};

// The four-step picker:
//  1. the N div 2 numbers drawn most often in the long window (draws T - L1 … T - 1);
//  2. less those drawn in the last L2 draws;
//  3. plus the numbers that came in three draws in a row somewhere in the long window and were
//     not drawn in the last L3 draws;
//  4. plus those of the N div 4 most active numbers of draws T - 2 … T - L4 - 1 that stand in
//     the coldest part (positions 3N div 4 … N) of the long window's list.
// Windows that would reach before the first draw are cut at it.
class FourStepPicker {
public:
    static constexpr int kMaxRest2 = 5;
    static constexpr int kMaxRest3 = 10;
    static constexpr int kMaxRecent4 = 10;

    FourStepPicker(const DrawTable &draws, NumberRange range);

    // The default long window for a history: 40, or every draw when there are fewer.
    static int defaultLongWindow(int drawCount);

    // Target T is 0 … draw count.
    FourStepProposal propose(int target, const FourStepSettings &settings) const;
    // The back-test: draws after L1 + 10 are judged, the grid and the chart show the draws from
    // L1 + 20 on. Honours a cancel.
    BacktestResult backtest(const FourStepSettings &settings, const Progress &progress = {}) const;
    // "最大中奖个数：L 最小中奖个数：S", or a note when no draw could be judged.
    static QString memoText(const BacktestResult &result);

private:
    void checkSettings(const FourStepSettings &settings) const;
    // The steps for target T from the long-window counts (indexed by slot).
    FourStepProposal runSteps(int target, const FourStepSettings &settings, const std::vector<int> &longCounts) const;
    bool holds(int draw, int slot) const { return m_cells[index(draw, slot)] != 0; }
    std::size_t index(int draw, int slot) const
    {
        return static_cast<std::size_t>(draw) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(slot);
    }
    void addDraw(std::vector<int> &counts, int draw, int sign) const;

    const DrawTable &m_draws;
    NumberRange m_range;
    int m_width;
    // m_cells[draw * width + slot]: how many cells of the draw hold the number.
    std::vector<quint8> m_cells;
    // m_lastHeld[draw * width + slot]: the latest draw up to this one holding the number, and
    // m_lastTriple the latest j up to this draw with the number in draws j, j - 1 and j - 2;
    // -1 when none.
    std::vector<int> m_lastHeld;
    std::vector<int> m_lastTriple;
};

} // namespace lumaro
