// The investment mode analysis on the real 福彩3D history (8374 draws) with 100 random 直选
// tickets: one analysis, and the full settings search in interval mode (25500 trials) on one
// thread and on all cores.
#include "bench_support.h"

#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "invest/investment_search.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

const HitHistory &History3d()
{
    static const HitHistory history = [] {
        bench::BenchHome home;
        ImportDrawFile(home.store(), QStringLiteral("福彩3D"), QStringLiteral(LUMARO_HISTORIES "/fc3d.csv"));
        OpenLottery lottery;
        lottery.open(home.store(), QStringLiteral("福彩3D"));
        RandomSource random(1);
        return HitHistory(
            BuildHitGapTable(lottery, PlayType::Direct, GenerateBetTickets(PlayType::Direct, 100, random)));
    }();
    return history;
}

// Settings that run through the whole history: bets of up to 5 draws after 2 hits 5 draws apart,
// no loss carried (a carried loss soon breaks the money limits and ends the replay early).
InvestSettings WalkingSettings()
{
    InvestSettings s;
    s.carryLoss = false;
    s.bets = 5;
    s.gap = 5;
    s.streak = 2;
    s.wait = 1;
    return s;
}

void BM_OneAnalysis(benchmark::State &state)
{
    const HitHistory &history = History3d();
    const InvestSettings s = WalkingSettings();
    std::size_t rows = 0;
    for (auto _ : state) {
        const AnalysisResult result = RunInvestmentAnalysis(history, s);
        rows = result.rows.size();
        benchmark::DoNotOptimize(result.totalGain);
    }
    state.counters["cycles"] = static_cast<double>(rows);
}
BENCHMARK(BM_OneAnalysis)->Unit(benchmark::kMillisecond);

void BM_FullSearch(benchmark::State &state)
{
    const HitHistory &history = History3d();
    InvestSettings s;
    s.gap = 5;
    for (auto _ : state) {
        const SearchResult result = RunInvestmentSearch(history, s, {}, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(result.bestTotal);
    }
}
BENCHMARK(BM_FullSearch)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace
