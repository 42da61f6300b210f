#include "download/result_services.h"

#include "download/draw_download.h"
#include "download/http_client.h"
#include "fixture_pages.h"
#include "fixture_server.h"
#include "support/test_home.h"

#include <gtest/gtest.h>

using namespace lumaro;
namespace pages = lumaro::test::pages;

namespace {

const QString kSsq = QStringLiteral("双色球");
const QString kDlt = QStringLiteral("大乐透");
const QString kPl3 = QStringLiteral("排列3");
const QString kFc3d = QStringLiteral("福彩3D");
const QString kQlc = QStringLiteral("中国福彩七乐彩");

pages::ServiceDraw Ssq(const char *period, const char *red, const char *blue)
{
    return {QString::fromLatin1(period), QString::fromLatin1(red), QString::fromLatin1(blue)};
}

} // namespace

// ---- the readers ----

TEST(ResultServiceReaders, WelfareNoticesOfEachGameShape)
{
    const service::ServicePage ssq = service::ReadWelfareNotices(
        pages::WelfareAnswer({Ssq("2025062", "01,05,12,22,30,33", "07"), Ssq("2025061", "02,03,04,05,06,07", "16")}, 4),
        6, 1);
    EXPECT_TRUE(ssq.failure.isEmpty()) << ssq.failure.toStdString();
    ASSERT_EQ(ssq.draws.size(), 2u);
    EXPECT_EQ(ssq.draws[0].period, QStringLiteral("2025062"));
    EXPECT_EQ(ssq.draws[0].periodValue, 2025062);
    EXPECT_EQ(ssq.draws[0].numbers.join(QLatin1Char(' ')), QStringLiteral("01 05 12 22 30 33"));
    EXPECT_EQ(ssq.draws[0].back, QStringList {QStringLiteral("07")});
    EXPECT_EQ(ssq.draws[0].date, QStringLiteral("2025-06-05")); // the weekday "(四)" dropped
    EXPECT_EQ(ssq.pages, 4);

    // 七乐彩: "blue" is the 特别号码, not a back zone; 福彩3D: three digits in "red".
    const service::ServicePage qlc
        = service::ReadWelfareNotices(pages::WelfareAnswer({Ssq("2025070", "01,02,03,04,05,06,30", "17")}), 7, 0);
    ASSERT_EQ(qlc.draws.size(), 1u);
    EXPECT_EQ(qlc.draws[0].numbers.size(), 7);
    EXPECT_TRUE(qlc.draws[0].back.isEmpty());
    const service::ServicePage fc3d
        = service::ReadWelfareNotices(pages::WelfareAnswer({Ssq("2025150", "0,9,0", "")}), 3, 0);
    ASSERT_EQ(fc3d.draws.size(), 1u);
    EXPECT_EQ(fc3d.draws[0].numbers, (QStringList {QStringLiteral("0"), QStringLiteral("9"), QStringLiteral("0")}));
}

TEST(ResultServiceReaders, SportsHistoryGetsTheCenturyAndSplitsTheZones)
{
    const service::ServicePage dlt
        = service::ReadSportsHistory(pages::SportsAnswer({{QStringLiteral("25062"), QStringLiteral("01 05 12 22 33"),
                                                             QStringLiteral("03 11"), QStringLiteral("2025-06-04")}},
                                         7),
            5, 2);
    EXPECT_TRUE(dlt.failure.isEmpty()) << dlt.failure.toStdString();
    ASSERT_EQ(dlt.draws.size(), 1u);
    EXPECT_EQ(dlt.draws[0].period, QStringLiteral("2025062"));
    EXPECT_EQ(dlt.draws[0].numbers.size(), 5);
    EXPECT_EQ(dlt.draws[0].back, (QStringList {QStringLiteral("03"), QStringLiteral("11")}));
    EXPECT_EQ(dlt.pages, 7);

    EXPECT_EQ(service::StoredServicePeriod(QStringLiteral("25062")), QStringLiteral("2025062"));
    EXPECT_EQ(service::StoredServicePeriod(QStringLiteral("2025062")), QStringLiteral("2025062"));
    for (const char *bad : {"125062", "1925062", "2506", "25a62", "", "+2506"})
        EXPECT_TRUE(service::StoredServicePeriod(QString::fromLatin1(bad)).isEmpty()) << bad;
    EXPECT_TRUE(service::FollowsDirectly(2025061, 2025062));
    EXPECT_TRUE(service::FollowsDirectly(2024151, 2025001));
    EXPECT_FALSE(service::FollowsDirectly(2025060, 2025062));
    EXPECT_FALSE(service::FollowsDirectly(2024151, 2025002));
}

