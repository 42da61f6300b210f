#include "cli_runner.h"
#include "support/test_home.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumaro::test::RunCli;

namespace {

QStringList Pick(const QString &name, const QString &method, const QStringList &options = {})
{
    return QStringList {QStringLiteral("pick"), name, method} + options;
}

} // namespace

TEST(CliPick, ProposalsAndBacktestsOnTheRealHistory)
{
    LUMARO_HISTORY_FILE(qlc, "qlc.csv");
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString name = QStringLiteral("中国福彩七乐彩");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), name, qlc}).exitCode, 0);

    auto r = RunCli(home, Pick(name, QStringLiteral("interval")));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("2026042期推荐投注号码：12 24 25 05 07 15 26 08 14 20 23 02 06 11 \n"));
    r = RunCli(home, Pick(name, QStringLiteral("interval"), {QStringLiteral("--target"), QStringLiteral("2007001")}));
    EXPECT_EQ(r.out, QStringLiteral("2007001期推荐投注号码：01 02 03 04 05 06 07 08 09 10 11 12 13 14 \n"));

    r = RunCli(home, Pick(name, QStringLiteral("interval"), {QStringLiteral("--backtest")}));
    ASSERT_EQ(r.exitCode, 0);
    QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2921 + 2);
    EXPECT_EQ(lines.front(), QStringLiteral("记录期号\t开奖号码\t投注号码\t中奖个数"));
    EXPECT_EQ(lines[1], QStringLiteral("2007001\t04 14 19 22 26 29 30 \t\t0"));
    EXPECT_EQ(lines.back(), QStringLiteral("最大中奖号码数为7个，最小中奖号码数为0个"));

    r = RunCli(home, Pick(name, QStringLiteral("intimate")));
    EXPECT_EQ(r.out, QStringLiteral("2026042期推荐投注号码：6 9 11 12 13 14 15 18 19 21 23 24 26 27 28 \n"));
    r = RunCli(home, Pick(name, QStringLiteral("intimate"), {QStringLiteral("--per-position")}));
    EXPECT_EQ(r.out, QStringLiteral("2026042期推荐投注号码：9 14 18 23 24 \n"));

    r = RunCli(home, Pick(name, QStringLiteral("stembranch")));
    EXPECT_EQ(r.out,
        QStringLiteral("2026042期推荐投注号码：1 3 4 6 8 9 11 13 14 16 18 19 21 23 24 26 28 29 \n")); // 2026-04-17

    r = RunCli(home, Pick(name, QStringLiteral("fourstep")));
    EXPECT_EQ(r.out,
        QStringLiteral("第一步：06 09 12 14 15 17 18 19 23 24 25 26 27 28 29 \n"
                       "第二步：09 12 14 15 18 19 23 24 25 26 27 28 \n"
                       "第三步：01\n"
                       "第四步：10 03 \n"
                       "2026042期推荐投注号码：01 03 09 10 12 14 15 18 19 23 24 25 26 27 28 \n"));
    r = RunCli(home, Pick(name, QStringLiteral("fourstep"), {QStringLiteral("--backtest")}));
    lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2921 - 60 + 2);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2007061\t")));
    EXPECT_EQ(lines.back(), QStringLiteral("最大中奖个数：7 最小中奖个数：0"));
}

TEST(CliPick, RefusedInputAndWrongUse)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString name = QStringLiteral("南粤风采36选7");
    // No draws yet.
    auto r = RunCli(home, Pick(name, QStringLiteral("interval")));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("没有开奖号码"))) << r.err.toStdString();
    r = RunCli(home, Pick(name, QStringLiteral("fourstep"), {QStringLiteral("--backtest")}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 2); // header and memo

    // 2001-5-1 is 甲子: 21 of the 36 numbers; 2001-4-30 is 癸亥.
    lumaro::test::WriteFile(dir.path() + QStringLiteral("/d.csv"),
        "period,date,a,b,c,d,e,f,g\n"
        "2001001,2001-04-30,1,2,3,4,5,6,7\n"
        "2001002,2001-05-01,8,9,10,11,12,13,14\n");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), name, dir.path() + QStringLiteral("/d.csv")}).exitCode, 0);
    r = RunCli(home, Pick(name, QStringLiteral("stembranch"), {QStringLiteral("--target"), QStringLiteral("2001002")}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.section(QStringLiteral("："), 1).trimmed().split(QLatin1Char(' ')).size(), 21);
    r = RunCli(home, Pick(name, QStringLiteral("stembranch"), {QStringLiteral("--target"), QStringLiteral("2001001")}));
    EXPECT_EQ(r.out, QStringLiteral("2001001期推荐投注号码：1 3 6 8 11 13 16 18 21 23 26 28 31 33 36 \n"));
    r = RunCli(home, Pick(name, QStringLiteral("stembranch"), {QStringLiteral("--backtest")}));
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("最大中奖号码数为4个，最小中奖号码数为3个\n"))) << r.out.toStdString();

    r = RunCli(home, Pick(name, QStringLiteral("intimate"), {QStringLiteral("--target"), QStringLiteral("2001001")}));
    EXPECT_EQ(r.exitCode, 1);
    r = RunCli(home, Pick(name, QStringLiteral("interval"), {QStringLiteral("--target"), QStringLiteral("1999001")}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("没有第1999001期"))) << r.err.toStdString();
    r = RunCli(home, Pick(name, QStringLiteral("interval"), {QStringLiteral("--interval"), QStringLiteral("21")}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("间隔期数必须在1到20之间"))) << r.err.toStdString();
    r = RunCli(home, Pick(name, QStringLiteral("fourstep"), {QStringLiteral("--l1"), QStringLiteral("3")}));
    EXPECT_EQ(r.exitCode, 1);

    EXPECT_EQ(RunCli(home, Pick(name, QStringLiteral("magic"))).exitCode, 2);
    EXPECT_EQ(RunCli(home, Pick(name, QStringLiteral("interval"), {QStringLiteral("--extra")})).exitCode, 2);
    EXPECT_EQ(RunCli(home, Pick(name, QStringLiteral("stembranch"), {QStringLiteral("--count"), QStringLiteral("3")}))
                  .exitCode,
        2);
    EXPECT_EQ(
        RunCli(home, Pick(name, QStringLiteral("interval"), {QStringLiteral("--count"), QStringLiteral("x")})).exitCode,
        2);
    EXPECT_EQ(RunCli(home, {QStringLiteral("pick"), QStringLiteral("--help")}).exitCode, 0);
}
