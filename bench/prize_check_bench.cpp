// 中奖查询 of 双色球: 1,000,000 random tickets (fixed seed) checked against every one of the
// 2,513 real draws of resources/draws/ssq.csv, as the window and `lumaro-cli check` run it.
#include "bench_support.h"

#include "common/random_source.h"
#include "tickets/prize_check.h"
#include "tickets/prize_table.h"

#include <QFile>

#include <array>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

constexpr int kTickets = 1'000'000;

// The draws of the history file "period,date,r1,…,r6,blue", oldest first.
std::vector<CheckDraw> ReadSsqDraws()
{
    QFile file(QStringLiteral(LUMARO_HISTORIES "/ssq.csv"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read ssq.csv");
    std::vector<CheckDraw> draws;
    bool header = true;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split(',');
        if (header || fields.size() != 9) {
            header = false;
            continue;
        }
        CheckDraw draw;
        draw.period = QString::fromLatin1(fields[0]);
        for (int k = 2; k < 8; ++k)
            draw.front.push_back(fields[k].toInt());
        draw.back.push_back(fields[8].toInt());
        draws.push_back(std::move(draw));
    }
    return draws;
}

PrizeCheckInputs SsqInputs()
{
    PrizeCheckInputs inputs;
    inputs.game = {QStringLiteral("双色球"), LotteryKind::TwoZone, 33, 6, 16, 1};
    inputs.draws = ReadSsqDraws();
    QFile table(QStringLiteral(":/home/附属/奖级表.ini"));
    if (!table.open(QIODevice::ReadOnly))
        qFatal("cannot read the shipped prize table");
    inputs.tiers = ParsePrizeTable(table.readAll()).tiersOf(inputs.game.name);
    return inputs;
}

CheckTickets RandomTickets(int count)
{
    RandomSource random(2513);
    CheckTickets tickets;
    tickets.width = 7;
    tickets.numbers.reserve(static_cast<std::size_t>(count) * 7);
    for (int t = 0; t < count; ++t) {
        std::array<bool, 34> used {};
        for (int k = 0; k < 6;) {
            const int v = 1 + random.below(33);
            if (used[static_cast<std::size_t>(v)])
                continue;
            used[static_cast<std::size_t>(v)] = true;
            tickets.numbers.push_back(static_cast<qint16>(v));
            ++k;
        }
        tickets.numbers.push_back(static_cast<qint16>(1 + random.below(16)));
    }
    return tickets;
}

void BM_PrizeCheckSsqMillionTicketsAllDraws(benchmark::State &state)
{
    static const PrizeCheckInputs inputs = SsqInputs();
    static const CheckTickets tickets = RandomTickets(kTickets);
    qint64 money = 0;
    for (auto _ : state) {
        const PrizeCheckResult result = RunPrizeCheck(inputs, tickets);
        money = result.totalMoney;
        benchmark::DoNotOptimize(money);
    }
    state.counters["draws"] = static_cast<double>(inputs.draws.size());
    state.counters["tickets"] = kTickets;
    state.counters["money"] = static_cast<double>(money);
    state.counters["peak_MB"] = bench::PeakMemoryMb();
}
BENCHMARK(BM_PrizeCheckSsqMillionTicketsAllDraws)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(false);

} // namespace
