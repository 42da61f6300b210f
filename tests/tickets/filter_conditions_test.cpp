// The conditions beyond the window's nine, the value sets and the tolerance, checked against
// plain counts over every ticket of 15 choose 5.
#include "analysis/indicators.h"
#include "common/random_source.h"
#include "data/combination.h"
#include "data/ticket_set.h"
#include "tickets/filter_history_check.h"
#include "tickets/ticket_tester.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>

using namespace lumaro;

namespace {

constexpr int kN = 15;
constexpr int kM = 5;
constexpr int kPeriods = 3;

// Thirty draws of 15 choose 5 in drawn order, the last of them the latest draw.
HistoryCheckInputs Game(bool variant)
{
    HistoryCheckInputs inputs;
    inputs.filter.n = kN;
    inputs.filter.m = kM;
    RandomSource random(31337);
    for (int d = 0; d < 30; ++d) {
        std::vector<int> pool(kN);
        std::iota(pool.begin(), pool.end(), 1);
        for (int j = 0; j < kM; ++j) {
            std::swap(pool[static_cast<std::size_t>(j)], pool[static_cast<std::size_t>(j + random.below(kN - j))]);
            inputs.draws.push_back(pool[static_cast<std::size_t>(j)]);
        }
    }
    inputs.filter.latestDraw.assign(inputs.draws.end() - kM, inputs.draws.end());
    inputs.filter.recentDraws = inputs.draws;
    if (variant) {
        const int order[kN] = {9, 3, 15, 1, 12, 5, 11, 2, 8, 14, 6, 10, 4, 13, 7};
        inputs.filter.variantValue.assign(order, order + kN);
        inputs.filter.variantValue.insert(inputs.filter.variantValue.begin(), 0);
    }
    return inputs;
}

// The newer conditions, every one active, wide enough that each cuts and keeps tickets.
TotalFilterConditions NewConditions()
{
    TotalFilterConditions c;
    c.repeat = FilterBounds {0, 1};
    c.repeatRecent = FilterBounds {2, 3};
    c.repeatPeriods = kPeriods;
    c.consecutive = FilterBounds {1, 2};
    c.longestRun = FilterBounds {1, 1, {{3, 3}}};
    c.tailCount = FilterBounds {4, 4};
    c.tailSum = FilterBounds {15, 25};
    c.road0 = FilterBounds {1, 2};
    c.road1 = FilterBounds {2, 2};
    c.road2 = FilterBounds {0, 1, {{3, 5}}};
    c.primes = FilterBounds {2, 3};
    c.zoneCount = 4; // zones of 4: 1-4, 5-8, 9-12, 13-15
    c.zones = {FilterBounds {1, 2}, std::nullopt, FilterBounds {0, 1}, FilterBounds {1, 3}};
    c.bankerGroups = {{{1, 2, 3, 4}, FilterBounds {1, 2}}, {{7, 14}, FilterBounds {0, 0}}};
    return c;
}

bool Prime(int v)
{
    if (v < 2)
        return false;
    for (int d = 2; d < v; ++d) {
        if (v % d == 0)
            return false;
    }
    return true;
}

// Which of NewConditions() (in the order of active()) one ticket meets, written out plainly:
// the values through the variant values, the repeats against the draws as drawn (the last of
// `before` draws the latest).
std::vector<bool> Holds(const int *ticket, const std::vector<int> &draws, int before, const std::vector<int> &variant,
    const TotalFilterConditions &c)
{
    std::vector<int> w(ticket, ticket + kM);
    if (!variant.empty()) {
        for (int &v : w)
            v = variant[static_cast<std::size_t>(v)];
    }
    const int *latest = before > 0 ? draws.data() + (before - 1) * kM : nullptr;
    std::set<int> recent;
    for (int d = std::max(0, before - c.repeatPeriods); d < before; ++d)
        recent.insert(draws.begin() + d * kM, draws.begin() + (d + 1) * kM);
    std::vector<int> s = w;
    std::sort(s.begin(), s.end());
    int pairs = 0;
    int longest = 1;
    for (int j = 0; j < kM;) {
        int k = j + 1;
        while (k < kM && s[static_cast<std::size_t>(k)] == s[static_cast<std::size_t>(k - 1)] + 1)
            ++k;
        pairs += k - j - 1;
        longest = std::max(longest, k - j);
        j = k;
    }
    std::set<int> tails;
    int tailSum = 0;
    int roads[3] = {0, 0, 0};
    int primes = 0;
    int inRecent = 0;
    for (int v : w) {
        tails.insert(v % 10);
        tailSum += v % 10;
        ++roads[v % 3];
        primes += Prime(v) ? 1 : 0;
        inRecent += recent.count(v) > 0 ? 1 : 0;
    }
    const std::vector<int> zones = ZoneCounts(w.data(), kM, kN, c.zoneCount);
    std::vector<bool> holds = {c.repeat->contains(RepeatCount(w.data(), latest, kM)),
        c.repeatRecent->contains(inRecent), c.consecutive->contains(pairs), c.longestRun->contains(longest),
        c.tailCount->contains(static_cast<int>(tails.size())), c.tailSum->contains(tailSum),
        c.road0->contains(roads[0]), c.road1->contains(roads[1]), c.road2->contains(roads[2]),
        c.primes->contains(primes)};
    for (std::size_t z = 0; z < c.zones.size(); ++z) {
        if (c.zones[z])
            holds.push_back(c.zones[z]->contains(zones[z]));
    }
    for (const BankerGroup &group : c.bankerGroups) {
        int hits = 0;
        for (int v : w)
            hits += std::count(group.numbers.begin(), group.numbers.end(), v) > 0 ? 1 : 0;
        holds.push_back(group.hits.contains(hits));
    }
    return holds;
}

int Failures(const std::vector<bool> &holds)
{
    return static_cast<int>(std::count(holds.begin(), holds.end(), false));
}

} // namespace

