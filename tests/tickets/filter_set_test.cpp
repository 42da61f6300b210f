#include "common/errors.h"
#include "tickets/filter_set.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

// A set with every kind of condition, value sets of several ranges among them, for 36选7.
FilterSet EveryKind()
{
    FilterSet set;
    TotalFilterConditions &c = set.conditions;
    c.big = FilterBounds {2, 5};
    c.odd = FilterBounds {1, 2, {{4, 6}}};
    c.sum = FilterBounds {98, 110, {{120, 126}, {130, 130}}};
    c.span = FilterBounds {20, 33};
    c.dispersion = FilterBounds {3, 8};
    c.deviation = FilterBounds {1, 6};
    c.ac = FilterBounds {6, 12};
    for (int v : {1, 2, 3, 5, 8, 13, 21, 34})
        c.balls[static_cast<std::size_t>(v)] = true;
    c.chooser = FilterBounds {5, 7};
    c.bankers = {25, 3, 12};
    c.banker = FilterBounds {1, 2};
    c.repeat = FilterBounds {0, 2};
    c.repeatRecent = FilterBounds {0, 2, {{4, 4}}};
    c.repeatPeriods = 3;
    c.consecutive = FilterBounds {0, 2};
    c.longestRun = FilterBounds {1, 3};
    c.tailCount = FilterBounds {4, 7};
    c.tailSum = FilterBounds {20, 40};
    c.road0 = FilterBounds {1, 3};
    c.road1 = FilterBounds {1, 3};
    c.road2 = FilterBounds {1, 3};
    c.primes = FilterBounds {1, 3};
    c.zoneCount = 3;
    c.zones = {FilterBounds {2, 3}, std::nullopt, FilterBounds {2, 2}};
    c.bankerGroups = {{{5, 6, 7}, FilterBounds {0, 1}}, {{10, 20, 30}, FilterBounds {1, 1, {{3, 3}}}}};
    c.tolerance = 2;
    return set;
}

QString Refusal(const QByteArray &text, int n = 36, int m = 7)
{
    try {
        ParseFilterSet(text, n, m);
    } catch (const InputError &error) {
        return error.message();
    }
    return QStringLiteral("(accepted)");
}

} // namespace

TEST(FilterSet, EveryKindOfConditionRoundTrips)
{
    const FilterSet set = EveryKind();
    const QByteArray text = FilterSetText(set);
    EXPECT_EQ(ParseFilterSet(text, 36, 7), set) << text.toStdString();
    // The text is what a player reads: one line a condition, stable order, sorted numbers.
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.front(), QStringLiteral("# Lumaro 总体过滤条件"));
    EXPECT_TRUE(lines.contains(QStringLiteral("和值 = 98-110,120-126,130")));
    EXPECT_TRUE(lines.contains(QStringLiteral("胆码 = 03 12 25 中 1-2")));
    EXPECT_TRUE(lines.contains(QStringLiteral("近期重码 = 3 期：0-2,4")));
    EXPECT_TRUE(lines.contains(QStringLiteral("分区 = 3 区：2-3 / 不限 / 2")));
    EXPECT_TRUE(lines.contains(QStringLiteral("胆码组2 = 10 20 30 中 1,3")));
    EXPECT_EQ(lines.back(), QStringLiteral("容错 = 2"));
    // The heading, 19 plain conditions, one line for the zones, two groups, the tolerance.
    EXPECT_EQ(lines.size(), 24);

    // Through a file, and in the variant trend (without balls, which it refuses).
    FilterSet variant = set;
    variant.conditions.chooser.reset();
    variant.conditions.balls = {};
    variant.variant = true;
    QTemporaryDir dir;
    const QString path = dir.filePath(ProposedFilterSetName(QStringLiteral("36选7")));
    EXPECT_TRUE(path.endsWith(QStringLiteral("36选7过滤条件.txt")));
    WriteFilterSet(path, variant);
    EXPECT_EQ(ReadFilterSet(path, 36, 7), variant);
    EXPECT_NE(ReadFilterSet(path, 36, 7), set);

    // Comments, blank lines, a byte order mark, CRLF and loose blanks are all fine.
    const FilterSet loose = ParseFilterSet(
        "\xEF\xBB\xBF# mine\r\n\r\n  和值=98 - 110 , 120-126 \r\n# 奇数 = 9\r\n胆码 = 3,12  25中1-2\r\n", 36, 7);
    TotalFilterConditions expected;
    expected.sum = FilterBounds {98, 110, {{120, 126}}};
    expected.bankers = {3, 12, 25};
    expected.banker = FilterBounds {1, 2};
    EXPECT_EQ(loose.conditions, expected);
    EXPECT_FALSE(loose.variant);
}

TEST(FilterSet, EqualityComparesWhatFilters)
{
    FilterSet a = EveryKind();
    FilterSet b = a;
    b.conditions.bankers = {3, 12, 25, 3}; // the same banker numbers
    b.conditions.zones.push_back(std::nullopt);
    EXPECT_EQ(a, b);
    b.conditions.sum->more.pop_back();
    EXPECT_NE(a, b);
    b = a;
    b.conditions.balls[4] = true;
    EXPECT_NE(a, b);
    b = a;
    b.conditions.repeatPeriods = 4;
    EXPECT_NE(a, b);
    b = a;
    b.conditions.bankerGroups[1].numbers = {10, 20};
    EXPECT_NE(a, b);
    b = a;
    b.conditions.zones[1] = FilterBounds {0, 1};
    EXPECT_NE(a, b);
}

