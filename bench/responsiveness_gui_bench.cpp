// How quickly the windows answer the user, through the real windows offscreen: the main window
// made while its advert server does not answer, the three exclusion windows made on the real
// 七乐彩 history (2921 draws), and the time from 停止 to the end of a running exclusion picker.
#include "bench_support.h"
#include "stall_meter.h"

#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "pickers/u_allcongma.h"
#include "pickers/u_allgensui.h"
#include "pickers/u_allhei.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/u_main.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

const QString kQlc = QStringLiteral("中国福彩七乐彩");

// A program folder with the real 七乐彩 history open.
struct QlcHome {
    QlcHome()
    {
        ImportDrawFile(home.store(), kQlc, QStringLiteral(LUMARO_HISTORIES "/qlc.csv"));
        lottery.open(home.store(), kQlc);
        context.folder = home.folder();
        context.store = &home.store();
        context.lottery = &lottery;
        context.fixedSeed = 11;
    }
    bench::BenchHome home;
    OpenLottery lottery;
    AppContext context;
};

void BM_MainWindowWithAnUnreachableAdvert(benchmark::State &state)
{
    bench::BenchHome home;
    QFile sites(home.folder().auxiliaryFolder() + QStringLiteral("站点.ini"));
    if (!sites.open(QIODevice::WriteOnly) || sites.write("[advert]\nhost=http://127.0.0.1:9\n") < 0) {
        state.SkipWithError("cannot write 站点.ini");
        return;
    }
    sites.close();
    OpenLottery lottery;
    AppContext context;
    context.folder = home.folder();
    context.store = &home.store();
    context.lottery = &lottery;
    for (auto _ : state) {
        Tfrmmain window(context);
        benchmark::DoNotOptimize(&window);
    }
}
BENCHMARK(BM_MainWindowWithAnUnreachableAdvert)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExclusionWindowsOnTheQlcHistory(benchmark::State &state)
{
    QlcHome qlc;
    for (auto _ : state) {
        Tfrmallgensui follow(qlc.context);
        Tfrmallcongma repeat(qlc.context);
        Tfrmallhei sum(qlc.context);
        benchmark::DoNotOptimize(&sum);
    }
}
BENCHMARK(BM_ExclusionWindowsOnTheQlcHistory)->Unit(benchmark::kMillisecond)->UseRealTime();

// A repeat run whose test never excludes, so it runs until stopped; the time is from 停止 to the
// end of the run, while the relabelled history is rebuilt every cycle.
void BM_ExclusionStopLatency(benchmark::State &state)
{
    QlcHome qlc;
    Tfrmallcongma window(qlc.context);
    window.show();
    window.findChild<QComboBox *>(QStringLiteral("comAC"))->setEditText(QStringLiteral("8"));
    for (auto _ : state) {
        window.btngenClick();
        if (!window.isRunning()) {
            state.SkipWithError(qPrintable(dialogs::testing::LastMessage()));
            break;
        }
        QElapsedTimer running;
        running.start();
        bench::SpinUntil([&] { return running.elapsed() >= 500; });
        QElapsedTimer stop;
        stop.start();
        window.btngenClick();
        if (!bench::SpinUntil([&] { return !window.isRunning(); }, 60000)) {
            state.SkipWithError("the run did not stop");
            break;
        }
        state.SetIterationTime(static_cast<double>(stop.nsecsElapsed()) / 1e9);
    }
    dialogs::testing::Clear();
}
BENCHMARK(BM_ExclusionStopLatency)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