// Every ticket's failures, condition by condition, as the plain count has them; each condition
// cuts some tickets and keeps some, alone, in both trends.
TEST(FilterConditions, EveryNewConditionMatchesAPlainCountInBothTrends)
{
    for (const bool variant : {false, true}) {
        const HistoryCheckInputs game = Game(variant);
        const TotalFilterConditions c = NewConditions();
        const std::vector<ConditionRef> active = c.active();
        ASSERT_EQ(active.size(), std::size_t(15));
        EXPECT_EQ(active[9], ConditionRef(FilterCondition::Primes));
        EXPECT_EQ(active[11], ConditionRef(FilterCondition::Zone, 2));
        EXPECT_EQ(active[14], ConditionRef(FilterCondition::BankerGroup, 1));
        const TicketTester tester(game.filter, c, true);
        EXPECT_EQ(tester.prefixServes(), !variant);
        std::vector<qint64> kept(active.size(), 0);
        qint64 differing = 0;
        int t[kM] = {1, 2, 3, 4, 5};
        do {
            const std::vector<bool> holds = Holds(t, game.draws, 30, game.filter.variantValue, c);
            std::uint64_t want = 0;
            for (std::size_t i = 0; i < holds.size(); ++i) {
                want |= std::uint64_t(holds[i] ? 0 : 1) << i;
                kept[i] += holds[i] ? 1 : 0;
            }
            differing += tester.failures(t) != want ? 1 : 0;
            differing += tester.passes(t) != (want == 0) ? 1 : 0;
            // The shared-prefix path of the passes over the complete set (standard trend only).
            if (tester.prefixServes()) {
                differing += tester.failuresAfter(tester.prefix(t), t) != want ? 1 : 0;
                differing += tester.passesAfter(tester.prefix(t), t) != (want == 0) ? 1 : 0;
            }
        } while (NextCombination(t, kN, kM));
        EXPECT_EQ(differing, 0) << (variant ? "variant" : "standard");
        for (std::size_t i = 0; i < kept.size(); ++i) {
            EXPECT_GT(kept[i], 0) << i;
            EXPECT_LT(kept[i], Choose(kN, kM)) << i;
        }
    }
}

// A run keeps the tickets failing at most k conditions and counts them by their failures.
TEST(FilterConditions, ToleranceKeepsTicketsWithAtMostKFailures)
{
    for (const bool variant : {false, true}) {
        const HistoryCheckInputs game = Game(variant);
        TotalFilterConditions c = NewConditions();
        c.sum = FilterBounds {30, 45};
        c.ac = FilterBounds {6, 9};
        // Seventeen conditions: none or few tickets meet them all.
        for (const int k : {0, 4, 7}) {
            c.tolerance = k;
            std::vector<qint64> want(static_cast<std::size_t>(k) + 1, 0);
            std::vector<char> keep;
            int t[kM] = {1, 2, 3, 4, 5};
            do {
                std::vector<bool> holds = Holds(t, game.draws, 30, game.filter.variantValue, c);
                std::vector<int> w(t, t + kM);
                if (variant) {
                    for (int &v : w)
                        v = game.filter.variantValue[static_cast<std::size_t>(v)];
                }
                holds.push_back(c.sum->contains(SumValue(w.data(), kM)));
                holds.push_back(c.ac->contains(AcValue(w.data(), kM, kN)));
                const int failed = Failures(holds);
                keep.push_back(failed <= k ? 1 : 0);
                if (failed <= k)
                    ++want[static_cast<std::size_t>(failed)];
            } while (NextCombination(t, kN, kM));

            TicketSet tickets = TicketSet::lexicographic(kN, kM);
            std::vector<qint64> byFailures;
            const qint64 alive = *ApplyConditions(tickets, game.filter, c, {}, &byFailures);
            const std::string what = (variant ? "variant k=" : "standard k=") + std::to_string(k);
            EXPECT_EQ(byFailures, want) << what;
            EXPECT_EQ(alive, std::accumulate(want.begin(), want.end(), qint64(0))) << what;
            if (k > 0) {
                EXPECT_GT(alive, want[0]) << what;
            }
            qint64 misplaced = 0;
            for (qint64 row = 0; row < tickets.rowCount(); ++row)
                misplaced += (tickets.stateData()[row] == 0) != (keep[static_cast<std::size_t>(row)] == 1) ? 1 : 0;
            EXPECT_EQ(misplaced, 0) << what;
        }
    }
}

