#pragma once

#include "common/progress.h"
#include "common/random_source.h"
#include "data/open_lottery.h"

#include <QString>

#include <vector>

// The compound search (自动复式搜索): variant trend after variant trend, the rank column that has
// gone longest without a mark points at a cold number, which is removed; the K numbers left
// are the proposed compound ticket.
namespace lumaro {

struct CompoundSettings {
    int count = 0; // K, the size of the compound ticket
    bool useThreshold = true; // only remove when the coldest absence reaches the threshold
    int threshold = 50;
};

// Refuses a closed or digit lottery and K below 1 (InputError).
void CheckCompoundSettings(const CompoundSettings &settings, const OpenLottery &lottery);

// For every column b = 1..N of the trend in force (index b; index 0 unused): how many of the
// newest draws in a row leave it unmarked (all draws when it never is marked).
std::vector<int> ColumnAbsences(const OpenLottery &lottery);

// The column that ends last when the columns 1..N are exchange-sorted by absence, ascending
// (for each position, every later position whose absence is smaller is swapped in).
int ColdestColumn(const std::vector<int> &absences);

// One search: the removed flags and the steps taken so far.
class CompoundSearch {
public:
    enum class Step {
        BelowThreshold, // the coldest absence is below the threshold: nothing removed
        Removed, // a number was removed (or removed again); more than K numbers are left
        Finished, // at most K numbers are left: the proposal is ready
    };

    CompoundSearch(int n, const CompoundSettings &settings);

    // One repetition on the variant trend just built on the lottery.
    Step step(const OpenLottery &lottery);

    qint64 repetitions() const { return m_repetitions; }
    int remaining() const { return m_remaining; }
    // The column, its absence and the number behind it of the last repetition (number 0 when
    // nothing was removed).
    int lastColumn() const { return m_lastColumn; }
    int lastAbsence() const { return m_lastAbsence; }
    int lastNumber() const { return m_lastNumber; }
    // The numbers not removed, ascending.
    std::vector<int> proposal() const;

private:
    int m_n;
    CompoundSettings m_settings;
    std::vector<char> m_removed;
    int m_remaining;
    qint64 m_repetitions = 0;
    int m_lastColumn = 0;
    int m_lastAbsence = 0;
    int m_lastNumber = 0;
};

// The proposal as the 复式号码 box shows it: every number "%.2d" followed by a blank.
QString CompoundText(const std::vector<int> &numbers);

struct CompoundResult {
    std::vector<int> numbers;
    qint64 repetitions = 0;
    bool finished = false; // false: cancelled or out of repetitions
};

// The whole search without windows: builds each variant trend from random (variant mode on),
// at most maxRepetitions times (0: no limit), and restores the standard trend at the end
// either way. Progress reports the repetitions done against the numbers still to remove.
CompoundResult RunCompoundSearch(OpenLottery &lottery, const CompoundSettings &settings, RandomSource &random,
    const Progress &progress = {}, qint64 maxRepetitions = 0);

} // namespace lumaro
