#include "analysis/indicator_history.h"

#include "common/text_format.h"
#include "data/draw_table.h"
#include "data/open_lottery.h"

#include <algorithm>

namespace lumaro {

namespace {

const IndicatorTexts kBig = {"大小分析", "号码大小分析", "号码大小分析(&Z)", "最近各期开奖号码大数个数", "大数个数",
    "理论最多大数个数：", "理论最少大数个数：", "理论平均大数个数：", "期大数个数总和：", "期理论大数个数总和：",
    "期大数个数总和远远超过理论个数总和，建议选择小于理论平均大数个数的组合！",
    "期大数个数总和远远低于理论个数总和，建议选择大于理论平均大数个数的组合！"};
const IndicatorTexts kOdd = {"奇数分析", "号码奇偶分析", "号码奇偶分析(&J)", "最近各期开奖号码奇数个数", "奇数个数",
    "理论最多奇数个数：", "理论最少奇数个数：", "理论平均奇数个数：", "期奇数个数总和：", "期理论奇数个数总和：",
    "期奇数个数总和远远超过理论个数总和，建议选择小于理论平均奇数个数的组合！",
    "期奇数个数总和远远低于理论个数总和，建议选择大于理论平均奇数个数的组合！"};
const IndicatorTexts kSum = {"和值分析", "号码和值分析", "号码和值分析(&H)", "最近各期开奖号码和值", "和值",
    "理论最大和值：", "理论最小和值：", "理论平均和值：", "期和值总和：", "期理论和值总和：",
    "期和值总和远远超过理论和值总和，建议选择小于理论平均和值的组合！",
    "期和值总和远远低于理论和值总和，建议选择大于理论平均和值的组合！"};
const IndicatorTexts kSpan = {"跨度分析", "号码跨度分析", "号码跨度分析(&k)", "最近各期开奖号码跨度", "跨度",
    "理论最大跨度：", "理论最小跨度：", "理论平均跨度：", "期跨度总和：", "期理论跨度总和：",
    "期跨度总和远远超过理论跨度总和，建议选择小于理论平均跨度的组合！",
    "期跨度总和远远低于理论跨度总和，建议选择大于理论平均跨度的组合！"};
const IndicatorTexts kDispersion = {"散度分析", "号码散度分析", "号码散度分析(&S)", "最近各期开奖号码散度", "散度",
    "理论最大散度：", "理论最小散度：", "理论平均散度：", "期散度总和：", "期理论散度总和：",
    "期散度总和远远超过理论散度总和，建议选择小于理论平均散度的组合！",
    "期散度总和远远低于理论散度总和，建议选择大于理论平均散度的组合！"};
const IndicatorTexts kDeviation = {"偏度分析", "号码偏度分析", "号码偏度分析(&P)", "最近各期开奖号码偏度", "偏度",
    "理论最多偏度：", "理论最少偏度：", "理论平均偏度：", "期偏度总和：", "期理论偏度总和：",
    "期偏度总和远远超过理论偏度总和，建议选择小于理论平均偏度的组合！",
    "期偏度总和远远低于理论偏度总和，建议选择大于理论平均偏度的组合！"};
const IndicatorTexts kAc = {"AC值分析", "号码AC值分析", "号码AC值分析(&A)", "最近各期开奖号码AC值", "AC值",
    "理论最大AC值：", "理论最小AC值：", "理论平均AC值：", "期AC值总和：", "期理论AC值总和：",
    "期AC值总和远远超过理论AC值总和，建议选择小于理论平均AC值的组合！",
    "期AC值总和远远低于理论AC值总和，建议选择大于理论平均AC值的组合！"};
const IndicatorTexts kRepeat = {"重码分析", "号码重码分析", "号码重码分析(&C)", "最近各期开奖号码重码个数", "重码个数",
    "理论最多重码个数：", "理论最少重码个数：", "理论平均重码个数：", "期重码个数总和：", "期理论重码个数总和：",
    "期重码个数总和远远超过理论个数总和，建议选择小于理论平均重码个数的组合！",
    "期重码个数总和远远低于理论个数总和，建议选择大于理论平均重码个数的组合！"};

QString RecentLine(int k, const char *text)
{
    return QStringLiteral("最近") + QString::number(k) + QString::fromUtf8(text);
}

} // namespace

const DrawTable &ActiveDrawTable(const OpenLottery &lottery)
{
    return lottery.variantMode ? lottery.variantDrawTable : lottery.drawTable;
}

const IndicatorTexts &TextsOf(Indicator indicator)
{
    switch (indicator) {
    case Indicator::Big:
        return kBig;
    case Indicator::Odd:
        return kOdd;
    case Indicator::Sum:
        return kSum;
    case Indicator::Span:
        return kSpan;
    case Indicator::Dispersion:
        return kDispersion;
    case Indicator::Deviation:
        return kDeviation;
    case Indicator::Ac:
        return kAc;
    case Indicator::Repeat:
        return kRepeat;
    }
    return kSum;
}

QString DrawNumbersText(const int *numbers, int m)
{
    QString text;
    text.reserve(m * 3);
    for (int j = 0; j < m; ++j)
        text += Pad2(numbers[j]) + QLatin1Char(' ');
    return text;
}

int ClampRecentCount(int k, int draws)
{
    return draws <= 0 ? 0 : std::clamp(k, 1, draws);
}

IndicatorHistory::IndicatorHistory(Indicator indicator, const DrawTable &table, int n)
    : m_indicator(indicator)
    , m_n(n)
    , m_m(table.numberCount())
{
    const int rows = table.rowCount();
    m_periods.resize(static_cast<std::size_t>(rows));
    m_numbers.resize(static_cast<std::size_t>(rows) * m_m);
    m_values.resize(static_cast<std::size_t>(rows));
    m_shown.resize(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        const int *d = table.numbers(row);
        const int *previous = row > 0 ? table.numbers(row - 1) : nullptr;
        const double value = IndicatorValue(indicator, d, previous, m_m, n);
        m_periods[static_cast<std::size_t>(row)] = table.period(row);
        std::copy(d, d + m_m, m_numbers.begin() + static_cast<std::ptrdiff_t>(row) * m_m);
        m_values[static_cast<std::size_t>(row)] = value;
        // The grid shows "%.0f" and every later sum reads that text back.
        m_shown[static_cast<std::size_t>(row)] = Fixed0(value).toInt();
        m_historyTotal += value;
    }
}

QString IndicatorHistory::valueText(int row) const
{
    return Fixed0(value(row));
}

QStringList IndicatorHistory::headers() const
{
    return {
        QStringLiteral("记录期号"), QStringLiteral("开奖号码"), QString::fromUtf8(TextsOf(m_indicator).columnLabel)};
}

QString IndicatorHistory::cellText(int row, int column) const
{
    switch (column) {
    case 0:
        return periodText(row);
    case 1:
        return numbersText(row);
    default:
        return valueText(row);
    }
}

double IndicatorHistory::recentTotal(int k) const
{
    const int rows = rowCount();
    double total = 0;
    for (int row = std::max(0, rows - std::max(k, 0)); row < rows; ++row)
        total += shownValue(row);
    return total;
}

ChartBars IndicatorHistory::recentBars(int k) const
{
    ChartBars bars;
    const int rows = rowCount();
    for (int row = std::max(0, rows - std::max(k, 0)); row < rows; ++row) {
        bars.labels << periodText(row);
        bars.values.push_back(shownValue(row));
    }
    return bars;
}

IndicatorSummary SummarizeIndicator(const IndicatorHistory &history, int k)
{
    const IndicatorTexts &texts = TextsOf(history.indicator());
    const int draws = history.rowCount();
    IndicatorSummary s;
    s.k = ClampRecentCount(k, draws);
    s.theory = TheoreticalValuesOf(history.indicator(), history.n(), history.m(), 0, s.k);
    if (UsesHistoryMean(history.indicator())) {
        // Mean and K-draw total come from the history: K × total / draws, in that order.
        s.theory.average = draws > 0 ? history.historyTotal() / draws : 0;
        s.theory.totalOverK = draws > 0 ? s.k * history.historyTotal() / draws : 0;
    }
    s.recentTotal = history.recentTotal(s.k);

    s.lines << QString::fromUtf8(texts.maximumLabel) + Fixed1(s.theory.maximum)
            << QString::fromUtf8(texts.minimumLabel) + Fixed1(s.theory.minimum);
    if (draws == 0) {
        s.lines << QStringLiteral("没有开奖数据，无法统计。");
        return s;
    }
    s.lines << QString::fromUtf8(texts.averageLabel) + Fixed1(s.theory.average)
            << RecentLine(s.k, texts.recentTotalText) + Fixed1(s.recentTotal)
            << RecentLine(s.k, texts.theoreticalTotalText) + Fixed1(s.theory.totalOverK);

    const double t = s.theory.totalOverK;
    const double a = s.recentTotal;
    // Equality counts as far above, but two totals of zero do not differ at all.
    if (t == 0 && a == 0)
        s.advice = IndicatorAdvice::None;
    else if (1.5 * t <= a)
        s.advice = IndicatorAdvice::FarAbove;
    else if (1.5 * a <= t)
        s.advice = IndicatorAdvice::FarBelow;
    if (s.advice == IndicatorAdvice::FarAbove)
        s.lines << RecentLine(s.k, texts.farAboveMessage);
    else if (s.advice == IndicatorAdvice::FarBelow)
        s.lines << RecentLine(s.k, texts.farBelowMessage);
    if (draws < kDefaultRecentCount)
        s.lines << QStringLiteral("开奖数据不足%1期，统计结果仅供参考。").arg(kDefaultRecentCount);
    return s;
}

} // namespace lumaro
