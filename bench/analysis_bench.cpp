// Indicator analysis engines on the longest history a lottery keeps: 南粤风采36选7 with
// 20000 draws.
#include "bench_support.h"

#include "analysis/indicator_history.h"
#include "analysis/indicator_shares.h"
#include "analysis/omission_table.h"
#include "analysis/zone_history.h"
#include "data/open_lottery.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

const QString k36 = QStringLiteral("南粤风采36选7");

OpenLottery &Lottery36()
{
    static bench::BenchHome home;
    static OpenLottery lottery;
    static const bool filled = (bench::AddRandomDraws(home.store(), k36, OpenLottery::kMaxDraws, 36, 7),
        lottery.open(home.store(), k36), true);
    (void)filled;
    return lottery;
}

// What "重新统计" computes: one indicator over all draws and its summary, for each indicator.
void BM_IndicatorHistory20000(benchmark::State &state)
{
    const OpenLottery &lottery = Lottery36();
    const auto indicator = kAnalysisIndicators[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        const IndicatorHistory history(indicator, lottery.drawTable, lottery.n);
        benchmark::DoNotOptimize(SummarizeIndicator(history, 3).recentTotal);
    }
    state.SetLabel(QString::fromUtf8(TextsOf(indicator).columnLabel).toStdString());
}
BENCHMARK(BM_IndicatorHistory20000)->DenseRange(0, 7)->Unit(benchmark::kMillisecond)->UseRealTime();

// What each value is worth: all C(36, 7) = 8347680 tickets judged against the latest draw,
// beside the 20000 draws. Target: at most 0.2 s for any indicator (dispersion and AC are
// enumerated over the cores, the others have closed forms).
void BM_IndicatorShares36of7(benchmark::State &state)
{
    const OpenLottery &lottery = Lottery36();
    const auto indicator = kAnalysisIndicators[static_cast<std::size_t>(state.range(0))];
    const IndicatorHistory history(indicator, lottery.drawTable, lottery.n);
    const TicketSpace space = TicketSpace::ofLottery(lottery);
    for (auto _ : state)
        benchmark::DoNotOptimize(ComputeIndicatorShares(history, space)->ticketTotal);
    state.SetLabel(QString::fromUtf8(TextsOf(indicator).columnLabel).toStdString());
    state.counters["tickets"] = static_cast<double>(space.ticketCount());
}
BENCHMARK(BM_IndicatorShares36of7)->DenseRange(0, 7)->Unit(benchmark::kMillisecond)->UseRealTime();

// A digit lottery of seven digits: all 10^7 tuples, each indicator by its own function.
void BM_IndicatorSharesDigits10e7(benchmark::State &state)
{
    const auto indicator = kAnalysisIndicators[static_cast<std::size_t>(state.range(0))];
    const TicketSpace space {LotteryKind::Digit, 10, 7, 0};
    const int latest[7] = {3, 0, 9, 9, 4, 1, 7};
    for (auto _ : state)
        benchmark::DoNotOptimize(CountTicketValues(indicator, space, latest)->size());
    state.SetLabel(QString::fromUtf8(TextsOf(indicator).columnLabel).toStdString());
    state.counters["tickets"] = static_cast<double>(space.ticketCount());
}
BENCHMARK(BM_IndicatorSharesDigits10e7)->DenseRange(0, 7)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ZoneHistory20000(benchmark::State &state)
{
    const OpenLottery &lottery = Lottery36();
    for (auto _ : state)
        benchmark::DoNotOptimize(ZoneHistory(lottery.drawTable, lottery.n, 7).count(19999, 0));
}
BENCHMARK(BM_ZoneHistory20000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OmissionTable20000(benchmark::State &state)
{
    const OpenLottery &lottery = Lottery36();
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildOmissionTable(lottery, OmissionMode::Rebound, OmissionSort::ChaseValue).rows);
}
BENCHMARK(BM_OmissionTable20000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