// A value set keeps what either of its ranges keeps; the text forms go both ways.
TEST(FilterConditions, ValueSetsParseCheckAndFilter)
{
    const FilterBounds set = ParseBoundsText(QStringLiteral(" 98-110, 120-126,130"));
    EXPECT_EQ(set.lower, 98);
    EXPECT_EQ(set.upper, 110);
    EXPECT_EQ(set.more, (std::vector<std::pair<int, int>> {{120, 126}, {130, 130}}));
    EXPECT_EQ(set.text(), QStringLiteral("98-110,120-126,130"));
    EXPECT_TRUE(set.contains(110) && set.contains(120) && set.contains(130));
    EXPECT_FALSE(set.contains(111) || set.contains(127) || set.contains(97));
    EXPECT_EQ(ParsePatternText(QStringLiteral("2:3:2")), (std::vector<int> {2, 3, 2}));

    TotalFilterConditions c;
    c.sum = ParseBoundsText(QStringLiteral("20-30,50-40"));
    EXPECT_EQ(CheckConditions(c, kN, kM), filter_text::ListOrder());
    c.sum = FilterBounds {20, 30};
    c.bankerGroups = {{{1, 2}, FilterBounds {1, 1, {{2, 0}}}}};
    EXPECT_EQ(CheckConditions(c, kN, kM), filter_text::BankerOrder());
    c.bankerGroups = {{{}, FilterBounds {1, 1}}};
    EXPECT_EQ(CheckConditions(c, kN, kM), QStringLiteral("胆码组1没有胆码！"));
    c.bankerGroups.clear();
    c.zones = {FilterBounds {1, 1}};
    EXPECT_EQ(CheckConditions(c, kN, kM), QStringLiteral("分区数应在2到12之间，且不大于15！"));
    c.zones.clear();
    // Two conditions: one may fail, not two.
    c.odd = FilterBounds {1, 2};
    c.tolerance = 2;
    EXPECT_EQ(CheckConditions(c, kN, kM), QStringLiteral("容错个数2太大：所选的2个条件最多只能容错1个！"));
    c.tolerance = 1;
    EXPECT_EQ(CheckConditions(c, kN, kM), QString());

    const FilterInputs inputs = Game(false).filter;
    const auto keeps = [&](const FilterBounds &sum) {
        TotalFilterConditions only;
        only.sum = sum;
        TicketSet tickets = TicketSet::lexicographic(kN, kM);
        return *ApplyConditions(tickets, inputs, only, {});
    };
    EXPECT_EQ(keeps(FilterBounds {20, 30, {{45, 50}}}), keeps(FilterBounds {20, 30}) + keeps(FilterBounds {45, 50}));
}

