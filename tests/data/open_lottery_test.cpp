#include "common/errors.h"
#include "data/open_lottery.h"
#include "support/test_home.h"

#include <gtest/gtest.h>

using namespace lumaro;
using lumaro::test::TestHome;

namespace {

void AddDraws(LotteryStore &store, const QString &name, int count, int n, int m, int firstPeriod = 2020001)
{
    std::vector<DrawRow> rows;
    for (int i = 0; i < count; ++i) {
        DrawRow row;
        row.period = QString::number(firstPeriod + i);
        for (int k = 0; k < m; ++k)
            row.numbers.push_back((i + k * 3) % n + 1);
        row.date = QStringLiteral("2020-01-01");
        rows.push_back(row);
    }
    store.appendDraws(name, rows);
}

std::vector<int> TicketRow(const OpenLottery &lottery, qint64 r)
{
    std::vector<int> out(lottery.m);
    lottery.ticketSet().numbers(r, out.data());
    return out;
}

} // namespace

TEST(OpenLottery, OpeningBuildsTheTables)
{
    TestHome home;
    AddDraws(home.store(), QStringLiteral("南粤风采26选5"), 100, 26, 5);
    OpenLottery lottery;
    lottery.open(home.store(), QStringLiteral("南粤风采26选5"));
    EXPECT_TRUE(lottery.lotteryOpen);
    EXPECT_EQ(lottery.n, 26);
    EXPECT_EQ(lottery.m, 5);
    EXPECT_EQ(lottery.drawCount, 100);
    EXPECT_EQ(lottery.drawTable.rowCount(), 100);
    EXPECT_EQ(lottery.drawTable.numberCount(), 5);
    EXPECT_EQ(lottery.drawTable.period(0), 2020001);
    EXPECT_EQ(lottery.drawTable.period(99), 2020100);
    EXPECT_EQ(lottery.drawTable.cell(1, 1), 2);
    EXPECT_EQ(lottery.drawDates.size(), 100);
    EXPECT_EQ(lottery.ticketSet().rowCount(), 65780);
    EXPECT_EQ(lottery.ticketSet().cellCount(), 7);
    EXPECT_EQ(TicketRow(lottery, 0), (std::vector<int> {1, 2, 3, 4, 5}));
    EXPECT_EQ(TicketRow(lottery, 65779), (std::vector<int> {22, 23, 24, 25, 26}));

    // Trend cells: period, numbers text, separator, one mark per drawn number.
    EXPECT_EQ(lottery.trendText.rowCount(), 100);
    EXPECT_EQ(lottery.trendText.columnCount(), 29);
    EXPECT_EQ(lottery.trendText.cell(0, 0), QStringLiteral("2020001"));
    EXPECT_EQ(lottery.trendText.cell(0, 1), QStringLiteral("01 04 07 10 13"));
    EXPECT_EQ(lottery.trendText.cell(0, 2), QStringLiteral("0"));
    EXPECT_EQ(lottery.trendText.cell(0, 3), QStringLiteral("1"));
    EXPECT_EQ(lottery.trendText.cell(0, 4), QStringLiteral("0"));
    EXPECT_EQ(lottery.trendText.cell(0, 15), QStringLiteral("1"));
}

TEST(OpenLottery, EmptyHistoryAndSmallLotteries)
{
    TestHome home;
    OpenLottery lottery;
    lottery.open(home.store(), QStringLiteral("中国福彩七乐彩"));
    EXPECT_EQ(lottery.drawCount, 0);
    EXPECT_TRUE(lottery.drawTable.isEmpty());
    EXPECT_TRUE(lottery.drawDates.isEmpty());
    EXPECT_EQ(lottery.trendText.rowCount(), 0);
    EXPECT_EQ(lottery.ticketSet().rowCount(), 2035800);

    lottery.open(home.store(), QStringLiteral("山东体彩11选5"));
    EXPECT_EQ(lottery.ticketSet().rowCount(), 462);
}

