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
    ASSERT_EQ(names.size(), 9);
    EXPECT_EQ(names.front(), QStringLiteral("中国福彩七乐彩"));

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
