#pragma once

#include "common/random_source.h"
#include "data/open_lottery.h"

#include <vector>

// The variant trend (变幻走势): every number gets a rotating label, the labels are ranked by how
// long ago they last occurred (and how often in a recent window), and each draw is written as
// the ranks its numbers' labels held before it.
namespace lumaro {

// The label of number x (1..N) with code s at draw index d: (s + d) mod N + 1.
inline int VariantLabel(int code, int drawIndex, int n)
{
    return (code + drawIndex) % n + 1;
}

// Fills VariantShuffle, VariantDrawTable, VariantRanking and the variant layout of TrendText
// from DrawTable, and sets TransformReferencePeriod to the draw count. The window length and
// the codes come from random. Digit lotteries rank the digits 0..N-1 as the numbers 1..N.
void BuildVariantTrend(OpenLottery &lottery, RandomSource &random);
// The same with a given window length U (1..100) and codes s(1..N) (codes[x - 1], a
// permutation of 1..N).
void BuildVariantTrend(OpenLottery &lottery, int window, const std::vector<int> &codes);

// The variant value of number n for the next draw: the rank that VariantRanking holds for the
// label of n at TransformReferencePeriod. Only valid after BuildVariantTrend.
int VariantValue(const OpenLottery &lottery, int number);

} // namespace lumaro
