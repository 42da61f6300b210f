#include "common/errors.h"
#include "data/draw_import.h"
#include "data/open_lottery.h"
#include "invest/invest_files.h"
#include "invest/investment_analysis.h"
#include "invest/investment_search.h"
#include "support/test_home.h"

#include <gtest/gtest.h>

#include <set>

using namespace lumaro;

namespace {

// A hit history from the 1-based rows that hit.
HitHistory HistoryOf(int rows, std::initializer_list<int> hitRows)
{
    std::vector<bool> hits(static_cast<std::size_t>(rows));
    for (int r : hitRows)
        hits[static_cast<std::size_t>(r - 1)] = true;
    return HitHistory(HitGapTableFromHits(hits, {}));
}

OpenLottery DigitLottery(const std::vector<std::array<int, 3>> &draws)
{
    OpenLottery lottery;
    lottery.name = QStringLiteral("福彩3D");
    lottery.kind = LotteryKind::Digit;
    lottery.n = 10;
    lottery.m = 3;
    lottery.lotteryOpen = true;
    lottery.drawCount = static_cast<int>(draws.size());
    lottery.drawTable = DrawTable(lottery.drawCount, 3);
    for (int r = 0; r < lottery.drawCount; ++r) {
        lottery.drawTable.cell(r, 0) = 2024001 + r;
        for (int c = 0; c < 3; ++c)
            lottery.drawTable.cell(r, c + 1) = draws[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    }
    return lottery;
}

InvestSettings PlainSettings()
{
    InvestSettings s;
    s.intervalMode = false;
    return s;
}

} // namespace

TEST(BetTickets, GenerationFitsThePlayAndSortsByKey)
{
    RandomSource random(3);
    const std::vector<BetTicket> all = GenerateBetTickets(PlayType::Direct, 1000, random);
    ASSERT_EQ(all.size(), 1000u);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(TicketKey(all[static_cast<std::size_t>(i)]), i);

    const std::vector<BetTicket> group3 = GenerateBetTickets(PlayType::Group3, 90, random);
    std::set<int> keys;
    for (const BetTicket &t : group3) {
        EXPECT_TRUE(t[0] <= t[1] && t[1] <= t[2]);
        EXPECT_TRUE((t[0] == t[1]) != (t[1] == t[2])) << TicketKey(t);
        keys.insert(TicketKey(t));
    }
    EXPECT_EQ(keys.size(), 90u);

    const std::vector<BetTicket> group6 = GenerateBetTickets(PlayType::Group6, 120, random);
    EXPECT_TRUE(
        std::all_of(group6.begin(), group6.end(), [](const BetTicket &t) { return t[0] < t[1] && t[1] < t[2]; }));
    const std::vector<BetTicket> some = GenerateBetTickets(PlayType::GroupAll, 50, random);
    EXPECT_TRUE(std::is_sorted(
        some.begin(), some.end(), [](const BetTicket &a, const BetTicket &b) { return TicketKey(a) < TicketKey(b); }));
    EXPECT_TRUE(std::none_of(some.begin(), some.end(), [](const BetTicket &t) { return t[0] == t[2]; }));

    try {
        GenerateBetTickets(PlayType::Group3, 91, random);
        FAIL();
    } catch (const InputError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("请请输入1到90的组选3注数！"));
    }
    EXPECT_THROW(GenerateBetTickets(PlayType::Direct, 0, random), InputError);
}

