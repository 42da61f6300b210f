#include "analysis/indicator_history.h"
#include "analysis/zone_history.h"
#include "data/draw_table.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

using namespace lumaro;

namespace {

// A draw table with periods 2020001, 2020002, … and the given numbers.
DrawTable Table(std::initializer_list<std::vector<int>> draws)
{
    const int m = static_cast<int>(draws.begin()->size());
    DrawTable t(static_cast<int>(draws.size()), m);
    int row = 0;
    for (const std::vector<int> &d : draws) {
        t.cell(row, 0) = 2020001 + row;
        for (int j = 0; j < m; ++j)
            t.cell(row, j + 1) = d[static_cast<std::size_t>(j)];
        ++row;
    }
    return t;
}

const std::vector<int> kSum28 = {1, 2, 3, 4, 5, 6, 7};
const std::vector<int> kSum84 = {1, 2, 3, 4, 5, 33, 36};

} // namespace

TEST(IndicatorHistory, RowsShowPeriodNumbersAndRoundedValues)
{
    const DrawTable t = Table({{7, 1, 36, 12, 20, 25, 30}, {1, 2, 3, 4, 5, 6, 7}, {1, 2, 3, 4, 5, 6, 8}});
    const IndicatorHistory deviation(Indicator::Deviation, t, 36);
    ASSERT_EQ(deviation.rowCount(), 3);
    EXPECT_EQ(deviation.headers(), (QStringList {"记录期号", "开奖号码", "偏度"}));
    EXPECT_EQ(deviation.cellText(0, 0), QStringLiteral("2020001"));
    // Stored order, each number followed by one blank.
    EXPECT_EQ(deviation.cellText(0, 1), QStringLiteral("07 01 36 12 20 25 30 "));
    // The first row has no previous draw: 14.5, shown "%.0f" (half away from zero); the history
    // total keeps 14.5, recent totals read the shown text back.
    EXPECT_DOUBLE_EQ(deviation.value(0), 14.5);
    EXPECT_EQ(deviation.cellText(0, 2), QStringLiteral("15"));
    EXPECT_EQ(deviation.shownValue(0), 15);
    EXPECT_EQ(deviation.cellText(1, 2), QStringLiteral("3"));
    EXPECT_DOUBLE_EQ(deviation.historyTotal(), 14.5 + 3 + 1);
    EXPECT_DOUBLE_EQ(deviation.recentTotal(3), 15 + 3 + 1);
    EXPECT_DOUBLE_EQ(deviation.recentTotal(1), 1);

    const IndicatorHistory repeat(Indicator::Repeat, t, 36);
    EXPECT_EQ(repeat.cellText(0, 2), QStringLiteral("0"));
    EXPECT_EQ(repeat.cellText(1, 2), QStringLiteral("2"));
    EXPECT_EQ(repeat.cellText(2, 2), QStringLiteral("6"));

    const ChartBars bars = IndicatorHistory(Indicator::Big, t, 36).recentBars(2);
    EXPECT_EQ(bars.labels, (QStringList {"2020002", "2020003"}));
    EXPECT_EQ(bars.values, (std::vector<double> {0, 0}));
}

