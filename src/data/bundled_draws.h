#pragma once

#include <QString>

#include <vector>

namespace lumaro {

// A real draw history that ships with the program, so that a new program folder can be used
// on real data from its first start.
struct BundledHistory {
    QString lottery; // the built-in lottery it belongs to
    QString resource; // the CSV file the program ships ("…/draws/…")
    // The licence the history comes under, shipped beside it; empty when it needs none. It is
    // copied beside the database that stores the history.
    QString licence;
};

// 中国福彩七乐彩, 福彩3D and 双色球, official draw results.
const std::vector<BundledHistory> &BundledHistories();

// The bundled history of a lottery, or nullptr when it ships none.
const BundledHistory *FindBundledHistory(const QString &lottery);

// What a user sees where a lottery has no draws yet: the lottery's name and the three ways to
// get its draws. fromService: its downloads read an operator's result service, which needs no
// site address from the user.
QString NoDrawsHint(const QString &lottery, bool fromService = false);

} // namespace lumaro
