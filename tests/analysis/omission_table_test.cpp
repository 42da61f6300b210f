#include "analysis/omission_table.h"
#include "data/draw_table.h"
#include "data/open_lottery.h"
#include "support/test_home.h"
#include "trend/two_zone_game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

using namespace lumaro;

namespace {

// 36选7 draws 0..draws-1: the tracked numbers occur at the given draw indices, every draw is
// filled up to seven numbers from 36 downwards.
DrawTable DrawsWithHits(int draws, const std::map<int, std::vector<int>> &hits)
{
    DrawTable t(draws, 7);
    for (int i = 0; i < draws; ++i) {
        std::vector<int> row;
        for (const auto &[number, at] : hits) {
            if (std::find(at.begin(), at.end(), i) != at.end())
                row.push_back(number);
        }
        for (int filler = 36; static_cast<int>(row.size()) < 7; --filler)
            row.push_back(filler);
        t.cell(i, 0) = 2020001 + i;
        for (int j = 0; j < 7; ++j)
            t.cell(i, j + 1) = row[static_cast<std::size_t>(j)];
    }
    return t;
}

const std::map<int, std::vector<int>> kHits = {
    {1, {35, 32, 12, 10}}, // g1 4, g2 3, g3 20: a rebound at the third hit
    {2, {36, 33, 30, 5}}, // g3 3 is short, g4 25: a rebound at the fourth hit
    {3, {39, 37, 34, 31}}, // close hits only
    {4, {20, 2}}, // two hits
    {6, {39}}, // only the latest draw
    {7, {20, 18, 0}}, // g1 19 is too old for a rebound
}; // 5 never occurs

QStringList RowTexts(const OmissionTable &t, int number)
{
    QStringList texts;
    for (int row = 0; row < t.rowCount(); ++row) {
        if (t.rows[static_cast<std::size_t>(row)].number != number)
            continue;
        for (int column = 0; column < OmissionTable::kColumns; ++column)
            texts << t.cellText(row, column);
    }
    return texts;
}

std::vector<int> NumbersOf(const std::vector<OmissionRow> &rows)
{
    std::vector<int> numbers;
    for (const OmissionRow &r : rows)
        numbers.push_back(r.number);
    return numbers;
}

OpenLottery OpenWithDraws(test::TestHome &home, const QString &name, const std::vector<DrawRow> &draws)
{
    home.store().appendDraws(name, draws);
    OpenLottery lottery;
    lottery.open(home.store(), name);
    return lottery;
}

OmissionRow RowOf(int number, int hits, int omission, qint64 chase)
{
    OmissionRow r;
    r.number = number;
    r.hits = hits;
    r.omission = omission;
    r.chaseValue = chase;
    return r;
}

} // namespace

TEST(OmissionTable, ReboundTestAtTheThirdAndFourthHit)
{
    const OmissionTable t
        = BuildOmissionTable(DrawsWithHits(40, kHits), 36, 7, 1, 36, OmissionMode::Rebound, OmissionSort::Number);
    ASSERT_EQ(t.rowCount(), 36);
    EXPECT_EQ(t.headers(),
        (QStringList {"待选号码", "理论周期", "理论中奖总次数", "实际总奖总次数", "历史最大遗漏", "前次遗漏",
            "目前冷态倍数", "追号价值"}));
    // 40 × 49 × 20 × 100 div (1296 × 4) = 756.
    EXPECT_EQ(RowTexts(t, 1), (QStringList {"01", "5.1", "7.8", "4", "20", "20", "3.9", "756%"}));
    EXPECT_EQ(RowTexts(t, 2), (QStringList {"02", "5.1", "7.8", "4", "25", "25", "4.9", "945%"}));
    EXPECT_EQ(RowTexts(t, 3), (QStringList {"03", "5.1", "7.8", "4", "3", "0", "0", "0%"}));
    EXPECT_EQ(RowTexts(t, 4), (QStringList {"04", "5.1", "7.8", "2", "19", "0", "0", "0%"}));
    // Never drawn: nothing to divide by, the chase value is 0%.
    EXPECT_EQ(RowTexts(t, 5), (QStringList {"05", "5.1", "7.8", "0", "0", "0", "0", "0%"}));
    EXPECT_EQ(RowTexts(t, 7), (QStringList {"07", "5.1", "7.8", "3", "19", "0", "0", "0%"}));
}

