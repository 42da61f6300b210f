// One cycle of the infinite exclusion pickers over the real 七乐彩 history (2921 draws) and all
// C(30, 7) = 2,035,800 tickets: the cycle's preparation (ranking or relabelled history) and one
// pass that judges every ticket without excluding it, so every iteration does the full work.
#include "bench_support.h"

#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "pickers/exclusion_follow.h"
#include "pickers/exclusion_run.h"

#include <QCoreApplication>
#include <QFile>

#include <benchmark/benchmark.h>

#include <memory>

using namespace lumaro;

namespace {

const PickerHistory *QlcHistory()
{
    static std::unique_ptr<PickerHistory> history = [] {
        std::unique_ptr<PickerHistory> h;
        const QString csv = QStringLiteral(LUMARO_HISTORIES "/qlc.csv");
        if (!QFile::exists(csv))
            return h;
        bench::BenchHome home;
        const QString name = QStringLiteral("中国福彩七乐彩");
        ImportDrawFile(home.store(), name, csv);
        OpenLottery lottery;
        lottery.open(home.store(), name);
        h = std::make_unique<PickerHistory>(PickerHistoryOf(lottery, lottery.drawCount));
        return h;
    }();
    return history.get();
}

void RunCycle(benchmark::State &state, const PickerSettings &settings)
{
    const PickerHistory *history = QlcHistory();
    if (!history) {
        state.SkipWithError("resources/draws/qlc.csv not found");
        return;
    }
    const std::unique_ptr<ExclusionMember> member = MakeMember(*history, settings);
    TicketSet tickets = TicketSet::lexicographic(30, 7);
    RandomSource random(1);
    StopRule stop;
    stop.byTarget = false;
    stop.cycles = 1;
    qint64 alive = 0;
    for (auto _ : state) {
        tickets.resetStates();
        alive += RunExclusionCycles(tickets, *member, stop, random, {}).alive;
    }
    benchmark::DoNotOptimize(alive);
    state.counters["draws"] = history->draws.rowCount();
    state.counters["tickets"] = static_cast<double>(tickets.rowCount());
}

// Bounds no ticket reaches: the pass looks at every ticket.
void BM_SumCycle(benchmark::State &state)
{
    PickerSettings settings;
    settings.kind = ExclusionKind::Sum;
    settings.sum = {10000, -1};
    RunCycle(state, settings);
}
BENCHMARK(BM_SumCycle)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RepeatCycleP10(benchmark::State &state)
{
    PickerSettings settings;
    settings.kind = ExclusionKind::Repeat;
    settings.repeat = {8, 10};
    RunCycle(state, settings);
}
BENCHMARK(BM_RepeatCycleP10)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FollowVariantCycleK2(benchmark::State &state)
{
    PickerSettings settings;
    settings.kind = ExclusionKind::Follow;
    settings.follow.group = 2;
    settings.follow.upper = 8;
    settings.follow.lower = -1;
    RunCycle(state, settings);
}
BENCHMARK(BM_FollowVariantCycleK2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The preparation alone: the relabelled history of all 2921 draws.
void BM_RelabelledHistory(benchmark::State &state)
{
    const PickerHistory *history = QlcHistory();
    if (!history) {
        state.SkipWithError("resources/draws/qlc.csv not found");
        return;
    }
    RandomSource random(2);
    for (auto _ : state) {
        const LabelShuffle shuffle = LabelShuffle::draw(random, 30);
        benchmark::DoNotOptimize(BuildRelabelledHistory(
            history->draws, shuffle, 500, RankingKey::HitsThenLongerOmission, history->draws.rowCount()));
    }
}
BENCHMARK(BM_RelabelledHistory)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
