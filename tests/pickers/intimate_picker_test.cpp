#include "common/errors.h"
#include "common/random_source.h"
#include "picker_draws.h"
#include "pickers/intimate_picker.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lumaro;
using lumaro::test::DrawTableOf;

namespace {

const NumberRange kSix {1, 6};
const std::vector<std::vector<int>> kSmall = {{1, 2}, {3, 4}, {1, 5}, {2, 6}, {1, 3}, {4, 5}, {1, 4}};

std::vector<int> NumbersOf(const std::vector<NumberCount> &list)
{
    std::vector<int> numbers;
    for (const NumberCount &entry : list)
        numbers.push_back(entry.number);
    return numbers;
}

// The walk exactly as the rule is told: back from T - 2, flag at the first occurrence, stop at
// the S-th, tally the follower draw of every flagged step.
std::vector<int> WalkedCounts(const DrawTable &draws, int target, int reference, int stop, int n)
{
    std::vector<int> counts(static_cast<std::size_t>(n) + 1, 0);
    bool flag = false;
    int occurrences = 0;
    for (int j = target - 2; j >= 0; --j) {
        const qint32 *row = draws.numbers(j);
        if (std::find(row, row + draws.numberCount(), reference) != row + draws.numberCount()) {
            flag = true;
            ++occurrences;
        }
        if (stop > 0 && occurrences >= stop)
            break;
        if (flag) {
            for (int k = 0; k < draws.numberCount(); ++k)
                ++counts[static_cast<std::size_t>(draws.numbers(j + 1)[k])];
        }
    }
    return counts;
}

} // namespace

TEST(IntimatePicker, TalliesOnASmallHistory)
{
    const DrawTable draws = DrawTableOf(kSmall);
    const IntimatePicker picker(draws, kSix);
    // Reference draw 5 = (4, 5). 4 was last in draw 1: followers of draws 1 and 0 are tallied
    // (draws 2 and 1); 5 was last in draw 2: draws 3, 2 and 1.
    const IntimateProposal overall = picker.propose(6, IntimateSettings {false, 3, 7});
    EXPECT_EQ(overall.tallies.reference, (std::vector<int> {4, 5}));
    EXPECT_EQ(NumbersOf(overall.tallies.overall), (std::vector<int> {1, 3, 4, 5, 2, 6}));
    EXPECT_EQ(overall.tallies.overall[0].count, 2);
    EXPECT_EQ(overall.tallies.overall[5].count, 1);
    EXPECT_EQ(overall.numbers, (std::vector<int> {1, 3, 4}));
    ASSERT_EQ(overall.tallies.positions.size(), 2u);
    EXPECT_EQ(NumbersOf(overall.tallies.positions[0]), (std::vector<int> {1, 3, 4, 5, 2, 6}));
    EXPECT_EQ(IntimatePicker::entryText(overall.tallies.positions[0][0]), QStringLiteral("1:1次"));
    EXPECT_TRUE(IntimatePicker::overallText(overall.tallies.overall)
                    .startsWith(QStringLiteral("各亲密数字总次数1:2次 3:2次 4:2次 ")));

    // Per position with K = 1: both positions lead with 1, so one number only.
    EXPECT_EQ(picker.propose(6, IntimateSettings {true, 1, 7}).numbers, (std::vector<int> {1}));
    EXPECT_EQ(picker.propose(6, IntimateSettings {true, 2, 7}).numbers, (std::vector<int> {1, 2, 3}));

    // S = 1 stops at the first occurrence: all zero, the numbers 1 … K.
    const IntimateProposal first = picker.propose(6, IntimateSettings {false, 3, 1});
    EXPECT_EQ(first.numbers, (std::vector<int> {1, 2, 3}));
    EXPECT_EQ(first.tallies.overall[0].count, 0);
}

TEST(IntimatePicker, AllPeriodsAndNeverSeenReferences)
{
    // 6 appears first in the reference draw: its position stays at zero counts.
    const DrawTable draws = DrawTableOf({{1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}});
    const IntimatePicker picker(draws, kSix);
    const IntimateProposal limited = picker.propose(5, IntimateSettings {false, 6, 2});
    for (const NumberCount &entry : limited.tallies.positions[1])
        EXPECT_EQ(entry.count, 0);
    // S = 2 for reference 1: only the follower of draw 3 is tallied (draw 4, the reference draw).
    EXPECT_EQ(limited.tallies.positions[0][0].number, 1);
    EXPECT_EQ(limited.tallies.positions[0][0].count, 1);
    // "全部期数" (S = 0) walks back to the first draw: followers of draws 3, 2, 1, 0.
    const IntimateProposal all = picker.propose(5, IntimateSettings {false, 6, 0});
    EXPECT_EQ(all.tallies.positions[0][0].number, 1);
    EXPECT_EQ(all.tallies.positions[0][0].count, 4);
    EXPECT_EQ(all.tallies.overall[0].count, 4);
}

