#pragma once

#include "analysis/indicator_history.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace lumaro {

class DrawTable;

// The zone choice offers 1 to 7 zones.
inline constexpr int kMaxZones = 7;
// The zone count a new zone window starts with: M, kept within 1..7.
int DefaultZoneCount(int m);
// The grid header of zone `zone` (1-based): start "-" end "号码总数", end cut to N, both "%.2d".
// Zones that start above N keep their start: N = 36, Z = 7 gives "37-36号码总数" for zone 7.
// The digits of a digit lottery run from 0 to N - 1: zone 1 then starts at 00 and the ends are
// cut to N - 1 (lowest 0).
QString ZoneHeader(int zone, int width, int n, int lowest = 1);

// Per draw of a draw table, how many of its numbers fall into each of Z zones.
class ZoneHistory {
public:
    ZoneHistory() = default;
    // zones is kept within 1..7. lowest: the smallest number the table holds, 1 for lotto
    // numbers, 0 for the digits of a digit lottery (the digit 0 counts in zone 1).
    ZoneHistory(const DrawTable &table, int n, int zones, int lowest = 1);

    int n() const { return m_n; }
    int zoneCount() const { return m_zones; }
    int zoneWidth() const { return m_width; }
    int rowCount() const { return static_cast<int>(m_periods.size()); }

    qint32 period(int row) const { return m_periods[static_cast<std::size_t>(row)]; }
    QString numbersText(int row) const;
    // Count of row's numbers in 0-based zone.
    int count(int row, int zone) const { return m_counts[static_cast<std::size_t>(row) * m_zones + zone]; }

    // Z + 2 columns: period, numbers, one count per zone.
    QStringList headers() const;
    QString cellText(int row, int column) const;

    // The last k rows: period labels and, per zone, the counts.
    QStringList recentLabels(int k) const;
    std::vector<std::vector<double>> recentCounts(int k) const;

private:
    int m_n = 0;
    int m_lowest = 1;
    int m_m = 0;
    int m_zones = 1;
    int m_width = 0;
    std::vector<qint32> m_periods;
    std::vector<int> m_numbers;
    std::vector<int> m_counts;
};

} // namespace lumaro
