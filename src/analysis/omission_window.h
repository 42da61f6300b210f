#pragma once

#include "analysis/omission_table.h"

#include "analysis/analysis_view.h"

#include <array>

class QCheckBox;
class QTableView;

namespace lumaro {

struct AppContext;
class BarChart;
class FunctionTableModel;
class RadioGroup;

// The rebound and skew tables share one window: every number of the open lottery with its hit
// total, longest omission, rebound (or current) omission, cold multiple and chase value, sorted
// by the button last pressed, and a chart of four of the columns. Always the standard draws.
// A two-zone lottery has the choice 前区/后区 (optqu): the same table over the back numbers.
class OmissionWindow : public AnalysisView {
    Q_OBJECT
public:
    // Recomputes everything from the draw table, then sorts.
    void Recompute() override;
    // Redraws the chart from the rows and the check boxes.
    void RefreshChart() override;

    const OmissionTable &table() const { return m_table; }
    OmissionSort sortMode() const { return m_sort; }
    OmissionZone zone() const;
    // The zone choice; nullptr for a one-zone lottery.
    RadioGroup *zoneChoice() const { return m_optqu; }

protected:
    OmissionWindow(AppContext &context, OmissionMode mode, QWidget *parent);

private:
    AppContext &m_context;
    OmissionMode m_mode;
    OmissionSort m_sort = OmissionSort::Number;
    OmissionTable m_table;

    QTableView *m_grid;
    FunctionTableModel *m_model;
    BarChart *m_chart;
    std::array<QCheckBox *, 4> m_seriesBoxes {};
    QCheckBox *m_marks;
    RadioGroup *m_optqu = nullptr;
};

} // namespace lumaro
