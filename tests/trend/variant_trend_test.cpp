#include "data/open_lottery.h"
#include "support/test_home.h"
#include "trend/variant_trend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

using namespace lumaro;
using lumaro::test::TestHome;

namespace {

// A lottery of N numbers, one a draw, with the given draws (no database).
OpenLottery SmallLottery(int n, int m, const std::vector<std::vector<int>> &draws)
{
    TestHome home;
    LotteryDefinition d;
    d.name = QStringLiteral("小彩票");
    d.n = n;
    d.m = m;
    home.store().createLottery(d);
    std::vector<DrawRow> rows;
    int period = 2020001;
    for (const auto &numbers : draws)
        rows.push_back(DrawRow {QString::number(period++), numbers, QString()});
    home.store().appendDraws(d.name, rows);
    OpenLottery lottery;
    lottery.open(home.store(), d.name);
    return lottery;
}

} // namespace

TEST(VariantTrend, WorkedExample)
{
    OpenLottery lottery = SmallLottery(5, 1, {{2}, {2}});
    BuildVariantTrend(lottery, 2, {3, 1, 5, 2, 4});
    EXPECT_EQ(lottery.transformReferencePeriod, 2);
    EXPECT_EQ(lottery.variantDrawTable.cell(0, 1), 2);
    EXPECT_EQ(lottery.variantDrawTable.cell(1, 1), 3);
    EXPECT_EQ(lottery.variantDrawTable.period(1), 2020002);
    EXPECT_EQ(lottery.variantShuffle[1][0], 3);
    EXPECT_EQ(lottery.variantShuffle[3][1], 1); // number 1 has code 3
    EXPECT_EQ(lottery.trendText.cell(1, 1), QStringLiteral("03"));
    EXPECT_EQ(lottery.trendText.cell(1, 5), QStringLiteral("1"));
}

// The ranking built the slow, literal way: omissions by scanning back, rows exchanged whole.
std::vector<std::vector<int>> ReferenceRanks(
    const std::vector<std::vector<int>> &draws, int n, int window, const std::vector<int> &codes)
{
    const int m = static_cast<int>(draws.front().size());
    auto label = [&](int row, int j) { return (codes[draws[row][j] - 1] + row) % n + 1; };
    std::vector<std::array<int, 4>> stats(n + 1);
    for (int l = 1; l <= n; ++l)
        stats[l] = {l, 0, 0, l};
    std::vector<std::vector<int>> result;
    const int count = static_cast<int>(draws.size());
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < m; ++j) {
            if (i >= 1)
                ++stats[label(i - 1, j)][1];
            if (i >= window + 1)
                --stats[label(i - window - 1, j)][1];
        }
        for (int l = 1; l <= n; ++l) {
            stats[l][2] = 0;
            bool found = false;
            for (int d = i - 1; d >= 0 && !found; --d) {
                for (int j = 0; j < m; ++j) {
                    if (label(d, j) == l) {
                        stats[l][2] = i - d;
                        found = true;
                        break;
                    }
                }
            }
        }
        auto sorted = stats;
        for (int a = 1; a < n; ++a) {
            for (int b = a + 1; b <= n; ++b) {
                if (sorted[a][2] < sorted[b][2] || (sorted[a][2] == sorted[b][2] && sorted[a][1] > sorted[b][1])) {
                    for (int c = 0; c < 3; ++c)
                        std::swap(sorted[a][c], sorted[b][c]);
                }
            }
        }
        for (int k = 1; k <= n; ++k)
            sorted[sorted[k][0]][3] = k;
        std::vector<int> ranks;
        for (int j = 0; j < m; ++j)
            ranks.push_back(sorted[label(i, j)][3]);
        std::sort(ranks.begin(), ranks.end());
        result.push_back(ranks);
    }
    return result;
}

TEST(VariantTrend, MatchesTheLiteralRankingOnARandomHistory)
{
    std::vector<std::vector<int>> draws;
    RandomSource pick(9);
    for (int i = 0; i < 300; ++i) {
        std::set<int> numbers;
        while (numbers.size() < 5)
            numbers.insert(pick.between(1, 22));
        draws.emplace_back(numbers.begin(), numbers.end());
    }
    OpenLottery lottery = SmallLottery(22, 5, draws);
    std::vector<int> codes(22);
    for (int x = 0; x < 22; ++x)
        codes[x] = (x * 7) % 22 + 1; // a permutation of 1..22
    for (int window : {1, 3, 40}) {
        BuildVariantTrend(lottery, window, codes);
        const auto expected = ReferenceRanks(draws, 22, window, codes);
        for (int i = 0; i < 300; ++i) {
            const qint32 *r = lottery.variantDrawTable.numbers(i);
            ASSERT_EQ(std::vector<int>(r, r + 5), expected[i]) << "draw " << i << " window " << window;
        }
    }
}

TEST(VariantTrend, EmptyHistoryCapturesTheIdentityRanking)
{
    OpenLottery lottery = SmallLottery(11, 5, {});
    RandomSource random(7);
    BuildVariantTrend(lottery, random);
    EXPECT_EQ(lottery.transformReferencePeriod, 0);
    for (int l = 1; l <= 11; ++l)
        EXPECT_EQ(lottery.variantRanking[l][3], l);
    EXPECT_EQ(lottery.trendText.rowCount(), 0);
}

TEST(VariantTrend, RanksAreAscendingPermutationsAndValuesMatchTheRanking)
{
    std::vector<std::vector<int>> draws;
    RandomSource pick(3);
    for (int i = 0; i < 400; ++i) {
        std::set<int> numbers;
        while (numbers.size() < 7)
            numbers.insert(pick.between(1, 36));
        draws.emplace_back(numbers.begin(), numbers.end());
    }
    OpenLottery lottery = SmallLottery(36, 7, draws);
    RandomSource random(11);
    BuildVariantTrend(lottery, random);
    std::set<int> codes;
    for (int x = 1; x <= 36; ++x)
        codes.insert(lottery.variantShuffle[x][0]);
    EXPECT_EQ(codes.size(), 36u);
    for (int i = 0; i < lottery.drawCount; ++i) {
        const qint32 *r = lottery.variantDrawTable.numbers(i);
        for (int j = 1; j < 7; ++j)
            ASSERT_LT(r[j - 1], r[j]); // distinct labels of distinct numbers: distinct ranks
        int marks = 0;
        for (int c = 3; c <= 38; ++c)
            marks += lottery.trendText.cell(i, c) == QStringLiteral("1") ? 1 : 0;
        ASSERT_EQ(marks, 7);
    }
    std::set<int> values;
    for (int number = 1; number <= 36; ++number)
        values.insert(VariantValue(lottery, number));
    EXPECT_EQ(values.size(), 36u);
    EXPECT_EQ(*values.begin(), 1);
    EXPECT_EQ(*values.rbegin(), 36);

    // A standard build afterwards restores the drawn numbers.
    lottery.BuildStandardTrend();
    EXPECT_EQ(lottery.trendText.cell(0, 1).split(QLatin1Char(' ')).size(), 7);
    EXPECT_EQ(lottery.trendText.period(0), 2020001);
    EXPECT_EQ(lottery.trendText.values(5)[0], draws[5][0]);
}
