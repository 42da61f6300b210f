#include "common/errors.h"
#include "picker_draws.h"
#include "pickers/interval_picker.h"

#include <gtest/gtest.h>

using namespace lumaro;
using lumaro::test::DrawTableOf;

namespace {

const NumberRange kEight {1, 8};

// Over draws 1 … 4 the intervals 1, 2 and 3 come back 2, 2 and 1 times; the exchange sort
// leaves them in the order 3, 2, 1 (a stable sort would give 3, 1, 2).
const std::vector<std::vector<int>> kSmall = {{1, 2}, {1, 3}, {1, 4}, {5, 6}, {4, 7}, {1, 8}};

} // namespace

TEST(OptimalPicker, ExchangeSortIsNotStable)
{
    std::vector<NumberCount> list = {{1, 2}, {2, 1}, {3, 2}, {4, 2}, {5, 2}, {6, 1}};
    SortByCountDescending(list);
    std::vector<int> order;
    for (const NumberCount &entry : list)
        order.push_back(entry.number);
    EXPECT_EQ(order, (std::vector<int> {1, 3, 4, 5, 2, 6}));

    // Ascending by count from counts 2, 2, 1: the two equal keys change places.
    std::vector<int> intervals = {1, 2, 3};
    const int counts[] = {0, 2, 2, 1};
    ExchangeSort(intervals, [&](int later, int earlier) { return counts[later] < counts[earlier]; });
    EXPECT_EQ(intervals, (std::vector<int> {3, 2, 1}));
}

TEST(OptimalPicker, TargetPeriodsAndTexts)
{
    EXPECT_TRUE(TargetPeriods(DrawTable()).isEmpty());
    const QStringList periods = TargetPeriods(DrawTableOf({{1, 2}, {3, 4}}, 2026040));
    EXPECT_EQ(periods, (QStringList {QStringLiteral("2026040"), QStringLiteral("2026041"), QStringLiteral("2026042")}));
    EXPECT_EQ(PaddedNumbers(std::vector<int> {3, 12}), QStringLiteral("03 12 "));
    EXPECT_EQ(PaddedNumbers(std::vector<int> {0, 7, 100}), QStringLiteral("00 07 100 "));
    EXPECT_EQ(PlainNumbers(std::vector<int> {3, 12}), QStringLiteral("3 12 "));
    EXPECT_EQ(
        ProposalLine(QStringLiteral("2026042"), QStringLiteral("01 ")), QStringLiteral("2026042期推荐投注号码：01 "));
}

TEST(IntervalPicker, ProposalsFollowTheLeastFrequentIntervals)
{
    const DrawTable draws = DrawTableOf(kSmall);
    const IntervalPicker picker(draws, kEight);
    const IntervalSettings settings {3, 4};
    EXPECT_EQ(picker.orderedIntervals(5, 3), (std::vector<int> {3, 2, 1}));
    // Absences at T = 5: 1 → 3, 5 and 6 → 2, 4 and 7 → 1.
    EXPECT_EQ(picker.propose(5, settings), (std::vector<int> {1, 5, 6, 4}));
    // T = 1: the first draw's numbers came back after interval 1 (counted from before the first
    // draw), so interval 2 leads and the numbers never drawn are proposed.
    EXPECT_EQ(picker.propose(1, settings), (std::vector<int> {3, 4, 5, 6}));
    // T = 0: nothing before it, every absence is 1: the numbers 1 … K.
    EXPECT_EQ(picker.propose(0, settings), (std::vector<int> {1, 2, 3, 4}));
    // The coming period uses every draw.
    EXPECT_EQ(picker.propose(6, settings), (std::vector<int> {1, 8, 4, 7}));
}

