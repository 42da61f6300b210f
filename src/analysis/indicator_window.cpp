#include "analysis/indicator_window.h"

#include "analysis/analysis_view_support.h"
#include "common/errors.h"
#include "data/open_lottery.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/form_controls.h"
#include "shell/table_model.h"
#include "tickets/u_totalfilt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
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

// "12.34% (1030400)": a share and its count.
QString ShareText(double percent, qint64 count)
{
    return SharePercentText(percent) + QStringLiteral(" (") + QString::number(count) + QLatin1Char(')');
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

    m_pagview = new QTabWidget(this);
    m_pagview->setObjectName(QStringLiteral("pagview"));
    m_pagview->setDocumentMode(true);
    auto *historyPage = new QWidget(m_pagview);
    historyPage->setObjectName(QStringLiteral("tshistory"));
    auto *right = new QVBoxLayout(historyPage);
    right->setContentsMargins(0, 4, 0, 0);
    right->addWidget(m_chart, 1);
    right->addWidget(m_chart->newScrollBar(historyPage, QStringLiteral("sbhistory")));
    right->addWidget(group);
    right->addWidget(NewLabel(this, QStringLiteral("Label5"), QStringLiteral("总结：")));
    right->addWidget(m_memo);
    right->addLayout(bottom);
    m_pagview->addTab(historyPage, QStringLiteral("历史走势"));

    // 取值分布: the grid of the values, the chart of both shares, the range to send.
    auto *sharesPage = new QWidget(m_pagview);
    sharesPage->setObjectName(QStringLiteral("tsfenbu"));
    m_lblfenbu = NewLabel(sharesPage, QStringLiteral("lblfenbu"), {});
    m_lblfenbu->setWordWrap(true);
    m_tabfenbu = NewHistoryGrid(sharesPage);
    m_tabfenbu->setObjectName(QStringLiteral("tabfenbu"));
    m_tabfenbu->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_sharesModel = new FunctionTableModel(m_tabfenbu);
    m_tabfenbu->setModel(m_sharesModel);
    m_chtfenbu = new BarChart(sharesPage);
    m_chtfenbu->setObjectName(QStringLiteral("chtfenbu"));
    m_chtfenbu->chart()->setTitle(QString::fromUtf8(texts.columnLabel) + QStringLiteral("各值所占比例(%)"));
    QFont titleFont = m_chtfenbu->chart()->titleFont();
    titleFont.setBold(true);
    m_chtfenbu->chart()->setTitleFont(titleFont);
    m_chtfenbu->addSeries(QStringLiteral("全部投注号码"), QColor(40, 90, 200));
    m_chtfenbu->addSeries(QStringLiteral("历史开奖"), Qt::red);
    m_comfenbu1 = new QComboBox(sharesPage);
    m_comfenbu1->setObjectName(QStringLiteral("comfenbu1"));
    m_comfenbu2 = new QComboBox(sharesPage);
    m_comfenbu2->setObjectName(QStringLiteral("comfenbu2"));
    for (QComboBox *combo : {m_comfenbu1, m_comfenbu2}) {
        combo->setMaxVisibleItems(20);
        combo->setMinimumContentsLength(4);
    }
    m_lblfanwei = NewLabel(sharesPage, QStringLiteral("lblfanwei"), {});
    m_btnsong = NewButton(sharesPage, QStringLiteral("btnsong"), QStringLiteral("送到总体过滤"));
    m_btnfenbu = NewButton(sharesPage, QStringLiteral("btnfenbu"), QStringLiteral("统计分布"));
    m_pbfenbu = new QProgressBar(sharesPage);
    m_pbfenbu->setObjectName(QStringLiteral("pbfenbu"));
    m_pbfenbu->setTextVisible(false);
    m_pbfenbu->hide();

    auto *middle = new QHBoxLayout;
    middle->addWidget(m_tabfenbu);
    middle->addWidget(m_chtfenbu, 1);
    auto *send = new QHBoxLayout;
    send->addWidget(NewLabel(sharesPage, QStringLiteral("Label6"), QStringLiteral("范围：")));
    send->addWidget(m_comfenbu1);
    send->addWidget(NewLabel(sharesPage, QStringLiteral("Label7"), QStringLiteral("到")));
    send->addWidget(m_comfenbu2);
    send->addWidget(m_lblfanwei, 1);
    send->addWidget(m_btnsong);
    auto *sharesLayout = new QVBoxLayout(sharesPage);
    sharesLayout->setContentsMargins(0, 4, 0, 0);
    auto *top = new QHBoxLayout;
    top->addWidget(m_lblfenbu, 1);
    top->addWidget(m_pbfenbu);
    top->addWidget(m_btnfenbu);
    sharesLayout->addLayout(top);
    sharesLayout->addLayout(middle, 1);
    sharesLayout->addLayout(send);
    m_pagview->addTab(sharesPage, QStringLiteral("取值分布"));

    auto *pages = new QVBoxLayout;
    pages->addWidget(m_pagview);
    LayOutHistoryView(this, m_grid, pages);

    connect(m_pagview, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == 1 && m_sharesStale)
            Guarded(this, [this] { computeShares(); });
    });
    connect(m_comfenbu1, &QComboBox::currentIndexChanged, this, [this] { showRangeShare(); });
    connect(m_comfenbu2, &QComboBox::currentIndexChanged, this, [this] { showRangeShare(); });
    connect(m_tabfenbu->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        // A selection of rows chooses the range from its smallest to its largest value.
        const QModelIndexList rows = m_tabfenbu->selectionModel()->selectedRows();
        if (rows.isEmpty() || !m_shares)
            return;
        int lower = rows.front().row();
        int upper = lower;
        for (const QModelIndex &index : rows) {
            lower = std::min(lower, index.row());
            upper = std::max(upper, index.row());
        }
        m_comfenbu1->setCurrentIndex(lower);
        m_comfenbu2->setCurrentIndex(upper);
    });
    connect(m_btnsong, &QPushButton::clicked, this, &IndicatorWindow::btnsongClick);
    connect(m_btnfenbu, &QPushButton::clicked, this, &IndicatorWindow::btnfenbuClick);
    m_run.lockWhileRunning({recompute, m_btnsong, m_comfenbu1, m_comfenbu2, m_tabfenbu});
    m_run.setProgressBar(m_pbfenbu);
    m_run.setStopButton(m_btnfenbu, QStringLiteral("统计分布"));
    // The controls are given back as they were before the count: the send button follows what
    // was counted.
    connect(&m_run, &BackgroundRun::finished, this, &IndicatorWindow::fillSendButton);

    recomputeOnClick(recompute);
    refreshOnClick(m_marks);
    computeFirstTime();
}

