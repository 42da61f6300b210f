#include "analysis/indicators.h"
#include "common/errors.h"
#include "common/random_source.h"
#include "data/combination.h"
#include "data/open_lottery.h"
#include "support/test_home.h"
#include "tickets/filter_history_check.h"
#include "tickets/ticket_tester.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace lumaro;
using lumaro::test::TestHome;

namespace {

constexpr int kN = 12;
constexpr int kM = 4;

// Which conditions one ticket meets, from the indicator functions themselves: the chooser on
// the numbers as stored, the rest on the (variant) values, the deviation against previous
// (nullptr: no previous draw).
std::array<bool, kFilterConditionCount> Holds(
    const int *ticket, const int *previous, const std::vector<int> &variant, const TotalFilterConditions &c)
{
    std::vector<int> w(ticket, ticket + kM);
    if (!variant.empty()) {
        for (int &v : w)
            v = variant[static_cast<std::size_t>(v)];
    }
    const auto in = [](const std::optional<FilterBounds> &b, double value) {
        return !b || (b->lower <= value && value <= b->upper);
    };
    int balls = 0;
    int bankers = 0;
    for (int j = 0; j < kM; ++j) {
        balls += c.balls[static_cast<std::size_t>(ticket[j])] ? 1 : 0;
        bankers += std::count(c.bankers.begin(), c.bankers.end(), w[static_cast<std::size_t>(j)]) > 0 ? 1 : 0;
    }
    const double deviation = previous ? DeviationValue(w.data(), previous, kM) : DeviationWithoutPrevious(kN, kM);
    return {in(c.big, BigCount(w.data(), kM, kN, BigRule::TotalFilter)), in(c.odd, OddCount(w.data(), kM)),
        in(c.sum, SumValue(w.data(), kM)), in(c.span, SpanValue(w.data(), kM)),
        in(c.dispersion, DispersionValue(w.data(), kM, kN)), in(c.deviation, deviation),
        in(c.ac, AcValue(w.data(), kM, kN)), in(c.chooser, balls), in(c.banker, bankers)};
}

void Tally(PassCounts &counts, const std::array<bool, kFilterConditionCount> &holds)
{
    ++counts.judged;
    counts.passing.resize(holds.size());
    if (std::all_of(holds.begin(), holds.end(), [](bool h) { return h; }))
        ++counts.passingAll;
    for (std::size_t i = 0; i < holds.size(); ++i)
        counts.passing[i] += holds[i] ? 1 : 0;
}

void ExpectSame(const PassCounts &got, const PassCounts &want, const char *what)
{
    EXPECT_EQ(got.judged, want.judged) << what;
    EXPECT_EQ(got.passingAll, want.passingAll) << what;
    for (int i = 0; i < kFilterConditionCount; ++i)
        EXPECT_EQ(got.passing[static_cast<std::size_t>(i)], want.passing[static_cast<std::size_t>(i)])
            << what << " condition " << i;
}

TotalFilterConditions AllNine()
{
    TotalFilterConditions c;
    c.big = FilterBounds {1, 3};
    c.odd = FilterBounds {1, 3};
    c.sum = FilterBounds {18, 32};
    c.span = FilterBounds {6, 10};
    c.dispersion = FilterBounds {2, 3};
    c.deviation = FilterBounds {1, 2};
    c.ac = FilterBounds {4, 6};
    for (int b : {1, 2, 3, 5, 8, 9, 11})
        c.balls[static_cast<std::size_t>(b)] = true;
    c.chooser = FilterBounds {1, 3};
    c.bankers = {2, 7, 10};
    c.banker = FilterBounds {0, 1};
    return c;
}

// Forty draws of 12 choose 4 in drawn (unsorted) order.
HistoryCheckInputs RandomGame(bool variant)
{
    HistoryCheckInputs inputs;
    inputs.filter.n = kN;
    inputs.filter.m = kM;
    RandomSource random(20260611);
    for (int d = 0; d < 40; ++d) {
        std::vector<int> pool(kN);
        std::iota(pool.begin(), pool.end(), 1);
        for (int j = 0; j < kM; ++j) {
            std::swap(pool[static_cast<std::size_t>(j)], pool[static_cast<std::size_t>(j + random.below(kN - j))]);
            inputs.draws.push_back(pool[static_cast<std::size_t>(j)]);
        }
    }
    inputs.filter.latestDraw.assign(inputs.draws.end() - kM, inputs.draws.end());
    if (variant) {
        inputs.filter.variantValue.assign(kN + 1, 0);
        const int order[kN] = {7, 3, 12, 1, 9, 5, 11, 2, 8, 6, 10, 4};
        for (int v = 1; v <= kN; ++v)
            inputs.filter.variantValue[static_cast<std::size_t>(v)] = order[v - 1];
    }
    return inputs;
}

} // namespace

