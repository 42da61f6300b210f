#include "common/random_source.h"
#include "picker_draws.h"
#include "pickers/four_step_picker.h"
#include "pickers/interval_picker.h"
#include "pickers/intimate_picker.h"
#include "pickers/optimal_picker.h"
#include "pickers/stem_branch_picker.h"

#include <QDate>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

using namespace lumaro;
using lumaro::test::DrawTableOf;

namespace {

// The hit counts of the proposal 1 … k on every ticket of the lotto (M of 1 … N), or on every
// digit sequence (M digits of 0 … N-1): the exact distribution by counting.
std::vector<double> EnumeratedDistribution(LotteryKind kind, int n, int m, int k)
{
    std::vector<double> counts(static_cast<std::size_t>(m) + 1, 0.0);
    double total = 0;
    const int first = kind == LotteryKind::Digit ? 0 : 1;
    std::vector<int> cells(static_cast<std::size_t>(m), first);
    // Every sequence of M values; a lotto keeps only the strictly ascending ones.
    for (;;) {
        bool ascending = true;
        for (int i = 1; i < m; ++i)
            ascending = ascending && cells[static_cast<std::size_t>(i)] > cells[static_cast<std::size_t>(i - 1)];
        if (kind == LotteryKind::Digit || ascending) {
            int hits = 0;
            for (int x : cells)
                hits += x - first < k ? 1 : 0;
            ++counts[static_cast<std::size_t>(hits)];
            ++total;
        }
        int i = m - 1;
        while (i >= 0 && cells[static_cast<std::size_t>(i)] == first + n - 1)
            cells[static_cast<std::size_t>(i--)] = first;
        if (i < 0)
            break;
        ++cells[static_cast<std::size_t>(i)];
    }
    for (double &c : counts)
        c /= total;
    return counts;
}

void ExpectModelMatchesEnumeration(LotteryKind kind, int n, int m)
{
    const ChanceModel model(kind, n, m);
    for (int k = 0; k <= n; ++k) {
        SCOPED_TRACE(k);
        const std::vector<double> exact = EnumeratedDistribution(kind, n, m, k);
        const std::vector<double> &p = model.distribution(k);
        ASSERT_EQ(p.size(), exact.size());
        double mean = 0;
        double square = 0;
        for (std::size_t h = 0; h < exact.size(); ++h) {
            EXPECT_NEAR(p[h], exact[h], 1e-12) << "h = " << h;
            mean += static_cast<double>(h) * exact[h];
            square += static_cast<double>(h * h) * exact[h];
        }
        EXPECT_NEAR(model.mean(k), mean, 1e-12);
        EXPECT_NEAR(model.variance(k), square - mean * mean, 1e-12);
    }
}

// Thirty draws of 7 of 1 … 30 from a fixed seed.
DrawTable RandomLottoDraws(int rows)
{
    RandomSource random(20260417);
    std::vector<std::vector<int>> draws;
    for (int r = 0; r < rows; ++r) {
        std::vector<int> pool(30);
        std::iota(pool.begin(), pool.end(), 1);
        std::vector<int> row;
        for (int k = 0; k < 7; ++k) {
            const int at = random.below(static_cast<int>(pool.size()));
            row.push_back(pool[static_cast<std::size_t>(at)]);
            pool.erase(pool.begin() + at);
        }
        draws.push_back(row);
    }
    return DrawTableOf(draws);
}

// The comparison worked out again from the grid: every row with a proposal counts, its size
// from the proposal text.
void ExpectComparisonOfRows(const BacktestResult &result, int drawn, int n, int rowsWithoutProposal)
{
    ASSERT_FALSE(result.cancelled);
    const ChanceComparison &chance = result.chance;
    qint64 hits = 0;
    double chanceHits = 0;
    int judged = 0;
    for (const BacktestRow &row : result.rows) {
        if (row.hits.isEmpty())
            continue;
        const int k = static_cast<int>(row.proposed.split(QLatin1Char(' '), Qt::SkipEmptyParts).size());
        hits += row.hitCount;
        chanceHits += static_cast<double>(drawn) * k / n;
        ++judged;
    }
    EXPECT_EQ(chance.judged, judged - rowsWithoutProposal);
    EXPECT_EQ(chance.hits, hits);
    EXPECT_NEAR(chance.chanceHits, chanceHits, 1e-9);
    // The expected distribution spreads the judged draws over the hit counts with the same mean.
    ASSERT_EQ(chance.expected.size(), static_cast<std::size_t>(drawn) + 1);
    double draws = 0;
    double mean = 0;
    for (std::size_t h = 0; h < chance.expected.size(); ++h) {
        draws += chance.expected[h];
        mean += static_cast<double>(h) * chance.expected[h];
    }
    EXPECT_NEAR(draws, chance.judged, 1e-9);
    EXPECT_NEAR(mean, chance.chanceHits, 1e-9);
    if (!result.tally.empty()) {
        EXPECT_EQ(std::accumulate(result.tally.begin(), result.tally.end(), 0), chance.judged);
    }
}

} // namespace

