#include "download/draw_download.h"

#include "common/errors.h"
#include "data/draw_import.h"
#include "data/lottery_store.h"
#include "download/http_client.h"
#include "fixture_pages.h"
#include "fixture_server.h"
#include "support/test_home.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace lumaro;
namespace pages = lumaro::test::pages;

namespace {

const QString kQlc = QStringLiteral("中国福彩七乐彩");
const QString kQlcPage = QStringLiteral("/trend/analyseqlc.do?operator=historicalNumbers&page=1");
const QString kGuangdong = QStringLiteral("广东体彩11选5");
const QString kShandong = QStringLiteral("山东体彩11选5");
const QString kJiangxi = QStringLiteral("江西体彩11选5");

QString DayPath(int game, const QDate &day)
{
    return QStringLiteral("/lottery/draw/list/%1?d=%2").arg(game).arg(day.toString(QStringLiteral("yyyy-MM-dd")));
}

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (ResultSite site : {ResultSite::Welfare, ResultSite::Nanyue, ResultSite::Portal, ResultSite::Feed})
            sites.setHost(site, server.root());
        sites.setTimeoutMs(5000);
    }

    std::vector<BranchReport> run(const QString &choice)
    {
        HttpClient http(sites.timeoutMs());
        DrawDownloader downloader(home.folder(), home.store(), sites, http);
        downloader.setToday(today);
        DownloadCallbacks callbacks;
        callbacks.status = [this](const QString &text) { statusTexts << text; };
        downloader.setCallbacks(callbacks);
        return downloader.run(choice);
    }

    BranchReport runOne(const QString &lottery)
    {
        const std::vector<BranchReport> reports = run(lottery);
        EXPECT_EQ(reports.size(), 1u);
        return reports.empty() ? BranchReport() : reports.front();
    }

    DrawDownloader::QuickUpdate quick(const QString &lottery, bool downloadDone)
    {
        HttpClient http(sites.timeoutMs());
        DrawDownloader downloader(home.folder(), home.store(), sites, http);
        downloader.setToday(today);
        return downloader.quickUpdate(lottery, downloadDone);
    }

    QStringList storedPeriods(const QString &lottery)
    {
        QStringList result;
        for (const StoredDraw &draw : home.store().readDraws(lottery))
            result << draw.period;
        return result;
    }

    void store(const QString &lottery, const QString &period, std::vector<int> numbers, const QString &date)
    {
        home.store().appendDraws(lottery, {DrawRow {period, std::move(numbers), date}});
    }

    // Every portal list page not given explicitly is an empty page.
    void emptyDayPages() { server.serveEmptyPagesUnder(QStringLiteral("/lottery/draw/list/")); }

    test::TestHome home;
    test::FixtureServer server;
    SiteConfig sites;
    QDate today {2024, 1, 3};
    QStringList statusTexts;
};

std::vector<pages::Draw> QlcDraws(std::initializer_list<const char *> periods)
{
    std::vector<pages::Draw> draws;
    int shift = 0;
    for (const char *period : periods) {
        std::vector<int> numbers;
        for (int k = 0; k < 7; ++k)
            numbers.push_back(1 + (shift + 4 * k) % 30);
        ++shift;
        draws.push_back({QString::fromLatin1(period), numbers, {}});
    }
    return draws;
}

} // namespace

TEST_F(DownloadTest, ShippedSiteFileLeavesEverySiteUnconfigured)
{
    const SiteConfig shipped = SiteConfig::load(home.folder().auxiliaryFolder() + SiteConfig::fileName());
    ASSERT_TRUE(QFileInfo::exists(home.folder().auxiliaryFolder() + QStringLiteral("站点.ini")));
    for (ResultSite site : {ResultSite::Welfare, ResultSite::Nanyue, ResultSite::Portal, ResultSite::Feed})
        EXPECT_EQ(shipped.root(site).problem, QStringLiteral("站点未配置"));
    EXPECT_EQ(shipped.timeoutMs(), 20000);
}

