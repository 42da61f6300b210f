#include "analysis/zone_history.h"

#include "common/text_format.h"
#include "data/draw_table.h"

#include <algorithm>

namespace lumaro {

int DefaultZoneCount(int m)
{
    return std::clamp(m, 1, kMaxZones);
}

QString ZoneHeader(int zone, int width, int n, int lowest)
{
    const int start = zone == 1 ? std::min(lowest, 1) : (zone - 1) * width + 1;
    const int end = std::min(zone * width, lowest < 1 ? n - 1 : n);
    return Pad2(start) + QLatin1Char('-') + Pad2(end) + QStringLiteral("号码总数");
}

ZoneHistory::ZoneHistory(const DrawTable &table, int n, int zones, int lowest)
    : m_n(n)
    , m_lowest(lowest)
    , m_m(table.numberCount())
    , m_zones(std::clamp(zones, 1, kMaxZones))
    , m_width(ZoneWidth(n, m_zones))
{
    const int rows = table.rowCount();
    m_periods.reserve(static_cast<std::size_t>(rows));
    m_numbers.reserve(static_cast<std::size_t>(rows) * m_m);
    m_counts.reserve(static_cast<std::size_t>(rows) * m_zones);
    for (int row = 0; row < rows; ++row) {
        const int *d = table.numbers(row);
        m_periods.push_back(table.period(row));
        m_numbers.insert(m_numbers.end(), d, d + m_m);
        const std::vector<int> counts = ZoneCounts(d, m_m, n, m_zones);
        m_counts.insert(m_counts.end(), counts.begin(), counts.end());
    }
}

QString ZoneHistory::numbersText(int row) const
{
    return DrawNumbersText(&m_numbers[static_cast<std::size_t>(row) * m_m], m_m);
}

QStringList ZoneHistory::headers() const
{
    QStringList headers {QStringLiteral("记录期号"), QStringLiteral("开奖号码")};
    for (int zone = 1; zone <= m_zones; ++zone)
        headers << ZoneHeader(zone, m_width, m_n, m_lowest);
    return headers;
}

QString ZoneHistory::cellText(int row, int column) const
{
    if (column == 0)
        return QString::number(period(row));
    if (column == 1)
        return numbersText(row);
    return QString::number(count(row, column - 2));
}

QStringList ZoneHistory::recentLabels(int k) const
{
    QStringList labels;
    for (int row = std::max(0, rowCount() - std::max(k, 0)); row < rowCount(); ++row)
        labels << QString::number(period(row));
    return labels;
}

std::vector<std::vector<double>> ZoneHistory::recentCounts(int k) const
{
    std::vector<std::vector<double>> values(static_cast<std::size_t>(m_zones));
    for (int row = std::max(0, rowCount() - std::max(k, 0)); row < rowCount(); ++row) {
        for (int zone = 0; zone < m_zones; ++zone)
            values[static_cast<std::size_t>(zone)].push_back(count(row, zone));
    }
    return values;
}

} // namespace lumaro
