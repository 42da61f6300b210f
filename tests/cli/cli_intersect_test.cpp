#include "cli_runner.h"
#include "support/test_home.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumaro::test::ReadFile;
using lumaro::test::RunCli;
using lumaro::test::WriteFile;

TEST(CliIntersect, IntersectsAndWritesATicketFile)
{
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString name = QStringLiteral("山东体彩11选5");
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    const QString b = dir.filePath(QStringLiteral("b.txt"));
    WriteFile(a, "01 02 03 04 05\r\n01 02 03 04 06\r\n05 04 03 02 01\r\n");
    WriteFile(b, "0000001    01 02 03 04 06 \r\n0000002    02 03 04 05 06 \r\n");

    auto r = RunCli(home, {QStringLiteral("intersect"), name, a, b});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("01 02 03 04 06\r\n最终交集：1注\n"));
    EXPECT_EQ(ReadFile(home + QStringLiteral("/temp.txt")), QByteArray("0000001    01 02 03 04 06 \r\n"));
    EXPECT_TRUE(r.err.contains(QStringLiteral("a.txt：1行，第一处在第3行"))) << r.err.toStdString();

    const QString out = dir.filePath(QStringLiteral("out.txt"));
    r = RunCli(home,
        {QStringLiteral("intersect"), name, a, b, QStringLiteral("--tolerance"), QStringLiteral("0-1"),
            QStringLiteral("-o"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("最终交集：3注\n"));
    EXPECT_EQ(ReadFile(out), QByteArray("01 02 03 04 05\r\n01 02 03 04 06\r\n02 03 04 05 06\r\n"));

    r = RunCli(home, {QStringLiteral("intersect"), name, a, b, QStringLiteral("--tolerance"), QStringLiteral("0-3")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("0到2"))) << r.err.toStdString();
    r = RunCli(home, {QStringLiteral("intersect"), name, a, QStringLiteral("--tolerance"), QStringLiteral("a-b")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("不是一个有效的整形值"))) << r.err.toStdString();
    // The filter's value sets do not apply here: a second range would be silently dropped.
    r = RunCli(
        home, {QStringLiteral("intersect"), name, a, b, QStringLiteral("--tolerance"), QStringLiteral("0-0,2-2")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("容错范围只能是一段“t1-t2”！"));
    EXPECT_EQ(RunCli(home, {QStringLiteral("intersect"), name}).exitCode, 2);
    EXPECT_EQ(RunCli(home, {QStringLiteral("intersect"), QStringLiteral("福彩3D"), a}).exitCode, 1);
}

TEST(CliIntersect, CompoundProposalIsReproducibleWithASeed)
{
    LUMARO_HISTORY_FILE(qlc, "qlc.csv");
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString name = QStringLiteral("中国福彩七乐彩");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), name, qlc}).exitCode, 0);

    const QStringList args {QStringLiteral("compound"), name, QStringLiteral("--count"), QStringLiteral("12"),
        QStringLiteral("--no-threshold"), QStringLiteral("--seed"), QStringLiteral("4")};
    auto r = RunCli(home, args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("搜索次数：")));
    ASSERT_TRUE(lines[1].startsWith(QStringLiteral("复式号码：")));
    EXPECT_EQ(lines[1].mid(5).split(QLatin1Char(' '), Qt::SkipEmptyParts).size(), 12);
    EXPECT_EQ(RunCli(home, args).out, r.out);

    // With the threshold, the default count N - 5.
    r = RunCli(home,
        {QStringLiteral("compound"), name, QStringLiteral("--threshold"), QStringLiteral("20"),
            QStringLiteral("--seed"), QStringLiteral("4")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                  .last()
                  .mid(5)
                  .split(QLatin1Char(' '), Qt::SkipEmptyParts)
                  .size(),
        25);

    // A threshold no column can reach would never end here.
    r = RunCli(home,
        {QStringLiteral("compound"), name, QStringLiteral("--threshold"), QStringLiteral("3000"),
            QStringLiteral("--seed"), QStringLiteral("4")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("2921"))) << r.err.toStdString();
    r = RunCli(home,
        {QStringLiteral("compound"), name, QStringLiteral("--threshold"), QStringLiteral("5"),
            QStringLiteral("--no-threshold")});
    EXPECT_EQ(r.exitCode, 2);
    r = RunCli(home, {QStringLiteral("compound"), name, QStringLiteral("--count"), QStringLiteral("0")});
    EXPECT_EQ(r.exitCode, 1);
}

TEST(CliIntersect, TwoZoneFilesIntersectAsPairsOfFrontAndBack)
{
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString name = QStringLiteral("大乐透");
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    const QString b = dir.filePath(QStringLiteral("b.txt"));
    WriteFile(a, "01 02 03 04 05 + 03 05\r\n01 02 03 04 05 + 03 09\r\n01 02 03 04 06 + 11 12\r\n");
    // The back zone in any order; a one-zone line is skipped and reported.
    WriteFile(b, "0000001    01 02 03 04 05 + 05 03 \r\n01 02 03 04 06 + 11 12\r\n01 02 03 04 07\r\n");

    auto r = RunCli(home, {QStringLiteral("intersect"), name, a, b});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("01 02 03 04 05 + 03 05\r\n01 02 03 04 06 + 11 12\r\n最终交集：2注\n"));
    EXPECT_EQ(ReadFile(home + QStringLiteral("/temp.txt")),
        QByteArray("0000001    01 02 03 04 05 + 03 05 \r\n0000002    01 02 03 04 06 + 11 12 \r\n"));
    EXPECT_TRUE(r.err.contains(QStringLiteral("后区2个1到12之间的不同号码"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("b.txt：1行，第一处在第3行"))) << r.err.toStdString();

    const QString out = dir.filePath(QStringLiteral("out.txt"));
    r = RunCli(home,
        {QStringLiteral("intersect"), name, a, b, QStringLiteral("--tolerance"), QStringLiteral("1-1"),
            QStringLiteral("-o"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("最终交集：1注\n"));
    EXPECT_EQ(ReadFile(out), QByteArray("01 02 03 04 05 + 03 09\r\n"));
}
