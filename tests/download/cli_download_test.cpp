#include "cli/cli_runner.h"
#include "download/draw_download.h"
#include "fixture_pages.h"
#include "fixture_server.h"
#include "support/test_home.h"

#include <gtest/gtest.h>

using namespace lumaro;
namespace pages = lumaro::test::pages;

TEST(CliDownload, OneLineABranchAndTheExitStatus)
{
    test::TestHome home;
    test::FixtureServer server;
    test::WriteSites(home.folder(), test::SiteHosts {server.root(), QString(), server.root(), server.root(), 5});
    server.serve(QStringLiteral("/trend/analyseqlc.do?operator=historicalNumbers&page=1"),
        pages::QlcHistoryPage({{QStringLiteral("2024002"), {1, 2, 3, 4, 5, 6, 7}, {}},
            {QStringLiteral("2024001"), {8, 9, 10, 11, 12, 13, 14}, {}}}));
    server.serveEmptyPagesUnder(QStringLiteral("/lottery/draw/list/"));
    server.serve(QStringLiteral("/lottery/draw/list/5"), test::FixtureResponse {404, "gone", "text/html", {}, false});

    const test::CliResult all = test::RunCli(home.folder().path(), {QStringLiteral("download"), QStringLiteral("all")});
    EXPECT_EQ(all.exitCode, 1) << all.err.toStdString();
    const QStringList lines = all.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 14) << all.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("中国福彩七乐彩：新增2期"));
    EXPECT_EQ(lines[1], QStringLiteral("南粤风采36选7：新增0期，站点未配置"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("中国体彩22选5：新增0期，下载失败："))) << lines[3].toStdString();
    EXPECT_EQ(lines[7], QStringLiteral("江西体彩11选5：新增0期，页面上没有开奖号码"));
    EXPECT_EQ(lines[8], QStringLiteral("福彩3D：新增0期，开奖服务未配置"));
    EXPECT_EQ(lines[12], QStringLiteral("排列5：新增0期，开奖服务未配置"));
    EXPECT_EQ(lines[13], QStringLiteral("下载完成！"));
    EXPECT_TRUE(all.err.contains(QStringLiteral("正在更新中国福彩七乐透。。。")));

    const test::CliResult one
        = test::RunCli(home.folder().path(), {QStringLiteral("download"), QStringLiteral("中国福彩七乐彩")});
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_EQ(one.out, QStringLiteral("中国福彩七乐彩：新增0期\n下载完成！\n"));

    const test::CliResult unknown
        = test::RunCli(home.folder().path(), {QStringLiteral("download"), QStringLiteral("七星彩")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("七星彩")));
    EXPECT_EQ(test::RunCli(home.folder().path(), {QStringLiteral("download")}).exitCode, 2);
}

namespace {

std::vector<StoredDraw> Rows(test::TestHome &home, const QString &lottery)
{
    return home.store().readDraws(lottery);
}

bool SameRows(const std::vector<StoredDraw> &a, const std::vector<StoredDraw> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].period != b[i].period || a[i].numbers != b[i].numbers || a[i].back != b[i].back
            || a[i].date != b[i].date)
            return false;
    }
    return true;
}

} // namespace

