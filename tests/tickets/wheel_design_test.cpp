#include "common/random_source.h"
#include "tickets/wheel_design.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <numeric>

using namespace lumaro;

namespace {

std::vector<WheelMask> Masks(const std::vector<std::vector<int>> &lists)
{
    std::vector<WheelMask> out;
    for (const std::vector<int> &l : lists)
        out.push_back(WheelMaskOf(l));
    return out;
}

// The Fano plane: every pair of 1..7 lies in exactly one line.
const std::vector<std::vector<int>> kFano
    = {{1, 2, 4}, {2, 3, 5}, {3, 4, 6}, {4, 5, 7}, {1, 5, 6}, {2, 6, 7}, {1, 3, 7}};

void ExpectWellFormed(const WheelParams &p, const std::vector<WheelMask> &tickets)
{
    for (WheelMask t : tickets) {
        EXPECT_EQ(std::popcount(t), p.t);
        EXPECT_EQ(t >> p.b, 0u);
    }
}

} // namespace

TEST(WheelVerify, HoldsForCompleteDesignsAndNamesTheFirstMiss)
{
    const WheelParams fano {7, 3, 2, 2};
    WheelCheck check = VerifyWheel(fano, Masks(kFano));
    EXPECT_TRUE(check.holds);
    EXPECT_EQ(check.draws, 21);
    EXPECT_EQ(check.uncovered, 0);

    // Without the line 1 2 4 its three pairs are uncovered; 1 2 comes first in mask order.
    std::vector<std::vector<int>> six(kFano.begin() + 1, kFano.end());
    check = VerifyWheel(fano, Masks(six));
    EXPECT_FALSE(check.holds);
    EXPECT_EQ(check.uncovered, 3);
    EXPECT_EQ(WheelPositions(check.firstUncovered), (std::vector<int> {1, 2}));

    // Two disjoint tickets of three: any three of six numbers put two in one of them, but a
    // seventh base number breaks that (1 4 7 meets each ticket once).
    const std::vector<WheelMask> halves = Masks({{1, 2, 3}, {4, 5, 6}});
    EXPECT_TRUE(VerifyWheel({6, 3, 3, 2}, halves).holds);
    check = VerifyWheel({7, 3, 3, 2}, halves);
    EXPECT_FALSE(check.holds);
    EXPECT_EQ(check.uncovered, 9); // one of 1 2 3, one of 4 5 6, and 7
    EXPECT_EQ(WheelPositions(check.firstUncovered), (std::vector<int> {1, 4, 7}));

    EXPECT_FALSE(VerifyWheel({5, 2, 2, 2}, {}).holds);
}

// Both ways of checking (marking the draws of each ticket, or testing each draw against the
// tickets) agree with counting by hand over random designs.
TEST(WheelVerify, AgreesWithAPlainCountOverRandomDesigns)
{
    const WheelParams params[] = {{9, 4, 4, 3}, {12, 6, 5, 2}, {10, 5, 5, 5}, {13, 3, 6, 2}, {8, 7, 8, 7}};
    RandomSource rng(11);
    for (const WheelParams &p : params) {
        for (int size : {1, 4, 30}) {
            SCOPED_TRACE(testing::Message() << p.b << " " << p.t << " " << p.c << " " << p.k << " x" << size);
            std::vector<WheelMask> tickets;
            for (int i = 0; i < size; ++i) {
                std::vector<int> all(std::size_t(p.b));
                std::iota(all.begin(), all.end(), 1);
                for (int j = 0; j < p.t; ++j)
                    std::swap(all[std::size_t(j)], all[std::size_t(j + rng.below(p.b - j))]);
                tickets.push_back(WheelMaskOf(std::vector<int>(all.begin(), all.begin() + p.t)));
            }
            qint64 uncovered = 0;
            WheelMask first = 0;
            for (WheelMask d = 1; d < (WheelMask(1) << p.b); ++d) {
                if (std::popcount(d) != p.c)
                    continue;
                const bool hit = std::any_of(
                    tickets.begin(), tickets.end(), [&](WheelMask t) { return std::popcount(t & d) >= p.k; });
                if (!hit && uncovered++ == 0)
                    first = d;
            }
            const WheelCheck check = VerifyWheel(p, tickets);
            EXPECT_EQ(check.uncovered, uncovered);
            EXPECT_EQ(check.firstUncovered, first);
            EXPECT_EQ(check.holds, uncovered == 0);
        }
    }
}