TEST(FilterHistoryCheck, CountsMatchAPlainCountInBothTrends)
{
    for (const bool variant : {false, true}) {
        const HistoryCheckInputs inputs = RandomGame(variant);
        // Two deviation ranges: the first draw ((12 - 4) / 2 = 4 without a previous draw) fails
        // the first and meets the second.
        for (const FilterBounds &deviation : {FilterBounds {1, 2}, FilterBounds {2, 4}}) {
            TotalFilterConditions c = AllNine();
            c.deviation = deviation;
            const std::string what = std::string(variant ? "variant" : "standard") + " deviation "
                + std::to_string(deviation.lower) + '-' + std::to_string(deviation.upper);

            PassCounts draws;
            for (int d = 0; d < inputs.drawCount(); ++d) {
                const int *draw = inputs.draws.data() + d * kM;
                Tally(draws, Holds(draw, d > 0 ? draw - kM : nullptr, inputs.filter.variantValue, c));
            }
            PassCounts tickets;
            int t[kM] = {1, 2, 3, 4};
            do {
                Tally(tickets, Holds(t, inputs.filter.latestDraw.data(), inputs.filter.variantValue, c));
            } while (NextCombination(t, kN, kM));
            ASSERT_EQ(tickets.judged, Choose(kN, kM));
            // The conditions cut something and leave something, alone and together.
            EXPECT_GT(draws.passingAll, 0) << what;
            ASSERT_GT(tickets.passingAll, 0) << what;
            for (qint64 alone : tickets.passing) {
                EXPECT_GT(alone, tickets.passingAll) << what;
                EXPECT_LT(alone, tickets.judged) << what;
            }

            ExpectSame(*JudgeDraws(inputs, c), draws, (what + " draws").c_str());
            ExpectSame(*CountPassingTickets(inputs.filter, c), tickets, (what + " tickets").c_str());

            const HistoryCheckResult result = *RunHistoryCheck(inputs, c);
            EXPECT_EQ(result.all.drawsJudged, 40);
            EXPECT_EQ(result.all.drawsPassing, draws.passingAll);
            EXPECT_EQ(result.all.tickets, Choose(kN, kM));
            EXPECT_EQ(result.all.ticketsPassing, tickets.passingAll);
            EXPECT_DOUBLE_EQ(*result.all.ratio(),
                (double(draws.passingAll) / 40) / (double(tickets.passingAll) / double(tickets.judged)));
            ASSERT_EQ(result.conditions.size(), std::size_t(kFilterConditionCount));
            for (int i = 0; i < kFilterConditionCount; ++i) {
                const auto &[condition, f] = result.conditions[static_cast<std::size_t>(i)];
                EXPECT_EQ(condition, static_cast<FilterCondition>(i));
                EXPECT_EQ(f.drawsPassing, draws.passing[static_cast<std::size_t>(i)]) << what << ' ' << i;
                EXPECT_EQ(f.ticketsPassing, tickets.passing[static_cast<std::size_t>(i)]) << what << ' ' << i;
            }
        }
    }
}

