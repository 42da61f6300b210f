#include "common/errors.h"
#include "pickers/exclusion_engine.h"
#include "pickers/exclusion_follow.h"
#include "pickers/exclusion_history.h"
#include "pickers/exclusion_run.h"
#include "support/test_home.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <numeric>
#include <random>
#include <thread>

using namespace lumaro;

namespace {

// A random lotto history: count draws of m distinct numbers out of 1..n.
ValueRows RandomHistory(int n, int m, int count, unsigned seed)
{
    std::mt19937 engine(seed);
    ValueRows rows(count, m);
    std::vector<int> numbers(static_cast<std::size_t>(n));
    for (int t = 0; t < count; ++t) {
        std::iota(numbers.begin(), numbers.end(), 1);
        std::shuffle(numbers.begin(), numbers.end(), engine);
        std::copy(numbers.begin(), numbers.begin() + m, rows.row(t));
    }
    return rows;
}

ValueRows RowsOf(const std::vector<std::vector<int>> &draws)
{
    ValueRows rows(static_cast<int>(draws.size()), static_cast<int>(draws.front().size()));
    for (std::size_t t = 0; t < draws.size(); ++t)
        std::copy(draws[t].begin(), draws[t].end(), rows.row(static_cast<int>(t)));
    return rows;
}

// The ranking at t written out the slow way: hits counted over the stage, omission found by
// scanning back, then the exchange sort with the comparisons spelled out.
std::vector<int> NaiveRanks(const ValueRows &draws, const LabelShuffle &shuffle, int stage, RankingKey key, int t)
{
    const int n = shuffle.n;
    std::vector<int> hits(n + 1, 0), omission(n + 1, 0);
    const int from = stage <= 0 ? 0 : std::max(0, t - stage);
    for (int d = from; d < t; ++d)
        for (int j = 0; j < draws.width(); ++j)
            ++hits[shuffle.label(draws.row(d)[j], d)];
    for (int c = 1; c <= n; ++c) {
        for (int d = t - 1; d >= 0 && omission[c] == 0; --d) {
            for (int j = 0; j < draws.width(); ++j) {
                if (shuffle.label(draws.row(d)[j], d) == c)
                    omission[c] = t - d;
            }
        }
    }
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 1);
    auto before = [&](int a, int b) { // a belongs strictly before b
        switch (key) {
        case RankingKey::OmissionThenMoreHits:
            return omission[a] < omission[b] || (omission[a] == omission[b] && hits[a] > hits[b]);
        case RankingKey::HitsThenLongerOmission:
            return hits[a] < hits[b] || (hits[a] == hits[b] && omission[a] > omission[b]);
        case RankingKey::LongerOmissionThenHits:
            return omission[a] > omission[b] || (omission[a] == omission[b] && hits[a] < hits[b]);
        }
        return false;
    };
    for (int i = 0; i < n - 1; ++i)
        for (int j = i + 1; j < n; ++j)
            if (before(order[j], order[i]))
                std::swap(order[i], order[j]);
    std::vector<int> rank(n + 1, 0);
    for (int k = 0; k < n; ++k)
        rank[order[k]] = k + 1;
    return rank;
}

// The random choices of one cycle of the sum, repeat and skew pickers: the stage length, then
// the shuffle.
struct Replay {
    int stage;
    LabelShuffle shuffle;
};
Replay ReplayCycle(std::uint64_t seed, int n, int cur)
{
    RandomSource random(seed);
    const int stage = random.between(1, std::max(1, cur));
    return {stage, LabelShuffle::draw(random, n)};
}

// The relabelled history of a replayed cycle, the slow way.
ValueRows NaiveRelabelledRows(const ValueRows &draws, const Replay &cycle, int end)
{
    ValueRows rows(end, draws.width());
    for (int t = 0; t < end; ++t) {
        const std::vector<int> rank
            = NaiveRanks(draws, cycle.shuffle, cycle.stage, RankingKey::HitsThenLongerOmission, t);
        for (int j = 0; j < draws.width(); ++j)
            rows.row(t)[j] = rank[cycle.shuffle.label(draws.row(t)[j], t)];
    }
    return rows;
}

std::vector<int> TicketOf(const TicketSet &tickets, qint64 row)
{
    std::vector<int> numbers(tickets.width());
    tickets.numbers(row, numbers.data());
    return numbers;
}

PickerHistory HistoryOf(int n, ValueRows draws, int cur)
{
    PickerHistory history;
    history.n = n;
    history.m = draws.width();
    history.draws = std::move(draws);
    history.cur = cur;
    return history;
}

StopRule ByCycles(qint64 cycles)
{
    StopRule stop;
    stop.byTarget = false;
    stop.cycles = cycles;
    return stop;
}

StopRule ByTarget(qint64 target)
{
    StopRule stop;
    stop.byTarget = true;
    stop.target = target;
    return stop;
}

} // namespace