TEST(WheelVerify, StopsWhenCancelled)
{
    std::atomic_bool cancel {true};
    Progress progress;
    progress.cancel = &cancel;
    const WheelCheck check = VerifyWheel({21, 6, 8, 5}, Masks({{1, 2, 3, 4, 5, 6}}), progress);
    EXPECT_TRUE(check.cancelled);
    EXPECT_FALSE(check.holds);
}

TEST(WheelBounds, KnownSizesAndLowerLimits)
{
    // One ticket exactly when b <= t + c - k.
    EXPECT_EQ(WheelSizeBounds({10, 6, 6, 2}).exact, 1);
    EXPECT_EQ(WheelSizeBounds({11, 6, 6, 2}).exact, 2); // two disjoint tickets
    // k = 1: tickets must meet every draw, so they cover b - c + 1 numbers.
    EXPECT_EQ(WheelSizeBounds({21, 5, 3, 1}).exact, 4);
    EXPECT_EQ(WheelSizeBounds({20, 5, 1, 1}).exact, 4);
    // Schönheim bound, tight for Steiner systems.
    EXPECT_EQ(WheelSizeBounds({7, 3, 2, 2}).lower, 7);
    EXPECT_EQ(WheelSizeBounds({12, 6, 5, 5}).lower, 132);
    EXPECT_EQ(WheelSizeBounds({8, 4, 3, 3}).lower, 14);
    EXPECT_EQ(WheelSizeBounds({6, 3, 3, 2}).exact, 2);
    EXPECT_EQ(WheelSizeBounds({7, 3, 3, 2}).exact, 0);
    EXPECT_EQ(WheelSizeBounds({7, 3, 3, 2}).lower, 3); // each ticket covers 13 of the 35 draws

    EXPECT_TRUE(WheelParamsProblem({10, 6, 6, 5}).isEmpty());
    EXPECT_FALSE(WheelParamsProblem({10, 6, 5, 6}).isEmpty()); // k above c
    EXPECT_FALSE(WheelParamsProblem({10, 4, 6, 5}).isEmpty()); // k above t
    EXPECT_FALSE(WheelParamsProblem({5, 6, 3, 3}).isEmpty()); // ticket larger than the base
    EXPECT_FALSE(WheelParamsProblem({22, 6, 6, 5}).isEmpty());
    EXPECT_FALSE(WheelParamsProblem({10, 0, 0, 0}).isEmpty());

    // 1 + 5 * 9 tickets share four of a draw's five positions; over two thousand share five of seven.
    EXPECT_EQ(WheelTicketsPerDraw({14, 5, 5, 4}), 46);
    EXPECT_EQ(WheelTicketsPerDraw({21, 7, 7, 5}), 2010);
    EXPECT_EQ(PreferredWheelMethod({14, 5, 5, 4}), WheelMethod::RowWeighting);
    EXPECT_EQ(PreferredWheelMethod({21, 7, 7, 5}), WheelMethod::Annealing);
}

TEST(WheelGenerate, SmallDesignsHoldAndReachKnownOptima)
{
    struct Case {
        WheelParams p;
        int best; // proven optimum
    };
    const Case cases[] = {
        {{7, 3, 2, 2}, 7}, // Fano plane
        {{8, 4, 3, 3}, 14}, // Steiner quadruple system
        {{9, 3, 2, 2}, 12}, // affine plane of order 3
        {{6, 5, 4, 4}, 5}, {{6, 3, 3, 2}, 2}, {{10, 5, 5, 3}, 2}, {{12, 4, 4, 2}, 3}, {{15, 5, 6, 1}, 2},
        {{9, 6, 7, 4}, 1}, {{5, 3, 3, 3}, 10}, // every triple
        {{17, 5, 3, 3}, 68}, // inversive plane of order 4: each triple on one ticket
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.b << " " << c.p.t << " " << c.p.c << " " << c.p.k);
        WheelSearchOptions options;
        options.seed = 7;
        options.maxMoves = 2'000'000;
        const WheelSearchResult result = GenerateWheel(c.p, options);
        ExpectWellFormed(c.p, result.tickets);
        EXPECT_TRUE(VerifyWheel(c.p, result.tickets).holds);
        EXPECT_EQ(int(result.tickets.size()), c.best);
    }
}