TEST(FilterHistoryCheck, EachDrawsDeviationIsAgainstTheDrawBefore)
{
    HistoryCheckInputs inputs;
    inputs.filter.n = kN;
    inputs.filter.m = kM;
    inputs.draws = {1, 2, 3, 4, 12, 1, 2, 3, 5, 6, 7, 8};
    inputs.filter.latestDraw = {5, 6, 7, 8};
    TotalFilterConditions c;
    // 12 is 8 from the nearest number of 1 2 3 4; the first draw counts (12 - 4) / 2 = 4; the
    // third is at most 4 from 12 1 2 3; no ticket is 8 from 5 6 7 8.
    c.deviation = FilterBounds {8, 8};
    HistoryCheckResult result = *RunHistoryCheck(inputs, c);
    EXPECT_EQ(result.all.drawsJudged, 3);
    EXPECT_EQ(result.all.drawsPassing, 1);
    EXPECT_EQ(result.all.ticketsPassing, 0);
    EXPECT_FALSE(result.all.ratio());
    ASSERT_EQ(result.conditions.size(), 1u);
    EXPECT_EQ(result.conditions[0].first, FilterCondition::Deviation);
    EXPECT_EQ(HistoryCheckLines(result, c),
        QStringList(
            {QStringLiteral("历史验证：判断3期开奖号码，全部条件都通过的有1期，占33.3%；全部投注号码中通过的占0.0%"
                            "；没有投注号码通过全部条件，两者之比无从计算"),
                QStringLiteral("  偏度 8-8：开奖号码通过1期（33.3%），投注号码通过0.0%，没有投注号码通过，无从比较")}));

    // 4-4: the first draw by the rule of a draw without a previous one, and the third.
    c.deviation = FilterBounds {4, 4};
    result = *RunHistoryCheck(inputs, c);
    EXPECT_EQ(result.all.drawsPassing, 2);
    EXPECT_GT(result.all.ticketsPassing, 0);
}

TEST(FilterHistoryCheck, LinesNameEachConditionWithItsRange)
{
    TotalFilterConditions c;
    c.sum = FilterBounds {98, 126};
    c.balls[3] = c.balls[9] = c.balls[20] = true;
    c.chooser = FilterBounds {1, 2};
    c.bankers = {3, 12, 25};
    c.banker = FilterBounds {1, 2};
    HistoryCheckResult result;
    result.all = {2921, 1234, 8347680, 2930036};
    result.conditions = {{FilterCondition::Sum, {2921, 1402, 8347680, 3447592}},
        {FilterCondition::Chooser, {2921, 7, 8347680, 100}}, {FilterCondition::Banker, {2921, 0, 8347680, 0}}};
    const QStringList lines = HistoryCheckLines(result, c);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0],
        QStringLiteral("历史验证：判断2921期开奖号码，全部条件都通过的有1234期，占42.2%；全部投注号码中通过的占35.1%；"
                       "两者之比1.20"));
    EXPECT_EQ(lines[1], QStringLiteral("  和值 98-126：开奖号码通过1402期（48.0%），投注号码通过41.3%，之比1.16"));
    // Small shares keep two significant digits.
    EXPECT_EQ(
        lines[2], QStringLiteral("  选择球号（3个）中1-2：开奖号码通过7期（0.24%），投注号码通过0.0012%，之比200.05"));
    EXPECT_EQ(lines[3],
        QStringLiteral("  胆码 3 12 25 中1-2：开奖号码通过0期（0.0%），投注号码通过0.0%，没有投注号码通过，无从比较"));

    EXPECT_EQ(ShareText(0.0096), QStringLiteral("0.96%"));
    EXPECT_EQ(ShareText(1.0), QStringLiteral("100.0%"));
    EXPECT_EQ(ShareText(1.0 / 8347680), QStringLiteral("0.000012%"));
}

