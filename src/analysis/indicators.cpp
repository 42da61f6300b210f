#include "analysis/indicators.h"

#include <algorithm>
#include <cstdlib>

namespace lumaro {

int BigCount(const int *d, int m, int n, BigRule rule)
{
    const int h = n / 2;
    int count = 0;
    for (int j = 0; j < m; ++j)
        count += (rule == BigRule::Analysis ? d[j] > h : d[j] >= h) ? 1 : 0;
    return count;
}

int OddCount(const int *d, int m)
{
    int count = 0;
    for (int j = 0; j < m; ++j)
        count += (d[j] % 2 != 0) ? 1 : 0;
    return count;
}

int SumValue(const int *d, int m)
{
    int sum = 0;
    for (int j = 0; j < m; ++j)
        sum += d[j];
    return sum;
}

int SpanValue(const int *d, int m)
{
    if (m <= 0)
        return 0;
    int lo = d[0];
    int hi = d[0];
    for (int j = 1; j < m; ++j) {
        lo = std::min(lo, d[j]);
        hi = std::max(hi, d[j]);
    }
    return hi - lo;
}

int DispersionValue(const int *d, int m, int n)
{
    int widest = 0;
    for (int v = 1; v <= n; ++v) {
        int nearest = -1;
        for (int j = 0; j < m; ++j) {
            const int gap = std::abs(v - d[j]);
            if (nearest < 0 || gap < nearest)
                nearest = gap;
        }
        widest = std::max(widest, nearest);
    }
    return widest;
}

int DeviationValue(const int *d, const int *previous, int m)
{
    int widest = 0;
    for (int j = 0; j < m; ++j) {
        int nearest = -1;
        for (int k = 0; k < m; ++k) {
            const int gap = std::abs(d[j] - previous[k]);
            if (nearest < 0 || gap < nearest)
                nearest = gap;
        }
        widest = std::max(widest, nearest);
    }
    return widest;
}

double DeviationWithoutPrevious(int n, int m)
{
    return (n - m) / 2.0;
}

int AcValue(const int *d, int m, int n)
{
    // Differences of a lotto set lie in 1..N-1; digit sets may give 0. Values outside 0..N
    // (a ticket read from a file) are still counted, each distinct value once.
    std::vector<char> seen(static_cast<std::size_t>(std::max(n, 1) + 1), 0);
    std::vector<int> outside;
    int count = 0;
    for (int j = 0; j < m; ++j) {
        for (int k = j + 1; k < m; ++k) {
            const int diff = std::abs(d[j] - d[k]);
            if (diff <= n) {
                if (!seen[static_cast<std::size_t>(diff)]) {
                    seen[static_cast<std::size_t>(diff)] = 1;
                    ++count;
                }
            } else if (std::find(outside.begin(), outside.end(), diff) == outside.end()) {
                outside.push_back(diff);
                ++count;
            }
        }
    }
    return count;
}

int RepeatCount(const int *d, const int *previous, int m)
{
    if (!previous)
        return 0;
    int count = 0;
    for (int j = 0; j < m; ++j) {
        for (int k = 0; k < m; ++k) {
            if (d[j] == previous[k]) {
                ++count;
                break;
            }
        }
    }
    return count;
}

int ZoneWidth(int n, int zones)
{
    if (zones <= 0)
        return n;
    return (n + zones - 1) / zones;
}

std::vector<int> ZoneCounts(const int *d, int m, int n, int zones)
{
    std::vector<int> counts(static_cast<std::size_t>(std::max(zones, 0)), 0);
    const int width = ZoneWidth(n, zones);
    for (int j = 0; j < m; ++j) {
        // Digit lotteries draw 0 … N-1: the digit 0 sits at the bottom of zone 1.
        const int zone = width > 0 && d[j] >= 0 ? (d[j] == 0 ? 0 : ZoneOf(d[j], width)) : -1;
        if (zone >= 0 && zone < zones)
            ++counts[static_cast<std::size_t>(zone)];
    }
    return counts;
}

double IndicatorOfDraw(Indicator indicator, const int *const *rows, int row, int m, int n)
{
    return IndicatorValue(indicator, rows[row], row > 0 ? rows[row - 1] : nullptr, m, n);
}

bool UsesHistoryMean(Indicator indicator)
{
    return indicator != Indicator::Big && indicator != Indicator::Odd && indicator != Indicator::Repeat;
}

double IndicatorValue(Indicator indicator, const int *d, const int *previous, int m, int n)
{
    switch (indicator) {
    case Indicator::Big:
        return BigCount(d, m, n, BigRule::Analysis);
    case Indicator::Odd:
        return OddCount(d, m);
    case Indicator::Sum:
        return SumValue(d, m);
    case Indicator::Span:
        return SpanValue(d, m);
    case Indicator::Dispersion:
        return DispersionValue(d, m, n);
    case Indicator::Deviation:
        return previous ? DeviationValue(d, previous, m) : DeviationWithoutPrevious(n, m);
    case Indicator::Ac:
        return AcValue(d, m, n);
    case Indicator::Repeat:
        return RepeatCount(d, previous, m);
    }
    return 0;
}

TheoreticalValues TheoreticalValuesOf(Indicator indicator, int n, int m, double historyMean, int k)
{
    TheoreticalValues t;
    t.average = historyMean;
    t.totalOverK = k * historyMean;
    switch (indicator) {
    case Indicator::Big:
    case Indicator::Odd:
        t.maximum = m;
        t.minimum = 0;
        t.average = m / 2.0;
        t.totalOverK = m * k / 2.0;
        break;
    case Indicator::Sum:
        t.maximum = (2.0 * n - m + 1) * m / 2.0;
        t.minimum = m * (m + 1) / 2.0;
        break;
    case Indicator::Span:
        t.maximum = n - 1;
        t.minimum = m - 1;
        break;
    case Indicator::Dispersion: {
        t.maximum = n - m;
        // Undefined for one number a draw; 0 then.
        const int q = m > 1 ? (n - 1) / (m - 1) : 0;
        t.minimum = q % 2 == 0 ? q / 2 : (q + 1) / 2;
        break;
    }
    case Indicator::Deviation:
        t.maximum = n - m;
        t.minimum = 0;
        break;
    case Indicator::Ac:
        t.maximum = m * (m - 1) / 2.0;
        t.minimum = m - 1;
        break;
    case Indicator::Repeat:
        t.maximum = m;
        t.minimum = 0;
        t.average = n > 0 ? (m * m) / n : 0;
        t.totalOverK = n > 0 ? (m * k * m) / n : 0;
        break;
    }
    return t;
}

bool IsPrime(int v)
{
    if (v < 2)
        return false;
    for (int d = 2; d * d <= v; ++d) {
        if (v % d == 0)
            return false;
    }
    return true;
}

} // namespace lumaro