TEST_F(DownloadTest, QlcFullRunIntoAnEmptyTableStartsTheDatesIn2001)
{
    server.serve(kQlcPage, pages::QlcHistoryPage(QlcDraws({"2024003", "2024002", "2024001"})));
    const BranchReport report = runOne(kQlc);
    EXPECT_TRUE(report.completed()) << report.reason.toStdString();
    EXPECT_EQ(report.line(), QStringLiteral("中国福彩七乐彩：新增3期"));
    const std::vector<StoredDraw> draws = home.store().readDraws(kQlc);
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].period, QStringLiteral("2024001"));
    EXPECT_EQ(draws[0].date, QStringLiteral("2001-01-03"));
    EXPECT_EQ(draws[1].date, QStringLiteral("2001-01-05"));
    EXPECT_EQ(draws[2].date, QStringLiteral("2001-01-08"));
    EXPECT_EQ(draws[2].numbers, QlcDraws({"2024003"}).front().numbers);
    EXPECT_EQ(statusTexts, QStringList {QStringLiteral("正在更新中国福彩七乐透。。。")});
    // The page stays in the program folder after the run.
    EXPECT_EQ(test::ReadFile(home.path(QStringLiteral("号码.txt"))),
        pages::QlcHistoryPage(QlcDraws({"2024003", "2024002", "2024001"})));
}

TEST_F(DownloadTest, QlcNewDrawsNewestFirstAreDatedOnFromTheLastStoredDate)
{
    store(kQlc, QStringLiteral("2024001"), {1, 2, 3, 4, 5, 6, 7}, QStringLiteral("2024-01-01"));
    server.serve(kQlcPage, pages::QlcHistoryPage(QlcDraws({"2024004", "2024003", "2024002", "2024001"})));
    EXPECT_EQ(runOne(kQlc).added, 3);
    const std::vector<StoredDraw> draws = home.store().readDraws(kQlc);
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[1].date, QStringLiteral("2024-01-03"));
    EXPECT_EQ(draws[2].date, QStringLiteral("2024-01-05"));
    EXPECT_EQ(draws[3].date, QStringLiteral("2024-01-08"));

    // Already current: nothing added, no complaint.
    const BranchReport again = runOne(kQlc);
    EXPECT_TRUE(again.completed());
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(home.store().drawCount(kQlc), 4);
}

TEST_F(DownloadTest, QlcKeepsMoreThanAThousandNewDraws)
{
    std::vector<pages::Draw> draws;
    for (int i = 1200; i >= 1; --i)
        draws.push_back({QString::number(2000000 + i), {1, 2, 3, 4, 5, 6, 1 + i % 24 + 6}, {}});
    server.serve(kQlcPage, pages::QlcHistoryPage(draws));
    const BranchReport report = runOne(kQlc);
    EXPECT_TRUE(report.completed()) << report.reason.toStdString();
    EXPECT_EQ(report.added, 1200);
    const std::vector<StoredDraw> stored = home.store().readDraws(kQlc);
    ASSERT_EQ(stored.size(), 1200u);
    EXPECT_EQ(stored.front().date, QStringLiteral("2001-01-03"));
    EXPECT_EQ(stored.back().period, QStringLiteral("2001200"));
}

