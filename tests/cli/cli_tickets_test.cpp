#include "cli_runner.h"
#include "support/test_home.h"

#include <QFile>
#include <QTemporaryDir>

#include <array>

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

TEST(CliFilter, BacktestJudgesTheDrawsAndAllTickets)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    auto r = RunCli(home, Args({"--big", "1-1", "--backtest"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("《山东体彩11选5》还没有开奖号码，无法进行历史验证！"));

    const QString csv = dir.filePath(QStringLiteral("draws.csv"));
    WriteFile(csv,
        "period,date,a,b,c,d,e\n2006001,2006-01-01,3,1,2,5,4\n2006002,2006-01-02,11,1,2,3,4\n"
        "2006003,2006-01-03,5,6,7,8,9\n");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), k115, csv}).exitCode, 0);
    // Big numbers are 5..11 here: the first two draws hold one, the third five; 7 of the 462
    // tickets hold one (1.5%), 4 of them with three odd numbers (0.87%), as every draw has.
    r = RunCli(home, Args({"--big", "1-1", "--odd", "3-3", "--backtest"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();
    EXPECT_EQ(lines[0],
        QStringLiteral("历史验证：判断3期开奖号码，全部条件都通过的有2期，占66.7%；全部投注号码中通过的占0.87%；"
                       "两者之比77.00"));
    EXPECT_EQ(lines[1], QStringLiteral("  大数 1-1：开奖号码通过2期（66.7%），投注号码通过1.5%，之比44.00"));
    EXPECT_EQ(lines[2], QStringLiteral("  奇数 3-3：开奖号码通过3期（100.0%），投注号码通过43.3%，之比2.31"));
    // No ticket file is written or read by a check.
    const QString out = dir.filePath(QStringLiteral("t.txt"));
    EXPECT_EQ(RunCli(home, Args({"--big", "1-1", "--backtest", "-o", out.toUtf8().constData()})).exitCode, 2);
    EXPECT_EQ(RunCli(home, Args({"--big", "1-1", "--backtest", "--from", csv.toUtf8().constData()})).exitCode, 2);
    EXPECT_FALSE(QFile::exists(out));
}

namespace {

// The 462 tickets of 11 choose 5 with, for each, the count of the two conditions below that it
// fails: three odd numbers, two primes (2 3 5 7 11).
std::array<qint64, 3> FailuresOfOddAndPrimes()
{
    std::array<qint64, 3> byFailures {};
    for (int a = 1; a <= 11; ++a)
        for (int b = a + 1; b <= 11; ++b)
            for (int c = b + 1; c <= 11; ++c)
                for (int d = c + 1; d <= 11; ++d)
                    for (int e = d + 1; e <= 11; ++e) {
                        int odd = 0;
                        int primes = 0;
                        for (int v : {a, b, c, d, e}) {
                            odd += v % 2;
                            primes += (v == 2 || v == 3 || v == 5 || v == 7 || v == 11) ? 1 : 0;
                        }
                        ++byFailures[static_cast<std::size_t>((odd != 3 ? 1 : 0) + (primes != 2 ? 1 : 0))];
                    }
    return byFailures;
}

} // namespace

TEST(CliFilter, ToleranceValueSetsAndTheNewerConditions)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString out = dir.filePath(QStringLiteral("t.txt"));
    const QByteArray outArg = out.toUtf8();
    const auto count = [&](std::initializer_list<const char *> args) {
        QStringList list = Args(args);
        list << QStringLiteral("-o") << out;
        const auto r = RunCli(home, list);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    // A value set keeps what its ranges keep.
    const auto countOf = [&](const char *sum) { return count({"--sum", sum}).front().mid(5).chopped(1).toLongLong(); };
    EXPECT_EQ(countOf("15-20,35-40"), countOf("15-20") + countOf("35-40"));

    const std::array<qint64, 3> want = FailuresOfOddAndPrimes();
    QStringList lines = count({"--odd", "3-3", "--primes", "2-2", "--tolerance", "1"});
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("过滤结果：%1注").arg(want[0] + want[1]));
    EXPECT_EQ(lines[1], QStringLiteral("其中不满足0个条件的%1注，1个条件的%2注").arg(want[0]).arg(want[1]));
    EXPECT_EQ(ReadFile(out).count('\n'), want[0] + want[1]);
    // Without a tolerance the line is left out.
    lines = count({"--odd", "3-3", "--primes", "2-2"});
    EXPECT_EQ(lines, QStringList {QStringLiteral("过滤结果：%1注").arg(want[0])});

    // Refusals: a tolerance as large as the conditions, patterns that cannot add up, options
    // that need their partners.
    auto r = RunCli(home, Args({"--odd", "3-3", "--primes", "2-2", "--tolerance", "2"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("容错个数2太大：所选的2个条件最多只能容错1个！"));
    r = RunCli(home, Args({"--road", "2:2:2"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("012路比例“2:2:2”应为3个不小于0的个数，其和等于5！"));
    r = RunCli(home, Args({"--zones", "3", "--zone-counts", "2:2"}));
    EXPECT_EQ(r.exitCode, 1);
    r = RunCli(home, Args({"--zones", "3", "--zone-range", "4:1-2"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(RunCli(home, Args({"--zone-range", "1:1-2"})).exitCode, 2);
    EXPECT_EQ(RunCli(home, Args({"--repeat-periods", "3", "--odd", "1-2"})).exitCode, 2);
    EXPECT_EQ(RunCli(home, Args({"--road", "2:2:1", "--road0", "1-2"})).exitCode, 2);
    r = RunCli(home, Args({"--banker-group", "1 2"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("胆码组“1 2”应写成“号码 号码 …:最少-最多”！"));

    // Patterns are exact counts: 2:2:1 over 3 6 9 | 1 4 7 10 | 2 5 8 11.
    qint64 roads = 0;
    for (int a = 1; a <= 11; ++a)
        for (int b = a + 1; b <= 11; ++b)
            for (int c = b + 1; c <= 11; ++c)
                for (int d = c + 1; d <= 11; ++d)
                    for (int e = d + 1; e <= 11; ++e) {
                        int r0 = 0;
                        int r1 = 0;
                        for (int v : {a, b, c, d, e}) {
                            r0 += v % 3 == 0 ? 1 : 0;
                            r1 += v % 3 == 1 ? 1 : 0;
                        }
                        roads += r0 == 2 && r1 == 2 ? 1 : 0;
                    }
    EXPECT_EQ(count({"--road", "2:2:1"}), QStringList {QStringLiteral("过滤结果：%1注").arg(roads)});
    // Zones of 11 in 3: 1-4, 5-8, 9-11; banker groups count each on its own.
    EXPECT_EQ(count({"--zones", "3", "--zone-counts", "4:1:0"}), QStringList {QStringLiteral("过滤结果：4注")});
    EXPECT_EQ(count({"--banker-group", "1 2 3:3-3", "--banker-group", "10 11:1"}),
        QStringList {QStringLiteral("过滤结果：12注")});

    // The history check adds the tolerance line and the newer conditions' lines.
    const QString csv = dir.filePath(QStringLiteral("draws.csv"));
    WriteFile(csv,
        "period,date,a,b,c,d,e\n2006001,2006-01-01,3,1,2,5,4\n2006002,2006-01-02,11,1,2,3,4\n"
        "2006003,2006-01-03,5,6,7,8,9\n");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), k115, csv}).exitCode, 0);
    r = RunCli(home, Args({"--repeat", "0-1", "--consecutive", "3-4", "--tolerance", "1", "--backtest"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << r.out.toStdString();
    // 重码 of each draw against the one before: 0, 4, 0; pairs of neighbours: 4, 3, 4.
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("历史验证：判断3期开奖号码，全部条件都通过的有2期")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("  容错1个（最多1个条件不满足）：开奖号码通过3期")))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("  重码 0-1：开奖号码通过2期"))) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("  连号个数 3-4：开奖号码通过3期"))) << lines[3].toStdString();
}

TEST(CliFilter, SavedSetFiltersAsTheSameOptions)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString set = dir.filePath(QStringLiteral("set.txt"));
    const QStringList options {QStringLiteral("--sum"), QStringLiteral("20-30,35"), QStringLiteral("--odd"),
        QStringLiteral("2-4"), QStringLiteral("--bankers"), QStringLiteral("1 2"), QStringLiteral("--banker-hits"),
        QStringLiteral("1-2"), QStringLiteral("--balls"), QStringLiteral("1 2 3 4 5 6 7 8"),
        QStringLiteral("--ball-hits"), QStringLiteral("3-5"), QStringLiteral("--zones"), QStringLiteral("3"),
        QStringLiteral("--zone-range"), QStringLiteral("2:1-2"), QStringLiteral("--banker-group"),
        QStringLiteral("3 4:0-1"), QStringLiteral("--consecutive"), QStringLiteral("0-2"),
        QStringLiteral("--tolerance"), QStringLiteral("1")};
    auto r = RunCli(home, Args({}) << options << QStringLiteral("--save-set") << set);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("过滤条件已保存：%1（7个条件）\n").arg(set));
    EXPECT_FALSE(QFile::exists(home + QStringLiteral("/temp.txt"))); // saving filters nothing
    EXPECT_TRUE(ReadFile(set).contains(QStringLiteral("分区 = 3 区：不限 / 1-2 / 不限\n").toUtf8()));

    const auto direct = RunCli(home, Args({}) << options);
    ASSERT_EQ(direct.exitCode, 0) << direct.err.toStdString();
    const auto fromSet = RunCli(home, Args({"--set"}) << set);
    ASSERT_EQ(fromSet.exitCode, 0) << fromSet.err.toStdString();
    EXPECT_EQ(fromSet.rawOut, direct.rawOut);
    EXPECT_TRUE(direct.out.contains(QStringLiteral("其中不满足0个条件的")));

    // A condition on the command line replaces the file's: --sum and the banker groups.
    QStringList changed = options;
    changed[1] = QStringLiteral("25-30");
    changed[17] = QStringLiteral("9 10:1");
    const auto overridden = RunCli(home, Args({"--sum", "25-30", "--banker-group", "9 10:1", "--set"}) << set);
    ASSERT_EQ(overridden.exitCode, 0) << overridden.err.toStdString();
    EXPECT_EQ(overridden.rawOut, RunCli(home, Args({}) << changed).rawOut);
    EXPECT_NE(overridden.rawOut, direct.rawOut);
    // The hits alone change the set's, on its numbers.
    changed = options;
    changed[7] = QStringLiteral("2");
    changed[11] = QStringLiteral("4");
    const auto hits = RunCli(home, Args({"--banker-hits", "2", "--ball-hits", "4", "--set"}) << set);
    ASSERT_EQ(hits.exitCode, 0) << hits.err.toStdString();
    EXPECT_EQ(hits.rawOut, RunCli(home, Args({}) << changed).rawOut);

    // A set for the variant trend filters in it, replayed by the seed.
    WriteFile(set, "# mine\n和值 = 20-30\n变幻走势 = 是\n");
    const auto variant = RunCli(home, Args({"--set", set.toUtf8().constData(), "--seed", "11"}));
    ASSERT_EQ(variant.exitCode, 0) << variant.err.toStdString();
    EXPECT_EQ(variant.rawOut, RunCli(home, Args({"--sum", "20-30", "--variant", "--seed", "11"})).rawOut);
}

TEST(CliFilter, BadSetsAndSavesAreRefused)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString set = dir.filePath(QStringLiteral("set.txt"));
    WriteFile(set, "# Lumaro 总体过滤条件\n奇数 = 2-4\n和值 = 98-\n");
    auto r = RunCli(home, Args({"--set", set.toUtf8().constData()}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("第3行：“和值 = 98-”不是有效的范围"));
    // 11选5 has no sum of 98 at all.
    WriteFile(set, "和值 = 98-110\n");
    r = RunCli(home, Args({"--set", set.toUtf8().constData()}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("第1行：“和值 = 98-110”超出本彩票可能的值0到55"));
    r = RunCli(home, Args({"--set", dir.filePath(QStringLiteral("none.txt")).toUtf8().constData()}));
    EXPECT_EQ(r.exitCode, 1);

    // A banker outside 1..N would make a file that cannot be read back: nothing is written.
    const QString out = dir.filePath(QStringLiteral("new.txt"));
    r = RunCli(home, Args({"--bankers", "1 12", "--save-set", out.toUtf8().constData()}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("第2行：号码12不在1到11之间"));
    EXPECT_FALSE(QFile::exists(out));
    // Saving goes with nothing that filters.
    for (const char *other : {"--look", "--backtest"})
        EXPECT_EQ(RunCli(home, Args({"--odd", "1-2", "--save-set", out.toUtf8().constData(), other})).exitCode, 2);
    EXPECT_EQ(RunCli(home, Args({"--odd", "1-2", "--save-set", out.toUtf8().constData(), "--pick", "2"})).exitCode, 2);
    EXPECT_FALSE(QFile::exists(out));
}

TEST(CliFilter, LookAndPickShowTheSurvivors)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    // The 84 tickets holding 1 and 2: sums 1 + 2 + three of 3..11, from 15 to 33.
    auto r = RunCli(home, Args({"--bankers", "1 2", "--banker-hits", "2-2", "--look"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 8) << r.out.toStdString(); // no tickets: the count and seven indicators
    EXPECT_EQ(lines[0], QStringLiteral("过滤结果：84注"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("和值：15:1 16:1 17:2 ")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" 32:1 33:1")));
    // 1 and 2 give one odd number; the three of 3..11 (five odd, four even) the rest.
    EXPECT_EQ(lines[2], QStringLiteral("奇数：1:4 2:30 3:40 4:10"));
    EXPECT_TRUE(lines[6].startsWith(QStringLiteral("连号个数：1:")));
    // With -o the tickets go to the file as usual.
    const QString out = dir.filePath(QStringLiteral("t.txt"));
    r = RunCli(home, Args({"--bankers", "1 2", "--banker-hits", "2-2", "--look", "-o", out.toUtf8().constData()}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(ReadFile(out).count("\r\n"), 84);
    EXPECT_EQ(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), lines);

    // Five random survivors, again with the same seed, others with another; the result list
    // still holds all of them.
    const auto a = RunCli(home, Args({"--bankers", "1 2", "--banker-hits", "2-2", "--pick", "5", "--seed", "3"}));
    ASSERT_EQ(a.exitCode, 0) << a.err.toStdString();
    const QList<QByteArray> picked = a.rawOut.split('\n');
    ASSERT_EQ(picked.size(), 8); // five tickets, the count, the pick line, the final break
    QSet<QByteArray> distinct;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(picked[i].startsWith("01 02 ")) << picked[i].constData();
        distinct.insert(picked[i]);
        EXPECT_TRUE(i == 0 || picked[i - 1] < picked[i]) << i;
    }
    EXPECT_EQ(distinct.size(), 5);
    EXPECT_EQ(picked[6], QStringLiteral("随机选出5注（种子3）").toUtf8());
    EXPECT_EQ(RunCli(home, Args({"--bankers", "1 2", "--banker-hits", "2-2", "--pick", "5", "--seed", "3"})).rawOut,
        a.rawOut);
    EXPECT_NE(RunCli(home, Args({"--bankers", "1 2", "--banker-hits", "2-2", "--pick", "5", "--seed", "4"})).rawOut,
        a.rawOut);
    EXPECT_EQ(ReadFile(home + QStringLiteral("/temp.txt")).count("\r\n"), 84);

    r = RunCli(home, Args({"--bankers", "1 2", "--banker-hits", "2-2", "--pick", "85", "--seed", "3"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("过滤结果只有84注，不能随机选出85注！"));
    // Options that would change nothing are wrong usage rather than silently ignored.
    EXPECT_EQ(RunCli(home, Args({"--odd", "1-2", "--seed", "3"})).exitCode, 2);
    EXPECT_EQ(RunCli(home, Args({"--odd", "1-2", "--banker-hits", "2"})).exitCode, 2);
    EXPECT_EQ(RunCli(home, Args({"--odd", "1-2", "--ball-hits", "2"})).exitCode, 2);
    EXPECT_EQ(RunCli(home, Args({"--odd", "1-2", "--repeat-periods", "2"})).exitCode, 2);
    EXPECT_EQ(RunCli(home, Args({"--odd", "1-2", "--look", "--backtest"})).exitCode, 2);
}

TEST(CliFilter, TwoZoneLotteriesCombineTheFrontSurvivorsWithTheBackChoice)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString dlt = QStringLiteral("大乐透");
    const auto run = [&](const QStringList &more) {
        return RunCli(home, QStringList {QStringLiteral("filter"), dlt} + more);
    };

    // Sums 15 and 16: two front sets, each with 03 05, 03 09 and 05 09 behind.
    auto r
        = run({QStringLiteral("--sum"), QStringLiteral("15-16"), QStringLiteral("--back"), QStringLiteral("9,3 05")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.rawOut,
        QStringLiteral("01 02 03 04 05 + 03 05\r\n01 02 03 04 05 + 03 09\r\n01 02 03 04 05 + 05 09\r\n"
                       "01 02 03 04 06 + 03 05\r\n01 02 03 04 06 + 03 09\r\n01 02 03 04 06 + 05 09\r\n"
                       "过滤结果：6注（前区2注 × 后区3注）\n")
            .toUtf8());
    const QByteArray list = ReadFile(home + QStringLiteral("/temp.txt"));
    EXPECT_TRUE(list.startsWith("0000001    01 02 03 04 05 + 03 05 \r\n0000002    01 02 03 04 05 + 03 09 \r\n"));
    EXPECT_EQ(list.count('\n'), 6);

    // Without --back every back number: 2 × C(12, 2).
    r = run({QStringLiteral("--sum"), QStringLiteral("15-16")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("过滤结果：132注（前区2注 × 后区66注）\n")));

    // A two-zone file: judged by its front, kept with its own back numbers when they are chosen.
    const QString from = dir.filePath(QStringLiteral("from.txt"));
    WriteFile(from, "01 02 03 04 05 + 03 05\r\n01 02 03 04 05 + 01 12\r\n01 02 03 04 30 + 03 05\r\n");
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    r = run({QStringLiteral("--sum"), QStringLiteral("15-16"), QStringLiteral("--back"), QStringLiteral("3 5 12"),
        QStringLiteral("--from"), from, QStringLiteral("-o"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("过滤结果：1注\n"));
    EXPECT_EQ(ReadFile(out), QByteArray("01 02 03 04 05 + 03 05\r\n"));
    // A one-zone line in it refuses the file with its line.
    WriteFile(from, "01 02 03 04 05 + 03 05\r\n01 02 03 04 05\r\n");
    r = run({QStringLiteral("--sum"), QStringLiteral("15-16"), QStringLiteral("--from"), from});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("from.txt第2行"))) << r.err.toStdString();

    // The pick draws from the two-zone tickets and replays by its seed.
    const auto a
        = run({QStringLiteral("--sum"), QStringLiteral("15-16"), QStringLiteral("--back"), QStringLiteral("3 5 9"),
            QStringLiteral("--pick"), QStringLiteral("4"), QStringLiteral("--seed"), QStringLiteral("8")});
    const auto b
        = run({QStringLiteral("--sum"), QStringLiteral("15-16"), QStringLiteral("--back"), QStringLiteral("3 5 9"),
            QStringLiteral("--pick"), QStringLiteral("4"), QStringLiteral("--seed"), QStringLiteral("8")});
    ASSERT_EQ(a.exitCode, 0) << a.err.toStdString();
    EXPECT_EQ(a.rawOut, b.rawOut);
    EXPECT_EQ(a.rawOut.count(" + "), 4);
    EXPECT_TRUE(a.out.contains(QStringLiteral("随机选出4注（种子8）")));

    // The back choice is saved with the conditions and read back.
    const QString set = dir.filePath(QStringLiteral("set.txt"));
    r = run({QStringLiteral("--sum"), QStringLiteral("15-16"), QStringLiteral("--back"), QStringLiteral("3 5 9"),
        QStringLiteral("--save-set"), set});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(ReadFile(set).contains(QStringLiteral("后区号码 = 03 05 09").toUtf8()));
    r = run({QStringLiteral("--set"), set});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("过滤结果：6注（前区2注 × 后区3注）\n")));
}

TEST(CliFilter, BackChoicesThatCannotServeAreRefused)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const auto refusal = [&](const QString &lottery, const QString &back) {
        const auto r = RunCli(home,
            {QStringLiteral("filter"), lottery, QStringLiteral("--sum"), QStringLiteral("15-16"),
                QStringLiteral("--back"), back});
        EXPECT_EQ(r.exitCode, 1) << back.toStdString();
        EXPECT_TRUE(r.rawOut.isEmpty());
        return r.err.trimmed();
    };
    const QString dlt = QStringLiteral("大乐透");
    EXPECT_EQ(refusal(dlt, QStringLiteral("7")), QStringLiteral("请至少选择2个后区号码（现在选了1个）！"));
    EXPECT_EQ(refusal(dlt, QStringLiteral("")), QStringLiteral("请至少选择2个后区号码（现在选了0个）！"));
    EXPECT_EQ(refusal(dlt, QStringLiteral("3 13")), QStringLiteral("后区号码13不在1到12之间！"));
    EXPECT_EQ(refusal(dlt, QStringLiteral("3 3 4")), QStringLiteral("后区号码3重复了！"));
    EXPECT_TRUE(refusal(dlt, QStringLiteral("3 x")).contains(QStringLiteral("不是一个有效的整形值")));
    EXPECT_EQ(refusal(k115, QStringLiteral("3 4")), QStringLiteral("《山东体彩11选5》没有后区号码，不能使用 --back！"));
    // 双色球 takes one back number a ticket: one chosen is enough.
    const auto r = RunCli(home,
        {QStringLiteral("filter"), QStringLiteral("双色球"), QStringLiteral("--sum"), QStringLiteral("21-21"),
            QStringLiteral("--back"), QStringLiteral("16")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.rawOut, QStringLiteral("01 02 03 04 05 06 + 16\r\n过滤结果：1注（前区1注 × 后区1注）\n").toUtf8());
}