TEST(FilterHistoryCheck, InputsComeFromTheOpenLotteryAndAStopEndsTheCheck)
{
    TestHome home;
    const QString name = QStringLiteral("南粤风采26选5");
    OpenLottery lottery;
    lottery.open(home.store(), name);
    try {
        HistoryCheckInputs::fromLottery(lottery);
        ADD_FAILURE() << "a lottery without draws was judged";
    } catch (const InputError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("《南粤风采26选5》还没有开奖号码，无法进行历史验证！"));
    }

    std::vector<DrawRow> rows(2);
    rows[0].period = QStringLiteral("2006001");
    rows[0].numbers = {26, 3, 14, 9, 20};
    rows[1].period = QStringLiteral("2006002");
    rows[1].numbers = {5, 1, 2, 22, 17};
    for (DrawRow &row : rows)
        row.date = QStringLiteral("2006-01-01");
    home.store().appendDraws(name, rows);
    lottery.open(home.store(), name);
    const HistoryCheckInputs inputs = HistoryCheckInputs::fromLottery(lottery);
    EXPECT_EQ(inputs.drawCount(), 2);
    EXPECT_EQ(inputs.draws, std::vector<int>({26, 3, 14, 9, 20, 5, 1, 2, 22, 17}));
    EXPECT_EQ(inputs.filter.latestDraw, std::vector<int>({5, 1, 2, 22, 17}));

    TotalFilterConditions c;
    c.odd = FilterBounds {3, 3};
    std::atomic_bool cancel {true};
    EXPECT_FALSE(RunHistoryCheck(inputs, c, Progress {nullptr, &cancel}));
    cancel = false;
    qint64 last = 0;
    qint64 total = 0;
    const Progress progress {[&](qint64 done, qint64 of) {
                                 EXPECT_GE(done, last);
                                 last = done;
                                 total = of;
                             },
        &cancel};
    const HistoryCheckResult result = *RunHistoryCheck(inputs, c, progress);
    // One scale over the draws and the tickets, ending full.
    EXPECT_EQ(total, 2 + Choose(26, 5));
    EXPECT_EQ(last, total);
    EXPECT_EQ(result.all.drawsPassing, 1); // 26 3 14 9 20 has two odd numbers, 5 1 2 22 17 three
}

// The pass over all tickets reuses the work of the first M - 1 numbers; it must judge every
// ticket as the ticket-by-ticket test does, with or without a latest draw.
TEST(FilterHistoryCheck, SharedPrefixJudgesAsEachTicketAlone)
{
    RandomSource random(77);
    for (const int n : {12, 20, 36}) {
        const int m = n == 12 ? 4 : (n == 20 ? 5 : 7);
        for (int round = 0; round < 6; ++round) {
            FilterInputs inputs;
            inputs.n = n;
            inputs.m = m;
            if (round % 2 == 0) {
                for (int j = 0; j < m; ++j)
                    inputs.latestDraw.push_back(random.between(1, n));
            }
            TotalFilterConditions c;
            const auto bounds = [&](int lo, int hi) {
                const int a = random.between(lo, hi);
                return FilterBounds {a, a + random.between(0, (hi - lo) / 2)};
            };
            c.big = bounds(0, m);
            c.odd = bounds(0, m);
            c.sum = bounds(m * (m + 1) / 2, m * n - m * (m - 1) / 2);
            c.span = bounds(m - 1, n - 1);
            c.dispersion = bounds(0, n / 2);
            c.deviation = bounds(0, n / 2);
            c.ac = bounds(0, m * (m - 1) / 2);
            for (int b = 1; b <= n; ++b)
                c.balls[static_cast<std::size_t>(b)] = random.below(2) == 1;
            c.chooser = bounds(0, m);
            c.bankers = {random.between(1, n), random.between(1, n), 70};
            c.banker = bounds(0, 2);
            const TicketTester tester(inputs, c, true);
            ASSERT_TRUE(tester.prefixServes());
            const TicketSet tickets = TicketSet::lexicographic(n, m);
            // Every ticket of the small games, a stretch of the large one.
            const qint64 end = std::min<qint64>(tickets.rowCount(), 200000);
            qint64 differing = 0;
            tickets.forRange(0, end, [&](qint64, const int *t) {
                differing += tester.failuresAfter(tester.prefix(t), t) != tester.failures(t) ? 1 : 0;
            });
            EXPECT_EQ(differing, 0) << n << " choose " << m << " round " << round;
        }
    }
}
