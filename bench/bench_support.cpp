#include "bench_support.h"

#include "common/random_source.h"

#include <sys/resource.h>

#include <algorithm>
#include <vector>

namespace lumaro::bench {

BenchHome::BenchHome()
    : m_folder(m_dir.path() + QStringLiteral("/home"))
{
    m_folder.ensureCreated(StartingDraws::None);
    m_store = std::make_unique<LotteryStore>(m_folder.databaseFile());
}

void AddRandomDraws(LotteryStore &store, const QString &name, int count, int n, int m, unsigned seed)
{
    RandomSource random(seed);
    std::vector<DrawRow> rows;
    rows.reserve(static_cast<std::size_t>(count));
    std::vector<int> pool(static_cast<std::size_t>(n));
    for (int i = 0; i < count; ++i) {
        for (int v = 0; v < n; ++v)
            pool[static_cast<std::size_t>(v)] = v + 1;
        DrawRow row;
        // Periods stay seven characters: year 2000 onwards, 999 draws a year.
        row.period = QString::number((2000 + i / 999) * 1000 + i % 999 + 1);
        row.date = QStringLiteral("2020-01-01");
        for (int k = 0; k < m; ++k) {
            const int pick = k + random.below(n - k);
            std::swap(pool[static_cast<std::size_t>(k)], pool[static_cast<std::size_t>(pick)]);
            row.numbers.push_back(pool[static_cast<std::size_t>(k)]);
        }
        rows.push_back(std::move(row));
    }
    store.appendDraws(name, rows);
}

double PeakMemoryMb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace lumaro::bench
