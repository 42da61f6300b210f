#include "analysis/indicator_window.h"

#include "analysis/analysis_view_support.h"
#include "data/open_lottery.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/form_controls.h"
#include "shell/table_model.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextLayout>
#include <QVBoxLayout>

#include <cmath>

namespace lumaro {

namespace {

constexpr int kGridWidth = 281;
// The five summary lines, the advice and the note on a short history.
constexpr int kSummaryLines = 7;

// The height of a memo that shows the given number of summary lines whole. Lines are measured
// as laid out: the Chinese glyphs come from a fallback font whose lines are taller than the
// line spacing of the memo's own font.
int MemoHeight(const QPlainTextEdit *memo, int lines)
{
    QTextLayout layout(QStringLiteral("最近3期理论和值总和：325.5"), memo->font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const qreal lineHeight = std::max<qreal>(line.height(), memo->fontMetrics().lineSpacing());
    const qreal margins = 2 * memo->document()->documentMargin() + 2 * memo->frameWidth();
    return static_cast<int>(std::ceil(lines * lineHeight + margins)) + 2;
}

// The program's form names: frm + the module word.
QString FormName(Indicator indicator)
{
    switch (indicator) {
    case Indicator::Big:
        return QStringLiteral("frmdaxiao");
    case Indicator::Odd:
        return QStringLiteral("frmjiou");
    case Indicator::Sum:
        return QStringLiteral("frmhei");
    case Indicator::Span:
        return QStringLiteral("frmkuadu");
    case Indicator::Dispersion:
        return QStringLiteral("frmsandu");
    case Indicator::Deviation:
        return QStringLiteral("frmpiandu");
    case Indicator::Ac:
        return QStringLiteral("frmac");
    case Indicator::Repeat:
        return QStringLiteral("frmcongma");
    }
    return {};
}

} // namespace

IndicatorWindow::IndicatorWindow(AppContext &context, Indicator indicator, QWidget *parent)
    : AnalysisView(parent)
    , m_context(context)
    , m_history(indicator, DrawTable(), context.lottery->n)
{
    const IndicatorTexts &texts = TextsOf(indicator);
    setObjectName(FormName(indicator));
    setWindowTitle(QString::fromUtf8(texts.windowCaption));
    resize(970, 512);

    m_grid = NewHistoryGrid(this);
    m_grid->setFixedWidth(kGridWidth);
    m_model = new FunctionTableModel(m_grid);
    m_grid->setModel(m_model);

    m_chart = NewHistoryChart(QString::fromUtf8(texts.chartTitle), false, this);
    m_chart->addSeries(QString::fromUtf8(texts.columnLabel), Qt::red);

    auto *group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_marks = NewCheckBox(group, QStringLiteral("chkhistorybiao"), QStringLiteral("显示标注"), false);
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->setContentsMargins(8, 2, 8, 2);
    groupLayout->addStretch();
    groupLayout->addWidget(m_marks);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("mem"));
    m_memo->setReadOnly(true);
    m_memo->setFixedHeight(MemoHeight(m_memo, kSummaryLines));

    // FormCreate: K = 3 and the K list, then a first computation.
    auto *bottom = new QHBoxLayout;
    m_draws = ActiveDrawTable(*context.lottery).rowCount();
    AddRecentCountChoice(bottom, this, m_draws, &m_recentCount);
    bottom->addStretch();
    QPushButton *recompute = NewRecomputeButton(QStringLiteral("重新统计"), this);
    bottom->addWidget(recompute);

    auto *right = new QVBoxLayout;
    right->addWidget(m_chart, 1);
    right->addWidget(group);
    right->addWidget(NewLabel(this, QStringLiteral("Label5"), QStringLiteral("总结：")));
    right->addWidget(m_memo);
    right->addLayout(bottom);
    LayOutHistoryView(this, m_grid, right);

    recomputeOnClick(recompute);
    refreshOnClick(m_marks);
    computeFirstTime();
}

void IndicatorWindow::Recompute()
{
    const BusyCursor busy;
    const OpenLottery &lottery = *m_context.lottery;
    m_history = IndicatorHistory(indicator(), ActiveDrawTable(lottery), lottery.n);
    m_summary = SummarizeIndicator(m_history, m_recentCount);

    m_model->setHeaders(m_history.headers());
    m_model->setContent(m_history.rowCount(), [this](int row, int column) { return m_history.cellText(row, column); });
    // Columns of 60, 120 and the rest of the grid, widened where the texts would not fit.
    const int last = m_history.rowCount() - 1;
    const QStringList samples
        = last >= 0 ? QStringList {m_history.periodText(last), m_history.numbersText(last)} : QStringList();
    FixGridWidth(m_grid, FitGridColumns(m_grid, {60, 120, kGridWidth - 210}, samples), kGridWidth);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    ScrollToLatest(m_grid);

    m_memo->setPlainText(m_summary.lines.join(QLatin1Char('\n')));
}

void IndicatorWindow::RefreshChart()
{
    const BusyCursor busy;
    const ChartBars bars = m_history.recentBars(m_summary.k);
    m_chart->setSeriesTitle(0, QString::fromUtf8(TextsOf(indicator()).columnLabel));
    m_chart->setPoints(bars.labels, bars.values);
    m_chart->setMarksVisible(m_marks->isChecked());
}

} // namespace lumaro
