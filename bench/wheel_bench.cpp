// Wheeling matrices: checking the largest designs and computing a design on request.
#include "bench_support.h"

#include "tickets/wheel_design.h"

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

// A greedy design of (21, 7, 7, 6): larger than any shipped design, so its check bounds the
// check of every shipped one.
const std::vector<WheelMask> &LargeDesign()
{
    static const std::vector<WheelMask> tickets = [] {
        WheelSearchOptions greedyOnly;
        greedyOnly.maxMoves = 0;
        greedyOnly.restarts = 1;
        return GenerateWheel({21, 7, 7, 6}, greedyOnly).tickets;
    }();
    return tickets;
}

void BM_VerifyLargestDesign(benchmark::State &state)
{
    const std::vector<WheelMask> &tickets = LargeDesign();
    for (auto _ : state) {
        const WheelCheck check = VerifyWheel({21, 7, 7, 6}, tickets);
        if (!check.holds)
            state.SkipWithError("the design does not hold");
    }
    state.counters["tickets"] = double(tickets.size());
}
BENCHMARK(BM_VerifyLargestDesign)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The most draws (C(21, 8) = 203490) against a design of a few hundred tickets.
void BM_VerifyMostDraws(benchmark::State &state)
{
    static const std::vector<WheelMask> tickets = [] {
        WheelSearchOptions greedyOnly;
        greedyOnly.maxMoves = 0;
        greedyOnly.restarts = 1;
        return GenerateWheel({21, 7, 8, 6}, greedyOnly).tickets;
    }();
    for (auto _ : state)
        benchmark::DoNotOptimize(VerifyWheel({21, 7, 8, 6}, tickets).holds);
    state.counters["tickets"] = double(tickets.size());
}
BENCHMARK(BM_VerifyMostDraws)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// A design computed on request as the wheel window does (20 s allowed, the method the window
// would pick), for designs of about 200 tickets; the counter gives the size reached against the
// best known one.
void BM_ComputeOnRequest(benchmark::State &state)
{
    const WheelParams p {int(state.range(0)), int(state.range(1)), int(state.range(2)), int(state.range(3))};
    std::size_t size = 0;
    for (auto _ : state) {
        WheelSearchOptions options;
        options.method = PreferredWheelMethod(p);
        options.seed = 1;
        options.seconds = 20;
        options.maxMoves = std::numeric_limits<qint64>::max();
        const WheelSearchResult result = GenerateWheel(p, options);
        size = result.tickets.size();
        if (!VerifyWheel(p, result.tickets).holds)
            state.SkipWithError("the design does not hold");
    }
    state.counters["tickets"] = double(size);
    state.counters["best_known"] = double(state.range(4));
}
BENCHMARK(BM_ComputeOnRequest)
    ->Args({18, 7, 6, 5, 198})
    ->Args({21, 7, 7, 5, 202})
    ->Args({20, 6, 5, 4, 176})
    ->Args({16, 6, 6, 5, 259})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
