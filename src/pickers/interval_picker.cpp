#include "pickers/interval_picker.h"

#include <numeric>

namespace lumaro {

IntervalPicker::IntervalPicker(const DrawTable &draws, NumberRange range)
    : m_draws(draws)
    , m_range(range)
{
    const int m = draws.numberCount();
    m_gaps.assign(static_cast<std::size_t>(draws.rowCount()) * static_cast<std::size_t>(std::max(0, m)), 0);
    std::vector<int> lastSeen(static_cast<std::size_t>(std::max(0, range.count())), -1);
    for (int t = 0; t < draws.rowCount(); ++t) {
        const qint32 *numbers = draws.numbers(t);
        for (int k = 0; k < m; ++k) {
            const int x = numbers[k];
            const int u = range.contains(x) ? lastSeen[static_cast<std::size_t>(range.slot(x))] : -1;
            m_gaps[static_cast<std::size_t>(t) * m + k] = t - u;
        }
        // A number drawn twice in one digit draw is not its own earlier occurrence.
        for (int k = 0; k < m; ++k) {
            if (range.contains(numbers[k]))
                lastSeen[static_cast<std::size_t>(range.slot(numbers[k]))] = t;
        }
    }
}

void IntervalPicker::checkSettings(const IntervalSettings &settings) const
{
    CheckSetting(QStringLiteral("间隔期数"), settings.interval, 1, kMaxInterval);
    CheckSetting(QStringLiteral("选号个数"), settings.count, 1, m_range.count());
}

std::vector<int> IntervalPicker::orderedIntervals(int target, int interval) const
{
    const int m = m_draws.numberCount();
    // The window: draws target - 1 down to target - L - 1 (or down to the first draw).
    const int start = target > interval ? target - interval - 1 : 0;
    std::vector<int> counts(static_cast<std::size_t>(interval) + 1, 0);
    for (int t = start; t < target; ++t) {
        const int *gaps = &m_gaps[static_cast<std::size_t>(t) * m];
        for (int k = 0; k < m; ++k) {
            if (gaps[k] >= 1 && gaps[k] <= interval)
                ++counts[static_cast<std::size_t>(gaps[k])];
        }
    }
    std::vector<int> order(static_cast<std::size_t>(interval));
    std::iota(order.begin(), order.end(), 1);
    ExchangeSort(order, [&](int later, int earlier) {
        return counts[static_cast<std::size_t>(later)] < counts[static_cast<std::size_t>(earlier)];
    });
    return order;
}

std::vector<int> IntervalPicker::proposeWith(
    int target, const IntervalSettings &settings, const std::vector<int> &lastSeen) const
{
    std::vector<int> proposal;
    proposal.reserve(static_cast<std::size_t>(settings.count));
    for (int d : orderedIntervals(target, settings.interval)) {
        for (int x = m_range.first; x <= m_range.last; ++x) {
            if (static_cast<int>(proposal.size()) >= settings.count)
                return proposal;
            // A number never drawn is absent since before the first draw: target + 1.
            if (target - lastSeen[static_cast<std::size_t>(m_range.slot(x))] == d)
                proposal.push_back(x);
        }
    }
    return proposal;
}

std::vector<int> IntervalPicker::propose(int target, const IntervalSettings &settings) const
{
    CheckTarget(target, m_draws.rowCount());
    checkSettings(settings);
    std::vector<int> lastSeen(static_cast<std::size_t>(m_range.count()), -1);
    for (int t = 0; t < target; ++t) {
        const qint32 *numbers = m_draws.numbers(t);
        for (int k = 0; k < m_draws.numberCount(); ++k) {
            if (m_range.contains(numbers[k]))
                lastSeen[static_cast<std::size_t>(m_range.slot(numbers[k]))] = t;
        }
    }
    return proposeWith(target, settings, lastSeen);
}

BacktestResult IntervalPicker::backtest(const IntervalSettings &settings, const Progress &progress) const
{
    checkSettings(settings);
    const int rows = m_draws.rowCount();
    const int m = m_draws.numberCount();
    BacktestResult result;
    result.fillDraws(m_draws, true);
    result.tally.assign(static_cast<std::size_t>(m) + 1, 0);
    std::vector<int> lastSeen(static_cast<std::size_t>(m_range.count()), -1);
    HitCounter hits(m_range);
    const ChanceModel chance = ChanceModelOf(m_range, m);
    for (int p = 0; p < rows; ++p) {
        if (result.interrupted(progress, p, rows))
            return result;
        const qint32 *numbers = m_draws.numbers(p);
        BacktestRow &row = result.rows[static_cast<std::size_t>(p)];
        if (p >= 1) {
            const std::vector<int> proposal = proposeWith(p, settings, lastSeen);
            row.proposed = PaddedNumbers(proposal);
            row.hitCount = hits.count(numbers, m, proposal);
            result.addToTally(row.hitCount);
            result.chance.add(chance, static_cast<int>(proposal.size()), row.hitCount);
        }
        // The first draw has nothing to propose from; it still enters the memo with 0 hits, but
        // not the tally nor the comparison with chance.
        row.hits = QString::number(row.hitCount);
        result.judge(row.hitCount);
        for (int k = 0; k < m; ++k) {
            if (m_range.contains(numbers[k]))
                lastSeen[static_cast<std::size_t>(m_range.slot(numbers[k]))] = p;
        }
    }
    progress.step(rows, rows);
    result.memo = HitRangeMemo(result);
    return result;
}

} // namespace lumaro
