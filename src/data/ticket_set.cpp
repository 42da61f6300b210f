#include "data/ticket_set.h"

#include "common/errors.h"
#include "data/combination.h"

#include <algorithm>

namespace lumaro {

void TicketSet::checkCapacity(qint64 rows, int n, int m)
{
    if (rows > kMaxRows)
        throw CapacityError(
            QStringLiteral("号码总数%1、选择号码数%2共有%3注投注号码，超过程序能处理的%4注，无法建立号码表。")
                .arg(n)
                .arg(m)
                .arg(rows)
                .arg(kMaxRows));
}

TicketSet TicketSet::lexicographic(int n, int m)
{
    TicketSet set;
    if (m <= 0 || n < m)
        return set;
    set.m_rows = Choose(n, m);
    checkCapacity(set.m_rows, n, m);
    set.m_layout = Layout::Lexicographic;
    set.m_n = n;
    set.m_m = m;
    return set;
}

TicketSet TicketSet::digitTuples(int n, int m)
{
    TicketSet set;
    if (m <= 0 || n <= 0)
        return set;
    set.m_rows = TicketCount(m, n, LotteryKind::Digit);
    checkCapacity(set.m_rows, n, m);
    set.m_layout = Layout::DigitTuples;
    set.m_n = n;
    set.m_m = m;
    return set;
}

TicketSet TicketSet::forLottery(LotteryKind kind, int n, int m)
{
    return kind == LotteryKind::Digit ? digitTuples(n, m) : lexicographic(n, m);
}

TicketSet TicketSet::fromRows(int m, std::vector<qint16> numbers)
{
    TicketSet set;
    if (m <= 0)
        return set;
    set.m_layout = Layout::Explicit;
    set.m_m = m;
    set.m_rows = static_cast<qint64>(numbers.size() / static_cast<std::size_t>(m));
    numbers.resize(static_cast<std::size_t>(set.m_rows * m));
    set.m_explicit = std::move(numbers);
    return set;
}

void TicketSet::numbers(qint64 row, int *out) const
{
    switch (m_layout) {
    case Layout::Empty:
        return;
    case Layout::Lexicographic:
        CombinationUnrank(row + 1, m_n, m_m, out);
        return;
    case Layout::DigitTuples:
        for (int i = m_m - 1; i >= 0; --i) {
            out[i] = static_cast<int>(row % m_n);
            row /= m_n;
        }
        return;
    case Layout::Explicit: {
        const qint16 *p = &m_explicit[static_cast<std::size_t>(row * m_m)];
        std::copy(p, p + m_m, out);
        return;
    }
    }
}

void TicketSet::advance(qint64 row, int *c) const
{
    switch (m_layout) {
    case Layout::Empty:
        return;
    case Layout::Lexicographic:
        NextCombination(c, m_n, m_m);
        return;
    case Layout::DigitTuples:
        for (int i = m_m - 1; i >= 0; --i) {
            if (++c[i] < m_n)
                return;
            c[i] = 0;
        }
        return;
    case Layout::Explicit:
        numbers(row, c);
        return;
    }
}

int TicketSet::cell(qint64 row, int column) const
{
    if (column == m_m)
        return state(row);
    if (column == m_m + 1)
        return 0;
    std::vector<int> values(static_cast<std::size_t>(m_m));
    numbers(row, values.data());
    return values[static_cast<std::size_t>(column)];
}

void TicketSet::setState(qint64 row, quint8 state)
{
    if (m_states.empty()) {
        if (state == 0)
            return;
        m_states.assign(static_cast<std::size_t>(m_rows), 0);
    }
    m_states[static_cast<std::size_t>(row)] = state;
}

quint8 *TicketSet::stateData()
{
    if (m_states.empty())
        m_states.assign(static_cast<std::size_t>(m_rows), 0);
    return m_states.data();
}

qint64 TicketSet::aliveCount() const
{
    if (m_states.empty())
        return m_rows;
    return static_cast<qint64>(std::count(m_states.begin(), m_states.end(), quint8(0)));
}

} // namespace lumaro