TEST_F(DownloadTest, NanyueReadsListAndDetailPagesUntilTheListEnds)
{
    const QString name = QStringLiteral("南粤风采36选7");
    store(name, QStringLiteral("2024100"), {1, 2, 3, 4, 5, 6, 7}, QStringLiteral("2024-02-01"));
    server.serve(QStringLiteral("/datas/history/367/history_1.html"),
        pages::NanyueListPage(367, 7,
            {{QStringLiteral("2024103"), {36, 1, 2, 3, 4, 5, 6}, {}},
                {QStringLiteral("2024102"), {7, 8, 9, 10, 11, 12, 13}, {}}}));
    server.serve(QStringLiteral("/datas/history/367/history_2.html"),
        pages::NanyueListPage(367, 7,
            {{QStringLiteral("2024101"), {14, 15, 16, 17, 18, 19, 20}, {}},
                {QStringLiteral("2024100"), {1, 2, 3, 4, 5, 6, 7}, {}}}));
    for (const char *period : {"2024101", "2024102", "2024103"})
        server.serve(pages::NanyueDetailPath(367, QString::fromLatin1(period)),
            pages::NanyueDetailPage(QStringLiteral("2024-02-0") + QLatin1Char(period[6] + 1)));

    const BranchReport report = runOne(name);
    EXPECT_TRUE(report.completed()) << report.reason.toStdString();
    EXPECT_EQ(report.added, 3);
    const std::vector<StoredDraw> draws = home.store().readDraws(name);
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[1].period, QStringLiteral("2024101"));
    EXPECT_EQ(draws[1].date, QStringLiteral("2024-02-02"));
    EXPECT_EQ(draws[3].numbers, (std::vector<int> {36, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(draws[3].date, QStringLiteral("2024-02-04"));
    // Page 3 is missing (the history has two pages); the stored draw's detail page is not asked for.
    EXPECT_TRUE(server.requests().contains(QStringLiteral("/datas/history/367/history_3.html")));
    EXPECT_FALSE(server.requests().contains(QStringLiteral("/datas/history/367/history_4.html")));
    EXPECT_FALSE(server.requests().contains(pages::NanyueDetailPath(367, QStringLiteral("2024100"))));
}

TEST_F(DownloadTest, NanyueFailedDetailPageSavesNothingOfTheBranch)
{
    const QString name = QStringLiteral("南粤风采26选5");
    server.serve(QStringLiteral("/datas/history/265/history_1.html"),
        pages::NanyueListPage(265, 5,
            {{QStringLiteral("2024012"), {1, 2, 3, 4, 5}, {}}, {QStringLiteral("2024011"), {6, 7, 8, 9, 10}, {}}}));
    server.serve(
        pages::NanyueDetailPath(265, QStringLiteral("2024012")), pages::NanyueDetailPage(QStringLiteral("2024-01-12")));
    // The older draw's detail page is missing: saving only the newer draw would leave a hole
    // that later downloads never fill, so neither is saved.
    const BranchReport report = runOne(name);
    EXPECT_EQ(report.end, BranchEnd::FetchFailed);
    EXPECT_EQ(report.added, 0);
    EXPECT_TRUE(report.reason.contains(QStringLiteral("HTTP 404"))) << report.reason.toStdString();
    EXPECT_EQ(home.store().drawCount(name), 0);
}

TEST_F(DownloadTest, Tc225PagesAreReadBackOldestFirst)
{
    const QString name = QStringLiteral("中国体彩22选5");
    const QString ds = QStringLiteral("2024-01-01");
    const QString de = QStringLiteral("2024-03-02");
    store(name, QStringLiteral("2024057"), {1, 2, 3, 4, 5}, QStringLiteral("2024-02-28"));
    emptyDayPages();
    server.serve(QStringLiteral("/lottery/draw/list/5"), pages::Tc225StartPage(ds, de));
    server.serve(pages::Tc225ListPath(1, ds, de),
        pages::Tc225ListPage({{QStringLiteral("2024060"), {1, 2, 3, 4, 5}, QStringLiteral("2024-03-02")},
            {QStringLiteral("2024059"), {6, 7, 8, 9, 22}, QStringLiteral("2024-03-01")}}));
    server.serve(pages::Tc225ListPath(2, ds, de),
        pages::Tc225ListPage({{QStringLiteral("2024058"), {10, 11, 12, 13, 14}, QStringLiteral("2024-02-29")},
            {QStringLiteral("2024057"), {1, 2, 3, 4, 5}, QStringLiteral("2024-02-28")}}));
    const BranchReport report = runOne(name);
    EXPECT_TRUE(report.completed()) << report.reason.toStdString();
    EXPECT_EQ(report.added, 3);
    const std::vector<StoredDraw> draws = home.store().readDraws(name);
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[1].period, QStringLiteral("2024058"));
    EXPECT_EQ(draws[1].date, QStringLiteral("2024-02-29"));
    EXPECT_EQ(draws[2].numbers, (std::vector<int> {6, 7, 8, 9, 22}));
    const QStringList requests = server.requests();
    EXPECT_EQ(requests.size(), 51);
    EXPECT_EQ(requests.back(), pages::Tc225ListPath(50, ds, de));
}

TEST_F(DownloadTest, BadDrawKeepsOnlyTheOlderOnes)
{
    const QString name = QStringLiteral("中国体彩22选5");
    const QString ds = QStringLiteral("2024-01-01");
    const QString de = QStringLiteral("2024-03-02");
    emptyDayPages();
    server.serve(QStringLiteral("/lottery/draw/list/5"), pages::Tc225StartPage(ds, de));
    server.serve(pages::Tc225ListPath(1, ds, de),
        pages::Tc225ListPage({{QStringLiteral("2024060"), {1, 2, 3, 4, 5}, QStringLiteral("2024-03-02")},
            {QStringLiteral("2024059"), {6, 7, 8, 9, 23}, QStringLiteral("2024-03-01")},
            {QStringLiteral("2024058"), {10, 11, 12, 13, 14}, QStringLiteral("2024-02-29")}}));
    const BranchReport report = runOne(name);
    EXPECT_EQ(report.end, BranchEnd::BadData);
    EXPECT_EQ(report.added, 1);
    EXPECT_TRUE(report.reason.contains(QStringLiteral("不在1到22之间"))) << report.reason.toStdString();
    EXPECT_EQ(storedPeriods(name), QStringList {QStringLiteral("2024058")});
}

TEST_F(DownloadTest, ElevenFiveDayPagesGoBackFiftyDays)
{
    store(kGuangdong, QStringLiteral("24010240"), {1, 2, 3, 4, 5}, QStringLiteral("2024-01-02"));
    emptyDayPages();
    server.serve(DayPath(23, today),
        pages::ElevenFiveDayPage(
            {{QStringLiteral("24010302"), {11, 1, 5, 7, 2}, {}}, {QStringLiteral("24010301"), {3, 4, 6, 8, 10}, {}}},
            false));
    // Yesterday's page and today's both list 24010301: it is stored once.
    server.serve(DayPath(23, today.addDays(-1)),
        pages::ElevenFiveDayPage(
            {{QStringLiteral("24010301"), {3, 4, 6, 8, 10}, {}}, {QStringLiteral("24010241"), {9, 8, 7, 6, 5}, {}},
                {QStringLiteral("24010240"), {1, 2, 3, 4, 5}, {}}},
            false));
    const BranchReport report = runOne(kGuangdong);
    EXPECT_TRUE(report.completed()) << report.reason.toStdString();
    EXPECT_EQ(report.added, 3);
    EXPECT_EQ(storedPeriods(kGuangdong),
        (QStringList {QStringLiteral("24010240"), QStringLiteral("24010241"), QStringLiteral("24010301"),
            QStringLiteral("24010302")}));
    const std::vector<StoredDraw> draws = home.store().readDraws(kGuangdong);
    EXPECT_EQ(draws[1].date, QStringLiteral("2024-01-02"));
    EXPECT_EQ(draws[3].date, QStringLiteral("2024-01-03"));
    EXPECT_EQ(draws[3].numbers, (std::vector<int> {11, 1, 5, 7, 2}));
    const QStringList requests = server.requests();
    ASSERT_EQ(requests.size(), 50);
    EXPECT_EQ(requests.front(), DayPath(23, today));
    EXPECT_EQ(requests.back(), DayPath(23, QDate(2023, 11, 15)));
}

TEST_F(DownloadTest, JiangxiDayPagesDropTheCenturyOfThePeriod)
{
    emptyDayPages();
    server.serve(
        DayPath(22, today), pages::ElevenFiveDayPage({{QStringLiteral("24010301"), {1, 2, 3, 4, 5}, {}}}, true));
    EXPECT_EQ(runOne(kJiangxi).added, 1);
    const std::vector<StoredDraw> draws = home.store().readDraws(kJiangxi);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].period, QStringLiteral("24010301"));
    EXPECT_EQ(draws[0].date, QStringLiteral("2024-01-03"));
}

