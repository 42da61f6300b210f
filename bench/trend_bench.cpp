// The variant trend over a long history: 20000 draws of a 36-number lottery.
#include "bench_support.h"

#include "data/open_lottery.h"
#include "trend/variant_trend.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

void BM_BuildVariantTrend20000x36(benchmark::State &state)
{
    bench::BenchHome home;
    const QString name = QStringLiteral("南粤风采36选7");
    bench::AddRandomDraws(home.store(), name, 20000, 36, 7);
    OpenLottery lottery;
    lottery.open(home.store(), name);
    RandomSource random(1);
    for (auto _ : state) {
        BuildVariantTrend(lottery, random);
        benchmark::DoNotOptimize(lottery.variantRanking.data());
    }
}
BENCHMARK(BM_BuildVariantTrend20000x36)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BuildStandardTrend20000x36(benchmark::State &state)
{
    bench::BenchHome home;
    const QString name = QStringLiteral("南粤风采36选7");
    bench::AddRandomDraws(home.store(), name, 20000, 36, 7);
    OpenLottery lottery;
    lottery.open(home.store(), name);
    for (auto _ : state)
        lottery.BuildStandardTrend();
}
BENCHMARK(BM_BuildStandardTrend20000x36)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
