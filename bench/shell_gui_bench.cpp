// Opening a lottery with 20000 draws in the main window, up to the trend grid painted.
#include "bench_support.h"

#include "data/open_lottery.h"
#include "shell/dialogs.h"
#include "shell/u_main.h"
#include "trend/u_code.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

void BM_OpenLotteryUpToTrendGrid20000(benchmark::State &state)
{
    bench::BenchHome home;
    const QString name = QStringLiteral("南粤风采36选7");
    bench::AddRandomDraws(home.store(), name, 20000, 36, 7);
    OpenLottery lottery;
    AppContext context;
    context.folder = home.folder();
    context.store = &home.store();
    context.lottery = &lottery;
    Tfrmmain window(context);
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        window.mnucloseClick();
        lottery.open(home.store(), name);
        window.ShowOpenedLottery();
        // Paint the client area as the screen would.
        QPixmap picture = window.grab();
        benchmark::DoNotOptimize(picture);
    }
}
BENCHMARK(BM_OpenLotteryUpToTrendGrid20000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