TEST_F(DownloadTest, EndsOfBranchesAreReportedAndAllLotteriesGoOn)
{
    sites.setHost(ResultSite::Welfare, QStringLiteral("http://127.0.0.1:%1").arg(test::ClosedPort()));
    sites.setHost(ResultSite::Nanyue, QString());
    emptyDayPages();
    // 22选5: its first page is missing. 11选5: only 广东 has draws; the other day pages are empty.
    server.serve(QStringLiteral("/lottery/draw/list/5"), test::FixtureResponse {404, "gone", "text/html", {}, false});
    server.serve(DayPath(23, today),
        pages::ElevenFiveDayPage(
            {{QStringLiteral("24010302"), {11, 1, 5, 7, 2}, {}}, {QStringLiteral("24010301"), {3, 4, 6, 8, 10}, {}}},
            false));

    const std::vector<BranchReport> reports = run(AllLotteriesChoice());
    ASSERT_EQ(reports.size(), 13u);
    QStringList order;
    for (const BranchReport &report : reports)
        order << report.lottery;
    EXPECT_EQ(order,
        (QStringList {kQlc, QStringLiteral("南粤风采36选7"), QStringLiteral("南粤风采26选5"),
            QStringLiteral("中国体彩22选5"), QStringLiteral("重庆体彩11选5"), kGuangdong, kShandong, kJiangxi,
            QStringLiteral("福彩3D"), QStringLiteral("双色球"), QStringLiteral("大乐透"), QStringLiteral("排列3"),
            QStringLiteral("排列5")}));
    EXPECT_EQ(statusTexts.front(), QStringLiteral("正在更新中国福彩七乐透。。。"));
    EXPECT_EQ(statusTexts[7], QStringLiteral("正在更新江西体彩11选5。。。"));
    EXPECT_EQ(statusTexts.back(), QStringLiteral("正在更新排列5。。。"));
    EXPECT_EQ(statusTexts.size(), 13);

    EXPECT_EQ(reports[0].end, BranchEnd::FetchFailed);
    EXPECT_TRUE(reports[0].reason.startsWith(QStringLiteral("下载失败：http://127.0.0.1:")))
        << reports[0].reason.toStdString();
    EXPECT_EQ(reports[1].line(), QStringLiteral("南粤风采36选7：新增0期，站点未配置"));
    EXPECT_EQ(reports[2].end, BranchEnd::NotConfigured);
    EXPECT_EQ(reports[3].end, BranchEnd::FetchFailed);
    EXPECT_TRUE(reports[3].reason.contains(QStringLiteral("HTTP 404"))) << reports[3].reason.toStdString();
    EXPECT_EQ(reports[4].line(), QStringLiteral("重庆体彩11选5：新增0期，页面上没有开奖号码"));
    EXPECT_EQ(reports[5].line(), QStringLiteral("广东体彩11选5：新增2期"));
    EXPECT_EQ(reports[6].end, BranchEnd::NoDraws);
    EXPECT_EQ(reports[7].end, BranchEnd::NoDraws);
    // The games only the result services give: none is configured here.
    for (size_t i = 8; i < reports.size(); ++i)
        EXPECT_EQ(reports[i].line(), reports[i].lottery + QStringLiteral("：新增0期，开奖服务未配置"));
    EXPECT_TRUE(DownloadSummary(reports).startsWith(QStringLiteral("下载完成！\n中国福彩七乐彩：新增0期，下载失败：")));
}