TEST(CliDownload, ResultServicesAddTheNewDrawsAndReportEachRefusalOnItsLine)
{
    test::TestHome home;
    test::FixtureServer server;
    test::SiteHosts hosts;
    hosts.welfareService = server.root();
    hosts.sportsService = server.root();
    test::WriteSites(home.folder(), hosts);
    const SiteConfig sites = SiteConfig::load(home.folder().auxiliaryFolder() + SiteConfig::fileName());
    auto welfare = [&](const char *game) {
        return ServicePageTarget(sites.service(ResultService::Welfare), QString::fromLatin1(game), 1);
    };
    auto sports = [&](const char *game) {
        return ServicePageTarget(sites.service(ResultService::Sports), QString::fromLatin1(game), 1);
    };
    const QStringList games {QStringLiteral("中国福彩七乐彩"), QStringLiteral("福彩3D"), QStringLiteral("双色球"),
        QStringLiteral("大乐透"), QStringLiteral("排列3"), QStringLiteral("排列5")};
    home.store().appendDraws(games[0], {DrawRow {QStringLiteral("2025040"), {1, 2, 3, 4, 5, 6, 7}, {}}});
    home.store().appendDraws(games[1], {DrawRow {QStringLiteral("2025100"), {1, 2, 3}, {}}});
    home.store().appendDraws(games[2], {DrawRow {QStringLiteral("2025060"), {1, 2, 3, 4, 5, 6}, {}, {9}}});
    home.store().appendDraws(games[3], {DrawRow {QStringLiteral("2025060"), {1, 2, 3, 4, 5}, {}, {1, 2}}});
    home.store().appendDraws(games[4], {DrawRow {QStringLiteral("2025100"), {1, 2, 3}, {}}});
    home.store().appendDraws(games[5], {DrawRow {QStringLiteral("2025100"), {1, 2, 3, 4, 5}, {}}});
    std::vector<std::vector<StoredDraw>> before;
    for (const QString &game : games)
        before.push_back(Rows(home, game));

    // 七乐彩: a hole; 福彩3D: truncated JSON; 双色球: two new draws; 大乐透: rate limit;
    // 排列3: HTTP 403; 排列5: the service's own error code.
    server.serve(welfare("qlc"),
        pages::WelfareAnswer({{QStringLiteral("2025042"), QStringLiteral("01,02,03,04,05,06,08"), QStringLiteral("09")},
            {QStringLiteral("2025040"), QStringLiteral("01,02,03,04,05,06,07"), QStringLiteral("09")}}));
    const QByteArray fc3d = pages::WelfareAnswer({{QStringLiteral("2025101"), QStringLiteral("4,5,6"), QString()}});
    server.serve(welfare("3d"), fc3d.left(fc3d.size() - 3));
    server.serve(welfare("ssq"),
        pages::WelfareAnswer({{QStringLiteral("2025062"), QStringLiteral("01,05,12,22,30,33"), QStringLiteral("07")},
            {QStringLiteral("2025061"), QStringLiteral("02,03,04,05,06,07"), QStringLiteral("16")},
            {QStringLiteral("2025060"), QStringLiteral("01,02,03,04,05,06"), QStringLiteral("09")}}));
    server.serve(sports("85"), test::FixtureResponse {567, "", "text/html", {}, false});
    server.serve(sports("35"), test::FixtureResponse {403, "Forbidden", "text/html", {}, false});
    server.serve(sports("350133"), R"j({"success":false,"errorCode":"E0003","errorMessage":"系统繁忙"})j");

    const test::CliResult all = test::RunCli(home.folder().path(), {QStringLiteral("download"), QStringLiteral("all")});
    EXPECT_EQ(all.exitCode, 1) << all.err.toStdString();
    const QStringList lines = all.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 14) << all.out.toStdString();
    EXPECT_EQ(lines[0],
        QStringLiteral(
            "中国福彩七乐彩：新增0期，第2025040期和第2025042期之间缺少开奖号码，未存入第2025042期及以后各期"));
    EXPECT_TRUE(lines[8].startsWith(QStringLiteral("福彩3D：新增0期，开奖服务的回答读不懂（第1页）：JSON不完整或有错")))
        << lines[8].toStdString();
    EXPECT_EQ(lines[9], QStringLiteral("双色球：新增2期"));
    EXPECT_EQ(lines[10], QStringLiteral("大乐透：新增0期，开奖服务要求暂停（HTTP 567），请过一会儿再下载"));
    EXPECT_EQ(lines[11], QStringLiteral("排列3：新增0期，开奖服务拒绝了请求（HTTP 403）"));
    EXPECT_EQ(lines[12], QStringLiteral("排列5：新增0期，开奖服务拒绝了请求（错误代码 E0003：系统繁忙）"));
    EXPECT_TRUE(all.err.contains(QStringLiteral("正在更新双色球。。。")));

    for (qsizetype i = 0; i < games.size(); ++i) {
        if (i == 2)
            continue;
        EXPECT_TRUE(SameRows(before[static_cast<size_t>(i)], Rows(home, games[i]))) << games[i].toStdString();
    }
    const std::vector<StoredDraw> ssq = Rows(home, games[2]);
    ASSERT_EQ(ssq.size(), 3u);
    EXPECT_EQ(ssq[2].period, QStringLiteral("2025062"));
    EXPECT_EQ(ssq[2].back, (std::vector<int> {7}));
}
