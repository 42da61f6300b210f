#include "cli_runner.h"
#include "support/test_home.h"

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
