#include "analysis/indicators.h"
#include "common/errors.h"
#include "common/random_source.h"
#include "data/combination.h"
#include "data/open_lottery.h"
#include "support/test_home.h"
#include "tickets/ticket_file.h"
#include "tickets/total_filter.h"
#include "trend/variant_trend.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace lumaro;
using lumaro::test::ReadFile;
using lumaro::test::TestHome;
using lumaro::test::WriteFile;

namespace {

const QString k115 = QStringLiteral("山东体彩11选5");
const QString k265 = QStringLiteral("南粤风采26选5");

void AddDraws(LotteryStore &store, const QString &name, const std::vector<std::vector<int>> &draws, int first = 2006001)
{
    std::vector<DrawRow> rows;
    for (std::size_t i = 0; i < draws.size(); ++i) {
        DrawRow row;
        row.period = QString::number(first + static_cast<int>(i));
        row.numbers = draws[i];
        row.date = QStringLiteral("2006-01-01");
        rows.push_back(row);
    }
    store.appendDraws(name, rows);
}

// A program folder with one lottery open.
struct Fixture {
    TestHome home;
    OpenLottery lottery;
    QString list;

    explicit Fixture(const QString &name, const std::vector<std::vector<int>> &draws = {})
    {
        if (!draws.empty())
            AddDraws(home.store(), name, draws);
        lottery.open(home.store(), name);
        list = home.path(QStringLiteral("temp.txt"));
    }
};

QList<QByteArray> OutputLines(const QByteArray &content)
{
    QList<QByteArray> out = content.split('\n');
    if (!out.isEmpty() && out.back().isEmpty())
        out.removeLast();
    return out;
}

TotalFilterConditions Bankers(std::vector<int> numbers, int lower, int upper)
{
    TotalFilterConditions c;
    c.banker = FilterBounds {lower, upper};
    c.bankers = std::move(numbers);
    return c;
}

TotalFilterConditions SumBetween(int lower, int upper)
{
    TotalFilterConditions c;
    c.sum = FilterBounds {lower, upper};
    return c;
}

} // namespace

TEST(TotalFilter, BankerRunOnElevenFiveListsTheSurvivors)
{
    Fixture f(k115);
    TotalFilter filter(f.lottery);
    EXPECT_EQ(filter.state(), TotalFilter::State::Pending);
    EXPECT_EQ(filter.run(Bankers(ParseBankerTokens(QStringLiteral("1 2")), 2, 2), f.list), 84);
    EXPECT_EQ(filter.state(), TotalFilter::State::Narrowed);
    const QList<QByteArray> list = OutputLines(ReadFile(f.list));
    ASSERT_EQ(list.size(), 84);
    EXPECT_EQ(list.front(), QByteArray("0000001    01 02 03 04 05 \r"));
    EXPECT_EQ(list.back(), QByteArray("0000084    01 02 09 10 11 \r"));
    EXPECT_EQ(f.lottery.ticketSet().aliveCount(), 84);
    EXPECT_EQ(filter_text::ResultCount(84), QStringLiteral("过滤结果：84注"));
    // Without any draw the proposed name takes period 1.
    EXPECT_EQ(ProposedSaveName(f.lottery), QStringLiteral("山东体彩11选51期总体过滤投注号码.txt"));
}

TEST(TotalFilter, BigNumbersStartAtHalfOfN)
{
    Fixture f(k115);
    TotalFilter filter(f.lottery);
    TotalFilterConditions c;
    c.big = FilterBounds {1, 1};
    // 5..11 are big for N = 11: one of seven big numbers with all four small ones.
    EXPECT_EQ(filter.run(c, f.list), 7);
    EXPECT_EQ(OutputLines(ReadFile(f.list)).front(), QByteArray("0000001    01 02 03 04 05 \r"));
}

TEST(TotalFilter, RunsNarrowAndRepeatStably)
{
    Fixture f(k265, {{3, 9, 14, 20, 26}});
    TotalFilter filter(f.lottery);
    TotalFilterConditions odd;
    odd.odd = FilterBounds {3, 3};
    const qint64 first = filter.run(odd, f.list);
    EXPECT_EQ(first, Choose(13, 3) * Choose(13, 2));
    const QByteArray afterOdd = ReadFile(f.list);

    const qint64 second = filter.run(SumBetween(60, 70), f.list);
    EXPECT_GT(second, 0);
    EXPECT_LT(second, first);
    const QByteArray afterSum = ReadFile(f.list);
    // Every line of the narrowed list was in the first list, and has three odd numbers.
    QSet<QByteArray> earlier;
    for (const QByteArray &line : OutputLines(afterOdd))
        earlier.insert(line.mid(7));
    for (const QByteArray &line : OutputLines(afterSum)) {
        EXPECT_TRUE(earlier.contains(line.mid(7))) << line.constData();
        int numbers[5];
        for (int k = 0; k < 5; ++k)
            numbers[k] = line.mid(11 + 3 * k, 2).toInt();
        EXPECT_EQ(OddCount(numbers, 5), 3);
        EXPECT_TRUE(SumValue(numbers, 5) >= 60 && SumValue(numbers, 5) <= 70);
    }
    // The same conditions again keep the same list.
    EXPECT_EQ(filter.run(SumBetween(60, 70), f.list), second);
    EXPECT_EQ(ReadFile(f.list), afterSum);
    EXPECT_EQ(f.lottery.transformReferencePeriod, 1);
}

