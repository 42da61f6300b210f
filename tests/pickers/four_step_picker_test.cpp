#include "common/errors.h"
#include "common/random_source.h"
#include "picker_draws.h"
#include "pickers/four_step_picker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace lumaro;
using lumaro::test::DrawTableOf;

namespace {

const NumberRange kEight {1, 8};

std::vector<std::vector<int>> RandomRows(int count, int n, int m, std::uint64_t seed)
{
    RandomSource random(seed);
    std::vector<std::vector<int>> rows;
    for (int r = 0; r < count; ++r) {
        std::vector<int> pool;
        for (int x = 1; x <= n; ++x)
            pool.push_back(x);
        std::vector<int> row;
        for (int k = 0; k < m; ++k) {
            const int pick = random.below(static_cast<int>(pool.size()));
            row.push_back(pool[static_cast<std::size_t>(pick)]);
            pool.erase(pool.begin() + pick);
        }
        rows.push_back(row);
    }
    return rows;
}

bool DrawHolds(const DrawTable &draws, int draw, int x)
{
    const qint32 *row = draws.numbers(draw);
    return std::find(row, row + draws.numberCount(), x) != row + draws.numberCount();
}

} // namespace

TEST(FourStepPicker, StepsOnASmallHistory)
{
    // Long window draws 2 … 7: 5 and 7 three times, 8 twice. 1 came in draws 0, 1, 2 and 7 in
    // draws 3, 4, 5 (a triple in the middle of the window); neither is in draws 6 and 7.
    const DrawTable draws = DrawTableOf({{1, 2}, {1, 3}, {1, 4}, {5, 7}, {5, 7}, {7, 8}, {2, 8}, {3, 5}});
    const FourStepPicker picker(draws, kEight);
    const FourStepProposal proposal = picker.propose(8, FourStepSettings {6, 1, 2, 3});
    EXPECT_EQ(proposal.step1Text(), QStringLiteral("04 05 07 08 "));
    EXPECT_EQ(proposal.step2Text(), QStringLiteral("04 07 08 ")); // 5 was in draw 7
    EXPECT_EQ(proposal.step3Text(), QStringLiteral("0107"));
    EXPECT_TRUE(proposal.step4.empty());
    EXPECT_EQ(proposal.finalText(), QStringLiteral("01 04 07 08 "));
    // L2 = 2 also removes 8 (draw 6).
    EXPECT_EQ(picker.propose(8, FourStepSettings {6, 2, 2, 3}).numbers, (std::vector<int> {1, 4, 7}));
    // A rest of 3 draws keeps 7 (in draw 5) out of step 3.
    EXPECT_EQ(picker.propose(8, FourStepSettings {6, 1, 3, 3}).step3, (std::vector<int> {1}));
}

TEST(FourStepPicker, StepFourLeavesTheLatestDrawOut)
{
    // Draws 6 … 8 make 8 and 3 the most active; 3 is cold over the long window. With draw 9
    // (2 and 5) counted, 2 would have displaced 3.
    const DrawTable draws
        = DrawTableOf({{5, 6}, {6, 7}, {1, 7}, {7, 8}, {4, 6}, {1, 2}, {2, 3}, {7, 8}, {4, 8}, {2, 5}});
    const FourStepPicker picker(draws, kEight);
    const FourStepProposal proposal = picker.propose(10, FourStepSettings {8, 1, 2, 3});
    EXPECT_EQ(proposal.step1, (std::vector<int> {1, 2, 7, 8}));
    EXPECT_EQ(proposal.step2, (std::vector<int> {1, 7, 8}));
    EXPECT_EQ(proposal.step3, (std::vector<int> {7}));
    EXPECT_EQ(proposal.step4, (std::vector<int> {3}));
    EXPECT_EQ(proposal.numbers, (std::vector<int> {1, 3, 7, 8}));
}

