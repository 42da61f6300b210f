// The program at its limits, through the real windows offscreen: 20000 draws, ticket files of
// 1,200,000 lines (the intersection and the exclusion pickers' 载入), 21-number wheels, the full
// investment search and a download of 50 pages. Each run reports its wall time, the peak memory
// of the process (peak_MB; run one benchmark a process for a figure of its own) and the longest
// time the GUI thread went without turning its event loop (max_stall_ms).
#include "bench_support.h"
#include "stall_meter.h"

#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "data/u_index.h"
#include "invest/u_tozi.h"
#include "pickers/u_allhei.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/u_main.h"
#include "tickets/u_jiaoqi.h"
#include "tickets/u_juzheng.h"

#ifdef LUMARO_BENCH_FIXTURE_SERVER
#include "download/fixture_pages.h"
#include "download/fixture_server.h"
#include "download/u_download2.h"
#endif

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>
#include <map>
#include <string>

using namespace lumaro;

namespace {

const QString kNanyue367 = QStringLiteral("南粤风采36选7");
constexpr qint64 kBigFileTickets = 1'200'000;

void Finish(benchmark::State &state, const bench::StallMeter &meter)
{
    state.counters["max_stall_ms"] = meter.longestMs();
    state.counters["peak_MB"] = bench::PeakMemoryMb();
}

// A program folder with an open 36选7 lottery of `draws` draws.
struct OpenHome {
    explicit OpenHome(int draws)
    {
        bench::AddRandomDraws(home.store(), kNanyue367, draws, 36, 7);
        lottery.open(home.store(), kNanyue367);
        context.folder = home.folder();
        context.store = &home.store();
        context.lottery = &lottery;
        context.fixedSeed = 14;
    }
    bench::BenchHome home;
    OpenLottery lottery;
    AppContext context;
};

// A ticket file of 1,200,000 distinct 36选7 tickets: every combination, in lexicographic order,
// whose rank is a multiple of `step` (the file ends when it holds enough).
QString BigTicketFile(int step)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tickets%1.txt").arg(step));
    if (QFileInfo::exists(path))
        return path;
    QByteArray text;
    text.reserve(kBigFileTickets * 22);
    std::array<int, 7> t {1, 2, 3, 4, 5, 6, 7};
    qint64 rank = 0, written = 0;
    while (written < kBigFileTickets) {
        if (rank++ % step == 0) {
            for (int k = 0; k < 7; ++k) {
                text += char('0' + t[std::size_t(k)] / 10);
                text += char('0' + t[std::size_t(k)] % 10);
                text += k < 6 ? " " : "\r\n";
            }
            ++written;
        }
        int i = 6;
        while (i >= 0 && t[std::size_t(i)] == 30 + i)
            --i;
        if (i < 0)
            break;
        ++t[std::size_t(i)];
        for (int j = i + 1; j < 7; ++j)
            t[std::size_t(j)] = t[std::size_t(j) - 1] + 1;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write the ticket file");
    return path;
}

// Opening a lottery of 20000 draws from the lottery manager, then the sum tab, the zone tab and
// the omission table.
void BM_Open20000DrawsAndAnalyse(benchmark::State &state)
{
    bench::BenchHome home;
    bench::AddRandomDraws(home.store(), kNanyue367, 20000, 36, 7);
    OpenLottery lottery;
    AppContext context;
    context.folder = home.folder();
    context.store = &home.store();
    context.lottery = &lottery;
    Tfrmmain window(context);
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();
    bench::StallMeter meter;
    // Each step runs on the GUI thread; its own time is a counter of its own.
    QElapsedTimer step;
    std::map<std::string, double> steps;
    for (auto _ : state) {
        window.mnucloseClick();
        meter.start();
        step.start();
        {
            Tfrmindex manager(context, &window);
            auto *list = manager.findChild<QListWidget *>(QStringLiteral("lstcaipiao"));
            list->setCurrentItem(list->findItems(kNanyue367, Qt::MatchExactly).value(0));
            manager.btnopenClick();
        }
        QApplication::processEvents();
        steps["open_ms"] = static_cast<double>(step.restart());
        for (const char *action : {"mnuhei", "mnuqujian", "mnuyilou"}) {
            window.action(QString::fromLatin1(action))->trigger();
            QApplication::processEvents();
            steps[std::string(action + 3) + "_ms"] = static_cast<double>(step.restart());
        }
        meter.stop();
        if (lottery.drawCount != 20000)
            state.SkipWithError("the lottery did not open with its 20000 draws");
    }
    for (const auto &[name, ms] : steps)
        state.counters[name] = ms;
    Finish(state, meter);
}
BENCHMARK(BM_Open20000DrawsAndAnalyse)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// 大底交集 of two files of 1,200,000 tickets: import, intersect, show the result list.
void BM_IntersectTwoFilesOf1200000(benchmark::State &state)
{
    OpenHome open(100);
    const QString a = BigTicketFile(6);
    const QString b = BigTicketFile(5);
    bench::StallMeter meter;
    qint64 lines = 0;
    for (auto _ : state) {
        Tfrmjiaoqi window(open.context, nullptr);
        window.show();
        QApplication::processEvents();
        meter.start();
        dialogs::testing::QueueFiles({a, b});
        window.findChild<QPushButton *>(QStringLiteral("btndaoru"))->click();
        window.findChild<QPushButton *>(QStringLiteral("btnjiaoqi"))->click();
        if (!bench::SpinUntil([&] { return !window.running(); }))
            state.SkipWithError("the intersection did not end");
        QApplication::processEvents();
        meter.stop();
        lines = window.memoLineCount();
    }
    state.counters["lines"] = static_cast<double>(lines);
    Finish(state, meter);
}
BENCHMARK(BM_IntersectTwoFilesOf1200000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// 载入 of a 1,200,000-ticket file in the sum exclusion picker, up to the list shown.
void BM_ExclusionLoad1200000(benchmark::State &state)
{
    OpenHome open(100);
    const QString file = BigTicketFile(6);
    const QString done = QStringLiteral("过滤结果：%1注").arg(kBigFileTickets);
    bench::StallMeter meter;
    for (auto _ : state) {
        Tfrmallhei window(open.context, nullptr);
        window.show();
        QApplication::processEvents();
        auto *lblcode = window.findChild<QLabel *>(QStringLiteral("lblcode"));
        meter.start();
        dialogs::testing::Clear();
        dialogs::testing::QueueFile(file);
        window.findChild<QPushButton *>(QStringLiteral("btnload"))->click();
        if (!bench::SpinUntil([&] { return lblcode->text() == done || !dialogs::testing::Messages().isEmpty(); }))
            state.SkipWithError("the load did not end");
        QApplication::processEvents();
        meter.stop();
        if (lblcode->text() != done)
            state.SkipWithError(qPrintable(dialogs::testing::LastMessage()));
    }
    Finish(state, meter);
}
BENCHMARK(BM_ExclusionLoad1200000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// 旋转矩阵 of 21 numbers: Arg 0 the shipped 选六型21码中6保3, Arg 1 a 选七型21码中7保6 computed
// on request (5 s of search, then the check and the save).
void BM_Wheel21Numbers(benchmark::State &state)
{
    const bool compute = state.range(0) == 1;
    bench::BenchHome home;
    AppContext context;
    context.folder = home.folder();
    context.store = &home.store();
    context.fixedSeed = 14;
    bench::StallMeter meter;
    std::size_t tickets = 0;
    for (auto _ : state) {
        QFile::remove(home.folder().wheelsFolder() + QStringLiteral("选七型21码中7保6.txt"));
        Tfrmjuzheng window(context, nullptr);
        window.setComputeSeconds(5);
        window.show();
        QApplication::processEvents();
        auto choose = [&](const char *name, int index) {
            window.findChild<QComboBox *>(QString::fromLatin1(name))->setCurrentIndex(index);
        };
        choose("commainnum", 20);
        choose("comoknum", compute ? 6 : 5);
        choose("combaonum", compute ? 5 : 2);
        choose("comcainum", compute ? 6 : 5);
        for (int i = 1; i <= 21; ++i)
            window.findChild<QLineEdit *>(QStringLiteral("edtnum%1").arg(i))->setText(QString::number(i + 10));
        bool finished = false;
        QObject::connect(&window, &Tfrmjuzheng::generationFinished, [&] { finished = true; });
        meter.start();
        dialogs::testing::Clear();
        dialogs::testing::QueueAnswer(true);
        window.findChild<QPushButton *>(QStringLiteral("btngen"))->click();
        if (!bench::SpinUntil([&] { return finished; }))
            state.SkipWithError("the generation did not end");
        QApplication::processEvents();
        meter.stop();
        tickets = window.tickets().size();
        if (tickets == 0)
            state.SkipWithError(qPrintable(dialogs::testing::LastMessage()));
    }
    state.counters["tickets"] = static_cast<double>(tickets);
    Finish(state, meter);
}
BENCHMARK(BM_Wheel21Numbers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// 投资模式分析's search on the real 福彩3D history (Arg 1: 间隔模式 checked as the window opens;
// Arg 0: unchecked).
void BM_InvestmentSearch(benchmark::State &state)
{
    const QString fc3d = QStringLiteral(LUMARO_HISTORIES "/fc3d.csv");
    if (!QFileInfo::exists(fc3d)) {
        state.SkipWithError("resources/draws/fc3d.csv not found");
        return;
    }
    bench::BenchHome home;
    ImportDrawFile(home.store(), QStringLiteral("福彩3D"), fc3d);
    OpenLottery lottery;
    lottery.open(home.store(), QStringLiteral("福彩3D"));
    AppContext context;
    context.folder = home.folder();
    context.store = &home.store();
    context.lottery = &lottery;
    context.fixedSeed = 14;
    bench::StallMeter meter;
    for (auto _ : state) {
        Tfrmtozi window(context, nullptr);
        window.show();
        QApplication::processEvents();
        window.findChild<QPushButton *>(QStringLiteral("btnfilt"))->click();
        window.findChild<QCheckBox *>(QStringLiteral("chksepmode"))->setChecked(state.range(0) == 1);
        meter.start();
        window.findChild<QPushButton *>(QStringLiteral("btnyouhua"))->click();
        if (!window.searching())
            state.SkipWithError(qPrintable(dialogs::testing::LastMessage()));
        else if (!bench::SpinUntil([&] { return !window.searching(); }))
            state.SkipWithError("the search did not end");
        QApplication::processEvents();
        meter.stop();
    }
    Finish(state, meter);
}
BENCHMARK(BM_InvestmentSearch)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

#ifdef LUMARO_BENCH_FIXTURE_SERVER
// 数据下载 of 中国体彩22选5: the start page and 50 list pages of five draws each.
void BM_Download50Pages(benchmark::State &state)
{
    namespace pages = lumaro::test::pages;
    const QString name = QStringLiteral("中国体彩22选5");
    const QString ds = QStringLiteral("2020-01-01");
    const QString de = QStringLiteral("2024-12-31");
    test::FixtureServer server;
    server.serve(QStringLiteral("/lottery/draw/list/5"), pages::Tc225StartPage(ds, de));
    for (int page = 1; page <= 50; ++page) {
        std::vector<pages::Draw> draws;
        for (int k = 0; k < 5; ++k) {
            const int i = 250 - (page - 1) * 5 - k; // newest first: 250 … 1
            const int first = 1 + i % 17;
            draws.push_back({QString::number(2020000 + i), {first, first + 1, first + 2, first + 3, first + 5},
                QDate(2020, 1, 1).addDays(i).toString(QStringLiteral("yyyy-MM-dd"))});
        }
        server.serve(pages::Tc225ListPath(page, ds, de), pages::Tc225ListPage(draws));
    }
    DownloadDone downloadDone;
    bench::StallMeter meter;
    for (auto _ : state) {
        bench::BenchHome home;
        test::WriteSites(home.folder(), server, 5);
        AppContext context;
        OpenLottery lottery;
        context.folder = home.folder();
        context.store = &home.store();
        context.lottery = &lottery;
        Tfrmdownload2 window(context, downloadDone);
        window.show();
        QApplication::processEvents();
        window.findChild<QComboBox *>(QStringLiteral("comdown"))->setCurrentText(name);
        meter.start();
        window.btndownClick();
        if (!bench::SpinUntil([&] { return !window.isVisible(); }))
            state.SkipWithError("the download did not end");
        meter.stop();
        if (home.store().drawCount(name) != 250)
            state.SkipWithError(qPrintable(dialogs::testing::LastMessage()));
    }
    state.counters["requests"] = static_cast<double>(server.requests().size());
    Finish(state, meter);
}
BENCHMARK(BM_Download50Pages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
#endif

} // namespace
