#pragma once

#include "common/progress.h"

#include <QString>

#include <cstdint>
#include <vector>

// Lotto designs ("wheels"): tickets of t of the positions 1..b such that whenever c of the b
// positions are drawn, some ticket holds at least k of them. With c == k this is a covering
// design. A ticket (and a draw) is a bit mask: position p is bit p - 1.
namespace lumaro {

// The largest number of base positions a design can have (a table of 2^b counters is kept).
constexpr int kWheelMaxBase = 21;

struct WheelParams {
    int b = 0; // base positions
    int t = 0; // positions per ticket
    int c = 0; // positions drawn
    int k = 0; // positions guaranteed in some ticket

    bool operator==(const WheelParams &) const = default;
};

using WheelMask = std::uint32_t;

// Why no design of these parameters can exist, or an empty text when one can:
// 1 <= k <= t <= b, k <= c <= b, b <= kWheelMaxBase.
QString WheelParamsProblem(const WheelParams &p);

// A size no design of these parameters can go below, and the exact size where it is known
// (one ticket, two tickets, k = 1); exact is 0 when it is not.
struct WheelBounds {
    int lower = 1;
    int exact = 0;
};
WheelBounds WheelSizeBounds(const WheelParams &p);

struct WheelCheck {
    bool holds = false;
    bool cancelled = false;
    qint64 draws = 0; // c-subsets of the b positions
    qint64 uncovered = 0; // draws with no ticket holding k of them
    WheelMask firstUncovered = 0; // the first of them in ascending mask order, 0 when none
};

// Exhaustive check: every c-subset of the b positions against every ticket. Tickets must be
// masks of t positions below bit b (a malformed ticket simply covers what it covers).
WheelCheck VerifyWheel(const WheelParams &p, const std::vector<WheelMask> &tickets, const Progress &progress = {});

// How a design is searched for: annealing over the uncovered draws at a falling ticket count,
// or row weighting (the design as a set cover, see wheel_weighting.h), which reaches smaller
// designs for most lotto designs and for the larger covering designs.
enum class WheelMethod { Annealing, RowWeighting };

// Tickets that hold k positions of one draw, what one row-weighting step pays per uncovered
// draw; and the method that serves a design best within a time limit: row weighting where a
// step stays cheap, annealing elsewhere.
qint64 WheelTicketsPerDraw(const WheelParams &p);
WheelMethod PreferredWheelMethod(const WheelParams &p);

struct WheelSearchOptions {
    WheelMethod method = WheelMethod::Annealing;
    std::uint64_t seed = 1;
    // Upper limit of annealing moves (or row-weighting steps) in all; the run is reproducible
    // from method, seed and moves alone.
    qint64 maxMoves = 20'000'000;
    // A ticket count not reached within this many moves ends the run (0: no such limit).
    qint64 levelMoves = 0;
    // Wall-clock limit in seconds; 0 for none (then only maxMoves ends the run).
    double seconds = 0;
    // Stop as soon as a design of this many tickets is found (0: the known lower bound).
    int targetSize = 0;
    // Independent restarts for small designs; the best result wins.
    int restarts = 0; // 0: chosen by the size of the design
};

struct WheelSearchResult {
    std::vector<WheelMask> tickets; // ascending order of the sorted position lists
    bool cancelled = false;
    qint64 moves = 0;
};

// Greedy start, then simulated annealing over the number of uncovered draws at a fixed ticket
// count; whenever the count of uncovered draws reaches zero, the weakest ticket is dropped and
// the search goes on with one ticket less. Returns the smallest complete design found (empty
// only when cancelled before the greedy start was complete). Progress reports the current
// ticket count as done and the greedy size as total.
WheelSearchResult GenerateWheel(const WheelParams &p, const WheelSearchOptions &options, const Progress &progress = {});

// The positions (1..b) of a mask, ascending.
std::vector<int> WheelPositions(WheelMask mask);
WheelMask WheelMaskOf(const std::vector<int> &positions);

// Tickets sorted by their position lists, so that equal designs print alike.
void SortWheelTickets(std::vector<WheelMask> &tickets);

} // namespace lumaro
