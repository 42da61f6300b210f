#include "cli_runner.h"
#include "support/test_home.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumaro::test::RunCli;

TEST(CliData, ListCreateDeleteAndUsageErrors)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    auto r = RunCli(home, {QStringLiteral("lotteries")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList names = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(names.size(), 13);
    EXPECT_EQ(names.front(), QStringLiteral("中国福彩七乐彩"));
    EXPECT_EQ(names.mid(9),
        (QStringList {
            QStringLiteral("双色球"), QStringLiteral("大乐透"), QStringLiteral("排列3"), QStringLiteral("排列5")}));

    r = RunCli(home,
        {QStringLiteral("create"), QStringLiteral("排列三"), QStringLiteral("--kind"), QStringLiteral("1"),
            QStringLiteral("--n"), QStringLiteral("10"), QStringLiteral("--m"), QStringLiteral("3"),
            QStringLiteral("--weekdays"), QStringLiteral("1234567")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = RunCli(home,
        {QStringLiteral("create"), QStringLiteral("排列三"), QStringLiteral("--kind"), QStringLiteral("1"),
            QStringLiteral("--n"), QStringLiteral("10"), QStringLiteral("--m"), QStringLiteral("3")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("已经存在"))) << r.err.toStdString();
    r = RunCli(home, {QStringLiteral("create"), QStringLiteral("x"), QStringLiteral("--kind"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 2);
    r = RunCli(home,
        {QStringLiteral("create"), QStringLiteral("x"), QStringLiteral("--kind"), QStringLiteral("0"),
            QStringLiteral("--n"), QStringLiteral("ten"), QStringLiteral("--m"), QStringLiteral("3")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(RunCli(home, {QStringLiteral("nosuch")}).exitCode, 2);
    EXPECT_EQ(RunCli(home, {QStringLiteral("open"), QStringLiteral("--bogus"), QStringLiteral("x")}).exitCode, 2);
    r = RunCli(home, {QStringLiteral("open"), QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("open NAME")));

    names = RunCli(home, {QStringLiteral("lotteries")}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(names.back(), QStringLiteral("排列三"));
    EXPECT_EQ(RunCli(home, {QStringLiteral("delete"), QStringLiteral("排列三")}).exitCode, 0);
    EXPECT_EQ(RunCli(home, {QStringLiteral("delete"), QStringLiteral("排列三")}).exitCode, 1);
}

TEST(CliData, ImportExportAndOpen)
{
    LUMARO_HISTORY_FILE(qlc, "qlc.csv");
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString name = QStringLiteral("中国福彩七乐彩");
    // A new program folder has the history stored already: importing it again adds nothing.
    auto r = RunCli(home, {QStringLiteral("import"), name, qlc});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("新增开奖号码：0期\n已有开奖号码：2921期\n"));

    r = RunCli(home, {QStringLiteral("export"), name});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.rawOut.startsWith("2007001 04 14 19 22 26 29 30 \r\n"));
    EXPECT_TRUE(r.rawOut.endsWith("2026041 02 06 11 16 17 29 30 \r\n"));
    const QString file = dir.path() + QStringLiteral("/out.txt");
    r = RunCli(home, {QStringLiteral("export"), name, QStringLiteral("-o"), file});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(lumaro::test::ReadFile(file), RunCli(home, {QStringLiteral("export"), name}).rawOut);

    r = RunCli(home, {QStringLiteral("open"), name});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
        QStringLiteral("开奖期数：2921\n最近一期：2026041 2026-04-15 02 06 11 16 17 29 30\n投注号码数：2035800\n"
                       "第一注：01 02 03 04 05 06 07\n最后一注：24 25 26 27 28 29 30\n"));

    // A lottery without draws says how to get them.
    r = RunCli(home, {QStringLiteral("open"), QStringLiteral("南粤风采26选5")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("开奖期数：0\n“南粤风采26选5”还没有开奖号码。")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("附属/站点.ini")));
    EXPECT_FALSE(r.out.contains(QStringLiteral("开奖数据服务")));
    EXPECT_TRUE(
        r.out.endsWith(QStringLiteral("投注号码数：65780\n第一注：01 02 03 04 05\n最后一注：22 23 24 25 26\n")));

    lumaro::test::WriteFile(
        dir.path() + QStringLiteral("/bad.csv"), "period,date,a,b,c,d,e,f,g\n2030001,2030-01-01,1,2,3,4,5,6,31\n");
    r = RunCli(home, {QStringLiteral("import"), name, dir.path() + QStringLiteral("/bad.csv")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("第2行："))) << r.err.toStdString();
    EXPECT_EQ(RunCli(home, {QStringLiteral("open"), QStringLiteral("没有")}).exitCode, 1);
}

// docs/CLI.md describes the command line: every command of --help has its row there, and every
// option a command's --help lists is named in that command's rows.
TEST(CliData, TheReferenceDescribesEveryCommandAndOption)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString reference
        = QString::fromUtf8(lumaro::test::ReadFile(QStringLiteral(LUMARO_SOURCE_DIR "/docs/CLI.md")));
    const QStringList rows = reference.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^\\| `")));
    const auto r = RunCli(home, {QStringLiteral("--help")});
    ASSERT_EQ(r.exitCode, 0);
    static const QRegularExpression commandLine(QStringLiteral("^  ([a-z][a-z-]*) "));
    static const QRegularExpression optionName(QStringLiteral("(--[a-z][a-z-]*)"));
    int commands = 0;
    for (const QString &line : r.out.split(QLatin1Char('\n'))) {
        const auto command = commandLine.match(line);
        if (!command.hasMatch())
            continue;
        ++commands;
        const QString name = command.captured(1);
        const QStringList own = rows.filter(QRegularExpression(QStringLiteral("^\\| `%1[ `]").arg(name)));
        ASSERT_FALSE(own.isEmpty()) << "docs/CLI.md has no row for " << name.toStdString();
        const QString described = own.join(QLatin1Char('\n'));
        const auto help = RunCli(home, {name, QStringLiteral("--help")});
        auto options = optionName.globalMatch(help.out);
        while (options.hasNext()) {
            const QString option = options.next().captured(1);
            if (option == QLatin1String("--help") || option == QLatin1String("--home"))
                continue;
            const bool shortForm = option == QLatin1String("--output") && described.contains(QLatin1String("-o FILE"));
            EXPECT_TRUE(shortForm || described.contains(option))
                << "docs/CLI.md does not describe " << name.toStdString() << ' ' << option.toStdString();
        }
    }
    EXPECT_GE(commands, 17);
}

namespace {

QStringList Args(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

// open: the latest draw with " + " between the zones and the tickets of the whole game, front
// count × back count, with the first and the last ticket of the game.
TEST(CliData, OpenShowsBothZonesAndTheWholeGameTicketCount)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    auto r = RunCli(home, Args("open 双色球"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
        QStringLiteral("开奖期数：2513\n最近一期：2020003 2020-01-07 09 17 26 29 30 32 + 03\n"
                       "投注号码数：17721088（前区1107568 × 后区16）\n"
                       "第一注：01 02 03 04 05 06 + 01\n最后一注：28 29 30 31 32 33 + 16\n"));
    r = RunCli(home, Args("open 大乐透"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("开奖期数：0\n“大乐透”还没有开奖号码。"))) << r.out.toStdString();
    // Its downloads need no site address: the hint sends the user to the result service.
    EXPECT_TRUE(r.out.contains(QStringLiteral("开奖数据服务"))) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("站点.ini"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("投注号码数：21425712（前区324632 × 后区66）\n"
                                              "第一注：01 02 03 04 05 + 01 02\n最后一注：31 32 33 34 35 + 11 12\n")))
        << r.out.toStdString();
    // A one-zone lottery's lines stay as they were.
    r = RunCli(home, Args("open 排列3"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("投注号码数：1000\n第一注：00 00 00\n最后一注：09 09 09\n")))
        << r.out.toStdString();
}

// create with --kind 2 takes the back zone; the other kinds refuse it, and kind 2 refuses to go
// without it. A two-zone lottery made so imports and exports per zone, and a bad row of either
// zone refuses the whole file.
TEST(CliData, TwoZoneLotteriesAreCreatedImportedExportedAndDeleted)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    struct Refusal {
        const char *args;
        int exitCode;
        const char *message;
    };
    const Refusal refusals[] = {
        {"create 双区 --kind 2 --n 35 --m 5", 2, "双区型彩票（--kind 2）缺少 --back-n"},
        {"create 双区 --kind 2 --n 35 --m 5 --back-n 12", 2, "双区型彩票（--kind 2）缺少 --back-m"},
        {"create 双区 --kind 0 --n 35 --m 5 --back-n 12 --back-m 2", 2, "--back-n 只用于双区型彩票（--kind 2）"},
        {"create 双区 --kind 1 --n 10 --m 3 --back-m 2", 2, "--back-m 只用于双区型彩票（--kind 2）"},
        {"create 双区 --kind 3 --n 35 --m 5", 2, ""},
        {"create 双区 --kind 2 --n 35 --m 5 --back-n x --back-m 2", 2, ""},
        {"create 双区 --kind 2 --n 35 --m 5 --back-n 12 --back-m 13", 1, "后区选择号码数不能大于后区号码总数！"},
        {"create 双区 --kind 2 --n 35 --m 5 --back-n 12 --back-m 0", 1, "后区选择号码数至少为1！"},
        {"create 双色球 --kind 2 --n 33 --m 6 --back-n 16 --back-m 1", 1, "已经存在"},
    };
    for (const Refusal &c : refusals) {
        const auto r = RunCli(home, Args(c.args));
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << c.args << " → " << r.err.toStdString();
    }
    EXPECT_EQ(RunCli(home, Args("lotteries")).out.count(QLatin1Char('\n')), 13);

    auto r = RunCli(home, Args("create 双区 --kind 2 --n 20 --m 3 --back-n 5 --back-m 2 --weekdays 135"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("已添加彩票：双区\n"));
    const QString csv = dir.path() + QStringLiteral("/双区.csv");
    lumaro::test::WriteFile(csv, "期号,日期,a,b,c,x,y\n2020001,2020-01-01,3,1,20,5,3\n2020002,2020-01-03,7,8,9,1,2\n");
    r = RunCli(home, {QStringLiteral("import"), QStringLiteral("双区"), csv});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("新增开奖号码：2期\n已有开奖号码：0期\n"));
    r = RunCli(home, Args("export 双区"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.rawOut, QByteArray("2020001 03 01 20 + 05 03 \r\n2020002 07 08 09 + 01 02 \r\n"));
    r = RunCli(home, Args("open 双区"));
    EXPECT_EQ(r.out,
        QStringLiteral(
            "开奖期数：2\n最近一期：2020002 2020-01-03 07 08 09 + 01 02\n投注号码数：11400（前区1140 × 后区10）\n"
            "第一注：01 02 03 + 01 02\n最后一注：18 19 20 + 04 05\n"));

    // The exported text goes back in: nothing new. A bad back zone refuses the file.
    const QString text = dir.path() + QStringLiteral("/双区.txt");
    ASSERT_EQ(RunCli(home, {QStringLiteral("export"), QStringLiteral("双区"), QStringLiteral("-o"), text}).exitCode, 0);
    r = RunCli(home, {QStringLiteral("import"), QStringLiteral("双区"), text});
    EXPECT_EQ(r.out, QStringLiteral("新增开奖号码：0期\n已有开奖号码：2期\n"));
    lumaro::test::WriteFile(text, "2020003 01 02 03 + 04 05\n2020004 01 02 03 + 06 01\n");
    r = RunCli(home, {QStringLiteral("import"), QStringLiteral("双区"), text});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("第2行：第2020004期后区的第1个号码6不在1到5之间！"));
    // A one-zone lottery refuses the "+" form.
    r = RunCli(home, {QStringLiteral("import"), QStringLiteral("排列3"), text});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("只有一个号码区"))) << r.err.toStdString();
    EXPECT_EQ(RunCli(home, Args("open 双区")).out.count(QStringLiteral("开奖期数：2\n")), 1);

    EXPECT_EQ(RunCli(home, Args("delete 双区")).exitCode, 0);
    EXPECT_EQ(RunCli(home, Args("open 双区")).exitCode, 1);
    EXPECT_FALSE(RunCli(home, Args("lotteries")).out.contains(QStringLiteral("双区")));
}