TEST(HitGapTable, HitRulesGapsAndLotteryChecks)
{
    const OpenLottery lottery = DigitLottery({{1, 2, 3}, {3, 2, 1}, {4, 4, 4}, {0, 7, 3}, {3, 1, 2}});
    const std::vector<BetTicket> tickets {{1, 2, 3}};
    HitGapTable direct = BuildHitGapTable(lottery, PlayType::Direct, tickets);
    ASSERT_EQ(direct.size(), 5u);
    EXPECT_EQ(direct[0].period, 2024001);
    std::vector<qint64> gaps;
    for (const HitGapRow &row : direct)
        gaps.push_back(row.gap);
    EXPECT_EQ(gaps, (std::vector<qint64> {0, 1, 2, 3, 4}));
    gaps.clear();
    for (const HitGapRow &row : BuildHitGapTable(lottery, PlayType::Group6, tickets))
        gaps.push_back(row.gap);
    EXPECT_EQ(gaps, (std::vector<qint64> {0, 0, 1, 2, 0}));

    // No hit at all: the gaps count up from 1 and there are no interval statistics.
    const HitGapTable none = BuildHitGapTable(lottery, PlayType::Direct, {{9, 9, 9}});
    EXPECT_EQ(none.back().gap, 5);
    EXPECT_TRUE(IntervalStatistics(none).empty());
    const AnalysisResult result = RunInvestmentAnalysis(HitHistory(none), InvestSettings {});
    EXPECT_TRUE(result.rows.empty());
    EXPECT_EQ(result.totalGain, 0);

    OpenLottery lotto = lottery;
    lotto.kind = LotteryKind::Lotto;
    EXPECT_THROW(BuildHitGapTable(lotto, PlayType::Direct, tickets), InputError);
    OpenLottery four = lottery;
    four.m = 4;
    EXPECT_THROW(CheckInvestLottery(four), InputError);
    OpenLottery closed = lottery;
    closed.lotteryOpen = false;
    EXPECT_THROW(CheckInvestLottery(closed), InputError);
}

TEST(IntervalStatistics, RunsEndedByAShorterInterval)
{
    // Hits at draws 1, 2, 6 and 8 of 10 (0-based): intervals 2, 1, 4, 2 and the open end 3.
    std::vector<bool> hits(10);
    for (int i : {1, 2, 6, 8})
        hits[static_cast<std::size_t>(i)] = true;
    EXPECT_EQ(IntervalStatistics(HitGapTableFromHits(hits, {})),
        (std::vector<IntervalStat> {{2, 1, 1}, {3, 1, 1}, {4, 1, 1}}));
    // Every draw a hit: all intervals are 1 and the run never ends.
    EXPECT_TRUE(IntervalStatistics(HitGapTableFromHits(std::vector<bool>(6, true), {})).empty());
}

TEST(InvestMultiple, AgreesWithTryingEveryMultiple)
{
    // Profit 0 accepts a slightly negative net profit that truncates to a rate of 0.
    EXPECT_EQ(InvestMultiple(0, 200, 199, 0), 1);
    EXPECT_EQ(InvestMultiple(0, 200, 199, 1), std::nullopt);
    RandomSource random(11);
    for (int trial = 0; trial < 3000; ++trial) {
        const qint64 c = random.below(4) == 0 ? 0 : random.between(1, 200000);
        const qint64 unit = 2 * random.between(1, 300);
        const qint64 prize = random.between(0, 2000);
        const qint64 p = random.between(-150, 300);
        std::optional<qint64> expected;
        for (qint64 m = 1; m <= 3000 && !expected; ++m) {
            const qint64 t = c + m * unit;
            if ((m * prize - t) * 100 / t >= p)
                expected = m;
        }
        const std::optional<qint64> got = InvestMultiple(c, unit, prize, p);
        if (expected) {
            EXPECT_EQ(got, expected) << c << ' ' << unit << ' ' << prize << ' ' << p;
        } else {
            EXPECT_TRUE(!got || *got > 3000) << c << ' ' << unit << ' ' << prize << ' ' << p;
        }
    }
}