TEST(ResultServiceReaders, ReadingStopsAtTheFirstEntryItCannotRead)
{
    // The second entry lacks its numbers: the first is read, nothing after the second.
    const QByteArray welfare = R"j({"state":0,"result":[
        {"code":"2025063","date":"2025-06-08(日)","red":"01,02,03,04,05,06","blue":"01"},
        {"code":"2025062","date":"2025-06-05(四)","blue":"02"},
        {"code":"2025061","date":"2025-06-03(二)","red":"01,02,03,04,05,06","blue":"03"}]
})j";
    const service::ServicePage page = service::ReadWelfareNotices(welfare, 6, 1);
    ASSERT_EQ(page.draws.size(), 1u);
    EXPECT_EQ(page.periodsShown, (std::vector<qint64> {2025063, 2025062}));
    EXPECT_TRUE(page.failure.contains(QStringLiteral("第2025062期缺少字段“red”"))) << page.failure.toStdString();

    // A period that does not read, a wrong count of numbers, a date that is no date.
    const QByteArray sports = R"j({"success":true,"errorCode":"0","value":{"pages":1,"list":[
        {"lotteryDrawNum":"25063","lotteryDrawResult":"1 2 3","lotteryDrawTime":"2025-06-08"},
        {"lotteryDrawNum":"x5062","lotteryDrawResult":"4 5 6","lotteryDrawTime":"2025-06-07"}]}})j";
    const service::ServicePage badPeriod = service::ReadSportsHistory(sports, 3, 0);
    EXPECT_EQ(badPeriod.draws.size(), 1u);
    EXPECT_EQ(badPeriod.periodsShown.size(), 1u);
    EXPECT_TRUE(badPeriod.failure.contains(QStringLiteral("第2条开奖记录"))) << badPeriod.failure.toStdString();
    EXPECT_EQ(service::ReadSportsHistory(sports, 5, 0).draws.size(), 0u);
    const QByteArray badDate = R"j({"success":true,"value":{"list":[
        {"lotteryDrawNum":"25063","lotteryDrawResult":"1 2 3","lotteryDrawTime":"2025-13-08"}]}})j";
    EXPECT_TRUE(service::ReadSportsHistory(badDate, 3, 0).failure.contains(QStringLiteral("不是日期")));
}

TEST(ResultServiceReaders, RefusalsAndAnswersTheReaderDoesNotKnow)
{
    const service::ServicePage welfareRefused
        = service::ReadWelfareNotices(R"j({"state":1,"message":"访问过于频繁","result":[]})j", 6, 1);
    EXPECT_EQ(welfareRefused.refusal, QStringLiteral("状态码 1：访问过于频繁"));
    const service::ServicePage sportsRefused = service::ReadSportsHistory(
        R"j({"success":false,"errorCode":"E0003","errorMessage":"系统繁忙","value":null})j", 5, 2);
    EXPECT_EQ(sportsRefused.refusal, QStringLiteral("错误代码 E0003：系统繁忙"));
    EXPECT_TRUE(sportsRefused.draws.empty());

    const QByteArray whole = pages::SportsAnswer({{QStringLiteral("25062"), QStringLiteral("1 2 3"), QString()}});
    const service::ServicePage truncated = service::ReadSportsHistory(whole.left(whole.size() - 20), 3, 0);
    EXPECT_TRUE(truncated.failure.startsWith(QStringLiteral("JSON不完整或有错"))) << truncated.failure.toStdString();
    EXPECT_TRUE(truncated.draws.empty());
    EXPECT_EQ(service::ReadSportsHistory(R"j({"success":true,"value":{}})j", 3, 0).failure,
        QStringLiteral("缺少字段“value.list”"));
    EXPECT_EQ(service::ReadWelfareNotices(R"j({"state":0})j", 6, 1).failure, QStringLiteral("缺少字段“result”"));
    EXPECT_EQ(service::ReadWelfareNotices("[1,2]", 6, 1).failure, QStringLiteral("回答不是一个JSON对象"));
}

