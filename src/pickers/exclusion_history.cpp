#include "pickers/exclusion_history.h"

#include "analysis/indicators.h"
#include "common/text_format.h"

#include <algorithm>

namespace lumaro {

std::vector<int> SumHistory(const ValueRows &rows)
{
    std::vector<int> sums(static_cast<std::size_t>(rows.rowCount()));
    for (int i = 0; i < rows.rowCount(); ++i)
        sums[static_cast<std::size_t>(i)] = SumValue(rows.row(i), rows.width());
    return sums;
}

std::vector<int> RepeatHistory(const ValueRows &rows, int periods)
{
    std::vector<int> repeats(static_cast<std::size_t>(rows.rowCount()), -1);
    if (periods < 1)
        return repeats;
    for (int i = periods; i < rows.rowCount(); ++i) {
        const TicketValues draw = TicketValues::of(rows.row(i), rows.width());
        int best = 0;
        for (int k = i - periods; k < i; ++k)
            best = std::max(best, draw.hitsIn(rows.mask(k)));
        repeats[static_cast<std::size_t>(i)] = best;
    }
    return repeats;
}

QString SumSummary(int n, int m, const std::vector<int> &sums)
{
    QString text = QStringLiteral("和值：理论平均值：") + Fixed1(m * (n + 1) / 2.0) + QStringLiteral(" 理论最小值：")
        + QString::number(m * (m + 1) / 2) + QStringLiteral(" 理论最大值：") + QString::number((2 * n - m + 1) * m / 2);
    if (!sums.empty()) {
        const auto [low, high] = std::minmax_element(sums.begin(), sums.end());
        text += QStringLiteral(" 实际最小值：") + QString::number(*low) + QStringLiteral(" 实际最大值：")
            + QString::number(*high);
    }
    return text;
}

QString RepeatSummary(const std::vector<int> &repeats)
{
    int low = 0;
    int high = 0;
    bool any = false;
    for (int value : repeats) {
        if (value < 0)
            continue;
        low = any ? std::min(low, value) : value;
        high = any ? std::max(high, value) : value;
        any = true;
    }
    return QStringLiteral("最大重码个数：") + QString::number(high) + QStringLiteral(" 最小重码个数：")
        + QString::number(low);
}

ValueRows VariantStatisticsRows(const ValueRows &draws, int n, int stage, RandomSource &random)
{
    const LabelShuffle shuffle = LabelShuffle::draw(random, n, -1);
    return BuildRelabelledHistory(draws, shuffle, stage, RankingKey::HitsThenLongerOmission, draws.rowCount()).rows;
}

} // namespace lumaro
