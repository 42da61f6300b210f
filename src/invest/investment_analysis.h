#pragma once

#include "common/progress.h"
#include "common/random_source.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

// The investment mode analysis of three-digit games: a fixed set of tickets, the history of the
// draws they would have hit, and the replay of a betting discipline over that history.
namespace lumaro {

class OpenLottery;

enum class PlayType : int { Direct = 0, GroupAll = 1, Group3 = 2, Group6 = 3 };

// "直选", "全组选", "组选3", "组选6".
QStringList PlayTypeTexts();
QString PlayTypeText(PlayType play);
// 1000, 210, 90, 120.
int PlayTypeMaxTickets(PlayType play);
// The refusal of a ticket count above the play type's most tickets.
QString PlayTypeLimitMessage(PlayType play);
// A play type from its index in the files; an InputError for anything but 0 … 3.
PlayType PlayTypeFromIndex(int index);

// The digits of a ticket, 0 … 9 each.
using BetTicket = std::array<qint32, 3>;

// 100 × digit 1 + 10 × digit 2 + digit 3.
int TicketKey(const BetTicket &ticket);
// Whether a ticket obeys the play type: any digits for 直选; for the group plays digits in
// non-decreasing order, 全组选 not all equal, 组选3 exactly one pair, 组选6 three different.
bool TicketFitsPlay(PlayType play, const BetTicket &ticket);
// Whether a draw hits a ticket: digit by digit for 直选, the same digits in any order otherwise.
bool TicketHits(PlayType play, const BetTicket &ticket, const qint32 *draw);

// The open lottery must be a three-digit digit game; an InputError with a clear text otherwise.
void CheckInvestLottery(const OpenLottery &lottery);

// count different tickets that fit the play type, drawn digit by digit, sorted by TicketKey.
// An InputError (the play type's limit message) when count is above its most tickets or below 1.
std::vector<BetTicket> GenerateBetTickets(PlayType play, int count, RandomSource &random);

// One row per draw, oldest first: the period and the gap value (0 for a draw that hits a ticket,
// otherwise the draws since the last hit, counting from the first draw when none came before).
struct HitGapRow {
    qint64 period = 0;
    qint64 gap = 0;
    bool hit() const { return gap == 0; }
};
using HitGapTable = std::vector<HitGapRow>;

HitGapTable BuildHitGapTable(const OpenLottery &lottery, PlayType play, const std::vector<BetTicket> &tickets);
// The same from a list of hit flags (one per draw) and their periods.
HitGapTable HitGapTableFromHits(const std::vector<bool> &hits, const std::vector<qint64> &periods);

// Rows of 间隔 t, 连续 L, 次数 c: for every threshold t, the runs of L consecutive hit intervals
// of at least t that a shorter interval ended. Empty when no draw is a hit.
struct IntervalStat {
    qint64 gap = 0;
    qint64 run = 0;
    qint64 count = 0;
    bool operator==(const IntervalStat &) const = default;
};
std::vector<IntervalStat> IntervalStatistics(const HitGapTable &table);

// The settings of the discipline (the window's settings group).
struct InvestSettings {
    int tickets = 100; // 单倍注数; one multiple costs 2 × tickets
    qint64 prize = 1000; // 单注奖金
    qint64 profitPercent = 10; // 预期利润(%)
    qint64 singleMax = 1000000; // 单期最大投入
    qint64 totalMax = 1000000; // 累计最大投入
    int wait = 0; // 中出后间隔期数 W
    int bets = 1; // 连续投入期数 Q
    int gap = 1; // 观察间隔数 G
    int streak = 1; // 观察间隔连续次数 K
    bool intervalMode = true; // 间隔模式; off means G = K = 1
    bool carryLoss = true; // 预计亏损
};

// The combo-box items: 中出后间隔期数 0 … 50, 连续投入期数 1 … 50, 观察间隔数 1 … 100,
// 观察间隔连续次数 1 … 10.
constexpr int kWaitItems = 51;
constexpr int kBetItems = 50;
constexpr int kGapItems = 100;
constexpr int kStreakItems = 10;
// Largest multiple tried for one betting period.
constexpr qint64 kMaxInvestMultiple = 100000;

// 投注时间, 投注倍数, 当期投注, 当期总投入, 当期中奖, 当期净利润, 当期利润率(%).
using CyclePlanRow = std::array<qint64, 7>;
QStringList CycleResultHeaders();

// The smallest multiple m (1 … kMaxInvestMultiple) whose win returns at least the profit rate
// on the cumulative input c + m × unit: (m × prize − (c + m × unit)) × 100 ÷ (c + m × unit),
// truncating, ≥ profitPercent. unit > 0 and c ≥ 0.
std::optional<qint64> InvestMultiple(qint64 carried, qint64 unit, qint64 prize, qint64 profitPercent);

// The betting plan of one cycle: Q rows after a carried loss.
std::vector<CyclePlanRow> CyclePlan(qint64 carried, const InvestSettings &settings);

enum class AnalysisAbort {
    None,
    FirstDayTooLarge, // the first betting period already breaks a money limit
    MultipleTooLarge // some betting period needs more than kMaxInvestMultiple multiples
};

struct CycleResult {
    CyclePlanRow values {};
    bool cutShort = false; // a loss whose cycle was cut short by the money limits
};

struct AnalysisResult {
    std::vector<CycleResult> rows;
    qint64 totalGain = 0; // 总体赢余
    AnalysisAbort abort = AnalysisAbort::None;
    bool abortAfterCycles = false;
    // Why not even the first cycle could be planned: the prize cannot reach the wanted profit
    // rate, or the first stake already breaks a money limit. Empty otherwise.
    QString firstCycleReason;
    // The text the window and the command line show for an abort: "所需倍数太大，无法投注！",
    // "第一天投入已经超出中奖金额，无法投注！" after at least one cycle, or the reason the first
    // cycle could not be planned.
    QString abortMessage() const;
};

// The hits of a history, with the next hit of every row at hand (rows are 1-based, R + 1
// meaning none).
class HitHistory {
public:
    HitHistory() = default;
    explicit HitHistory(const HitGapTable &table);
    int rows() const { return m_rows; }
    bool hit(int row) const { return row >= 1 && row <= m_rows && m_next[static_cast<std::size_t>(row)] == row; }
    // The first hit row at or after row, or rows() + 1.
    int nextHit(int row) const
    {
        return row > m_rows ? m_rows + 1 : m_next[static_cast<std::size_t>(std::max(row, 1))];
    }

private:
    int m_rows = 0;
    std::vector<int> m_next;
};

// Replays the discipline over the history: observe a streak of hits after long enough gaps,
// let W draws pass, bet up to Q draws with rising multiples, and list every finished cycle.
// An InputError when 单倍注数 is not positive.
AnalysisResult RunInvestmentAnalysis(const HitHistory &history, const InvestSettings &settings);

// What the replayed discipline asked of the player's purse, cycle by cycle.
struct AnalysisSummary {
    qint64 largestStake = 0; // the most bet in one period (当期投注)
    // The most one cycle spent of its own: its 当期总投入 less the loss carried into it.
    qint64 largestCycleOutlay = 0;
    int cyclesWon = 0;
    int cyclesLost = 0;
    // The money won less the money spent after each cycle. A lost cycle's loss counts when it is
    // spent, so a carried loss is not counted again in the cycle that carries it.
    std::vector<qint64> balance;
};
// The settings must be those the result was made with: they tell which losses were carried.
AnalysisSummary SummariseAnalysis(const AnalysisResult &result, const InvestSettings &settings);
// "最大单期投注：X  单轮最大投入：Y  中出轮数：A  未中轮数：B".
QString AnalysisSummaryText(const AnalysisSummary &summary);

} // namespace lumaro
