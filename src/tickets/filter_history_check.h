#pragma once

#include "common/progress.h"
#include "common/text_format.h"
#include "tickets/total_filter.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// The total filter's history check (历史验证): how many of the stored draws, judged as tickets,
// a set of conditions keeps, set against how many of all C(N, M) tickets it keeps. A set worth
// using keeps a larger share of the past draws than of the tickets.
namespace lumaro {

class OpenLottery;

// What the check reads, copied from the open lottery so that it runs on a worker.
struct HistoryCheckInputs {
    // N, M, the latest draw (the tickets' deviation reference) and the variant values.
    FilterInputs filter;
    // Every stored draw as drawn, oldest first, M numbers a draw.
    std::vector<int> draws;

    int drawCount() const { return filter.m > 0 ? static_cast<int>(draws.size()) / filter.m : 0; }

    // Throws an InputError for a lottery the total filter does not serve or one without draws.
    static HistoryCheckInputs fromLottery(const OpenLottery &lottery);
};

// How many of a set of rows pass every active condition, at most `tolerance` of them failing,
// and each active condition alone (indexed by the position in TotalFilterConditions::active()).
struct PassCounts {
    qint64 judged = 0;
    qint64 passingAll = 0;
    qint64 passingTolerant = 0;
    std::vector<qint64> passing;
};

// The draws judged as tickets: in the variant trend through the variant values, the deviation
// against the draw before (the first draw by the rule of a draw without a previous one).
// Returns nullopt when cancelled.
std::optional<PassCounts> JudgeDraws(
    const HistoryCheckInputs &inputs, const TotalFilterConditions &conditions, const Progress &progress = {});

// Every ticket of C(N, M), the deviation against the latest draw as in a filter run; one pass
// split over the cores. Returns nullopt when cancelled. Throws a CapacityError for a lottery
// with too many tickets.
std::optional<PassCounts> CountPassingTickets(
    const FilterInputs &inputs, const TotalFilterConditions &conditions, const Progress &progress = {});

// The five figures of one condition set: draws judged and passing, and the shares.
struct HistoryFigures {
    qint64 drawsJudged = 0;
    qint64 drawsPassing = 0;
    qint64 tickets = 0;
    qint64 ticketsPassing = 0;

    double drawShare() const;
    double ticketShare() const;
    // drawShare / ticketShare; nullopt when no ticket passes (or nothing was judged).
    std::optional<double> ratio() const;
};

struct HistoryCheckResult {
    HistoryFigures all;
    // With a tolerance k > 0: the draws and tickets failing at most k conditions.
    std::optional<HistoryFigures> tolerant;
    int tolerance = 0;
    // The active conditions alone, in the order of TotalFilterConditions::active().
    std::vector<std::pair<ConditionRef, HistoryFigures>> conditions;
};

// Both passes. Returns nullopt when cancelled.
std::optional<HistoryCheckResult> RunHistoryCheck(
    const HistoryCheckInputs &inputs, const TotalFilterConditions &conditions, const Progress &progress = {});

// The condition and its values as set: "和值 98-126", "和值 98-110,120-126", "选择球号（12个）中5-7",
// "胆码 3 12 25 中1-2", "近5期重码 2-4", "第2区个数（共5区）1-2", "胆码组1 3 12 中1-2".
QString ConditionLabel(ConditionRef condition, const TotalFilterConditions &conditions);

// The two halves of the first line: "判断…期开奖号码，全部条件都通过的有…期，占…%" and
// "全部投注号码中通过的占…%；两者之比…" (or why there is no ratio).
QString HistoryDrawsText(const HistoryFigures &all);
QString HistoryTicketsText(const HistoryFigures &all);

// The lines shown: "历史验证：判断…期开奖号码，全部条件都通过的有…期，占…%；全部投注号码中通过的
// 占…%；两者之比…", with a tolerance k > 0 the line "容错k个：开奖号码通过…期（…%），投注号码通过…，
// 之比…", then one line per active condition alone ("  和值 98-126：开奖号码通过…期
// （…%），投注号码通过…%，之比…").
QStringList HistoryCheckLines(const HistoryCheckResult &result, const TotalFilterConditions &conditions);

} // namespace lumaro
