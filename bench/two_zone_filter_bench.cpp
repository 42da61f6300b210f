// The total filter on 大乐透 (35/5 + 12/2, 21,425,712 tickets) with 2000 draws: a run from the
// Pending state with the nine classic conditions on the front zone and two back numbers chosen,
// with the writing of "temp.txt"; and a run that keeps every back number and most front sets,
// so that the result list is filled up to its limit of 9,999,999 lines.
#include "bench_support.h"

#include "common/random_source.h"
#include "data/open_lottery.h"
#include "tickets/total_filter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>

using namespace lumaro;

namespace {

const QString kDlt = QStringLiteral("大乐透");

// Random draws of both zones, the periods as AddRandomDraws gives them.
void AddTwoZoneDraws(LotteryStore &store, int count)
{
    RandomSource random(3);
    std::vector<DrawRow> rows;
    const auto pick = [&random](int n, int m) {
        std::vector<int> pool(static_cast<std::size_t>(n));
        std::iota(pool.begin(), pool.end(), 1);
        for (int k = 0; k < m; ++k)
            std::swap(pool[static_cast<std::size_t>(k)], pool[static_cast<std::size_t>(k + random.below(n - k))]);
        pool.resize(static_cast<std::size_t>(m));
        return pool;
    };
    for (int i = 0; i < count; ++i) {
        DrawRow row;
        row.period = QString::number((2000 + i / 999) * 1000 + i % 999 + 1);
        row.date = QStringLiteral("2020-01-01");
        row.numbers = pick(35, 5);
        row.back = pick(12, 2);
        rows.push_back(std::move(row));
    }
    store.appendDraws(kDlt, rows);
}

struct Opened {
    bench::BenchHome home;
    OpenLottery lottery;
    Opened()
    {
        AddTwoZoneDraws(home.store(), 2000);
        lottery.open(home.store(), kDlt);
    }
};

Opened &OpenedLottery()
{
    static Opened instance;
    return instance;
}

void RunOnce(benchmark::State &state, const TotalFilterConditions &conditions, const BackChoice &back)
{
    Opened &o = OpenedLottery();
    const QString list = o.home.folder().file(QStringLiteral("temp.txt"));
    qint64 fronts = 0;
    qint64 tickets = 0;
    qint64 listed = 0;
    for (auto _ : state) {
        TotalFilter filter(o.lottery); // Pending: every front set, every back set chosen
        TotalFilter::Job job = filter.prepare(conditions, list, back);
        TotalFilter::execute(job);
        filter.finish(job);
        fronts = job.survivors;
        tickets = job.ticketCount;
        listed = job.listed;
        benchmark::DoNotOptimize(tickets);
    }
    state.counters["front_survivors"] = static_cast<double>(fronts);
    state.counters["tickets"] = static_cast<double>(tickets);
    state.counters["listed"] = static_cast<double>(listed);
    state.counters["peak_MB"] = bench::PeakMemoryMb();
}

// The nine conditions of the classic page on the front zone, back numbers 03 and 11.
void BM_DltNineConditionsTwoBackNumbers(benchmark::State &state)
{
    TotalFilterConditions c;
    c.big = FilterBounds {1, 4};
    c.odd = FilterBounds {1, 4};
    c.sum = FilterBounds {60, 120};
    c.span = FilterBounds {15, 32};
    c.dispersion = FilterBounds {3, 9};
    c.deviation = FilterBounds {2, 12};
    c.ac = FilterBounds {4, 10};
    c.chooser = FilterBounds {3, 5};
    for (int v = 1; v <= 28; ++v)
        c.balls[static_cast<std::size_t>(v)] = true;
    c.banker = FilterBounds {1, 2};
    c.bankers = {3, 12, 25, 31};
    RunOnce(state, c, BackChoice {12, 2, {3, 11}});
}
BENCHMARK(BM_DltNineConditionsTwoBackNumbers)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(false);

// Every back number and a loose sum: about 300,000 front sets × 66 back pairs, listed up to the
// result list's limit (the window's save then writes every ticket from the engine).
void BM_DltEveryBackNumberListUpToItsLimit(benchmark::State &state)
{
    TotalFilterConditions c;
    c.sum = FilterBounds {40, 140};
    RunOnce(state, c, BackChoice::all(12, 2));
}
BENCHMARK(BM_DltEveryBackNumberListUpToItsLimit)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(false);

} // namespace
