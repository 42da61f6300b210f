#include "pickers/intimate_picker.h"

#include "common/errors.h"

#include <algorithm>

namespace lumaro {

IntimatePicker::IntimatePicker(const DrawTable &draws, NumberRange range)
    : m_draws(draws)
    , m_range(range)
    , m_width(std::max(0, range.count()))
{
    const int rows = draws.rowCount();
    const int m = draws.numberCount();
    m_prefix.assign(static_cast<std::size_t>(rows + 1) * m_width, 0);
    m_occurrences.assign(static_cast<std::size_t>(m_width), {});
    for (int t = 0; t < rows; ++t) {
        const int *before = &m_prefix[static_cast<std::size_t>(t) * m_width];
        int *after = &m_prefix[static_cast<std::size_t>(t + 1) * m_width];
        std::copy(before, before + m_width, after);
        const qint32 *numbers = draws.numbers(t);
        for (int k = 0; k < m; ++k) {
            if (!range.contains(numbers[k]))
                continue;
            const int slot = range.slot(numbers[k]);
            ++after[slot];
            std::vector<int> &occurrences = m_occurrences[static_cast<std::size_t>(slot)];
            if (occurrences.empty() || occurrences.back() != t)
                occurrences.push_back(t);
        }
    }
}

void IntimatePicker::checkSettings(const IntimateSettings &settings) const
{
    CheckSetting(
        settings.perPosition ? QStringLiteral("各位号码数") : QStringLiteral("总体号码数"), settings.count, 1, m_width);
    if (settings.stop < 0)
        throw InputError(QStringLiteral("阶段次数不能小于0！"));
}

// The walk for reference number r: j runs from T - 2 down to 0. The first draw j0 holding r sets
// the flag; from then on the follower draw j + 1 of every j is tallied, until the S-th draw
// holding r, whose follower is not. So the tallied draws are j_S + 2 … j0 + 1, or 1 … j0 + 1
// when fewer than S earlier draws hold r (or S is 0, all periods). The prefix counts give the
// sum over that run of draws at once.
void IntimatePicker::tallyPosition(int target, int reference, int stop, std::vector<int> &counts) const
{
    std::fill(counts.begin(), counts.end(), 0);
    if (!m_range.contains(reference))
        return;
    const std::vector<int> &occurrences = m_occurrences[static_cast<std::size_t>(m_range.slot(reference))];
    // Occurrences in draws 0 … T - 2.
    const auto end = std::upper_bound(occurrences.begin(), occurrences.end(), target - 2);
    const int earlier = static_cast<int>(end - occurrences.begin());
    if (earlier == 0)
        return;
    const int newest = occurrences[static_cast<std::size_t>(earlier - 1)];
    int lowest = 1;
    if (stop > 0 && earlier >= stop)
        lowest = occurrences[static_cast<std::size_t>(earlier - stop)] + 2;
    const int highest = newest + 1;
    if (lowest > highest)
        return;
    const int *top = &m_prefix[static_cast<std::size_t>(highest + 1) * m_width];
    const int *bottom = &m_prefix[static_cast<std::size_t>(lowest) * m_width];
    for (int slot = 0; slot < m_width; ++slot)
        counts[static_cast<std::size_t>(slot)] = top[slot] - bottom[slot];
}

IntimateProposal IntimatePicker::compute(int target, const IntimateSettings &settings, bool allLists) const
{
    const int m = m_draws.numberCount();
    IntimateProposal result;
    IntimateTallies &tallies = result.tallies;
    const qint32 *reference = m_draws.numbers(target - 1);
    tallies.reference.assign(reference, reference + m);
    tallies.overall = ZeroCounts(m_range);
    std::vector<char> chosen(static_cast<std::size_t>(m_width), 0);
    std::vector<int> counts(static_cast<std::size_t>(m_width), 0);
    const bool sortPositions = allLists || settings.perPosition;
    for (int i = 0; i < m; ++i) {
        tallyPosition(target, reference[i], settings.stop, counts);
        for (int slot = 0; slot < m_width; ++slot)
            tallies.overall[static_cast<std::size_t>(slot)].count += counts[static_cast<std::size_t>(slot)];
        if (!sortPositions)
            continue;
        std::vector<NumberCount> list = ZeroCounts(m_range);
        for (int slot = 0; slot < m_width; ++slot)
            list[static_cast<std::size_t>(slot)].count = counts[static_cast<std::size_t>(slot)];
        SortByCountDescending(list);
        if (settings.perPosition) {
            for (int k = 0; k < settings.count; ++k)
                chosen[static_cast<std::size_t>(m_range.slot(list[static_cast<std::size_t>(k)].number))] = 1;
        }
        tallies.positions.push_back(std::move(list));
    }
    SortByCountDescending(tallies.overall);
    if (!settings.perPosition) {
        for (int k = 0; k < settings.count; ++k)
            chosen[static_cast<std::size_t>(m_range.slot(tallies.overall[static_cast<std::size_t>(k)].number))] = 1;
    }
    for (int slot = 0; slot < m_width; ++slot) {
        if (chosen[static_cast<std::size_t>(slot)])
            result.numbers.push_back(m_range.first + slot);
    }
    return result;
}

IntimateProposal IntimatePicker::propose(int target, const IntimateSettings &settings) const
{
    CheckTarget(target, m_draws.rowCount());
    checkSettings(settings);
    if (target == 0)
        throw InputError(QStringLiteral("目前投注期是第一期，之前没有可作参照的开奖号码！"));
    return compute(target, settings, true);
}

BacktestResult IntimatePicker::backtest(const IntimateSettings &settings, const Progress &progress) const
{
    checkSettings(settings);
    const int rows = m_draws.rowCount();
    const int m = m_draws.numberCount();
    BacktestResult result;
    result.fillDraws(m_draws, true);
    result.tally.assign(static_cast<std::size_t>(m) + 1, 0);
    result.chartFirst = std::min(rows, settings.stop + 1);
    HitCounter hits(m_range);
    const ChanceModel chance = ChanceModelOf(m_range, m);
    // The first draw has no reference draw: its proposal and hit fields stay empty.
    for (int p = 1; p < rows; ++p) {
        if (result.interrupted(progress, p, rows))
            return result;
        const IntimateProposal proposal = compute(p, settings, false);
        BacktestRow &row = result.rows[static_cast<std::size_t>(p)];
        row.proposed = PlainNumbers(proposal.numbers);
        row.hitCount = hits.count(m_draws.numbers(p), m, proposal.numbers);
        row.hits = QString::number(row.hitCount);
        result.judge(row.hitCount);
        result.addToTally(row.hitCount);
        result.chance.add(chance, static_cast<int>(proposal.numbers.size()), row.hitCount);
    }
    progress.step(rows, rows);
    result.memo = HitRangeMemo(result);
    return result;
}

QString IntimatePicker::entryText(const NumberCount &entry)
{
    return QStringLiteral("%1:%2次").arg(entry.number).arg(entry.count);
}

QString IntimatePicker::overallText(const std::vector<NumberCount> &overall)
{
    QString text = QStringLiteral("各亲密数字总次数");
    for (const NumberCount &entry : overall) {
        text += entryText(entry);
        text += QLatin1Char(' ');
    }
    return text;
}

} // namespace lumaro