TEST(InvestmentAnalysis, WinsLossesAndCarriedLossWithoutIntervalMode)
{
    // W = 0, Q = 1: each cycle bets the draw after its trigger hit once.
    const HitHistory history = HistoryOf(12, {2, 3, 6, 9, 10});
    InvestSettings s = PlainSettings();
    AnalysisResult r = RunInvestmentAnalysis(history, s);
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0].values, (CyclePlanRow {1, 1, 200, 200, 1000, 800, 400})); // 3 follows 2
    EXPECT_EQ(r.rows[1].values, (CyclePlanRow {1, 1, 200, 200, 1000, -200, 400})); // 7 after 6 misses
    EXPECT_FALSE(r.rows[1].cutShort);
    // The hit at 9 that ended the loss starts the next cycle at once, carrying the loss of 200.
    EXPECT_EQ(r.rows[2].values, (CyclePlanRow {1, 1, 200, 400, 1000, 600, 150}));
    EXPECT_EQ(r.totalGain, 800 + 600); // the carried loss is won back inside the last row
    EXPECT_EQ(r.abort, AnalysisAbort::None);

    s.carryLoss = false;
    r = RunInvestmentAnalysis(history, s);
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[2].values[3], 200);
    EXPECT_EQ(r.totalGain, 800 - 200 + 800);

    // Interval mode off overrides whatever G and K say.
    s = PlainSettings();
    s.gap = 50;
    s.streak = 7;
    EXPECT_EQ(RunInvestmentAnalysis(history, s).rows.size(), 3u);
    s.tickets = 0;
    EXPECT_THROW(RunInvestmentAnalysis(history, s), InputError);
}

TEST(InvestmentAnalysis, CutShortLossIsNotCarriedAndWaitsRestart)
{
    // Q = 2 but the second period breaks 累计最大投入: A = 1, so a loss is cut short and flagged.
    InvestSettings s = PlainSettings();
    s.bets = 2;
    s.totalMax = 300;
    const HitHistory history = HistoryOf(12, {2, 5, 6, 9});
    AnalysisResult r = RunInvestmentAnalysis(history, s);
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0].values[5], -200); // bet 3 after the hit at 2; the next hit is 5
    EXPECT_TRUE(r.rows[0].cutShort);
    EXPECT_EQ(r.rows[1].values, (CyclePlanRow {1, 1, 200, 200, 1000, 800, 400})); // nothing carried
    // After 9 no hit comes: the last cycle is a loss too, and still counts as cut short.
    EXPECT_TRUE(r.rows[2].cutShort);
    EXPECT_EQ(r.totalGain, -200 + 800 - 200); // flagged losses stay in the gain

    // W = 2: the two draws after the trigger pass; a hit among them restarts the wait.
    s = PlainSettings();
    s.wait = 2;
    r = RunInvestmentAnalysis(HistoryOf(12, {1, 3, 7}), s);
    // Trigger 1; the wait restarts at the hit 3 and ends at 5; draw 6 misses and 7 ends the loss.
    // The next cycle starts from 7 at once: 8 and 9 pass, 10 misses and no hit follows.
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0].values[5], -200);
    EXPECT_EQ(r.rows[1].values[5], -400); // the first loss carried
    EXPECT_EQ(r.totalGain, 0); // unflagged losses are left to the next cycle

    // Interval mode: a cycle starts only after K hits each G draws after the one before.
    s = InvestSettings {};
    s.gap = 3;
    s.streak = 2;
    r = RunInvestmentAnalysis(HistoryOf(20, {3, 4, 8, 12, 13}), s);
    // 3 (gap 3) and 4 (gap 1, streak broken), 8 (4) and 12 (4): streak of 2; 13 wins.
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0].values[5], 800);
}