TEST_F(DownloadTest, PagesWithoutMarkersAndMissingTables)
{
    server.serve(kQlcPage, pages::EmptyPage());
    const BranchReport noMarkers = runOne(kQlc);
    EXPECT_EQ(noMarkers.end, BranchEnd::NoDraws);
    EXPECT_EQ(home.store().drawCount(kQlc), 0);

    home.store().dropLottery(kQlc);
    const BranchReport missing = runOne(kQlc);
    EXPECT_EQ(missing.end, BranchEnd::NoLottery);
    EXPECT_EQ(missing.line(), QStringLiteral("中国福彩七乐彩：新增0期，数据库中没有这种彩票"));
    EXPECT_THROW(run(QStringLiteral("七星彩")), InputError);
}

TEST_F(DownloadTest, RedirectsAreFollowedAndSilentServersTimeOut)
{
    server.redirect(kQlcPage, server.root() + QStringLiteral("/moved/qlc.html"));
    server.serve(QStringLiteral("/moved/qlc.html"), pages::QlcHistoryPage(QlcDraws({"2024001"})));
    EXPECT_EQ(runOne(kQlc).added, 1);

    test::FixtureResponse silent;
    silent.hang = true;
    server.serve(kQlcPage, silent);
    sites.setTimeoutMs(300);
    QElapsedTimer clock;
    clock.start();
    const BranchReport report = runOne(kQlc);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(report.end, BranchEnd::FetchFailed);
    EXPECT_TRUE(report.reason.contains(QStringLiteral("连接超时"))) << report.reason.toStdString();
    // A failed request leaves no page file behind.
    EXPECT_FALSE(QFileInfo::exists(home.path(QStringLiteral("号码.txt"))));
}

TEST_F(DownloadTest, QuickUpdateReadsDayPagesFirstAndTheFeedAfterwards)
{
    store(kGuangdong, QStringLiteral("24010301"), {3, 4, 6, 8, 10}, QStringLiteral("2024-01-03"));
    emptyDayPages();
    server.serve(
        DayPath(23, today), pages::ElevenFiveDayPage({{QStringLiteral("24010301"), {3, 4, 6, 8, 10}, {}}}, false));
    server.serve(QStringLiteral("/static/gd11x5/newlyopenlist.xml"),
        pages::Feed({{QStringLiteral("24010303"), {1, 2, 3, 4, 5}, QStringLiteral("2024-01-03")},
                        {QStringLiteral("24010302"), {6, 7, 8, 9, 10}, QStringLiteral("2024-01-03")},
                        {QStringLiteral("24010301"), {3, 4, 6, 8, 10}, QStringLiteral("2024-01-03")}},
            false));

    // The first update after start reads all fifty day pages, even though the table is current.
    const DrawDownloader::QuickUpdate first = quick(kGuangdong, false);
    EXPECT_TRUE(first.dayPages);
    EXPECT_TRUE(first.report.completed());
    EXPECT_EQ(first.report.added, 0);
    EXPECT_EQ(server.requests().size(), 50);
    EXPECT_FALSE(server.requests().contains(QStringLiteral("/static/gd11x5/newlyopenlist.xml")));

    server.clearRequests();
    const DrawDownloader::QuickUpdate second = quick(kGuangdong, true);
    EXPECT_FALSE(second.dayPages);
    EXPECT_EQ(server.requests(), QStringList {QStringLiteral("/static/gd11x5/newlyopenlist.xml")});
    EXPECT_EQ(second.report.line(), QStringLiteral("广东体彩11选5：新增2期"));
    EXPECT_TRUE(second.feedText.contains(QStringLiteral("<row")));
    EXPECT_EQ(home.store().readDraws(kGuangdong).back().numbers, (std::vector<int> {1, 2, 3, 4, 5}));

    // A feed of stored draws only adds nothing.
    EXPECT_EQ(quick(kGuangdong, true).report.added, 0);
    EXPECT_THROW(quick(kQlc, true), InputError);
}

