// A user's typical run through the real main window, offscreen: download the draws of every
// built-in lottery from a local fixture server, open 南粤风采36选7, look at the sum chart and the
// omission table, ask the interval rebound picker for numbers, filter all C(36, 7) tickets,
// save the survivors on the desktop, intersect them with ticket files of other tools and plan
// the stakes with the fixed plan, printed to a PDF file. Every step checks the files and figures
// against values computed here, independently of the engines.
#include "analysis/u_hei.h"
#include "analysis/u_yilou.h"
#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "data/program_folder.h"
#include "data/u_index.h"
#include "download/draw_download.h"
#include "download/fixture_pages.h"
#include "download/fixture_server.h"
#include "download/u_download2.h"
#include "invest/u_gudingjihua.h"
#include "pickers/u_sep.h"
#include "shell/bar_chart.h"
#include "shell/dialogs.h"
#include "shell/u_main.h"
#include "support/screenshot.h"
#include "support/test_home.h"
#include "support/window_test.h"
#include "tickets/u_jiaoqi.h"
#include "tickets/u_totalfilt.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <random>
#include <set>

using namespace lumaro;
namespace pages = lumaro::test::pages;

namespace {

using Ticket = std::array<int, 7>;

const QString kNanyue367 = QStringLiteral("南粤风采36选7");

bool WaitUntil(const std::function<bool()> &condition, int ms = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(10);
    }
    return true;
}

// Acts on the next modal window of type T once it is shown, as a user would: the main window's
// menu actions exec() their modal windows, so the answer has to be queued before the trigger.
template<class T>
void OnNextModal(std::function<void(T *)> act)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (auto *modal = qobject_cast<T *>(QApplication::activeModalWidget()); modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            act(modal);
            // A step that went wrong must not leave the run waiting on the window for ever.
            QTimer::singleShot(60000, modal, [modal] {
                if (modal->isVisible())
                    modal->done(QDialog::Rejected);
            });
        }
    });
    poll->start();
}

