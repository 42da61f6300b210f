#include "analysis/omission_table.h"

#include "common/errors.h"
#include "common/text_format.h"
#include "data/draw_table.h"
#include "data/open_lottery.h"

#include <algorithm>
#include <utility>

namespace lumaro {

namespace {

bool Contains(const int *d, int m, int number)
{
    return std::find(d, d + m, number) != d + m;
}

// True when row b must come before row a.
bool Precedes(const OmissionRow &b, const OmissionRow &a, OmissionSort sort)
{
    switch (sort) {
    case OmissionSort::ChaseValue:
        return b.chaseValue > a.chaseValue;
    case OmissionSort::Omission:
        return b.omission > a.omission;
    case OmissionSort::Hits:
        return b.hits < a.hits;
    case OmissionSort::Number:
        break;
    }
    return false;
}

OmissionRow RateNumber(const DrawTable &table, int n, int m, int number, OmissionMode mode)
{
    const int width = table.numberCount();
    const int draws = table.rowCount();
    const double period = static_cast<double>(n) / m;
    OmissionRow r;
    r.number = number;
    int last = draws - 1;
    int g1 = 0;
    int g2 = 0;
    int g3 = 0;
    for (int i = draws - 1; i >= 0; --i) {
        if (!Contains(table.numbers(i), width, number))
            continue;
        const int gap = last - i;
        ++r.hits;
        if (r.hits == 1)
            g1 = gap;
        else if (r.hits == 2)
            g2 = gap;
        else if (r.hits == 3)
            g3 = gap;
        if (mode == OmissionMode::Skew) {
            if (r.hits == 1)
                r.omission = g1;
        } else if (r.hits == 3 || r.hits == 4) {
            // Two or three hits close together after a cold spell of at least three periods.
            const bool recent = g1 <= 1.5 * period && g2 <= period;
            const bool rebound
                = r.hits == 3 ? recent && gap >= 3 * period : recent && g3 <= period && gap >= 3 * period;
            if (rebound)
                r.omission = gap;
        }
        r.longest = std::max(r.longest, gap);
        last = i;
    }
    r.chaseValue = ChaseValue(draws, m, n, r.omission, r.hits);
    return r;
}

} // namespace

qint64 ChaseValue(int draws, int m, int n, int omission, int hits)
{
    if (hits <= 0 || n <= 0)
        return 0;
    const qint64 dividend = static_cast<qint64>(draws) * m * m * omission * 100;
    const qint64 divisor = static_cast<qint64>(n) * n * hits;
    return dividend / divisor;
}

double OmissionTable::theoreticalPeriod() const
{
    return m > 0 ? static_cast<double>(n) / m : 0;
}

double OmissionTable::theoreticalHits() const
{
    return n > 0 ? static_cast<double>(draws) * m / n : 0;
}

QStringList OmissionTable::headers() const
{
    return {QStringLiteral("待选号码"), QStringLiteral("理论周期"), QStringLiteral("理论中奖总次数"),
        QStringLiteral("实际总奖总次数"), QStringLiteral("历史最大遗漏"),
        mode == OmissionMode::Rebound ? QStringLiteral("前次遗漏") : QStringLiteral("目前遗漏"),
        QStringLiteral("目前冷态倍数"), QStringLiteral("追号价值")};
}

QString OmissionTable::cellText(int row, int column) const
{
    const OmissionRow &r = rows[static_cast<std::size_t>(row)];
    switch (column) {
    case 0:
        return Pad2(r.number);
    case 1:
        return Fixed1(theoreticalPeriod());
    case 2:
        return Fixed1(theoreticalHits());
    case 3:
        return QString::number(r.hits);
    case 4:
        return QString::number(r.longest);
    case 5:
        return QString::number(r.omission);
    case 6:
        // "0" without an omission: no rebound, a number never drawn or drawn in the latest draw.
        return r.omission > 0 ? Fixed1(static_cast<double>(r.omission) * m / n) : QStringLiteral("0");
    default:
        return QString::number(r.chaseValue) + QLatin1Char('%');
    }
}

void SortOmissionRows(std::vector<OmissionRow> &rows, OmissionSort sort)
{
    if (sort == OmissionSort::Number)
        return;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = i + 1; j < rows.size(); ++j) {
            if (Precedes(rows[j], rows[i], sort))
                std::swap(rows[i], rows[j]);
        }
    }
}

OmissionTable BuildOmissionTable(
    const DrawTable &table, int n, int m, int lowest, int highest, OmissionMode mode, OmissionSort sort)
{
    OmissionTable t;
    t.mode = mode;
    t.n = n;
    t.m = m;
    t.draws = table.rowCount();
    if (t.m <= 0 || n <= 0)
        return t;
    for (int number = lowest; number <= highest; ++number)
        t.rows.push_back(RateNumber(table, n, m, number, mode));
    SortOmissionRows(t.rows, sort);
    return t;
}

OmissionTable BuildOmissionTable(const OpenLottery &lottery, OmissionMode mode, OmissionSort sort, OmissionZone zone)
{
    if (zone == OmissionZone::Back) {
        if (!lottery.twoZone())
            throw InputError(QStringLiteral("彩票“%1”没有后区，只能分析前区号码！").arg(lottery.name));
        return BuildOmissionTable(lottery.backTable, lottery.backN, lottery.backM, 1, lottery.backN, mode, sort);
    }
    const LotteryDefinition d = lottery.definition();
    return BuildOmissionTable(lottery.drawTable, d.n, d.m, d.lowestNumber(), d.highestNumber(), mode, sort);
}

} // namespace lumaro