TEST(IndicatorHistory, SummaryLinesAndTheFarAboveThresholdIncludingEquality)
{
    // Mean 56, theoretical total over 3 draws 168, recent total 252 = 1.5 × 168.
    const DrawTable t = Table({kSum28, kSum28, kSum28, kSum84, kSum84, kSum84});
    const IndicatorSummary s = SummarizeIndicator(IndicatorHistory(Indicator::Sum, t, 36), 3);
    EXPECT_EQ(s.advice, IndicatorAdvice::FarAbove);
    EXPECT_EQ(s.lines,
        (QStringList {"理论最大和值：231.0", "理论最小和值：28.0", "理论平均和值：56.0", "最近3期和值总和：252.0",
            "最近3期理论和值总和：168.0", "最近3期和值总和远远超过理论和值总和，建议选择小于理论平均和值的组合！"}));

    // One draw less above: 1.5 × T > A and 1.5 × A > T, no advice.
    const DrawTable between = Table({kSum28, kSum28, kSum28, kSum28, kSum84, kSum84});
    EXPECT_EQ(SummarizeIndicator(IndicatorHistory(Indicator::Sum, between, 36), 3).advice, IndicatorAdvice::None);

    const DrawTable below = Table({kSum84, kSum84, kSum84, kSum28, kSum28, kSum28});
    const IndicatorSummary low = SummarizeIndicator(IndicatorHistory(Indicator::Sum, below, 36), 3);
    EXPECT_EQ(low.advice, IndicatorAdvice::FarBelow);
    EXPECT_EQ(
        low.lines.back(), QStringLiteral("最近3期和值总和远远低于理论和值总和，建议选择大于理论平均和值的组合！"));
    EXPECT_EQ(low.lines.size(), 6);
}

TEST(IndicatorHistory, TheoreticalValuesOfCountsAndRepeats)
{
    // Big count: theoretical total M × K / 2 = 10.5; 16 big numbers in three draws is far above.
    const std::vector<int> big = {30, 31, 32, 33, 34, 35, 36};
    const std::vector<int> mixed = {1, 2, 32, 33, 34, 35, 36};
    const IndicatorSummary s
        = SummarizeIndicator(IndicatorHistory(Indicator::Big, Table({big, mixed, big, mixed}), 36), 3);
    EXPECT_DOUBLE_EQ(s.recentTotal, 17);
    EXPECT_EQ(s.lines[2], QStringLiteral("理论平均大数个数：3.5"));
    EXPECT_EQ(s.lines[4], QStringLiteral("最近3期理论大数个数总和：10.5"));
    EXPECT_EQ(s.advice, IndicatorAdvice::FarAbove);

    // Repeat: whole-number averages, 49 div 36 = 1 and 147 div 36 = 4.
    const IndicatorSummary r
        = SummarizeIndicator(IndicatorHistory(Indicator::Repeat, Table({kSum28, kSum28, kSum84, kSum84}), 36), 3);
    EXPECT_EQ(r.lines[2], QStringLiteral("理论平均重码个数：1.0"));
    EXPECT_EQ(r.lines[3], QStringLiteral("最近3期重码个数总和：19.0"));
    EXPECT_EQ(r.lines[4], QStringLiteral("最近3期理论重码个数总和：4.0"));
    EXPECT_EQ(r.advice, IndicatorAdvice::FarAbove);

    // 26选5, K = 1: the theoretical total is 25 div 26 = 0; a last draw without repeats is no
    // reason for advice.
    const IndicatorSummary none
        = SummarizeIndicator(IndicatorHistory(Indicator::Repeat, Table({{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}}), 26), 1);
    EXPECT_DOUBLE_EQ(none.theory.totalOverK, 0);
    EXPECT_EQ(none.advice, IndicatorAdvice::None);
    const IndicatorSummary some
        = SummarizeIndicator(IndicatorHistory(Indicator::Repeat, Table({{1, 2, 3, 4, 5}, {1, 7, 8, 9, 10}}), 26), 1);
    EXPECT_EQ(some.advice, IndicatorAdvice::FarAbove);
}

TEST(IndicatorHistory, ThinHistoriesClampKAndNeverDivideByZero)
{
    EXPECT_EQ(ClampRecentCount(3, 0), 0);
    EXPECT_EQ(ClampRecentCount(3, 2), 2);
    EXPECT_EQ(ClampRecentCount(0, 20), 1);
    EXPECT_EQ(ClampRecentCount(25, 20), 20);

    const IndicatorSummary empty = SummarizeIndicator(IndicatorHistory(Indicator::Span, DrawTable(0, 7), 36), 3);
    EXPECT_EQ(empty.k, 0);
    EXPECT_EQ(empty.lines, (QStringList {"理论最大跨度：35.0", "理论最小跨度：6.0", "没有开奖数据，无法统计。"}));

    const IndicatorSummary two = SummarizeIndicator(IndicatorHistory(Indicator::Span, Table({kSum28, kSum84}), 36), 3);
    EXPECT_EQ(two.k, 2);
    EXPECT_EQ(two.lines[3], QStringLiteral("最近2期跨度总和：41.0"));
    EXPECT_EQ(two.lines[4], QStringLiteral("最近2期理论跨度总和：41.0"));
    EXPECT_EQ(two.lines.back(), QStringLiteral("开奖数据不足3期，统计结果仅供参考。"));
}

