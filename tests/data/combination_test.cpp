#include "common/errors.h"
#include "data/combination.h"
#include "data/ticket_set.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lumaro;

TEST(Combination, CountsOfTheBuiltInLotteries)
{
    EXPECT_EQ(TicketCount(7, 36, LotteryKind::Lotto), 8347680);
    EXPECT_EQ(TicketCount(7, 30, LotteryKind::Lotto), 2035800);
    EXPECT_EQ(TicketCount(5, 26, LotteryKind::Lotto), 65780);
    EXPECT_EQ(TicketCount(5, 22, LotteryKind::Lotto), 26334);
    EXPECT_EQ(TicketCount(5, 11, LotteryKind::Lotto), 462);
    EXPECT_EQ(TicketCount(5, 11, LotteryKind::Digit), 161051);
    EXPECT_EQ(TicketCount(3, 10, LotteryKind::Digit), 1000);
    EXPECT_EQ(TicketCount(0, 30, LotteryKind::Lotto), 1);
    EXPECT_EQ(TicketCount(-1, 30, LotteryKind::Digit), 1);
    EXPECT_EQ(Choose(30, 0), 1);
    EXPECT_EQ(Choose(1, 0), 1);
    EXPECT_EQ(Choose(4, 2), 6);
    EXPECT_EQ(Choose(3, 5), 0);
}

TEST(Combination, WideCountsAreExactAndOverflowIsRefused)
{
    // The 32-bit falling product of C(40, 10) would overflow; the count must still be exact.
    EXPECT_EQ(Choose(40, 10), 847660528);
    EXPECT_EQ(Choose(60, 30), 118264581564861424LL);
    EXPECT_THROW(Choose(99, 20), CapacityError);
    EXPECT_EQ(TicketCount(9, 10, LotteryKind::Digit), 1000000000);
    EXPECT_THROW(Choose(200, 100), CapacityError);
    EXPECT_THROW(TicketCount(20, 99, LotteryKind::Digit), CapacityError);
}

TEST(Combination, RankOfTheWorkedExampleAndTheEnds)
{
    const int c[] = {2, 3, 5};
    EXPECT_EQ(CombinationRank(c, 5, 3), 8);
    const int first[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(CombinationRank(first, 11, 5), 1);
    const int last[] = {7, 8, 9, 10, 11};
    EXPECT_EQ(CombinationRank(last, 11, 5), 462);
    const int last36[] = {30, 31, 32, 33, 34, 35, 36};
    EXPECT_EQ(CombinationRank(last36, 36, 7), 8347680);
}

TEST(Combination, RankUnrankAndNextAgreeOnEveryCombination)
{
    for (const auto &[n, m] : std::vector<std::pair<int, int>> {{5, 3}, {11, 5}, {12, 1}, {9, 9}, {22, 5}}) {
        std::vector<int> c(m), unranked(m);
        for (int i = 0; i < m; ++i)
            c[i] = i + 1;
        qint64 rank = 1;
        do {
            ASSERT_EQ(CombinationRank(c.data(), n, m), rank) << n << " " << m;
            CombinationUnrank(rank, n, m, unranked.data());
            ASSERT_EQ(unranked, c);
            ASSERT_TRUE(IsAscendingCombination(c.data(), n, m));
            ++rank;
        } while (NextCombination(c.data(), n, m));
        EXPECT_EQ(rank - 1, Choose(n, m));
    }
}

TEST(Combination, AscendingCheck)
{
    const int descending[] = {3, 2, 1};
    const int repeated[] = {1, 1, 2};
    const int outOfRange[] = {1, 2, 6};
    const int zero[] = {0, 1, 2};
    EXPECT_FALSE(IsAscendingCombination(descending, 5, 3));
    EXPECT_FALSE(IsAscendingCombination(repeated, 5, 3));
    EXPECT_FALSE(IsAscendingCombination(outOfRange, 5, 3));
    EXPECT_FALSE(IsAscendingCombination(zero, 5, 3));
}
