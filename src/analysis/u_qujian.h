#pragma once

#include "analysis/zone_history.h"

#include "analysis/analysis_view.h"

#include <array>

class QCheckBox;
class QComboBox;
class QTableView;

namespace lumaro {

struct AppContext;
class BarChart;
class FunctionTableModel;

// 区间分析, the view of the main window's tab 9: per draw how many numbers fall into each of Z
// zones, with the chart of the last K draws, one series per zone. Computes on the active table
// of the open lottery, like the indicator views.
class Tfrmqujian : public AnalysisView {
    Q_OBJECT
public:
    explicit Tfrmqujian(AppContext &context, QWidget *parent = nullptr);

    // Rebuilds the rows and the grid for the chosen Z and K ("开始统计", trend switch).
    void Recompute() override;
    // Redraws the chart from the last computation and the check boxes.
    void RefreshChart() override;

    const ZoneHistory &history() const { return m_history; }
    // K and Z of the last computation.
    int computedRecentCount() const { return m_computedRecentCount; }

private:
    AppContext &m_context;
    ZoneHistory m_history;
    int m_draws = 0;
    int m_recentCount = 0;
    int m_computedRecentCount = 0;
    int m_zoneChoice = 1;

    QTableView *m_grid;
    FunctionTableModel *m_model;
    BarChart *m_chart;
    std::array<QCheckBox *, kMaxZones> m_zoneBoxes {};
    QCheckBox *m_marks;
    QComboBox *m_zoneList;
};

} // namespace lumaro
