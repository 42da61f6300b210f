// Two-zone lotteries in the total filter, the intersection and the wheels: the front zone is
// filtered as a lotto of its own, the back zone joins as every K of the chosen back numbers.
#include "common/errors.h"
#include "common/random_source.h"
#include "data/combination.h"
#include "data/open_lottery.h"
#include "support/test_home.h"
#include "tickets/filter_set.h"
#include "tickets/intersection.h"
#include "tickets/survivor_look.h"
#include "tickets/ticket_file.h"
#include "tickets/total_filter.h"
#include "tickets/wheel_matrix.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace lumaro;
using lumaro::test::ReadFile;
using lumaro::test::TestHome;
using lumaro::test::WriteFile;

namespace {

// A small two-zone game: 4 of 12 in front, 2 of 5 behind (495 × 10 tickets).
const QString kSmall = QStringLiteral("小双区");
constexpr int kN = 12;
constexpr int kM = 4;
constexpr int kL = 5;
constexpr int kK = 2;

struct SmallGame {
    TestHome home;
    OpenLottery lottery;
    QString list;

    SmallGame()
    {
        LotteryDefinition d;
        d.name = kSmall;
        d.kind = LotteryKind::TwoZone;
        d.n = kN;
        d.m = kM;
        d.backN = kL;
        d.backM = kK;
        home.store().createLottery(d);
        DrawRow draw;
        draw.period = QStringLiteral("2024001");
        draw.numbers = {2, 5, 8, 11};
        draw.back = {1, 4};
        draw.date = QStringLiteral("2024-01-01");
        home.store().appendDraws(kSmall, {draw});
        lottery.open(home.store(), kSmall);
        list = home.path(QStringLiteral("temp.txt"));
    }
};

// Sum 18-28, one or two odd numbers, exactly one of the bankers 3 and 7.
TotalFilterConditions SomeConditions()
{
    TotalFilterConditions c;
    c.sum = FilterBounds {18, 28};
    c.odd = FilterBounds {1, 2};
    c.banker = FilterBounds {1, 1};
    c.bankers = {3, 7};
    return c;
}

bool PassesByHand(const std::vector<int> &front)
{
    int sum = 0;
    int odd = 0;
    int bankers = 0;
    for (int v : front) {
        sum += v;
        odd += v % 2;
        bankers += (v == 3 || v == 7) ? 1 : 0;
    }
    return sum >= 18 && sum <= 28 && odd >= 1 && odd <= 2 && bankers == 1;
}

// Every front set of the small game that passes, in lexicographic order.
std::vector<std::vector<int>> FrontsByHand()
{
    std::vector<std::vector<int>> out;
    for (int a = 1; a <= kN; ++a)
        for (int b = a + 1; b <= kN; ++b)
            for (int c = b + 1; c <= kN; ++c)
                for (int d = c + 1; d <= kN; ++d) {
                    const std::vector<int> front {a, b, c, d};
                    if (PassesByHand(front))
                        out.push_back(front);
                }
    return out;
}

QByteArray Line(const std::vector<int> &front, const std::vector<int> &back)
{
    return TwoZoneTicketLine(front.data(), int(front.size()), back.data(), int(back.size()));
}

BackChoice Choice(std::vector<int> numbers)
{
    return BackChoice {kL, kK, std::move(numbers)};
}

} // namespace

TEST(TwoZoneFilter, SurvivorsTimesBackSetsAgreeWithABruteForceCount)
{
    SmallGame g;
    TotalFilter filter(g.lottery);
    TotalFilter::Job job = filter.prepare(SomeConditions(), g.list, Choice({1, 3, 4}));
    TotalFilter::execute(job);
    filter.finish(job);
    ASSERT_FALSE(job.error);

    const std::vector<std::vector<int>> fronts = FrontsByHand();
    ASSERT_GT(fronts.size(), 10u);
    EXPECT_EQ(job.survivors, qint64(fronts.size()));
    EXPECT_EQ(job.ticketCount, qint64(fronts.size()) * 3);
    EXPECT_EQ(job.listed, job.ticketCount);

    // The list: every front set, with 01 03, 01 04, 03 04 in turn.
    QByteArray expected;
    qint64 serial = 0;
    for (const std::vector<int> &front : fronts) {
        for (const std::vector<int> &back : {std::vector<int> {1, 3}, {1, 4}, {3, 4}})
            expected += TwoZoneResultListLine(++serial, front.data(), kM, back.data(), kK);
    }
    EXPECT_EQ(ReadFile(g.list), expected);
    EXPECT_TRUE(expected.startsWith("0000001    "));
    EXPECT_TRUE(expected.contains(" + 01 03 \r\n"));

    // Saved: every ticket as a two-zone ticket file line.
    const QString saved = g.home.path(QStringLiteral("saved.txt"));
    EXPECT_EQ(filter.writeTwoZoneTickets(saved), job.ticketCount);
    const QByteArray file = ReadFile(saved);
    const QByteArray firstTwo = Line(fronts.front(), {1, 3}) + "\r\n" + Line(fronts.front(), {1, 4}) + "\r\n";
    EXPECT_TRUE(file.startsWith(firstTwo));
    EXPECT_EQ(file.count('\n'), job.ticketCount);

    // The count line with its split.
    EXPECT_EQ(filter_text::TwoZoneResultCount(job.survivors, 3),
        QStringLiteral("过滤结果：%1注（前区%2注 × 后区3注）").arg(fronts.size() * 3).arg(fronts.size()));
}

