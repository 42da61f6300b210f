#include "shell/screenshot_tour.h"

#include "data/u_data.h"
#include "data/u_index.h"
#include "download/draw_download.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/u_about.h"
#include "shell/u_main.h"
#include "shell/window_catalog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace lumaro {

namespace {

// Lets the window settle: pending events, background work that reports back, repaints.
void Settle(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    } while (timer.elapsed() < milliseconds);
}

// A ticket file for 中奖查询 to check, in dir; its path.
QString WriteTickets(const QTemporaryDir &dir, const QString &name, const QByteArray &lines)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(lines);
    return path;
}

class Tour {
public:
    Tour(Tfrmmain &window, const QString &folder)
        : m_window(window)
        , m_folder(folder)
    {
        QDir().mkpath(folder);
    }

    void shoot(QWidget *widget, const QString &name, int wait = 300)
    {
        Settle(wait);
        if (widget->grab().save(m_folder + QLatin1Char('/') + name + QStringLiteral(".png")))
            ++m_count;
    }

    bool open(AppContext &context, const QString &lottery)
    {
        return Guarded(&m_window, [&] {
            m_window.mnucloseClick();
            context.lottery->open(*context.store, lottery);
            m_window.ShowOpenedLottery();
        });
    }

    // Clicks the window's buttons of the given names in turn, so that its picture shows what
    // the window computes rather than its empty start.
    void press(QWidget *window, const QStringList &buttons, int wait)
    {
        for (const QString &name : buttons) {
            auto *button = window->findChild<QPushButton *>(name);
            if (button && button->isEnabled()) {
                button->click();
                Settle(wait);
            }
        }
    }

    int count() const { return m_count; }

private:
    Tfrmmain &m_window;
    QString m_folder;
    int m_count = 0;
};

} // namespace

int RunScreenshotTour(Tfrmmain &window, const QString &folder)
{
    const bool wasTesting = dialogs::testing::Enabled();
    dialogs::testing::SetEnabled(true);
    AppContext &context = window.context();
    Tour tour(window, folder);
    window.resize(1280, 800);
    window.show();
    tour.shoot(&window, QStringLiteral("00_主窗口"));

    {
        Tfrmindex manager(context, &window);
        manager.show();
        tour.shoot(&manager, QStringLiteral("01_彩票操作"));
    }
    {
        Tfrmabout about(context.folder, &window);
        about.show();
        tour.shoot(&about, QStringLiteral("02_关于本程序"));
    }
    {
        Tfrmdata editor(context, &window);
        editor.show();
        tour.shoot(&editor, QStringLiteral("03_彩票数据"));
    }
    {
        DownloadDone done;
        std::unique_ptr<QWidget> download(CreateDownloadWindow(context, done, &window));
        download->show();
        tour.shoot(download.get(), QStringLiteral("04_数据下载"));
        std::unique_ptr<QWidget> quick(CreateQuickUpdateWindow(context, done, &window));
        quick->show();
        tour.shoot(quick.get(), QStringLiteral("05_数据下载_11选5快速更新"));
    }

    if (tour.open(context, QStringLiteral("中国福彩七乐彩"))) {
        for (int tab = 0; tab < kTabCount; ++tab) {
            window.tabmain()->setCurrentIndex(tab);
            tour.shoot(&window, QStringLiteral("1%1_%2").arg(tab).arg(TabCaption(tab)), 500);
        }
        window.tabmain()->setCurrentIndex(0);
        window.tlbbianwanClick();
        tour.shoot(&window, QStringLiteral("20_变幻走势"));
        window.tlbbiaozhunClick();
        const QHash<QString, QStringList> actions = {
            {QStringLiteral("Tfrmtotalfilt"), {QStringLiteral("btnfilt")}},
            {QStringLiteral("Tfrmsep"), {QStringLiteral("btngen"), QStringLiteral("btntongji")}},
            {QStringLiteral("Tfrmqingmi"), {QStringLiteral("btngen"), QStringLiteral("btntongji")}},
            {QStringLiteral("Tfrmganzhi"), {QStringLiteral("btngen"), QStringLiteral("btntongji")}},
            {QStringLiteral("Tfrmsibu"), {QStringLiteral("btngen"), QStringLiteral("btntongji")}},
            {QStringLiteral("Tfrmgudingjihua"), {QStringLiteral("btnala")}},
            {QStringLiteral("Tfrmjieduanjihua"), {QStringLiteral("btnala")}},
            {QStringLiteral("Tfrmzhongjiang"), {QStringLiteral("btndaoru"), QStringLiteral("btnjiancha")}},
        };
        // 中奖查询 checks a few tickets of its own, chosen through the file dialog the tour answers.
        QTemporaryDir tickets;
        const QString ticketFile = WriteTickets(tickets, QStringLiteral("投注号码.txt"),
            "01 05 09 14 18 22 27\r\n03 07 11 16 20 24 29\r\n02 06 10 13 19 25 30\r\n04 08 12 15 17 21 26\r\n");
        int index = 0;
        for (const ToolWindowEntry &entry : ToolWindows()) {
            if (entry.key == QLatin1String("Tfrmtozi"))
                continue;
            QWidget *tool = window.showToolWindow(entry.key);
            if (!tool)
                continue;
            if (entry.key == QLatin1String("Tfrmzhongjiang"))
                dialogs::testing::QueueFile(ticketFile);
            tour.press(tool, actions.value(entry.key), 1500);
            tour.shoot(tool, QStringLiteral("%1_%2").arg(30 + index++).arg(entry.caption), 1500);
            tool->hide();
        }
    }
    if (tour.open(context, QStringLiteral("福彩3D"))) {
        tour.shoot(&window, QStringLiteral("60_福彩3D走势"));
        if (QWidget *tozi = window.showToolWindow(QStringLiteral("Tfrmtozi"))) {
            tour.press(tozi, {QStringLiteral("btnfilt"), QStringLiteral("btnala")}, 1500);
            tour.shoot(tozi, QStringLiteral("61_投资模式分析"), 800);
        }
    }
    if (tour.open(context, QStringLiteral("双色球"))) {
        tour.shoot(&window, QStringLiteral("62_双色球走势"));
        // A few tickets of two zones checked against every stored draw.
        QTemporaryDir tickets;
        const QString ticketFile = WriteTickets(tickets, QStringLiteral("双色球投注号码.txt"),
            "03 09 14 20 27 31 + 07\r\n05 11 16 22 28 33 + 12\r\n01 08 13 19 24 30 + 03\r\n"
            "02 07 15 21 26 32 + 16\r\n");
        if (QWidget *check = window.showToolWindow(QStringLiteral("Tfrmzhongjiang"))) {
            dialogs::testing::QueueFile(ticketFile);
            tour.press(check, {QStringLiteral("btndaoru"), QStringLiteral("btnjiancha")}, 1500);
            tour.shoot(check, QStringLiteral("63_双色球中奖查询"), 1500);
            check->hide();
        }
        if (QWidget *filter = window.showToolWindow(QStringLiteral("Tfrmtotalfilt"))) {
            tour.shoot(filter, QStringLiteral("64_双色球总体过滤"), 800);
            filter->hide();
        }
    }
    window.mnucloseClick();
    dialogs::testing::SetEnabled(wasTesting);
    return tour.count();
}

} // namespace lumaro