TEST(ZoneHistory, ZonesRoundUpAndHeadersKeepTheirStart)
{
    const ZoneHistory z36(Table({{1, 6, 7, 13, 30, 31, 36}, {2, 3, 4, 5, 8, 9, 10}}), 36, 7);
    EXPECT_EQ(z36.zoneWidth(), 6);
    EXPECT_EQ(z36.headers().mid(2),
        (QStringList {"01-06号码总数", "07-12号码总数", "13-18号码总数", "19-24号码总数", "25-30号码总数",
            "31-36号码总数", "37-36号码总数"}));
    QStringList row;
    for (int column = 0; column < 9; ++column)
        row << z36.cellText(0, column);
    EXPECT_EQ(row, (QStringList {"2020001", "01 06 07 13 30 31 36 ", "2", "1", "1", "0", "1", "2", "0"}));
    EXPECT_EQ(z36.recentCounts(1)[0], (std::vector<double> {4}));
    EXPECT_EQ(z36.recentLabels(5), (QStringList {"2020001", "2020002"}));

    const ZoneHistory z11(Table({{1, 4, 7, 10, 11}}), 11, 5);
    EXPECT_EQ(z11.headers().mid(2),
        (QStringList {"01-03号码总数", "04-06号码总数", "07-09号码总数", "10-11号码总数", "13-11号码总数"}));
    EXPECT_EQ(z11.count(0, 3), 2);
    EXPECT_EQ(z11.count(0, 4), 0);

    const ZoneHistory one(Table({{1, 4, 7, 10, 11}}), 11, 1);
    EXPECT_EQ(one.headers().last(), QStringLiteral("01-11号码总数"));
    EXPECT_EQ(one.count(0, 0), 5);

    EXPECT_EQ(DefaultZoneCount(5), 5);
    EXPECT_EQ(DefaultZoneCount(9), 7);
    EXPECT_EQ(ZoneHistory(DrawTable(0, 7), 36, 12).zoneCount(), 7);
}

TEST(ZoneHistory, DigitZeroCountsInTheFirstZone)
{
    // Digits 0 … 9 of a three-digit lottery.
    const DrawTable digits = Table({{0, 0, 0}, {0, 5, 9}, {4, 4, 8}});
    const ZoneHistory three(digits, 10, 3, 0);
    EXPECT_EQ(three.headers().mid(2), (QStringList {"00-04号码总数", "05-08号码总数", "09-09号码总数"}));
    EXPECT_EQ(three.cellText(0, 1), QStringLiteral("00 00 00 "));
    for (int row = 0; row < three.rowCount(); ++row) {
        int total = 0;
        for (int zone = 0; zone < 3; ++zone)
            total += three.count(row, zone);
        EXPECT_EQ(total, 3) << row;
    }
    EXPECT_EQ(three.count(0, 0), 3);
    EXPECT_EQ(three.count(1, 0), 1);
    EXPECT_EQ(three.count(1, 2), 1);
    EXPECT_EQ(three.recentCounts(3)[0], (std::vector<double> {3, 1, 2}));

    // One zone holds every digit.
    const ZoneHistory one(digits, 10, 1, 0);
    EXPECT_EQ(one.headers().last(), QStringLiteral("00-09号码总数"));
    for (int row = 0; row < one.rowCount(); ++row)
        EXPECT_EQ(one.count(row, 0), 3);
}