// ---- downloads from the services, against the local fixture server ----

namespace {

class ServiceDownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::SiteHosts hosts;
        hosts.welfareService = server.root();
        hosts.sportsService = server.root();
        test::WriteSites(home.folder(), hosts);
        sites = SiteConfig::load(home.folder().auxiliaryFolder() + SiteConfig::fileName());
    }

    // The path and query of a page, as the shipped request forms give them.
    QString welfarePage(const char *game, int page) const
    {
        return ServicePageTarget(sites.service(ResultService::Welfare), QString::fromLatin1(game), page);
    }
    QString sportsPage(const char *game, int page) const
    {
        return ServicePageTarget(sites.service(ResultService::Sports), QString::fromLatin1(game), page);
    }

    BranchReport runOne(const QString &lottery)
    {
        HttpClient http(sites.timeoutMs());
        DrawDownloader downloader(home.folder(), home.store(), sites, http);
        downloader.setToday(QDate(2025, 6, 10));
        const std::vector<BranchReport> reports = downloader.run(lottery);
        EXPECT_EQ(reports.size(), 1u);
        return reports.empty() ? BranchReport() : reports.front();
    }

    std::vector<StoredDraw> rows(const QString &lottery) { return home.store().readDraws(lottery); }

    test::TestHome home;
    test::FixtureServer server;
    SiteConfig sites;
};

bool SameRows(const std::vector<StoredDraw> &before, const std::vector<StoredDraw> &after)
{
    if (after.size() < before.size())
        return false;
    for (size_t i = 0; i < before.size(); ++i) {
        const StoredDraw &a = before[i];
        const StoredDraw &b = after[i];
        if (a.rowId != b.rowId || a.period != b.period || a.numbers != b.numbers || a.back != b.back
            || a.date != b.date)
            return false;
    }
    return true;
}

} // namespace

TEST_F(ServiceDownloadTest, ShippedRequestFormsFillAnOlderSiteFile)
{
    // The site file written by the test has only the service hosts of [services].
    EXPECT_EQ(welfarePage("ssq", 2),
        QStringLiteral("/cwl_admin/front/cwlkj/search/kjxx/findDrawNotice?name=ssq&issueCount=&issueStart=&issueEnd="
                       "&dayStart=&dayEnd=&week=&systemType=PC&pageNo=2&pageSize=30"));
    EXPECT_EQ(sportsPage("85", 1),
        QStringLiteral(
            "/gateway/lottery/getHistoryPageListV1.qry?gameNo=85&provinceId=0&isVerify=1&pageNo=1&pageSize=30"));
    EXPECT_EQ(sites.serviceGame(QStringLiteral("pl5")), QStringLiteral("350133"));
    EXPECT_EQ(sites.service(ResultService::Welfare).referer, QStringLiteral("https://www.cwl.gov.cn/ygkj/wqkjgg/"));

    // A key present but empty stays empty; the shipped file fills a folder without [services].
    test::WriteFile(home.folder().auxiliaryFolder() + SiteConfig::fileName(), "[games]\nssq=\n");
    const SiteConfig own = SiteConfig::load(home.folder().auxiliaryFolder() + SiteConfig::fileName());
    EXPECT_TRUE(own.serviceGame(QStringLiteral("ssq")).isEmpty());
    EXPECT_EQ(own.serviceGame(QStringLiteral("dlt")), QStringLiteral("85"));
    EXPECT_EQ(own.service(ResultService::Sports).host, QStringLiteral("https://webapi.sporttery.cn"));
}

