#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// Money arithmetic of the investment plans and the investment analysis: signed 64-bit whole
// numbers, divisions truncating toward zero, and the search for the smallest multiple that
// reaches a wanted result. Intermediate products are formed in 128 bits, so a plan whose figures
// leave the 64-bit range is refused instead of silently wrapping around.
namespace lumaro {

__extension__ typedef __int128 WideMoney;

// A decimal 64-bit whole number typed into a box or read from a file; blanks around it are
// allowed. Anything else is a ConversionError with the standard invalid-integer text.
qint64 ToMoney(const QString &text);
// A typed amount that cannot be negative (a loss carried in, a profit, a stake, a prize, a
// limit): ToMoney(), then the InputError "<what>不能为负数！" for a negative amount.
qint64 ToMoneyNotNegative(const QString &text, const QString &what);

// The value as 64 bits; an InputError when it does not fit.
qint64 NarrowMoney(WideMoney value);

// net × 100 ÷ input, truncating toward zero; 0 when the input is 0 (no stake, no rate).
qint64 ProfitRate(qint64 net, qint64 input);

// The smallest m in 1 … maxMultiple with coefficient × m ≥ need, or none. Multiples that reach
// a result form a contiguous range because the left side is linear in m; this gives the range.
struct MultipleRange {
    qint64 lo = 1;
    qint64 hi = 0; // empty when hi < lo
    bool isEmpty() const { return hi < lo; }
    MultipleRange intersected(const MultipleRange &other) const;
};
MultipleRange MultiplesReaching(WideMoney coefficient, WideMoney need, qint64 maxMultiple);
std::optional<qint64> FirstMultiple(WideMoney coefficient, WideMoney need, qint64 maxMultiple);

} // namespace lumaro
