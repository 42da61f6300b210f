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
const OpenLottery *QlcLottery()
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

const OpenLottery &Capped36()
{
    static bench::BenchHome home;
    static OpenLottery lottery;
    static const bool ready = (bench::AddRandomDraws(home.store(), k36, OpenLottery::kMaxDraws, 36, 7, 3),
        lottery.open(home.store(), k36), true);
    (void)ready;
    return lottery;
}

template<class Run>
void RunOn(benchmark::State &state, const OpenLottery *lottery, Run run)
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

BacktestResult Interval(const OpenLottery &lottery, const NumberRange &range)
{
    return IntervalPicker(lottery.drawTable, range).backtest(IntervalSettings {5, 2 * lottery.m});
}

BacktestResult Intimate(const OpenLottery &lottery, const NumberRange &range)
{
    return IntimatePicker(lottery.drawTable, range).backtest(IntimateSettings {false, range.count() / 2, 7});
}

BacktestResult IntimateAllPeriods(const OpenLottery &lottery, const NumberRange &range)
{
    return IntimatePicker(lottery.drawTable, range).backtest(IntimateSettings {true, 3, 0});
}

BacktestResult MakeStemBranch(const OpenLottery &lottery, const NumberRange &range)
{
    return StemBranchBacktest(lottery.drawTable, lottery.drawDates, range, false);
}

BacktestResult FourStep(const OpenLottery &lottery, const NumberRange &range)
{
    return FourStepPicker(lottery.drawTable, range).backtest(FourStepSettings {});
}

void BM_IntervalBacktestQlc(benchmark::State &state)
{
    RunOn(state, QlcLottery(), Interval);
}
void BM_IntimateBacktestQlc(benchmark::State &state)
{
    RunOn(state, QlcLottery(), Intimate);
}
void BM_IntimateAllPeriodsPerPositionQlc(benchmark::State &state)
{
    RunOn(state, QlcLottery(), IntimateAllPeriods);
}
void BM_StemBranchBacktestQlc(benchmark::State &state)
{
    RunOn(state, QlcLottery(), MakeStemBranch);
}
void BM_FourStepBacktestQlc(benchmark::State &state)
{
    RunOn(state, QlcLottery(), FourStep);
}
void BM_IntervalBacktest20000(benchmark::State &state)
{
    RunOn(state, &Capped36(), Interval);
}
void BM_IntimateBacktest20000(benchmark::State &state)
{
    RunOn(state, &Capped36(), Intimate);
}
void BM_StemBranchBacktest20000(benchmark::State &state)
{
    RunOn(state, &Capped36(), MakeStemBranch);
}
void BM_FourStepBacktest20000(benchmark::State &state)
{
    RunOn(state, &Capped36(), FourStep);
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
