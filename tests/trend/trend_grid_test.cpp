#include "trend/trend_grid_model.h"
#include "trend/two_zone_game.h"

#include <QColor>

#include <gtest/gtest.h>

using namespace lumaro;

namespace {

// A model row as one line: period and draw, then "|" for a separator, "●" for a mark and "."
// for an empty number cell.
QString GridLine(const TrendGridModel &model, int row)
{
    QString line = model.data(model.index(row, 0)).toString() + QLatin1Char(' ')
        + model.data(model.index(row, 1)).toString() + QLatin1Char(' ');
    for (int c = 2; c < model.columnCount(); ++c) {
        if (model.isSeparatorColumn(c))
            line += QLatin1Char('|');
        else
            line += model.data(model.index(row, c)).toString().isEmpty() ? QStringLiteral(".") : QStringLiteral("●");
    }
    return line;
}

QStringList Headers(const TrendGridModel &model)
{
    QStringList headers;
    for (int c = 0; c < model.columnCount(); ++c)
        headers << model.headerData(c, Qt::Horizontal).toString();
    return headers;
}

} // namespace

TEST(TrendGridBackBlock, HandWorkedGridOfASmallTwoZoneGame)
{
    OpenLottery lottery = test::SmallTwoZoneLottery();
    TrendGridModel model(lottery);
    ASSERT_TRUE(model.hasBackBlock());
    // 7 front columns between separators 2 and 10, then 4 back columns and the last separator.
    ASSERT_EQ(model.columnCount(), 16);
    EXPECT_EQ(Headers(model),
        (QStringList {
            "记录期号", "开奖号码", "", "1", "2", "3", "4", "5", "6", "7", "", "后01", "后02", "后03", "后04", ""}));
    // Newest draw first.
    EXPECT_EQ(GridLine(model, 0), QStringLiteral("2024003 02 06 + 04 03 |.●...●.|..●●|"));
    EXPECT_EQ(GridLine(model, 1), QStringLiteral("2024002 03 07 + 01 02 |..●...●|●●..|"));
    EXPECT_EQ(GridLine(model, 2), QStringLiteral("2024001 01 05 + 02 04 |●...●..|.●.●|"));

    // The back block in its own colours, cells and headers alike; the front as for every lottery.
    for (int c = 11; c <= 14; ++c) {
        EXPECT_TRUE(model.isBackColumn(c));
        EXPECT_FALSE(model.isNumberColumn(c));
        EXPECT_EQ(model.backNumberOfColumn(c), c - 10);
        EXPECT_EQ(
            model.data(model.index(1, c), Qt::BackgroundRole).value<QColor>(), TrendGridModel::backColumnColour());
        EXPECT_EQ(model.data(model.index(1, c), Qt::ForegroundRole).value<QColor>(), TrendGridModel::backMarkColour());
        EXPECT_EQ(model.headerData(c, Qt::Horizontal, Qt::BackgroundRole).value<QColor>(),
            TrendGridModel::backColumnColour());
    }
    EXPECT_NE(TrendGridModel::backColumnColour(), TrendGridModel::numberColumnColour());
    EXPECT_EQ(model.data(model.index(0, 3), Qt::BackgroundRole).value<QColor>(), QColor(150, 150, 100));
    EXPECT_EQ(model.data(model.index(0, 3), Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    for (int c : {2, 10, 15})
        EXPECT_EQ(model.data(model.index(0, c), Qt::BackgroundRole).value<QColor>(), QColor(100, 100, 100)) << c;
}
