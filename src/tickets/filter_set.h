#pragma once

#include "tickets/total_filter.h"

#include <QByteArray>
#include <QString>

// Saved filter sets (过滤条件文件): the whole of a TotalFilterConditions as a plain UTF-8 text,
// one line per active condition, so that players keep, compare and exchange their sets.
//
//   # Lumaro 总体过滤条件
//   和值 = 98-110,120-126
//   选择球号 = 01 02 05 … 中 5-7
//   胆码 = 03 12 25 中 1-2
//   近期重码 = 3 期：0-2
//   分区 = 3 区：2-3 / 不限 / 2
//   胆码组1 = 05 06 07 中 0-1
//   容错 = 1
//   变幻走势 = 是
//   后区号码 = 01 02 05 07        (a two-zone lottery's back choice; absent: every number)
//
// Lines starting with # are comments; blank lines and blanks around the parts are allowed.
namespace lumaro {

struct FilterSet {
    TotalFilterConditions conditions;
    // The conditions were meant for the variant trend (变幻走势).
    bool variant = false;
    // The chosen back numbers of a two-zone lottery, ascending; empty: all of them.
    std::vector<int> backNumbers {};

    friend bool operator==(const FilterSet &a, const FilterSet &b)
    {
        return a.variant == b.variant && a.conditions == b.conditions && a.backNumbers == b.backNumbers;
    }
};

// The text of a set, the conditions in the order of TotalFilterConditions::active(); the
// first line is the heading comment.
QByteArray FilterSetText(const FilterSet &set);

// Reads a set for a lottery of N numbers choosing M. All or nothing: anything malformed (a line
// without "=", an unknown or repeated key, a range that is not one, values out of order or
// beyond what a ticket of this lottery can have, numbers outside 1..N) raises an InputError
// "第k行：…" naming the line and the reason; the set as a whole must then pass
// CheckConditions (its message names the line it concerns where there is one).
// backN and backM are those of a two-zone lottery's back zone (0 for other lotteries, which
// refuse a 后区号码 line); the back numbers must lie in 1..backN, be distinct and at least backM.
FilterSet ParseFilterSet(const QByteArray &text, int n, int m, int backN = 0, int backM = 0);

// The file forms: ReadFilterSet refuses files larger than kMaxFilterSetBytes; WriteFilterSet
// replaces the file through a temporary one.
constexpr qint64 kMaxFilterSetBytes = 1 << 20;
FilterSet ReadFilterSet(const QString &path, int n, int m, int backN = 0, int backM = 0);
void WriteFilterSet(const QString &path, const FilterSet &set);

// The name proposed for a lottery's set: "双色球过滤条件.txt" (kept in the program folder's 附属/).
QString ProposedFilterSetName(const QString &lotteryName);

} // namespace lumaro
