#pragma once

#include "data/draw_table.h"

#include <vector>

namespace lumaro::test {

// A draw table from rows of numbers; periods run from firstPeriod on.
inline DrawTable DrawTableOf(const std::vector<std::vector<int>> &rows, int firstPeriod = 2020001)
{
    const int m = rows.empty() ? 0 : static_cast<int>(rows.front().size());
    DrawTable table(static_cast<int>(rows.size()), m);
    for (int r = 0; r < table.rowCount(); ++r) {
        table.cell(r, 0) = firstPeriod + r;
        for (int k = 0; k < m; ++k)
            table.numbers(r)[k] = rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)];
    }
    return table;
}

} // namespace lumaro::test