TEST(TwoZoneFilter, DefaultIsEveryBackNumberAndTooFewAreRefused)
{
    SmallGame g;
    TotalFilter filter(g.lottery);
    EXPECT_EQ(filter.run(SomeConditions(), g.list), qint64(FrontsByHand().size()));
    EXPECT_EQ(filter.back().numbers, (std::vector<int> {1, 2, 3, 4, 5}));
    EXPECT_EQ(filter.twoZoneRows().setCount(), Choose(kL, kK));
    EXPECT_EQ(ReadFile(g.list).count('\n'), qint64(FrontsByHand().size()) * 10);

    filter.reset();
    try {
        filter.prepare(SomeConditions(), g.list, Choice({4}));
        FAIL() << "one back number is fewer than two";
    } catch (const InputError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("请至少选择2个后区号码（现在选了1个）！"));
    }
    EXPECT_THROW(filter.prepare(SomeConditions(), g.list, Choice({1, 6})), InputError);
    EXPECT_TRUE(filter.enumerationPending());

    // The typed form: blanks or commas, any order; out of range, repeated or garbled refused.
    EXPECT_EQ(ParseBackChoice(QStringLiteral(" 05,02  3"), kL, kK).numbers, (std::vector<int> {2, 3, 5}));
    EXPECT_THROW(ParseBackChoice(QStringLiteral("1 1 2"), kL, kK), InputError);
    EXPECT_THROW(ParseBackChoice(QStringLiteral("0 2"), kL, kK), InputError);
    EXPECT_THROW(ParseBackChoice(QStringLiteral("1 x"), kL, kK), ConversionError);
    EXPECT_THROW(ParseBackChoice(QString(), kL, kK), InputError);
}

TEST(TwoZoneFilter, LoadedLinesAreJudgedByTheirFrontAndKeepTheirBack)
{
    SmallGame g;
    const std::vector<std::vector<int>> fronts = FrontsByHand();
    const std::vector<int> failing {1, 2, 4, 6}; // no banker
    ASSERT_FALSE(PassesByHand(failing));
    const QString file = g.home.path(QStringLiteral("load.txt"));
    WriteFile(file,
        Line(fronts[0], {2, 5}) + "\r\n" + Line(failing, {1, 2}) + "\r\n" + Line(fronts[1], {1, 5}) + "\r\n"
            + Line(fronts[2], {3, 4}) + "\r\n");
    TotalFilter filter(g.lottery);
    const TotalFilter::LoadResult loaded = filter.load(file);
    EXPECT_EQ(loaded.tickets, 4);
    EXPECT_EQ(filter.state(), TotalFilter::State::Loaded);
    EXPECT_TRUE(loaded.balls[static_cast<std::size_t>(fronts[0][0])]);

    // Back numbers 1 2 5 chosen: the line with 3 4 behind goes, and so does the failing front.
    TotalFilter::Job job = filter.prepare(SomeConditions(), g.list, Choice({1, 2, 5}));
    TotalFilter::execute(job);
    filter.finish(job);
    ASSERT_FALSE(job.error);
    EXPECT_EQ(job.survivors, 2);
    EXPECT_EQ(job.ticketCount, 2);
    const QByteArray list = ReadFile(g.list);
    EXPECT_EQ(list,
        TwoZoneResultListLine(1, fronts[0].data(), kM, std::vector<int> {2, 5}.data(), kK)
            + TwoZoneResultListLine(2, fronts[1].data(), kM, std::vector<int> {1, 5}.data(), kK));

    // The look reads the front numbers only.
    FilterInputs inputs = FilterInputs::fromLottery(g.lottery);
    const std::optional<SurvivorLook> look = LookAtSurvivors(g.lottery.ticketSet(), inputs);
    ASSERT_TRUE(look);
    EXPECT_EQ(look->survivors, 2);
    const std::vector<qint64> &sums = look->of(LookIndicator::Sum);
    const int sum0 = fronts[0][0] + fronts[0][1] + fronts[0][2] + fronts[0][3];
    ASSERT_GT(int(sums.size()), sum0);
    EXPECT_GE(sums[static_cast<std::size_t>(sum0)], 1);
}

