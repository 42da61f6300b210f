// The analysis views on 南粤风采36选7 with 20000 draws: opening a view, and "重新统计" over
// every draw ("全部期", one bar per draw). Runs offscreen.
#include "bench_support.h"

#include "analysis/u_hei.h"
#include "analysis/u_qujian.h"
#include "analysis/u_yilou.h"
#include "data/open_lottery.h"
#include "shell/app_context.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include <benchmark/benchmark.h>

using namespace lumaro;

namespace {

const QString k36 = QStringLiteral("南粤风采36选7");

AppContext &Context36()
{
    static bench::BenchHome home;
    static OpenLottery lottery;
    static AppContext context;
    static const bool filled = (bench::AddRandomDraws(home.store(), k36, OpenLottery::kMaxDraws, 36, 7),
        lottery.open(home.store(), k36), context.store = &home.store(), context.lottery = &lottery, true);
    (void)filled;
    return context;
}

void BM_OpenSumView(benchmark::State &state)
{
    AppContext &context = Context36();
    for (auto _ : state) {
        Tfrmhei view(context);
        view.resize(970, 512);
        view.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_OpenSumView)->Unit(benchmark::kMillisecond)->UseRealTime();

// marks: 0 without value marks, 1 with.
template<class View>
void RecomputeAllDraws(benchmark::State &state)
{
    AppContext &context = Context36();
    View view(context);
    view.show();
    view.template findChild<QComboBox *>(QStringLiteral("comzuijingqishu"))->setCurrentIndex(0);
    view.template findChild<QCheckBox *>(QStringLiteral("chkhistorybiao"))->setChecked(state.range(0) != 0);
    auto *button = view.template findChild<QPushButton *>(QStringLiteral("btntongji"));
    for (auto _ : state) {
        button->click();
        QCoreApplication::processEvents();
    }
}

void BM_SumViewAllDraws(benchmark::State &state)
{
    RecomputeAllDraws<Tfrmhei>(state);
}
BENCHMARK(BM_SumViewAllDraws)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ZoneViewAllDraws(benchmark::State &state)
{
    RecomputeAllDraws<Tfrmqujian>(state);
}
BENCHMARK(BM_ZoneViewAllDraws)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenOmissionWindow(benchmark::State &state)
{
    AppContext &context = Context36();
    for (auto _ : state) {
        Tfrmyilou window(context);
        window.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_OpenOmissionWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
