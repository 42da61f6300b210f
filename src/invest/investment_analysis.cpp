#include "invest/investment_analysis.h"

#include "common/errors.h"
#include "data/open_lottery.h"
#include "invest/investment_plan.h"
#include "invest/money.h"

#include <algorithm>
#include <bitset>
#include <map>

namespace lumaro {

QStringList PlayTypeTexts()
{
    return {QStringLiteral("直选"), QStringLiteral("全组选"), QStringLiteral("组选3"), QStringLiteral("组选6")};
}

QString PlayTypeText(PlayType play)
{
    return PlayTypeTexts().at(static_cast<int>(play));
}

int PlayTypeMaxTickets(PlayType play)
{
    switch (play) {
    case PlayType::Direct:
        return 1000;
    case PlayType::GroupAll:
        return 210;
    case PlayType::Group3:
        return 90;
    case PlayType::Group6:
        return 120;
    }
    return 0;
}

QString PlayTypeLimitMessage(PlayType play)
{
    switch (play) {
    case PlayType::Direct:
        return QStringLiteral("请请输入1到1000的直选注数！");
    case PlayType::GroupAll:
        return QStringLiteral("请请输入1到210的组选注数！");
    case PlayType::Group3:
        return QStringLiteral("请请输入1到90的组选3注数！");
    case PlayType::Group6:
        return QStringLiteral("请请输入1到120的组选6注数！");
    }
    return {};
}

PlayType PlayTypeFromIndex(int index)
{
    if (index < 0 || index > 3)
        throw InputError(QStringLiteral("玩法“%1”不对，应为0到3！").arg(index));
    return static_cast<PlayType>(index);
}

int TicketKey(const BetTicket &t)
{
    return 100 * t[0] + 10 * t[1] + t[2];
}

namespace {

int EqualPairs(const qint32 *d)
{
    return (d[0] == d[1] ? 1 : 0) + (d[0] == d[2] ? 1 : 0) + (d[1] == d[2] ? 1 : 0);
}

// The digits of a draw or ticket in ascending order, as one key: equal keys hold the same digits.
int GroupKey(const qint32 *d)
{
    std::array<qint32, 3> sorted {d[0], d[1], d[2]};
    std::sort(sorted.begin(), sorted.end());
    return 100 * sorted[0] + 10 * sorted[1] + sorted[2];
}

} // namespace

bool TicketFitsPlay(PlayType play, const BetTicket &t)
{
    if (play == PlayType::Direct)
        return true;
    if (t[0] > t[1] || t[1] > t[2])
        return false;
    const int pairs = EqualPairs(t.data());
    switch (play) {
    case PlayType::GroupAll:
        return pairs != 3;
    case PlayType::Group3:
        return pairs == 1;
    case PlayType::Group6:
        return pairs == 0;
    case PlayType::Direct:
        break;
    }
    return true;
}

bool TicketHits(PlayType play, const BetTicket &t, const qint32 *draw)
{
    if (play == PlayType::Direct)
        return t[0] == draw[0] && t[1] == draw[1] && t[2] == draw[2];
    return GroupKey(t.data()) == GroupKey(draw);
}

void CheckInvestLottery(const OpenLottery &lottery)
{
    if (!lottery.lotteryOpen)
        throw InputError(QStringLiteral("请先打开一个三位数字型彩票（如福彩3D）！"));
    if (lottery.kind != LotteryKind::Digit || lottery.m != 3 || lottery.n != 10)
        throw InputError(
            QStringLiteral("投资模式分析只适用于三位数字型彩票（如福彩3D），“%1”不是！").arg(lottery.name));
}

std::vector<BetTicket> GenerateBetTickets(PlayType play, int count, RandomSource &random)
{
    if (count > PlayTypeMaxTickets(play) || count < 1)
        throw InputError(PlayTypeLimitMessage(play));
    std::vector<BetTicket> tickets;
    tickets.reserve(static_cast<std::size_t>(count));
    std::bitset<1000> taken;
    while (static_cast<int>(tickets.size()) < count) {
        const BetTicket t {random.below(10), random.below(10), random.below(10)};
        if (taken[static_cast<std::size_t>(TicketKey(t))] || !TicketFitsPlay(play, t))
            continue;
        taken.set(static_cast<std::size_t>(TicketKey(t)));
        tickets.push_back(t);
    }
    std::sort(tickets.begin(), tickets.end(),
        [](const BetTicket &a, const BetTicket &b) { return TicketKey(a) < TicketKey(b); });
    return tickets;
}

HitGapTable HitGapTableFromHits(const std::vector<bool> &hits, const std::vector<qint64> &periods)
{
    HitGapTable table(hits.size());
    qint64 lastHit = -1;
    for (std::size_t i = 0; i < hits.size(); ++i) {
        table[i].period = i < periods.size() ? periods[i] : 0;
        if (hits[i]) {
            table[i].gap = 0;
            lastHit = static_cast<qint64>(i);
        } else {
            table[i].gap = static_cast<qint64>(i) - lastHit;
        }
    }
    return table;
}

HitGapTable BuildHitGapTable(const OpenLottery &lottery, PlayType play, const std::vector<BetTicket> &tickets)
{
    CheckInvestLottery(lottery);
    // One flag per possible draw: which digit triples hit some ticket.
    std::bitset<1000> hitting;
    for (int code = 0; code < 1000; ++code) {
        const qint32 draw[3] = {code / 100, code / 10 % 10, code % 10};
        for (const BetTicket &t : tickets) {
            if (TicketHits(play, t, draw)) {
                hitting.set(static_cast<std::size_t>(code));
                break;
            }
        }
    }
    const DrawTable &draws = lottery.drawTable;
    std::vector<bool> hits(static_cast<std::size_t>(draws.rowCount()));
    std::vector<qint64> periods(hits.size());
    for (int r = 0; r < draws.rowCount(); ++r) {
        const qint32 *d = draws.numbers(r);
        const bool digits = d[0] >= 0 && d[0] <= 9 && d[1] >= 0 && d[1] <= 9 && d[2] >= 0 && d[2] <= 9;
        hits[static_cast<std::size_t>(r)] = digits && hitting[static_cast<std::size_t>(100 * d[0] + 10 * d[1] + d[2])];
        periods[static_cast<std::size_t>(r)] = draws.period(r);
    }
    return HitGapTableFromHits(hits, periods);
}

std::vector<IntervalStat> IntervalStatistics(const HitGapTable &table)
{
    std::vector<qint64> intervals;
    qint64 last = -1;
    qint64 largestGap = 0;
    for (std::size_t j = 0; j < table.size(); ++j) {
        largestGap = std::max(largestGap, table[j].gap);
        if (table[j].hit()) {
            intervals.push_back(static_cast<qint64>(j) - last);
            last = static_cast<qint64>(j);
        }
    }
    if (intervals.empty())
        return {};
    if (!table.back().hit())
        intervals.push_back(static_cast<qint64>(table.size()) - last + 1);

    std::map<std::pair<qint64, qint64>, qint64> counts;
    for (qint64 t = 1; t <= largestGap + 1; ++t) {
        qint64 run = 0;
        for (qint64 interval : intervals) {
            if (interval >= t) {
                ++run;
            } else {
                if (run > 0)
                    ++counts[{t, run}];
                run = 0;
            }
        }
    }
    std::vector<IntervalStat> stats;
    for (const auto &[key, count] : counts)
        stats.push_back({key.first, key.second, count});
    return stats;
}

QStringList CycleResultHeaders()
{
    return {QStringLiteral("投注时间"), QStringLiteral("投注倍数"), QStringLiteral("当期投注"),
        QStringLiteral("当期总投入"), QStringLiteral("当期中奖"), QStringLiteral("当期净利润"),
        QStringLiteral("当期利润率(%)")};
}

std::optional<qint64> InvestMultiple(qint64 carried, qint64 unit, qint64 prize, qint64 profitPercent)
{
    // With T = c + m·u > 0, trunc((m·z − T)·100 ÷ T) ≥ P reads for P ≥ 1: (m·z − T)·100 ≥ P·T, and
    // for P ≤ 0: (m·z − T)·100 > (P − 1)·T, since truncation toward zero lifts every negative
    // quotient above P − 1 to at least P. Both are linear in m.
    const WideMoney p = profitPercent;
    const WideMoney c = carried;
    if (p >= 1)
        return FirstMultiple(100 * WideMoney(prize) - (100 + p) * unit, c * (100 + p), kMaxInvestMultiple);
    return FirstMultiple(100 * WideMoney(prize) - (99 + p) * unit, c * (99 + p) + 1, kMaxInvestMultiple);
}

namespace {

struct PlannedCycle {
    std::vector<CyclePlanRow> rows; // the rows planned before any abort
    int affordable = 0; // A: the last betting period within the money limits
    AnalysisAbort abort = AnalysisAbort::None;
    QString firstPeriodProblem; // why the first betting period cannot be bet
};

// Why the first betting period of a cycle cannot be bet: no multiple reaches the profit rate, or
// its stake or cumulative input breaks a limit.
QString FirstPeriodProblem(const InvestSettings &s, qint64 unit, const std::optional<CyclePlanRow> &row)
{
    if (!row)
        return QStringLiteral("单注奖金%1不足以让每倍投入%2（单倍注数%3×2）达到预期利润%4%，无法投注！")
            .arg(s.prize)
            .arg(unit)
            .arg(s.tickets)
            .arg(s.profitPercent);
    if ((*row)[2] > s.singleMax)
        return QStringLiteral("第一期投入%1已超出单期最大投入%2，无法投注！").arg((*row)[2]).arg(s.singleMax);
    return QStringLiteral("第一期累计投入%1已超出累计最大投入%2，无法投注！").arg((*row)[3]).arg(s.totalMax);
}

PlannedCycle PlanCycle(qint64 carried, const InvestSettings &s)
{
    PlannedCycle plan;
    const qint64 unit = 2 * qint64(s.tickets);
    qint64 c = carried;
    plan.rows.reserve(static_cast<std::size_t>(std::max(s.bets, 0)));
    for (int k = 1; k <= s.bets; ++k) {
        const std::optional<qint64> m = InvestMultiple(c, unit, s.prize, s.profitPercent);
        if (m) {
            plan.rows.push_back(PlanRowFor(k, *m, unit, s.prize, c));
            c = plan.rows.back()[3];
            if (plan.rows.back()[2] <= s.singleMax && plan.rows.back()[3] <= s.totalMax)
                plan.affordable = k;
        }
        if (plan.affordable == 0) {
            plan.abort = AnalysisAbort::FirstDayTooLarge;
            plan.firstPeriodProblem
                = FirstPeriodProblem(s, unit, m ? std::optional<CyclePlanRow>(plan.rows.back()) : std::nullopt);
            return plan;
        }
        if (!m) {
            plan.abort = AnalysisAbort::MultipleTooLarge;
            return plan;
        }
    }
    return plan;
}

} // namespace

std::vector<CyclePlanRow> CyclePlan(qint64 carried, const InvestSettings &settings)
{
    return PlanCycle(carried, settings).rows;
}

QString AnalysisResult::abortMessage() const
{
    if (abort == AnalysisAbort::MultipleTooLarge)
        return QStringLiteral("所需倍数太大，无法投注！");
    if (abort == AnalysisAbort::FirstDayTooLarge && abortAfterCycles)
        return QStringLiteral("第一天投入已经超出中奖金额，无法投注！");
    return firstCycleReason;
}

HitHistory::HitHistory(const HitGapTable &table)
    : m_rows(static_cast<int>(table.size()))
    , m_next(table.size() + 2)
{
    int next = m_rows + 1;
    m_next[table.size() + 1] = next;
    for (int row = m_rows; row >= 1; --row) {
        if (table[static_cast<std::size_t>(row - 1)].hit())
            next = row;
        m_next[static_cast<std::size_t>(row)] = next;
    }
    m_next[0] = next;
}

AnalysisResult RunInvestmentAnalysis(const HitHistory &history, const InvestSettings &settings)
{
    if (settings.tickets <= 0)
        throw InputError(QStringLiteral("单倍注数必须大于0！"));
    InvestSettings s = settings;
    if (!s.intervalMode) {
        s.gap = 1;
        s.streak = 1;
    }
    const int R = history.rows();
    const int Q = s.bets;
    AnalysisResult result;
    std::vector<CycleResult> &rows = result.rows;

    // Without a carried loss every cycle bets the same plan.
    std::optional<PlannedCycle> freshPlan;
    int cur = 1;
    int last = 0;
    int streak = 0;
    bool aborted = false;
    while (cur <= R) {
        // Plan.
        qint64 carried = 0;
        if (s.carryLoss && !rows.empty() && rows.back().values[5] < 0 && !rows.back().cutShort)
            carried = -rows.back().values[5];
        PlannedCycle carriedPlan;
        if (carried == 0 && !freshPlan)
            freshPlan = PlanCycle(0, s);
        if (carried != 0)
            carriedPlan = PlanCycle(carried, s);
        const PlannedCycle &plan = carried == 0 ? *freshPlan : carriedPlan;
        if (plan.abort != AnalysisAbort::None) {
            result.abort = plan.abort;
            result.abortAfterCycles = !rows.empty();
            if (rows.empty())
                result.firstCycleReason = plan.firstPeriodProblem;
            aborted = true;
            break;
        }
        const int A = plan.affordable;

        // Observe: a streak of K hits, each at least G draws after the one before.
        bool ended = false;
        while (streak < s.streak) {
            cur = history.nextHit(cur);
            if (cur > R) {
                ended = true;
                break;
            }
            streak = cur - last >= s.gap ? streak + 1 : 0;
            last = cur;
            ++cur;
        }
        if (ended || cur > R)
            break;

        // Let W draws pass; a hit among them restarts the wait from it.
        for (int j = 1; j <= s.wait;) {
            if (history.hit(last + j)) {
                last += j;
                cur = last + 1;
                j = 1;
                if (cur > R) {
                    ended = true;
                    break;
                }
            } else {
                ++j;
                if (last + j > R + 1) {
                    ended = true;
                    break;
                }
            }
        }
        if (ended)
            break;
        last += s.wait;
        cur = last + 1;
        if (cur > R)
            break;

        // Bet.
        const int next = history.nextHit(last + 1);
        const bool found = next <= R;
        const int e = found ? next - last : R - last + 1;
        if (e <= A) {
            if (!found)
                break; // the history ends inside the cycle
            rows.push_back({plan.rows[static_cast<std::size_t>(e - 1)], false});
            last += e;
            cur = last + 1;
            streak = 0;
        } else {
            CycleResult loss {plan.rows[static_cast<std::size_t>(A - 1)], Q > A};
            loss.values[5] = -loss.values[3];
            rows.push_back(loss);
            last += e;
            cur = last + 1;
        }
        if (last >= R)
            break;
    }

    WideMoney gain = 0;
    for (const CycleResult &row : rows) {
        if (aborted || !s.carryLoss || row.values[5] >= 0 || row.cutShort)
            gain += row.values[5];
    }
    result.totalGain = NarrowMoney(gain);
    return result;
}

AnalysisSummary SummariseAnalysis(const AnalysisResult &result, const InvestSettings &settings)
{
    AnalysisSummary summary;
    summary.balance.reserve(result.rows.size());
    WideMoney balance = 0;
    qint64 carried = 0;
    for (const CycleResult &row : result.rows) {
        const qint64 stake = row.values[2];
        const qint64 input = row.values[3];
        const qint64 net = row.values[5];
        // The multiples rise within a cycle, so its last period is its largest stake.
        summary.largestStake = std::max(summary.largestStake, stake);
        summary.largestCycleOutlay = std::max(summary.largestCycleOutlay, input - carried);
        if (net < 0)
            ++summary.cyclesLost;
        else
            ++summary.cyclesWon;
        // The net of a cycle already takes off the loss it carries, which was counted before.
        balance += WideMoney(net) + carried;
        summary.balance.push_back(NarrowMoney(balance));
        // The same rule as the replay: a loss is carried into the next cycle unless the money
        // limits cut its cycle short.
        carried = settings.carryLoss && net < 0 && !row.cutShort ? -net : 0;
    }
    return summary;
}

QString AnalysisSummaryText(const AnalysisSummary &summary)
{
    return QStringLiteral("最大单期投注：%1  单轮最大投入：%2  中出轮数：%3  未中轮数：%4")
        .arg(summary.largestStake)
        .arg(summary.largestCycleOutlay)
        .arg(summary.cyclesWon)
        .arg(summary.cyclesLost);
}

} // namespace lumaro