void IndicatorWindow::Recompute()
{
    // A count still going belongs to the history about to be replaced.
    if (m_run.isRunning()) {
        m_run.stop();
        m_run.waitUntilDone();
    }
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

    m_sharesStale = true;
    if (m_pagview->currentIndex() == 1)
        computeShares();
}

void IndicatorWindow::RefreshChart()
{
    const BusyCursor busy;
    const ChartBars bars = m_history.recentBars(m_summary.k);
    m_chart->setSeriesTitle(0, QString::fromUtf8(TextsOf(indicator()).columnLabel));
    m_chart->setPoints(bars.labels, bars.values);
    m_chart->setMarksVisible(m_marks->isChecked());
}

void IndicatorWindow::showSharesPage()
{
    m_pagview->setCurrentIndex(1);
}

void IndicatorWindow::computeShares()
{
    if (m_run.isRunning())
        return;
    const OpenLottery &lottery = *m_context.lottery;
    m_sharesStale = false;
    m_shares.reset();
    m_sharesModel->setContent(0, {});
    m_chtfenbu->clearPoints();
    m_comfenbu1->clear();
    m_comfenbu2->clear();
    m_lblfanwei->clear();
    fillSendButton();
    const TicketSpace space = TicketSpace::ofLottery(lottery);
    try {
        if (IsLongShareCount(indicator(), space) && space.ticketCount() <= kMaxEnumeratedTickets) {
            m_lblfenbu->setText(QStringLiteral("正在统计全部%1注投注号码……").arg(space.ticketCount()));
            m_run.start([history = m_history, space](
                            const Progress &progress) { return ComputeIndicatorShares(history, space, progress); },
                [this](const std::optional<IndicatorShares> &shares) { showShares(shares); });
            return;
        }
        const BusyCursor busy;
        showShares(ComputeIndicatorShares(m_history, space));
    } catch (const Error &error) {
        // Too many tickets to count, or a lottery without them: said on the page itself.
        m_lblfenbu->setText(error.message());
    }
}

void IndicatorWindow::btnfenbuClick()
{
    if (m_run.isRunning()) {
        m_run.stop();
        return;
    }
    Guarded(this, [this] { computeShares(); });
}

