// The total filter's history check on 南粤风采36选7 with 20000 random draws (fixed seed) and the
// nine conditions active: the judging of the draws alone (target: under 0.2 s), and the whole
// check, which adds the pass over all C(36, 7) = 8347680 tickets.
#include "bench_support.h"

#include "data/open_lottery.h"
#include "tickets/filter_history_check.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

const QString k36 = QStringLiteral("南粤风采36选7");

struct Opened {
    bench::BenchHome home;
    OpenLottery lottery;
    HistoryCheckInputs inputs;
    Opened()
    {
        bench::AddRandomDraws(home.store(), k36, 20000, 36, 7);
        lottery.open(home.store(), k36);
        inputs = HistoryCheckInputs::fromLottery(lottery);
    }
};

Opened &OpenedLottery()
{
    static Opened instance;
    return instance;
}

TotalFilterConditions NineConditions()
{
    TotalFilterConditions c;
    c.big = FilterBounds {2, 5};
    c.odd = FilterBounds {2, 5};
    c.sum = FilterBounds {100, 160};
    c.span = FilterBounds {20, 33};
    c.dispersion = FilterBounds {4, 8};
    c.deviation = FilterBounds {2, 8};
    c.ac = FilterBounds {12, 21};
    for (int ball = 1; ball <= 24; ++ball)
        c.balls[static_cast<std::size_t>(ball)] = true;
    c.chooser = FilterBounds {3, 6};
    c.banker = FilterBounds {1, 2};
    c.bankers = {3, 12, 25, 31};
    return c;
}

void BM_HistoryCheckDraws(benchmark::State &state)
{
    Opened &o = OpenedLottery();
    const TotalFilterConditions c = NineConditions();
    PassCounts counts;
    for (auto _ : state) {
        counts = *JudgeDraws(o.inputs, c);
        benchmark::DoNotOptimize(counts);
    }
    state.counters["draws"] = static_cast<double>(counts.judged);
    state.counters["passing"] = static_cast<double>(counts.passingAll);
    state.counters["target_ms"] = 200;
}
BENCHMARK(BM_HistoryCheckDraws)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

void BM_HistoryCheckWhole(benchmark::State &state)
{
    Opened &o = OpenedLottery();
    const TotalFilterConditions c = NineConditions();
    HistoryCheckResult result;
    for (auto _ : state) {
        result = *RunHistoryCheck(o.inputs, c);
        benchmark::DoNotOptimize(result);
    }
    state.counters["draws"] = static_cast<double>(result.all.drawsJudged);
    state.counters["tickets"] = static_cast<double>(result.all.tickets);
    state.counters["ratio"] = result.all.ratio().value_or(0.0);
    state.counters["peak_MB"] = bench::PeakMemoryMb();
}
BENCHMARK(BM_HistoryCheckWhole)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(false);

} // namespace
