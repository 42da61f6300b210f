#include "invest/money.h"

#include "common/errors.h"

#include <algorithm>
#include <limits>

namespace lumaro {

qint64 ToMoney(const QString &text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok, 10);
    if (!ok)
        throw ConversionError::notInteger(text);
    return value;
}

qint64 ToMoneyNotNegative(const QString &text, const QString &what)
{
    const qint64 value = ToMoney(text);
    if (value < 0)
        throw InputError(QStringLiteral("%1不能为负数！").arg(what));
    return value;
}

qint64 NarrowMoney(WideMoney value)
{
    if (value > std::numeric_limits<qint64>::max() || value < std::numeric_limits<qint64>::min())
        throw InputError(QStringLiteral("金额太大，超出计算范围！"));
    return static_cast<qint64>(value);
}

qint64 ProfitRate(qint64 net, qint64 input)
{
    if (input == 0)
        return 0;
    return NarrowMoney(WideMoney(net) * 100 / input);
}

MultipleRange MultipleRange::intersected(const MultipleRange &other) const
{
    return {std::max(lo, other.lo), std::min(hi, other.hi)};
}

namespace {

// Floor and ceiling of a / b for b != 0 (C++ division truncates toward zero).
WideMoney FloorDiv(WideMoney a, WideMoney b)
{
    WideMoney q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

WideMoney CeilDiv(WideMoney a, WideMoney b)
{
    WideMoney q = a / b;
    if ((a % b != 0) && ((a < 0) == (b < 0)))
        ++q;
    return q;
}

} // namespace

MultipleRange MultiplesReaching(WideMoney coefficient, WideMoney need, qint64 maxMultiple)
{
    MultipleRange all {1, maxMultiple};
    if (coefficient == 0)
        return need <= 0 ? all : MultipleRange {1, 0};
    if (coefficient > 0) {
        const WideMoney lo = CeilDiv(need, coefficient);
        if (lo > maxMultiple)
            return {1, 0};
        return {static_cast<qint64>(std::max<WideMoney>(lo, 1)), maxMultiple};
    }
    // coefficient < 0: m × c ≥ need  ⇔  m ≤ need ÷ c
    const WideMoney hi = FloorDiv(need, coefficient);
    if (hi < 1)
        return {1, 0};
    return {1, static_cast<qint64>(std::min<WideMoney>(hi, maxMultiple))};
}

std::optional<qint64> FirstMultiple(WideMoney coefficient, WideMoney need, qint64 maxMultiple)
{
    const MultipleRange range = MultiplesReaching(coefficient, need, maxMultiple);
    if (range.isEmpty())
        return std::nullopt;
    return range.lo;
}

} // namespace lumaro
