#include "analysis/indicator_history.h"
#include "analysis/indicator_shares.h"
#include "common/errors.h"
#include "data/combination.h"
#include "data/draw_table.h"
#include "data/ticket_set.h"
#include "tickets/total_filter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <iterator>
#include <vector>

using namespace lumaro;

namespace {

DrawTable Table(const std::vector<std::vector<int>> &draws)
{
    const int m = static_cast<int>(draws.front().size());
    DrawTable t(static_cast<int>(draws.size()), m);
    for (int row = 0; row < t.rowCount(); ++row) {
        t.cell(row, 0) = 2020001 + row;
        for (int j = 0; j < m; ++j)
            t.cell(row, j + 1) = draws[static_cast<std::size_t>(row)][static_cast<std::size_t>(j)];
    }
    return t;
}

qint64 Total(const ValueCounts &counts)
{
    qint64 total = 0;
    for (const auto &[value, count] : counts)
        total += count;
    return total;
}

// Every combination of 1..N through NextCombination and IndicatorValue: the counting of the
// tests themselves, apart from TicketSet.
ValueCounts Enumerate(Indicator indicator, int n, int m, const int *latest)
{
    ValueCounts counts;
    std::vector<int> c(static_cast<std::size_t>(m));
    for (int j = 0; j < m; ++j)
        c[static_cast<std::size_t>(j)] = j + 1;
    do
        ++counts[ShownIndicatorValue(IndicatorValue(indicator, c.data(), latest, m, n))];
    while (NextCombination(c.data(), n, m));
    return counts;
}

} // namespace

TEST(IndicatorShares, EveryIndicatorCountsAllCombinationsExactly)
{
    struct Game {
        int n;
        int m;
        std::vector<int> latest; // unsorted, as stored
    };
    const Game games[] = {{10, 3, {9, 2, 5}}, {12, 5, {12, 1, 7, 3, 8}}, {11, 5, {1, 2, 3, 4, 5}}, {9, 1, {4}},
        {8, 2, {7, 3}}, {64, 3, {1, 64, 30}}, {70, 3, {70, 5, 41}}};
    for (const Game &g : games) {
        const TicketSpace space {LotteryKind::Lotto, g.n, g.m, 1};
        for (Indicator indicator : kAnalysisIndicators) {
            SCOPED_TRACE(testing::Message() << g.n << "/" << g.m << " indicator " << static_cast<int>(indicator));
            for (const int *latest : {g.latest.data(), static_cast<const int *>(nullptr)}) {
                const std::optional<ValueCounts> fast = CountTicketValues(indicator, space, latest);
                ASSERT_TRUE(fast.has_value());
                EXPECT_EQ(*fast, Enumerate(indicator, g.n, g.m, latest));
                EXPECT_EQ(*fast, CountTicketValuesPlainly(indicator, space, latest));
                EXPECT_EQ(Total(*fast), Choose(g.n, g.m));
            }
        }
    }
    // 30选6 against a draw: the closed forms and the enumeration over the cores agree with the
    // plain count on a real size too.
    const TicketSpace big {LotteryKind::Lotto, 30, 6, 1};
    const int latest[6] = {30, 2, 17, 9, 25, 11};
    for (Indicator indicator : {Indicator::Sum, Indicator::Deviation, Indicator::Dispersion, Indicator::Ac}) {
        const std::optional<ValueCounts> fast = CountTicketValues(indicator, big, latest);
        ASSERT_TRUE(fast.has_value());
        EXPECT_EQ(*fast, CountTicketValuesPlainly(indicator, big, latest)) << static_cast<int>(indicator);
    }
}

TEST(IndicatorShares, DigitTuplesCountInTheirOwnRange)
{
    const int latest[3] = {0, 9, 4};
    const int variantLatest[3] = {1, 10, 5};
    for (Indicator indicator : kAnalysisIndicators) {
        SCOPED_TRACE(static_cast<int>(indicator));
        const TicketSpace digits {LotteryKind::Digit, 10, 3, 0};
        const TicketSpace ranks {LotteryKind::Digit, 10, 3, 1};
        const std::optional<ValueCounts> d = CountTicketValues(indicator, digits, latest);
        const std::optional<ValueCounts> r = CountTicketValues(indicator, ranks, variantLatest);
        ASSERT_TRUE(d && r);
        EXPECT_EQ(Total(*d), 1000);
        EXPECT_EQ(*d, CountTicketValuesPlainly(indicator, digits, latest));
        EXPECT_EQ(*r, CountTicketValuesPlainly(indicator, ranks, variantLatest));
    }
    // Digits 0..9 sum to 0..27, the ranks 1..10 of the variant trend to 3..30.
    const ValueCounts sums = *CountTicketValues(Indicator::Sum, {LotteryKind::Digit, 10, 3, 0}, nullptr);
    EXPECT_EQ(sums.begin()->first, 0);
    EXPECT_EQ(sums.rbegin()->first, 27);
    const ValueCounts rankSums = *CountTicketValues(Indicator::Sum, {LotteryKind::Digit, 10, 3, 1}, nullptr);
    EXPECT_EQ(rankSums.begin()->first, 3);
    EXPECT_EQ(rankSums.rbegin()->first, 30);
    EXPECT_EQ(rankSums.at(3), 1);
}

