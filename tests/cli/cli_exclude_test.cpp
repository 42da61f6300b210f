#include "cli_runner.h"
#include "support/test_home.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <random>

using lumaro::test::RunCli;

namespace {

QString WriteDraws(const QString &folder, int n, int m, int count)
{
    std::mt19937 engine(9);
    QByteArray text;
    std::vector<int> numbers(n);
    for (int t = 0; t < count; ++t) {
        std::iota(numbers.begin(), numbers.end(), 1);
        std::shuffle(numbers.begin(), numbers.end(), engine);
        std::sort(numbers.begin(), numbers.begin() + m);
        text += QByteArray::number(2021001 + t);
        for (int j = 0; j < m; ++j)
            text += ' ' + QByteArray::number(numbers[j]).rightJustified(2, '0');
        text += '\n';
    }
    const QString path = folder + QStringLiteral("/draws.txt");
    lumaro::test::WriteFile(path, text);
    return path;
}

QStringList Args(std::initializer_list<const char *> items)
{
    QStringList list;
    for (const char *item : items)
        list << QString::fromUtf8(item);
    return list;
}

} // namespace

TEST(CliExclude, SameSeedSameListForEveryPicker)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString name = QStringLiteral("中国体彩22选5");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), name, WriteDraws(dir.path(), 22, 5, 60)}).exitCode, 0);
    const QString out1 = dir.path() + QStringLiteral("/a.txt");
    const QString out2 = dir.path() + QStringLiteral("/b.txt");
    // Settings that exclude many tickets a cycle, so the target comes after a few cycles.
    const std::map<QString, QStringList> settings {{QStringLiteral("sum"), {}},
        {QStringLiteral("repeat"), Args({"--repeat", "2"})}, {QStringLiteral("skew"), {}},
        {QStringLiteral("follow"), Args({"--lower", "1"})}};
    for (const char *method : {"sum", "repeat", "skew", "follow"}) {
        const QStringList common = QStringList {QStringLiteral("exclude"), name, QString::fromLatin1(method)}
            + Args({"--seed", "5", "--target", "3000"}) + settings.at(QString::fromLatin1(method));
        auto r = RunCli(home, common + QStringList {QStringLiteral("-o"), out1});
        ASSERT_EQ(r.exitCode, 0) << method << r.err.toStdString();
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines.back().startsWith(QStringLiteral("过滤结果："))) << r.out.toStdString();
        r = RunCli(home, common + QStringList {QStringLiteral("-o"), out2});
        ASSERT_EQ(r.exitCode, 0);
        const QByteArray first = lumaro::test::ReadFile(out1);
        EXPECT_EQ(first, lumaro::test::ReadFile(out2)) << method;
        const qsizetype count = first.count('\n');
        EXPECT_EQ(lines.back(), QStringLiteral("过滤结果：%1注").arg(count)) << method;
        if (QLatin1String(method) != QLatin1String("skew")) {
            EXPECT_EQ(count, 3000) << method;
        }
    }

    // The standard follow run needs no seed change to repeat itself and starts from a file.
    auto r = RunCli(home,
        QStringList {QStringLiteral("exclude"), name, QStringLiteral("follow")}
            + Args({"--standard", "--seed", "1", "--lower", "1", "--period", "2021050", "--from"})
            + QStringList {out1});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("注\n")));
}

TEST(CliExclude, RefusedSettingsAndWrongUse)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString name = QStringLiteral("中国体彩22选5");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), name, WriteDraws(dir.path(), 22, 5, 20)}).exitCode, 0);
    const QStringList base {QStringLiteral("exclude"), name};
    EXPECT_EQ(RunCli(home, base + Args({"sum"})).exitCode, 2); // no seed
    EXPECT_EQ(RunCli(home, base + Args({"sum", "--seed", "1", "--target", "5", "--cycles", "5"})).exitCode, 2);
    EXPECT_EQ(RunCli(home, base + Args({"sum", "--seed", "1", "--periods", "5"})).exitCode, 2);
    EXPECT_EQ(RunCli(home, base + Args({"median", "--seed", "1"})).exitCode, 2);
    EXPECT_EQ(RunCli(home, base + Args({"follow", "--standard", "--seed", "1", "--target", "5"})).exitCode, 2);

    auto r = RunCli(home, base + Args({"repeat", "--seed", "1", "--period", "2021005"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("重码期数"))) << r.err.toStdString();
    r = RunCli(home, base + Args({"follow", "--seed", "1", "--group", "4"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("对比号码数")));
    r = RunCli(home, base + Args({"sum", "--seed", "1", "--period", "1999001"}));
    EXPECT_EQ(r.exitCode, 1);
    r = RunCli(home,
        {QStringLiteral("exclude"), QStringLiteral("福彩3D"), QStringLiteral("sum"), QStringLiteral("--seed"),
            QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 1);
    r = RunCli(home, base + Args({"sum", "--seed", "1", "--cycles", "0"}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("过滤结果：26334注\n"))) << r.out.toStdString();
}

TEST(CliExclude, BacktestPrintsOneLinePerDrawAndTheSummaryWritingNothing)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString name = QStringLiteral("中国体彩22选5");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), name, WriteDraws(dir.path(), 22, 5, 40)}).exitCode, 0);
    const QStringList sum = QStringList {QStringLiteral("exclude"), name, QStringLiteral("sum")}
        + Args({"--seed", "5", "--target", "3000", "--backtest", "6"});
    auto r = RunCli(home, sum);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7) << r.out.toStdString();
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(lines[i].startsWith(QStringLiteral("%1期 开奖号码").arg(2021035 + i))) << lines[i].toStdString();
        EXPECT_TRUE(lines[i].endsWith(QStringLiteral("剩余3000注（11.4%）"))) << lines[i].toStdString();
    }
    const qsizetype kept = lines.mid(0, 6).filter(QStringLiteral(" 留下，")).size();
    EXPECT_EQ(lines[6],
        QStringLiteral("历史验证：判断6期，开奖号码留下%1期，占%2%；留下的投注号码平均占全部的11.4%；两者之比%3")
            .arg(kept)
            .arg(QString::number(kept * 100.0 / 6, 'f', 1))
            .arg(QString::number((kept / 6.0) / (3000.0 / 26334), 'f', 2)));
    EXPECT_EQ(RunCli(home, sum).out, r.out);
    EXPECT_FALSE(QFile::exists(home + QStringLiteral("/temp.txt")));

    // The other pickers take their own settings.
    r = RunCli(home,
        QStringList {QStringLiteral("exclude"), name, QStringLiteral("follow")}
            + Args({"--standard", "--lower", "1", "--seed", "2", "--backtest", "3"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).back().startsWith(QStringLiteral("历史验证：判断3期，")))
        << r.out.toStdString();

    r = RunCli(home, sum + Args({"--backtest", "0"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("验证期数至少为1期"))) << r.err.toStdString();
    r = RunCli(home,
        QStringList {QStringLiteral("exclude"), name, QStringLiteral("repeat")}
            + Args({"--seed", "1", "--periods", "10", "--backtest", "31"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("最多可验证30期"))) << r.err.toStdString();
    EXPECT_EQ(RunCli(home, sum + Args({"--backtest", "abc"})).exitCode, 2);
    EXPECT_EQ(RunCli(home, sum + Args({"-o"}) + QStringList {dir.path() + QStringLiteral("/x.txt")}).exitCode, 2);
    EXPECT_EQ(RunCli(home, sum + Args({"--period", "2021020"})).exitCode, 2);
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/x.txt")));
}
