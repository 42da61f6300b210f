#pragma once

#include "analysis/indicator_history.h"
#include "analysis/indicator_shares.h"

#include "analysis/analysis_view.h"
#include "shell/background_run.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QTabWidget;

namespace lumaro {

struct AppContext;
class BarChart;
class FunctionTableModel;

// The single-indicator analysis view: the history grid of one indicator, the bar chart of the
// last K draws and the summary with its advice. The eight tabs of the main window are this one
// design with another indicator (Tfrmdaxiao … Tfrmcongma, see IndicatorView). The view computes on the active
// table of the open lottery: the variant draw table while the variant trend is in force.
// A second page (取值分布) shows what each value is worth: its share of all tickets beside its
// share of the draws, and sends a range of values to the total filter.
class IndicatorWindow : public AnalysisView {
    Q_OBJECT
public:
    IndicatorWindow(AppContext &context, Indicator indicator, QWidget *parent);

    // Fills the grid and the summary from the active table ("重新统计", trend switch).
    void Recompute() override;
    // Redraws the chart from the last K rows of the last computation.
    void RefreshChart() override;

    Indicator indicator() const { return m_history.indicator(); }
    const IndicatorHistory &history() const { return m_history; }
    const IndicatorSummary &summary() const { return m_summary; }
    // K as chosen in the list; used by the next computation.
    int recentCount() const { return m_recentCount; }

    // The shares of the last computation of the 取值分布 page (computed when the page shows).
    const std::optional<IndicatorShares> &shares() const { return m_shares; }
    // Shows the 取值分布 page (computing its shares if they are not up to date).
    void showSharesPage();
    // Chooses the range of values to send.
    void setSendRange(int lower, int upper);
    // 送到总体过滤: switches on the indicator's condition of the total filter with the range.
    void btnsongClick();
    // 统计分布 counts the shares again; while a long count runs it reads 停止 and stops it.
    void btnfenbuClick();
    // A long count (digit lotteries of millions of tuples) runs on a worker.
    bool isCounting() const { return m_run.isRunning(); }
    void waitUntilCounted() { m_run.waitUntilDone(); }

private:
    void computeShares();
    void showShares(const std::optional<IndicatorShares> &shares);
    void showRangeShare();
    void fillSendButton();

    AppContext &m_context;
    IndicatorHistory m_history;
    IndicatorSummary m_summary;
    int m_recentCount = kDefaultRecentCount;
    int m_draws = 0;

    QTableView *m_grid;
    FunctionTableModel *m_model;
    BarChart *m_chart;
    QCheckBox *m_marks;
    QPlainTextEdit *m_memo;

    std::optional<IndicatorShares> m_shares;
    bool m_sharesStale = true;
    QTabWidget *m_pagview;
    QLabel *m_lblfenbu;
    QTableView *m_tabfenbu;
    FunctionTableModel *m_sharesModel;
    BarChart *m_chtfenbu;
    QComboBox *m_comfenbu1;
    QComboBox *m_comfenbu2;
    QLabel *m_lblfanwei;
    QPushButton *m_btnsong;
    QPushButton *m_btnfenbu;
    QProgressBar *m_pbfenbu;

    // Last, so that a count still going stops before the rest of the window goes.
    BackgroundRun m_run {this};
};

// One class per indicator, so that the main window and its tests tell the eight views apart.
template<Indicator I>
class IndicatorView : public IndicatorWindow {
public:
    explicit IndicatorView(AppContext &context, QWidget *parent = nullptr)
        : IndicatorWindow(context, I, parent)
    { }
};

} // namespace lumaro
