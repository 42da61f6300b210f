#include "trend/variant_trend.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lumaro {

namespace {

struct LabelStats {
    int label;
    int count;
    int omission;
};

} // namespace

void BuildVariantTrend(OpenLottery &lottery, RandomSource &random)
{
    const int n = lottery.n;
    const int window = random.below(100) + 1;
    // Codes: a random permutation of 1..N, drawn number by number, redrawing a code already
    // taken by an earlier number.
    std::vector<int> codes(static_cast<std::size_t>(n), 0);
    std::vector<char> taken(static_cast<std::size_t>(n) + 1, 0);
    for (int x = 1; x <= n; ++x) {
        int s;
        do {
            s = random.below(n) + 1;
        } while (taken[static_cast<std::size_t>(s)]);
        taken[static_cast<std::size_t>(s)] = 1;
        codes[static_cast<std::size_t>(x) - 1] = s;
    }
    BuildVariantTrend(lottery, window, codes);
}

void BuildVariantTrend(OpenLottery &lottery, int window, const std::vector<int> &codes)
{
    const int n = lottery.n;
    const int m = lottery.m;
    const int draws = lottery.drawTable.rowCount();
    const bool digit = lottery.kind == LotteryKind::Digit;
    // Digits 0..N-1 are the numbers 1..N here.
    auto numberAt = [&](int row, int position) { return lottery.drawTable.numbers(row)[position] + (digit ? 1 : 0); };

    lottery.variantDrawTable = DrawTable(draws, m);
    lottery.variantShuffle.assign(static_cast<std::size_t>(n) + 1, {0, 0});
    lottery.variantRanking.assign(static_cast<std::size_t>(n) + 1, {0, 0, 0, 0});
    lottery.transformReferencePeriod = draws;

    std::vector<int> code(static_cast<std::size_t>(n) + 1, 0);
    for (int x = 1; x <= n; ++x)
        code[static_cast<std::size_t>(x)] = codes[static_cast<std::size_t>(x) - 1];
    for (int x = 1; x <= n; ++x) {
        lottery.variantShuffle[static_cast<std::size_t>(x)][0] = code[static_cast<std::size_t>(x)];
        lottery.variantShuffle[static_cast<std::size_t>(code[static_cast<std::size_t>(x)])][1] = x;
    }
    auto labelOf = [&](int row, int position) {
        const int x = numberAt(row, position);
        if (x < 1 || x > n)
            return 0;
        return VariantLabel(code[static_cast<std::size_t>(x)], row, n);
    };

    std::vector<LabelStats> stats(static_cast<std::size_t>(n) + 1);
    for (int l = 1; l <= n; ++l)
        stats[static_cast<std::size_t>(l)] = {l, 0, 0};
    // The draw index of each label's latest occurrence before the current draw; -1 for none.
    // Scanning back from i - 1 and stopping at the first occurrence gives the same omission.
    std::vector<int> lastSeen(static_cast<std::size_t>(n) + 1, -1);
    std::vector<qint64> key(static_cast<std::size_t>(n) + 1, 0);
    std::vector<int> label(static_cast<std::size_t>(n) + 1, 0);
    std::vector<int> rank(static_cast<std::size_t>(n) + 1, 0);

    for (int i = 0; i <= draws; ++i) {
        if (i < draws)
            lottery.variantDrawTable.cell(i, 0) = lottery.drawTable.period(i);
        for (int j = 0; j < m; ++j) {
            if (i >= 1) {
                const int l = labelOf(i - 1, j);
                if (l > 0) {
                    ++stats[static_cast<std::size_t>(l)].count;
                    lastSeen[static_cast<std::size_t>(l)] = i - 1;
                }
            }
            if (i >= window + 1) {
                const int l = labelOf(i - window - 1, j);
                if (l > 0)
                    --stats[static_cast<std::size_t>(l)].count;
            }
        }
        for (int l = 1; l <= n; ++l) {
            const int seen = lastSeen[static_cast<std::size_t>(l)];
            stats[static_cast<std::size_t>(l)].omission = seen < 0 ? 0 : i - seen;
        }
        // Exchange sort: omission descending, then count ascending. Both go into one key
        // (omission * 65536 - count, counts stay below 65536) so each test is one comparison;
        // the exchanges are exactly those of the row-by-row sort, so ties end up alike.
        for (int l = 1; l <= n; ++l) {
            const LabelStats &row = stats[static_cast<std::size_t>(l)];
            key[static_cast<std::size_t>(l)] = static_cast<qint64>(row.omission) * 65536 - row.count;
            label[static_cast<std::size_t>(l)] = l;
        }
        for (int a = 1; a < n; ++a) {
            qint64 &ka = key[static_cast<std::size_t>(a)];
            int &la = label[static_cast<std::size_t>(a)];
            for (int b = a + 1; b <= n; ++b) {
                if (ka < key[static_cast<std::size_t>(b)]) {
                    std::swap(ka, key[static_cast<std::size_t>(b)]);
                    std::swap(la, label[static_cast<std::size_t>(b)]);
                }
            }
        }
        for (int k = 1; k <= n; ++k)
            rank[static_cast<std::size_t>(label[static_cast<std::size_t>(k)])] = k;
        if (i < draws) {
            qint32 *ranks = lottery.variantDrawTable.numbers(i);
            for (int j = 0; j < m; ++j) {
                const int l = labelOf(i, j);
                ranks[j] = l > 0 ? rank[static_cast<std::size_t>(l)] : 0;
            }
            std::sort(ranks, ranks + m);
        }
        if (i == lottery.transformReferencePeriod) {
            for (int k = 1; k <= n; ++k) {
                const LabelStats &row = stats[static_cast<std::size_t>(label[static_cast<std::size_t>(k)])];
                lottery.variantRanking[static_cast<std::size_t>(k)]
                    = {row.label, row.count, row.omission, rank[static_cast<std::size_t>(k)]};
            }
        }
    }

    // Ranks are 1..N for both kinds, so the variant grid uses the lotto column layout.
    lottery.trendText = TrendText(draws, n, m, LotteryKind::Lotto);
    for (int i = 0; i < draws; ++i)
        lottery.trendText.setRow(i, lottery.variantDrawTable.period(i), lottery.variantDrawTable.numbers(i));
}

int VariantValue(const OpenLottery &lottery, int number)
{
    const int n = lottery.n;
    const int x = number + (lottery.kind == LotteryKind::Digit ? 1 : 0);
    if (x < 1 || x > n || lottery.variantRanking.size() <= static_cast<std::size_t>(n))
        return 0;
    const int label
        = VariantLabel(lottery.variantShuffle[static_cast<std::size_t>(x)][0], lottery.transformReferencePeriod, n);
    return lottery.variantRanking[static_cast<std::size_t>(label)][3];
}

} // namespace lumaro