TEST(OmissionTable, SkewUsesTheCurrentOmission)
{
    const OmissionTable t
        = BuildOmissionTable(DrawsWithHits(40, kHits), 36, 7, 1, 36, OmissionMode::Skew, OmissionSort::Number);
    EXPECT_EQ(t.headers()[5], QStringLiteral("目前遗漏"));
    // 40 × 49 × 4 × 100 div (1296 × 4) = 151.
    EXPECT_EQ(RowTexts(t, 1), (QStringList {"01", "5.1", "7.8", "4", "20", "4", "0.8", "151%"}));
    // The longest omission includes the current one.
    EXPECT_EQ(RowTexts(t, 4), (QStringList {"04", "5.1", "7.8", "2", "19", "19", "3.7", "1436%"}));
    EXPECT_EQ(RowTexts(t, 6), (QStringList {"06", "5.1", "7.8", "1", "0", "0", "0", "0%"}));
    EXPECT_EQ(RowTexts(t, 5), (QStringList {"05", "5.1", "7.8", "0", "0", "0", "0", "0%"}));

    const OmissionTable coldest
        = BuildOmissionTable(DrawsWithHits(40, kHits), 36, 7, 1, 36, OmissionMode::Skew, OmissionSort::Omission);
    // 04 and 07 are both 19 draws cold; 04 comes first in number order and stays first.
    EXPECT_EQ(coldest.rows[0].number, 4);
    EXPECT_EQ(coldest.rows[1].number, 7);
    EXPECT_EQ(coldest.rows[2].number, 1);
}

TEST(OmissionTable, ChaseValueIsTheExactFormulaIn64Bits)
{
    EXPECT_EQ(ChaseValue(1000, 7, 36, 20, 190), 397);
    // 20000 × 49 × 5000 × 100 = 4.9e11 is far beyond 32 bits.
    EXPECT_EQ(ChaseValue(20000, 7, 36, 5000, 1), 378086419);
    EXPECT_EQ(ChaseValue(1000, 7, 36, 0, 190), 0);
    EXPECT_EQ(ChaseValue(1000, 7, 36, 20, 0), 0);
}

TEST(OmissionTable, ExchangeSortOrders)
{
    // Equal keys are never exchanged with each other, but a third row can carry them past each
    // other: the plain exchange sort, not a stable sort.
    std::vector<OmissionRow> rows = {RowOf(1, 4, 0, 5), RowOf(2, 2, 9, 5), RowOf(3, 2, 3, 9), RowOf(4, 1, 9, 0)};
    SortOmissionRows(rows, OmissionSort::ChaseValue);
    EXPECT_EQ(NumbersOf(rows), (std::vector<int> {3, 2, 1, 4}));
    SortOmissionRows(rows, OmissionSort::Number); // leaves the order
    EXPECT_EQ(NumbersOf(rows), (std::vector<int> {3, 2, 1, 4}));

    rows = {RowOf(1, 4, 0, 5), RowOf(2, 2, 9, 5), RowOf(3, 2, 3, 9), RowOf(4, 1, 9, 0)};
    SortOmissionRows(rows, OmissionSort::Hits);
    EXPECT_EQ(NumbersOf(rows), (std::vector<int> {4, 3, 2, 1}));
    SortOmissionRows(rows, OmissionSort::Omission);
    EXPECT_EQ(NumbersOf(rows), (std::vector<int> {4, 2, 3, 1}));

    // Number order is the order of the numbers themselves, whatever came before.
    const DrawTable t = DrawsWithHits(40, kHits);
    EXPECT_EQ(NumbersOf(BuildOmissionTable(t, 36, 7, 1, 36, OmissionMode::Rebound, OmissionSort::Number).rows)[4], 5);
    const auto byValue = BuildOmissionTable(t, 36, 7, 1, 36, OmissionMode::Rebound, OmissionSort::ChaseValue).rows;
    EXPECT_EQ(byValue[0].number, 2);
    EXPECT_EQ(byValue[1].number, 1);
}

TEST(OmissionTable, DigitLotteriesRateTheDigitsAndEmptyHistoriesStayCalm)
{
    DrawTable digits(3, 3);
    const int draws[3][3] = {{0, 7, 3}, {0, 0, 9}, {5, 5, 5}};
    for (int i = 0; i < 3; ++i) {
        digits.cell(i, 0) = 2002001 + i;
        for (int j = 0; j < 3; ++j)
            digits.cell(i, j + 1) = draws[i][j];
    }
    const OmissionTable t = BuildOmissionTable(digits, 10, 3, 0, 9, OmissionMode::Skew, OmissionSort::Number);
    ASSERT_EQ(t.rowCount(), 10);
    // A draw with the digit twice counts once.
    EXPECT_EQ(RowTexts(t, 0), (QStringList {"00", "3.3", "0.9", "2", "1", "1", "0.3", "13%"}));
    EXPECT_EQ(RowTexts(t, 5).mid(3), (QStringList {"1", "0", "0", "0", "0%"}));

    const OmissionTable empty
        = BuildOmissionTable(DrawTable(0, 7), 36, 7, 1, 36, OmissionMode::Rebound, OmissionSort::ChaseValue);
    ASSERT_EQ(empty.rowCount(), 36);
    EXPECT_EQ(RowTexts(empty, 36), (QStringList {"36", "5.1", "0.0", "0", "0", "0", "0", "0%"}));
}

