// The big-base intersection of 南粤风采36选7: four ticket files of 1,000,000 tickets each,
// counted, selected and written as the result list, as 大底交集 does it. Also one repetition of
// the compound search over 20000 draws (a new variant trend and the coldest column).
#include "bench_support.h"

#include "common/random_source.h"
#include "data/combination.h"
#include "data/open_lottery.h"
#include "tickets/compound_search.h"
#include "tickets/intersection.h"
#include "tickets/ticket_file.h"
#include "trend/variant_trend.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

constexpr int kFiles = 4;
constexpr int kTicketsPerFile = 1'000'000;

// Each file: the tickets of a random quarter of the ranks, so that the files overlap the way
// the outputs of different filters do, in a random order, one ticket a line.
const QStringList &Bases()
{
    static QTemporaryDir dir;
    static QStringList files;
    if (!files.isEmpty())
        return files;
    const qint64 total = Choose(36, 7);
    RandomSource random(17);
    for (int f = 0; f < kFiles; ++f) {
        const QString path = dir.filePath(QStringLiteral("base%1.txt").arg(f));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        QByteArray buffer;
        int c[7];
        for (int i = 0; i < kTicketsPerFile; ++i) {
            const qint64 rank
                = 1 + static_cast<qint64>(random.next() % static_cast<std::uint64_t>(total / 4)) * 4 + random.below(2);
            CombinationUnrank(rank, 36, 7, c);
            buffer += TicketLine(c, 7);
            buffer += "\r\n";
            if (buffer.size() > (1 << 20)) {
                file.write(buffer);
                buffer.clear();
            }
        }
        file.write(buffer);
        files << path;
    }
    return files;
}

void BM_Intersect36x7FourFilesOfAMillion(benchmark::State &state)
{
    const QStringList &files = Bases();
    QTemporaryDir out;
    const QString resultList = out.filePath(QStringLiteral("temp.txt"));
    CombinationTable table(LotteryKind::Lotto, 36, 7);
    qint64 listed = 0;
    for (auto _ : state) {
        const IntersectionResult result = RunIntersection(table, {files, 0, 1});
        listed = WriteResultList(resultList, result.tickets);
    }
    state.counters["listed"] = static_cast<double>(listed);
    state.counters["table_MB"] = static_cast<double>(table.memoryBytes()) / (1024.0 * 1024.0);
    state.counters["peak_MB"] = bench::PeakMemoryMb();
}
BENCHMARK(BM_Intersect36x7FourFilesOfAMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_CompoundRepetition20000x36(benchmark::State &state)
{
    bench::BenchHome home;
    const QString name = QStringLiteral("南粤风采36选7");
    bench::AddRandomDraws(home.store(), name, 20000, 36, 7);
    OpenLottery lottery;
    lottery.open(home.store(), name);
    RandomSource random(1);
    CompoundSearch search(36, {31, false, 0});
    for (auto _ : state) {
        lottery.variantMode = true;
        BuildVariantTrend(lottery, random);
        benchmark::DoNotOptimize(search.step(lottery));
    }
}
BENCHMARK(BM_CompoundRepetition20000x36)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