TEST_F(ServiceDownloadTest, AddsExactlyTheNewDrawsAndStopsPagingAtTheStoredOnes)
{
    home.store().appendDraws(
        kSsq, {DrawRow {QStringLiteral("2025060"), {1, 2, 3, 4, 5, 6}, QStringLiteral("2025-05-29"), {9}}});
    server.serve(welfarePage("ssq", 1),
        pages::WelfareAnswer(
            {Ssq("2025062", "01,05,12,22,30,33", "07"), Ssq("2025061", "02,03,04,05,06,07", "16")}, 5));
    server.serve(welfarePage("ssq", 2),
        pages::WelfareAnswer(
            {Ssq("2025060", "01,02,03,04,05,06", "09"), Ssq("2025059", "01,02,03,04,05,07", "10")}, 5));
    const BranchReport ssq = runOne(kSsq);
    EXPECT_EQ(ssq.line(), QStringLiteral("双色球：新增2期"));
    const std::vector<StoredDraw> stored = rows(kSsq);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[2].period, QStringLiteral("2025062"));
    EXPECT_EQ(stored[2].numbers, (std::vector<int> {1, 5, 12, 22, 30, 33}));
    EXPECT_EQ(stored[2].back, (std::vector<int> {7}));
    EXPECT_EQ(stored[2].date, QStringLiteral("2025-06-05"));
    // The cookie page first, then pages until a stored period shows; never page 3.
    const QStringList requests = server.requests();
    ASSERT_GE(requests.size(), 3);
    EXPECT_EQ(requests[0], QStringLiteral("/ygkj/wqkjgg/"));
    EXPECT_FALSE(requests.contains(welfarePage("ssq", 3)));

    // An empty table: the sports service's pages until it has no more, 7-digit periods stored.
    server.serve(sportsPage("85", 1),
        pages::SportsAnswer({{QStringLiteral("25062"), QStringLiteral("01 05 12 22 33"), QStringLiteral("03 11")},
                                {QStringLiteral("25061"), QStringLiteral("02 06 13 23 34"), QStringLiteral("01 12")}},
            2));
    server.serve(sportsPage("85", 2),
        pages::SportsAnswer({{QStringLiteral("25060"), QStringLiteral("03 07 14 24 35"), QStringLiteral("05 06")}}, 2));
    EXPECT_EQ(runOne(kDlt).line(), QStringLiteral("大乐透：新增3期"));
    const std::vector<StoredDraw> dlt = rows(kDlt);
    ASSERT_EQ(dlt.size(), 3u);
    EXPECT_EQ(dlt[0].period, QStringLiteral("2025060"));
    EXPECT_EQ(dlt[2].back, (std::vector<int> {3, 11}));

    // Digits, repeats allowed; again with nothing new adds nothing and says nothing.
    server.serve(sportsPage("35", 1), pages::SportsAnswer({{QStringLiteral("25150"), QStringLiteral("0 9 0"), {}}}));
    EXPECT_EQ(runOne(kPl3).line(), QStringLiteral("排列3：新增1期"));
    EXPECT_EQ(runOne(kPl3).line(), QStringLiteral("排列3：新增0期"));
    EXPECT_EQ(rows(kPl3).front().numbers, (std::vector<int> {0, 9, 0}));
}