TEST(TwoZoneFilter, WrongShapedLoadsAreRefusedWithTheirLineAndChangeNothing)
{
    SmallGame g;
    TotalFilter filter(g.lottery);
    const QString file = g.home.path(QStringLiteral("bad.txt"));
    for (const QByteArray &bad :
        {QByteArray("01 02 03 04 05 06\r\n"), QByteArray("01 02 03 + 04 05\r\n"), QByteArray("01 02 03 04 + 05\r\n"),
            QByteArray("01 02 03 04 + 01 + 02\r\n"), QByteArray("01 02 03 04 + 0x 02\r\n"),
            // A long number is refused as garbage, never read past an int.
            QByteArray("01 02 03 04 + 61111111071111111111 02\r\n")}) {
        WriteFile(file, "01 02 03 04 + 01 02\r\n" + bad);
        try {
            filter.load(file);
            FAIL() << bad.constData();
        } catch (const ConversionError &e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("文件bad.txt第2行："))) << e.message().toStdString();
        }
        EXPECT_EQ(filter.state(), TotalFilter::State::Pending);
    }
}

TEST(TwoZoneFilter, PickDrawsDistinctTicketsOfTheResult)
{
    SmallGame g;
    TotalFilter filter(g.lottery);
    filter.run(SomeConditions(), g.list, {}, Choice({1, 2, 3}));
    const TwoZoneRows rows = filter.twoZoneRows();
    const qint64 total = g.lottery.ticketSet().aliveCount() * 3;
    RandomSource random(5);
    const TicketSet all = PickTwoZoneTickets(g.lottery.ticketSet(), rows, total, random);
    ASSERT_EQ(all.rowCount(), total);
    // Drawing every ticket gives each one once: the result list's tickets in its order.
    QByteArray lines;
    std::vector<int> numbers(kM + kK);
    for (qint64 r = 0; r < all.rowCount(); ++r) {
        all.numbers(r, numbers.data());
        lines += TwoZoneResultListLine(r + 1, numbers.data(), kM, numbers.data() + kM, kK);
    }
    EXPECT_EQ(lines, ReadFile(g.list));
    RandomSource again(5);
    EXPECT_THROW(PickTwoZoneTickets(g.lottery.ticketSet(), rows, total + 1, again), InputError);
}

TEST(TwoZoneTicketFiles, WritersCapTheListAndKeepTheLineForms)
{
    const int front[] = {1, 2, 3, 4, 5};
    const int back[] = {6, 7};
    EXPECT_EQ(TwoZoneResultListLine(1, front, 5, back, 2), QByteArray("0000001    01 02 03 04 05 + 06 07 \r\n"));
    // A result list line saved from the memo becomes the ticket file line.
    EXPECT_EQ(TicketFileFromMemo({QString::fromLatin1(TwoZoneResultListLine(3, front, 5, back, 2))}, true),
        TwoZoneTicketLine(front, 5, back, 2) + "\r\n");

    TestHome home;
    const TicketSet fronts = TicketSet::lexicographic(6, 3); // 20 rows
    const TwoZoneRows rows {3, 1, {2, 4}};
    const QString path = home.path(QStringLiteral("list.txt"));
    EXPECT_EQ(WriteTwoZoneResultList(path, fronts, rows, {}, 7), 7);
    const QByteArray list = ReadFile(path);
    EXPECT_EQ(list.count('\n'), 7);
    EXPECT_TRUE(list.startsWith("0000001    01 02 03 + 02 \r\n0000002    01 02 03 + 04 \r\n"));
    EXPECT_EQ(WriteTwoZoneResultList(path, fronts, rows), 40);
    // A table whose rows do not fit the zones is refused rather than written wrong.
    EXPECT_THROW(WriteTwoZoneTicketFile(path, fronts, TwoZoneRows {3, 1, {}}), InputError);

    // A cancel leaves no file behind.
    const QString cancelled = home.path(QStringLiteral("cancelled.txt"));
    std::atomic_bool stop {true};
    Progress progress;
    progress.cancel = &stop;
    EXPECT_EQ(WriteTwoZoneTicketFile(cancelled, fronts, rows, progress), 0);
    EXPECT_FALSE(QFile::exists(cancelled));
}

