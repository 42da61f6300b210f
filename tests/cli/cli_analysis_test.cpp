#include "cli_runner.h"
#include "support/test_home.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using lumaro::test::RunCli;

namespace {

const QString kQlc = QStringLiteral("中国福彩七乐彩");

QStringList OutputLines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The draws of the shared 七乐彩 file, oldest first: seven numbers each.
std::vector<std::vector<int>> ReadQlc(const QString &file)
{
    std::vector<std::vector<int>> draws;
    const QStringList rows = QString::fromUtf8(lumaro::test::ReadFile(file)).split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QStringList cells = rows[i].trimmed().split(QLatin1Char(','));
        if (cells.size() < 9)
            continue;
        std::vector<int> draw;
        for (int j = 2; j < 9; ++j)
            draw.push_back(cells[j].toInt());
        draws.push_back(draw);
    }
    return draws;
}

} // namespace

TEST(CliAnalysis, IndicatorsOfEveryDrawInBothTrends)
{
    LUMARO_HISTORY_FILE(qlc, "qlc.csv");
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), kQlc, qlc}).exitCode, 0);

    auto r = RunCli(home, {QStringLiteral("indicators"), kQlc});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList standard = OutputLines(r.out);
    ASSERT_EQ(standard.size(), 2922);
    EXPECT_EQ(
        standard[0], QStringLiteral("记录期号\t开奖号码\t大数个数\t奇数个数\t和值\t跨度\t散度\t偏度\tAC值\t重码个数"));
    // First row: no previous draw, deviation (30 - 7) / 2 shown without decimals, repeats 0.
    EXPECT_EQ(standard[1], QStringLiteral("2007001\t04 14 19 22 26 29 30 \t5\t2\t144\t26\t5\t12\t15\t0"));
    EXPECT_EQ(standard[2], QStringLiteral("2007002\t01 02 06 11 14 19 27 \t2\t4\t80\t26\t4\t3\t15\t2"));
    EXPECT_TRUE(standard.back().startsWith(QStringLiteral("2026041\t02 06 11 16 17 29 30 \t")));

    r = RunCli(home,
        {QStringLiteral("indicators"), kQlc, QStringLiteral("--variant"), QStringLiteral("--seed"),
            QStringLiteral("11")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList variant = OutputLines(r.out);
    ASSERT_EQ(variant.size(), 2922);
    EXPECT_EQ(variant[0], standard[0]);
    EXPECT_NE(variant, standard);
    for (int row = 1; row < 2922; row += 400)
        EXPECT_EQ(variant[row].section(QLatin1Char('\t'), 0, 0), standard[row].section(QLatin1Char('\t'), 0, 0));
    EXPECT_EQ(RunCli(home,
                  {QStringLiteral("indicators"), kQlc, QStringLiteral("--variant"), QStringLiteral("--seed"),
                      QStringLiteral("11")})
                  .out,
        r.out);

    EXPECT_EQ(RunCli(home, {QStringLiteral("indicators"), QStringLiteral("没有")}).exitCode, 1);
    EXPECT_EQ(RunCli(home,
                  {QStringLiteral("indicators"), kQlc, QStringLiteral("--variant"), QStringLiteral("--seed"),
                      QStringLiteral("x")})
                  .exitCode,
        2);
}

TEST(CliAnalysis, SharesListEachValueOfAllTicketsBesideTheDraws)
{
    LUMARO_HISTORY_FILE(qlc, "qlc.csv");
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), kQlc, qlc}).exitCode, 0);

    auto r = RunCli(home, {QStringLiteral("indicators"), kQlc, QStringLiteral("--shares"), QStringLiteral("odd")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = OutputLines(r.out);
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], QStringLiteral("奇数个数\t全部投注号码\t投注占比\t开奖号码\t开奖占比"));
    // 30选7: 15 odd numbers, C(15, 0) × C(15, 7) = 6435 tickets without one.
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("0\t6435\t0.32%\t"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[8].startsWith(QStringLiteral("7\t6435\t0.32%\t"))) << lines[8].toStdString();
    EXPECT_EQ(lines[9], QStringLiteral("全部投注号码：2035800注，开奖号码：2921期"));
    // The draw counts are those of the indicator column.
    const QStringList all = OutputLines(RunCli(home, {QStringLiteral("indicators"), kQlc}).out);
    int drawsWithoutOdd = 0;
    for (qsizetype row = 1; row < all.size(); ++row)
        drawsWithoutOdd += all[row].section(QLatin1Char('\t'), 3, 3) == QLatin1String("0") ? 1 : 0;
    EXPECT_EQ(lines[1].section(QLatin1Char('\t'), 3, 3).toInt(), drawsWithoutOdd);

    EXPECT_EQ(
        RunCli(home, {QStringLiteral("indicators"), kQlc, QStringLiteral("--shares"), QStringLiteral("zone")}).exitCode,
        2);
}

