#pragma once

#include "analysis/indicators.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace lumaro {

class DrawTable;
class OpenLottery;

// The table the analysis views compute on: the variant draw table in the variant trend, the
// standard draw table otherwise.
const DrawTable &ActiveDrawTable(const OpenLottery &lottery);

// The eight single-indicator analyses in tab order.
inline constexpr std::array<Indicator, 8> kAnalysisIndicators = {Indicator::Big, Indicator::Odd, Indicator::Sum,
    Indicator::Span, Indicator::Dispersion, Indicator::Deviation, Indicator::Ac, Indicator::Repeat};

// Everything that differs between the analysis windows of the indicators: captions, labels and
// the texts of the summary.
struct IndicatorTexts {
    const char *windowCaption; // "和值分析"
    const char *tabCaption; // "号码和值分析", tab strip
    const char *menuCaption; // "号码和值分析(&H)", 数据分析 menu
    const char *chartTitle; // "最近各期开奖号码和值"
    const char *columnLabel; // grid column and chart series: "和值"
    const char *maximumLabel;
    const char *minimumLabel;
    const char *averageLabel;
    const char *recentTotalText; // follows "最近" K
    const char *theoreticalTotalText; // follows "最近" K
    const char *farAboveMessage; // follows "最近" K
    const char *farBelowMessage; // follows "最近" K
};
const IndicatorTexts &TextsOf(Indicator indicator);

// The numbers of a draw as the analysis grids show them: each "%.2d" followed by one blank.
QString DrawNumbersText(const int *numbers, int m);

// The first three draws are what the default recent range covers; fewer make a thin history.
inline constexpr int kDefaultRecentCount = 3;
// K for a history of `draws` rows: at least 1 and at most the rows (0 for an empty history).
int ClampRecentCount(int k, int draws);

// The bars of a chart: one label and one value per bar, oldest first.
struct ChartBars {
    QStringList labels;
    std::vector<double> values;
};

// One indicator computed over every row of a draw table (the standard or the variant one), in
// table order. The previous draw of a row is the row before it.
class IndicatorHistory {
public:
    IndicatorHistory() = default;
    IndicatorHistory(Indicator indicator, const DrawTable &table, int n);

    Indicator indicator() const { return m_indicator; }
    int n() const { return m_n; }
    int m() const { return m_m; }
    int rowCount() const { return static_cast<int>(m_values.size()); }

    qint32 period(int row) const { return m_periods[static_cast<std::size_t>(row)]; }
    const int *numbers(int row) const { return &m_numbers[static_cast<std::size_t>(row) * m_m]; }
    QString periodText(int row) const { return QString::number(period(row)); }
    QString numbersText(int row) const { return DrawNumbersText(numbers(row), m_m); }
    // The unrounded value (14.5 for the deviation of the first row of 36选7).
    double value(int row) const { return m_values[static_cast<std::size_t>(row)]; }
    // The value as shown, "%.0f", and that text read back as a whole number.
    QString valueText(int row) const;
    int shownValue(int row) const { return m_shown[static_cast<std::size_t>(row)]; }
    // The sum of the unrounded values of all rows.
    double historyTotal() const { return m_historyTotal; }

    // Column texts of the history grid: period, numbers, value.
    QStringList headers() const;
    QString cellText(int row, int column) const;

    // The sum of the shown values of the last k rows.
    double recentTotal(int k) const;
    // The last k rows: period labels and shown values.
    ChartBars recentBars(int k) const;

private:
    Indicator m_indicator = Indicator::Sum;
    int m_n = 0;
    int m_m = 0;
    std::vector<qint32> m_periods;
    std::vector<int> m_numbers;
    std::vector<double> m_values;
    std::vector<int> m_shown;
    double m_historyTotal = 0;
};

enum class IndicatorAdvice { None, FarAbove, FarBelow };

// The summary memo of an analysis window for the last K draws.
struct IndicatorSummary {
    int k = 0;
    TheoreticalValues theory;
    double recentTotal = 0;
    IndicatorAdvice advice = IndicatorAdvice::None;
    QStringList lines;
};
// k is clamped to the rows of the history first.
IndicatorSummary SummarizeIndicator(const IndicatorHistory &history, int k);

} // namespace lumaro