TEST_F(DownloadTest, ShandongFeedIntoAnEmptyTable)
{
    server.serve(QStringLiteral("/static/11yun/newlyopenlist.xml"),
        pages::Feed({{QStringLiteral("24010312"), {11, 10, 9, 8, 7}, QStringLiteral("2024-01-03")},
                        {QStringLiteral("24010311"), {1, 3, 5, 7, 9}, QStringLiteral("2024-01-03")}},
            true));
    const DrawDownloader::QuickUpdate update = quick(kShandong, true);
    EXPECT_FALSE(update.dayPages);
    EXPECT_EQ(update.report.added, 2);
    const std::vector<StoredDraw> draws = home.store().readDraws(kShandong);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].period, QStringLiteral("24010311"));
    EXPECT_EQ(draws[0].numbers, (std::vector<int> {1, 3, 5, 7, 9}));
    EXPECT_EQ(draws[1].date, QStringLiteral("2024-01-03"));
}

TEST_F(DownloadTest, FeedThatMissesTheStoredDrawsFallsBackToDayPages)
{
    store(kGuangdong, QStringLiteral("24010101"), {1, 2, 3, 4, 5}, QStringLiteral("2024-01-01"));
    emptyDayPages();
    server.serve(DayPath(23, today.addDays(-2)),
        pages::ElevenFiveDayPage({{QStringLiteral("24010102"), {5, 4, 3, 2, 1}, {}}}, false));
    server.serve(QStringLiteral("/static/gd11x5/newlyopenlist.xml"),
        pages::Feed({{QStringLiteral("24010305"), {1, 2, 3, 4, 5}, QStringLiteral("2024-01-03")}}, false));
    const DrawDownloader::QuickUpdate update = quick(kGuangdong, true);
    EXPECT_TRUE(update.dayPages);
    EXPECT_EQ(update.report.added, 1);
    EXPECT_EQ(storedPeriods(kGuangdong), (QStringList {QStringLiteral("24010101"), QStringLiteral("24010102")}));

    // Without a feed host the day pages are read too.
    sites.setHost(ResultSite::Feed, QString());
    server.clearRequests();
    EXPECT_TRUE(quick(kGuangdong, true).dayPages);
    EXPECT_EQ(server.requests().size(), 50);
}

TEST_F(DownloadTest, FetchIntoAFileLeavesNoFileOnFailure)
{
    const QString target = home.path(QStringLiteral("号码.txt"));
    test::WriteFile(target, "old page");
    server.serve(QStringLiteral("/ok"), QByteArray("fresh"));
    HttpClient http(2000);
    const FetchResult missing = http.getToFile(QUrl(server.root() + QStringLiteral("/missing")), target);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.error, QStringLiteral("HTTP 404 Not Found"));
    EXPECT_FALSE(QFileInfo::exists(target));
    const FetchResult ok = http.getToFile(QUrl(server.root() + QStringLiteral("/ok")), target);
    EXPECT_TRUE(ok.ok());
    EXPECT_EQ(test::ReadFile(target), QByteArray("fresh"));
}