TEST(TotalFilter, ExhaustedUntilResetButAFailedFirstRunStaysPending)
{
    Fixture f(k115);
    TotalFilter filter(f.lottery);
    // Nothing survives the very first run: the next run enumerates again.
    EXPECT_EQ(filter.run(SumBetween(1, 2), f.list), 0);
    EXPECT_EQ(filter.state(), TotalFilter::State::Pending);
    EXPECT_FALSE(QFile::exists(f.list));
    EXPECT_EQ(filter.run(SumBetween(15, 15), f.list), 1);
    const QByteArray kept = ReadFile(f.list);

    // A narrowing run that leaves nothing rejects everything for good.
    EXPECT_EQ(filter.run(SumBetween(16, 60), f.list), 0);
    EXPECT_EQ(filter.state(), TotalFilter::State::Exhausted);
    EXPECT_EQ(f.lottery.ticketSet().aliveCount(), 0);
    EXPECT_EQ(filter.run(SumBetween(0, 100), f.list), 0);
    EXPECT_EQ(filter.state(), TotalFilter::State::Exhausted);
    EXPECT_EQ(ReadFile(f.list), kept); // the last list stays as it was

    filter.reset();
    EXPECT_TRUE(filter.enumerationPending());
    EXPECT_EQ(filter.run(SumBetween(0, 100), f.list), 462);
}

TEST(TotalFilter, CancelAndFailuresChangeNothing)
{
    Fixture f(k115);
    TotalFilter filter(f.lottery);
    ASSERT_GT(filter.run(SumBetween(15, 20), f.list), 0);
    const qint64 alive = f.lottery.ticketSet().aliveCount();
    const QByteArray list = ReadFile(f.list);

    std::atomic_bool cancel {true};
    Progress progress;
    progress.cancel = &cancel;
    EXPECT_EQ(filter.run(SumBetween(15, 15), f.list, progress), 0);
    EXPECT_EQ(filter.state(), TotalFilter::State::Narrowed);
    EXPECT_EQ(f.lottery.ticketSet().aliveCount(), alive);
    EXPECT_EQ(ReadFile(f.list), list);

    // A result list that cannot be written leaves the table as it was.
    EXPECT_THROW(filter.run(SumBetween(15, 15), f.home.path(QStringLiteral("no/such/dir/temp.txt"))), IoError);
    EXPECT_EQ(f.lottery.ticketSet().aliveCount(), alive);
    EXPECT_EQ(filter.state(), TotalFilter::State::Narrowed);
}