TEST(InvestmentAnalysis, AbortsKeepTheFinishedRows)
{
    // A first cycle that cannot be planned says why, though no row was finished.
    InvestSettings s = PlainSettings();
    s.singleMax = 100; // the first period's stake of 200 is already too much
    AnalysisResult r = RunInvestmentAnalysis(HistoryOf(10, {2, 3}), s);
    EXPECT_EQ(r.abort, AnalysisAbort::FirstDayTooLarge);
    EXPECT_TRUE(r.rows.empty());
    EXPECT_EQ(r.totalGain, 0);
    EXPECT_EQ(r.abortMessage(), QStringLiteral("第一期投入200已超出单期最大投入100，无法投注！"));
    s = PlainSettings();
    s.totalMax = 199;
    EXPECT_EQ(RunInvestmentAnalysis(HistoryOf(10, {2, 3}), s).abortMessage(),
        QStringLiteral("第一期累计投入200已超出累计最大投入199，无法投注！"));
    // 100 tickets cost 200 a multiple; a prize of 219 returns 9.5%, short of the 10% wanted at
    // any multiple.
    s = PlainSettings();
    s.prize = 219;
    r = RunInvestmentAnalysis(HistoryOf(10, {2, 3}), s);
    EXPECT_TRUE(r.rows.empty());
    EXPECT_EQ(
        r.abortMessage(), QStringLiteral("单注奖金219不足以让每倍投入200（单倍注数100×2）达到预期利润10%，无法投注！"));
    s.prize = 220;
    EXPECT_EQ(RunInvestmentAnalysis(HistoryOf(10, {2, 3}), s).abort, AnalysisAbort::None);

    s = PlainSettings();
    s.bets = 50; // the multiples outgrow 100000 long before period 50
    r = RunInvestmentAnalysis(HistoryOf(10, {2, 3}), s);
    EXPECT_EQ(r.abort, AnalysisAbort::MultipleTooLarge);
    EXPECT_EQ(r.abortMessage(), QStringLiteral("所需倍数太大，无法投注！"));

    // Losses carried until the first period breaks 单期最大投入: the analysis aborts after
    // cycles, and the gain is the plain sum of the rows.
    s = PlainSettings();
    s.singleMax = 1000;
    r = RunInvestmentAnalysis(HistoryOf(40, {2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26}), s);
    EXPECT_EQ(r.abort, AnalysisAbort::FirstDayTooLarge);
    EXPECT_EQ(r.abortMessage(), QStringLiteral("第一天投入已经超出中奖金额，无法投注！"));
    ASSERT_FALSE(r.rows.empty());
    qint64 sum = 0;
    for (const CycleResult &row : r.rows)
        sum += row.values[5];
    EXPECT_EQ(r.totalGain, sum);
}

TEST(AnalysisSummary, StakesOutlaysCyclesAndBalanceOfWorkedCases)
{
    // Won 800, lost 200 (carried), then 1000 won on 200 staked: the carried 200 counts once.
    const HitHistory history = HistoryOf(12, {2, 3, 6, 9, 10});
    InvestSettings s = PlainSettings();
    AnalysisSummary summary = SummariseAnalysis(RunInvestmentAnalysis(history, s), s);
    EXPECT_EQ(summary.largestStake, 200);
    EXPECT_EQ(summary.largestCycleOutlay, 200); // the last row's 当期总投入 400 holds the carried 200
    EXPECT_EQ(summary.cyclesWon, 2);
    EXPECT_EQ(summary.cyclesLost, 1);
    EXPECT_EQ(summary.balance, (std::vector<qint64> {800, 600, 1400}));
    EXPECT_EQ(
        AnalysisSummaryText(summary), QStringLiteral("最大单期投注：200  单轮最大投入：200  中出轮数：2  未中轮数：1"));
    s.carryLoss = false;
    EXPECT_EQ(SummariseAnalysis(RunInvestmentAnalysis(history, s), s).balance, (std::vector<qint64> {800, 600, 1400}));

    // Losses cut short are never carried.
    s = PlainSettings();
    s.bets = 2;
    s.totalMax = 300;
    summary = SummariseAnalysis(RunInvestmentAnalysis(HistoryOf(12, {2, 5, 6, 9}), s), s);
    EXPECT_EQ(summary.balance, (std::vector<qint64> {-200, 600, 400}));
    EXPECT_EQ(summary.cyclesLost, 2);

    // Two losses, the first carried into the second: 400 spent in all, though 总体赢余 leaves
    // the unsettled loss to a next cycle that never came.
    s = PlainSettings();
    s.wait = 2;
    const AnalysisResult r = RunInvestmentAnalysis(HistoryOf(12, {1, 3, 7}), s);
    summary = SummariseAnalysis(r, s);
    EXPECT_EQ(summary.balance, (std::vector<qint64> {-200, -400}));
    EXPECT_EQ(summary.largestCycleOutlay, 200);
    EXPECT_EQ(summary.largestStake, 200);
    EXPECT_EQ(r.totalGain, 0);

    summary = SummariseAnalysis(AnalysisResult {}, s);
    EXPECT_TRUE(summary.balance.empty());
    EXPECT_EQ(summary.cyclesWon + summary.cyclesLost, 0);
}

