#include "pickers/four_step_picker.h"

#include "common/text_format.h"

#include <algorithm>

namespace lumaro {

namespace {

QString ConcatenatedPadded(const std::vector<int> &numbers)
{
    QString text;
    for (int x : numbers)
        text += Pad2(x);
    return text;
}

} // namespace

QString FourStepProposal::step1Text() const
{
    return PaddedNumbers(step1);
}

QString FourStepProposal::step2Text() const
{
    return PaddedNumbers(step2);
}

QString FourStepProposal::step3Text() const
{
    return ConcatenatedPadded(step3);
}

QString FourStepProposal::step4Text() const
{
    return PaddedNumbers(step4);
}

QString FourStepProposal::finalText() const
{
    return PaddedNumbers(numbers);
}

FourStepPicker::FourStepPicker(const DrawTable &draws, NumberRange range)
    : m_draws(draws)
    , m_range(range)
    , m_width(std::max(0, range.count()))
{
    const std::size_t size = static_cast<std::size_t>(draws.rowCount()) * static_cast<std::size_t>(m_width);
    m_cells.assign(size, 0);
    m_lastHeld.assign(size, -1);
    m_lastTriple.assign(size, -1);
    for (int t = 0; t < draws.rowCount(); ++t) {
        const qint32 *numbers = draws.numbers(t);
        for (int k = 0; k < draws.numberCount(); ++k) {
            if (range.contains(numbers[k]))
                ++m_cells[index(t, range.slot(numbers[k]))];
        }
        for (int slot = 0; slot < m_width; ++slot) {
            const bool held = holds(t, slot);
            const bool triple = held && t >= 2 && holds(t - 1, slot) && holds(t - 2, slot);
            m_lastHeld[index(t, slot)] = held ? t : (t > 0 ? m_lastHeld[index(t - 1, slot)] : -1);
            m_lastTriple[index(t, slot)] = triple ? t : (t > 0 ? m_lastTriple[index(t - 1, slot)] : -1);
        }
    }
}

int FourStepPicker::defaultLongWindow(int drawCount)
{
    return std::clamp(drawCount, 1, FourStepSettings::kDefaultLong);
}

void FourStepPicker::checkSettings(const FourStepSettings &settings) const
{
    CheckSetting(QStringLiteral("第一步期数"), settings.longWindow, 1, std::max(1, m_draws.rowCount()));
    CheckSetting(QStringLiteral("第二步期数"), settings.rest2, 1, kMaxRest2);
    CheckSetting(QStringLiteral("第三步期数"), settings.rest3, 1, kMaxRest3);
    CheckSetting(QStringLiteral("第四步期数"), settings.recent4, 1, kMaxRecent4);
}

void FourStepPicker::addDraw(std::vector<int> &counts, int draw, int sign) const
{
    const quint8 *cells = &m_cells[index(draw, 0)];
    for (int slot = 0; slot < m_width; ++slot)
        counts[static_cast<std::size_t>(slot)] += sign * cells[slot];
}

FourStepProposal FourStepPicker::runSteps(
    int target, const FourStepSettings &settings, const std::vector<int> &longCounts) const
{
    FourStepProposal result;
    std::vector<char> flags(static_cast<std::size_t>(m_width), 0);
    auto flagged = [&] {
        std::vector<int> numbers;
        for (int slot = 0; slot < m_width; ++slot) {
            if (flags[static_cast<std::size_t>(slot)])
                numbers.push_back(m_range.first + slot);
        }
        return numbers;
    };

    // Step 1: the hottest half of the long window.
    std::vector<NumberCount> longList = ZeroCounts(m_range);
    for (int slot = 0; slot < m_width; ++slot)
        longList[static_cast<std::size_t>(slot)].count = longCounts[static_cast<std::size_t>(slot)];
    SortByCountDescending(longList);
    for (int k = 0; k < m_width / 2; ++k)
        flags[static_cast<std::size_t>(m_range.slot(longList[static_cast<std::size_t>(k)].number))] = 1;
    result.step1 = flagged();

    // Step 2: less those drawn in the last L2 draws.
    const int rest2 = std::max(0, target - settings.rest2);
    for (int slot = 0; slot < m_width; ++slot) {
        if (target > 0 && m_lastHeld[index(target - 1, slot)] >= rest2)
            flags[static_cast<std::size_t>(slot)] = 0;
    }
    result.step2 = flagged();

    // Step 3: numbers drawn in three draws in a row (draws j, j - 1, j - 2 for any j of the long
    // window, the whole triple inside the history) and in none of the last L3 draws.
    const int lowestTriple = std::max(2, target - settings.longWindow);
    const int rest3 = std::max(0, target - settings.rest3);
    for (int slot = 0; target > 0 && slot < m_width; ++slot) {
        const bool inARow = m_lastTriple[index(target - 1, slot)] >= lowestTriple;
        const bool drawnLately = m_lastHeld[index(target - 1, slot)] >= rest3;
        if (inARow && !drawnLately) {
            flags[static_cast<std::size_t>(slot)] = 1;
            result.step3.push_back(m_range.first + slot);
        }
    }

    // Step 4: the most active numbers of draws T - 2 … T - L4 - 1 that are cold over the long
    // window. The window leaves the latest draw out.
    std::vector<int> recentCounts(static_cast<std::size_t>(m_width), 0);
    for (int j = target - 2; j >= std::max(0, target - settings.recent4 - 1); --j)
        addDraw(recentCounts, j, 1);
    std::vector<NumberCount> recentList = ZeroCounts(m_range);
    for (int slot = 0; slot < m_width; ++slot)
        recentList[static_cast<std::size_t>(slot)].count = recentCounts[static_cast<std::size_t>(slot)];
    SortByCountDescending(recentList);
    std::vector<int> longPosition(static_cast<std::size_t>(m_width), 0); // 1-based
    for (int k = 0; k < m_width; ++k)
        longPosition[static_cast<std::size_t>(m_range.slot(longList[static_cast<std::size_t>(k)].number))] = k + 1;
    const int coldFrom = (3 * m_width) / 4;
    for (int k = 0; k < m_width / 4; ++k) {
        const int x = recentList[static_cast<std::size_t>(k)].number;
        if (longPosition[static_cast<std::size_t>(m_range.slot(x))] >= coldFrom) {
            flags[static_cast<std::size_t>(m_range.slot(x))] = 1;
            result.step4.push_back(x);
        }
    }

    result.numbers = flagged();
    return result;
}

FourStepProposal FourStepPicker::propose(int target, const FourStepSettings &settings) const
{
    CheckTarget(target, m_draws.rowCount());
    checkSettings(settings);
    std::vector<int> longCounts(static_cast<std::size_t>(m_width), 0);
    for (int j = std::max(0, target - settings.longWindow); j < target; ++j)
        addDraw(longCounts, j, 1);
    return runSteps(target, settings, longCounts);
}

BacktestResult FourStepPicker::backtest(const FourStepSettings &settings, const Progress &progress) const
{
    checkSettings(settings);
    const int rows = m_draws.rowCount();
    const int m = m_draws.numberCount();
    const int firstJudged = settings.longWindow + 11;
    const int firstShown = settings.longWindow + 20;
    BacktestResult result;
    if (rows > firstShown)
        result.rows.reserve(static_cast<std::size_t>(rows - firstShown));
    std::vector<int> longCounts(static_cast<std::size_t>(m_width), 0);
    HitCounter counter(m_range);
    const ChanceModel chance = ChanceModelOf(m_range, m);
    for (int c = 0; c < rows; ++c) {
        if (result.interrupted(progress, c, rows))
            return result;
        // The long window slides: draws c - L1 … c - 1.
        if (c >= 1)
            addDraw(longCounts, c - 1, 1);
        if (c - settings.longWindow - 1 >= 0)
            addDraw(longCounts, c - settings.longWindow - 1, -1);
        if (c < firstJudged)
            continue;
        const FourStepProposal proposal = runSteps(c, settings, longCounts);
        const qint32 *numbers = m_draws.numbers(c);
        const int hits = counter.count(numbers, m, proposal.numbers);
        result.judge(hits);
        result.chance.add(chance, static_cast<int>(proposal.numbers.size()), hits);
        if (c < firstShown)
            continue;
        BacktestRow row;
        row.period = m_draws.period(c);
        row.drawn = PaddedNumbers(numbers, m);
        row.proposed = proposal.finalText();
        row.hitCount = hits;
        row.hits = QString::number(hits);
        result.rows.push_back(std::move(row));
    }
    progress.step(rows, rows);
    result.memo = memoText(result);
    return result;
}

QString FourStepPicker::memoText(const BacktestResult &result)
{
    if (result.judged == 0)
        return NoJudgedDrawsMemo();
    return QStringLiteral("最大中奖个数：%1 最小中奖个数：%2").arg(result.largest).arg(result.smallest);
}

} // namespace lumaro
