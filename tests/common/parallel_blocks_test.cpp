#include "common/parallel_blocks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using namespace lumaro;

TEST(ForEachBlock, EveryRowOnceEachThreadInItsSlotAndACancelStops)
{
    // 100,003 rows in blocks of 1,000: the last block is short.
    const qint64 rows = 100'003;
    const int threads = BlockThreadCount(rows, 1000);
    ASSERT_GE(threads, 1);
    ASSERT_LE(threads, 8);
    std::vector<std::atomic<int>> visits(static_cast<std::size_t>(rows));
    std::vector<qint64> perThread(static_cast<std::size_t>(threads), 0);
    qint64 lastReport = 0;
    Progress progress;
    progress.report = [&](qint64 done, qint64 total) {
        EXPECT_EQ(total, rows);
        EXPECT_GE(done, lastReport);
        lastReport = done;
    };
    const bool finished = ForEachBlock(rows, 1000, progress, [&](int thread, qint64 begin, qint64 end) {
        ASSERT_GE(thread, 0);
        ASSERT_LT(thread, threads);
        EXPECT_LE(end - begin, 1000);
        perThread[static_cast<std::size_t>(thread)] += end - begin; // its own slot: no lock
        for (qint64 row = begin; row < end; ++row)
            ++visits[static_cast<std::size_t>(row)];
    });
    EXPECT_TRUE(finished);
    EXPECT_EQ(lastReport, rows);
    qint64 counted = 0;
    for (qint64 n : perThread)
        counted += n;
    EXPECT_EQ(counted, rows);
    for (qint64 row = 0; row < rows; ++row)
        ASSERT_EQ(visits[static_cast<std::size_t>(row)].load(), 1) << row;

    EXPECT_EQ(BlockThreadCount(10, 1000), 1);
    EXPECT_TRUE(ForEachBlock(0, 1000, {}, [](int, qint64, qint64) { FAIL(); }));

    // A cancel raised inside the work stops the run after the blocks under way.
    std::atomic_bool stop {false};
    Progress cancelling;
    cancelling.cancel = &stop;
    std::atomic<int> blocks {0};
    EXPECT_FALSE(ForEachBlock(rows, 1000, cancelling, [&](int, qint64, qint64) {
        if (++blocks == 3)
            stop = true;
    }));
    EXPECT_LT(blocks.load(), 3 + threads);
}