TEST(TotalFilter, FastIndicatorsAgreeWithTheDefinitions)
{
    // Explicit rows as a ticket file may hold them: unsorted, repeated and out-of-range numbers
    // among ordinary ones, tested one condition at a time against the shared indicators.
    const int n = 36;
    const int m = 7;
    const std::vector<int> latest = {2, 9, 17, 18, 25, 31, 36};
    RandomSource random(7);
    std::vector<qint16> numbers;
    const int rows = 4000;
    for (int r = 0; r < rows; ++r) {
        for (int k = 0; k < m; ++k) {
            int v = random.between(1, n);
            if (r % 50 == 0)
                v = random.between(-5, 99); // odd values in a file
            numbers.push_back(static_cast<qint16>(v));
        }
    }
    FilterInputs inputs;
    inputs.n = n;
    inputs.m = m;
    inputs.latestDraw = latest;

    struct Case {
        const char *name;
        std::optional<FilterBounds> TotalFilterConditions::*member;
        std::function<int(const int *)> reference;
        FilterBounds bounds;
    };
    const std::vector<Case> cases = {
        {"big", &TotalFilterConditions::big, [&](const int *d) { return BigCount(d, m, n, BigRule::TotalFilter); },
            {3, 4}},
        {"odd", &TotalFilterConditions::odd, [&](const int *d) { return OddCount(d, m); }, {2, 3}},
        {"sum", &TotalFilterConditions::sum, [&](const int *d) { return SumValue(d, m); }, {110, 150}},
        {"span", &TotalFilterConditions::span, [&](const int *d) { return SpanValue(d, m); }, {25, 31}},
        {"dispersion", &TotalFilterConditions::dispersion, [&](const int *d) { return DispersionValue(d, m, n); },
            {4, 6}},
        {"deviation", &TotalFilterConditions::deviation,
            [&](const int *d) { return DeviationValue(d, latest.data(), m); }, {2, 4}},
        {"ac", &TotalFilterConditions::ac, [&](const int *d) { return AcValue(d, m, n); }, {15, 18}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TicketSet set = TicketSet::fromRows(m, numbers);
        TotalFilterConditions conditions;
        conditions.*(c.member) = c.bounds;
        const auto alive = ApplyConditions(set, inputs, conditions, {});
        ASSERT_TRUE(alive.has_value());
        qint64 expected = 0;
        for (int r = 0; r < rows; ++r) {
            int d[m];
            set.numbers(r, d);
            const bool pass = c.bounds.contains(c.reference(d));
            expected += pass ? 1 : 0;
            ASSERT_EQ(set.state(r) == 0, pass) << "row " << r;
        }
        EXPECT_EQ(*alive, expected);
        EXPECT_GT(expected, 0);
        EXPECT_LT(expected, rows);
    }

    // The same on the complete lexicographic set, whose rows are known to be ascending.
    TicketSet all = TicketSet::lexicographic(16, 5);
    inputs.n = 16;
    inputs.m = 5;
    inputs.latestDraw = {1, 5, 9, 12, 16};
    TotalFilterConditions conditions;
    conditions.dispersion = FilterBounds {3, 4};
    conditions.deviation = FilterBounds {1, 2};
    ASSERT_TRUE(ApplyConditions(all, inputs, conditions, {}).has_value());
    all.forEach([&](qint64 row, const int *d) {
        const bool pass = conditions.dispersion->contains(DispersionValue(d, 5, 16))
            && conditions.deviation->contains(DeviationValue(d, inputs.latestDraw.data(), 5));
        ASSERT_EQ(all.state(row) == 0, pass) << "row " << row;
    });
}

TEST(TotalFilter, ChooserCountsStoredNumbersAndBankersCountPositions)
{
    FilterInputs inputs;
    inputs.n = 11;
    inputs.m = 3;
    // Loaded rows: a repeated number counts at each position.
    TicketSet set = TicketSet::fromRows(3, {1, 2, 3, 1, 1, 4, 5, 6, 7, 60, 1, 2});
    TotalFilterConditions c;
    c.banker = FilterBounds {2, 3};
    c.bankers = {1, 2, 1};
    ASSERT_EQ(ApplyConditions(set, inputs, c, {}), 3);
    EXPECT_EQ(set.state(2), 1);

    set = TicketSet::fromRows(3, {1, 2, 3, 1, 1, 4, 5, 6, 7, 60, 1, 2});
    TotalFilterConditions chooser;
    chooser.chooser = FilterBounds {3, 3};
    for (int v : {1, 2, 3, 4})
        chooser.balls[static_cast<std::size_t>(v)] = true;
    ASSERT_EQ(ApplyConditions(set, inputs, chooser, {}), 2); // 60 is no ball
    EXPECT_EQ(set.state(2), 1);
    EXPECT_EQ(set.state(3), 1);
}

TEST(TotalFilter, VariantTrendTestsVariantValuesButListsStoredNumbers)
{
    std::vector<std::vector<int>> draws;
    RandomSource random(3);
    for (int i = 0; i < 40; ++i) {
        std::vector<int> d;
        while (d.size() < 5) {
            const int v = random.between(1, 26);
            if (std::find(d.begin(), d.end(), v) == d.end())
                d.push_back(v);
        }
        draws.push_back(d);
    }
    Fixture f(k265, draws);
    std::vector<int> codes(26);
    std::iota(codes.begin(), codes.end(), 1);
    std::reverse(codes.begin(), codes.end());
    BuildVariantTrend(f.lottery, 9, codes);
    f.lottery.variantMode = true;
    f.lottery.transformReferencePeriod = 0; // something else moved it; a run sets it again

    TotalFilter filter(f.lottery);
    TotalFilterConditions c;
    c.sum = FilterBounds {20, 30};
    c.chooser = FilterBounds {0, 0};
    c.balls[26] = true; // the chooser looks at stored numbers
    const qint64 kept = filter.run(c, f.list);
    EXPECT_EQ(f.lottery.transformReferencePeriod, 40);

    qint64 expected = 0;
    QSet<QByteArray> wanted;
    TicketSet::lexicographic(26, 5).forEach([&](qint64, const int *d) {
        int w[5];
        for (int k = 0; k < 5; ++k)
            w[k] = VariantValue(f.lottery, d[k]);
        if (SumValue(w, 5) >= 20 && SumValue(w, 5) <= 30 && d[4] != 26) {
            ++expected;
            QByteArray line;
            for (int k = 0; k < 5; ++k)
                line += QByteArray::number(d[k]).rightJustified(2, '0') + ' ';
            wanted.insert(line);
        }
    });
    ASSERT_GT(expected, 0);
    EXPECT_EQ(kept, expected);
    for (const QByteArray &line : OutputLines(ReadFile(f.list)))
        EXPECT_TRUE(wanted.contains(line.mid(11).chopped(1))) << line.constData();

    // Saved tickets carry the stored numbers too.
    const QString saved = f.home.path(QStringLiteral("saved.txt"));
    EXPECT_EQ(WriteTicketFileFromMemo(saved, ReadFile(f.list), true), kept);
    const QByteArray first = OutputLines(ReadFile(saved)).front();
    EXPECT_TRUE(wanted.contains(first.chopped(1) + ' '));
}

TEST(TotalFilter, LoadingReplacesTheTable)
{
    Fixture f(k115);
    TotalFilter filter(f.lottery);
    const QString file = f.home.path(QStringLiteral("load.txt"));
    WriteFile(file, "01 02 03 04 05\r\n01 02 03 04 05\r\n07 08 09 10 11\r\n01 02 03 04 05\r\n");
    TotalFilter::LoadResult loaded = filter.load(file);
    EXPECT_EQ(filter.state(), TotalFilter::State::Loaded);
    EXPECT_EQ(loaded.tickets, 3);
    EXPECT_EQ(loaded.lines, 4);
    EXPECT_TRUE(loaded.balls[11]);
    EXPECT_FALSE(loaded.balls[6]);
    EXPECT_EQ(f.lottery.ticketSet().rowCount(), 3);

    // The loaded balls as chooser with bounds M to M keep every loaded ticket.
    TotalFilterConditions c;
    c.chooser = FilterBounds {5, 5};
    c.balls = loaded.balls;
    EXPECT_EQ(filter.run(c, f.list), 3);
    EXPECT_EQ(filter.state(), TotalFilter::State::Narrowed);

    // Saving right after a load writes the file's lines unchanged.
    const QString saved = f.home.path(QStringLiteral("saved.txt"));
    EXPECT_EQ(WriteTicketFileFromMemo(saved, loaded.content, false), 4);
    EXPECT_EQ(ReadFile(saved), ReadFile(file));

    // An empty file gives an empty table, and runs find nothing.
    WriteFile(file, QByteArray());
    EXPECT_EQ(filter.load(file).tickets, 0);
    EXPECT_EQ(filter.run(SumBetween(0, 100), f.list), 0);
    EXPECT_EQ(filter.state(), TotalFilter::State::Exhausted);

    // A bad slot or a missing file refuses the load and keeps the table.
    WriteFile(file, "01 02 03 04 05\r\n01 02 0x 04 05\r\n");
    EXPECT_THROW(filter.load(file), ConversionError);
    EXPECT_THROW(filter.load(f.home.path(QStringLiteral("missing.txt"))), IoError);
    EXPECT_EQ(filter.state(), TotalFilter::State::Exhausted);
    EXPECT_EQ(f.lottery.ticketSet().rowCount(), 0);
}

TEST(TotalFilter, LoadOverCapacityIsRefusedWhole)
{
    Fixture f(QStringLiteral("中国体彩22选5"));
    TotalFilter filter(f.lottery);
    ASSERT_GT(filter.run(SumBetween(15, 100), f.list), 0);
    const qint64 alive = f.lottery.ticketSet().aliveCount();
    // 1,200,001 tickets, no two neighbours equal.
    QByteArray content;
    content.reserve(16 * 1'200'001);
    for (qint64 i = 0; i <= TotalFilter::kMaxLoadedTickets; ++i)
        content += (i % 2 == 0) ? "01 02 03 04 05\r\n" : "01 02 03 04 06\r\n";
    const QString file = f.home.path(QStringLiteral("big.txt"));
    WriteFile(file, content);
    try {
        filter.load(file);
        FAIL();
    } catch (const InputError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("1200000"))) << error.message().toStdString();
    }
    EXPECT_EQ(filter.state(), TotalFilter::State::Narrowed);
    EXPECT_EQ(f.lottery.ticketSet().aliveCount(), alive);
    // Exactly at the capacity it loads.
    content.chop(16);
    WriteFile(file, content);
    EXPECT_EQ(filter.load(file).tickets, TotalFilter::kMaxLoadedTickets);
}

