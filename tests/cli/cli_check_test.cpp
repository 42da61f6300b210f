#include "cli_runner.h"
#include "data/lottery_store.h"
#include "data/program_folder.h"
#include "support/test_home.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumaro::test::RunCli;
using lumaro::test::WriteFile;

namespace {

class CliCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        // 双色球 made again without the history a new program folder brings, so the table has
        // the three draws worked out by hand.
        ASSERT_EQ(RunCli(home, {QStringLiteral("delete"), QStringLiteral("双色球")}).exitCode, 0);
        ASSERT_EQ(
            RunCli(home,
                {QStringLiteral("create"), QStringLiteral("双色球"), QStringLiteral("--kind"), QStringLiteral("2"),
                    QStringLiteral("--n"), QStringLiteral("33"), QStringLiteral("--m"), QStringLiteral("6"),
                    QStringLiteral("--back-n"), QStringLiteral("16"), QStringLiteral("--back-m"), QStringLiteral("1")})
                .exitCode,
            0);
        lumaro::LotteryStore store(lumaro::ProgramFolder(home).databaseFile());
        store.appendDraws(QStringLiteral("双色球"),
            {{QStringLiteral("2024001"), {3, 8, 15, 21, 27, 33}, QStringLiteral("2024-01-02"), {9}},
                {QStringLiteral("2024002"), {1, 2, 3, 4, 5, 6}, QStringLiteral("2024-01-04"), {16}},
                {QStringLiteral("2024003"), {7, 9, 12, 20, 28, 31}, QStringLiteral("2024-01-07"), {2}}});
        store.close();
        WriteFile(tickets, "03 08 15 21 27 33 + 16\r\n01 02 03 10 11 14 + 16\r\n01 02 04 05 06 07 + 02\r\n");
    }

    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString tickets = dir.filePath(QStringLiteral("tickets.txt"));
};

} // namespace

TEST_F(CliCheck, EveryDrawOrOnePeriodAsATable)
{
    auto r = RunCli(home, {QStringLiteral("check"), QStringLiteral("双色球"), tickets});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
        QStringLiteral("期号\t开奖号码\t一等奖\t二等奖\t三等奖\t四等奖\t五等奖\t六等奖\t奖金\n"
                       "2024001\t03 08 15 21 27 33 + 09\t0\t1\t0\t0\t0\t0\t0+浮动\n"
                       "2024002\t01 02 03 04 05 06 + 16\t0\t0\t0\t1\t1\t1\t215\n"
                       "2024003\t07 09 12 20 28 31 + 02\t0\t0\t0\t0\t0\t1\t5\n"
                       "合计\t3期\t0\t1\t0\t1\t1\t2\t220+浮动\n"
                       "中奖组合合计：6+1:0 6+0:1 5+1:0 5+0:1 4+1:0 4+0:0 3+1:1 3+0:0 2+1:0 2+0:0 1+1:2 1+0:1 "
                       "0+1:0 0+0:3\n"
                       "检查3期，每期3注；固定奖金合计220元；中浮动奖级的有1期。\n"));

    r = RunCli(home,
        {QStringLiteral("check"), QStringLiteral("双色球"), tickets, QStringLiteral("--period"),
            QStringLiteral("2024002")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[1], QStringLiteral("2024002\t01 02 03 04 05 06 + 16\t0\t0\t0\t1\t1\t1\t215"));
    EXPECT_EQ(lines[4], QStringLiteral("检查1期，每期3注；固定奖金合计215元；中浮动奖级的有0期。"));

    // A one-zone game lists its hit counts, then its tiers when the table has them: the digits
    // of 福彩3D (stored in a new folder) by position.
    const QString digits = dir.filePath(QStringLiteral("3d.txt"));
    WriteFile(digits, "00 07 03\r\n03 07 00\r\n");
    r = RunCli(home,
        {QStringLiteral("check"), QStringLiteral("福彩3D"), digits, QStringLiteral("--period"),
            QStringLiteral("2002001")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
        QStringLiteral("期号\t开奖号码\t中3位\t中2位\t中1位\t中0位\t直选\t奖金\n"
                       "2002001\t00 07 03\t1\t0\t1\t0\t1\t1040\n"
                       "合计\t1期\t1\t0\t1\t0\t1\t1040\n"
                       "检查1期，每期2注；固定奖金合计1040元；中浮动奖级的有0期。\n"));
}

TEST_F(CliCheck, RefusesWhatItCannotCheck)
{
    auto r = RunCli(home,
        {QStringLiteral("check"), QStringLiteral("双色球"), tickets, QStringLiteral("--period"),
            QStringLiteral("2024009")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("《双色球》没有第2024009期的开奖号码！"));
    EXPECT_TRUE(r.out.isEmpty());

    const QString bad = dir.filePath(QStringLiteral("bad.txt"));
    WriteFile(bad, "03 08 15 21 27 33 + 16\r\n\r\n03 08 15 21 27 33 + 00\r\n");
    r = RunCli(home, {QStringLiteral("check"), QStringLiteral("双色球"), bad});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("文件bad.txt第3行：后区号码0不在1到16之间"));

    r = RunCli(home, {QStringLiteral("check"), QStringLiteral("大乐透"), tickets});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("《大乐透》还没有开奖号码，无法查询中奖！"));

    WriteFile(home + QStringLiteral("/附属/奖级表.ini"), "[双色球]\n一等奖 = 6+1 : 浮动\n二等奖 = 6+1 : 浮动\n");
    r = RunCli(home, {QStringLiteral("check"), QStringLiteral("双色球"), tickets});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("奖级表第3行：中奖组合6+1已经属于一等奖"));

    EXPECT_EQ(RunCli(home, {QStringLiteral("check"), QStringLiteral("双色球")}).exitCode, 2);
}