TEST(IntimatePicker, PrefixTalliesMatchTheWalk)
{
    RandomSource random(7);
    const int n = 12;
    std::vector<std::vector<int>> rows;
    for (int r = 0; r < 120; ++r) {
        std::vector<int> pool(n);
        for (int x = 0; x < n; ++x)
            pool[static_cast<std::size_t>(x)] = x + 1;
        std::vector<int> row;
        for (int k = 0; k < 3; ++k) {
            const int pick = random.below(static_cast<int>(pool.size()));
            row.push_back(pool[static_cast<std::size_t>(pick)]);
            pool.erase(pool.begin() + pick);
        }
        rows.push_back(row);
    }
    const DrawTable draws = DrawTableOf(rows);
    const IntimatePicker picker(draws, NumberRange {1, n});
    for (int stop : {0, 1, 2, 3, 7, 50}) {
        for (int target : {1, 2, 3, 10, 57, 119, 120}) {
            const IntimateProposal proposal = picker.propose(target, IntimateSettings {false, 4, stop});
            std::vector<int> overall(static_cast<std::size_t>(n) + 1, 0);
            for (int i = 0; i < 3; ++i) {
                const std::vector<int> walked = WalkedCounts(draws, target, draws.numbers(target - 1)[i], stop, n);
                for (const NumberCount &entry : proposal.tallies.positions[static_cast<std::size_t>(i)])
                    ASSERT_EQ(entry.count, walked[static_cast<std::size_t>(entry.number)])
                        << "stop " << stop << " target " << target << " number " << entry.number;
                for (int x = 1; x <= n; ++x)
                    overall[static_cast<std::size_t>(x)] += walked[static_cast<std::size_t>(x)];
            }
            for (const NumberCount &entry : proposal.tallies.overall)
                ASSERT_EQ(entry.count, overall[static_cast<std::size_t>(entry.number)]);
        }
    }
}

TEST(IntimatePicker, BacktestOnASmallHistory)
{
    const DrawTable draws = DrawTableOf(kSmall);
    const IntimatePicker picker(draws, kSix);
    const BacktestResult result = picker.backtest(IntimateSettings {false, 3, 2});
    ASSERT_EQ(result.rows.size(), 7u);
    EXPECT_EQ(result.rows[0].proposed, QString());
    EXPECT_EQ(result.rows[0].hits, QString());
    EXPECT_EQ(result.rows[3].proposed, QStringLiteral("1 3 4 "));
    std::vector<int> hits;
    for (std::size_t p = 1; p < result.rows.size(); ++p)
        hits.push_back(result.rows[p].hitCount);
    EXPECT_EQ(hits, (std::vector<int> {1, 1, 0, 2, 1, 2}));
    EXPECT_EQ(result.tally, (std::vector<int> {1, 3, 2}));
    EXPECT_EQ(result.chartFirst, 3); // draws S + 1 … on
    EXPECT_EQ(result.memo, QStringLiteral("最大中奖号码数为2个，最小中奖号码数为0个"));
}

TEST(IntimatePicker, FirstTargetAndShortHistories)
{
    const DrawTable draws = DrawTableOf(kSmall);
    const IntimatePicker picker(draws, kSix);
    EXPECT_THROW(picker.propose(0, IntimateSettings {false, 3, 7}), InputError);
    EXPECT_THROW(picker.propose(3, IntimateSettings {false, 7, 7}), InputError);
    EXPECT_THROW(picker.propose(3, IntimateSettings {true, 0, 7}), InputError);

    const DrawTable one = DrawTableOf({{1, 2}});
    const BacktestResult single = IntimatePicker(one, kSix).backtest(IntimateSettings {false, 3, 7});
    ASSERT_EQ(single.rows.size(), 1u);
    EXPECT_EQ(single.chartFirst, 1); // nothing to chart
    EXPECT_EQ(single.memo, NoJudgedDrawsMemo());
}
