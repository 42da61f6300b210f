// The total filter on 南粤风采36选7 (8347680 tickets) with 3000 draws: a run from the Pending
// state with every indicator and the banker condition, the same with five newer conditions and a
// tolerance of one, and a run that keeps about a million tickets, all with the writing of
// "temp.txt"; and the look at the survivors' indicator values over all 8347680 tickets, one pass.
#include "bench_support.h"

#include "data/open_lottery.h"
#include "tickets/survivor_look.h"
#include "tickets/total_filter.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

const QString k36 = QStringLiteral("南粤风采36选7");

struct Opened {
    bench::BenchHome home;
    OpenLottery lottery;
    Opened()
    {
        bench::AddRandomDraws(home.store(), k36, 3000, 36, 7);
        lottery.open(home.store(), k36);
    }
};

Opened &OpenedLottery()
{
    static Opened instance;
    return instance;
}

void RunOnce(benchmark::State &state, const TotalFilterConditions &conditions)
{
    Opened &o = OpenedLottery();
    const QString list = o.home.folder().file(QStringLiteral("temp.txt"));
    qint64 kept = 0;
    for (auto _ : state) {
        TotalFilter filter(o.lottery); // Pending: the run enumerates every ticket
        kept = filter.run(conditions, list);
        benchmark::DoNotOptimize(kept);
    }
    state.counters["survivors"] = static_cast<double>(kept);
    state.counters["peak_MB"] = bench::PeakMemoryMb();
}

// Every indicator of the window and four bankers.
TotalFilterConditions IndicatorsAndBankers()
{
    TotalFilterConditions c;
    c.big = FilterBounds {2, 5};
    c.odd = FilterBounds {2, 5};
    c.sum = FilterBounds {100, 160};
    c.span = FilterBounds {20, 33};
    c.dispersion = FilterBounds {4, 8};
    c.deviation = FilterBounds {2, 8};
    c.ac = FilterBounds {12, 21};
    c.banker = FilterBounds {1, 2};
    c.bankers = {3, 12, 25, 31};
    return c;
}

void BM_RunFromPendingAllConditions(benchmark::State &state)
{
    const TotalFilterConditions c = IndicatorsAndBankers();
    RunOnce(state, c);
}
BENCHMARK(BM_RunFromPendingAllConditions)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(false);

// The nine conditions, five of the newer ones and a tolerance of one: still one pass over the
// enumeration, every ticket tested until its second failure.
void BM_RunFromPendingNewConditionsTolerance(benchmark::State &state)
{
    TotalFilterConditions c = IndicatorsAndBankers();
    c.repeat = FilterBounds {0, 2};
    c.consecutive = FilterBounds {0, 2};
    c.tailCount = FilterBounds {5, 7};
    c.road0 = FilterBounds {1, 3};
    c.primes = FilterBounds {1, 3, {{5, 5}}};
    c.tolerance = 1;
    RunOnce(state, c);
}
BENCHMARK(BM_RunFromPendingNewConditionsTolerance)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(false);

void BM_RunKeepingAMillion(benchmark::State &state)
{
    TotalFilterConditions c;
    c.sum = FilterBounds {126, 133}; // 1036650 tickets
    RunOnce(state, c);
}
BENCHMARK(BM_RunKeepingAMillion)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(false);

// The look over every ticket of 36选7 (every row alive, as after a run that kept them all).
void BM_LookAtAllTickets(benchmark::State &state)
{
    const TicketSet tickets = TicketSet::lexicographic(36, 7);
    FilterInputs inputs;
    inputs.n = 36;
    inputs.m = 7;
    qint64 survivors = 0;
    for (auto _ : state) {
        const std::optional<SurvivorLook> look = LookAtSurvivors(tickets, inputs);
        survivors = look->survivors;
        benchmark::DoNotOptimize(survivors);
    }
    state.counters["survivors"] = static_cast<double>(survivors);
    state.counters["peak_MB"] = bench::PeakMemoryMb();
}
BENCHMARK(BM_LookAtAllTickets)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(false);

} // namespace
