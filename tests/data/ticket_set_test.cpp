#include "common/errors.h"
#include "data/combination.h"
#include "data/ticket_set.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lumaro;

namespace {

std::vector<int> RowOf(const TicketSet &set, qint64 r)
{
    std::vector<int> out(set.width());
    set.numbers(r, out.data());
    return out;
}

} // namespace

TEST(TicketSet, LexicographicRowsMatchTheirRank)
{
    const TicketSet set = TicketSet::lexicographic(26, 5);
    ASSERT_EQ(set.rowCount(), 65780);
    EXPECT_EQ(set.cellCount(), 7);
    EXPECT_EQ(RowOf(set, 0), (std::vector<int> {1, 2, 3, 4, 5}));
    EXPECT_EQ(RowOf(set, 65779), (std::vector<int> {22, 23, 24, 25, 26}));
    qint64 expected = 0;
    set.forEach([&](qint64 r, const int *c) {
        ASSERT_EQ(r, expected++);
        ASSERT_EQ(CombinationRank(c, 26, 5), r + 1);
    });
    EXPECT_EQ(expected, 65780);
    // A traversal that starts in the middle continues from the right combination.
    std::vector<std::vector<int>> slice;
    set.forRange(1000, 1003, [&](qint64, const int *c) { slice.emplace_back(c, c + 5); });
    EXPECT_EQ(slice[0], RowOf(set, 1000));
    EXPECT_EQ(slice[2], RowOf(set, 1002));
    EXPECT_EQ(set.cell(0, 5), 0);
    EXPECT_EQ(set.cell(0, 6), 0);
}

TEST(TicketSet, DigitTuplesCoverEveryDigitCombination)
{
    const TicketSet set = TicketSet::digitTuples(10, 3);
    ASSERT_EQ(set.rowCount(), 1000);
    EXPECT_EQ(RowOf(set, 0), (std::vector<int> {0, 0, 0}));
    EXPECT_EQ(RowOf(set, 407), (std::vector<int> {4, 0, 7}));
    EXPECT_EQ(RowOf(set, 999), (std::vector<int> {9, 9, 9}));
    qint64 count = 0;
    set.forEach([&](qint64 r, const int *c) {
        ASSERT_EQ(c[0] * 100 + c[1] * 10 + c[2], r);
        ++count;
    });
    EXPECT_EQ(count, 1000);
}

TEST(TicketSet, StatesStartAliveAndAreKeptPerRow)
{
    TicketSet set = TicketSet::lexicographic(11, 5);
    EXPECT_EQ(set.aliveCount(), 462);
    set.setState(0, 0); // nothing allocated for a row that stays alive
    set.setState(3, 1);
    set.setState(461, 1);
    EXPECT_EQ(set.state(3), 1);
    EXPECT_EQ(set.state(4), 0);
    EXPECT_EQ(set.cell(3, 5), 1);
    EXPECT_EQ(set.aliveCount(), 460);
    set.resetStates();
    EXPECT_EQ(set.aliveCount(), 462);
}

TEST(TicketSet, ExplicitRowsKeepFileOrder)
{
    TicketSet set = TicketSet::fromRows(3, {5, 1, 3, 2, 4, 6});
    ASSERT_EQ(set.rowCount(), 2);
    EXPECT_EQ(RowOf(set, 0), (std::vector<int> {5, 1, 3}));
    std::vector<int> seen;
    set.forEach([&](qint64, const int *c) { seen.insert(seen.end(), c, c + 3); });
    EXPECT_EQ(seen, (std::vector<int> {5, 1, 3, 2, 4, 6}));
    EXPECT_TRUE(TicketSet::fromRows(5, {}).isEmpty());
}

TEST(TicketSet, TooManyTicketsAreRefusedBeforeAnythingIsAllocated)
{
    EXPECT_NO_THROW(TicketSet::lexicographic(36, 7));
    EXPECT_THROW(TicketSet::lexicographic(80, 10), CapacityError);
    EXPECT_THROW(TicketSet::digitTuples(10, 12), CapacityError);
    EXPECT_TRUE(TicketSet::lexicographic(3, 5).isEmpty());
}