TEST(LabelRanking, EveryLabelKeepsItsNumberAtTheFirstDraw)
{
    const ValueRows draws = RandomHistory(30, 7, 10, 1);
    RandomSource random(5);
    const LabelShuffle shuffle = LabelShuffle::draw(random, 30);
    for (RankingKey key :
        {RankingKey::OmissionThenMoreHits, RankingKey::HitsThenLongerOmission, RankingKey::LongerOmissionThenHits}) {
        LabelRanker ranker(draws, shuffle, 3, key);
        ranker.moveTo(0);
        for (int c = 1; c <= 30; ++c)
            EXPECT_EQ(ranker.rank(c), c);
    }
}

TEST(LabelRanking, HandCheckedTiesAndStage)
{
    // Numbers 1..5 with codes 3 1 5 2 4; the draws 2 and 2. Number 2 has label 2 at draw 0 and
    // label 3 at draw 1.
    const ValueRows draws = RowsOf({{2}, {2}});
    const LabelShuffle shuffle = LabelShuffle::fromCodes({3, 1, 5, 2, 4});
    EXPECT_EQ(shuffle.label(2, 0), 2);
    EXPECT_EQ(shuffle.label(2, 1), 3);

    LabelRanker all(draws, shuffle, 0, RankingKey::HitsThenLongerOmission);
    all.moveTo(2);
    EXPECT_EQ(all.hits(2), 1);
    EXPECT_EQ(all.hits(3), 1);
    EXPECT_EQ(all.omission(2), 2);
    EXPECT_EQ(all.omission(3), 1);
    EXPECT_EQ(all.omission(1), 0);
    // The exchange sort is not stable: labels 4 and 5 (no hits) end up behind 1 in this order.
    const std::vector<int> byHits {0, 1, 4, 5, 2, 3};
    for (int c = 1; c <= 5; ++c)
        EXPECT_EQ(all.rank(c), byHits[c]) << c;

    LabelRanker sum(draws, shuffle, 0, RankingKey::OmissionThenMoreHits);
    sum.moveTo(2);
    const std::vector<int> byOmission {0, 1, 5, 4, 2, 3};
    for (int c = 1; c <= 5; ++c)
        EXPECT_EQ(sum.rank(c), byOmission[c]) << c;

    // A stage of one draw counts only draw 1: label 2 keeps its omission but loses its hit.
    LabelRanker recent(draws, shuffle, 1, RankingKey::HitsThenLongerOmission);
    recent.moveTo(2);
    EXPECT_EQ(recent.hits(2), 0);
    EXPECT_EQ(recent.hits(3), 1);
    const std::vector<int> recentRanks {0, 2, 1, 5, 3, 4};
    for (int c = 1; c <= 5; ++c)
        EXPECT_EQ(recent.rank(c), recentRanks[c]) << c;
}

