#include "cli/cli_runner.h"
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
    ASSERT_EQ(lines.size(), 9) << all.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("中国福彩七乐彩：新增2期"));
    EXPECT_EQ(lines[1], QStringLiteral("南粤风采36选7：新增0期，站点未配置"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("中国体彩22选5：新增0期，下载失败："))) << lines[3].toStdString();
    EXPECT_EQ(lines[7], QStringLiteral("江西体彩11选5：新增0期，页面上没有开奖号码"));
    EXPECT_EQ(lines[8], QStringLiteral("下载完成！"));
    EXPECT_TRUE(all.err.contains(QStringLiteral("正在更新中国福彩七乐透。。。")));

    const test::CliResult one
        = test::RunCli(home.folder().path(), {QStringLiteral("download"), QStringLiteral("中国福彩七乐彩")});
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_EQ(one.out, QStringLiteral("中国福彩七乐彩：新增0期\n下载完成！\n"));

    const test::CliResult unknown
        = test::RunCli(home.folder().path(), {QStringLiteral("download"), QStringLiteral("福彩3D")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("福彩3D")));
    EXPECT_EQ(test::RunCli(home.folder().path(), {QStringLiteral("download")}).exitCode, 2);
}