TEST(IntervalPicker, OnlyImmediateRepeatsWithIntervalOne)
{
    const DrawTable draws = DrawTableOf({{1, 2, 3}, {3, 4, 5}, {5, 6, 7}});
    const IntervalPicker picker(draws, NumberRange {1, 10});
    // Only the numbers of the previous draw are absent for exactly one draw; fewer than K.
    EXPECT_EQ(picker.propose(3, IntervalSettings {1, 6}), (std::vector<int> {5, 6, 7}));
    EXPECT_EQ(picker.propose(3, IntervalSettings {1, 2}), (std::vector<int> {5, 6}));
}

TEST(IntervalPicker, BacktestOnASmallHistory)
{
    const DrawTable draws = DrawTableOf(kSmall);
    const IntervalPicker picker(draws, kEight);
    const BacktestResult result = picker.backtest(IntervalSettings {3, 4});
    ASSERT_EQ(result.rows.size(), 6u);
    EXPECT_EQ(result.rows[0].period, 2020001);
    EXPECT_EQ(result.rows[0].drawn, QStringLiteral("01 02 "));
    EXPECT_EQ(result.rows[0].proposed, QString());
    EXPECT_EQ(result.rows[0].hits, QStringLiteral("0"));
    EXPECT_EQ(result.rows[5].proposed, QStringLiteral("01 05 06 04 "));
    EXPECT_EQ(result.rows[5].hits, QStringLiteral("1"));
    std::vector<int> hits;
    for (const BacktestRow &row : result.rows)
        hits.push_back(row.hitCount);
    EXPECT_EQ(hits, (std::vector<int> {0, 1, 1, 0, 1, 1}));
    // The first draw is in the memo (so its smallest is 0) but not in the tally.
    EXPECT_EQ(result.tally, (std::vector<int> {1, 4, 0}));
    EXPECT_EQ(result.memo, QStringLiteral("最大中奖号码数为1个，最小中奖号码数为0个"));
    EXPECT_EQ(result.chartFirst, 0);
    for (int p = 1; p < 6; ++p)
        EXPECT_EQ(result.rows[static_cast<std::size_t>(p)].proposed,
            PaddedNumbers(picker.propose(p, IntervalSettings {3, 4})));
}

TEST(IntervalPicker, EmptyHistoryAndBadSettings)
{
    const DrawTable empty;
    const IntervalPicker none(empty, kEight);
    EXPECT_THROW(none.propose(0, IntervalSettings {5, 4}), InputError);
    const BacktestResult result = none.backtest(IntervalSettings {5, 4});
    EXPECT_TRUE(result.rows.empty());
    EXPECT_EQ(result.memo, NoJudgedDrawsMemo());

    const DrawTable draws = DrawTableOf(kSmall);
    const IntervalPicker picker(draws, kEight);
    EXPECT_THROW(picker.propose(7, IntervalSettings {5, 4}), InputError);
    EXPECT_THROW(picker.propose(-1, IntervalSettings {5, 4}), InputError);
    EXPECT_THROW(picker.propose(3, IntervalSettings {21, 4}), InputError);
    EXPECT_THROW(picker.propose(3, IntervalSettings {5, 9}), InputError);
    EXPECT_THROW(picker.backtest(IntervalSettings {0, 4}), InputError);
}

TEST(IntervalPicker, DigitDrawsUseTheDigitsAndCountRepeatsOnce)
{
    // Digits 0 … 9; a digit twice in one draw is not its own earlier occurrence.
    const DrawTable draws = DrawTableOf({{0, 0, 7}, {7, 3, 3}});
    const IntervalPicker picker(draws, NumberRange {0, 9});
    const std::vector<int> proposal = picker.propose(2, IntervalSettings {1, 10});
    // Interval 1 only: the digits of draw 1 (3 and 7) are absent for one draw.
    EXPECT_EQ(proposal, (std::vector<int> {3, 7}));
    const BacktestResult result = picker.backtest(IntervalSettings {1, 3});
    // T = 1: 0 and 7 absent for 1 draw, proposal 0 7; draw 1 holds 7 once.
    EXPECT_EQ(result.rows[1].proposed, QStringLiteral("00 07 "));
    EXPECT_EQ(result.rows[1].hitCount, 1);
}
