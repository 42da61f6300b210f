#pragma once

#include <QtGlobal>

#include <vector>

namespace lumaro {

// rows × (M + 1) signed 32-bit cells: cell 0 the period number, cells 1..M the numbers.
// The shape of both the draw table and the variant draw table.
class DrawTable {
public:
    DrawTable() = default;
    DrawTable(int rows, int m)
        : m_rows(rows)
        , m_width(m + 1)
        , m_cells(static_cast<std::size_t>(rows) * (m + 1), 0)
    { }

    int rowCount() const { return m_rows; }
    // M, the count of numbers per row.
    int numberCount() const { return m_width - 1; }
    bool isEmpty() const { return m_rows == 0; }

    qint32 period(int row) const { return m_cells[index(row, 0)]; }
    // The numbers of a row, cells 1..M.
    const qint32 *numbers(int row) const { return &m_cells[index(row, 1)]; }
    qint32 *numbers(int row) { return &m_cells[index(row, 1)]; }
    qint32 cell(int row, int column) const { return m_cells[index(row, column)]; }
    qint32 &cell(int row, int column) { return m_cells[index(row, column)]; }

    void clear() { *this = DrawTable(); }

private:
    std::size_t index(int row, int column) const { return static_cast<std::size_t>(row) * m_width + column; }

    int m_rows = 0;
    int m_width = 1;
    std::vector<qint32> m_cells;
};

} // namespace lumaro
