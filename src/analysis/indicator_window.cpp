#include "analysis/indicator_window.h"

#include "analysis/analysis_view_support.h"
#include "data/open_lottery.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/error_display.h"
#include "shell/table_model.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace lumaro {

namespace {

constexpr int kGridWidth = 281;

// The program's form names: frm + the module word.
QString formName(Indicator indicator)
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
    : QWidget(parent)
    , m_context(context)
    , m_history(indicator, DrawTable(), context.lottery->n)
{
    const IndicatorTexts &texts = indicatorTexts(indicator);
    setObjectName(formName(indicator));
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
    m_marks = NewCheckBox(QStringLiteral("chkhistorybiao"), QStringLiteral("显示标注"), false, group);
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->setContentsMargins(8, 2, 8, 2);
    groupLayout->addStretch();
    groupLayout->addWidget(m_marks);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("mem"));
    m_memo->setReadOnly(true);
    m_memo->setFixedHeight(7 * m_memo->fontMetrics().lineSpacing() + 12);

    m_recentList = new QComboBox(this);
    m_recentList->setObjectName(QStringLiteral("comzuijingqishu"));
    m_recentList->setMinimumContentsLength(6);
    auto *recompute = new QPushButton(QStringLiteral("重新统计"), this);
    recompute->setObjectName(QStringLiteral("btntongji"));
    recompute->setDefault(true);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(NewLabel(QStringLiteral("Label6"), QStringLiteral("最近统计期数："), this));
    bottom->addWidget(m_recentList);
    bottom->addStretch();
    bottom->addWidget(recompute);

    auto *right = new QVBoxLayout;
    right->addWidget(m_chart, 1);
    right->addWidget(group);
    right->addWidget(NewLabel(QStringLiteral("Label5"), QStringLiteral("总结："), this));
    right->addWidget(m_memo);
    right->addLayout(bottom);

    auto *left = new QVBoxLayout;
    left->addWidget(NewLabel(QStringLiteral("Label1"), QStringLiteral("历史走势："), this));
    left->addWidget(m_grid, 1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(left);
    layout->addLayout(right, 1);

    // FormCreate: K = 3, the K list, then a first computation.
    m_draws = ActiveDrawTable(*context.lottery).rowCount();
    FillRecentCountList(m_recentList, m_draws);
    m_recentCount = ClampRecentCount(kDefaultRecentCount, m_draws);
    connect(m_recentList, &QComboBox::currentIndexChanged, this, &IndicatorWindow::comzuijingqishuChange);
    connect(recompute, &QPushButton::clicked, this, [this] {
        guarded(this, [this] {
            Recompute();
            RefreshChart();
        });
    });
    connect(m_marks, &QCheckBox::clicked, this, [this] { guarded(this, [this] { RefreshChart(); }); });
    Recompute();
    RefreshChart();
    RedrawOnFirstShow(this, [this] { RefreshChart(); });
}

void IndicatorWindow::comzuijingqishuChange(int item)
{
    if (item >= 0)
        m_recentCount = RecentCountOfItem(item, m_draws);
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
    m_chart->setSeriesTitle(0, QString::fromUtf8(indicatorTexts(indicator()).columnLabel));
    m_chart->setPoints(bars.labels, bars.values);
    m_chart->setMarksVisible(m_marks->isChecked());
}

} // namespace lumaro
