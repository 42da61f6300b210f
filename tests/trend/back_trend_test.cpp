#include "data/trend_text.h"
#include "trend/two_zone_game.h"
#include "trend/variant_trend.h"

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

// A row of a trend text as one line: its texts joined by blanks.
template<class Text>
QString RowLine(const Text &text, int row)
{
    QStringList cells;
    for (int c = 0; c < text.columnCount(); ++c)
        cells << text.cell(row, c);
    return cells.join(QLatin1Char(' '));
}

} // namespace

TEST(BackTrendText, HandWorkedGridOfASmallTwoZoneGame)
{
    OpenLottery lottery = test::SmallTwoZoneLottery();
    const BackTrendText back(lottery.backTable, lottery.backN);
    ASSERT_EQ(back.rowCount(), 3);
    ASSERT_EQ(back.columnCount(), 5);
    EXPECT_EQ(back.backM(), 2);
    EXPECT_EQ(RowLine(back, 0), QStringLiteral("02 04 0 1 0 1"));
    EXPECT_EQ(RowLine(back, 1), QStringLiteral("01 02 1 1 0 0"));
    // Drawn order is kept in the numbers, the marks do not depend on it.
    EXPECT_EQ(RowLine(back, 2), QStringLiteral("04 03 0 0 1 1"));
    // Outside 1..L nothing is marked.
    EXPECT_FALSE(back.marked(0, 0));
    EXPECT_FALSE(back.marked(0, 5));

    // The front zone's trend text is the one of a 7选2 lotto: the back zone is not in it.
    EXPECT_EQ(lottery.trendText.columnCount(), 10);
    EXPECT_EQ(RowLine(lottery.trendText, 0), QStringLiteral("2024001 01 05 0 1 0 0 0 1 0 0"));
    EXPECT_EQ(RowLine(lottery.trendText, 2), QStringLiteral("2024003 02 06 0 0 1 0 0 0 1 0"));

    // The variant trend relabels the front zone only; the back block is built from the same
    // back table and reads as drawn.
    BuildVariantTrend(lottery, 1, {7, 6, 5, 4, 3, 2, 1});
    EXPECT_EQ(RowLine(BackTrendText(lottery.backTable, lottery.backN), 2), QStringLiteral("04 03 0 0 1 1"));
}
