#include "cli_runner.h"
#include "support/test_home.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using lumaro::test::RunCli;

namespace {

const QString kQlc = QStringLiteral("中国福彩七乐彩");

QStringList Args(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *a : list)
        out << QString::fromUtf8(a);
    return out;
}

} // namespace

// Every command reads a number option the same way: a seed is a whole number from 0 to
// 2^64 − 1 wherever it is taken, and a count or an amount the windows refuse is refused with
// the window's message.
TEST(CliOptions, SeedsCountsAndMoneyReadAsTheWindowsReadThem)
{
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    const QStringList indicators = QStringList {QStringLiteral("indicators"), kQlc} + Args({"--variant", "--seed"});
    const QStringList filter = QStringList {QStringLiteral("filter"), kQlc}
        + Args({"--sum", "100-160", "-o", out.toUtf8().constData(), "--variant", "--seed"});
    const QStringList exclude
        = QStringList {QStringLiteral("exclude"), QStringLiteral("南粤风采26选5"), QStringLiteral("sum")}
        + Args({"--seed"});
    for (const QStringList &command : {indicators, filter}) {
        auto r = RunCli(home, command + Args({"3000000000"}));
        EXPECT_EQ(r.exitCode, 0) << command.front().toStdString() << r.err.toStdString();
        for (const char *bad : {"-1", "18446744073709551616", "1e3"}) {
            r = RunCli(home, command + Args({bad}));
            EXPECT_EQ(r.exitCode, 2) << command.front().toStdString() << ' ' << bad;
            EXPECT_EQ(r.err,
                QStringLiteral("--seed 的值“%1”不是0到18446744073709551615之间的整数\n").arg(QString::fromLatin1(bad)));
        }
    }
    auto r = RunCli(home, exclude + Args({"-1"}));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("--seed 的值“-1”"))) << r.err.toStdString();

    // A negative target would never be reached: refused as the window refuses it.
    const QString draws = dir.filePath(QStringLiteral("draws.txt"));
    lumaro::test::WriteFile(draws, "2024001 01 02 03 04 05\n2024002 06 07 08 09 10\n2024003 11 12 13 14 15\n");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), QStringLiteral("南粤风采26选5"), draws}).exitCode, 0);
    r = RunCli(home, exclude + Args({"1", "--target", "-1"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("过滤到的注数不能小于0！\n"));
    r = RunCli(home, exclude + Args({"1", "--cycles", "-1"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("过滤次数不能小于0！\n"));
    r = RunCli(home, exclude + Args({"1", "--repeat", "-2"}));
    EXPECT_EQ(r.exitCode, 2); // --repeat is no option of sum
    r = RunCli(home, exclude + Args({"1", "--upper", "-2"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("请输入不小于0的整数！\n"));
    r = RunCli(home, exclude + Args({"1", "--target", "many"}));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, QStringLiteral("--target 的值“many”不是整数\n"));

    // Money: the plan and investment windows take no negative amount.
    r = RunCli(home, Args({"plan", "fixed", "--loss", "-5"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("前期亏损不能为负数！\n"));
    r = RunCli(home, Args({"plan", "staged", "--unit", "-16", "--prize", "-1000"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("单倍投入不能为负数！\n"));
    r = RunCli(home, Args({"invest", "福彩3D", "--random", "10", "--total-max", "-1"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("累计最大投入不能为负数！\n"));
}

// A device or pipe that never ends is refused at once, never read.
TEST(CliOptions, EndlessInputIsRefused)
{
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString fifo = dir.filePath(QStringLiteral("pipe.txt"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString notRegular = QStringLiteral("不是普通文件");
    for (const QString &input : {QStringLiteral("/dev/zero"), fifo}) {
        const QList<QStringList> commands {
            {QStringLiteral("import"), kQlc, input},
            {QStringLiteral("filter"), QStringLiteral("山东体彩11选5"), QStringLiteral("--big"), QStringLiteral("1-2"),
                QStringLiteral("--from"), input},
            {QStringLiteral("intersect"), QStringLiteral("山东体彩11选5"), input},
            {QStringLiteral("exclude"), kQlc, QStringLiteral("sum"), QStringLiteral("--seed"), QStringLiteral("1"),
                QStringLiteral("--from"), input},
            {QStringLiteral("invest"), QStringLiteral("福彩3D"), QStringLiteral("--tickets"), input},
        };
        for (const QStringList &command : commands) {
            const auto r = RunCli(home, command);
            EXPECT_EQ(r.exitCode, 1) << command.join(QLatin1Char(' ')).toStdString();
            EXPECT_TRUE(r.err.contains(notRegular)) << r.err.toStdString();
        }
    }
    const auto r = RunCli(home, {QStringLiteral("import"), kQlc, dir.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("是文件夹"))) << r.err.toStdString();
}
