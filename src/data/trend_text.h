#pragma once

#include "data/draw_table.h"
#include "data/lottery_definition.h"

#include <QString>

#include <vector>

namespace lumaro {

// The cells of the trend grid, one row per draw, N + 3 texts a row:
//   0: the period number as decimal text
//   1: the M values "%.2d" joined by one blank
//   2: "0" (the separator column)
//   3 .. N + 2: "1" where the row holds the number of that column, else "0".
// For a lotto lottery column v + 2 stands for number v (1..N); for a digit lottery column d + 3
// stands for digit d (0..N-1), so that the digit 0 has a column too.
// Only the values are kept; the texts are made when a cell is read.
class TrendText {
public:
    TrendText() = default;
    TrendText(int rows, int n, int m, LotteryKind kind);

    int rowCount() const { return m_rows; }
    int columnCount() const { return m_rows == 0 && m_n == 0 ? 0 : m_n + 3; }
    int n() const { return m_n; }
    int m() const { return m_m; }

    // Row values: the period and M numbers (drawn numbers or variant ranks).
    void setRow(int row, int period, const int *values);

    QString cell(int row, int column) const;
    int period(int row) const { return m_values[index(row)]; }
    const int *values(int row) const { return &m_values[index(row) + 1]; }
    // The value the number column c (3..N+2) stands for.
    int valueOfColumn(int column) const { return m_digit ? column - 3 : column - 2; }
    // True when the row holds the value of number column c.
    bool marked(int row, int column) const;

private:
    std::size_t index(int row) const { return static_cast<std::size_t>(row) * (m_m + 1); }

    int m_rows = 0;
    int m_n = 0;
    int m_m = 0;
    bool m_digit = false;
    std::vector<int> m_values;
};

// The back zone of a two-zone lottery beside the trend grid, one row per draw, L + 1 texts a
// row:
//   0: the K back numbers "%.2d" joined by one blank, in drawn order
//   1 .. L: "1" where the row holds back number c, else "0".
// Built from OpenLottery::backTable; the back zone is never transformed, so it is the same in the
// standard and in the variant trend.
class BackTrendText {
public:
    BackTrendText() = default;
    // backTable: rows as DrawTable (cell 0 the period, cells 1..K the back numbers); backN: L.
    BackTrendText(const DrawTable &backTable, int backN);

    int rowCount() const { return m_table.rowCount(); }
    int columnCount() const { return m_backN > 0 ? m_backN + 1 : 0; }
    int backN() const { return m_backN; }
    int backM() const { return m_table.numberCount(); }

    QString cell(int row, int column) const;
    // True when the row holds back number c (1..L).
    bool marked(int row, int number) const;

private:
    DrawTable m_table;
    int m_backN = 0;
};

} // namespace lumaro