TEST(OpenLottery, OpeningReturnsToTheStandardTrendAndCapsTheHistory)
{
    TestHome home;
    AddDraws(home.store(), QStringLiteral("中国体彩22选5"), 20001, 22, 5, 1000000);
    OpenLottery lottery;
    lottery.variantMode = true;
    lottery.open(home.store(), QStringLiteral("中国体彩22选5"));
    EXPECT_FALSE(lottery.variantMode);
    EXPECT_EQ(lottery.drawCount, 20000);
    EXPECT_EQ(lottery.drawTable.period(0), 1000001);
    EXPECT_EQ(home.store().drawCount(QStringLiteral("中国体彩22选5")), 20000); // the deletion is permanent
}

TEST(OpenLottery, LotteriesOutsideTheBuiltInTableTakeNAndMFromTheirDefinition)
{
    TestHome home;
    OpenLottery lottery;
    lottery.open(home.store(), QStringLiteral("中国福彩七乐彩"));
    LotteryDefinition d;
    d.name = QStringLiteral("自选35选5");
    d.n = 35;
    d.m = 5;
    home.store().createLottery(d);
    AddDraws(home.store(), d.name, 3, 35, 5);
    lottery.open(home.store(), d.name);
    EXPECT_EQ(lottery.n, 35);
    EXPECT_EQ(lottery.m, 5);
    EXPECT_EQ(lottery.ticketSet().rowCount(), 324632);
    EXPECT_EQ(lottery.trendText.columnCount(), 38);
}

TEST(OpenLottery, DigitLotteryMarksEveryDigitAndHoldsAllTuples)
{
    TestHome home;
    home.store().appendDraws(
        QStringLiteral("福彩3D"), {DrawRow {QStringLiteral("2002001"), {0, 7, 0}, QStringLiteral("2002-01-01")}});
    OpenLottery lottery;
    lottery.open(home.store(), QStringLiteral("福彩3D"));
    EXPECT_EQ(lottery.kind, LotteryKind::Digit);
    EXPECT_EQ(lottery.ticketSet().rowCount(), 1000);
    EXPECT_EQ(lottery.trendText.cell(0, 1), QStringLiteral("00 07 00"));
    EXPECT_EQ(lottery.trendText.cell(0, 3), QStringLiteral("1")); // digit 0
    EXPECT_EQ(lottery.trendText.cell(0, 10), QStringLiteral("1")); // digit 7
    EXPECT_EQ(lottery.trendText.cell(0, 12), QStringLiteral("0")); // digit 9
}

TEST(OpenLottery, HugeTicketCountsStillOpenButRefuseTicketWork)
{
    TestHome home;
    LotteryDefinition d;
    d.name = QStringLiteral("快乐80选10");
    d.n = 80;
    d.m = 10;
    home.store().createLottery(d);
    OpenLottery lottery;
    lottery.open(home.store(), d.name);
    EXPECT_TRUE(lottery.lotteryOpen);
    EXPECT_FALSE(lottery.hasTicketSet());
    EXPECT_THROW(lottery.ticketSet(), CapacityError);
}

TEST(OpenLottery, AFailedOpeningLeavesTheLotteryClosed)
{
    TestHome home;
    OpenLottery lottery;
    EXPECT_THROW(lottery.open(home.store(), QStringLiteral("没有这个彩票")), InputError);
    EXPECT_FALSE(lottery.lotteryOpen);
    EXPECT_TRUE(lottery.name.isEmpty());
    lottery.open(home.store(), QStringLiteral("中国体彩22选5"));
    lottery.close();
    EXPECT_FALSE(lottery.lotteryOpen);
    EXPECT_EQ(lottery.name, QStringLiteral("中国体彩22选5"));
    EXPECT_EQ(lottery.n, 22);
    EXPECT_TRUE(lottery.drawTable.isEmpty());
}
