#include "analysis/indicators.h"

#include <gtest/gtest.h>

using namespace lumaro;

TEST(Indicators, BigCountRulesDifferByTheMiddleNumber)
{
    const int set[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(BigCount(set, 5, 11, BigRule::Analysis), 0);
    EXPECT_EQ(BigCount(set, 5, 11, BigRule::TotalFilter), 1); // 5 = 11 div 2
    const int high[] = {18, 19, 36, 1, 2, 3, 4};
    EXPECT_EQ(BigCount(high, 7, 36, BigRule::Analysis), 2);
    EXPECT_EQ(BigCount(high, 7, 36, BigRule::TotalFilter), 3);
}

TEST(Indicators, SimpleCountsOnUnsortedSets)
{
    const int set[] = {5, 1, 3};
    EXPECT_EQ(SpanValue(set, 3), 4);
    EXPECT_EQ(OddCount(set, 3), 3);
    EXPECT_EQ(SumValue(set, 3), 9);
    const int same[] = {7, 7, 7};
    EXPECT_EQ(SpanValue(same, 3), 0);
}

TEST(Indicators, DispersionExamples)
{
    const int low[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(DispersionValue(low, 5, 11), 6);
    const int spread[] = {1, 4, 7, 9, 11};
    EXPECT_EQ(DispersionValue(spread, 5, 11), 1);
    const int even[] = {1, 7, 13, 19, 25, 31, 36};
    EXPECT_EQ(DispersionValue(even, 7, 36), 3);
    const int first[] = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(DispersionValue(first, 7, 36), 29);
}

TEST(Indicators, DeviationAndRepeatAgainstThePreviousDraw)
{
    const int previous[] = {1, 2, 3, 4, 5};
    const int same[] = {5, 4, 3, 2, 1};
    EXPECT_EQ(DeviationValue(same, previous, 5), 0);
    const int other[] = {1, 2, 3, 4, 11};
    EXPECT_EQ(DeviationValue(other, previous, 5), 6);
    EXPECT_EQ(RepeatCount(other, previous, 5), 4);
    EXPECT_EQ(RepeatCount(other, nullptr, 5), 0);
    EXPECT_DOUBLE_EQ(DeviationWithoutPrevious(36, 7), 14.5);
    // A digit value repeated at two positions counts twice.
    const int digitsPrev[] = {3, 5, 8};
    const int digits[] = {3, 3, 1};
    EXPECT_EQ(RepeatCount(digits, digitsPrev, 3), 2);
}

TEST(Indicators, AcValueBounds)
{
    const int progression[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(AcValue(progression, 5, 11), 4);
    const int distinct[] = {1, 2, 4, 8, 13};
    EXPECT_EQ(AcValue(distinct, 5, 36), 10);
    const int digits[] = {4, 4, 9};
    EXPECT_EQ(AcValue(digits, 3, 10), 2); // differences 0 and 5
}

TEST(Indicators, ZonesRoundUpAndTrailingZonesStayEmpty)
{
    EXPECT_EQ(ZoneWidth(36, 7), 6);
    EXPECT_EQ(ZoneWidth(30, 7), 5);
    EXPECT_EQ(ZoneWidth(11, 5), 3);
    EXPECT_EQ(ZoneWidth(36, 6), 6);
    const int set[] = {1, 3, 4, 10, 11};
    EXPECT_EQ(ZoneCounts(set, 5, 11, 5), (std::vector<int> {2, 1, 0, 2, 0}));
}

TEST(Indicators, IndicatorsOfTheFirstDrawAndTheTheoreticalTable)
{
    const int a[] = {1, 2, 3, 4, 5, 6, 7};
    const int b[] = {1, 2, 3, 4, 5, 6, 8};
    const int *rows[] = {a, b};
    EXPECT_DOUBLE_EQ(IndicatorOfDraw(Indicator::Deviation, rows, 0, 7, 36), 14.5);
    EXPECT_DOUBLE_EQ(IndicatorOfDraw(Indicator::Repeat, rows, 0, 7, 36), 0);
    EXPECT_DOUBLE_EQ(IndicatorOfDraw(Indicator::Repeat, rows, 1, 7, 36), 6);
    EXPECT_DOUBLE_EQ(IndicatorOfDraw(Indicator::Deviation, rows, 1, 7, 36), 1);

    const auto sum = TheoreticalValuesOf(Indicator::Sum, 36, 7, 130.0, 3);
    EXPECT_DOUBLE_EQ(sum.maximum, 231);
    EXPECT_DOUBLE_EQ(sum.minimum, 28);
    EXPECT_DOUBLE_EQ(sum.totalOverK, 390);
    EXPECT_DOUBLE_EQ(TheoreticalValuesOf(Indicator::Span, 36, 7, 0, 1).maximum, 35);
    EXPECT_DOUBLE_EQ(TheoreticalValuesOf(Indicator::Dispersion, 36, 7, 0, 1).maximum, 29);
    EXPECT_DOUBLE_EQ(TheoreticalValuesOf(Indicator::Dispersion, 36, 7, 0, 1).minimum, 3);
    EXPECT_DOUBLE_EQ(TheoreticalValuesOf(Indicator::Ac, 36, 7, 0, 1).maximum, 21);
    EXPECT_DOUBLE_EQ(TheoreticalValuesOf(Indicator::Ac, 36, 7, 0, 1).minimum, 6);
    const auto repeat = TheoreticalValuesOf(Indicator::Repeat, 36, 7, 1.36, 3);
    EXPECT_DOUBLE_EQ(repeat.average, 1);
    EXPECT_DOUBLE_EQ(repeat.totalOverK, 4);
    EXPECT_DOUBLE_EQ(TheoreticalValuesOf(Indicator::Odd, 36, 7, 0, 3).average, 3.5);
    EXPECT_DOUBLE_EQ(TheoreticalValuesOf(Indicator::Odd, 36, 7, 0, 3).totalOverK, 10.5);
}