TEST(IndicatorShares, DrawsAreCountedAsTheViewShowsThemAndTicketsJudgedAgainstTheLatest)
{
    // 12选5: the second draw repeats 2 numbers of the first, the third 0 of the second.
    const DrawTable t = Table({{1, 2, 3, 4, 5}, {5, 4, 10, 11, 12}, {1, 2, 3, 6, 7}});
    const TicketSpace space {LotteryKind::Lotto, 12, 5, 1};
    const IndicatorHistory repeats(Indicator::Repeat, t, 12);
    const std::optional<IndicatorShares> shares = ComputeIndicatorShares(repeats, space);
    ASSERT_TRUE(shares);
    EXPECT_EQ(shares->drawTotal, 3);
    EXPECT_EQ(shares->ticketTotal, Choose(12, 5));
    // The first draw has no previous one: 0 repeats.
    EXPECT_EQ(shares->drawsBetween(0, 0), 2);
    EXPECT_EQ(shares->drawsBetween(2, 2), 1);
    // Tickets with all five numbers of the latest draw 1 2 3 6 7: exactly one.
    EXPECT_EQ(shares->ticketsBetween(5, 5), 1);
    EXPECT_EQ(shares->ticketsBetween(0, 5), Choose(12, 5));
    double ticketPercent = 0;
    double drawPercent = 0;
    for (const IndicatorShare &row : shares->rows) {
        ticketPercent += row.ticketPercent;
        drawPercent += row.drawPercent;
        EXPECT_TRUE(row.tickets > 0 || row.draws > 0);
    }
    EXPECT_NEAR(ticketPercent, 100, 1e-9);
    EXPECT_NEAR(drawPercent, 100, 1e-9);

    // Deviations 3.5 (the first draw, shown "4"), 7 and 3.
    const IndicatorHistory deviation(Indicator::Deviation, t, 12);
    const IndicatorShares d = *ComputeIndicatorShares(deviation, space);
    EXPECT_EQ(d.drawsBetween(4, 4), 1);
    EXPECT_EQ(d.drawsBetween(7, 7), 1);
    EXPECT_EQ(d.drawsBetween(3, 3), 1);
    const int latest[5] = {1, 2, 3, 6, 7};
    EXPECT_EQ(d.ticketTotal, Choose(12, 5));
    for (const IndicatorShare &row : d.rows) {
        if (row.tickets > 0) {
            EXPECT_EQ(row.tickets, Enumerate(Indicator::Deviation, 12, 5, latest).at(row.value));
        }
    }

    // Without draws every ticket of the deviation is judged as a first draw.
    const IndicatorHistory empty(Indicator::Deviation, DrawTable(0, 5), 12);
    const IndicatorShares none = *ComputeIndicatorShares(empty, space);
    ASSERT_EQ(none.rows.size(), 1u);
    EXPECT_EQ(none.rows[0].value, ShownIndicatorValue(3.5));
    EXPECT_EQ(none.rows[0].drawPercent, 0);
}

TEST(IndicatorShares, ARangeSentToTheFilterKeepsTheTicketsTheViewCounts)
{
    const int n = 12;
    const int m = 5;
    const int latest[m] = {11, 3, 6, 2, 9};
    const TicketSpace space {LotteryKind::Lotto, n, m, 1};
    FilterInputs inputs;
    inputs.n = n;
    inputs.m = m;
    inputs.latestDraw.assign(latest, latest + m);
    struct Case {
        Indicator indicator;
        std::optional<FilterBounds> TotalFilterConditions::*member;
    };
    const Case cases[] = {{Indicator::Odd, &TotalFilterConditions::odd}, {Indicator::Sum, &TotalFilterConditions::sum},
        {Indicator::Span, &TotalFilterConditions::span}, {Indicator::Dispersion, &TotalFilterConditions::dispersion},
        {Indicator::Deviation, &TotalFilterConditions::deviation}, {Indicator::Ac, &TotalFilterConditions::ac},
        {Indicator::Repeat, &TotalFilterConditions::repeat}, {Indicator::Big, &TotalFilterConditions::big}};
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.indicator));
        const ValueCounts counts = *CountTicketValues(c.indicator, space, latest);
        const int lower = counts.begin()->first + 1;
        const int upper = std::prev(counts.end())->first - 1;
        qint64 inRange = 0;
        for (const auto &[value, count] : counts)
            inRange += lower <= value && value <= upper ? count : 0;
        TotalFilterConditions conditions;
        conditions.*c.member = FilterBounds {lower, upper};
        TicketSet tickets = TicketSet::lexicographic(n, m);
        const qint64 kept = *ApplyConditions(tickets, inputs, conditions, {});
        if (c.indicator == Indicator::Big) {
            // The filter counts N div 2 itself as big, the views do not: no range is sent.
            EXPECT_NE(kept, inRange);
            EXPECT_FALSE(FilterRefusal(c.indicator, LotteryKind::Lotto, n, m, false).isEmpty());
        } else {
            EXPECT_EQ(kept, inRange);
            EXPECT_TRUE(FilterRefusal(c.indicator, LotteryKind::Lotto, n, m, false).isEmpty());
        }
    }
}