TEST(TotalFilter, LotteriesOutsideThreeToSevenNumbersAreRefused)
{
    TestHome home;
    LotteryDefinition digit;
    digit.name = QStringLiteral("排列三");
    digit.kind = LotteryKind::Digit;
    digit.n = 10;
    digit.m = 3;
    home.store().createLottery(digit);
    LotteryDefinition wide;
    wide.name = QStringLiteral("快乐8");
    wide.n = 40;
    wide.m = 8;
    home.store().createLottery(wide);
    for (const QString &name : {digit.name, wide.name}) {
        OpenLottery lottery;
        lottery.open(home.store(), name);
        TotalFilter filter(lottery);
        try {
            filter.run(SumBetween(0, 100), home.path(QStringLiteral("temp.txt")));
            FAIL();
        } catch (const InputError &error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("3到7个号码的乐透型彩票")));
        }
        EXPECT_FALSE(TotalFilterUnsupportedReason(lottery).isEmpty());
    }
}

TEST(TotalFilter, DeviationWithoutADrawIsHalfTheRoom)
{
    Fixture f(k115);
    TotalFilter filter(f.lottery);
    TotalFilterConditions c;
    c.deviation = FilterBounds {2, 3}; // (11 - 5) / 2 = 3
    EXPECT_EQ(filter.run(c, f.list), 462);
    filter.reset();
    c.deviation = FilterBounds {4, 6};
    EXPECT_EQ(filter.run(c, f.list), 0);
}