template<class T>
T *Child(QWidget *window, const char *name)
{
    T *control = window->findChild<T *>(QString::fromUtf8(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

QString Pad2(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString TicketText(const Ticket &t, const QString &separator)
{
    QStringList parts;
    for (int n : t)
        parts << Pad2(n);
    return parts.join(separator);
}

int SumOf(const Ticket &t)
{
    int s = 0;
    for (int n : t)
        s += n;
    return s;
}

int OddOf(const Ticket &t)
{
    return static_cast<int>(std::count_if(t.begin(), t.end(), [](int n) { return n % 2 == 1; }));
}

int BankerHits(const Ticket &t, const std::set<int> &bankers)
{
    return static_cast<int>(std::count_if(t.begin(), t.end(), [&](int n) { return bankers.count(n) > 0; }));
}

// Reads a ticket file of 36选7 lines "NN NN NN NN NN NN NN" ending CR LF; fails the test on any
// other line.
std::vector<Ticket> ReadTicketFile(const QString &path)
{
    std::vector<Ticket> tickets;
    const QByteArray content = test::ReadFile(path);
    EXPECT_TRUE(content.isEmpty() || content.endsWith("\r\n"));
    const QList<QByteArray> lines = content.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        EXPECT_TRUE(line.endsWith('\r')) << "line " << i + 1;
        const QList<QByteArray> tokens = line.trimmed().split(' ');
        if (tokens.size() != 7) {
            ADD_FAILURE() << "line " << i + 1 << ": " << line.toStdString();
            continue;
        }
        Ticket t {};
        for (int k = 0; k < 7; ++k) {
            EXPECT_EQ(tokens[k].size(), 2) << "line " << i + 1;
            t[static_cast<std::size_t>(k)] = tokens[k].toInt();
        }
        tickets.push_back(t);
    }
    return tickets;
}

// A random sorted 36选7 ticket.
Ticket RandomTicket(std::mt19937 &random)
{
    std::vector<int> pool(36);
    for (int i = 0; i < 36; ++i)
        pool[static_cast<std::size_t>(i)] = i + 1;
    std::shuffle(pool.begin(), pool.end(), random);
    Ticket t {};
    std::copy_n(pool.begin(), 7, t.begin());
    std::sort(t.begin(), t.end());
    return t;
}

int PdfPages(const QByteArray &pdf)
{
    return static_cast<int>(
        pdf.count("/Type /Page\n") + pdf.count("/Type /Page ") + pdf.count("/Type /Page>") + pdf.count("/Type /Page/"));
}

// The history of 南粤风采36选7 before the download: 300 draws of a fixed generator.
std::vector<DrawRow> NanyueHistory()
{
    std::mt19937 random(367);
    std::vector<DrawRow> rows;
    const QDate first(2023, 1, 2);
    for (int i = 0; i < 300; ++i) {
        DrawRow row;
        row.period = QString::number(2023001 + i);
        row.date = first.addDays(i).toString(QStringLiteral("yyyy-MM-dd"));
        std::vector<int> pool(36);
        for (int k = 0; k < 36; ++k)
            pool[static_cast<std::size_t>(k)] = k + 1;
        std::shuffle(pool.begin(), pool.end(), random);
        row.numbers.assign(pool.begin(), pool.begin() + 7);
        rows.push_back(row);
    }
    return rows;
}

// The user's home folder (and so the desktop) is a temporary folder for the whole run.
class ScopedHome {
public:
    ScopedHome()
        : m_home(qgetenv("HOME"))
        , m_config(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", m_dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/.config")).toUtf8());
        QDir(m_dir.path()).mkpath(QStringLiteral("Desktop"));
    }
    ~ScopedHome()
    {
        qputenv("HOME", m_home);
        if (m_config.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_config);
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_home;
    QByteArray m_config;
};

class TypicalRun : public test::WindowTest {
protected:
    TypicalRun()
        : WindowTest(15)
    { }
    void SetUp() override
    {
        WindowTest::SetUp();
        // Every site and both result services on the one server; 七乐彩 keeps its history page.
        test::SiteHosts hosts {server.root(), server.root(), server.root(), server.root(), 5};
        hosts.welfareService = server.root();
        hosts.sportsService = server.root();
        hosts.games = QStringLiteral("qlc=\n");
        test::WriteSites(home.folder(), hosts);
    }
    void TearDown() override
    {
        window.reset();
        WindowTest::TearDown();
    }

    // Fixture pages for every built-in lottery: the new draws each one must gain.
    void servePages();

    ScopedHome userHome;
    test::FixtureServer server;
    std::unique_ptr<Tfrmmain> window;

    std::map<QString, int> expectedAdded;
    std::vector<std::vector<int>> newNanyueDraws; // oldest first
};

void TypicalRun::servePages()
{
    // 七乐彩: two new draws, newest first on the page, then the latest stored one.
    const QString qlc = QStringLiteral("中国福彩七乐彩");
    const std::vector<StoredDraw> qlcStored = home.store().readDraws(qlc);
    ASSERT_FALSE(qlcStored.empty());
    const qint64 lastQlc = qlcStored.back().period.toLongLong();
    server.serve(QStringLiteral("/trend/analyseqlc.do?operator=historicalNumbers&page=1"),
        pages::QlcHistoryPage({{QString::number(lastQlc + 2), {2, 5, 9, 14, 20, 26, 30}, {}},
            {QString::number(lastQlc + 1), {1, 3, 8, 12, 17, 23, 29}, {}},
            {QString::number(lastQlc), qlcStored.back().numbers, {}}}));
    expectedAdded[qlc] = 2;

    // 南粤风采36选7: three new draws on the first list page, the stored latest one on the second.
    newNanyueDraws = {{3, 11, 18, 24, 29, 33, 36}, {1, 7, 12, 19, 25, 30, 35}, {5, 6, 14, 21, 28, 31, 34}};
    server.serve(QStringLiteral("/datas/history/367/history_1.html"),
        pages::NanyueListPage(367, 7,
            {{QStringLiteral("2023303"), newNanyueDraws[2], {}}, {QStringLiteral("2023302"), newNanyueDraws[1], {}},
                {QStringLiteral("2023301"), newNanyueDraws[0], {}}}));
    server.serve(QStringLiteral("/datas/history/367/history_2.html"),
        pages::NanyueListPage(367, 7, {{QStringLiteral("2023300"), {1, 2, 3, 4, 5, 6, 7}, {}}}));
    for (int k = 1; k <= 3; ++k)
        server.serve(pages::NanyueDetailPath(367, QStringLiteral("202330%1").arg(k)),
            pages::NanyueDetailPage(QStringLiteral("2023-11-0%1").arg(k)));
    expectedAdded[kNanyue367] = 3;

    // 南粤风采26选5: an empty history gains the two draws of its only page.
    server.serve(QStringLiteral("/datas/history/265/history_1.html"),
        pages::NanyueListPage(265, 5,
            {{QStringLiteral("2024012"), {2, 9, 15, 20, 26}, {}}, {QStringLiteral("2024011"), {1, 4, 8, 16, 22}, {}}}));
    server.serve(
        pages::NanyueDetailPath(265, QStringLiteral("2024012")), pages::NanyueDetailPage(QStringLiteral("2024-01-12")));
    server.serve(
        pages::NanyueDetailPath(265, QStringLiteral("2024011")), pages::NanyueDetailPage(QStringLiteral("2024-01-11")));
    expectedAdded[QStringLiteral("南粤风采26选5")] = 2;

    // 中国体彩22选5: the start page with its date range, then 50 list pages (the first with draws).
    server.serveEmptyPagesUnder(QStringLiteral("/lottery/draw/list/"));
    const QString ds = QStringLiteral("2024-01-01");
    const QString de = QStringLiteral("2024-03-02");
    server.serve(QStringLiteral("/lottery/draw/list/5"), pages::Tc225StartPage(ds, de));
    server.serve(pages::Tc225ListPath(1, ds, de),
        pages::Tc225ListPage({{QStringLiteral("2024060"), {1, 2, 3, 4, 5}, QStringLiteral("2024-03-02")},
            {QStringLiteral("2024059"), {6, 7, 8, 9, 22}, QStringLiteral("2024-03-01")},
            {QStringLiteral("2024058"), {10, 11, 12, 13, 14}, QStringLiteral("2024-02-29")}}));
    expectedAdded[QStringLiteral("中国体彩22选5")] = 3;

    // The four 11选5 games: today's day page of each has draws, the older day pages are empty.
    const QDate today = QDate::currentDate();
    const QString day = today.toString(QStringLiteral("yyyy-MM-dd"));
    const QString prefix = today.toString(QStringLiteral("yyMMdd"));
    const struct {
        const char *name;
        int game;
        int draws;
    } games[]
        = {{"重庆体彩11选5", 558, 1}, {"广东体彩11选5", 23, 2}, {"山东体彩11选5", 20, 3}, {"江西体彩11选5", 22, 2}};
    for (const auto &game : games) {
        std::vector<pages::Draw> draws;
        for (int k = game.draws; k >= 1; --k)
            draws.push_back({prefix + Pad2(k), {k, k + 2, k + 4, k + 5, 11}, {}});
        server.serve(QStringLiteral("/lottery/draw/list/%1?d=%2").arg(game.game).arg(day),
            pages::ElevenFiveDayPage(draws, game.game == 22));
        expectedAdded[QString::fromUtf8(game.name)] = game.draws;
    }

    // The games of the result services, empty before: the newest page of each, first draws of the year.
    const SiteConfig sites = SiteConfig::load(home.folder().auxiliaryFolder() + SiteConfig::fileName());
    const QString year = QString::number(today.year());
    const struct {
        const char *name;
        const char *code;
        ResultService service;
        const char *front;
        const char *back;
    } services[] = {{"福彩3D", "3d", ResultService::Welfare, "1,2,3", ""},
        {"双色球", "ssq", ResultService::Welfare, "03,09,14,21,27,33", "12"},
        {"大乐透", "85", ResultService::Sports, "02 11 19 25 35", "04 12"},
        {"排列3", "35", ResultService::Sports, "7 7 0", ""},
        {"排列5", "350133", ResultService::Sports, "1 2 3 4 5", ""}};
    for (const auto &game : services) {
        const bool welfare = game.service == ResultService::Welfare;
        std::vector<pages::ServiceDraw> draws;
        for (int k = 2; k >= 1; --k)
            draws.push_back({(welfare ? year : year.mid(2)) + QStringLiteral("00") + QString::number(k),
                QString::fromLatin1(game.front), QString::fromLatin1(game.back), day});
        server.serve(ServicePageTarget(sites.service(game.service), QString::fromLatin1(game.code), 1),
            welfare ? pages::WelfareAnswer(draws) : pages::SportsAnswer(draws));
        expectedAdded[QString::fromUtf8(game.name)] = 2;
    }
}

} // namespace

