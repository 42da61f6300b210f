// The engines the windows run on worker threads, run the same way here: prepared on this
// thread, executed on another, with progress reported across and a cancel set from here. The
// ThreadSanitizer stage of the test command runs these.
#include "data/combination.h"
#include "data/open_lottery.h"
#include "support/test_home.h"
#include "tickets/intersection.h"
#include "tickets/total_filter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace lumaro;
using lumaro::test::TestHome;

namespace {

int SumOf(const int *numbers, int m)
{
    int sum = 0;
    for (int i = 0; i < m; ++i)
        sum += numbers[i];
    return sum;
}

} // namespace

TEST(WorkerThreads, TotalFilterRunsOnAWorkerAndACancelledRunChangesNothing)
{
    TestHome home;
    const QString name = QStringLiteral("南粤风采26选5");
    home.store().appendDraws(
        name, {DrawRow {QStringLiteral("2020001"), {3, 8, 14, 20, 25}, QStringLiteral("2020-01-01")}});
    OpenLottery lottery;
    lottery.open(home.store(), name);
    const QString list = home.path(QStringLiteral("temp.txt"));

    qint64 expected = 0;
    TicketSet::lexicographic(26, 5).forEach([&](qint64, const int *c) { expected += SumOf(c, 5) <= 60 ? 1 : 0; });

    TotalFilterConditions conditions;
    conditions.sum = FilterBounds {15, 60};
    TotalFilter filter(lottery);
    TotalFilter::Job job = filter.prepare(conditions, list);
    std::atomic<qint64> lastDone {-1};
    Progress progress;
    progress.report = [&](qint64 done, qint64) { lastDone.store(done); };
    std::thread worker([&] { TotalFilter::execute(job, progress); });
    worker.join();
    filter.finish(job);
    EXPECT_EQ(job.survivors, expected);
    EXPECT_EQ(filter.state(), TotalFilter::State::Narrowed);
    EXPECT_GE(lastDone.load(), 0);

    // A run cancelled while it works leaves the survivors of the first one.
    conditions.sum = FilterBounds {15, 40};
    TotalFilter::Job second = filter.prepare(conditions, list);
    std::atomic_bool cancel {false};
    std::atomic_bool started {false};
    Progress cancellable;
    cancellable.cancel = &cancel;
    cancellable.report = [&](qint64, qint64) { started.store(true); };
    std::thread other([&] { TotalFilter::execute(second, cancellable); });
    cancel.store(true);
    other.join();
    if (second.cancelled) {
        filter.finish(second);
        EXPECT_EQ(filter.state(), TotalFilter::State::Narrowed);
        // The first run's condition again keeps every survivor of the first run.
        conditions.sum = FilterBounds {15, 60};
        EXPECT_EQ(filter.run(conditions, list), expected);
    }
}

TEST(WorkerThreads, IntersectionOnAWorkerEqualsTheSameRunHere)
{
    QTemporaryDir dir;
    // Three lists of 11选5 tickets: every ticket whose rank is divisible by 2, by 3 and by 5.
    QStringList files;
    for (int step : {2, 3, 5}) {
        QByteArray content;
        TicketSet::lexicographic(11, 5).forEach([&](qint64 row, const int *c) {
            if ((row + 1) % step != 0)
                return;
            for (int i = 0; i < 5; ++i)
                content += QByteArray::number(c[i]) + (i < 4 ? " " : "\r\n");
        });
        const QString path = dir.filePath(QStringLiteral("list%1.txt").arg(step));
        test::WriteFile(path, content);
        files << path;
    }
    IntersectionSettings settings;
    settings.files = files;
    settings.lowerTolerance = 0;
    settings.upperTolerance = 1;

    CombinationTable here(LotteryKind::Lotto, 11, 5);
    const IntersectionResult expected = RunIntersection(here, settings);

    CombinationTable table(LotteryKind::Lotto, 11, 5);
    IntersectionResult result;
    std::atomic<int> filesDone {0};
    Progress progress;
    progress.report = [&](qint64 done, qint64) { filesDone.store(static_cast<int>(done)); };
    std::thread worker([&] { result = RunIntersection(table, settings, progress); });
    worker.join();
    EXPECT_EQ(filesDone.load(), 3);
    ASSERT_EQ(result.tickets.rowCount(), expected.tickets.rowCount());
    // Ranks in at least two of the three lists: divisible by 6, 10 or 15.
    qint64 atLeastTwo = 0;
    for (qint64 rank = 1; rank <= Choose(11, 5); ++rank)
        atLeastTwo += (rank % 6 == 0 || rank % 10 == 0 || rank % 15 == 0) ? 1 : 0;
    EXPECT_EQ(result.tickets.rowCount(), atLeastTwo);
}
