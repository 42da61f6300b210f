#include "cli_runner.h"
#include "support/test_home.h"

#include <QRegularExpression>
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
    EXPECT_EQ(r.out,
        QStringLiteral(
            "2026042期推荐投注号码：12 24 25 05 07 15 26 08 14 20 23 02 06 11  全包需C(14,7)=3432注，6864元\n"));
    r = RunCli(home, Pick(name, QStringLiteral("interval"), {QStringLiteral("--target"), QStringLiteral("2007001")}));
    EXPECT_EQ(r.out,
        QStringLiteral(
            "2007001期推荐投注号码：01 02 03 04 05 06 07 08 09 10 11 12 13 14  全包需C(14,7)=3432注，6864元\n"));

    r = RunCli(home, Pick(name, QStringLiteral("interval"), {QStringLiteral("--backtest")}));
    ASSERT_EQ(r.exitCode, 0);
    QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2921 + 3);
    EXPECT_EQ(lines.front(), QStringLiteral("记录期号\t开奖号码\t投注号码\t中奖个数"));
    EXPECT_EQ(lines[1], QStringLiteral("2007001\t04 14 19 22 26 29 30 \t\t0"));
    EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("最大中奖号码数为7个，最小中奖号码数为0个"));
    EXPECT_TRUE(lines.back().startsWith(QStringLiteral("随机对照："))) << lines.back().toStdString();

    r = RunCli(home, Pick(name, QStringLiteral("intimate")));
    EXPECT_EQ(r.out,
        QStringLiteral(
            "2026042期推荐投注号码：6 9 11 12 13 14 15 18 19 21 23 24 26 27 28  全包需C(15,7)=6435注，12870元\n"));
    // Fewer numbers than a ticket holds: nothing to cover.
    r = RunCli(home, Pick(name, QStringLiteral("intimate"), {QStringLiteral("--per-position")}));
    EXPECT_EQ(r.out, QStringLiteral("2026042期推荐投注号码：9 14 18 23 24 \n"));

    r = RunCli(home, Pick(name, QStringLiteral("stembranch")));
    EXPECT_EQ(r.out,
        QStringLiteral("2026042期推荐投注号码：1 3 4 6 8 9 11 13 14 16 18 19 21 23 24 26 28 29  "
                       "全包需C(18,7)=31824注，63648元\n")); // 2026-04-17

    r = RunCli(home, Pick(name, QStringLiteral("fourstep")));
    EXPECT_EQ(r.out,
        QStringLiteral("第一步：06 09 12 14 15 17 18 19 23 24 25 26 27 28 29 \n"
                       "第二步：09 12 14 15 18 19 23 24 25 26 27 28 \n"
                       "第三步：01\n"
                       "第四步：10 03 \n"
                       "2026042期推荐投注号码：01 03 09 10 12 14 15 18 19 23 24 25 26 27 28  "
                       "全包需C(15,7)=6435注，12870元\n"));
    r = RunCli(home, Pick(name, QStringLiteral("fourstep"), {QStringLiteral("--backtest")}));
    lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2921 - 60 + 3);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2007061\t")));
    EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("最大中奖个数：7 最小中奖个数：0"));
    EXPECT_TRUE(lines.back().startsWith(QStringLiteral("随机对照："))) << lines.back().toStdString();
}

TEST(CliPick, BacktestsEndWithTheComparisonWithChance)
{
    LUMARO_HISTORY_FILE(qlc, "qlc.csv");
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString name = QStringLiteral("中国福彩七乐彩");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), name, qlc}).exitCode, 0);

    // The draws judged, the mean hits, the chance mean, the distance in standard errors, then
    // the verdict, in this order.
    const QRegularExpression line(QStringLiteral("^随机对照：判断(\\d+)期，平均每期中(\\d+\\.\\d\\d)个，"
                                                 "随机选同样多号码平均中(\\d+\\.\\d\\d)个，相差(-?\\d+\\.\\d)个标准误；"
                                                 "(与随机选号无明显差别|明显好于随机选号|明显差于随机选号)$"));
    const struct {
        const char *method;
        int judged;
    } methods[] = {{"interval", 2920}, {"intimate", 2920}, {"stembranch", 2921}, {"fourstep", 2921 - 51}};
    for (const auto &entry : methods) {
        SCOPED_TRACE(entry.method);
        const auto r = RunCli(home, Pick(name, QString::fromUtf8(entry.method), {QStringLiteral("--backtest")}));
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_GE(lines.size(), 3);
        const QRegularExpressionMatch match = line.match(lines.back());
        ASSERT_TRUE(match.hasMatch()) << lines.back().toStdString();
        EXPECT_EQ(match.captured(1).toInt(), entry.judged);
        // The mean hits agree with the grid's hit column where every judged draw is shown.
        if (QLatin1String(entry.method) == QLatin1String("stembranch")) {
            double hits = 0;
            for (int i = 1; i < lines.size() - 2; ++i)
                hits += lines[i].section(QLatin1Char('\t'), 3).toInt();
            EXPECT_EQ(match.captured(2), QString::number(hits / entry.judged, 'f', 2));
        }
        // A random pick of 7 of 30 numbers hits 7k/30: the chance mean lies between none and all.
        EXPECT_GT(match.captured(3).toDouble(), 0.0);
        EXPECT_LT(match.captured(3).toDouble(), 7.0);
        const double z = match.captured(4).toDouble();
        const QString verdict = match.captured(5);
        EXPECT_EQ(verdict,
            z >= 2        ? QStringLiteral("明显好于随机选号")
                : z <= -2 ? QStringLiteral("明显差于随机选号")
                          : QStringLiteral("与随机选号无明显差别"));
    }
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
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("  全包需C(21,7)=116280注，232560元\n"))) << r.out.toStdString();
    EXPECT_EQ(r.out.section(QStringLiteral("："), 1)
                  .section(QStringLiteral(" 全包需"), 0, 0)
                  .trimmed()
                  .split(QLatin1Char(' '))
                  .size(),
        21);
    r = RunCli(home, Pick(name, QStringLiteral("stembranch"), {QStringLiteral("--target"), QStringLiteral("2001001")}));
    EXPECT_EQ(r.out,
        QStringLiteral(
            "2001001期推荐投注号码：1 3 6 8 11 13 16 18 21 23 26 28 31 33 36  全包需C(15,7)=6435注，12870元\n"));
    r = RunCli(home, Pick(name, QStringLiteral("stembranch"), {QStringLiteral("--backtest")}));
    EXPECT_TRUE(r.out.contains(QStringLiteral("\n最大中奖号码数为4个，最小中奖号码数为3个\n随机对照：判断2期，")))
        << r.out.toStdString();

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
