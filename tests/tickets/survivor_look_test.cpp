#include "analysis/indicators.h"
#include "common/errors.h"
#include "common/random_source.h"
#include "tickets/survivor_look.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace lumaro;

namespace {

// The counts the plain way: each survivor's values from the indicator functions, on its
// (variant) values, the neighbours and primes counted by hand.
std::array<std::map<int, qint64>, kLookIndicatorCount> PlainCounts(const TicketSet &tickets, const FilterInputs &inputs)
{
    std::array<std::map<int, qint64>, kLookIndicatorCount> counts;
    tickets.forEach([&](qint64 row, const int *stored) {
        if (tickets.state(row) != 0)
            return;
        const int m = tickets.width();
        std::vector<int> w(stored, stored + m);
        if (!inputs.variantValue.empty()) {
            for (int &v : w)
                v = inputs.variantValue[static_cast<std::size_t>(v)];
        }
        std::vector<int> sorted = w;
        std::sort(sorted.begin(), sorted.end());
        int pairs = 0;
        int primes = 0;
        for (int j = 0; j < m; ++j) {
            pairs += j > 0 && sorted[j] == sorted[j - 1] + 1 ? 1 : 0;
            primes += sorted[j] == 2 || sorted[j] == 3 || sorted[j] == 5 || sorted[j] == 7 || sorted[j] == 11
                    || sorted[j] == 13 || sorted[j] == 17 || sorted[j] == 19 || sorted[j] == 23
                ? 1
                : 0;
        }
        ++counts[0][SumValue(w.data(), m)];
        ++counts[1][OddCount(w.data(), m)];
        ++counts[2][BigCount(w.data(), m, inputs.n, BigRule::TotalFilter)];
        ++counts[3][SpanValue(w.data(), m)];
        ++counts[4][AcValue(w.data(), m, inputs.n)];
        ++counts[5][pairs];
        ++counts[6][primes];
    });
    return counts;
}

void ExpectSameCounts(const SurvivorLook &look, const TicketSet &tickets, const FilterInputs &inputs)
{
    const auto plain = PlainCounts(tickets, inputs);
    EXPECT_EQ(look.survivors, tickets.aliveCount());
    for (int k = 0; k < kLookIndicatorCount; ++k) {
        std::map<int, qint64> found;
        const std::vector<qint64> &counts = look.of(static_cast<LookIndicator>(k));
        for (std::size_t v = 0; v < counts.size(); ++v) {
            if (counts[v] > 0)
                found[static_cast<int>(v)] = counts[v];
        }
        EXPECT_EQ(found, plain[static_cast<std::size_t>(k)])
            << LookIndicatorName(static_cast<LookIndicator>(k)).toStdString();
    }
}

} // namespace