TEST(ChanceModel, DistributionsMeansAndVariancesAreExact)
{
    ExpectModelMatchesEnumeration(LotteryKind::Lotto, 7, 3);
    ExpectModelMatchesEnumeration(LotteryKind::Lotto, 11, 5);
    ExpectModelMatchesEnumeration(LotteryKind::Lotto, 5, 5); // every number drawn
    ExpectModelMatchesEnumeration(LotteryKind::Digit, 10, 3);
    ExpectModelMatchesEnumeration(LotteryKind::Digit, 4, 2);

    // By hand, 3 of 7 with two numbers: mean 6/7, variance 3·(2/7)·(5/7)·(4/6) = 20/49.
    const ChanceModel model(LotteryKind::Lotto, 7, 3);
    EXPECT_DOUBLE_EQ(model.mean(2), 6.0 / 7);
    EXPECT_DOUBLE_EQ(model.variance(2), 20.0 / 49);
    // P(2 hits) = C(3,2)·C(4,0)/C(7,2) = 3/21.
    EXPECT_DOUBLE_EQ(model.distribution(2)[2], 3.0 / 21);
    EXPECT_DOUBLE_EQ(model.distribution(2)[3], 0.0);
}

TEST(ChanceComparison, SumsDrawsAndMeasuresInStandardErrors)
{
    // Three draws of 3 of 7 with proposals of 2, 3 and 4 numbers that hit 2, 1 and 3 times.
    // Means 6/7, 9/7, 12/7 (sum 27/7); variances 20/49, 24/49, 24/49 (sum 68/49); so
    // z = (6 − 27/7) / sqrt(68/49) = 15 / sqrt(68).
    const ChanceModel model(LotteryKind::Lotto, 7, 3);
    ChanceComparison comparison;
    comparison.add(model, 2, 2);
    comparison.add(model, 3, 1);
    comparison.add(model, 4, 3);
    EXPECT_EQ(comparison.judged, 3);
    EXPECT_EQ(comparison.hits, 6);
    EXPECT_DOUBLE_EQ(comparison.observedMean(), 2.0);
    EXPECT_DOUBLE_EQ(comparison.chanceMean(), 9.0 / 7);
    EXPECT_NEAR(comparison.variance, 68.0 / 49, 1e-12);
    EXPECT_NEAR(comparison.standardErrors(), 15 / std::sqrt(68.0), 1e-12);
    EXPECT_EQ(comparison.verdict(), ChanceVerdict::NoClearDifference);
    // P(0 hits) for the three sizes: C(4,2)/C(7,2) = 6/21, C(4,3)/C(7,3) = 4/35, 1/35.
    ASSERT_EQ(comparison.expected.size(), 4u);
    EXPECT_NEAR(comparison.expected[0], 6.0 / 21 + 4.0 / 35 + 1.0 / 35, 1e-12);
    EXPECT_EQ(ChanceLine(comparison),
        QStringLiteral("随机对照：判断3期，平均每期中2.00个，随机选同样多号码平均中1.29个，相差1.8个标准误；"
                       "与随机选号无明显差别"));

    // A fourth draw of four numbers hitting all three: z = (9 − 39/7) / sqrt(92/49) = 24 / sqrt(92) ≈ 2.5.
    comparison.add(model, 4, 3);
    EXPECT_EQ(comparison.verdict(), ChanceVerdict::Better);
    EXPECT_TRUE(ChanceLine(comparison).endsWith(QStringLiteral("相差2.5个标准误；明显好于随机选号")))
        << ChanceLine(comparison).toStdString();

    // Nothing judged: no line. Proposals that leave nothing to chance (none or every number)
    // stand at 0 standard errors, not at a division by zero.
    EXPECT_EQ(ChanceLine(ChanceComparison {}), QString());
    ChanceComparison certain;
    certain.add(model, 0, 0);
    certain.add(model, 7, 3);
    EXPECT_EQ(certain.standardErrors(), 0.0);
    EXPECT_TRUE(ChanceLine(certain).contains(QStringLiteral("相差0.0个标准误；与随机选号无明显差别")));

    // Worse than chance, and a tiny negative difference written without its sign.
    ChanceComparison worse;
    for (int i = 0; i < 20; ++i)
        worse.add(model, 4, 0);
    EXPECT_EQ(worse.verdict(), ChanceVerdict::Worse);
    EXPECT_TRUE(ChanceLine(worse).contains(QStringLiteral("平均每期中0.00个，随机选同样多号码平均中1.71个，相差-")));
    EXPECT_TRUE(ChanceLine(worse).endsWith(QStringLiteral("明显差于随机选号")));
}

