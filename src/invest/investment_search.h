#pragma once

#include "invest/investment_analysis.h"

#include <QString>

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

// What a search on the whole history cannot tell: its best gain was picked on the draws it is
// scored on, so it says little about the draws to come.
QString SearchInSampleNote();

// A search on the earlier draws of a history, then its best setting replayed on the later
// draws, which the search never saw.
struct HeldOutSearch {
    int searchedDraws = 0;
    int laterDraws = 0;
    SearchResult best; // over the earlier draws
    InvestSettings bestSettings;
    qint64 laterGain = 0; // 总体赢余 of the best setting over the later draws
    QString laterAbort; // why the replay on the later draws stopped, if it did
};

// The draws a search on `percent` per cent of `rows` draws takes: at least one, and at least
// one left after them. An InputError when fewer than two draws are stored or percent is
// outside 10 … 90.
int HeldOutSplit(int rows, int percent);

// Searches the first HeldOutSplit(table.size(), percent) rows and replays the best setting on
// the rest. A stopped search replays the best of the trials done.
HeldOutSearch RunHeldOutSearch(
    const HitGapTable &table, const InvestSettings &base, int percent, const Progress &progress = {}, int threads = 0);

// "在前A期中搜索，最佳设置赢余X；用它投注后B期（搜索没有用到的开奖）赢余Y。"
QString HeldOutSearchText(const HeldOutSearch &search);

} // namespace lumaro
