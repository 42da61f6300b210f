#include "tickets/compound_search.h"

#include "common/errors.h"
#include "common/text_format.h"
#include "trend/variant_trend.h"

#include <algorithm>
#include <utility>

namespace lumaro {

void CheckCompoundSettings(const CompoundSettings &settings, const OpenLottery &lottery)
{
    if (!lottery.lotteryOpen)
        throw InputError(QStringLiteral("请先打开彩票！"));
    if (lottery.kind == LotteryKind::Digit)
        throw InputError(QStringLiteral("复式搜索只适用于乐透型彩票！"));
    if (settings.count < 1)
        throw InputError(QStringLiteral("号码个数至少是1！"));
    if (settings.useThreshold && settings.threshold < 0)
        throw InputError(QStringLiteral("遗漏期数不能为负数！"));
}

std::vector<int> ColumnAbsences(const OpenLottery &lottery)
{
    const TrendText &trend = lottery.trendText;
    const int n = lottery.n;
    const int rows = trend.rowCount();
    std::vector<int> absences(static_cast<std::size_t>(n) + 1, 0);
    for (int b = 1; b <= n; ++b) {
        int absence = 0;
        for (int row = rows - 1; row >= 0 && !trend.marked(row, b + 2); --row)
            ++absence;
        absences[static_cast<std::size_t>(b)] = absence;
    }
    return absences;
}

int ColdestColumn(const std::vector<int> &absences)
{
    const int n = static_cast<int>(absences.size()) - 1;
    if (n < 1)
        return 0;
    std::vector<std::pair<int, int>> order; // (column, absence)
    order.reserve(static_cast<std::size_t>(n));
    for (int b = 1; b <= n; ++b)
        order.emplace_back(b, absences[static_cast<std::size_t>(b)]);
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (std::size_t j = i + 1; j < order.size(); ++j) {
            if (order[j].second < order[i].second)
                std::swap(order[i], order[j]);
        }
    }
    return order.back().first;
}

CompoundSearch::CompoundSearch(int n, const CompoundSettings &settings)
    : m_n(n)
    , m_settings(settings)
    , m_removed(static_cast<std::size_t>(n) + 1, 0)
    , m_remaining(n)
{ }

CompoundSearch::Step CompoundSearch::step(const OpenLottery &lottery)
{
    ++m_repetitions;
    const std::vector<int> absences = ColumnAbsences(lottery);
    m_lastColumn = ColdestColumn(absences);
    m_lastAbsence = absences[static_cast<std::size_t>(m_lastColumn)];
    m_lastNumber = 0;
    if (m_settings.useThreshold && m_lastAbsence < m_settings.threshold)
        return Step::BelowThreshold;
    for (int number = 1; number <= m_n; ++number) {
        if (VariantValue(lottery, number) == m_lastColumn) {
            m_lastNumber = number;
            break;
        }
    }
    if (m_lastNumber > 0 && !m_removed[static_cast<std::size_t>(m_lastNumber)]) {
        m_removed[static_cast<std::size_t>(m_lastNumber)] = 1;
        --m_remaining;
    }
    return m_remaining > m_settings.count ? Step::Removed : Step::Finished;
}

std::vector<int> CompoundSearch::proposal() const
{
    std::vector<int> numbers;
    for (int number = 1; number <= m_n; ++number) {
        if (!m_removed[static_cast<std::size_t>(number)])
            numbers.push_back(number);
    }
    return numbers;
}

QString CompoundText(const std::vector<int> &numbers)
{
    QString text;
    for (int number : numbers)
        text += Pad2(number) + QLatin1Char(' ');
    return text;
}

CompoundResult RunCompoundSearch(OpenLottery &lottery, const CompoundSettings &settings, RandomSource &random,
    const Progress &progress, qint64 maxRepetitions)
{
    CheckCompoundSettings(settings, lottery);
    CompoundSearch search(lottery.n, settings);
    CompoundResult result;
    const qint64 toRemove = std::max(lottery.n - settings.count, 1);
    try {
        while (maxRepetitions <= 0 || search.repetitions() < maxRepetitions) {
            if (progress.cancelled())
                break;
            lottery.variantMode = true;
            BuildVariantTrend(lottery, random);
            const CompoundSearch::Step step = search.step(lottery);
            progress.step(std::min<qint64>(lottery.n - search.remaining(), toRemove), toRemove);
            if (step == CompoundSearch::Step::Finished) {
                result.finished = true;
                result.numbers = search.proposal();
                break;
            }
        }
    } catch (...) {
        lottery.variantMode = false;
        lottery.BuildStandardTrend();
        throw;
    }
    lottery.variantMode = false;
    lottery.BuildStandardTrend();
    result.repetitions = search.repetitions();
    return result;
}

} // namespace lumaro
