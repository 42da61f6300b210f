#include "common/errors.h"
#include "common/random_source.h"
#include "data/open_lottery.h"
#include "support/test_home.h"
#include "tickets/prize_check.h"
#include "tickets/prize_table.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>

using namespace lumaro;

namespace {

const PrizeGame kSsq {QStringLiteral("双色球"), LotteryKind::TwoZone, 33, 6, 16, 1};
const PrizeGame kDlt {QStringLiteral("大乐透"), LotteryKind::TwoZone, 35, 5, 12, 2};

PrizeTable ShippedTable()
{
    QFile file(QStringLiteral(":/home/附属/奖级表.ini"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return ParsePrizeTable(file.readAll());
}

PrizeCheckInputs Inputs(const PrizeGame &game, std::vector<CheckDraw> draws, const PrizeTable &table)
{
    PrizeCheckInputs inputs;
    inputs.game = game;
    inputs.draws = std::move(draws);
    inputs.tiers = table.tiersOf(game.name);
    CheckTiersFit(game, inputs.tiers);
    return inputs;
}

std::vector<qint64> TierCounts(const PrizeCheckInputs &inputs, const DrawPrizes &draw)
{
    EXPECT_EQ(draw.tiers.size(), inputs.tiers.size());
    return draw.tiers;
}

QString Message(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Error &error) {
        return error.message();
    }
    return QStringLiteral("(accepted)");
}

} // namespace

// Tickets whose hits were worked out by hand against one draw of each two-zone game, with the
// money the published fixed prizes give.
TEST(PrizeCheckTest, HandWorkedSsqDraw)
{
    const PrizeCheckInputs inputs
        = Inputs(kSsq, {{QStringLiteral("2024001"), {3, 8, 15, 21, 27, 33}, {9}}}, ShippedTable());
    ASSERT_EQ(inputs.tiers.size(), 6u);
    const QByteArray file = "03 08 15 21 27 33 + 09\r\n" // 6+1 一等奖
                            "33 27 21 15 08 03 + 09\r\n" // the same numbers in another order
                            "03 08 15 21 27 33 + 10\r\n" // 6+0 二等奖
                            "03 08 15 21 27 32 + 09\r\n" // 5+1 三等奖 3000
                            "03 08 15 21 01 02 + 09\r\n" // 4+1 四等奖 200
                            "03 08 15 21 27 01 + 05\r\n" // 5+0 四等奖 200
                            "03 08 15 01 02 04 + 09\r\n" // 3+1 五等奖 10
                            "03 08 15 01 02 04 + 01\r\n" // 3+0 nothing
                            "01 02 04 05 06 07 + 09\r\n"; // 0+1 六等奖 5
    const CheckTickets tickets = ParseCheckTickets(file, kSsq, QStringLiteral("t.txt"));
    ASSERT_EQ(tickets.count(), 9);
    const PrizeCheckResult result = RunPrizeCheck(inputs, tickets);
    ASSERT_EQ(result.draws.size(), 1u);
    const DrawPrizes &draw = result.draws[0];
    EXPECT_EQ(TierCounts(inputs, draw), (std::vector<qint64> {2, 1, 1, 2, 1, 1}));
    EXPECT_EQ(draw.money, 3000 + 2 * 200 + 10 + 5);
    EXPECT_TRUE(draw.floatingHit);
    EXPECT_EQ(draw.pairs[static_cast<std::size_t>(kSsq.pairIndex(6, 1))], 2);
    EXPECT_EQ(draw.pairs[static_cast<std::size_t>(kSsq.pairIndex(3, 0))], 1);
    EXPECT_EQ(result.floatingDraws, 1);
    EXPECT_EQ(result.totalMoney, 3415);

    EXPECT_EQ(PrizeTableHeaders(inputs).join(QLatin1Char('|')),
        QStringLiteral("期号|开奖号码|一等奖|二等奖|三等奖|四等奖|五等奖|六等奖|奖金"));
    EXPECT_EQ(PrizeTableRow(inputs, draw).join(QLatin1Char('|')),
        QStringLiteral("2024001|03 08 15 21 27 33 + 09|2|1|1|2|1|1|3415+浮动"));
    EXPECT_EQ(
        PrizeSummaryLine(inputs, result), QStringLiteral("检查1期，每期9注；固定奖金合计3415元；中浮动奖级的有1期。"));
}

TEST(PrizeCheckTest, HandWorkedDltDraw)
{
    const PrizeCheckInputs inputs
        = Inputs(kDlt, {{QStringLiteral("24001"), {2, 11, 19, 23, 35}, {4, 12}}}, ShippedTable());
    ASSERT_EQ(inputs.tiers.size(), 9u);
    const QByteArray file = "02 11 19 23 35 + 04 12\n" // 5+2 一等奖
                            "02 11 19 23 35 + 04 01\n" // 5+1 二等奖
                            "02 11 19 23 35 + 01 03\n" // 5+0 三等奖 10000
                            "02 11 19 23 01 + 04 12\n" // 4+2 四等奖 3000
                            "02 11 19 23 01 + 12 01\n" // 4+1 五等奖 300
                            "02 11 19 01 03 + 04 12\n" // 3+2 六等奖 200
                            "02 11 19 23 01 + 01 02\n" // 4+0 七等奖 100
                            "02 11 19 01 03 + 12 01\n" // 3+1 八等奖 15
                            "02 11 01 03 05 + 04 12\n" // 2+2 八等奖 15
                            "01 03 05 06 07 + 04 12\n" // 0+2 九等奖 5
                            "02 11 19 01 03 + 01 02\n" // 3+0 九等奖 5
                            "02 01 03 05 06 + 01 02\n"; // 1+0 nothing
    const PrizeCheckResult result = RunPrizeCheck(inputs, ParseCheckTickets(file, kDlt, QStringLiteral("t.txt")));
    const DrawPrizes &draw = result.draws[0];
    EXPECT_EQ(TierCounts(inputs, draw), (std::vector<qint64> {1, 1, 1, 1, 1, 1, 1, 2, 2}));
    EXPECT_EQ(draw.money, 10000 + 3000 + 300 + 200 + 100 + 2 * 15 + 2 * 5);
    EXPECT_TRUE(draw.floatingHit);
    EXPECT_EQ(draw.pairs[static_cast<std::size_t>(kDlt.pairIndex(1, 0))], 1);
}

// Every (front, back) pair a ticket can score, against the published tiers of the shipped table.
TEST(PrizeCheckTest, EveryPairOfTheShippedTableWinsItsTier)
{
    struct Game {
        PrizeGame game;
        std::map<std::pair<int, int>, QString> tiers;
        std::map<QString, qint64> prizes; // fixed prizes; the others float
    };
    const std::vector<Game> games = {
        {kSsq,
            {{{6, 1}, "一等奖"}, {{6, 0}, "二等奖"}, {{5, 1}, "三等奖"}, {{5, 0}, "四等奖"}, {{4, 1}, "四等奖"},
                {{4, 0}, "五等奖"}, {{3, 1}, "五等奖"}, {{2, 1}, "六等奖"}, {{1, 1}, "六等奖"}, {{0, 1}, "六等奖"}},
            {{"三等奖", 3000}, {"四等奖", 200}, {"五等奖", 10}, {"六等奖", 5}}},
        {kDlt,
            {{{5, 2}, "一等奖"}, {{5, 1}, "二等奖"}, {{5, 0}, "三等奖"}, {{4, 2}, "四等奖"}, {{4, 1}, "五等奖"},
                {{3, 2}, "六等奖"}, {{4, 0}, "七等奖"}, {{3, 1}, "八等奖"}, {{2, 2}, "八等奖"}, {{3, 0}, "九等奖"},
                {{2, 1}, "九等奖"}, {{1, 2}, "九等奖"}, {{0, 2}, "九等奖"}},
            {{"三等奖", 10000}, {"四等奖", 3000}, {"五等奖", 300}, {"六等奖", 200}, {"七等奖", 100}, {"八等奖", 15},
                {"九等奖", 5}}},
    };
    const PrizeTable table = ShippedTable();
    for (const Game &entry : games) {
        const PrizeGame &game = entry.game;
        // The draw is 1..M + 1..K; a ticket with f front and b back hits takes the first f and b
        // of them and fills up with numbers that were not drawn.
        CheckDraw draw {QStringLiteral("1"), {}, {}};
        for (int v = 1; v <= game.m; ++v)
            draw.front.push_back(v);
        for (int v = 1; v <= game.backM; ++v)
            draw.back.push_back(v);
        const PrizeCheckInputs inputs = Inputs(game, {draw}, table);
        for (int f = 0; f <= game.m; ++f) {
            for (int b = 0; b <= game.backM; ++b) {
                CheckTickets ticket;
                ticket.width = game.m + game.backM;
                for (int k = 0; k < game.m; ++k)
                    ticket.numbers.push_back(static_cast<qint16>(k < f ? k + 1 : game.n - k));
                for (int k = 0; k < game.backM; ++k)
                    ticket.numbers.push_back(static_cast<qint16>(k < b ? k + 1 : game.backN - k));
                const PrizeCheckResult result = RunPrizeCheck(inputs, ticket);
                const DrawPrizes &prizes = result.draws[0];
                ASSERT_EQ(prizes.pairs[static_cast<std::size_t>(game.pairIndex(f, b))], 1) << f << '+' << b;
                const auto expected = entry.tiers.find({f, b});
                QString won;
                for (std::size_t t = 0; t < inputs.tiers.size(); ++t) {
                    if (prizes.tiers[t] == 1)
                        won += inputs.tiers[t].name;
                }
                SCOPED_TRACE(QStringLiteral("%1 %2+%3").arg(game.name).arg(f).arg(b).toStdString());
                EXPECT_EQ(won, expected == entry.tiers.end() ? QString() : expected->second);
                const qint64 money = won.isEmpty() || !entry.prizes.count(won) ? 0 : entry.prizes.at(won);
                EXPECT_EQ(prizes.money, money);
                EXPECT_EQ(prizes.floatingHit, !won.isEmpty() && !entry.prizes.count(won));
            }
        }
    }
    // The digit games' direct play: every position in place.
    EXPECT_EQ(table.tiersOf(QStringLiteral("排列3")).front().prize, 1040);
    EXPECT_EQ(table.tiersOf(QStringLiteral("福彩3D")).front().pairs, (std::vector<HitPair> {{3, 0}}));
    EXPECT_EQ(table.tiersOf(QStringLiteral("排列5")).front().prize, 100000);
    EXPECT_TRUE(table.tiersOf(QStringLiteral("中国福彩七乐彩")).empty());
}

TEST(PrizeTableTest, ReadsTheEditableFormat)
{
    // Full-width punctuation, "元", comments, a pair without back zone and a byte order mark.
    const PrizeTable table = ParsePrizeTable("\xEF\xBB\xBF; 说明\n"
                                             "# 也是说明\n"
                                             "\n"
                                             "［我的彩票］\n"
                                             "头奖 ＝ 5 ： 浮动\n"
                                             "二奖 = 4+0，3+0 : 50元\r\n"
                                             "[另一种]\n");
    ASSERT_EQ(table.games.size(), 2u);
    const std::vector<PrizeTier> tiers = table.tiersOf(QStringLiteral("我的彩票"));
    ASSERT_EQ(tiers.size(), 2u);
    EXPECT_EQ(tiers[0].name, QStringLiteral("头奖"));
    EXPECT_TRUE(tiers[0].floating());
    EXPECT_EQ(tiers[0].pairs, (std::vector<HitPair> {{5, 0}}));
    EXPECT_EQ(tiers[1].prize, 50);
    EXPECT_EQ(tiers[1].pairs, (std::vector<HitPair> {{4, 0}, {3, 0}}));
    EXPECT_TRUE(table.tiersOf(QStringLiteral("另一种")).empty());
}

TEST(PrizeTableTest, RefusesBadLinesWithTheirNumber)
{
    const std::vector<std::pair<QByteArray, QString>> cases = {
        {"一等奖 = 6+1 : 浮动\n", "奖级表第1行：奖级前面应先写“[彩票名称]”"},
        {"[双色球]\n一等奖 6+1 浮动\n", "奖级表第2行：“一等奖 6+1 浮动”应写成“奖级 = 中奖组合, … : 奖金”"},
        {"[双色球]\n\n一等奖 = 6-1 : 浮动\n", "奖级表第3行：“6-1”不是中奖组合"},
        {"[双色球]\n一等奖 = 6+1+1 : 浮动\n", "奖级表第2行：“6+1+1”不是中奖组合"},
        {"[双色球]\n一等奖 = 6+1, : 浮动\n", "奖级表第2行：缺少中奖组合"},
        {"[双色球]\n三等奖 = 5+1 : 三千\n", "奖级表第2行：奖金“三千”应为"},
        {"[双色球]\n三等奖 = 5+1 : -3000\n", "奖级表第2行：奖金“-3000”应为"},
        {"[双色球]\n三等奖 = 5+1 : 100000000001\n", "奖级表第2行：奖金“100000000001”应为"},
        {"[双色球]\n三等奖 = 5+1 : 3000\n四等奖 = 5+0, 5+1 : 200\n", "奖级表第3行：中奖组合5+1已经属于三等奖"},
        {"[双色球]\n四等奖 = 5+0, 5+0 : 200\n", "奖级表第2行：中奖组合5+0写了两次"},
        {"[双色球]\n四等奖 = 5+0 : 200\n四等奖 = 4+1 : 200\n", "奖级表第3行：《双色球》的四等奖已经列过一次"},
        {"[双色球]\n[大乐透]\n[双色球]\n", "奖级表第3行：《双色球》已经列过一次"},
        {"[ ]\n", "奖级表第1行：“[]”中没有彩票名称"},
        {"[双色球\n", "奖级表第1行：彩票名称应写在“[”和“]”之间"},
        {"[双色球]\n = 6+1 : 浮动\n", "奖级表第2行：没有奖级名称"},
    };
    for (const auto &[content, expected] : cases) {
        const QString message = Message([&] { ParsePrizeTable(content); });
        EXPECT_TRUE(message.startsWith(expected)) << message.toStdString() << " / " << expected.toStdString();
    }
    // Pairs the game cannot score are refused when the table meets the game.
    const PrizeTable tooMany = ParsePrizeTable("[双色球]\n一等奖 = 7+1 : 浮动\n[福彩3D]\n直选 = 3+1 : 1040\n");
    EXPECT_EQ(Message([&] { CheckTiersFit(kSsq, tooMany.tiersOf(kSsq.name)); }),
        QStringLiteral("奖级表中《双色球》的一等奖含中奖组合7+1，超出了每注6个号码加后区1个号码！"));
    const PrizeGame fc3d {QStringLiteral("福彩3D"), LotteryKind::Digit, 10, 3, 0, 0};
    EXPECT_EQ(Message([&] { CheckTiersFit(fc3d, tooMany.tiersOf(fc3d.name)); }),
        QStringLiteral("奖级表中《福彩3D》的直选含中奖组合3+1，但这种彩票没有后区！"));
}

TEST(PrizeTableTest, ShippedWithTheProgramFolderAndReadFromIt)
{
    test::TestHome home;
    const QString own = home.folder().auxiliaryFolder() + QStringLiteral("奖级表.ini");
    ASSERT_TRUE(QFile::exists(own));
    EXPECT_EQ(PrizeTableFile(home.folder()), own);
    // The user's own table is the one read.
    test::WriteFile(own, "[双色球]\n大奖 = 6+1 : 浮动\n");
    EXPECT_EQ(ReadPrizeTable(PrizeTableFile(home.folder())).tiersOf(QStringLiteral("双色球")).size(), 1u);
    // A folder that lost its table (or an older one that never had it) gets it again at the next
    // start; a table the user changed is kept.
    QFile::remove(own);
    EXPECT_EQ(PrizeTableFile(home.folder()), QStringLiteral(":/home/附属/奖级表.ini"));
    home.folder().ensureCreated();
    EXPECT_EQ(ReadPrizeTable(own).tiersOf(QStringLiteral("双色球")).size(), 6u);
    test::WriteFile(own, "[双色球]\n大奖 = 6+1 : 浮动\n");
    home.folder().ensureCreated();
    EXPECT_EQ(ReadPrizeTable(own).tiersOf(QStringLiteral("双色球")).size(), 1u);
}

TEST(PrizeCheckTest, TicketFilesAreReadWholeAndRefusedWithTheLine)
{
    // A repeated line is a second ticket; a blank line is passed over, not the end.
    const CheckTickets read
        = ParseCheckTickets("01 02 03 04 05 06 + 07\r\n01 02 03 04 05 06 + 07\r\n\r\n   \r\n08 09 10 11 12 13 + 16\r\n",
            kSsq, QStringLiteral("t.txt"));
    EXPECT_EQ(read.count(), 3);
    EXPECT_EQ(read.numbers.back(), 16);

    const PrizeGame qlc {QStringLiteral("中国福彩七乐彩"), LotteryKind::Lotto, 30, 7, 0, 0};
    const PrizeGame fc3d {QStringLiteral("福彩3D"), LotteryKind::Digit, 10, 3, 0, 0};
    const std::vector<std::tuple<PrizeGame, QByteArray, QString>> cases = {
        {kSsq, "01 02 03 04 05 06 + 07\n\n01 02 03 04 05 34 + 07\n", "文件t.txt第3行：前区号码34不在1到33之间"},
        {kSsq, "01 02 03 04 05 06 + 17\n", "文件t.txt第1行：后区号码17不在1到16之间"},
        {kSsq, "01 02 03 04 05 05 + 07\n", "文件t.txt第1行：前区号码05重复"},
        {kDlt, "01 02 03 04 05 + 07 07\n", "文件t.txt第1行：后区号码07重复"},
        {kDlt, "01 02 03 04 05 + 00 07\n", "文件t.txt第1行：后区号码0不在1到12之间"},
        {qlc, "01 02 03 04 05 06 07\r\n\r\n01 02 03 04 05 06 31\r\n", "文件t.txt第3行：号码31不在1到30之间"},
        {fc3d, "00 09 05\n01 10 02\n", "文件t.txt第2行：号码10不在0到9之间"},
        {kSsq, "01 02 03 04 05 06 07\n", "文件t.txt第1行：应为前区6个号码、“+”、后区1个号码"},
        // A long token is refused without its value being computed (it would overflow).
        {kSsq, "01 02 03 04 05 99999999999999 + 07\n", "文件t.txt第1行：'99999999999999' 不是一个有效的整形值"},
        {kDlt, "01 02 03 04 05 + 07 \x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\n",
            "文件t.txt第1行：'\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01' 不是一个有效的整形值"},
    };
    for (const auto &[game, content, expected] : cases)
        EXPECT_EQ(Message([&] { ParseCheckTickets(content, game, QStringLiteral("t.txt")); }), expected);
    // Digits may repeat.
    EXPECT_EQ(ParseCheckTickets("05 05 05\n", fc3d, QStringLiteral("t.txt")).count(), 1);

    // Tickets made by other code are checked too before they reach the masks.
    const PrizeCheckInputs inputs = Inputs(kSsq, {{QStringLiteral("1"), {1, 2, 3, 4, 5, 6}, {7}}}, ShippedTable());
    CheckTickets bad;
    bad.width = 7;
    bad.numbers = {1, 2, 3, 4, 5, 6, 99};
    EXPECT_EQ(Message([&] { RunPrizeCheck(inputs, bad); }), QStringLiteral("第1注投注号码：后区号码99不在1到16之间！"));
}

TEST(PrizeCheckTest, StoredDrawsOnePeriodAndCancel)
{
    test::TestHome home;
    const QString name = QStringLiteral("双色球");
    home.store().appendDraws(name,
        {{QStringLiteral("2024001"), {3, 8, 15, 21, 27, 33}, QStringLiteral("2024-01-02"), {9}},
            {QStringLiteral("2024002"), {1, 2, 3, 4, 5, 6}, QStringLiteral("2024-01-04"), {16}}});
    OpenLottery lottery;
    lottery.open(home.store(), name);
    PrizeCheckInputs inputs = PrizeCheckInputs::fromLottery(lottery, ReadPrizeTable(PrizeTableFile(home.folder())));
    EXPECT_TRUE(inputs.game.twoZone());
    ASSERT_EQ(inputs.draws.size(), 2u);
    EXPECT_EQ(inputs.draws[1].period, QStringLiteral("2024002"));
    EXPECT_EQ(inputs.draws[1].back, (std::vector<int> {16}));
    EXPECT_EQ(DrawText(inputs.game, inputs.draws[0]), QStringLiteral("03 08 15 21 27 33 + 09"));

    const CheckTickets tickets
        = ParseCheckTickets("01 02 03 04 05 06 + 16\n03 08 15 21 27 33 + 16\n", inputs.game, QStringLiteral("t.txt"));
    const PrizeCheckResult all = RunPrizeCheck(inputs, tickets);
    ASSERT_EQ(all.draws.size(), 2u);
    EXPECT_EQ(all.draws[0].tiers, (std::vector<qint64> {0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(all.draws[1].tiers, (std::vector<qint64> {1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(all.totalTiers, (std::vector<qint64> {1, 1, 0, 0, 0, 1}));
    EXPECT_EQ(all.totalMoney, 5);
    EXPECT_EQ(all.floatingDraws, 2);
    EXPECT_EQ(PrizeTotalsRow(inputs, all).join(QLatin1Char('|')), QStringLiteral("合计|2期|1|1|0|0|0|1|5+浮动"));

    PrizeCheckInputs one = inputs;
    one.keepPeriod(QStringLiteral(" 2024002 "));
    ASSERT_EQ(one.draws.size(), 1u);
    EXPECT_EQ(RunPrizeCheck(one, tickets).draws[0].money, 5);
    EXPECT_EQ(Message([&] { inputs.keepPeriod(QStringLiteral("2024003")); }),
        QStringLiteral("《双色球》没有第2024003期的开奖号码！"));

    std::atomic_bool cancel {true};
    const PrizeCheckResult stopped = RunPrizeCheck(inputs, tickets, Progress {nullptr, &cancel});
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_TRUE(stopped.draws.empty());

    OpenLottery empty;
    empty.open(home.store(), QStringLiteral("大乐透"));
    EXPECT_EQ(Message([&] { PrizeCheckInputs::fromLottery(empty, {}); }),
        QStringLiteral("《大乐透》还没有开奖号码，无法查询中奖！"));
}

// The masks against a plain loop over every ticket and draw: two-zone games in one and two
// words a zone, a lotto, and digit games in one word and beyond two.
TEST(PrizeCheckTest, MasksAgreeWithAPlainLoop)
{
    const std::vector<PrizeGame> games = {
        kSsq,
        kDlt,
        {QStringLiteral("宽双区"), LotteryKind::TwoZone, 80, 8, 70, 3},
        {QStringLiteral("中国福彩七乐彩"), LotteryKind::Lotto, 30, 7, 0, 0},
        {QStringLiteral("福彩3D"), LotteryKind::Digit, 10, 3, 0, 0},
        {QStringLiteral("长数字"), LotteryKind::Digit, 10, 15, 0, 0},
    };
    const PrizeTable table = ParsePrizeTable("[宽双区]\n甲 = 8+3 : 浮动\n乙 = 7+3, 8+2 : 1000\n丙 = 0+0 : 1\n"
                                             "[中国福彩七乐彩]\n甲 = 7 : 浮动\n乙 = 6, 5 : 30\n"
                                             "[长数字]\n甲 = 15 : 100\n乙 = 1 : 2\n");
    RandomSource random(20241);
    for (const PrizeGame &game : games) {
        SCOPED_TRACE(game.name.toStdString());
        const bool digit = game.kind == LotteryKind::Digit;
        // Numbers of a zone: distinct for lotto zones, any digits for a digit game.
        auto zone = [&](int count, int n) {
            std::vector<int> numbers;
            while (static_cast<int>(numbers.size()) < count) {
                const int v = digit ? random.below(n) : 1 + random.below(n);
                if (digit || std::find(numbers.begin(), numbers.end(), v) == numbers.end())
                    numbers.push_back(v);
            }
            return numbers;
        };
        std::vector<CheckDraw> draws;
        for (int d = 0; d < 40; ++d)
            draws.push_back({QString::number(d + 1), zone(game.m, game.n), zone(game.backM, game.backN)});
        PrizeCheckInputs inputs;
        inputs.game = game;
        inputs.draws = draws;
        inputs.tiers = table.tiersOf(game.name);
        if (inputs.tiers.empty())
            inputs.tiers = ShippedTable().tiersOf(game.name);
        CheckTiersFit(game, inputs.tiers);
        // Enough tickets for several blocks, so that more than one thread counts; some of them
        // copies of a draw, so that the top pairs are hit.
        CheckTickets tickets;
        tickets.width = game.m + game.backM;
        const int count = 20000;
        for (int t = 0; t < count; ++t) {
            std::vector<int> front = zone(game.m, game.n);
            std::vector<int> back = zone(game.backM, game.backN);
            if (t % 997 == 0) {
                front = draws[static_cast<std::size_t>(t) % draws.size()].front;
                back = draws[static_cast<std::size_t>(t) % draws.size()].back;
            }
            for (int v : front)
                tickets.numbers.push_back(static_cast<qint16>(v));
            for (int v : back)
                tickets.numbers.push_back(static_cast<qint16>(v));
        }
        const PrizeCheckResult result = RunPrizeCheck(inputs, tickets);
        ASSERT_FALSE(result.cancelled);
        ASSERT_EQ(result.draws.size(), draws.size());

        std::vector<qint64> totalPairs(static_cast<std::size_t>(game.pairCount()), 0);
        qint64 totalMoney = 0;
        for (std::size_t d = 0; d < draws.size(); ++d) {
            const CheckDraw &draw = draws[d];
            std::vector<qint64> pairs(static_cast<std::size_t>(game.pairCount()), 0);
            std::vector<qint64> tiers(inputs.tiers.size(), 0);
            qint64 money = 0;
            for (int t = 0; t < count; ++t) {
                const qint16 *row = tickets.numbers.data() + static_cast<std::ptrdiff_t>(t) * tickets.width;
                int front = 0;
                for (int k = 0; k < game.m; ++k) {
                    if (digit)
                        front += row[k] == draw.front[static_cast<std::size_t>(k)] ? 1 : 0;
                    else
                        front += std::count(draw.front.begin(), draw.front.end(), row[k]) > 0 ? 1 : 0;
                }
                int back = 0;
                for (int k = 0; k < game.backM; ++k)
                    back += std::count(draw.back.begin(), draw.back.end(), row[game.m + k]) > 0 ? 1 : 0;
                ++pairs[static_cast<std::size_t>(front * (game.backM + 1) + back)];
                for (std::size_t tier = 0; tier < inputs.tiers.size(); ++tier) {
                    const std::vector<HitPair> &won = inputs.tiers[tier].pairs;
                    if (std::find(won.begin(), won.end(), HitPair {front, back}) != won.end()) {
                        ++tiers[tier];
                        money += inputs.tiers[tier].prize.value_or(0);
                    }
                }
            }
            ASSERT_EQ(result.draws[d].pairs, pairs) << "draw " << d;
            ASSERT_EQ(result.draws[d].tiers, tiers) << "draw " << d;
            ASSERT_EQ(result.draws[d].money, money) << "draw " << d;
            for (std::size_t p = 0; p < pairs.size(); ++p)
                totalPairs[p] += pairs[p];
            totalMoney += money;
        }
        EXPECT_EQ(result.totalPairs, totalPairs);
        EXPECT_EQ(result.totalMoney, totalMoney);
        EXPECT_GT(totalPairs.back(), 0) << "the top pair was never hit";
    }
}