TEST(AnalysisSummary, AgreesWithTheTotalGainAndTheMoneyLimits)
{
    RandomSource random(11);
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<bool> hits(200);
        for (std::size_t i = 0; i < hits.size(); ++i)
            hits[i] = random.below(10) == 0;
        const HitHistory history(HitGapTableFromHits(hits, {}));
        InvestSettings s = PlainSettings();
        s.tickets = 1 + random.below(50);
        s.bets = 1 + random.below(12);
        s.wait = random.below(4);
        s.carryLoss = random.below(2) == 0;
        s.totalMax = 100 + random.below(20000);
        s.singleMax = 50 + random.below(5000);
        const AnalysisResult r = RunInvestmentAnalysis(history, s);
        const AnalysisSummary summary = SummariseAnalysis(r, s);
        ASSERT_EQ(summary.balance.size(), r.rows.size());
        EXPECT_EQ(summary.cyclesWon + summary.cyclesLost, static_cast<int>(r.rows.size()));
        EXPECT_LE(summary.largestStake, s.singleMax);
        EXPECT_LE(summary.largestCycleOutlay, s.totalMax);
        // With no loss left waiting for a next cycle, the balance ends at 总体赢余.
        if (!r.rows.empty() && r.abort == AnalysisAbort::None
            && (r.rows.back().values[5] >= 0 || !s.carryLoss || r.rows.back().cutShort)) {
            EXPECT_EQ(summary.balance.back(), r.totalGain) << "trial " << trial;
        }
    }
}

TEST(InvestmentSearch, TrialOrderTiesAndStops)
{
    EXPECT_EQ(SearchTrialCount(true), 25500);
    EXPECT_EQ(SearchTrialCount(false), 2550);
    const InvestSettings last = SearchTrialSettings(InvestSettings {}, 25499);
    EXPECT_EQ(last.streak, 10);
    EXPECT_EQ(last.wait, 50);
    EXPECT_EQ(last.bets, 50);

    std::vector<std::optional<qint64>> gains(2550, kSearchStartGain);
    SearchResult best = BestOfTrials(gains, false);
    EXPECT_EQ(best.bestTozisepIndex + best.bestTozirepIndex + best.bestSepNumIndex, 0);
    EXPECT_EQ(best.bestTotal, kSearchStartGain);
    gains[51] = 5; // b = 1, c = 1
    gains[1000] = 5; // a tie later in the order
    gains[7].reset();
    best = BestOfTrials(gains, false);
    EXPECT_EQ(best.bestTotal, 5);
    EXPECT_EQ(best.bestTozisepIndex, 1);
    EXPECT_EQ(best.bestTozirepIndex, 1);
    EXPECT_TRUE(best.stopped);
    EXPECT_EQ(best.trialsDone, 2549);

    // Interval mode off: 2550 trials and 观察间隔连续次数 stays at item 0; a stop keeps the best so far.
    const HitHistory history = HistoryOf(60, {2, 3, 9, 10, 11, 20, 21, 30, 31, 33, 40, 50, 51});
    std::atomic_bool stop {false};
    Progress progress;
    progress.cancel = &stop;
    qint64 reported = 0;
    progress.report = [&](qint64 done, qint64 total) {
        reported = total;
        if (done >= 100)
            stop = true;
    };
    const SearchResult stopped = RunInvestmentSearch(history, PlainSettings(), progress, 1);
    EXPECT_EQ(reported, 2550);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.trialsDone, 100);
    EXPECT_EQ(stopped.bestTozisepIndex, 0); // the first 100 trials are b = 0 and 1
    const SearchResult full = RunInvestmentSearch(history, PlainSettings(), {}, 1);
    EXPECT_FALSE(full.stopped);
    EXPECT_EQ(full.trialsDone, 2550);
    EXPECT_EQ(full.bestSepNumIndex, 0);
    EXPECT_GE(full.bestTotal, stopped.bestTotal);
}

