#pragma once

#include "data/lottery_store.h"
#include "data/program_folder.h"

#include <QTemporaryDir>

#include <memory>

namespace lumaro::bench {

// A throw-away program folder for a benchmark run.
class BenchHome {
public:
    BenchHome();
    LotteryStore &store() { return *m_store; }
    const ProgramFolder &folder() const { return m_folder; }

private:
    QTemporaryDir m_dir;
    ProgramFolder m_folder;
    std::unique_ptr<LotteryStore> m_store;
};

// Appends count random draws (fixed seed) to a lotto lottery of n numbers, m a draw.
void AddRandomDraws(LotteryStore &store, const QString &name, int count, int n, int m, unsigned seed = 1);

// The peak resident memory of the process so far, in megabytes.
double PeakMemoryMb();

} // namespace lumaro::bench
