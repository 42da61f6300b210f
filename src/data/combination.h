#pragma once

#include "data/lottery_definition.h"

#include <QtGlobal>

// Counting and indexing of tickets. All results are exact 64-bit values; a count that does not
// fit in 64 bits raises a CapacityError instead of wrapping.
namespace lumaro {

// C(a, k); 1 for k <= 0, 0 for k > a.
qint64 Choose(int a, int k);

// The number of distinct tickets of count k (M) out of size a (N): a^k for the digit kind,
// C(a, k) for the lotto kind; 1 for k <= 0.
qint64 TicketCount(int k, int a, LotteryKind kind);

// The 1-based lexicographic rank of the ascending combination c[0..m-1] of 1..n.
// The input is not checked; see IsAscendingCombination().
qint64 CombinationRank(const int *c, int n, int m);

// True when c[0..m-1] is strictly increasing with every value in 1..n.
bool IsAscendingCombination(const int *c, int n, int m);

// Writes the combination of rank r (1 <= r <= C(n, m)) into out[0..m-1].
void CombinationUnrank(qint64 r, int n, int m, int *out);

// Steps c[0..m-1] to the next combination in lexicographic order; false after the last one.
bool NextCombination(int *c, int n, int m);

} // namespace lumaro
