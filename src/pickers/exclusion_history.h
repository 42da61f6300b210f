#pragma once

#include "common/random_source.h"
#include "pickers/exclusion_engine.h"

#include <QString>

#include <vector>

// The history displays of the sum and repeat pickers (常规统计 and 变幻统计): the indicator of
// every draw, the summary line, and the relabelled draws the variant display shows.
namespace lumaro {

// The sum of every row.
std::vector<int> SumHistory(const ValueRows &rows);
// 实际重码数 of every row i >= periods: the most of its values found in one of the rows
// i - periods .. i - 1 (each position once); -1 for the rows before.
std::vector<int> RepeatHistory(const ValueRows &rows, int periods);

// "和值：理论平均值：129.5 理论最小值：28 理论最大值：231 实际最小值：… 实际最大值：…".
QString SumSummary(int n, int m, const std::vector<int> &sums);
// "最大重码个数：… 最小重码个数：…" over the rows that have a value.
QString RepeatSummary(const std::vector<int> &repeats);

// The relabelled draw table of a 变幻统计 display: a fresh shuffle with labels
// (P(x) + t - 1) mod N + 1, every draw ranked over the stage (0: all earlier draws) by
// ascending hits, ties by descending omission; row t holds the ranks of draw t's numbers.
ValueRows VariantStatisticsRows(const ValueRows &draws, int n, int stage, RandomSource &random);

} // namespace lumaro