TEST(InvestmentSearch, ParallelSearchEqualsTheSequentialLoopOnTheRealHistory)
{
    LUMARO_HISTORY_FILE(fc3d, "fc3d.csv");
    test::TestHome home;
    ImportDrawFile(home.store(), QStringLiteral("福彩3D"), fc3d);
    OpenLottery lottery;
    lottery.open(home.store(), QStringLiteral("福彩3D"));
    RandomSource random(5);
    const std::vector<BetTicket> tickets = GenerateBetTickets(PlayType::Direct, 100, random);
    const HitHistory history(BuildHitGapTable(lottery, PlayType::Direct, tickets));
    ASSERT_EQ(history.rows(), 8374);
    InvestSettings s;
    s.gap = 5;
    const SearchResult sequential = RunInvestmentSearch(history, s, {}, 1);
    const SearchResult parallel = RunInvestmentSearch(history, s, {}, 3);
    EXPECT_EQ(parallel.bestTotal, sequential.bestTotal);
    EXPECT_EQ(parallel.bestSepNumIndex, sequential.bestSepNumIndex);
    EXPECT_EQ(parallel.bestTozisepIndex, sequential.bestTozisepIndex);
    EXPECT_EQ(parallel.bestTozirepIndex, sequential.bestTozirepIndex);
    EXPECT_EQ(parallel.trialsDone, 25500);
    // The best combination replayed gives the gain the search kept.
    const int trial = (sequential.bestSepNumIndex * kWaitItems + sequential.bestTozisepIndex) * kBetItems
        + sequential.bestTozirepIndex;
    EXPECT_EQ(RunInvestmentAnalysis(history, SearchTrialSettings(s, trial)).totalGain, sequential.bestTotal);
}

