#pragma once

#include "data/lottery_definition.h"

#include <QtGlobal>

#include <vector>

namespace lumaro {

// The candidate tickets: one row per ticket with M numbers and a state (0 alive, 1 rejected).
// The complete sets (every lotto combination, every digit tuple) are not stored: a row's numbers
// follow from its index in lexicographic order, and states take one byte per row, allocated the
// first time a state is set. Tickets read from a file are stored one small integer per number.
// Either way every reader sees the same rows in the same order.
class TicketSet {
public:
    enum class Layout { Empty, Lexicographic, DigitTuples, Explicit };

    // The most rows a ticket table may hold; more is refused with a CapacityError.
    static constexpr qint64 kMaxRows = 500'000'000;

    TicketSet() = default;
    // All C(n, m) ascending combinations of 1..n, row 0 = 1 2 … m.
    static TicketSet lexicographic(int n, int m);
    // All n^m tuples of the digits 0..n-1, row 0 = 0 0 … 0.
    static TicketSet digitTuples(int n, int m);
    // The complete set of a lottery of the given kind.
    static TicketSet forLottery(LotteryKind kind, int n, int m);
    // Explicit rows, row-major, m numbers a row, in the given order.
    static TicketSet fromRows(int m, std::vector<qint16> numbers);
    // Throws a CapacityError when a table of that many rows would not fit.
    static void checkCapacity(qint64 rows, int n, int m);

    Layout layout() const { return m_layout; }
    qint64 rowCount() const { return m_rows; }
    // M, the numbers per row. A row has M + 2 cells: the numbers, the state and a spare.
    int width() const { return m_m; }
    int cellCount() const { return m_m + 2; }
    bool isEmpty() const { return m_rows == 0; }

    void numbers(qint64 row, int *out) const;
    // Cell c of a row: 0..M-1 the numbers, M the state, M + 1 the spare cell (always 0).
    int cell(qint64 row, int column) const;

    quint8 state(qint64 row) const { return m_states.empty() ? 0 : m_states[static_cast<std::size_t>(row)]; }
    void setState(qint64 row, quint8 state);
    // The state bytes of all rows, allocated (all alive) if they were not yet: for engines that
    // mark rows from several threads, each thread writing its own rows.
    quint8 *stateData();
    // Marks every row alive again.
    void resetStates() { m_states.clear(); }
    qint64 aliveCount() const;

    // Calls fn(row, numbers) for every row in [begin, end), stepping the numbers without
    // recomputing each row from its index.
    template<class Fn>
    void forRange(qint64 begin, qint64 end, Fn &&fn) const
    {
        if (begin >= end)
            return;
        std::vector<int> current(static_cast<std::size_t>(m_m));
        int *c = current.data();
        numbers(begin, c);
        for (qint64 row = begin;;) {
            fn(row, static_cast<const int *>(c));
            if (++row >= end)
                break;
            advance(row, c);
        }
    }
    template<class Fn>
    void forEach(Fn &&fn) const
    {
        forRange(0, m_rows, std::forward<Fn>(fn));
    }

private:
    // Moves c from row - 1 to row.
    void advance(qint64 row, int *c) const;

    Layout m_layout = Layout::Empty;
    int m_n = 0;
    int m_m = 0;
    qint64 m_rows = 0;
    std::vector<qint16> m_explicit;
    std::vector<quint8> m_states;
};

} // namespace lumaro