TEST(FourStepPicker, ThirtySixNumbersAndTheFinalListHasNoRepeats)
{
    const DrawTable draws = DrawTableOf(RandomRows(200, 36, 7, 11));
    const FourStepPicker picker(draws, NumberRange {1, 36});
    for (int target : {60, 120, 200}) {
        const FourStepProposal proposal = picker.propose(target, FourStepSettings {});
        EXPECT_EQ(proposal.step1.size(), 18u);
        EXPECT_LE(proposal.step4.size(), 9u);
        // L2 = 1 removes exactly the step-1 numbers of draw T - 1.
        std::vector<int> expected;
        for (int x : proposal.step1) {
            if (!DrawHolds(draws, target - 1, x))
                expected.push_back(x);
        }
        EXPECT_EQ(proposal.step2, expected);
        std::set<int> all(proposal.step2.begin(), proposal.step2.end());
        all.insert(proposal.step3.begin(), proposal.step3.end());
        all.insert(proposal.step4.begin(), proposal.step4.end());
        EXPECT_EQ(proposal.numbers, std::vector<int>(all.begin(), all.end()));
    }
}

TEST(FourStepPicker, BacktestMatchesSingleProposals)
{
    const DrawTable draws = DrawTableOf(RandomRows(90, 20, 5, 3));
    const FourStepPicker picker(draws, NumberRange {1, 20});
    const FourStepSettings settings {12, 2, 4, 5};
    const BacktestResult result = picker.backtest(settings);
    // Judged from draw L1 + 11 = 23, shown from draw L1 + 20 = 32.
    ASSERT_EQ(result.rows.size(), 90u - 32u);
    EXPECT_EQ(result.rows.front().period, draws.period(32));
    EXPECT_EQ(result.judged, 90 - 23);
    int largest = 0;
    int smallest = 1000;
    for (int c = 23; c < 90; ++c) {
        const FourStepProposal proposal = picker.propose(c, settings);
        int hits = 0;
        for (int x : proposal.numbers)
            hits += DrawHolds(draws, c, x) ? 1 : 0;
        largest = std::max(largest, hits);
        smallest = std::min(smallest, hits);
        if (c >= 32) {
            const BacktestRow &row = result.rows[static_cast<std::size_t>(c - 32)];
            ASSERT_EQ(row.proposed, proposal.finalText()) << c;
            ASSERT_EQ(row.hitCount, hits) << c;
        }
    }
    EXPECT_EQ(result.memo, QStringLiteral("最大中奖个数：%1 最小中奖个数：%2").arg(largest).arg(smallest));
}

TEST(FourStepPicker, ShortHistoriesAndEarlyTargets)
{
    const DrawTable draws = DrawTableOf(RandomRows(30, 8, 2, 5));
    const FourStepPicker picker(draws, kEight);
    EXPECT_EQ(FourStepPicker::defaultLongWindow(30), 30);
    EXPECT_EQ(FourStepPicker::defaultLongWindow(2921), 40);
    EXPECT_EQ(FourStepPicker::defaultLongWindow(0), 1);
    // Fewer than L1 + 20 draws: no rows, a note instead of the extremes.
    const BacktestResult result = picker.backtest(FourStepSettings {30, 1, 10, 10});
    EXPECT_TRUE(result.rows.empty());
    EXPECT_EQ(result.memo, NoJudgedDrawsMemo());
    // Early targets cut their windows at the first draw.
    const FourStepProposal first = picker.propose(0, FourStepSettings {30, 1, 10, 10});
    EXPECT_EQ(first.numbers, (std::vector<int> {1, 2, 3, 4}));
    EXPECT_NO_THROW(picker.propose(2, FourStepSettings {30, 5, 10, 10}));
    EXPECT_THROW(picker.propose(2, FourStepSettings {31, 1, 10, 10}), InputError);
    EXPECT_THROW(picker.propose(2, FourStepSettings {30, 6, 10, 10}), InputError);
    EXPECT_THROW(picker.propose(2, FourStepSettings {30, 1, 11, 10}), InputError);
    EXPECT_THROW(picker.propose(2, FourStepSettings {30, 1, 10, 0}), InputError);
    EXPECT_THROW(FourStepPicker(DrawTable(), kEight).propose(0, FourStepSettings {}), InputError);
}
