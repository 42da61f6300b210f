#include "common/parallel_blocks.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace lumaro {

int BlockThreadCount(qint64 rows, qint64 block)
{
    const qint64 blocks = block > 0 ? (rows + block - 1) / block : 0;
    const qint64 cores = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<int>(std::max<qint64>(1, std::min({cores, qint64(8), blocks})));
}

bool ForEachBlock(qint64 rows, qint64 block, const Progress &progress,
    const std::function<void(int thread, qint64 begin, qint64 end)> &work)
{
    if (rows <= 0)
        return !progress.cancelled();
    const qint64 blocks = (rows + block - 1) / block;
    std::atomic<qint64> nextBlock {0};
    std::atomic<qint64> rowsDone {0};
    std::atomic_bool stop {false};
    auto run = [&](int thread) {
        for (;;) {
            if (stop.load(std::memory_order_relaxed))
                return;
            const qint64 index = nextBlock.fetch_add(1);
            if (index >= blocks)
                return;
            const qint64 begin = index * block;
            const qint64 end = std::min(rows, begin + block);
            work(thread, begin, end);
            const qint64 done = rowsDone.fetch_add(end - begin) + (end - begin);
            if (progress.cancelled())
                stop = true;
            else if (thread == 0)
                progress.step(done, rows);
        }
    };
    const int count = BlockThreadCount(rows, block);
    std::vector<std::thread> threads;
    for (int i = 1; i < count; ++i)
        threads.emplace_back(run, i);
    run(0);
    for (std::thread &t : threads)
        t.join();
    if (stop.load())
        return false;
    progress.step(rows, rows);
    return true;
}

} // namespace lumaro