TEST(OmissionTable, BackZoneOfTheRealSsqAgreesWithAPlainCount)
{
    test::TestHome home;
    const std::vector<DrawRow> draws = test::SsqDraws();
    ASSERT_EQ(draws.size(), 2513u);
    const OpenLottery ssq = OpenWithDraws(home, QStringLiteral("双色球"), draws);
    const int d = static_cast<int>(draws.size());

    const OmissionTable skew = BuildOmissionTable(ssq, OmissionMode::Skew, OmissionSort::Number, OmissionZone::Back);
    ASSERT_EQ(skew.rowCount(), 16);
    EXPECT_EQ(skew.n, 16);
    EXPECT_EQ(skew.m, 1);
    int allHits = 0;
    for (int blue = 1; blue <= 16; ++blue) {
        SCOPED_TRACE(blue);
        // Hits, the longest gap (the current one included) and the current omission, counted here.
        int hits = 0;
        int longest = 0;
        int current = -1;
        int last = d - 1;
        for (int i = d - 1; i >= 0; --i) {
            if (draws[static_cast<std::size_t>(i)].back.front() != blue)
                continue;
            ++hits;
            if (current < 0)
                current = last - i;
            longest = std::max(longest, last - i);
            last = i;
        }
        allHits += hits;
        const QStringList texts = RowTexts(skew, blue);
        ASSERT_EQ(texts.size(), 8);
        EXPECT_EQ(texts[0], QString::asprintf("%.2d", blue));
        EXPECT_EQ(texts[1], QStringLiteral("16.0")); // L / K
        EXPECT_EQ(texts[2], QStringLiteral("157.1")); // 2513 × 1 / 16
        EXPECT_EQ(texts[3].toInt(), hits);
        EXPECT_EQ(texts[4].toInt(), longest);
        EXPECT_EQ(texts[5].toInt(), current);
        EXPECT_EQ(texts[7], QString::number(2513LL * current * 100 / (256LL * hits)) + QLatin1Char('%'));
    }
    EXPECT_EQ(allHits, d); // one back number a draw

    // The front zone is the 33选6 table over the red numbers, the back zone does not enter it.
    const OmissionTable front = BuildOmissionTable(ssq, OmissionMode::Skew, OmissionSort::Number);
    ASSERT_EQ(front.rowCount(), 33);
    EXPECT_EQ(RowTexts(front, 33),
        RowTexts(BuildOmissionTable(ssq.drawTable, 33, 6, 1, 33, OmissionMode::Skew, OmissionSort::Number), 33));
    // Sorting works on the back rows as on the front ones.
    const OmissionTable byHits = BuildOmissionTable(ssq, OmissionMode::Rebound, OmissionSort::Hits, OmissionZone::Back);
    for (int row = 1; row < 16; ++row)
        EXPECT_LE(byHits.rows[static_cast<std::size_t>(row) - 1].hits, byHits.rows[static_cast<std::size_t>(row)].hits);
}

TEST(OmissionTable, BackZoneOfTwoNumbersCountsEachOncePerDraw)
{
    test::TestHome home;
    // 大乐透: two back numbers of 1..12 a draw, each counted once per draw.
    const OpenLottery dlt = OpenWithDraws(home, QStringLiteral("大乐透"),
        {DrawRow {QStringLiteral("2024001"), {1, 2, 3, 4, 5}, QString(), {3, 12}},
            DrawRow {QStringLiteral("2024002"), {1, 2, 3, 4, 6}, QString(), {12, 1}},
            DrawRow {QStringLiteral("2024003"), {1, 2, 3, 4, 7}, QString(), {5, 6}}});
    const OmissionTable back = BuildOmissionTable(dlt, OmissionMode::Skew, OmissionSort::Number, OmissionZone::Back);
    ASSERT_EQ(back.rowCount(), 12);
    // 12 / 2 = 6.0 and 3 × 2 / 12 = 0.5; 12 was drawn twice, last one draw ago: 3 × 4 × 1 × 100 div
    // (144 × 2) = 4.
    EXPECT_EQ(RowTexts(back, 12), (QStringList {"12", "6.0", "0.5", "2", "1", "1", "0.2", "4%"}));
    EXPECT_EQ(RowTexts(back, 3), (QStringList {"03", "6.0", "0.5", "1", "2", "2", "0.3", "16%"}));
    EXPECT_EQ(RowTexts(back, 2), (QStringList {"02", "6.0", "0.5", "0", "0", "0", "0", "0%"}));
}