TEST(FilterSet, MalformedFilesAreRefusedWithTheirLine)
{
    const QByteArray head = "# Lumaro 总体过滤条件\n奇数 = 2-5\n";
    EXPECT_EQ(Refusal(head + "和值 = 98-\n"), QStringLiteral("第3行：“和值 = 98-”不是有效的范围"));
    EXPECT_EQ(Refusal(head + "和值 = \n"), QStringLiteral("第3行：“和值 =”不是有效的范围"));
    EXPECT_EQ(Refusal(head + "和值 98-110\n"), QStringLiteral("第3行：“和值 98-110”应写成“条件 = 值”"));
    EXPECT_EQ(Refusal(head + "\n颜色 = 红\n"), QStringLiteral("第4行：不认识的条件“颜色”"));
    EXPECT_EQ(Refusal(head + "奇数 = 3\n"), QStringLiteral("第3行：条件“奇数”重复（第2行已有）"));
    EXPECT_EQ(
        Refusal(head + "跨度 = 20-10\n"), QStringLiteral("第3行：“跨度 = 20-10”的范围前面的数应小于等于后面的数"));
    // Beyond what a ticket of 7 out of 36 can have.
    EXPECT_EQ(Refusal(head + "大数 = 2-8\n"), QStringLiteral("第3行：“大数 = 2-8”超出本彩票可能的值0到7"));
    EXPECT_EQ(Refusal(head + "和值 = -5-10\n"), QStringLiteral("第3行：“和值 = -5-10”超出本彩票可能的值0到252"));
    EXPECT_EQ(Refusal(head + "胆码 = 03 37 中 1\n"), QStringLiteral("第3行：号码37不在1到36之间"));
    EXPECT_EQ(Refusal(head + "胆码 = 03 03 中 1\n"), QStringLiteral("第3行：号码3重复"));
    EXPECT_EQ(Refusal(head + "胆码 = 03 x 中 1\n"), QStringLiteral("第3行：“胆码 = 03 x 中 1”中的“x”不是整数"));
    EXPECT_EQ(
        Refusal(head + "胆码 = 03 12\n"), QStringLiteral("第3行：“胆码 = 03 12”应写成“号码 号码 … 中 最少-最多”"));
    EXPECT_EQ(Refusal(head + "近期重码 = 0 期：0-2\n"), QStringLiteral("第3行：近期重码的期数应在1到100之间"));
    EXPECT_EQ(Refusal(head + "分区 = 3 区：1 / 2\n"),
        QStringLiteral("第3行：3个分区应有3个范围（不限的写“不限”），这里有2个"));
    EXPECT_EQ(Refusal(head + "分区 = 13 区：1\n"), QStringLiteral("第3行：分区数应在2到12之间"));
    EXPECT_EQ(Refusal(head + "胆码组1 = 01 02 中 1\n胆码组01 = 03 中 1\n"),
        QStringLiteral("第4行：胆码组1重复（第3行已有）"));
    EXPECT_EQ(Refusal(head + "胆码组2 = 01 02 中 1\n"), QStringLiteral("第3行：缺少胆码组1（胆码组应从1起依次编号）"));
    EXPECT_EQ(Refusal(head + "变幻走势 = 也许\n"), QStringLiteral("第3行：“变幻走势 = 也许”应为“是”或“否”"));
    // Lines that are fine alone but not together, named by the line they concern.
    EXPECT_EQ(Refusal(head + "容错 = 1\n"), QStringLiteral("第3行：容错个数1太大：所选的1个条件最多只能容错0个"));
    EXPECT_EQ(Refusal(head + "选择球号 = 01 02 中 1\n"), QStringLiteral("第3行：请至少选择7个球号"));
    EXPECT_EQ(Refusal(head + "选择球号 = 01 02 03 04 05 06 07 中 1\n变幻走势 = 是\n"),
        QStringLiteral("第3行：变幻走势下不能按选择球号过滤"));
    EXPECT_EQ(Refusal("# nothing\n\n"), QStringLiteral("过滤条件文件：请选择过滤条件"));
    EXPECT_EQ(Refusal("和值 = 1-2\n\xFF\n"), QStringLiteral("过滤条件文件不是UTF-8文本！"));
    // The limits follow the lottery: 11选5 has no 36 and no sum above 55.
    EXPECT_EQ(Refusal("和值 = 10-60\n", 11, 5), QStringLiteral("第1行：“和值 = 10-60”超出本彩票可能的值0到55"));
    EXPECT_EQ(Refusal(head + "胆码 = 36 中 1\n"), QStringLiteral("(accepted)"));
    EXPECT_EQ(Refusal(head + "胆码 = 36 中 1\n", 11, 5), QStringLiteral("第3行：号码36不在1到11之间"));
}
