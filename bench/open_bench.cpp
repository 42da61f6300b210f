// Opening a lottery: 南粤风采36选7 with 3000 draws, the whole opening sequence.
#include "bench_support.h"

#include "data/open_lottery.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

const QString k36 = QStringLiteral("南粤风采36选7");

bench::BenchHome &Home36()
{
    static bench::BenchHome home;
    static const bool filled = (bench::AddRandomDraws(home.store(), k36, 3000, 36, 7), true);
    (void)filled;
    return home;
}

void BM_Open36x7With3000Draws(benchmark::State &state)
{
    bench::BenchHome &home = Home36();
    for (auto _ : state) {
        OpenLottery lottery;
        lottery.open(home.store(), k36);
        benchmark::DoNotOptimize(lottery.ticketSet().rowCount());
    }
    state.counters["peak_MB"] = bench::PeakMemoryMb();
}
BENCHMARK(BM_Open36x7With3000Draws)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same opening followed by one pass over all 8347680 tickets (what a table filled at
// opening would cost), marking every other ticket rejected as a filter would.
void BM_Open36x7AndWalkAllTickets(benchmark::State &state)
{
    bench::BenchHome &home = Home36();
    for (auto _ : state) {
        OpenLottery lottery;
        lottery.open(home.store(), k36);
        TicketSet &tickets = lottery.ticketSet();
        quint8 *states = tickets.stateData();
        qint64 sum = 0;
        tickets.forEach([&](qint64 row, const int *c) {
            sum += c[0] + c[6];
            states[row] = static_cast<quint8>(row & 1);
        });
        benchmark::DoNotOptimize(sum);
    }
    state.counters["peak_MB"] = bench::PeakMemoryMb();
}
BENCHMARK(BM_Open36x7AndWalkAllTickets)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