// A draw whose line or row is off the layout the scraper reads (letter case, one blank more, a
// wrong length) ends its branch at that draw: the older draws are stored, none past it, and
// the report names the period. A later download starts again from there.
TEST_F(DownloadTest, DrawOffTheLayoutEndsTheBranchWithoutAHole)
{
    // 七乐彩: the draw line of 2024003 in other letter case.
    store(kQlc, QStringLiteral("2024001"), {1, 2, 3, 4, 5, 6, 7}, QStringLiteral("2024-01-01"));
    QByteArray qlc = pages::QlcHistoryPage(QlcDraws({"2024004", "2024003", "2024002"}));
    const qsizetype line = qlc.indexOf("show('2024003')");
    ASSERT_GT(line, 0);
    qlc.replace(qlc.lastIndexOf("detatilqlc", line), 10, "DetatilQlc");
    server.serve(kQlcPage, qlc);
    BranchReport report = runOne(kQlc);
    EXPECT_EQ(report.end, BranchEnd::BadData);
    EXPECT_EQ(report.line(), QStringLiteral("中国福彩七乐彩：新增1期，第2024003期的开奖号码读不出（页面格式不符）"));
    EXPECT_EQ(storedPeriods(kQlc), (QStringList {QStringLiteral("2024001"), QStringLiteral("2024002")}));
    // The site mends its page: the next download fills in from 2024003.
    server.serve(kQlcPage, pages::QlcHistoryPage(QlcDraws({"2024004", "2024003", "2024002"})));
    EXPECT_TRUE(runOne(kQlc).completed());
    EXPECT_EQ(storedPeriods(kQlc).size(), 4);

    // 南粤风采36选7: the draw line of 2024102 one character longer.
    const QString nanyue = QStringLiteral("南粤风采36选7");
    store(nanyue, QStringLiteral("2024100"), {1, 2, 3, 4, 5, 6, 7}, QStringLiteral("2024-02-01"));
    QByteArray list = pages::NanyueListPage(367, 7,
        {{QStringLiteral("2024103"), {1, 2, 3, 4, 5, 6, 7}, {}},
            {QStringLiteral("2024102"), {8, 9, 10, 11, 12, 13, 14}, {}},
            {QStringLiteral("2024101"), {15, 16, 17, 18, 19, 20, 21}, {}}});
    list.replace("align=\"center\">2024102", "align=\"center\" >2024102");
    server.serve(QStringLiteral("/datas/history/367/history_1.html"), list);
    for (const char *period : {"2024101", "2024102", "2024103"})
        server.serve(pages::NanyueDetailPath(367, QString::fromLatin1(period)),
            pages::NanyueDetailPage(QStringLiteral("2024-02-02")));
    report = runOne(nanyue);
    EXPECT_EQ(report.end, BranchEnd::BadData);
    EXPECT_TRUE(report.reason.contains(QStringLiteral("第2024102期"))) << report.reason.toStdString();
    EXPECT_EQ(storedPeriods(nanyue), (QStringList {QStringLiteral("2024100"), QStringLiteral("2024101")}));

    // 广东体彩11选5: a period line with a blank inside; its balls go to the draw above it.
    store(kGuangdong, QStringLiteral("24010301"), {1, 2, 3, 4, 5}, QStringLiteral("2024-01-03"));
    emptyDayPages();
    QByteArray day = pages::ElevenFiveDayPage(
        {{QStringLiteral("24010304"), {1, 2, 3, 4, 5}, {}}, {QStringLiteral("24010303"), {6, 7, 8, 9, 10}, {}},
            {QStringLiteral("24010302"), {11, 1, 2, 3, 4}, {}}},
        false);
    day.replace("24010303", "2401 0303");
    server.serve(DayPath(23, today), day);
    report = runOne(kGuangdong);
    EXPECT_EQ(report.end, BranchEnd::BadData);
    EXPECT_TRUE(report.reason.startsWith(QStringLiteral("第24010304期之前有一期的开奖号码读不出")))
        << report.reason.toStdString();
    EXPECT_EQ(storedPeriods(kGuangdong), (QStringList {QStringLiteral("24010301"), QStringLiteral("24010302")}));

    // 山东体彩11选5 feed: a row with one blank more is read at the wrong offsets.
    store(kShandong, QStringLiteral("24010301"), {1, 2, 3, 4, 5}, QStringLiteral("2024-01-03"));
    QByteArray feed = pages::Feed({{QStringLiteral("24010304"), {1, 2, 3, 4, 5}, QStringLiteral("2024-01-03")},
                                      {QStringLiteral("24010303"), {6, 7, 8, 9, 10}, QStringLiteral("2024-01-03")},
                                      {QStringLiteral("24010302"), {11, 1, 2, 3, 4}, QStringLiteral("2024-01-03")}},
        true);
    feed.replace("<row issue=\"24010303\"", "<row  issue=\"24010303\"");
    server.serve(QStringLiteral("/static/11yun/newlyopenlist.xml"), feed);
    const DrawDownloader::QuickUpdate update = quick(kShandong, true);
    EXPECT_FALSE(update.dayPages);
    EXPECT_EQ(
        update.report.line(), QStringLiteral("山东体彩11选5：新增1期，第24010303期的开奖号码读不出（页面格式不符）"));
    EXPECT_EQ(storedPeriods(kShandong), (QStringList {QStringLiteral("24010301"), QStringLiteral("24010302")}));
}

