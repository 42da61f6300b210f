#include "data/trend_text.h"

#include "common/text_format.h"

namespace lumaro {

TrendText::TrendText(int rows, int n, int m, LotteryKind kind)
    : m_rows(rows)
    , m_n(n)
    , m_m(m)
    , m_digit(kind == LotteryKind::Digit)
    , m_values(static_cast<std::size_t>(rows) * (m + 1), 0)
{ }

void TrendText::setRow(int row, int period, const int *values)
{
    int *p = &m_values[index(row)];
    p[0] = period;
    for (int k = 0; k < m_m; ++k)
        p[k + 1] = values[k];
}

bool TrendText::marked(int row, int column) const
{
    if (column < 3 || column > m_n + 2)
        return false;
    const int value = valueOfColumn(column);
    const int *v = values(row);
    for (int k = 0; k < m_m; ++k) {
        if (v[k] == value)
            return true;
    }
    return false;
}

QString TrendText::cell(int row, int column) const
{
    switch (column) {
    case 0:
        return QString::number(period(row));
    case 1:
        return JoinPadded(values(row), m_m);
    case 2:
        return QStringLiteral("0");
    default:
        return marked(row, column) ? QStringLiteral("1") : QStringLiteral("0");
    }
}

BackTrendText::BackTrendText(const DrawTable &backTable, int backN)
    : m_table(backTable)
    , m_backN(backTable.numberCount() > 0 ? backN : 0)
{ }

bool BackTrendText::marked(int row, int number) const
{
    if (number < 1 || number > m_backN)
        return false;
    const qint32 *back = m_table.numbers(row);
    for (int k = 0; k < backM(); ++k) {
        if (back[k] == number)
            return true;
    }
    return false;
}

QString BackTrendText::cell(int row, int column) const
{
    if (column == 0)
        return JoinPadded(m_table.numbers(row), backM());
    return marked(row, column) ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace lumaro
