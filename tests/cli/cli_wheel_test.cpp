#include "cli_runner.h"
#include "support/test_home.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumaro::test::RunCli;

TEST(CliWheel, WheelListsTheTicketsAsTheWindowDoes)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    ASSERT_EQ(RunCli(home, {QStringLiteral("lotteries")}).exitCode, 0);
    lumaro::test::WriteFile(home + QStringLiteral("/旋转矩阵/选三型05码中3保2.txt"), "1 2 3\r\n3 4 5\r\n1,2,4\r\n");
    const QString out = dir.filePath(QStringLiteral("t.txt"));
    auto r = RunCli(home,
        {QStringLiteral("wheel"), QStringLiteral("--base"), QStringLiteral("9 07 5 30 1"), QStringLiteral("--type"),
            QStringLiteral("3"), QStringLiteral("--match"), QStringLiteral("3"), QStringLiteral("--guarantee"),
            QStringLiteral("2"), QStringLiteral("-o"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
        QStringLiteral("序号\t号码1\t号码2\t号码3\n1\t05\t07\t09\n2\t01\t05\t30\n3\t07\t09\t30\n投注号码：共3 注\n"));
    EXPECT_EQ(lumaro::test::ReadFile(out), QByteArray("05 07 09\r\n01 05 30\r\n07 09 30\r\n"));

    // A banker wheel reads the matrix of one number fewer per ticket.
    r = RunCli(home,
        {QStringLiteral("wheel"), QStringLiteral("--base"), QStringLiteral("1 2 3 4 5"), QStringLiteral("--bankers"),
            QStringLiteral("8"), QStringLiteral("--type"), QStringLiteral("4"), QStringLiteral("--match"),
            QStringLiteral("4"), QStringLiteral("--guarantee"), QStringLiteral("3")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\n1\t01\t02\t03\t08\n"))) << r.out.toStdString();

    r = RunCli(home,
        {QStringLiteral("wheel"), QStringLiteral("--base"), QStringLiteral("1 2 3 4 5"), QStringLiteral("--type"),
            QStringLiteral("3"), QStringLiteral("--match"), QStringLiteral("3"), QStringLiteral("--guarantee"),
            QStringLiteral("4")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("没有该类型的矩阵！")));
    r = RunCli(home,
        {QStringLiteral("wheel"), QStringLiteral("--base"), QStringLiteral("1 2 3 4 1"), QStringLiteral("--type"),
            QStringLiteral("3"), QStringLiteral("--match"), QStringLiteral("3"), QStringLiteral("--guarantee"),
            QStringLiteral("2")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("请不要输入重复的号码数字！")));
    EXPECT_EQ(RunCli(home, {QStringLiteral("wheel"), QStringLiteral("--type"), QStringLiteral("3")}).exitCode, 2);
}

// A fresh program folder gets the shipped matrices before the first wheel.
TEST(CliWheel, ShippedMatrixOfTheInitialSettings)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const auto r
        = RunCli(home, {QStringLiteral("wheel"), QStringLiteral("--base"), QStringLiteral("1 2 3 4 5 6 7 8 9 10")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("序号\t号码1\t号码2\t号码3\t号码4\t号码5\t号码6\n1\t01\t")));
    EXPECT_TRUE(r.out.endsWith(QStringLiteral(" 注\n")));
    const auto check = RunCli(home,
        {QStringLiteral("wheel-check"), QStringLiteral("选六型10码中6保5.txt"), QStringLiteral("10"),
            QStringLiteral("6"), QStringLiteral("5")});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString();
}

TEST(CliWheel, DesignAndCheck)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString file = dir.filePath(QStringLiteral("fano.txt"));
    auto r = RunCli(home,
        {QStringLiteral("wheel-design"), QStringLiteral("7"), QStringLiteral("3"), QStringLiteral("2"),
            QStringLiteral("2"), QStringLiteral("--seconds"), QStringLiteral("5"), QStringLiteral("-o"), file});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("矩阵注数：7\n"))) << r.out.toStdString();
    EXPECT_EQ(r.out.count(QLatin1Char('\n')), 8);

    r = RunCli(
        home, {QStringLiteral("wheel-check"), file, QStringLiteral("7"), QStringLiteral("2"), QStringLiteral("2")});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("矩阵注数：7\n保证成立")));
    // Read as the matrix of a one-banker wheel: three of the seven plus the banker, two plus it.
    r = RunCli(home,
        {QStringLiteral("wheel-check"), file, QStringLiteral("7"), QStringLiteral("3"), QStringLiteral("3"),
            QStringLiteral("--bankers"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();

    const QString broken = dir.filePath(QStringLiteral("six.txt"));
    lumaro::test::WriteFile(broken, "1 2 3\r\n1 4 5\r\n1 6 7\r\n2 4 6\r\n2 5 7\r\n3 4 7\r\n");
    r = RunCli(
        home, {QStringLiteral("wheel-check"), broken, QStringLiteral("7"), QStringLiteral("2"), QStringLiteral("2")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("保证不成立：3 组"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("例如 03 05"))) << r.out.toStdString();

    EXPECT_EQ(RunCli(home,
                  {QStringLiteral("wheel-design"), QStringLiteral("7"), QStringLiteral("3"), QStringLiteral("4"),
                      QStringLiteral("4")})
                  .exitCode,
        1);
    EXPECT_EQ(
        RunCli(home,
            {QStringLiteral("wheel-check"), broken, QStringLiteral("x"), QStringLiteral("2"), QStringLiteral("2")})
            .exitCode,
        2);
}

TEST(CliWheel, BackNumbersMakeTwoZoneTickets)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    ASSERT_EQ(RunCli(home, {QStringLiteral("lotteries")}).exitCode, 0);
    lumaro::test::WriteFile(home + QStringLiteral("/旋转矩阵/选三型05码中3保2.txt"), "1 2 3\r\n3 4 5\r\n");
    const QStringList wheel {QStringLiteral("wheel"), QStringLiteral("--base"), QStringLiteral("1 2 3 4 5"),
        QStringLiteral("--type"), QStringLiteral("3"), QStringLiteral("--match"), QStringLiteral("3"),
        QStringLiteral("--guarantee"), QStringLiteral("2")};
    const QString out = dir.filePath(QStringLiteral("t.txt"));
    auto r = RunCli(home,
        wheel
            + QStringList {QStringLiteral("--back"), QStringLiteral("07 02 11"), QStringLiteral("--back-pick"),
                QStringLiteral("2"), QStringLiteral("-o"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
        QStringLiteral("序号\t号码1\t号码2\t号码3\t后区1\t后区2\n1\t01\t02\t03\t02\t07\n2\t01\t02\t03\t02\t11\n"
                       "3\t01\t02\t03\t07\t11\n4\t03\t04\t05\t02\t07\n5\t03\t04\t05\t02\t11\n6\t03\t04\t05\t07\t11\n"
                       "投注号码：共6 注（矩阵2注 × 后区3注）\n"));
    EXPECT_EQ(lumaro::test::ReadFile(out),
        QByteArray("01 02 03 + 02 07\r\n01 02 03 + 02 11\r\n01 02 03 + 07 11\r\n03 04 05 + 02 07\r\n"
                   "03 04 05 + 02 11\r\n03 04 05 + 07 11\r\n"));

    // Without the back options the output is as before; the two go together.
    r = RunCli(home, wheel);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("序号\t号码1\t号码2\t号码3\n1\t01\t02\t03\n2\t03\t04\t05\n投注号码：共2 注\n"));
    EXPECT_EQ(RunCli(home, wheel + QStringList {QStringLiteral("--back"), QStringLiteral("1 2")}).exitCode, 2);
    EXPECT_EQ(RunCli(home, wheel + QStringList {QStringLiteral("--back-pick"), QStringLiteral("1")}).exitCode, 2);
    r = RunCli(home,
        wheel
            + QStringList {
                QStringLiteral("--back"), QStringLiteral("4"), QStringLiteral("--back-pick"), QStringLiteral("2")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("请至少选择2个后区号码（现在选了1个）！"));
    r = RunCli(home,
        wheel
            + QStringList {
                QStringLiteral("--back"), QStringLiteral("4 4 5"), QStringLiteral("--back-pick"), QStringLiteral("2")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("后区号码4重复了！"));
    EXPECT_EQ(RunCli(home,
                  wheel
                      + QStringList {QStringLiteral("--back"), QStringLiteral("4 5"), QStringLiteral("--back-pick"),
                          QStringLiteral("0")})
                  .exitCode,
        2);
}