TEST(TotalFilterText, BankerTokensBoundsAndChecks)
{
    EXPECT_EQ(ParseBankerTokens(QStringLiteral(",1 ,2")), (std::vector<int> {1, 2}));
    EXPECT_EQ(ParseBankerTokens(QStringLiteral("  3   14 ,,27 ")), (std::vector<int> {3, 14, 27}));
    EXPECT_TRUE(ParseBankerTokens(QString()).empty());
    try {
        ParseBankerTokens(QStringLiteral("1,2"));
        FAIL();
    } catch (const ConversionError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("'1,2' 不是一个有效的整形值"));
    }
    EXPECT_THROW(ParseBankerTokens(QStringLiteral("1 x")), ConversionError);

    EXPECT_EQ(ParseBoundsText(QStringLiteral("3-5")).upper, 5);
    EXPECT_EQ(ParseBoundsText(QStringLiteral("7")).lower, 7);
    try {
        ParseBoundsText(QStringLiteral("10-x"));
        FAIL();
    } catch (const ConversionError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("'x' 不是一个有效的整形值"));
    }

    TotalFilterConditions c;
    EXPECT_EQ(CheckConditions(c, 36, 7), QStringLiteral("请选择过滤条件！"));
    c.banker = FilterBounds {2, 1};
    EXPECT_EQ(CheckConditions(c, 36, 7), QStringLiteral("请输入胆码以及最少中奖个数和最多中奖个数！"));
    c.bankers = {1};
    c.sum = FilterBounds {100, 90};
    EXPECT_EQ(CheckConditions(c, 36, 7), QStringLiteral("请前面组合框中的数值应该小于等于后面组合框中的数值！"));
    c.sum = FilterBounds {90, 100};
    EXPECT_EQ(CheckConditions(c, 36, 7), QStringLiteral("胆码前面的中奖个数应该小于等于后面的中奖个数！"));
    c.banker = FilterBounds {1, 1};
    c.chooser = FilterBounds {7, 7};
    EXPECT_EQ(CheckConditions(c, 36, 7), QStringLiteral("请点击你要选择的球号！"));
    for (int v = 1; v <= 6; ++v)
        c.balls[static_cast<std::size_t>(v)] = true;
    c.balls[40] = true; // beyond N: not counted
    EXPECT_EQ(CheckConditions(c, 36, 7), QStringLiteral("请至少选择7个球号！"));
    c.balls[7] = true;
    EXPECT_TRUE(CheckConditions(c, 36, 7).isEmpty());
}

TEST(TotalFilterText, ProposedNameTakesTheNextPeriod)
{
    Fixture f(QStringLiteral("南粤风采36选7"), {{1, 2, 3, 4, 5, 6, 7}});
    // The fixture's only draw is period 2006001.
    EXPECT_EQ(ProposedSaveName(f.lottery), QStringLiteral("南粤风采36选72006002期总体过滤投注号码.txt"));
}
