// The total filter window on 南粤风采36选7 with 3000 draws: from the click on 过滤 until the
// result list shows its first lines, for a run that keeps about a million tickets.
#include "bench_support.h"

#include "data/open_lottery.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "tickets/u_totalfilt.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QListView>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

void BM_WindowRunKeepingAMillion(benchmark::State &state)
{
    const QString name = QStringLiteral("南粤风采36选7");
    bench::BenchHome home;
    bench::AddRandomDraws(home.store(), name, 3000, 36, 7);
    OpenLottery lottery;
    lottery.open(home.store(), name);
    AppContext context;
    context.folder = home.folder();
    context.store = &home.store();
    context.lottery = &lottery;
    dialogs::testing::SetEnabled(true);
    qint64 rows = 0;
    for (auto _ : state) {
        Tfrmtotalfilt window(context, nullptr);
        window.findChild<QCheckBox *>(QStringLiteral("chkhei"))->setChecked(true);
        // 和值 126 to 133: the lists start at 28.
        window.findChild<QComboBox *>(QStringLiteral("comhei1"))->setCurrentIndex(126 - 28);
        window.findChild<QComboBox *>(QStringLiteral("comhei2"))->setCurrentIndex(133 - 28);
        QEventLoop loop;
        QObject::connect(&window, &Tfrmtotalfilt::runFinished, &loop, &QEventLoop::quit);
        window.btnfiltClick();
        loop.exec();
        const QAbstractItemModel *model = window.findChild<QListView *>(QStringLiteral("memcode"))->model();
        rows = model->rowCount();
        benchmark::DoNotOptimize(model->index(0, 0).data());
    }
    state.counters["lines"] = static_cast<double>(rows);
    state.counters["peak_MB"] = bench::PeakMemoryMb();
}
BENCHMARK(BM_WindowRunKeepingAMillion)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1)
    ->Repetitions(5);

} // namespace
