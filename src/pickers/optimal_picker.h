#pragma once

#include "common/progress.h"
#include "data/draw_table.h"
#include "pickers/chance_comparison.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// Pieces shared by the optimal pickers (interval rebound, intimate numbers, stem-branch, four
// steps): the number range they walk, the target periods, the texts of numbers and proposals,
// the exchange sort and the back-test result the picker windows show.
namespace lumaro {

class OpenLottery;

// The numbers a drawn cell may hold: 1..N for a lotto lottery, 0..N-1 for a digit lottery.
struct NumberRange {
    int first = 1;
    int last = 0;

    int count() const { return last - first + 1; }
    bool contains(int x) const { return x >= first && x <= last; }
    // 0-based slot of a number, for per-number arrays.
    int slot(int x) const { return x - first; }
};

NumberRange NumberRangeOf(const OpenLottery &lottery);
// The lottery kind behind a range: a digit lottery's numbers start at 0.
LotteryKind KindOfRange(const NumberRange &range);
// What a random proposal hits on a draw of `drawn` numbers of the range.
ChanceModel ChanceModelOf(const NumberRange &range, int drawn);
// " 全包需…" for a proposal of `size` numbers of the range (see CoverageText).
QString RangeCoverageText(const NumberRange &range, int size, int drawn);

// A number with its tally, the entry of the sorted per-number lists.
struct NumberCount {
    int number = 0;
    int count = 0;
};

// The program's exchange sort: for i < j, exchange when row j must strictly precede row i.
// It is not a stable sort (equal rows can change order), and the pickers depend on exactly the
// order it leaves.
template<class T, class Precedes>
void ExchangeSort(std::vector<T> &rows, Precedes mustPrecede)
{
    const std::size_t size = rows.size();
    for (std::size_t i = 0; i < size; ++i) {
        for (std::size_t j = i + 1; j < size; ++j) {
            if (mustPrecede(rows[j], rows[i]))
                std::swap(rows[i], rows[j]);
        }
    }
}

// Every number of the range with a zero count, ascending.
std::vector<NumberCount> ZeroCounts(const NumberRange &range);
// The exchange sort by count, largest first.
void SortByCountDescending(std::vector<NumberCount> &list);

// The target-period choice: one item per draw (its period number) and the next period (the last
// period number + 1). Empty when there are no draws.
QStringList TargetPeriods(const DrawTable &draws);

// Numbers "%.2d", each followed by one space.
QString PaddedNumbers(const std::vector<int> &numbers);
QString PaddedNumbers(const qint32 *numbers, int count);
// Numbers as plain integers, each followed by one space.
QString PlainNumbers(const std::vector<int> &numbers);
QString PlainNumbers(const qint32 *numbers, int count);

// The text of 目前投注号码: the period text, "期推荐投注号码：", then the numbers text.
QString ProposalLine(const QString &periodText, const QString &numbersText);

// Counts the hits of a proposal: how many cells of a draw hold a proposed number (a digit drawn
// twice counts twice).
class HitCounter {
public:
    explicit HitCounter(const NumberRange &range);
    int count(const qint32 *numbers, int cells, const std::vector<int> &proposal);

private:
    NumberRange m_range;
    std::vector<char> m_marked; // by range slot
};

// One row of the history grid: 记录期号, 开奖号码, 投注号码, 中奖个数.
struct BacktestRow {
    qint32 period = 0;
    QString drawn;
    QString proposed;
    QString hits; // as the grid shows it; may be empty
    int hitCount = 0; // the chart value
};

// What "历史统计" shows: the grid rows, the part of them the hit chart covers, the tally of hit
// counts (for the windows with the second chart) and the summary memo.
struct BacktestResult {
    std::vector<BacktestRow> rows;
    int chartFirst = 0; // the hit chart shows rows[chartFirst..]
    std::vector<int> tally; // tally[k]: back-tested draws with k hits, k = 0..M; empty when unused
    int largest = 0;
    int smallest = 0;
    int judged = 0; // draws that entered largest and smallest
    QString memo;
    // The judged draws that had a proposal, against a random pick of the same size.
    ChanceComparison chance;
    bool cancelled = false;

    // One row per draw with its period and drawn numbers (padded "%.2d" or plain).
    void fillDraws(const DrawTable &draws, bool padded);
    // Called between draws: reports progress now and then; true (and marked cancelled) when the
    // run was cancelled.
    bool interrupted(const Progress &progress, int done, int total);
    // Takes one hit count into largest and smallest.
    void judge(int hits);
    // Adds one to the tally of a hit count.
    void addToTally(int hits);
};

// What the memo box shows: the picker's memo, then the line of the comparison with chance when
// any draw was compared.
QString BacktestMemo(const BacktestResult &result);

// The memo of the interval, intimate and stem-branch pickers:
// "最大中奖号码数为L个，最小中奖号码数为S个", or a note when no draw could be judged.
QString HitRangeMemo(const BacktestResult &result);
// The memo when no draw could be judged (empty history, too short for the windows).
QString NoJudgedDrawsMemo();

// The message of a picker asked for a proposal when there are no draws.
QString NoDrawsMessage();
// Refuses a target outside 0..draws (InputError).
void CheckTarget(int target, int drawCount);
// Refuses a setting outside first..last (InputError naming the setting by its label).
void CheckSetting(const QString &label, int value, int first, int last);

} // namespace lumaro
