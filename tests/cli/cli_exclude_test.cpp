#include "cli_runner.h"
#include "support/test_home.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <random>

using lumaro::test::runCli;

namespace {

QString writeDraws(const QString &folder, int n, int m, int count)
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
    lumaro::test::writeFile(path, text);
    return path;
}

QStringList args(std::initializer_list<const char *> items)
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
    ASSERT_EQ(runCli(home, {QStringLiteral("import"), name, writeDraws(dir.path(), 22, 5, 60)}).exitCode, 0);
    const QString out1 = dir.path() + QStringLiteral("/a.txt");
    const QString out2 = dir.path() + QStringLiteral("/b.txt");
    // Settings that exclude many tickets a cycle, so the target comes after a few cycles.
    const std::map<QString, QStringList> settings {{QStringLiteral("sum"), {}},
        {QStringLiteral("repeat"), args({"--repeat", "2"})}, {QStringLiteral("skew"), {}},
        {QStringLiteral("follow"), args({"--lower", "1"})}};
    for (const char *method : {"sum", "repeat", "skew", "follow"}) {
        const QStringList common = QStringList {QStringLiteral("exclude"), name, QString::fromLatin1(method)}
            + args({"--seed", "5", "--target", "3000"}) + settings.at(QString::fromLatin1(method));
        auto r = runCli(home, common + QStringList {QStringLiteral("-o"), out1});
        ASSERT_EQ(r.exitCode, 0) << method << r.err.toStdString();
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines.back().startsWith(QStringLiteral("过滤结果："))) << r.out.toStdString();
        r = runCli(home, common + QStringList {QStringLiteral("-o"), out2});
        ASSERT_EQ(r.exitCode, 0);
        const QByteArray first = lumaro::test::readFile(out1);
        EXPECT_EQ(first, lumaro::test::readFile(out2)) << method;
        const qsizetype count = first.count('\n');
        EXPECT_EQ(lines.back(), QStringLiteral("过滤结果：%1注").arg(count)) << method;
        if (QLatin1String(method) != QLatin1String("skew")) {
            EXPECT_EQ(count, 3000) << method;
        }
    }

    // The standard follow run needs no seed change to repeat itself and starts from a file.
    auto r = runCli(home,
        QStringList {QStringLiteral("exclude"), name, QStringLiteral("follow")}
            + args({"--standard", "--seed", "1", "--lower", "1", "--period", "2021050", "--from"})
            + QStringList {out1});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("注\n")));
}

TEST(CliExclude, RefusedSettingsAndWrongUse)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString name = QStringLiteral("中国体彩22选5");
    ASSERT_EQ(runCli(home, {QStringLiteral("import"), name, writeDraws(dir.path(), 22, 5, 20)}).exitCode, 0);
    const QStringList base {QStringLiteral("exclude"), name};
    EXPECT_EQ(runCli(home, base + args({"sum"})).exitCode, 2); // no seed
    EXPECT_EQ(runCli(home, base + args({"sum", "--seed", "1", "--target", "5", "--cycles", "5"})).exitCode, 2);
    EXPECT_EQ(runCli(home, base + args({"sum", "--seed", "1", "--periods", "5"})).exitCode, 2);
    EXPECT_EQ(runCli(home, base + args({"median", "--seed", "1"})).exitCode, 2);
    EXPECT_EQ(runCli(home, base + args({"follow", "--standard", "--seed", "1", "--target", "5"})).exitCode, 2);

    auto r = runCli(home, base + args({"repeat", "--seed", "1", "--period", "2021005"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("重码期数"))) << r.err.toStdString();
    r = runCli(home, base + args({"follow", "--seed", "1", "--group", "4"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("对比号码数")));
    r = runCli(home, base + args({"sum", "--seed", "1", "--period", "1999001"}));
    EXPECT_EQ(r.exitCode, 1);
    r = runCli(home,
        {QStringLiteral("exclude"), QStringLiteral("福彩3D"), QStringLiteral("sum"), QStringLiteral("--seed"),
            QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 1);
    r = runCli(home, base + args({"sum", "--seed", "1", "--cycles", "0"}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("过滤结果：26334注\n"))) << r.out.toStdString();
}