TEST(InvestmentSearch, HeldOutSearchScoresTheBestOfTheEarlierDrawsOnTheLaterOnes)
{
    EXPECT_EQ(HeldOutSplit(10, 70), 7);
    EXPECT_EQ(HeldOutSplit(2, 10), 1);
    EXPECT_EQ(HeldOutSplit(2, 90), 1);
    EXPECT_EQ(HeldOutSplit(1001, 90), 900);
    EXPECT_THROW(HeldOutSplit(1, 50), InputError);
    EXPECT_THROW(HeldOutSplit(100, 9), InputError);
    EXPECT_THROW(HeldOutSplit(100, 91), InputError);

    // Hits every few draws early on, then a long dry spell: the best setting of the earlier draws
    // loses on the later ones, and the later replay must not see any earlier hit.
    std::vector<bool> hits(120);
    for (int row : {2, 3, 7, 9, 10, 14, 17, 18, 22, 25, 26, 31, 33, 34, 40, 41, 47, 50, 55, 58, 60, 61, 66, 70})
        hits[static_cast<std::size_t>(row - 1)] = true;
    hits[99] = hits[100] = hits[117] = true;
    const HitGapTable table = HitGapTableFromHits(hits, {});
    const InvestSettings base = PlainSettings();
    const HeldOutSearch held = RunHeldOutSearch(table, base, 60, {}, 2);
    ASSERT_EQ(held.searchedDraws, 72);
    ASSERT_EQ(held.laterDraws, 48);

    const std::vector<bool> earlier(hits.begin(), hits.begin() + 72);
    const SearchResult direct = RunInvestmentSearch(HitHistory(HitGapTableFromHits(earlier, {})), base, {}, 1);
    EXPECT_EQ(held.best.bestTotal, direct.bestTotal);
    EXPECT_EQ(held.bestSettings.wait, direct.bestTozisepIndex);
    EXPECT_EQ(held.bestSettings.bets, direct.bestTozirepIndex + 1);
    const std::vector<bool> later(hits.begin() + 72, hits.end());
    EXPECT_EQ(
        held.laterGain, RunInvestmentAnalysis(HitHistory(HitGapTableFromHits(later, {})), held.bestSettings).totalGain);
    EXPECT_LT(held.laterGain, held.best.bestTotal);

    const QString text = HeldOutSearchText(held);
    EXPECT_TRUE(text.startsWith(QStringLiteral("在前72期中搜索，最佳设置赢余%1；").arg(held.best.bestTotal)))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("后48期（搜索没有用到的开奖）赢余%1").arg(held.laterGain)))
        << text.toStdString();
    EXPECT_THROW(RunHeldOutSearch(HitGapTableFromHits({true}, {}), base, 50), InputError);
}

TEST(InvestFiles, TicketAndSettingsLines)
{
    const std::vector<BetTicket> tickets {{0, 7, 3}, {1, 2, 3}};
    QStringList lines = InvestTicketLines(PlayType::Group6, tickets);
    EXPECT_EQ(
        lines, (QStringList {QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("073"), QStringLiteral("123")}));
    InvestTicketsRead read = ParseInvestTickets(lines);
    EXPECT_EQ(read.play, PlayType::Group6);
    EXPECT_EQ(read.tickets, tickets);

    lines << QStringLiteral("456") << QStringLiteral("789"); // more lines than the count
    read = ParseInvestTickets(lines);
    EXPECT_EQ(read.tickets.size(), 2u);
    EXPECT_EQ(read.extraLines, 2);
    EXPECT_THROW(ParseInvestTickets({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0a3")}), InputError);
    EXPECT_THROW(ParseInvestTickets({QStringLiteral("4"), QStringLiteral("0")}), InputError);

    InvestFileSettings s;
    s.play = 2;
    s.waitIndex = 50;
    s.betIndex = 3;
    s.streakIndex = 9;
    s.carryLoss = false;
    s.tickets = QStringLiteral("90");
    const QStringList settingLines = InvestSettingsLines(s);
    ASSERT_EQ(settingLines.size(), kInvestSettingsLines);
    EXPECT_EQ(settingLines[10], QStringLiteral("0"));
    EXPECT_EQ(settingLines[12], QStringLiteral("2"));
    const InvestFileSettings back = ParseInvestSettings(settingLines);
    EXPECT_EQ(InvestSettingsLines(back), settingLines);
    const InvestSettings run = ToInvestSettings(back);
    EXPECT_EQ(run.wait, 50);
    EXPECT_EQ(run.bets, 4);
    EXPECT_EQ(run.streak, 10);
    EXPECT_EQ(run.tickets, 90);
    QStringList bad = settingLines;
    bad[2] = QStringLiteral("50"); // 连续投入期数 has items 0 … 49
    EXPECT_THROW(ParseInvestSettings(bad), InputError);
    EXPECT_THROW(ParseInvestSettings(settingLines.mid(0, 12)), InputError);
    bad = settingLines;
    bad[11] = QStringLiteral("yes"); // anything but "1" clears the box
    EXPECT_FALSE(ParseInvestSettings(bad).intervalMode);
}