TEST_F(TypicalRun, DownloadOpenAnalysePickFilterIntersectAndPlan)
{
    // The user's histories before the run: the real 七乐彩 one, and 300 draws of 南粤风采36选7.
    ImportDrawFile(home.store(), QStringLiteral("中国福彩七乐彩"), test::HistoryFile(QStringLiteral("qlc.csv")));
    home.store().appendDraws(kNanyue367, NanyueHistory());
    std::map<QString, int> before;
    for (const QString &name : home.store().listLotteries())
        before[name] = home.store().drawCount(name);
    ASSERT_NO_FATAL_FAILURE(servePages());
    ASSERT_EQ(expectedAdded.size(), 13u);

    window = std::make_unique<Tfrmmain>(context);
    window->resize(1200, 800);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QString desktop = DesktopFolder();
    ASSERT_EQ(QDir(desktop).canonicalPath(), QDir(userHome.path() + QStringLiteral("/Desktop")).canonicalPath());

    // ---- 数据下载: all lotteries.
    bool downloadStarted = false;
    OnNextModal<Tfrmdownload2>([&](Tfrmdownload2 *download) {
        auto *comdown = download->findChild<QComboBox *>(QStringLiteral("comdown"));
        EXPECT_EQ(comdown->currentText(), QStringLiteral("所有彩票"));
        QTest::mouseClick(download->findChild<QPushButton *>(QStringLiteral("btndown")), Qt::LeftButton);
        downloadStarted = download->isDownloading();
    });
    window->action(QStringLiteral("mnudownload"))->trigger();
    EXPECT_TRUE(downloadStarted);
    QStringList expectedReport {QStringLiteral("下载完成！")};
    // One line a lottery, in the order the download runs them.
    for (const char *name : {"中国福彩七乐彩", "南粤风采36选7", "南粤风采26选5", "中国体彩22选5", "重庆体彩11选5",
             "广东体彩11选5", "山东体彩11选5", "江西体彩11选5", "福彩3D", "双色球", "大乐透", "排列3", "排列5"})
        expectedReport
            << QStringLiteral("%1：新增%2期").arg(QString::fromUtf8(name)).arg(expectedAdded[QString::fromUtf8(name)]);
    EXPECT_EQ(dialogs::testing::LastMessage().toStdString(), expectedReport.join(QLatin1Char('\n')).toStdString());
    for (const auto &[name, added] : expectedAdded)
        EXPECT_EQ(home.store().drawCount(name), before[name] + added) << name.toStdString();
    const std::vector<StoredDraw> stored = home.store().readDraws(kNanyue367);
    ASSERT_EQ(stored.size(), 303u);
    EXPECT_EQ(stored.back().period, QStringLiteral("2023303"));
    EXPECT_EQ(stored.back().numbers, newNanyueDraws[2]);
    EXPECT_EQ(stored.back().date, QStringLiteral("2023-11-03"));

    // ---- 打开彩票: 南粤风采36选7 in the lottery manager.
    OnNextModal<Tfrmindex>([](Tfrmindex *manager) {
        auto *list = manager->findChild<QListWidget *>(QStringLiteral("lstcaipiao"));
        const QList<QListWidgetItem *> items = list->findItems(kNanyue367, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        list->setCurrentItem(items.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.front()).center());
        QTest::mouseClick(manager->findChild<QPushButton *>(QStringLiteral("btnopen")), Qt::LeftButton);
    });
    window->action(QStringLiteral("mnuopen"))->trigger();
    ASSERT_TRUE(lottery.lotteryOpen) << dialogs::testing::LastMessage().toStdString();
    EXPECT_EQ(lottery.name, kNanyue367);
    EXPECT_EQ(lottery.drawCount, 303);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumaro《南粤风采36选7》"));

    // ---- 号码和值分析 (tab 3): the chart's bars are the sums of the latest draws.
    window->action(QStringLiteral("mnuhei"))->trigger();
    EXPECT_EQ(window->tabmain()->currentIndex(), 3);
    auto *hei = dynamic_cast<Tfrmhei *>(window->currentView());
    ASSERT_NE(hei, nullptr);
    auto *chart = Child<BarChart>(hei, "chthistory");
    ASSERT_EQ(chart->pointCount(), 3);
    for (int k = 0; k < 3; ++k) {
        const std::vector<int> &draw = newNanyueDraws[static_cast<std::size_t>(k)];
        int sum = 0;
        for (int n : draw)
            sum += n;
        EXPECT_EQ(chart->value(0, k), sum) << k;
        EXPECT_EQ(chart->labels()[k], QStringLiteral("202330%1").arg(k + 1));
    }
    EXPECT_EQ(Child<QTableView>(hei, "tabhistory")->model()->rowCount(), 303);
    test::Screenshot(window.get(), QStringLiteral("typical_run_hei"));

    // ---- 中奖回补分析选号: hit totals per number over the whole history.
    window->action(QStringLiteral("mnuyilou"))->trigger();
    auto *yilou = qobject_cast<Tfrmyilou *>(window->registry().find(QStringLiteral("Tfrmyilou")));
    ASSERT_NE(yilou, nullptr);
    EXPECT_TRUE(yilou->isVisible());
    std::array<int, 37> hits {};
    for (const StoredDraw &draw : stored)
        for (int n : draw.numbers)
            ++hits[static_cast<std::size_t>(n)];
    const QAbstractItemModel *omission = Child<QTableView>(yilou, "tabhistory")->model();
    ASSERT_EQ(omission->rowCount(), 36);
    for (int row = 0; row < 36; ++row) {
        const int number = omission->index(row, 0).data().toInt();
        ASSERT_GE(number, 1);
        ASSERT_LE(number, 36);
        EXPECT_EQ(omission->index(row, 3).data().toInt(), hits[static_cast<std::size_t>(number)]) << number;
    }
    test::Screenshot(yilou, QStringLiteral("typical_run_yilou"));

    // ---- 最优间隔回补选号: seven numbers for the coming draw.
    window->action(QStringLiteral("mnusep"))->trigger();
    auto *sep = qobject_cast<Tfrmsep *>(window->registry().find(QStringLiteral("Tfrmsep")));
    ASSERT_NE(sep, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !sep->isBusy(); }));
    auto *comcurqi = Child<QComboBox>(sep, "comcurqi");
    EXPECT_EQ(comcurqi->currentText(), QStringLiteral("2023304"));
    Child<QComboBox>(sep, "comcodenum")->setCurrentText(QStringLiteral("7"));
    QTest::mouseClick(Child<QPushButton>(sep, "btngen"), Qt::LeftButton);
    const QString proposal = Child<QLineEdit>(sep, "edtcurcode")->text();
    const QString head = QStringLiteral("2023304期推荐投注号码：");
    ASSERT_TRUE(proposal.startsWith(head)) << proposal.toStdString();
    // Seven numbers make one ticket: the cost of covering them follows the numbers.
    const QString cost = QStringLiteral(" 全包需C(7,7)=1注，2元");
    ASSERT_TRUE(proposal.endsWith(cost)) << proposal.toStdString();
    const QStringList proposed = proposal.mid(head.size(), proposal.size() - head.size() - cost.size())
                                     .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    ASSERT_EQ(proposed.size(), 7) << proposal.toStdString();
    std::set<int> proposedNumbers;
    for (const QString &text : proposed) {
        EXPECT_EQ(text.size(), 2);
        const int n = text.toInt();
        EXPECT_GE(n, 1);
        EXPECT_LE(n, 36);
        proposedNumbers.insert(n);
    }
    EXPECT_EQ(proposedNumbers.size(), 7u);

    // ---- 总体号码缩水过滤: sum, odd count and banker numbers over all C(36, 7) tickets.
    const int sumLow = 120, sumHigh = 135, oddLow = 3, oddHigh = 4, bankerLow = 2, bankerHigh = 3;
    const std::set<int> bankers {5, 18, 29};
    window->action(QStringLiteral("mnutotalfilt"))->trigger();
    auto *filter = qobject_cast<Tfrmtotalfilt *>(window->registry().find(QStringLiteral("Tfrmtotalfilt")));
    ASSERT_NE(filter, nullptr);
    Child<QCheckBox>(filter, "chkhei")->setChecked(true);
    Child<QComboBox>(filter, "comhei1")->setCurrentText(QString::number(sumLow));
    Child<QComboBox>(filter, "comhei2")->setCurrentText(QString::number(sumHigh));
    Child<QCheckBox>(filter, "chkjishu")->setChecked(true);
    Child<QComboBox>(filter, "comjiou1")->setCurrentText(QString::number(oddLow));
    Child<QComboBox>(filter, "comjiou2")->setCurrentText(QString::number(oddHigh));
    Child<QCheckBox>(filter, "chkdanma")->setChecked(true);
    Child<QLineEdit>(filter, "edtdanma")->setText(QStringLiteral("05 18 29"));
    Child<QLineEdit>(filter, "edtnum1")->setText(QString::number(bankerLow));
    Child<QLineEdit>(filter, "edtnum2")->setText(QString::number(bankerHigh));
    {
        QSignalSpy finished(filter, &Tfrmtotalfilt::runFinished);
        QTest::mouseClick(Child<QPushButton>(filter, "btnfilt"), Qt::LeftButton);
        ASSERT_TRUE(filter->isRunning()) << dialogs::testing::LastMessage().toStdString();
        ASSERT_TRUE(finished.wait(40000));
    }
    // The count of every ticket that meets the conditions, by enumeration.
    qint64 expectedSurvivors = 0;
    {
        Ticket t {1, 2, 3, 4, 5, 6, 7};
        while (true) {
            const int s = SumOf(t), o = OddOf(t), b = BankerHits(t, bankers);
            if (s >= sumLow && s <= sumHigh && o >= oddLow && o <= oddHigh && b >= bankerLow && b <= bankerHigh)
                ++expectedSurvivors;
            int i = 6;
            while (i >= 0 && t[static_cast<std::size_t>(i)] == 36 - 6 + i)
                --i;
            if (i < 0)
                break;
            ++t[static_cast<std::size_t>(i)];
            for (int j = i + 1; j < 7; ++j)
                t[static_cast<std::size_t>(j)] = t[static_cast<std::size_t>(j) - 1] + 1;
        }
    }
    ASSERT_GT(expectedSurvivors, 1000);
    EXPECT_EQ(Child<QLabel>(filter, "lblcode")->text(), QStringLiteral("过滤结果：%1注").arg(expectedSurvivors));
    test::Screenshot(filter, QStringLiteral("typical_run_totalfilt"));

    // Saved on the desktop, where the dialog starts; every line meets the conditions.
    const QString survivorsFile = desktop + QStringLiteral("/南粤36选7缩水.txt");
    dialogs::testing::Clear();
    dialogs::testing::QueueFile(survivorsFile);
    QTest::mouseClick(Child<QPushButton>(filter, "btnsave"), Qt::LeftButton);
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("成功保存！"));
    const std::vector<Ticket> survivors = ReadTicketFile(survivorsFile);
    ASSERT_EQ(static_cast<qint64>(survivors.size()), expectedSurvivors);
    for (std::size_t i = 0; i < survivors.size(); ++i) {
        const Ticket &t = survivors[i];
        ASSERT_TRUE(std::is_sorted(t.begin(), t.end()) && std::adjacent_find(t.begin(), t.end()) == t.end()) << i;
        ASSERT_GE(t.front(), 1);
        ASSERT_LE(t.back(), 36);
        ASSERT_TRUE(SumOf(t) >= sumLow && SumOf(t) <= sumHigh) << i;
        ASSERT_TRUE(OddOf(t) >= oddLow && OddOf(t) <= oddHigh) << i;
        ASSERT_TRUE(BankerHits(t, bankers) >= bankerLow && BankerHits(t, bankers) <= bankerHigh) << i;
        if (i > 0) {
            ASSERT_LT(survivors[i - 1], t) << i; // lexicographic, each ticket once
        }
    }

    // ---- 大底交集: the survivors and the files of three other tools (serial numbers, ",", "+").
    std::mt19937 random(15);
    std::set<Ticket> serialSet, commaSet, plusSet;
    for (std::size_t i = 0; i < survivors.size(); ++i) {
        if (i % 7 == 0)
            serialSet.insert(survivors[i]);
        if (i % 11 == 0)
            commaSet.insert(survivors[i]);
        if (i % 2 == 0)
            plusSet.insert(survivors[i]);
    }
    for (int k = 0; k < 3000; ++k) {
        serialSet.insert(RandomTicket(random));
        commaSet.insert(RandomTicket(random));
        plusSet.insert(RandomTicket(random));
    }
    QByteArray serialText, commaText, plusText;
    int serial = 0;
    for (const Ticket &t : serialSet)
        serialText += (QStringLiteral("%1    ").arg(++serial, 7, 10, QLatin1Char('0'))
            + TicketText(t, QStringLiteral(" ")) + QStringLiteral(" \r\n"))
                          .toUtf8();
    for (const Ticket &t : commaSet)
        commaText += (TicketText(t, QStringLiteral(",")) + QStringLiteral("\n")).toUtf8();
    for (const Ticket &t : plusSet)
        plusText += (TicketText(t, QStringLiteral("+")) + QStringLiteral("\r\n")).toUtf8();
    // Another tool writes a ticket twice: it still counts once for its file.
    plusText += (TicketText(*plusSet.begin(), QStringLiteral("+")) + QStringLiteral("\r\n")).toUtf8();
    const QString serialFile = desktop + QStringLiteral("/旋转矩阵结果.txt");
    const QString commaFile = desktop + QStringLiteral("/复式搜索.txt");
    const QString plusFile = desktop + QStringLiteral("/其他软件大底.txt");
    test::WriteFile(serialFile, serialText);
    test::WriteFile(commaFile, commaText);
    test::WriteFile(plusFile, plusText);
    std::vector<Ticket> expectedCommon;
    for (const Ticket &t : survivors)
        if (serialSet.count(t) && commaSet.count(t) && plusSet.count(t))
            expectedCommon.push_back(t);
    ASSERT_GT(expectedCommon.size(), 10u);

    window->action(QStringLiteral("mnujiaoqi"))->trigger();
    auto *jiaoqi = qobject_cast<Tfrmjiaoqi *>(window->registry().find(QStringLiteral("Tfrmjiaoqi")));
    ASSERT_NE(jiaoqi, nullptr);
    dialogs::testing::Clear();
    dialogs::testing::QueueFiles({survivorsFile, serialFile, commaFile, plusFile});
    QTest::mouseClick(Child<QPushButton>(jiaoqi, "btndaoru"), Qt::LeftButton);
    ASSERT_EQ(jiaoqi->files().size(), 4);
    QTest::mouseClick(Child<QPushButton>(jiaoqi, "btnjiaoqi"), Qt::LeftButton);
    jiaoqi->waitForResult();
    EXPECT_EQ(dialogs::testing::Messages().size(), 0) << dialogs::testing::LastMessage().toStdString();
    EXPECT_EQ(Child<QLabel>(jiaoqi, "lbldadi")->text(), QStringLiteral("最终交集：%1注").arg(expectedCommon.size()));
    ASSERT_EQ(jiaoqi->memoLineCount(), static_cast<qint64>(expectedCommon.size()));
    QByteArray expectedList;
    for (std::size_t i = 0; i < expectedCommon.size(); ++i)
        expectedList += (QStringLiteral("%1    ").arg(i + 1, 7, 10, QLatin1Char('0'))
            + TicketText(expectedCommon[i], QStringLiteral(" ")) + QStringLiteral(" \r\n"))
                            .toUtf8();
    EXPECT_EQ(test::ReadFile(home.path(QStringLiteral("temp.txt"))), expectedList);
    test::Screenshot(jiaoqi, QStringLiteral("typical_run_jiaoqi"));

    // ---- 固定投资计划: one multiple of the common tickets a period, printed to PDF.
    const qint64 unitStake = 2 * static_cast<qint64>(expectedCommon.size());
    const qint64 unitPrize = 50000, profit = 1000, periods = 30;
    window->action(QStringLiteral("mnugudingjihua"))->trigger();
    auto *plan = qobject_cast<Tfrmgudingjihua *>(window->registry().find(QStringLiteral("Tfrmgudingjihua")));
    ASSERT_NE(plan, nullptr);
    Child<QLineEdit>(plan, "edtprekui")->setText(QStringLiteral("0"));
    Child<QLineEdit>(plan, "edtlirun")->setText(QString::number(profit));
    Child<QLineEdit>(plan, "edtinofsin")->setText(QString::number(unitStake));
    Child<QLineEdit>(plan, "edtoutofsin")->setText(QString::number(unitPrize));
    Child<QLineEdit>(plan, "edtdays")->setText(QString::number(periods));
    dialogs::testing::Clear();
    QTest::mouseClick(Child<QPushButton>(plan, "btnala"), Qt::LeftButton);
    ASSERT_EQ(plan->gridRows().size(), static_cast<std::size_t>(periods))
        << dialogs::testing::LastMessage().toStdString();
    // Each period the smallest multiple whose prize pays back all stakes so far plus the profit.
    qint64 input = 0, netTotal = 0;
    for (qint64 p = 1; p <= periods; ++p) {
        qint64 multiple = 1;
        while (multiple * unitPrize - (input + multiple * unitStake) < profit)
            ++multiple;
        input += multiple * unitStake;
        const qint64 net = multiple * unitPrize - input;
        netTotal += net;
        const QStringList &row = plan->gridRows()[static_cast<std::size_t>(p - 1)];
        ASSERT_GE(row.size(), 6);
        EXPECT_EQ(row[0].toLongLong(), p);
        EXPECT_EQ(row[1].toLongLong(), multiple) << p;
        EXPECT_EQ(row[2].toLongLong(), multiple * unitStake) << p;
        EXPECT_EQ(row[3].toLongLong(), input) << p;
        EXPECT_EQ(row[4].toLongLong(), multiple * unitPrize) << p;
        EXPECT_EQ(row[5].toLongLong(), net) << p;
    }
    EXPECT_EQ(dialogs::testing::LastMessage(), QStringLiteral("平均每期净利润为:%1").arg(netTotal / periods));

    const QString pdf = desktop + QStringLiteral("/固定投资计划表.pdf");
    dialogs::testing::QueueChoice(1); // 打印到PDF
    dialogs::testing::QueueFile(pdf);
    QTest::mouseClick(Child<QPushButton>(plan, "btnprint"), Qt::LeftButton);
    ASSERT_TRUE(QFileInfo::exists(pdf)) << dialogs::testing::LastMessage().toStdString();
    const QByteArray pdfBytes = test::ReadFile(pdf);
    EXPECT_TRUE(pdfBytes.startsWith("%PDF"));
    EXPECT_EQ(PdfPages(pdfBytes), 2); // 25 rows a page
    // Where the text extractor is installed, the pages say what was planned.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (!pdftotext.isEmpty()) {
        QProcess extract;
        extract.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        ASSERT_TRUE(extract.waitForFinished(20000));
        // Some CJK fonts map ideographs to their radical forms; NFKC folds them back.
        const QString text
            = QString::fromUtf8(extract.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
        EXPECT_TRUE(text.contains(QStringLiteral("固定投资计划表"))) << text.left(400).toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("单倍投入:%1").arg(unitStake))) << text.left(400).toStdString();
        // The footer of both pages ("共2页\第1页"; 页 may come out as its radical form).
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("共2.\\\\第1.")))) << text.toStdString();
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("共2.\\\\第2.")))) << text.toStdString();
        EXPECT_TRUE(text.contains(plan->gridRows().back()[3])) << text.toStdString();
    }
}