TEST(ChanceComparison, VerdictThresholds)
{
    EXPECT_EQ(VerdictOf(0.0), ChanceVerdict::NoClearDifference);
    EXPECT_EQ(VerdictOf(1.999), ChanceVerdict::NoClearDifference);
    EXPECT_EQ(VerdictOf(-1.999), ChanceVerdict::NoClearDifference);
    EXPECT_EQ(VerdictOf(2.0), ChanceVerdict::Better);
    EXPECT_EQ(VerdictOf(7.5), ChanceVerdict::Better);
    EXPECT_EQ(VerdictOf(-2.0), ChanceVerdict::Worse);
    EXPECT_EQ(VerdictOf(-7.5), ChanceVerdict::Worse);
    EXPECT_EQ(VerdictText(ChanceVerdict::NoClearDifference), QStringLiteral("与随机选号无明显差别"));
    EXPECT_EQ(VerdictText(ChanceVerdict::Better), QStringLiteral("明显好于随机选号"));
    EXPECT_EQ(VerdictText(ChanceVerdict::Worse), QStringLiteral("明显差于随机选号"));
}

TEST(ChanceComparison, CoverageCost)
{
    EXPECT_EQ(CoverageText(LotteryKind::Lotto, 12, 7), QStringLiteral(" 全包需C(12,7)=792注，1584元"));
    EXPECT_EQ(CoverageText(LotteryKind::Lotto, 7, 7), QStringLiteral(" 全包需C(7,7)=1注，2元"));
    EXPECT_EQ(CoverageText(LotteryKind::Lotto, 6, 7), QString());
    EXPECT_EQ(CoverageText(LotteryKind::Lotto, 0, 7), QString());
    // A digit ticket is a sequence: every sequence of the proposed digits.
    EXPECT_EQ(CoverageText(LotteryKind::Digit, 6, 3), QStringLiteral(" 全包需6^3=216注，432元"));
    EXPECT_EQ(CoverageText(LotteryKind::Digit, 2, 3), QStringLiteral(" 全包需2^3=8注，16元"));
    EXPECT_EQ(CoverageText(LotteryKind::Digit, 0, 3), QString());
    // Counts past 64 bits are not wrapped round.
    EXPECT_EQ(CoverageText(LotteryKind::Lotto, 99, 20), QStringLiteral(" 全包需C(99,20)注，注数超出计算范围"));
    EXPECT_EQ(CoverageText(LotteryKind::Digit, 99, 20), QStringLiteral(" 全包需99^20注，注数超出计算范围"));
    EXPECT_EQ(RangeCoverageText(NumberRange {0, 9}, 4, 3), QStringLiteral(" 全包需4^3=64注，128元"));
    EXPECT_EQ(RangeCoverageText(NumberRange {1, 30}, 8, 7), QStringLiteral(" 全包需C(8,7)=8注，16元"));
}