TEST(IndicatorShares, FilterRangesAreClampedToTheListsOrRefused)
{
    // 36选7: sums 28..231, AC 6..21.
    FilterRangePlan plan = PlanFilterRange(Indicator::Sum, LotteryKind::Lotto, 36, 7, false, 140, 100);
    EXPECT_TRUE(plan.refusal.isEmpty());
    EXPECT_EQ(plan.lower, 100);
    EXPECT_EQ(plan.upper, 140);
    EXPECT_FALSE(plan.clamped);
    plan = PlanFilterRange(Indicator::Ac, LotteryKind::Lotto, 36, 7, false, 3, 30);
    EXPECT_EQ(plan.lower, 6);
    EXPECT_EQ(plan.upper, 21);
    EXPECT_TRUE(plan.clamped);
    plan = PlanFilterRange(Indicator::Ac, LotteryKind::Lotto, 36, 7, false, 22, 30);
    EXPECT_TRUE(plan.refusal.contains(QStringLiteral("6到21"))) << plan.refusal.toStdString();

    // Repeats of the latest draw go as counts 0 to M.
    plan = PlanFilterRange(Indicator::Repeat, LotteryKind::Lotto, 36, 7, false, 1, 9);
    EXPECT_TRUE(plan.refusal.isEmpty()) << plan.refusal.toStdString();
    EXPECT_EQ(plan.lower, 1);
    EXPECT_EQ(plan.upper, 7);
    EXPECT_TRUE(plan.clamped);
    EXPECT_TRUE(PlanFilterRange(Indicator::Repeat, LotteryKind::Lotto, 36, 7, true, 0, 1)
                    .refusal.contains(QStringLiteral("重码")));
    EXPECT_FALSE(PlanFilterRange(Indicator::Sum, LotteryKind::Digit, 10, 3, false, 3, 9).refusal.isEmpty());
    EXPECT_FALSE(PlanFilterRange(Indicator::Sum, LotteryKind::Lotto, 36, 8, false, 40, 90).refusal.isEmpty());
    // In the variant trend the filter's deviation means another thing; the rest still go.
    EXPECT_FALSE(PlanFilterRange(Indicator::Deviation, LotteryKind::Lotto, 36, 7, true, 1, 4).refusal.isEmpty());
    EXPECT_TRUE(PlanFilterRange(Indicator::Deviation, LotteryKind::Lotto, 36, 7, false, 1, 4).refusal.isEmpty());
    EXPECT_TRUE(PlanFilterRange(Indicator::Span, LotteryKind::Lotto, 36, 7, true, 20, 30).refusal.isEmpty());
}

TEST(IndicatorShares, LongEnumerationsAreRefusedOrStopped)
{
    // C(45, 8) = 215553195 tickets: the sum has a closed form, the AC value would be enumerated.
    const TicketSpace large {LotteryKind::Lotto, 45, 8, 1};
    EXPECT_EQ(Total(*CountTicketValues(Indicator::Sum, large, nullptr)), Choose(45, 8));
    EXPECT_THROW(CountTicketValues(Indicator::Ac, large, nullptr), InputError);
    EXPECT_THROW(CountTicketValues(Indicator::Sum, {LotteryKind::Lotto, 5, 7, 1}, nullptr), InputError);

    std::atomic_bool cancel {true};
    Progress progress;
    progress.cancel = &cancel;
    EXPECT_FALSE(CountTicketValues(Indicator::Dispersion, {LotteryKind::Lotto, 30, 7, 1}, nullptr, progress));
    // Reports reach their end once the count is done.
    qint64 last = 0;
    Progress reporting;
    reporting.report = [&](qint64 done, qint64 total) {
        EXPECT_EQ(total, Choose(26, 5));
        last = done;
    };
    ASSERT_TRUE(CountTicketValues(Indicator::Ac, {LotteryKind::Lotto, 26, 5, 1}, nullptr, reporting));
    EXPECT_EQ(last, Choose(26, 5));
}
