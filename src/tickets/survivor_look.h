#pragma once

#include "common/progress.h"
#include "data/ticket_set.h"
#include "tickets/total_filter.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// What the survivors of a total filter run look like: how many of them have each value of the
// main indicators, and a random few of them.
namespace lumaro {

class RandomSource;

enum class LookIndicator { Sum, Odd, Big, Span, Ac, Consecutive, Primes };
constexpr int kLookIndicatorCount = 7;

// "和值", "奇数", "大数", "跨度", "AC值", "连号个数", "质数个数".
QString LookIndicatorName(LookIndicator indicator);

struct SurvivorLook {
    qint64 survivors = 0;
    // counts[indicator][value]: the survivors with that value (the vectors reach the largest
    // value found).
    std::array<std::vector<qint64>, kLookIndicatorCount> counts;

    const std::vector<qint64> &of(LookIndicator indicator) const { return counts[static_cast<std::size_t>(indicator)]; }
};

// The counts over the alive rows (state 0) of the table, with the formulas of the filter: the
// numbers, in the variant trend their variant values (inputs.variantValue), 大数 n >= N div 2,
// 连号个数 the pairs of neighbours among the sorted values, AC值 the distinct differences. One
// pass split over the cores; nullopt when cancelled.
std::optional<SurvivorLook> LookAtSurvivors(
    const TicketSet &tickets, const FilterInputs &inputs, const Progress &progress = {});

// One line per indicator: "和值：98:12 99:30 …" (the values with survivors, ascending).
QStringList SurvivorLookLines(const SurvivorLook &look);

// count rows drawn uniformly at random without repetition from the alive rows, ascending (the
// survivors' order). Throws an InputError when count is below 1 or above the alive rows.
std::vector<qint64> PickSurvivors(const TicketSet &tickets, qint64 count, RandomSource &random);

// count two-zone tickets drawn uniformly at random without repetition from those the alive rows
// give (each front row with every back set, or each row with its own back numbers), in the
// order of the rows: a table of m + k numbers a row, front then back.
TicketSet PickTwoZoneTickets(const TicketSet &tickets, const TwoZoneRows &rows, qint64 count, RandomSource &random);

} // namespace lumaro