TEST(SurvivorLook, CountsAgreeWithAPlainCountOverTheSurvivors)
{
    FilterInputs inputs;
    inputs.n = 23;
    inputs.m = 5;
    // Enough rows for several blocks, so that the threads' counts are merged.
    TicketSet tickets = TicketSet::lexicographic(23, 5);
    TotalFilterConditions c;
    c.sum = FilterBounds {40, 70, {{80, 90}}};
    c.primes = FilterBounds {1, 3};
    ASSERT_TRUE(ApplyConditions(tickets, inputs, c, {}));
    ASSERT_LT(tickets.aliveCount(), tickets.rowCount());
    const std::optional<SurvivorLook> look = LookAtSurvivors(tickets, inputs);
    ASSERT_TRUE(look);
    ExpectSameCounts(*look, tickets, inputs);
    // The filter's sum bounds show in the look: nothing outside them.
    const std::vector<qint64> &sums = look->of(LookIndicator::Sum);
    for (std::size_t v = 0; v < sums.size(); ++v) {
        EXPECT_TRUE(sums[v] == 0 || c.sum->contains(static_cast<int>(v))) << v;
    }

    // In the variant trend the values are the variant ones (here 24 - n), as the filter reads.
    inputs.variantValue.assign(24, 0);
    for (int v = 1; v <= 23; ++v)
        inputs.variantValue[static_cast<std::size_t>(v)] = 24 - v;
    const std::optional<SurvivorLook> variant = LookAtSurvivors(tickets, inputs);
    ExpectSameCounts(*variant, tickets, inputs);
    EXPECT_NE(variant->of(LookIndicator::Sum), look->of(LookIndicator::Sum));

    // Rows of a ticket file, not sorted, some rejected.
    inputs.variantValue.clear();
    TicketSet loaded = TicketSet::fromRows(5, {5, 1, 3, 2, 4, 23, 9, 11, 10, 1, 7, 8, 6, 20, 21, 2, 3, 5, 7, 11});
    loaded.setState(1, 1);
    const std::optional<SurvivorLook> few = LookAtSurvivors(loaded, inputs);
    ExpectSameCounts(*few, loaded, inputs);
    EXPECT_EQ(SurvivorLookLines(*few),
        QStringList({QStringLiteral("和值：15:1 28:1 62:1"), QStringLiteral("奇数：2:1 3:1 4:1"),
            QStringLiteral("大数：0:1 1:1 2:1"), QStringLiteral("跨度：4:1 9:1 15:1"),
            QStringLiteral("AC值：4:1 6:1 8:1"), QStringLiteral("连号个数：1:1 3:1 4:1"),
            QStringLiteral("质数个数：1:1 3:1 5:1")}));
}

TEST(SurvivorLook, PickGivesDistinctSurvivorsReplayedByTheSeed)
{
    TicketSet tickets = TicketSet::lexicographic(11, 5);
    for (qint64 row = 0; row < tickets.rowCount(); row += 2)
        tickets.setState(row, 1);
    const qint64 alive = tickets.aliveCount();

    RandomSource a(17);
    const std::vector<qint64> rows = PickSurvivors(tickets, 40, a);
    ASSERT_EQ(rows.size(), 40u);
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
    EXPECT_EQ(std::set<qint64>(rows.begin(), rows.end()).size(), 40u);
    for (qint64 row : rows)
        EXPECT_EQ(tickets.state(row), 0) << row;
    RandomSource b(17);
    EXPECT_EQ(PickSurvivors(tickets, 40, b), rows);
    RandomSource c(18);
    EXPECT_NE(PickSurvivors(tickets, 40, c), rows);

    // All of them, and no more.
    RandomSource d(1);
    EXPECT_EQ(static_cast<qint64>(PickSurvivors(tickets, alive, d).size()), alive);
    EXPECT_THROW(PickSurvivors(tickets, alive + 1, d), InputError);
    EXPECT_THROW(PickSurvivors(tickets, 0, d), InputError);
}

TEST(SurvivorLook, PickIsUniformOverTheSurvivors)
{
    // Ten survivors among 56 tickets; three picked with each of 3000 seeds: each survivor is
    // expected 900 times (standard deviation about 25), each of the 120 triples 25 times.
    TicketSet tickets = TicketSet::lexicographic(8, 3);
    for (qint64 row = 0; row < tickets.rowCount(); ++row)
        tickets.setState(row, row % 5 == 2 && row < 50 ? 0 : 1);
    ASSERT_EQ(tickets.aliveCount(), 10);
    std::map<qint64, int> times;
    std::map<std::vector<qint64>, int> triples;
    for (int seed = 0; seed < 3000; ++seed) {
        RandomSource random(static_cast<std::uint64_t>(seed));
        const std::vector<qint64> rows = PickSurvivors(tickets, 3, random);
        ++triples[rows];
        for (qint64 row : rows)
            ++times[row];
    }
    ASSERT_EQ(times.size(), 10u);
    for (const auto &[row, count] : times)
        EXPECT_NEAR(count, 900, 150) << row;
    EXPECT_EQ(triples.size(), 120u);
    for (const auto &[triple, count] : triples)
        EXPECT_LT(count, 60);
}
