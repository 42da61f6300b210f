#include "cli_runner.h"
#include "support/test_home.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumaro::test::ReadFile;
using lumaro::test::RunCli;
using lumaro::test::WriteFile;

namespace {

const QString k115 = QStringLiteral("山东体彩11选5");

QStringList Args(std::initializer_list<const char *> list)
{
    QStringList out {QStringLiteral("filter"), k115};
    for (const char *a : list)
        out << QString::fromUtf8(a);
    return out;
}

} // namespace

TEST(CliFilter, PrintsTheSurvivorsAndTheCount)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    auto r = RunCli(home, Args({"--bankers", "1 2", "--banker-hits", "2-2"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QList<QByteArray> lines = r.rawOut.split('\n');
    ASSERT_EQ(lines.size(), 86); // 84 tickets, the count, the final line break
    EXPECT_EQ(lines.front(), QByteArray("01 02 03 04 05\r"));
    EXPECT_EQ(lines[84], QStringLiteral("过滤结果：84注").toUtf8());
    // The window's result list is written too.
    EXPECT_TRUE(ReadFile(home + QStringLiteral("/temp.txt")).startsWith("0000001    01 02 03 04 05 \r\n"));

    const QString out = dir.filePath(QStringLiteral("t.txt"));
    r = RunCli(home, Args({"--big", "1-1", "-o", out.toUtf8().constData()}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("过滤结果：7注\n"));
    const QByteArray file = ReadFile(out);
    EXPECT_EQ(file.count("\r\n"), 7);
    EXPECT_TRUE(file.startsWith("01 02 03 04 05\r\n"));

    // From a ticket file, as after loading it: consecutive repeats collapse.
    const QString from = dir.filePath(QStringLiteral("from.txt"));
    WriteFile(from, "01 02 03 04 05\r\n01 02 03 04 05\r\n03 05 07 09 11\r\n02 04 06 08 10\r\n");
    r = RunCli(home, Args({"--odd", "3-5", "--from", from.toUtf8().constData()}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.rawOut, QStringLiteral("01 02 03 04 05\r\n03 05 07 09 11\r\n过滤结果：2注\n").toUtf8());

    // The variant trend is replayed by its seed.
    const auto a = RunCli(home, Args({"--sum", "20-30", "--variant", "--seed", "11"}));
    const auto b = RunCli(home, Args({"--sum", "20-30", "--variant", "--seed", "11"}));
    ASSERT_EQ(a.exitCode, 0) << a.err.toStdString();
    EXPECT_EQ(a.rawOut, b.rawOut);
}

TEST(CliFilter, RefusesBadInput)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    auto r = RunCli(home, Args({"--sum", "10-x"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("'x' 不是一个有效的整形值"));
    r = RunCli(home, Args({"--bankers", "1,2"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("'1,2' 不是一个有效的整形值"));
    r = RunCli(home, Args({}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("请选择过滤条件！"));
    r = RunCli(home, Args({"--balls", "1 2 3", "--ball-hits", "2-3"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("请至少选择5个球号！"));
    r = RunCli(home, Args({"--sum", "1-2"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("没有符合条件的投注号码，请重新选择过滤条件！"));
    EXPECT_EQ(RunCli(home, Args({"--sum"})).exitCode, 2);
}
