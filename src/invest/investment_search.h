#pragma once

#include "invest/investment_analysis.h"

#include <optional>
#include <vector>

// The search over three settings of the investment analysis: 观察间隔连续次数 (interval mode
// only), 中出后间隔期数 and 连续投入期数, keeping the combination with the largest overall gain.
namespace lumaro {

// The gain every trial must beat.
constexpr qint64 kSearchStartGain = -10000000;

struct SearchResult {
    qint64 bestTotal = kSearchStartGain;
    int bestSepNumIndex = 0; // item of 观察间隔连续次数
    int bestTozisepIndex = 0; // item of 中出后间隔期数
    int bestTozirepIndex = 0; // item of 连续投入期数
    int trials = 0; // trials in the whole search
    int trialsDone = 0;
    bool stopped = false;
};

// 25500 in interval mode, 2550 otherwise.
int SearchTrialCount(bool intervalMode);
// The settings of trial t: t = (a × 51 + b) × 50 + c, a the 观察间隔连续次数 item, b the
// 中出后间隔期数 item, c the 连续投入期数 item.
InvestSettings SearchTrialSettings(const InvestSettings &base, int trial);

// The best of the trials that ran (a gain per trial index, none for trials not run): the
// first strictly greater gain than the one before wins, starting from kSearchStartGain.
SearchResult BestOfTrials(const std::vector<std::optional<qint64>> &gains, bool intervalMode);

// Runs every trial on `threads` worker threads (0: one per core) and returns the best gain with
// its items; ties keep the earliest trial in the order a, b, c, so the result is the one of the
// plain nested loops. Progress reports trials done; a cancel keeps the best of the trials done
// (items 0, 0, 0 when none beat the start gain).
SearchResult RunInvestmentSearch(
    const HitHistory &history, const InvestSettings &base, const Progress &progress = {}, int threads = 0);

} // namespace lumaro