TEST(TwoZoneFilterSet, BackChoiceIsStoredAndOldFilesStillRead)
{
    FilterSet set;
    set.conditions = SomeConditions();
    set.backNumbers = {1, 3, 4};
    const QByteArray text = FilterSetText(set);
    EXPECT_TRUE(text.contains(QStringLiteral("后区号码 = 01 03 04").toUtf8()));
    EXPECT_EQ(ParseFilterSet(text, kN, kM, kL, kK), set);

    // A file without the key: every back number; a one-zone lottery reads old files as before.
    FilterSet old;
    old.conditions = SomeConditions();
    EXPECT_TRUE(ParseFilterSet(FilterSetText(old), kN, kM, kL, kK).backNumbers.empty());
    EXPECT_EQ(ParseFilterSet(FilterSetText(old), kN, kM), old);

    const auto refusal = [&](const QByteArray &line, int backN, int backM) {
        try {
            ParseFilterSet(FilterSetText(old) + line, kN, kM, backN, backM);
        } catch (const InputError &e) {
            return e.message();
        }
        return QString();
    };
    const QByteArray one = QStringLiteral("后区号码 = 01\n").toUtf8();
    EXPECT_TRUE(refusal(one, kL, kK).contains(QStringLiteral("请至少选择2个后区号码")));
    EXPECT_TRUE(
        refusal(QStringLiteral("后区号码 = 01 09\n").toUtf8(), kL, kK).contains(QStringLiteral("不在1到5之间")));
    EXPECT_TRUE(refusal(QStringLiteral("后区号码 = 01 02\n").toUtf8(), 0, 0).contains(QStringLiteral("没有后区")));
}

TEST(TwoZoneIntersection, PairsAreCountedAcrossFilesWithTolerance)
{
    CombinationTable table(LotteryKind::Lotto, kN, kM, kL, kK);
    EXPECT_TRUE(table.twoZone());
    EXPECT_EQ(table.size(), Choose(kN, kM) * Choose(kL, kK));
    TestHome home;
    const QString a = home.path(QStringLiteral("a.txt"));
    const QString b = home.path(QStringLiteral("b.txt"));
    const QString c = home.path(QStringLiteral("c.txt"));
    // The same front with another back is another ticket; a back written out of order is the
    // same set; a result list line's serial is passed over.
    WriteFile(a, "01 02 03 04 + 01 02\r\n01 02 03 04 + 01 03\r\n05 06 07 08 + 04 05\r\n");
    WriteFile(b, "0000001    01 02 03 04 + 02 01 \r\n05 06 07 08 + 04 05\r\n09 10 11 12 + 01 05\r\n");
    WriteFile(c, "01 02 03 04 + 01 02\r\n\r\n05 06 07 08 + 03 05\r\n");
    IntersectionSettings settings;
    settings.files = {a, b, c};
    IntersectionResult all = RunIntersection(table, settings);
    ASSERT_EQ(all.tickets.rowCount(), 1);
    EXPECT_TRUE(all.skipped.empty());
    std::vector<int> row(kM + kK);
    all.tickets.numbers(0, row.data());
    EXPECT_EQ(row, (std::vector<int> {1, 2, 3, 4, 1, 2}));

    // In two of the three: 05 06 07 08 + 04 05 joins, in the order of front then back.
    settings.upperTolerance = 1;
    settings.lowerTolerance = 1;
    const IntersectionResult two = RunIntersection(table, settings);
    ASSERT_EQ(two.tickets.rowCount(), 1);
    two.tickets.numbers(0, row.data());
    EXPECT_EQ(row, (std::vector<int> {5, 6, 7, 8, 4, 5}));

    // Written as two-zone lines.
    const QString out = home.path(QStringLiteral("out.txt"));
    WriteTwoZoneTicketFile(out, all.tickets, TwoZoneRows {kM, kK, {}});
    EXPECT_EQ(ReadFile(out), QByteArray("01 02 03 04 + 01 02\r\n"));
}

