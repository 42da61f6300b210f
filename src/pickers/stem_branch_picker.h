#pragma once

#include "common/progress.h"
#include "pickers/optimal_picker.h"

#include <QDate>

#include <array>
#include <optional>

namespace lumaro {

// The sexagenary day cycle: 2001-5-1 is stem 0 (甲) and branch 0 (子); every later or earlier
// day moves both on by its day difference (stems mod 10, branches mod 12).
struct StemBranch {
    int stem = 0; // 0 … 9
    int branch = 0; // 0 … 11
};

StemBranch StemBranchOf(const QDate &date);
// "甲" … "癸" and "子" … "亥" as the picker shows them.
QString StemName(int stem);
QString BranchName(int branch);
// The stem or branch index of a name, -1 when it is none.
int StemIndex(const QString &name);
int BranchIndex(const QString &name);

// The five elements (1 … 5) of the stems and branches, and their relations.
int StemElement(int stem);
int BranchElement(int branch);
int ElementGenerates(int element);
int ElementGeneratedBy(int element);
int ElementOvercomes(int element);

// Selected last digits 0 … 9.
using DigitFlags = std::array<bool, 10>;

// The digit selection for a stem and a branch; extra is "附加".
DigitFlags SelectDigits(int stem, int branch, bool extra);

// A draw date text (year-month-day, any single separator) as a calendar date.
std::optional<QDate> ParseDrawDate(const QString &text);
// The date of the coming draw after the last one: for 中国福彩七乐彩 the next Monday,
// Wednesday or Friday, for any other lottery the next day.
QDate NextDrawDate(const QString &lotteryName, const QDate &lastDraw);
// The date of target T (0 … draw count): the draw's own date, or for the coming period the
// next draw date after the last draw. Empty when the date text cannot be read.
std::optional<QDate> TargetDate(const QString &lotteryName, const QStringList &drawDates, int target);

// Every number of the range whose last digit is selected, ascending.
std::vector<int> StemBranchProposal(const DigitFlags &digits, const NumberRange &range);

// The back-test: every draw's own date gives its proposal and hit count; numbers are written as
// plain integers. A draw whose date cannot be read gets empty proposal and hit fields and stays
// out of the memo. Honours a cancel.
BacktestResult StemBranchBacktest(const DrawTable &draws, const QStringList &drawDates, const NumberRange &range,
    bool extra, const Progress &progress = {});

} // namespace lumaro