TEST(WheelGenerate, LottoDesignsHoldAndTheSeedReplaysTheRun)
{
    const WheelParams params[] = {{12, 6, 6, 4}, {11, 5, 5, 4}, {13, 4, 6, 3}, {10, 7, 8, 6}};
    for (const WheelParams &p : params) {
        SCOPED_TRACE(testing::Message() << p.b << " " << p.t << " " << p.c << " " << p.k);
        WheelSearchOptions options;
        options.seed = 42;
        options.maxMoves = 60'000;
        const WheelSearchResult first = GenerateWheel(p, options);
        ExpectWellFormed(p, first.tickets);
        EXPECT_TRUE(VerifyWheel(p, first.tickets).holds);
        EXPECT_GE(int(first.tickets.size()), WheelSizeBounds(p).lower);
        EXPECT_EQ(GenerateWheel(p, options).tickets, first.tickets);
        // Sorted by their position lists.
        for (std::size_t i = 1; i < first.tickets.size(); ++i)
            EXPECT_LT(WheelPositions(first.tickets[i - 1]), WheelPositions(first.tickets[i]));
    }
}

TEST(WheelGenerate, RowWeightingReachesKnownOptimaAndReplays)
{
    struct Case {
        WheelParams p;
        int best;
    };
    const Case cases[] = {
        {{7, 3, 2, 2}, 7}, // Fano plane
        {{8, 4, 3, 3}, 14}, // Steiner quadruple system
        {{9, 5, 4, 4}, 30},
        {{10, 5, 5, 4}, 14},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.b << " " << c.p.t << " " << c.p.c << " " << c.p.k);
        WheelSearchOptions options;
        options.method = WheelMethod::RowWeighting;
        options.seed = 3;
        options.maxMoves = 50'000;
        const WheelSearchResult first = GenerateWheel(c.p, options);
        ExpectWellFormed(c.p, first.tickets);
        EXPECT_TRUE(VerifyWheel(c.p, first.tickets).holds);
        EXPECT_EQ(int(first.tickets.size()), c.best);
        EXPECT_LE(first.moves, options.maxMoves);
        EXPECT_EQ(GenerateWheel(c.p, options).tickets, first.tickets);
    }
}

TEST(WheelGenerate, BothMethodsStopOnCancelTimeAndTarget)
{
    for (const WheelMethod method : {WheelMethod::Annealing, WheelMethod::RowWeighting}) {
        SCOPED_TRACE(method == WheelMethod::Annealing ? "annealing" : "row weighting");
        WheelSearchOptions options;
        options.method = method;
        std::atomic_bool cancel {true};
        Progress cancelled;
        cancelled.cancel = &cancel;
        EXPECT_TRUE(GenerateWheel({14, 6, 5, 5}, options, cancelled).cancelled);

        // An impossible target: the time limit ends the search with the best design found.
        options.seconds = 0.3;
        options.maxMoves = std::numeric_limits<qint64>::max();
        options.targetSize = 1;
        qint64 lastDone = 0;
        Progress report;
        report.report = [&](qint64 done, qint64) { lastDone = done; };
        const WheelSearchResult timed = GenerateWheel({10, 5, 4, 4}, options, report);
        EXPECT_FALSE(timed.cancelled);
        EXPECT_TRUE(VerifyWheel({10, 5, 4, 4}, timed.tickets).holds);
        EXPECT_EQ(lastDone, qint64(timed.tickets.size()));

        // A reachable target ends it at once.
        options.seconds = 0;
        options.targetSize = 60;
        const WheelSearchResult early = GenerateWheel({10, 5, 4, 4}, options);
        EXPECT_LE(int(early.tickets.size()), 60);
        EXPECT_GE(int(early.tickets.size()), 51);
        EXPECT_TRUE(VerifyWheel({10, 5, 4, 4}, early.tickets).holds);
    }
}