TEST(ChanceComparison, EveryPickerComparesItsJudgedDraws)
{
    const DrawTable draws = RandomLottoDraws(90);
    const NumberRange range {1, 30};
    {
        SCOPED_TRACE("interval");
        const BacktestResult result = IntervalPicker(draws, range).backtest(IntervalSettings {5, 14});
        // The first draw enters the memo without a proposal: it is not compared.
        ExpectComparisonOfRows(result, 7, 30, 1);
        EXPECT_EQ(result.chance.judged, result.judged - 1);
        const QStringList memo = BacktestMemo(result).split(QLatin1Char('\n'));
        ASSERT_EQ(memo.size(), 2);
        EXPECT_EQ(memo[0], result.memo);
        EXPECT_TRUE(memo[1].startsWith(QStringLiteral("随机对照：判断89期，")));
    }
    {
        SCOPED_TRACE("intimate");
        const BacktestResult result = IntimatePicker(draws, range).backtest(IntimateSettings {true, 2, 7});
        ExpectComparisonOfRows(result, 7, 30, 0);
        EXPECT_EQ(result.chance.judged, result.judged);
    }
    {
        SCOPED_TRACE("stem-branch");
        QStringList dates;
        for (int r = 0; r < draws.rowCount(); ++r)
            dates << (r == 3 ? QStringLiteral("?") : QDate(2026, 1, 1).addDays(r).toString(Qt::ISODate));
        const BacktestResult result = StemBranchBacktest(draws, dates, range, false);
        // The draw without a readable date is not judged.
        ExpectComparisonOfRows(result, 7, 30, 0);
        EXPECT_EQ(result.chance.judged, draws.rowCount() - 1);
    }
    {
        SCOPED_TRACE("four steps");
        FourStepSettings settings;
        settings.longWindow = 20;
        const BacktestResult result = FourStepPicker(draws, range).backtest(settings, {});
        // Judged from L1 + 11 on, shown from L1 + 20: the comparison takes every judged draw.
        EXPECT_EQ(result.chance.judged, 90 - 31);
        EXPECT_EQ(result.chance.judged, result.judged);
        EXPECT_EQ(result.rows.size(), 90u - 40u);
    }
    // Without judged draws the memo is the picker's own.
    const BacktestResult none = IntervalPicker(DrawTableOf({{1, 2, 3, 4, 5, 6, 7}}), range).backtest({5, 14});
    EXPECT_EQ(BacktestMemo(none), none.memo);
}

TEST(ChanceComparison, DigitLotteryHitsAreBinomial)
{
    // 3 digits of 0 … 9 proposing four digits: mean 3·0.4, variance 3·0.4·0.6.
    const ChanceModel model = ChanceModelOf(NumberRange {0, 9}, 3);
    EXPECT_DOUBLE_EQ(model.mean(4), 1.2);
    EXPECT_DOUBLE_EQ(model.variance(4), 0.72);
    // A digit drawn three times while proposed hits three times, which a lotto never gives. With
    // L = 1 draw 2 gets the proposal 5 6 7 (three hits on 5 5 5), draw 3 the proposal 5 (one hit).
    const DrawTable draws = DrawTableOf({{5, 6, 7}, {5, 5, 5}, {5, 1, 0}}, 2026001);
    const BacktestResult result = IntervalPicker(draws, NumberRange {0, 9}).backtest(IntervalSettings {1, 10});
    ASSERT_EQ(result.rows[1].proposed, QStringLiteral("05 06 07 "));
    ASSERT_EQ(result.rows[2].proposed, QStringLiteral("05 "));
    EXPECT_EQ(result.chance.judged, 2);
    EXPECT_EQ(result.chance.hits, 4);
    EXPECT_DOUBLE_EQ(result.chance.chanceHits, 0.9 + 0.3);
    EXPECT_DOUBLE_EQ(result.chance.variance, 0.63 + 0.27);
    EXPECT_DOUBLE_EQ(result.chance.expected[3], 0.027 + 0.001);
    EXPECT_NEAR(result.chance.standardErrors(), 2.8 / std::sqrt(0.9), 1e-12);
}

TEST(ChanceComparison, RollingMeanOfTheHitChart)
{
    EXPECT_EQ(RollingMeanWindow(2900), 50);
    EXPECT_EQ(RollingMeanWindow(200), 50);
    EXPECT_EQ(RollingMeanWindow(199), 49);
    EXPECT_EQ(RollingMeanWindow(3), 1);
    EXPECT_EQ(RollingMeanWindow(0), 1);

    const std::vector<double> hits {1, 3, 0, 2, 4, 4, 1};
    const std::vector<double> means = RollingMean(hits, 3);
    ASSERT_EQ(means.size(), 5u);
    // Each mean against a plain sum of its own window.
    for (std::size_t i = 0; i < means.size(); ++i)
        EXPECT_DOUBLE_EQ(means[i], (hits[i] + hits[i + 1] + hits[i + 2]) / 3) << i;
    EXPECT_EQ(RollingMean(hits, 1), hits);
    EXPECT_TRUE(RollingMean(hits, 8).empty());
    EXPECT_TRUE(RollingMean(hits, 0).empty());
}
