// The back-tests of the four optimal pickers ("历史统计") over the real 七乐彩 history
// (resources/draws/qlc.csv, 2921 draws) with the windows' default settings, and over 20000
// random 36选7 draws (the history cap).
#include "bench_support.h"

#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "pickers/four_step_picker.h"
#include "pickers/interval_picker.h"
#include "pickers/intimate_picker.h"
#include "pickers/stem_branch_picker.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

const QString kQlc = QStringLiteral("中国福彩七乐彩");
const QString k36 = QStringLiteral("南粤风采36选7");

// The opened 七乐彩 history, or null when the history is not there.
const OpenLottery *qlcLottery()
{
    static bench::BenchHome home;
    static OpenLottery lottery;
    static const bool ready = [] {
        const QString file = QStringLiteral(LUMARO_HISTORIES "/qlc.csv");
        if (!QFileInfo::exists(file))
            return false;
        ImportDrawFile(home.store(), kQlc, file);
        lottery.open(home.store(), kQlc);
        return true;
    }();
    return ready ? &lottery : nullptr;
}

const OpenLottery &capped36()
{
    static bench::BenchHome home;
    static OpenLottery lottery;
    static const bool ready = (bench::addRandomDraws(home.store(), k36, OpenLottery::kMaxDraws, 36, 7, 3),
        lottery.open(home.store(), k36), true);
    (void)ready;
    return lottery;
}

template<class Run>
void runOn(benchmark::State &state, const OpenLottery *lottery, Run run)
{
    if (!lottery) {
        state.SkipWithError("resources/draws/qlc.csv not found");
        return;
    }
    const NumberRange range = NumberRangeOf(*lottery);
    for (auto _ : state) {
        BacktestResult result = run(*lottery, range);
        benchmark::DoNotOptimize(result.rows.data());
    }
    state.counters["draws"] = lottery->drawCount;
}

BacktestResult interval(const OpenLottery &lottery, const NumberRange &range)
{
    return IntervalPicker(lottery.drawTable, range).backtest(IntervalSettings {5, 2 * lottery.m});
}

BacktestResult intimate(const OpenLottery &lottery, const NumberRange &range)
{
    return IntimatePicker(lottery.drawTable, range).backtest(IntimateSettings {false, range.count() / 2, 7});
}

BacktestResult intimateAllPeriods(const OpenLottery &lottery, const NumberRange &range)
{
    return IntimatePicker(lottery.drawTable, range).backtest(IntimateSettings {true, 3, 0});
}

BacktestResult stemBranch(const OpenLottery &lottery, const NumberRange &range)
{
    return StemBranchBacktest(lottery.drawTable, lottery.drawDates, range, false);
}

BacktestResult fourStep(const OpenLottery &lottery, const NumberRange &range)
{
    return FourStepPicker(lottery.drawTable, range).backtest(FourStepSettings {});
}

void BM_IntervalBacktestQlc(benchmark::State &state)
{
    runOn(state, qlcLottery(), interval);
}
void BM_IntimateBacktestQlc(benchmark::State &state)
{
    runOn(state, qlcLottery(), intimate);
}
void BM_IntimateAllPeriodsPerPositionQlc(benchmark::State &state)
{
    runOn(state, qlcLottery(), intimateAllPeriods);
}
void BM_StemBranchBacktestQlc(benchmark::State &state)
{
    runOn(state, qlcLottery(), stemBranch);
}
void BM_FourStepBacktestQlc(benchmark::State &state)
{
    runOn(state, qlcLottery(), fourStep);
}
void BM_IntervalBacktest20000(benchmark::State &state)
{
    runOn(state, &capped36(), interval);
}
void BM_IntimateBacktest20000(benchmark::State &state)
{
    runOn(state, &capped36(), intimate);
}
void BM_StemBranchBacktest20000(benchmark::State &state)
{
    runOn(state, &capped36(), stemBranch);
}
void BM_FourStepBacktest20000(benchmark::State &state)
{
    runOn(state, &capped36(), fourStep);
}

BENCHMARK(BM_IntervalBacktestQlc)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IntimateBacktestQlc)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IntimateAllPeriodsPerPositionQlc)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StemBranchBacktestQlc)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FourStepBacktestQlc)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IntervalBacktest20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IntimateBacktest20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StemBranchBacktest20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FourStepBacktest20000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