TEST(CliAnalysis, SkewTableAgreesWithTheHistoryAndSortsStayOrdered)
{
    LUMARO_HISTORY_FILE(qlc, "qlc.csv");
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    ASSERT_EQ(RunCli(home, {QStringLiteral("import"), kQlc, qlc}).exitCode, 0);
    const std::vector<std::vector<int>> draws = ReadQlc(qlc);
    ASSERT_EQ(draws.size(), 2921u);

    auto r = RunCli(home, {QStringLiteral("omission"), kQlc, QStringLiteral("--mode"), QStringLiteral("skew")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList skew = OutputLines(r.out);
    ASSERT_EQ(skew.size(), 31);
    EXPECT_EQ(skew[0],
        QStringLiteral(
            "待选号码\t理论周期\t理论中奖总次数\t实际总奖总次数\t历史最大遗漏\t目前遗漏\t目前冷态倍数\t追号价值"));
    for (int number = 1; number <= 30; ++number) {
        SCOPED_TRACE(number);
        int hits = 0;
        int current = -1;
        int longest = 0;
        int last = static_cast<int>(draws.size()) - 1;
        for (int i = last; i >= 0; --i) {
            const auto &d = draws[static_cast<std::size_t>(i)];
            if (std::find(d.begin(), d.end(), number) == d.end())
                continue;
            ++hits;
            if (current < 0)
                current = last - i;
            longest = std::max(longest, last - i);
            last = i;
        }
        const QStringList cells = skew[number].split(QLatin1Char('\t'));
        ASSERT_EQ(cells.size(), 8);
        EXPECT_EQ(cells[0], QString::asprintf("%.2d", number));
        EXPECT_EQ(cells[1], QStringLiteral("4.3"));
        EXPECT_EQ(cells[2], QStringLiteral("681.6"));
        EXPECT_EQ(cells[3].toInt(), hits);
        EXPECT_EQ(cells[4].toInt(), longest);
        EXPECT_EQ(cells[5].toInt(), current);
        EXPECT_EQ(cells[7], QString::number(2921LL * 49 * current * 100 / (900LL * hits)) + QLatin1Char('%'));
    }

    for (const char *mode : {"rebound", "skew"}) {
        r = RunCli(home,
            {QStringLiteral("omission"), kQlc, QStringLiteral("--mode"), QString::fromLatin1(mode),
                QStringLiteral("--sort"), QStringLiteral("3")});
        ASSERT_EQ(r.exitCode, 0);
        const QStringList byHits = OutputLines(r.out);
        ASSERT_EQ(byHits.size(), 31);
        for (int row = 2; row <= 30; ++row)
            EXPECT_LE(byHits[row - 1].section(QLatin1Char('\t'), 3, 3).toInt(),
                byHits[row].section(QLatin1Char('\t'), 3, 3).toInt());
        r = RunCli(home,
            {QStringLiteral("omission"), kQlc, QStringLiteral("--mode"), QString::fromLatin1(mode),
                QStringLiteral("--sort"), QStringLiteral("1")});
        const QStringList byValue = OutputLines(r.out);
        for (int row = 2; row <= 30; ++row)
            EXPECT_GE(byValue[row - 1].section(QLatin1Char('\t'), 7, 7).chopped(1).toLongLong(),
                byValue[row].section(QLatin1Char('\t'), 7, 7).chopped(1).toLongLong());
    }

    EXPECT_EQ(RunCli(home, {QStringLiteral("omission"), kQlc}).exitCode, 2);
    EXPECT_EQ(RunCli(home,
                  {QStringLiteral("omission"), kQlc, QStringLiteral("--mode"), QStringLiteral("skew"),
                      QStringLiteral("--sort"), QStringLiteral("4")})
                  .exitCode,
        2);
}

TEST(CliAnalysis, OmissionZoneOption)
{
    lumaro::test::TestHome home;
    home.store().appendDraws(QStringLiteral("双色球"),
        {lumaro::DrawRow {QStringLiteral("2024001"), {1, 2, 3, 4, 5, 6}, QString(), {7}},
            lumaro::DrawRow {QStringLiteral("2024002"), {1, 2, 3, 4, 5, 7}, QString(), {16}},
            lumaro::DrawRow {QStringLiteral("2024003"), {1, 2, 3, 4, 5, 8}, QString(), {7}}});
    home.store().appendDraws(kQlc, {lumaro::DrawRow {QStringLiteral("2020001"), {2, 6, 11, 16, 17, 29, 30}, {}}});
    const QString folder = home.folder().path();
    auto omission = [&](const QString &name, const QStringList &more) {
        return RunCli(folder,
            QStringList {QStringLiteral("omission"), name, QStringLiteral("--mode"), QStringLiteral("skew")} + more);
    };

    // The back zone: 16 rows of the blue numbers with L = 16, K = 1.
    auto r = omission(QStringLiteral("双色球"), {QStringLiteral("--zone"), QStringLiteral("back")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList lines = OutputLines(r.out);
    ASSERT_EQ(lines.size(), 17);
    EXPECT_EQ(lines[7], QStringLiteral("07\t16.0\t0.2\t2\t2\t0\t0\t0%"));
    // 16 was drawn one draw ago: 3 × 1 × 1 × 1 × 100 div (256 × 1) = 1.
    EXPECT_EQ(lines[16], QStringLiteral("16\t16.0\t0.2\t1\t1\t1\t0.1\t1%"));
    EXPECT_EQ(lines[8], QStringLiteral("08\t16.0\t0.2\t0\t0\t0\t0\t0%"));

    // Front is the default, and the same as --zone front: the 33 red numbers.
    r = omission(QStringLiteral("双色球"), {});
    ASSERT_EQ(r.exitCode, 0);
    lines = OutputLines(r.out);
    ASSERT_EQ(lines.size(), 34);
    EXPECT_EQ(lines[1].section(QLatin1Char('\t'), 0, 3), QStringLiteral("01\t5.5\t0.5\t3"));
    EXPECT_EQ(omission(QStringLiteral("双色球"), {QStringLiteral("--zone"), QStringLiteral("front")}).out, r.out);

    // A one-zone lottery has no back zone; a zone that is neither is a usage error.
    r = omission(kQlc, {QStringLiteral("--zone"), QStringLiteral("back")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(QStringLiteral("彩票“中国福彩七乐彩”没有后区，只能分析前区号码！")))
        << r.err.toStdString();
    EXPECT_EQ(omission(kQlc, {QStringLiteral("--zone"), QStringLiteral("front")}).exitCode, 0);
    r = omission(QStringLiteral("双色球"), {QStringLiteral("--zone"), QStringLiteral("blue")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--zone 只能是 front 或 back"))) << r.err.toStdString();
}