TEST_F(ServiceDownloadTest, EveryFailingAnswerLeavesTheStoredDrawsAsTheyWere)
{
    const DrawRow last {QStringLiteral("2025060"), {1, 2, 3, 4, 5, 6}, QStringLiteral("2025-05-29"), {9}};
    home.store().appendDraws(kSsq, {DrawRow {QStringLiteral("2025059"), {7, 8, 9, 10, 11, 12}, {}, {1}}, last});
    const pages::ServiceDraw stored = Ssq("2025060", "01,02,03,04,05,06", "09");
    struct Case {
        const char *name;
        test::FixtureResponse answer;
        BranchEnd end;
        QString reason;
        int added;
    };
    auto json = [](const QByteArray &body) {
        return test::FixtureResponse {200, body, "application/json;charset=UTF-8", {}, false};
    };
    const QByteArray good = pages::WelfareAnswer({Ssq("2025061", "02,03,04,05,06,07", "16"), stored});
    const std::vector<Case> cases = {
        {"forbidden", {403, "denied", "text/html", {}, false}, BranchEnd::Refused,
            QStringLiteral("开奖服务拒绝了请求（HTTP 403）"), 0},
        {"server error", {500, "oops", "text/html", {}, false}, BranchEnd::Refused,
            QStringLiteral("开奖服务拒绝了请求（HTTP 500）"), 0},
        {"rate limit", {567, "", "text/html", {}, false}, BranchEnd::RateLimited,
            QStringLiteral("开奖服务要求暂停（HTTP 567），请过一会儿再下载"), 0},
        {"own error code", json(R"j({"state":1,"message":"系统繁忙"})j"), BranchEnd::Refused,
            QStringLiteral("开奖服务拒绝了请求（状态码 1：系统繁忙）"), 0},
        {"truncated", json(good.left(good.size() / 2)), BranchEnd::BadAnswer,
            QStringLiteral("开奖服务的回答读不懂（第1页）：JSON不完整或有错"), 0},
        {"missing field", json(R"j({"state":0,"result":[{"code":"2025061","date":"2025-06-05"}]})j"),
            BranchEnd::BadAnswer, QStringLiteral("开奖服务的回答读不懂（第1页）：第2025061期缺少字段“red”"), 0},
        {"off range", json(pages::WelfareAnswer({Ssq("2025061", "02,03,04,05,06,34", "16"), stored})),
            BranchEnd::BadData, QStringLiteral("34"), 0},
        {"back off range", json(pages::WelfareAnswer({Ssq("2025061", "02,03,04,05,06,07", "17"), stored})),
            BranchEnd::BadData, QStringLiteral("后区"), 0},
        {"hole", json(pages::WelfareAnswer({Ssq("2025062", "02,03,04,05,06,07", "16"), stored})), BranchEnd::BadData,
            QStringLiteral("第2025060期和第2025062期之间缺少开奖号码，未存入第2025062期及以后各期"), 0},
        {"stored period with other numbers",
            json(pages::WelfareAnswer(
                {Ssq("2025061", "02,03,04,05,06,07", "16"), Ssq("2025060", "01,02,03,04,05,07", "09")})),
            BranchEnd::BadData, QStringLiteral("第2025060期的开奖号码与已存的不同，未存入任何一期"), 0},
        {"unreadable copy of a new period", json(R"j({"state":0,"result":[
                {"code":"2025061","date":"2025-06-05","red":"02,03,04,05,06,07","blue":"16"},
                {"code":"2025061","date":"2025-06-05","blue":"15"}]})j"),
            BranchEnd::BadAnswer, QStringLiteral("第2025061期缺少字段“red”"), 0},
        // Last: it stores 2025061, the draw before the repeated period.
        {"repeated period",
            json(pages::WelfareAnswer({Ssq("2025062", "02,03,04,05,06,07", "16"),
                Ssq("2025062", "02,03,04,05,06,08", "16"), Ssq("2025061", "01,03,04,05,06,08", "1"), stored})),
            BranchEnd::BadData, QStringLiteral("第2025062期出现了两次，号码不同"), 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<StoredDraw> before = rows(kSsq);
        server.serve(welfarePage("ssq", 1), c.answer);
        const BranchReport report = runOne(kSsq);
        EXPECT_EQ(report.end, c.end);
        EXPECT_TRUE(report.reason.contains(c.reason)) << report.line().toUtf8().constData();
        EXPECT_EQ(report.added, c.added);
        const std::vector<StoredDraw> after = rows(kSsq);
        EXPECT_TRUE(SameRows(before, after));
        EXPECT_EQ(after.size(), before.size() + static_cast<size_t>(c.added));
    }
}