TEST(TwoZoneIntersection, WrongShapedLinesAreSkippedAndReported)
{
    CombinationTable table(LotteryKind::Lotto, kN, kM, kL, kK);
    SkippedLines skipped;
    table.addContent(QByteArray("01 02 03 04 + 01 02\n"
                                "01 02 03 04 01 02\n" // no "+"
                                "01 02 03 + 01 02\n" // three in front
                                "01 02 03 04 + 01\n" // one behind
                                "01 02 03 04 + 01 06\n" // back beyond 5
                                "01 02 03 04 + 02 02\n" // back twice
                                "04 03 02 01 + 01 02\n" // front not ascending
                                "01 02 03 04 + 01 + 02\n" // two "+"
                                "01 02 03 04 + 03 05\n"),
        QStringLiteral("x.txt"), skipped);
    EXPECT_EQ(skipped.lines, 7);
    EXPECT_EQ(skipped.firstLine, 2);
    const TicketSet both = table.select(1, 1);
    EXPECT_EQ(both.rowCount(), 2);
    const QString message = SkippedLinesMessage({skipped}, kN, kM, kL, kK);
    EXPECT_TRUE(
        message.contains(QStringLiteral("前区4个1到12之间从小到大排列的不同号码、“+”、后区2个1到5之间的不同号码")));
    EXPECT_TRUE(message.contains(QStringLiteral("x.txt：7行，第一处在第2行")));

    // A token that is no whole number is refused as in a one-zone file.
    EXPECT_THROW(
        table.addContent(QByteArray("01 02 03 04 + 0a 02\n"), QStringLiteral("y.txt"), skipped), ConversionError);

    // Saving a list: the ticket lines kept, others counted.
    QByteArray listText("0000001    01 02 03 04 + 01 02 \r\nnonsense\r\n01 02 03 04 + 05 03\r\n");
    QBuffer list(&listText);
    list.open(QIODevice::ReadOnly);
    TestHome home;
    const QString saved = home.path(QStringLiteral("saved.txt"));
    EXPECT_EQ(WriteTicketFileFromList(saved, list, kN, kM, skipped, kL, kK), 2);
    EXPECT_EQ(skipped.lines, 1);
    EXPECT_EQ(ReadFile(saved), QByteArray("01 02 03 04 + 01 02\r\n01 02 03 04 + 03 05\r\n"));
}

TEST(TwoZoneRoundTrip, FilterSaveLoadAndIntersectAgree)
{
    SmallGame g;
    TotalFilter first(g.lottery);
    TotalFilterConditions c = SomeConditions();
    first.run(c, g.list, {}, Choice({1, 2, 5}));
    const QString a = g.home.path(QStringLiteral("a.txt"));
    const qint64 written = first.writeTwoZoneTickets(a);
    EXPECT_EQ(written, qint64(FrontsByHand().size()) * 3);

    // Loaded again and narrowed by a further condition with fewer back numbers.
    TotalFilter second(g.lottery);
    EXPECT_EQ(second.load(a).tickets, written);
    TotalFilterConditions more;
    more.span = FilterBounds {0, 8};
    TotalFilter::Job job = second.prepare(more, g.list, Choice({1, 2}));
    TotalFilter::execute(job);
    second.finish(job);
    ASSERT_FALSE(job.error);
    const QString b = g.home.path(QStringLiteral("b.txt"));
    EXPECT_EQ(second.writeTwoZoneTickets(b), job.ticketCount);

    // Every ticket of b is in a: the intersection of the two is b.
    CombinationTable table(LotteryKind::Lotto, kN, kM, kL, kK);
    IntersectionSettings settings;
    settings.files = {a, b};
    const IntersectionResult result = RunIntersection(table, settings);
    const QString out = g.home.path(QStringLiteral("out.txt"));
    WriteTwoZoneTicketFile(out, result.tickets, TwoZoneRows {kM, kK, {}});
    EXPECT_EQ(ReadFile(out), ReadFile(b));
    EXPECT_GT(result.tickets.rowCount(), 0);
    for (const QByteArray &line : ReadFile(b).split('\n')) {
        if (!line.isEmpty()) {
            EXPECT_TRUE(line.endsWith("+ 01 02\r")) << line.constData();
        }
    }
}

TEST(TwoZoneWheel, EveryWheelTicketTakesEveryBackSet)
{
    const std::vector<std::vector<int>> wheel {{1, 2, 3}, {4, 5, 6}};
    const std::vector<std::vector<int>> rows = CombineWithBackSets(wheel, Choice({1, 3, 5}).sets(), 2);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], (std::vector<int> {1, 2, 3, 1, 3}));
    EXPECT_EQ(rows[2], (std::vector<int> {1, 2, 3, 3, 5}));
    EXPECT_EQ(rows[3], (std::vector<int> {4, 5, 6, 1, 3}));
    EXPECT_TRUE(WheelTwoZoneTicketText(rows, 3).startsWith("01 02 03 + 01 03\r\n01 02 03 + 01 05\r\n"));
    // Too many tickets are refused rather than built.
    const std::vector<std::vector<int>> big(kWheelMaxTwoZoneTickets / 10 + 1, std::vector<int> {1, 2, 3});
    EXPECT_THROW(CombineWithBackSets(big, BackChoice::all(5, 2).sets(), 2), InputError);
}