// The history check with the newer conditions: each draw against the draws before it (the
// first without any), each condition alone, and the count within the tolerance.
TEST(FilterConditions, HistoryCheckCountsNewConditionsPlainly)
{
    for (const bool variant : {false, true}) {
        const HistoryCheckInputs game = Game(variant);
        TotalFilterConditions c = NewConditions();
        c.tolerance = 5;
        const std::size_t active = c.active().size();
        const auto tally = [&](PassCounts &counts, const std::vector<bool> &holds) {
            counts.passing.resize(active);
            ++counts.judged;
            counts.passingAll += Failures(holds) == 0 ? 1 : 0;
            counts.passingTolerant += Failures(holds) <= 5 ? 1 : 0;
            for (std::size_t i = 0; i < active; ++i)
                counts.passing[i] += holds[i] ? 1 : 0;
        };
        PassCounts draws;
        for (int d = 0; d < game.drawCount(); ++d)
            tally(draws, Holds(game.draws.data() + d * kM, game.draws, d, game.filter.variantValue, c));
        PassCounts tickets;
        int t[kM] = {1, 2, 3, 4, 5};
        do {
            tally(tickets, Holds(t, game.draws, 30, game.filter.variantValue, c));
        } while (NextCombination(t, kN, kM));
        ASSERT_GT(tickets.passingTolerant, tickets.passingAll);
        ASSERT_GT(draws.passingTolerant, 0);

        const std::string what = variant ? "variant" : "standard";
        for (const auto &[got, want] :
            {std::pair {*JudgeDraws(game, c), draws}, std::pair {*CountPassingTickets(game.filter, c), tickets}}) {
            EXPECT_EQ(got.judged, want.judged) << what;
            EXPECT_EQ(got.passingAll, want.passingAll) << what;
            EXPECT_EQ(got.passingTolerant, want.passingTolerant) << what;
            EXPECT_EQ(got.passing, want.passing) << what;
        }
        const HistoryCheckResult result = *RunHistoryCheck(game, c);
        ASSERT_TRUE(result.tolerant);
        EXPECT_EQ(result.tolerant->drawsPassing, draws.passingTolerant);
        EXPECT_EQ(result.tolerant->ticketsPassing, tickets.passingTolerant);
        const QStringList lines = HistoryCheckLines(result, c);
        ASSERT_EQ(lines.size(), qsizetype(2 + active));
        EXPECT_TRUE(lines[1].startsWith(QStringLiteral("  容错5个（最多5个条件不满足）：开奖号码通过")))
            << lines[1].toStdString();
        EXPECT_TRUE(lines[3].startsWith(QStringLiteral("  近3期重码 2-3："))) << lines[3].toStdString();
        EXPECT_TRUE(lines[5].startsWith(QStringLiteral("  最长连号 1,3："))) << lines[5].toStdString();
        EXPECT_TRUE(lines[12].startsWith(QStringLiteral("  第1区个数（共4区）1-2："))) << lines[12].toStdString();
        EXPECT_TRUE(lines[15].startsWith(QStringLiteral("  胆码组1 1 2 3 4 中1-2："))) << lines[15].toStdString();
    }
}

// The shared-prefix path with the newer conditions on larger games: every ticket judged as the
// ticket-by-ticket test judges it, with random ranges, zone counts and groups.
TEST(FilterConditions, SharedPrefixJudgesNewConditionsAsEachTicketAlone)
{
    RandomSource random(4242);
    for (const int n : {20, 36}) {
        const int m = n == 20 ? 5 : 7;
        for (int round = 0; round < 4; ++round) {
            FilterInputs inputs;
            inputs.n = n;
            inputs.m = m;
            for (int j = 0; j < m * 4; ++j)
                inputs.recentDraws.push_back(random.between(1, n));
            inputs.latestDraw.assign(inputs.recentDraws.end() - m, inputs.recentDraws.end());
            const auto bounds = [&](int lo, int hi) {
                const int a = random.between(lo, hi);
                return FilterBounds {a, a + random.between(0, (hi - lo) / 2), {{hi, hi}}};
            };
            TotalFilterConditions c;
            c.sum = bounds(m * (m + 1) / 2, m * n - m * (m - 1) / 2);
            c.repeat = bounds(0, m);
            c.repeatRecent = bounds(0, m);
            c.repeatPeriods = random.between(1, 4);
            c.consecutive = bounds(0, m - 1);
            c.longestRun = bounds(1, m);
            c.tailCount = bounds(1, std::min(m, 10));
            c.tailSum = bounds(0, 9 * m);
            c.road0 = bounds(0, m);
            c.road1 = bounds(0, m);
            c.road2 = bounds(0, m);
            c.primes = bounds(0, m);
            c.zoneCount = random.between(2, 12);
            for (int z = 0; z < c.zoneCount; ++z)
                c.zones.push_back(random.below(2) == 1 ? std::optional(bounds(0, 2)) : std::nullopt);
            c.bankerGroups = {{{random.between(1, n), random.between(1, n), 70}, bounds(0, 2)},
                {{random.between(1, n), random.between(1, n)}, bounds(0, 1)}};
            const TicketTester tester(inputs, c, true);
            ASSERT_TRUE(tester.prefixServes());
            const TicketSet tickets = TicketSet::lexicographic(n, m);
            qint64 differing = 0;
            tickets.forRange(0, std::min<qint64>(tickets.rowCount(), 200000), [&](qint64, const int *t) {
                differing += tester.failuresAfter(tester.prefix(t), t) != tester.failures(t) ? 1 : 0;
            });
            EXPECT_EQ(differing, 0) << n << " choose " << m << " round " << round;
        }
    }
}