TEST_F(ServiceDownloadTest, ALaterPageThatFailsStoresNothingThatWouldLeaveAHole)
{
    home.store().appendDraws(kFc3d, {DrawRow {QStringLiteral("2025100"), {1, 2, 3}, {}}});
    server.serve(
        welfarePage("3d", 1), pages::WelfareAnswer({Ssq("2025103", "4,5,6", ""), Ssq("2025102", "7,8,9", "")}, 3));
    server.serve(welfarePage("3d", 2), test::FixtureResponse {500, "oops", "text/html", {}, false});
    const BranchReport report = runOne(kFc3d);
    EXPECT_EQ(report.line(), QStringLiteral("福彩3D：新增0期，开奖服务拒绝了请求（HTTP 500）（第2页）"));
    EXPECT_EQ(report.end, BranchEnd::Refused);
    EXPECT_EQ(rows(kFc3d).size(), 1u);

    // The list ends before it reaches the stored draws: 2025101 is missing.
    server.serve(welfarePage("3d", 2), pages::WelfareAnswer({}, 3));
    EXPECT_EQ(runOne(kFc3d).line(),
        QStringLiteral("福彩3D：新增0期，第2025100期和第2025102期之间缺少开奖号码，未存入第2025102期及以后各期"));
    EXPECT_EQ(rows(kFc3d).size(), 1u);

    // Page 2 reaches the stored draw: the three new ones are stored, page 3 is never asked for.
    server.serve(
        welfarePage("3d", 2), pages::WelfareAnswer({Ssq("2025101", "0,0,0", ""), Ssq("2025100", "1,2,3", "")}, 3));
    EXPECT_EQ(runOne(kFc3d).line(), QStringLiteral("福彩3D：新增3期"));
    EXPECT_FALSE(server.requests().contains(welfarePage("3d", 3)));
    EXPECT_EQ(rows(kFc3d).back().period, QStringLiteral("2025103"));
}

TEST_F(ServiceDownloadTest, QlcReadsTheServiceWhenConfiguredElseItsHistoryPage)
{
    server.serve(welfarePage("qlc", 1), pages::WelfareAnswer({Ssq("2025070", "01,02,03,04,05,06,30", "17")}));
    EXPECT_EQ(runOne(kQlc).line(), QStringLiteral("中国福彩七乐彩：新增1期"));
    EXPECT_EQ(rows(kQlc).front().numbers, (std::vector<int> {1, 2, 3, 4, 5, 6, 30}));

    // Without the service's host 七乐彩 goes back to the history page of [hosts].
    test::SiteHosts hosts;
    hosts.welfare = server.root();
    test::WriteSites(home.folder(), hosts);
    sites = SiteConfig::load(home.folder().auxiliaryFolder() + SiteConfig::fileName());
    server.clearRequests();
    server.serve(QStringLiteral("/trend/analyseqlc.do?operator=historicalNumbers&page=1"),
        pages::QlcHistoryPage({{QStringLiteral("2025071"), {1, 2, 3, 4, 5, 6, 29}, {}}}));
    EXPECT_EQ(runOne(kQlc).line(), QStringLiteral("中国福彩七乐彩：新增1期"));
    EXPECT_EQ(
        server.requests(), QStringList {QStringLiteral("/trend/analyseqlc.do?operator=historicalNumbers&page=1")});
    // The lotteries that only have a service say it is not configured.
    EXPECT_EQ(runOne(kSsq).line(), QStringLiteral("双色球：新增0期，开奖服务未配置"));
}
