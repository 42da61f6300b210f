#include "data/open_lottery.h"
#include "support/test_home.h"
#include "trend/variant_trend.h"

#include <gtest/gtest.h>

#include <set>

using namespace lumaro;
using lumaro::test::TestHome;

namespace {

// A lottery of N numbers, one a draw, with the given draws (no database).
OpenLottery smallLottery(int n, int m, const std::vector<std::vector<int>> &draws)
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
    OpenLottery lottery = smallLottery(5, 1, {{2}, {2}});
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

TEST(VariantTrend, EmptyHistoryCapturesTheIdentityRanking)
{
    OpenLottery lottery = smallLottery(11, 5, {});
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
    OpenLottery lottery = smallLottery(36, 7, draws);
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