void IndicatorWindow::showShares(const std::optional<IndicatorShares> &counted)
{
    if (!counted) {
        m_lblfenbu->setText(QStringLiteral("统计已停止。"));
        m_sharesStale = true;
        return;
    }
    m_shares = counted;
    const IndicatorShares &shares = *m_shares;
    QString note = QStringLiteral("全部投注号码共%1注").arg(shares.ticketTotal);
    const int rows = m_history.rowCount();
    if ((indicator() == Indicator::Deviation || indicator() == Indicator::Repeat) && rows > 0)
        note += QStringLiteral("（每注与最近一期%1比较）").arg(m_history.numbersText(rows - 1).trimmed());
    note += QStringLiteral("，开奖号码共%1期。").arg(shares.drawTotal);
    m_lblfenbu->setText(note);

    const QString column = QString::fromUtf8(TextsOf(indicator()).columnLabel);
    m_sharesModel->setHeaders({column, QStringLiteral("全部投注号码"), QStringLiteral("开奖号码")});
    m_sharesModel->setContent(static_cast<int>(shares.rows.size()), [this](int row, int col) -> QVariant {
        const IndicatorShare &share = m_shares->rows[static_cast<std::size_t>(row)];
        switch (col) {
        case 0:
            return QString::number(share.value);
        case 1:
            return ShareText(share.ticketPercent, share.tickets);
        default:
            return ShareText(share.drawPercent, share.draws);
        }
    });
    QStringList samples {column, ShareText(100, shares.ticketTotal), ShareText(100, shares.drawTotal)};
    const int width = FitGridColumns(m_tabfenbu, {48, 120, 100}, samples);
    FixGridWidth(m_tabfenbu, width, width);

    QStringList labels;
    std::vector<std::vector<double>> values(2);
    for (const IndicatorShare &share : shares.rows) {
        labels << QString::number(share.value);
        values[0].push_back(share.ticketPercent);
        values[1].push_back(share.drawPercent);
    }
    m_chtfenbu->setPoints(labels, values);

    const QSignalBlocker block1(m_comfenbu1);
    const QSignalBlocker block2(m_comfenbu2);
    m_comfenbu1->addItems(labels);
    m_comfenbu2->addItems(labels);
    m_comfenbu1->setCurrentIndex(0);
    m_comfenbu2->setCurrentIndex(static_cast<int>(labels.size()) - 1);
    fillSendButton();
    showRangeShare();
}

void IndicatorWindow::fillSendButton()
{
    const OpenLottery &lottery = *m_context.lottery;
    const QString refusal = FilterRefusal(indicator(), lottery.kind, lottery.n, lottery.m, lottery.variantMode);
    m_btnsong->setEnabled(refusal.isEmpty() && m_shares && !m_shares->rows.empty() && !m_run.isRunning());
    m_btnsong->setToolTip(refusal.isEmpty() ? QStringLiteral("打开总体过滤，把这个范围设为它的过滤条件") : refusal);
}

void IndicatorWindow::showRangeShare()
{
    if (!m_shares || m_comfenbu1->currentIndex() < 0 || m_comfenbu2->currentIndex() < 0) {
        m_lblfanwei->clear();
        return;
    }
    int lower = m_comfenbu1->currentText().toInt();
    int upper = m_comfenbu2->currentText().toInt();
    if (upper < lower)
        std::swap(lower, upper);
    const qint64 tickets = m_shares->ticketsBetween(lower, upper);
    const qint64 draws = m_shares->drawsBetween(lower, upper);
    const double ticketPercent = m_shares->ticketTotal > 0 ? 100.0 * tickets / m_shares->ticketTotal : 0;
    const double drawPercent = m_shares->drawTotal > 0 ? 100.0 * draws / m_shares->drawTotal : 0;
    m_lblfanwei->setText(
        QStringLiteral("投注号码%1，开奖号码%2").arg(SharePercentText(ticketPercent), SharePercentText(drawPercent)));
}

void IndicatorWindow::setSendRange(int lower, int upper)
{
    m_comfenbu1->setCurrentIndex(m_comfenbu1->findText(QString::number(lower)));
    m_comfenbu2->setCurrentIndex(m_comfenbu2->findText(QString::number(upper)));
}

void IndicatorWindow::btnsongClick()
{
    Guarded(this, [this] {
        const OpenLottery &lottery = *m_context.lottery;
        if (!m_shares || m_comfenbu1->currentIndex() < 0 || m_comfenbu2->currentIndex() < 0)
            throw InputError(QStringLiteral("请先选择要送到总体过滤的范围！"));
        const FilterRangePlan plan = PlanFilterRange(indicator(), lottery.kind, lottery.n, lottery.m,
            lottery.variantMode, m_comfenbu1->currentText().toInt(), m_comfenbu2->currentText().toInt());
        if (!plan.refusal.isEmpty())
            throw InputError(plan.refusal);
        if (!m_context.shell)
            throw InputError(QStringLiteral("没有主窗口，无法打开总体过滤！"));
        auto *filter = qobject_cast<Tfrmtotalfilt *>(m_context.shell->showToolWindow(QStringLiteral("Tfrmtotalfilt")));
        // Without the window the main window has said why (no draws yet).
        if (!filter)
            return;
        filter->presetRange(indicator(), plan.lower, plan.upper);
        if (plan.clamped) {
            const auto [first, last] = FilterListRange(indicator(), lottery.n, lottery.m);
            dialogs::Information(this, QStringLiteral("送到总体过滤"),
                QStringLiteral("总体过滤的%1只能选%2到%3，已按%4到%5送出。")
                    .arg(QString::fromUtf8(TextsOf(indicator()).columnLabel))
                    .arg(first)
                    .arg(last)
                    .arg(plan.lower)
                    .arg(plan.upper));
        }
    });
}

} // namespace lumaro
