#include "cli_runner.h"
#include "support/pdf_text.h"
#include "support/test_home.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumaro::test::RunCli;

namespace {

QStringList Args(std::initializer_list<const char *> list)
{
    QStringList result;
    for (const char *a : list)
        result << QString::fromUtf8(a);
    return result;
}

} // namespace

TEST(CliPlan, TablesAveragesAndRefusals)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    auto r = RunCli(home, Args({"plan", "fixed"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // The table, the average and five lines of risk.
    ASSERT_EQ(lines.size(), 87);
    EXPECT_EQ(
        lines[0], QStringLiteral("投注期号\t投注倍数\t当期投注\t当期总投入\t当期中奖\t当期净利润\t当期利润率(%)"));
    EXPECT_EQ(lines[62], QStringLiteral("62\t2\t32\t1008\t2000\t992\t98"));
    EXPECT_EQ(lines[81], QStringLiteral("平均每期净利润为:551"));

    r = RunCli(home, Args({"plan", "staged", "--periods", "10", "--stages", "3"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count(QLatin1Char('\n')), 12 + 5);

    r = RunCli(home, Args({"plan", "variable", "--tickets", "8,10"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4 + 5);
    EXPECT_EQ(lines[1], QStringLiteral("1\t1\t8\t16\t16\t1000\t984\t6150"));
    EXPECT_EQ(lines[2], QStringLiteral("2\t1\t10\t20\t36\t1000\t964\t2677"));

    r = RunCli(home, Args({"plan", "variable", "--periods", "1", "--tickets", "8,8"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("投资期限已满1天!"))) << r.err.toStdString();
    r = RunCli(home, Args({"plan", "fixed", "--prize", "16"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("所需倍数太大，无法投注！")));
    // Net profits whose sum leaves 64 bits: refused, with no table and no wrapped average.
    r = RunCli(home,
        Args({"plan", "fixed", "--prize", "9000000000000000000", "--unit", "0", "--profit", "0", "--periods", "2"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("金额太大，超出计算范围！"))) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("平均每期净利润为"))) << r.out.toStdString();
    EXPECT_EQ(RunCli(home, Args({"plan", "fixed", "--periods", "0"})).exitCode, 1);
    EXPECT_EQ(RunCli(home, Args({"plan", "staged", "--stages", "0"})).exitCode, 1);
    EXPECT_EQ(RunCli(home, Args({"plan", "weekly"})).exitCode, 2);
    EXPECT_EQ(RunCli(home, Args({"plan", "fixed", "--loss", "much"})).exitCode, 2);
}

TEST(CliPlan, RiskOfThePlans)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    // The default plan bets 8 tickets a multiple of a three-digit direct play: 1584 spent by
    // period 80 to win 416, and no win in 80 periods about half of the time.
    auto r = RunCli(home, Args({"plan", "fixed"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 87);
    EXPECT_EQ(lines[80], QStringLiteral("80\t2\t32\t1584\t2000\t416\t26"));
    EXPECT_EQ(lines.mid(82),
        QStringList({QStringLiteral("每期中奖概率：0.008"), QStringLiteral("最大投入：1584"),
            QStringLiteral("全程不中的概率：52.6%"), QStringLiteral("每期期望收益：-16.00 ~ -8.00"), lines[86]}));
    EXPECT_TRUE(lines[86].startsWith(QStringLiteral("全程期望收益：-"))) << lines[86].toStdString();

    // Three periods at an even chance: 0.5 × 984 + 0.25 × 968 + 0.125 × 952 − 0.125 × 48.
    r = RunCli(home, Args({"plan", "fixed", "--periods", "3", "--chance", "50%"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.mid(5),
        QStringList({QStringLiteral("每期中奖概率：0.5"), QStringLiteral("最大投入：48"),
            QStringLiteral("全程不中的概率：12.5%"), QStringLiteral("每期期望收益：484.00"),
            QStringLiteral("全程期望收益：847.00")}));

    // A lotto's top prize: 8 tickets out of C(11, 5) = 462.
    r = RunCli(home, Args({"plan", "staged", "--periods", "10", "--lottery", "广东体彩11选5"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("每期中奖概率：0.017316\n"))) << r.out.toStdString();

    // The variable plan takes the chance of one ticket; its periods differ in tickets.
    r = RunCli(home, Args({"plan", "variable", "--tickets", "8,10"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("每注中奖概率：0.001\n最大投入：36\n全程不中的概率：98.2%\n")))
        << r.out.toStdString();

    // A chance that is no chance is refused before any table is printed.
    for (const char *bad : {"2", "-1%", "half"}) {
        r = RunCli(home, Args({"plan", "fixed", "--chance", bad}));
        EXPECT_EQ(r.exitCode, 1) << bad;
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("每期中奖概率必须是"))) << r.err.toStdString();
    }
}

TEST(CliPlan, PdfReportOfTwentySixRows)
{
    QTemporaryDir dir;
    const QString pdf = dir.path() + QStringLiteral("/plan.pdf");
    const auto r = RunCli(dir.path() + QStringLiteral("/home"),
        {QStringLiteral("plan"), QStringLiteral("fixed"), QStringLiteral("--periods"), QStringLiteral("26"),
            QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray bytes = lumaro::test::ReadFile(pdf);
    EXPECT_TRUE(bytes.contains("/Count 2"));
    // The fonts travel with the file, so readers without Chinese fonts show the texts too.
    EXPECT_EQ(lumaro::test::PdfEmbeddedFonts(bytes).size(), 2);
    const std::vector<QStringList> pages = lumaro::test::PdfPageTexts(bytes);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("固定投资计划表")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("共2页\\第1页")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("共2页\\第2页")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("584"))); // the net profit of period 26
}

TEST(CliInvest, AnalysisSearchAndRefusals)
{
    LUMARO_HISTORY_FILE(fc3d, "fc3d.csv");
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), QStringLiteral("福彩3D"), fc3d}).exitCode, 0);

    auto r = RunCli(home, Args({"invest", "福彩3D", "--random", "100", "--seed", "4", "--bet", "5", "--no-carry"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(
        lines[0], QStringLiteral("投注时间\t投注倍数\t当期投注\t当期总投入\t当期中奖\t当期净利润\t当期利润率(%)"));
    EXPECT_TRUE(lines.back().startsWith(QStringLiteral("总体赢余：")));
    qint64 sum = 0;
    for (int i = 1; i + 1 < lines.size(); ++i)
        sum += lines[i].split(QLatin1Char('\t'))[5].toLongLong();
    EXPECT_EQ(lines.back(), QStringLiteral("总体赢余：%1").arg(sum)); // nothing carried: every row counts

    r = RunCli(home, Args({"invest", "福彩3D", "--random", "100", "--seed", "4", "--no-interval", "--search"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("观察间隔连续次数：1"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("中出后间隔期数：")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("连续投入期数：")));
    // A search on the whole history says that its gain was picked on the draws it is scored on.
    EXPECT_TRUE(lines.back().startsWith(QStringLiteral("注意：最佳设置是在同一段历史上选出并评分的")))
        << r.out.toStdString();

    // Searched on the first 70 % (5861 of 8374 draws), scored on the other 2513.
    r = RunCli(home,
        Args({"invest", "福彩3D", "--random", "100", "--seed", "4", "--no-interval", "--search", "--search-part",
            "70"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.back().startsWith(QStringLiteral("在前5861期中搜索，最佳设置赢余"))) << r.out.toStdString();
    EXPECT_TRUE(lines.back().contains(QStringLiteral("用它投注后2513期（搜索没有用到的开奖）赢余")));
    EXPECT_EQ(RunCli(home, Args({"invest", "福彩3D", "--random", "100", "--search-part", "70"})).exitCode, 2);
    r = RunCli(home, Args({"invest", "福彩3D", "--random", "100", "--search", "--search-part", "95"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("10%到90%"))) << r.err.toStdString();

    // A prize that cannot reach the wanted rate: no cycle, and the reason on the error stream.
    r = RunCli(home, Args({"invest", "福彩3D", "--random", "100", "--prize", "200"}));
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("总体赢余：0\n"))) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("单注奖金200不足以"))) << r.err.toStdString();

    EXPECT_EQ(RunCli(home, Args({"invest", "福彩3D", "--random", "91", "--play", "2"})).exitCode, 1);
    EXPECT_EQ(RunCli(home, Args({"invest", "福彩3D"})).exitCode, 2);
    EXPECT_EQ(RunCli(home, Args({"invest", "福彩3D", "--random", "10", "--bet", "51"})).exitCode, 2);
    r = RunCli(home, Args({"invest", "中国福彩七乐彩", "--random", "10"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("三位数字型"))) << r.err.toStdString();
}