TEST(LabelRanking, RunningCountsMatchTheDefinitionAtEveryIndex)
{
    int checked = 0;
    for (const auto &[n, m] : std::vector<std::pair<int, int>> {{11, 5}, {30, 7}, {36, 7}}) {
        const ValueRows draws = RandomHistory(n, m, 45, static_cast<unsigned>(n));
        RandomSource random(static_cast<std::uint64_t>(n) * 7);
        for (int offset : {0, -1}) {
            const LabelShuffle shuffle = LabelShuffle::draw(random, n, offset);
            for (int stage : {0, 1, 4, 30, 100}) {
                for (RankingKey key : {RankingKey::OmissionThenMoreHits, RankingKey::HitsThenLongerOmission,
                         RankingKey::LongerOmissionThenHits}) {
                    LabelRanker ranker(draws, shuffle, stage, key);
                    for (int t = 0; t <= draws.rowCount(); ++t) {
                        ranker.moveTo(t);
                        const std::vector<int> expected = NaiveRanks(draws, shuffle, stage, key, t);
                        for (int c = 1; c <= n; ++c)
                            ASSERT_EQ(ranker.rank(c), expected[c]) << "n " << n << " stage " << stage << " t " << t;
                        ++checked;
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(RelabelledHistory, RowsLabelsAndTheValuesOfTheBetPeriod)
{
    const ValueRows draws = RandomHistory(11, 5, 30, 3);
    const LabelShuffle shuffle = LabelShuffle::fromCodes({4, 9, 1, 11, 2, 7, 5, 10, 3, 8, 6});
    const RelabelledHistory ranked
        = BuildRelabelledHistory(draws, shuffle, 6, RankingKey::HitsThenLongerOmission, 30, RelabelledValue::Rank, 20);
    ASSERT_EQ(ranked.rows.rowCount(), 30);
    for (int t : {0, 1, 19, 29}) {
        const std::vector<int> rank = NaiveRanks(draws, shuffle, 6, RankingKey::HitsThenLongerOmission, t);
        for (int j = 0; j < 5; ++j)
            EXPECT_EQ(ranked.rows.row(t)[j], rank[shuffle.label(draws.row(t)[j], t)]);
    }
    // The ticket values are those of index 20 although rows go on to 29.
    const std::vector<int> at20 = NaiveRanks(draws, shuffle, 6, RankingKey::HitsThenLongerOmission, 20);
    for (int x = 1; x <= 11; ++x)
        EXPECT_EQ(ranked.valueOf[x], at20[shuffle.label(x, 20)]);

    const RelabelledHistory labels
        = BuildRelabelledHistory(draws, shuffle, 0, RankingKey::HitsThenLongerOmission, 10, RelabelledValue::Label);
    EXPECT_EQ(labels.rows.row(3)[2], shuffle.label(draws.row(3)[2], 3));
    EXPECT_EQ(labels.valueOf[7], shuffle.label(7, 10));
}

TEST(SumPicker, DefaultBoundsAndTheRelabelledSumTest)
{
    const SumBounds big = SumBoundsFor(36, 7);
    EXPECT_EQ(big.lowest, 28);
    EXPECT_EQ(big.highest, 231);
    EXPECT_EQ(big.lowest + big.upperIndex, 210);
    EXPECT_EQ(big.lowest + big.lowerIndex, 67);
    const SumBounds qlc = SumBoundsFor(30, 7);
    EXPECT_EQ(qlc.lowest + qlc.upperIndex, 172);
    EXPECT_EQ(qlc.lowest + qlc.lowerIndex, 59);

    const PickerHistory history = HistoryOf(11, RandomHistory(11, 5, 40, 9), 40);
    const SumRule rule {36, 24};
    auto member = MakeSumMember(history, rule);
    TicketSet tickets = TicketSet::lexicographic(11, 5);
    RandomSource random(77);
    const CycleOutcome outcome = RunExclusionCycles(tickets, *member, ByCycles(1), random, {});
    EXPECT_EQ(outcome.cycles, 1);

    // The values of the cycle are the ranks at cur of the replayed shuffle, ranked by omission.
    const Replay cycle = ReplayCycle(77, 11, 40);
    EXPECT_EQ(member->stage(), cycle.stage);
    const std::vector<int> rank
        = NaiveRanks(history.draws, cycle.shuffle, cycle.stage, RankingKey::OmissionThenMoreHits, 40);
    qint64 excluded = 0;
    for (qint64 row = 0; row < tickets.rowCount(); ++row) {
        int sum = 0;
        for (int x : TicketOf(tickets, row))
            sum += rank[cycle.shuffle.label(x, 40)];
        const bool out = sum >= rule.upper || sum <= rule.lower;
        EXPECT_EQ(tickets.state(row), out ? 1 : 0) << row;
        excluded += out ? 1 : 0;
    }
    EXPECT_GT(excluded, 0);
    EXPECT_EQ(outcome.alive, tickets.rowCount() - excluded);
}

TEST(ExclusionRun, TargetCyclesAndFinishingInTheMiddleOfAPass)
{
    const PickerHistory history = HistoryOf(11, RandomHistory(11, 5, 40, 2), 40);
    // Bounds that exclude most tickets in every cycle.
    auto member = MakeSumMember(history, SumRule {31, 29});

    // A target at least the ticket count: the first exclusion ends the run.
    TicketSet tickets = TicketSet::lexicographic(11, 5);
    RandomSource random(1);
    CycleOutcome outcome = RunExclusionCycles(tickets, *member, ByTarget(10000), random, {});
    EXPECT_EQ(outcome.cycles, 1);
    EXPECT_EQ(outcome.alive, 461);
    EXPECT_EQ(tickets.aliveCount(), 461);

    // The pass stops exactly at the target.
    tickets = TicketSet::lexicographic(11, 5);
    outcome = RunExclusionCycles(tickets, *member, ByTarget(100), random, {});
    EXPECT_EQ(outcome.alive, 100);
    EXPECT_EQ(tickets.aliveCount(), 100);

    // No cycle at all with R = 0; R cycles otherwise.
    tickets = TicketSet::lexicographic(11, 5);
    outcome = RunExclusionCycles(tickets, *member, ByCycles(0), random, {});
    EXPECT_EQ(outcome.cycles, 0);
    EXPECT_EQ(outcome.alive, 462);
    outcome = RunExclusionCycles(tickets, *member, ByCycles(3), random, {});
    EXPECT_EQ(outcome.cycles, 3);
    EXPECT_EQ(outcome.alive, tickets.aliveCount());

    // Progress by target runs from 0 to rows - T.
    tickets = TicketSet::lexicographic(11, 5);
    qint64 lastDone = -1;
    qint64 lastTotal = -1;
    const Progress progress {[&](qint64 done, qint64 total) {
        lastDone = done;
        lastTotal = total;
    }};
    RunExclusionCycles(tickets, *member, ByTarget(62), random, progress);
    EXPECT_EQ(lastTotal, 400);
    EXPECT_EQ(lastDone, 400);
}

TEST(ExclusionRun, LongRunsEqualAPlainPassOverTheWholeTableEveryCycle)
{
    // Later passes walk a list of the survivors; the outcome must be that of testing every
    // alive row of the table in order, cycle after cycle, up to the target.
    const PickerHistory history = HistoryOf(12, RandomHistory(12, 5, 50, 31), 50);
    FollowRule follow;
    follow.upper = 4;
    follow.lower = 1;
    const std::vector<std::function<std::unique_ptr<ExclusionMember>()>> members {
        [&] {
            return MakeSumMember(history, SumRule {37, 28});
        },
        [&] {
            return MakeRepeatMember(history, RepeatRule {3, 6});
        },
        [&] { return MakeFollowMember(history, follow); },
    };
    for (const auto &make : members) {
        for (qint64 target : {3, 40, 300}) {
            auto member = make();
            TicketSet tickets = TicketSet::lexicographic(12, 5);
            RandomSource random(17);
            const CycleOutcome outcome = RunExclusionCycles(tickets, *member, ByTarget(target), random, {});

            auto plain = make();
            TicketSet expected = TicketSet::lexicographic(12, 5);
            RandomSource replay(17);
            qint64 alive = expected.rowCount();
            qint64 cycles = 0;
            while (alive > target) {
                ++cycles;
                if (!plain->prepareCycle(replay))
                    continue;
                for (qint64 row = 0; row < expected.rowCount() && alive > target; ++row) {
                    const std::vector<int> numbers = TicketOf(expected, row);
                    if (expected.state(row) == 0 && plain->excludes(numbers.data(), 5)) {
                        expected.setState(row, 1);
                        --alive;
                    }
                }
            }
            EXPECT_EQ(outcome.cycles, cycles);
            EXPECT_EQ(outcome.alive, target);
            for (qint64 row = 0; row < expected.rowCount(); ++row)
                ASSERT_EQ(tickets.state(row), expected.state(row)) << "target " << target << " row " << row;
        }
    }
}

TEST(ExclusionRun, StopEndsTheRunAtOnceAndWritesNothing)
{
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("temp.txt"));
    test::WriteFile(list, "previous list\r\n");
    const PickerHistory history = HistoryOf(30, RandomHistory(30, 7, 60, 4), 60);
    auto member = MakeSumMember(history, SumRule {1000, 0}); // never excludes: only a stop ends it
    PickerTickets tickets;
    std::atomic_bool cancel {false};
    int reports = 0;
    const Progress progress {[&](qint64, qint64) {
                                 if (++reports == 40)
                                     cancel = true;
                             },
        &cancel};
    RandomSource random(3);
    const PickerRunResult result
        = RunPicker(tickets, history, ExclusionKind::Sum, *member, ByTarget(10), random, list, progress);
    EXPECT_TRUE(result.cancelled);
    EXPECT_GE(result.cycles, 1);
    EXPECT_EQ(test::ReadFile(list), QByteArray("previous list\r\n"));
    EXPECT_TRUE(tickets.pending());
    EXPECT_EQ(tickets.table().rowCount(), 2035800); // not compacted
}

TEST(SkewPicker, CyclesWithoutTriggersExcludeNothingAndStayStoppable)
{
    const PickerHistory history = HistoryOf(11, RandomHistory(11, 5, 30, 6), 30);
    SkewRule never;
    never.high = 6; // more big numbers than a draw has
    never.low = -1;
    never.highFrom = never.lowFrom = 2;
    never.highTo = never.lowTo = 2;
    auto member = MakeSkewMember(history, never);
    TicketSet tickets = TicketSet::lexicographic(11, 5);
    RandomSource random(8);
    CycleOutcome outcome = RunExclusionCycles(tickets, *member, ByCycles(25), random, {});
    EXPECT_EQ(outcome.cycles, 25);
    EXPECT_EQ(outcome.alive, 462);

    // With a target the cycles would go on for ever: the cancel flag ends them.
    std::atomic_bool cancel {false};
    qint64 reports = 0;
    const Progress progress {[&](qint64, qint64) {
                                 if (++reports == 500)
                                     cancel = true;
                             },
        &cancel};
    outcome = RunExclusionCycles(tickets, *member, ByTarget(10), random, progress);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(tickets.aliveCount(), 462);
}

TEST(SkewPicker, TriggersOverTheRelabelledDrawsAndTheExpectedRanges)
{
    const ValueRows draws = RandomHistory(12, 4, 35, 12);
    for (SkewMode mode : {SkewMode::BigSmall, SkewMode::OddEven}) {
        for (std::uint64_t seed = 1; seed <= 12; ++seed) {
            const PickerHistory history = HistoryOf(12, draws, 35);
            SkewRule rule;
            rule.mode = mode;
            rule.span = 2;
            rule.high = 2;
            rule.highFrom = 0;
            rule.highTo = 2;
            rule.low = 2;
            rule.lowFrom = 2;
            rule.lowTo = 4;
            auto member = MakeSkewMember(history, rule);
            TicketSet tickets = TicketSet::lexicographic(12, 4);
            RandomSource random(seed);
            RunExclusionCycles(tickets, *member, ByCycles(1), random, {});

            const Replay cycle = ReplayCycle(seed, 12, 35);
            const ValueRows relabelled = NaiveRelabelledRows(draws, cycle, 35);
            bool high = true;
            bool low = true;
            for (int k : {34, 33}) {
                const int count = SkewCount(relabelled.row(k), 4, 12, mode);
                high = high && count >= 2;
                low = low && count <= 2;
            }
            const std::vector<int> rank
                = NaiveRanks(draws, cycle.shuffle, cycle.stage, RankingKey::HitsThenLongerOmission, 35);
            for (qint64 row = 0; row < tickets.rowCount(); ++row) {
                std::vector<int> values;
                for (int x : TicketOf(tickets, row))
                    values.push_back(rank[cycle.shuffle.label(x, 35)]);
                const int c = SkewCount(values.data(), 4, 12, mode);
                const bool out = (high && (c < 0 || c > 2)) || (low && (c < 2 || c > 4));
                ASSERT_EQ(tickets.state(row), out ? 1 : 0) << "seed " << seed << " row " << row;
            }
        }
    }
    // 12 div 2 = 6 counts as big.
    const int six[] = {6, 1, 2, 3};
    EXPECT_EQ(SkewCount(six, 4, 12, SkewMode::BigSmall), 1);
    EXPECT_EQ(SkewCount(six, 4, 12, SkewMode::OddEven), 2);
}

TEST(RepeatPicker, RepeatsAgainstTheLastRelabelledDraws)
{
    const ValueRows draws = RandomHistory(11, 5, 30, 21);
    for (std::uint64_t seed : {2u, 9u, 31u}) {
        const PickerHistory history = HistoryOf(11, draws, 24); // an earlier period: draws 24.. unused
        const RepeatRule rule {3, 4};
        auto member = MakeRepeatMember(history, rule);
        TicketSet tickets = TicketSet::lexicographic(11, 5);
        RandomSource random(seed);
        RunExclusionCycles(tickets, *member, ByCycles(1), random, {});

        const Replay cycle = ReplayCycle(seed, 11, 24);
        const ValueRows relabelled = NaiveRelabelledRows(draws, cycle, 24);
        const std::vector<int> rank
            = NaiveRanks(draws, cycle.shuffle, cycle.stage, RankingKey::HitsThenLongerOmission, 24);
        qint64 excluded = 0;
        for (qint64 row = 0; row < tickets.rowCount(); ++row) {
            int most = 0;
            for (int k = 23; k >= 20; --k) {
                int hits = 0;
                for (int x : TicketOf(tickets, row)) {
                    const int r = rank[cycle.shuffle.label(x, 24)];
                    hits += std::count(relabelled.row(k), relabelled.row(k) + 5, r) > 0 ? 1 : 0;
                }
                most = std::max(most, hits);
            }
            ASSERT_EQ(tickets.state(row), most >= 3 ? 1 : 0) << row;
            excluded += most >= 3 ? 1 : 0;
        }
        EXPECT_GT(excluded, 0);
    }
}

TEST(RepeatPicker, MoreRecentDrawsThanOneWordOfLanes)
{
    // 70 recent draws do not fit the 64 lanes of the quick count: the slow path must agree.
    const ValueRows draws = RandomHistory(11, 5, 80, 8);
    const PickerHistory history = HistoryOf(11, draws, 80);
    auto member = MakeRepeatMember(history, RepeatRule {5, 70});
    TicketSet tickets = TicketSet::lexicographic(11, 5);
    RandomSource random(5);
    RunExclusionCycles(tickets, *member, ByCycles(1), random, {});
    const Replay cycle = ReplayCycle(5, 11, 80);
    const ValueRows relabelled = NaiveRelabelledRows(draws, cycle, 80);
    const std::vector<int> rank = NaiveRanks(draws, cycle.shuffle, cycle.stage, RankingKey::HitsThenLongerOmission, 80);
    for (qint64 row = 0; row < tickets.rowCount(); ++row) {
        bool out = false;
        for (int k = 79; k >= 10 && !out; --k) {
            int hits = 0;
            for (int x : TicketOf(tickets, row))
                hits += std::count(relabelled.row(k), relabelled.row(k) + 5, rank[cycle.shuffle.label(x, 80)]) > 0;
            out = hits >= 5;
        }
        ASSERT_EQ(tickets.state(row), out ? 1 : 0) << row;
    }

    // The lane counts themselves, against plain counting.
    std::mt19937 engine(4);
    for (int trial = 0; trial < 200; ++trial) {
        LaneCounter counter;
        std::vector<int> counts(64, 0);
        for (int j = 0; j < 7; ++j) {
            const quint64 lanes = (quint64(engine()) << 32) | engine();
            counter.add(lanes);
            for (int k = 0; k < 64; ++k)
                counts[k] += (lanes >> k) & 1;
        }
        for (int a = -1; a <= 8; ++a) {
            quint64 expected = 0;
            for (int k = 0; k < 64; ++k)
                expected |= quint64(counts[k] >= a ? 1 : 0) << k;
            ASSERT_EQ(counter.atLeast(a), expected) << "a " << a;
        }
    }
}

TEST(ExclusionRun, AnEarlierPeriodLooksOnlyAtTheDrawsBeforeIt)
{
    ValueRows draws = RandomHistory(11, 5, 40, 5);
    ValueRows changed = draws;
    for (int t = 25; t < 40; ++t)
        std::reverse_copy(draws.row(39 - (t - 25)), draws.row(39 - (t - 25)) + 5, changed.row(t));
    changed.row(30)[0] = draws.row(30)[0] == 1 ? 2 : 1;
    QTemporaryDir dir;
    QByteArray lists[2];
    int index = 0;
    for (const ValueRows *rows : {&draws, &changed}) {
        const PickerHistory history = HistoryOf(11, *rows, 25);
        PickerSettings settings;
        settings.kind = ExclusionKind::Repeat;
        settings.repeat = {2, 5};
        settings.stop = ByTarget(50);
        PickerTickets tickets;
        RandomSource random(11);
        const QString path = dir.filePath(QStringLiteral("list%1.txt").arg(index));
        RunPickerSettings(tickets, history, settings, random, path);
        lists[index++] = test::ReadFile(path);
    }
    EXPECT_FALSE(lists[0].isEmpty());
    EXPECT_EQ(lists[0], lists[1]);
}

TEST(PickerTickets, SumRunsStartAfreshRepeatRunsNarrowAndSeedsReplay)
{
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("temp.txt"));
    const PickerHistory history = HistoryOf(11, RandomHistory(11, 5, 40, 14), 40);

    PickerSettings sum;
    sum.kind = ExclusionKind::Sum;
    sum.sum = {33, 27};
    sum.stop = ByTarget(120);
    PickerTickets sumTickets;
    RandomSource random(4);
    PickerRunResult result = RunPickerSettings(sumTickets, history, sum, random, list);
    EXPECT_EQ(result.lines, 120);
    EXPECT_EQ(sumTickets.table().rowCount(), 120); // compacted
    EXPECT_TRUE(sumTickets.pending());
    sum.stop = ByCycles(0);
    result = RunPickerSettings(sumTickets, history, sum, random, list);
    EXPECT_EQ(result.lines, 462); // from all tickets again

    PickerSettings repeat;
    repeat.kind = ExclusionKind::Repeat;
    repeat.repeat = {2, 3};
    repeat.stop = ByTarget(200);
    PickerTickets repeatTickets;
    result = RunPickerSettings(repeatTickets, history, repeat, random, list);
    EXPECT_EQ(result.lines, 200);
    EXPECT_FALSE(repeatTickets.pending());
    const QByteArray first = test::ReadFile(list);
    repeat.stop = ByCycles(0);
    result = RunPickerSettings(repeatTickets, history, repeat, random, list);
    EXPECT_EQ(result.lines, 200);
    EXPECT_EQ(test::ReadFile(list), first);
    repeat.stop = ByTarget(50);
    result = RunPickerSettings(repeatTickets, history, repeat, random, list);
    EXPECT_EQ(result.lines, 50);
    repeatTickets.setPending();
    repeat.stop = ByCycles(0);
    EXPECT_EQ(RunPickerSettings(repeatTickets, history, repeat, random, list).lines, 462);

    // The same seed and inputs give the same list; another seed another one.
    auto listFor = [&](std::uint64_t seed) {
        PickerTickets tickets;
        RandomSource r(seed);
        PickerSettings s = sum;
        s.stop = ByTarget(40);
        RunPickerSettings(tickets, history, s, r, list);
        return test::ReadFile(list);
    };
    EXPECT_EQ(listFor(99), listFor(99));
    EXPECT_NE(listFor(99), listFor(100));
}

TEST(FollowCount, HandCheckedGroupsAndEarlyPeriods)
{
    const ValueRows rows = RowsOf({{1, 2, 3}, {4, 5, 6}, {11, 13, 14}, {7, 8, 9}, {1, 2, 11}});
    // Reference 5: the groups come from row 4 = 1 2 11.
    const int a[] = {4, 5, 7};
    const int b[] = {7, 8, 4};
    EXPECT_EQ(FollowCount(rows, 5, 1, a), 2); // 1 and 2 last seen in row 0, followed by 4 5 6
    EXPECT_EQ(FollowCount(rows, 5, 1, b), 2); // 11 last seen in row 2, followed by 7 8 9
    EXPECT_EQ(FollowCount(rows, 5, 2, a), 2); // only the pair 1 2 occurred before
    EXPECT_EQ(FollowCount(rows, 5, 2, b), 1);
    EXPECT_EQ(FollowCount(rows, 5, 3, b), 0); // 1 2 11 never occurred before
    EXPECT_EQ(FollowCount(rows, 0, 1, a), 0);
    EXPECT_EQ(FollowCount(rows, 1, 1, a), 0);
    EXPECT_EQ(FollowHistory(rows, 1), (std::vector<int> {0, 0, 0, 0, 0}));

    // Against the definition on random rows: every group, the last earlier row holding it.
    const ValueRows random = RandomHistory(11, 5, 40, 17);
    for (int group = 1; group <= 3; ++group) {
        const std::vector<int> history = FollowHistory(random, group);
        for (int r = 0; r < 40; ++r) {
            int best = 0;
            if (r >= 1) {
                const int *last = random.row(r - 1);
                std::vector<int> pick(5, 0);
                std::fill(pick.begin(), pick.begin() + group, 1);
                std::sort(pick.begin(), pick.end());
                do {
                    std::vector<int> g;
                    for (int j = 0; j < 5; ++j)
                        if (pick[j])
                            g.push_back(last[j]);
                    for (int j = r - 2; j >= 0; --j) {
                        const int *row = random.row(j);
                        if (std::all_of(g.begin(), g.end(), [&](int v) { return std::count(row, row + 5, v) > 0; })) {
                            int score = 0;
                            for (int c = 0; c < 5; ++c)
                                score += std::count(random.row(j + 1), random.row(j + 1) + 5, random.row(r)[c]) > 0;
                            best = std::max(best, score);
                            break;
                        }
                    }
                } while (std::next_permutation(pick.begin(), pick.end()));
            }
            ASSERT_EQ(history[r], best) << "group " << group << " r " << r;
        }
    }
}

TEST(FollowPicker, StandardRunsRepeatTheSameTestAndVariantOptionsChooseTheStage)
{
    const ValueRows draws = RandomHistory(11, 5, 50, 23);
    const PickerHistory history = HistoryOf(11, draws, 50);
    FollowRule rule;
    rule.variant = false;
    rule.group = 2;
    rule.upper = 3;
    rule.lower = 1;
    auto member = MakeFollowMember(history, rule);
    TicketSet once = TicketSet::lexicographic(11, 5);
    RandomSource random(1);
    RunExclusionCycles(once, *member, ByCycles(1), random, {});
    TicketSet five = TicketSet::lexicographic(11, 5);
    RunExclusionCycles(five, *member, ByCycles(5), random, {});
    for (qint64 row = 0; row < once.rowCount(); ++row) {
        const std::vector<int> ticket = TicketOf(once, row);
        const int count = FollowCount(draws, 50, 2, ticket.data());
        ASSERT_EQ(once.state(row), count <= 1 || count >= 3 ? 1 : 0) << row;
        ASSERT_EQ(five.state(row), once.state(row));
    }

    // 排列模式: the ticket values are the labels at cur, no stage.
    rule.variant = true;
    rule.byLabel = true;
    RandomSource labels(6);
    const RelabelledHistory byLabel = BuildFollowRelabelling(HistoryOf(11, draws, 30), rule, labels, 30);
    RandomSource replay(6);
    const LabelShuffle shuffle = LabelShuffle::draw(replay, 11);
    for (int x = 1; x <= 11; ++x)
        EXPECT_EQ(byLabel.valueOf[x], shuffle.label(x, 30));
    EXPECT_EQ(byLabel.rows.row(7)[1], shuffle.label(draws.row(7)[1], 7));

    rule.byLabel = false;
    auto variant = MakeFollowMember(HistoryOf(11, draws, 30), rule);
    RandomSource stages(2);
    variant->prepareCycle(stages);
    EXPECT_EQ(variant->stage(), 100); // 固定阶段, 有限阶段期数
    rule.maxStage = true;
    variant = MakeFollowMember(HistoryOf(11, draws, 30), rule);
    variant->prepareCycle(stages);
    EXPECT_EQ(variant->stage(), 31); // cur + 1: every earlier draw
    rule.randomStage = true;
    variant = MakeFollowMember(HistoryOf(11, draws, 30), rule);
    for (int i = 0; i < 50; ++i) {
        variant->prepareCycle(stages);
        EXPECT_GE(variant->stage(), 1);
        EXPECT_LE(variant->stage(), 31);
    }
}

TEST(PickerChecks, SettingsRefusedBeforeARun)
{
    EXPECT_THROW(CheckPickerLottery(LotteryKind::Digit, 10, 3, 100, 100), InputError);
    EXPECT_THROW(CheckPickerLottery(LotteryKind::Lotto, 36, 8, 100, 100), InputError);
    EXPECT_THROW(CheckPickerLottery(LotteryKind::Lotto, 36, 2, 100, 100), InputError);
    EXPECT_THROW(CheckPickerLottery(LotteryKind::Lotto, 36, 7, 0, 0), InputError);
    EXPECT_NO_THROW(CheckPickerLottery(LotteryKind::Lotto, 36, 7, 100, 0));

    const PickerHistory early = HistoryOf(11, RandomHistory(11, 5, 20, 1), 5);
    PickerSettings repeat;
    repeat.kind = ExclusionKind::Repeat;
    repeat.repeat = {5, 6};
    try {
        MakeMember(early, repeat);
        FAIL() << "six periods before the sixth draw";
    } catch (const InputError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("重码期数"))) << error.message().toStdString();
    }
    repeat.repeat.periods = 5;
    EXPECT_NO_THROW(MakeMember(early, repeat));
    PickerSettings skew;
    skew.kind = ExclusionKind::Skew;
    skew.skew.span = 0;
    EXPECT_THROW(MakeMember(early, skew), InputError);
    skew.skew.span = 6;
    EXPECT_THROW(MakeMember(early, skew), InputError);

    EXPECT_EQ(FollowGroupSize(QStringLiteral(" 3 ")), 3);
    for (const char *text : {"0", "4", "12", "x", ""})
        EXPECT_THROW(FollowGroupSize(QString::fromLatin1(text)), InputError) << text;
}

TEST(PickerLoad, EachPickerReadsTicketFilesItsOwnWay)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.txt"));
    test::WriteFile(path, "01 02 03\r\n01 02 03\r\n04 05 06\r\n\r\n07 08 09\r\n01 02 03\r\n");
    const TicketSet sum = LoadPickerTickets(path, ExclusionKind::Sum, 11, 3);
    EXPECT_EQ(sum.rowCount(), 4); // repeat dropped, blank line passed over
    EXPECT_EQ(TicketOf(sum, 3), (std::vector<int> {1, 2, 3}));
    EXPECT_EQ(LoadPickerTickets(path, ExclusionKind::Follow, 11, 3).rowCount(), 4);
    const TicketSet skew = LoadPickerTickets(path, ExclusionKind::Skew, 11, 3);
    EXPECT_EQ(skew.rowCount(), 3); // both equal lines kept, nothing after the blank line

    test::WriteFile(path, "01 02 03\r\n04 05 12\r\n");
    EXPECT_THROW(LoadPickerTickets(path, ExclusionKind::Sum, 11, 3), InputError);
    test::WriteFile(path, "01 02 03\r\n04 0x 06\r\n");
    EXPECT_THROW(LoadPickerTickets(path, ExclusionKind::Sum, 11, 3), ConversionError);

    // A loaded table starts alive and is not pending.
    test::WriteFile(path, "01 02 03\r\n04 05 06\r\n07 08 09\r\n");
    PickerTickets tickets;
    TicketSet loaded = LoadPickerTickets(path, ExclusionKind::Skew, 11, 3);
    loaded.setState(0, 1);
    tickets.load(std::move(loaded));
    EXPECT_FALSE(tickets.pending());
    EXPECT_EQ(tickets.table().aliveCount(), 3);
}

TEST(PickerHistoryDisplays, SumsRepeatsSummariesAndTheVariantTable)
{
    const ValueRows rows = RowsOf({{1, 2, 3}, {2, 3, 4}, {5, 6, 7}, {1, 5, 9}});
    EXPECT_EQ(SumHistory(rows), (std::vector<int> {6, 9, 18, 15}));
    EXPECT_EQ(SumSummary(36, 7, SumHistory(rows)),
        QStringLiteral("和值：理论平均值：129.5 理论最小值：28 理论最大值：231 实际最小值：6 实际最大值：18"));
    const std::vector<int> repeats = RepeatHistory(rows, 2);
    EXPECT_EQ(repeats, (std::vector<int> {-1, -1, 0, 1}));
    EXPECT_EQ(RepeatSummary(repeats), QStringLiteral("最大重码个数：1 最小重码个数：0"));
    EXPECT_EQ(RepeatHistory(rows, 1), (std::vector<int> {-1, 2, 0, 1}));

    // The variant display labels draw t with (P(x) + t - 1) mod N + 1: at draw 0 every rank is
    // its label, which is the code itself.
    RandomSource random(42);
    const ValueRows variant = VariantStatisticsRows(rows, 11, 0, random);
    RandomSource replay(42);
    const LabelShuffle shuffle = LabelShuffle::draw(replay, 11, -1);
    for (int j = 0; j < 3; ++j)
        EXPECT_EQ(variant.row(0)[j], shuffle.codes[rows.row(0)[j]]);
}

TEST(PickerFiles, SavedTicketsAndTheProposedName)
{
    EXPECT_EQ(TicketFileFromResultList("0000001    01 02 03 \r\n0000002    04 05 06 \r\n\r\n"),
        QByteArray("01 02 03\r\n04 05 06\r\n"));
    DrawTable draws(2, 3);
    draws.cell(1, 0) = 2006050;
    EXPECT_EQ(ProposedTicketFileName(QStringLiteral("南粤风采36选7"), draws, PickerFileSuffix(ExclusionKind::Repeat)),
        QStringLiteral("南粤风采36选72006051期无穷重码投注号码.txt"));
    EXPECT_EQ(ProposedTicketFileName(QStringLiteral("x"), DrawTable(), PickerFileSuffix(ExclusionKind::Follow)),
        QStringLiteral("x期无穷跟随投注号码.txt"));
}

// As the windows run it: on a worker, with progress read and "停止" pressed on this thread. The
// run is asked for far more cycles than it could finish; the stop ends it and nothing is
// written.
TEST(WorkerThreads, PickerRunOnAWorkerStopsWhenAskedAndWritesNothing)
{
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("temp.txt"));
    const PickerHistory history = HistoryOf(11, RandomHistory(11, 5, 40, 21), 40);
    PickerSettings settings;
    settings.kind = ExclusionKind::Repeat;
    settings.repeat = {2, 5};
    settings.stop = ByCycles(1'000'000'000);
    PickerTickets tickets;
    RandomSource random(3);
    std::atomic_bool cancel {false};
    std::atomic<qint64> reports {0};
    Progress progress;
    progress.cancel = &cancel;
    progress.report = [&](qint64, qint64) { reports.fetch_add(1); };
    PickerRunResult result;
    std::thread worker([&] { result = RunPickerSettings(tickets, history, settings, random, list, progress); });
    while (reports.load() < 3)
        std::this_thread::yield();
    cancel.store(true);
    worker.join();
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(QFileInfo::exists(list));
}