TEST_F(DownloadTest, Tc225PeriodLineOfAnotherLengthEndsTheBranchThere)
{
    const QString name = QStringLiteral("中国体彩22选5");
    const QString ds = QStringLiteral("2024-01-01");
    const QString de = QStringLiteral("2024-03-02");
    store(name, QStringLiteral("2024057"), {1, 2, 3, 4, 5}, QStringLiteral("2024-02-28"));
    emptyDayPages();
    server.serve(QStringLiteral("/lottery/draw/list/5"), pages::Tc225StartPage(ds, de));
    QByteArray page = pages::Tc225ListPage({{QStringLiteral("2024060"), {1, 2, 3, 4, 5}, QStringLiteral("2024-03-02")},
        {QStringLiteral("2024059"), {6, 7, 8, 9, 22}, QStringLiteral("2024-03-01")},
        {QStringLiteral("2024058"), {10, 11, 12, 13, 14}, QStringLiteral("2024-02-29")}});
    page.replace("<a href=\"#\">24059", "<a href=\"#\"> 24059");
    server.serve(pages::Tc225ListPath(1, ds, de), page);
    const BranchReport report = runOne(name);
    EXPECT_EQ(report.end, BranchEnd::BadData);
    EXPECT_EQ(report.added, 1);
    EXPECT_TRUE(report.reason.contains(QStringLiteral("页面数据不完整"))) << report.reason.toStdString();
    EXPECT_EQ(storedPeriods(name), (QStringList {QStringLiteral("2024057"), QStringLiteral("2024058")}));
}

// A period no real draw can have is not stored: it would make every later draw look old.
TEST_F(DownloadTest, FarFuturePeriodsAreRefusedAndDoNotBlockLaterDownloads)
{
    store(kGuangdong, QStringLiteral("24010301"), {1, 2, 3, 4, 5}, QStringLiteral("2024-01-03"));
    emptyDayPages();
    server.serve(DayPath(23, today),
        pages::ElevenFiveDayPage(
            {{QStringLiteral("99999999"), {1, 2, 3, 4, 5}, {}}, {QStringLiteral("24010303"), {6, 7, 8, 9, 10}, {}},
                {QStringLiteral("24010302"), {11, 1, 2, 3, 4}, {}}},
            false));
    BranchReport report = runOne(kGuangdong);
    EXPECT_EQ(report.end, BranchEnd::BadData);
    EXPECT_EQ(report.line(), QStringLiteral("广东体彩11选5：新增2期，第99999999期的期号有误：期号中的日期不存在"));
    server.serve(
        DayPath(23, today), pages::ElevenFiveDayPage({{QStringLiteral("24010304"), {1, 2, 3, 4, 5}, {}}}, false));
    report = runOne(kGuangdong);
    EXPECT_TRUE(report.completed()) << report.reason.toStdString();
    EXPECT_EQ(storedPeriods(kGuangdong).back(), QStringLiteral("24010304"));

    // 七乐彩: a year that has not come.
    server.serve(kQlcPage, pages::QlcHistoryPage(QlcDraws({"9999001", "2024001"})));
    report = runOne(kQlc);
    EXPECT_EQ(report.line(), QStringLiteral("中国福彩七乐彩：新增1期，第9999001期的期号有误：9999年还没有到"));
    EXPECT_EQ(storedPeriods(kQlc), QStringList {QStringLiteral("2024001")});

    // Such a period stored before says so instead of silently adding nothing.
    store(kJiangxi, QStringLiteral("99123199"), {1, 2, 3, 4, 5}, QString());
    report = runOne(kJiangxi);
    EXPECT_EQ(report.end, BranchEnd::BadData);
    EXPECT_TRUE(report.reason.startsWith(QStringLiteral("已存的最后一期不是真实的期号（第99123199期")))
        << report.reason.toStdString();
    EXPECT_EQ(home.store().drawCount(kJiangxi), 1);
}

// A history text has no dates: 七乐彩 downloads after its import still work, and the new draws
// keep the dates the page gives or, like the stored ones, have none.
TEST_F(DownloadTest, QlcAfterADatelessHistory)
{
    ImportDraws(home.store(), kQlc, "2024001 01 02 03 04 05 06 07\n2024002 08 09 10 11 12 13 14\n");
    ASSERT_EQ(home.store().readDraws(kQlc).back().date, QString());
    std::vector<pages::Draw> draws = QlcDraws({"2024004", "2024003", "2024002"});
    draws[0].date = QStringLiteral("2024-01-08");
    server.serve(kQlcPage, pages::QlcHistoryPage(draws));
    const BranchReport report = runOne(kQlc);
    EXPECT_TRUE(report.completed()) << report.reason.toStdString();
    EXPECT_EQ(report.added, 2);
    const std::vector<StoredDraw> stored = home.store().readDraws(kQlc);
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[2].date, QString());
    EXPECT_EQ(stored[3].date, QStringLiteral("2024-01-08"));
}
