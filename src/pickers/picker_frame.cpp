#include "pickers/picker_frame.h"

#include "data/open_lottery.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/table_model.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QTextLayout>

#include <cmath>

namespace lumaro {

namespace {

const QColor kHitColor(220, 40, 40);
const QColor kTallyColor(40, 90, 200);
const QColor kChanceColor(170, 170, 170);
const QColor kMeanColor(30, 30, 30);
const QColor kChanceLineColor(40, 90, 200);
// The heights the history pane and the hit chart start with at the default size; the history
// keeps more than a dozen rows in view.
constexpr int kHistoryHeight = 400;
constexpr int kHitChartHeight = 210;

// The height of a memo box that shows `lines` lines of Chinese text: measured on a laid-out
// line, since Chinese glyphs (often from a fallback font) stand taller than the font's own line
// spacing.
int MemoHeight(const QPlainTextEdit &memo, int lines)
{
    QTextLayout layout(QStringLiteral("随机对照"), memo.font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const qreal lineHeight = std::max<qreal>(line.height(), memo.fontMetrics().lineSpacing());
    const qreal margins = 2 * memo.document()->documentMargin() + 2 * memo.frameWidth();
    return static_cast<int>(std::ceil(lines * lineHeight + margins)) + 2;
}

} // namespace

int NumberItem(const QComboBox *combo)
{
    return combo->currentText().toInt();
}

PickerFrame::PickerFrame(AppContext &context, QWidget *parent, const Options &options)
    : QWidget(parent, Qt::Tool)
    , m_comcurqi(new QComboBox(this))
    , m_btngen(new QPushButton(QStringLiteral("生成号码"), this))
    , m_btntongji(new QPushButton(QStringLiteral("历史统计"), this))
    , m_edtcurcode(new QLineEdit(this))
    , m_tabhistory(new QTableView(this))
    , m_mem(new QPlainTextEdit(this))
    , m_chthistory(new BarChart(this))
    , m_chkhistorybiao(new QCheckBox(QStringLiteral("显示标注"), this))
    , m_context(context)
    , m_options(options)
    , m_historyModel(new FunctionTableModel(this))
    , m_result(std::make_shared<BacktestResult>())
{
    setObjectName(options.objectName);
    setWindowTitle(options.caption);
    resize(1000, 760);

    m_comcurqi->setObjectName(QStringLiteral("comcurqi"));
    m_btngen->setObjectName(QStringLiteral("btngen"));
    m_btntongji->setObjectName(QStringLiteral("btntongji"));
    m_edtcurcode->setObjectName(QStringLiteral("edtcurcode"));
    m_edtcurcode->setReadOnly(true);
    m_tabhistory->setObjectName(QStringLiteral("tabhistory"));
    m_mem->setObjectName(QStringLiteral("mem"));
    m_mem->setReadOnly(true);
    // The picker's summary and the comparison with chance, which wraps once at the default width.
    m_mem->document()->setDocumentMargin(2);
    m_mem->setMaximumHeight(MemoHeight(*m_mem, 3));
    m_chthistory->setObjectName(QStringLiteral("chthistory"));
    m_chkhistorybiao->setObjectName(QStringLiteral("chkhistorybiao"));

    m_comcurqi->addItems(TargetPeriods(lottery().drawTable));
    m_comcurqi->setCurrentIndex(m_comcurqi->count() - 1);
    m_comcurqi->setMinimumContentsLength(9);
    m_comcurqi->setMaxVisibleItems(20);

    m_historyModel->setHeaders({QStringLiteral("记录期号"), QStringLiteral("开奖号码"), QStringLiteral("投注号码"),
        QStringLiteral("中奖个数")});
    m_tabhistory->setModel(m_historyModel);
    m_tabhistory->verticalHeader()->hide();
    m_tabhistory->verticalHeader()->setDefaultSectionSize(20);
    m_tabhistory->horizontalHeader()->setStretchLastSection(false);
    m_tabhistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabhistory->setWordWrap(false);
    m_historyViewport = m_tabhistory->viewport();
    m_tabhistory->viewport()->installEventFilter(this);
    measureColumns();

    m_chthistory->addSeries(QStringLiteral("中奖个数"), kHitColor);
    m_chthistory->setMinimumHeight(140);
    // Thousands of draws do not fit as bars: the chart shows the latest that do, zooms and
    // scrolls, and draws the rolling mean against what a random pick would hit.
    m_sbhistory = m_chthistory->newScrollBar(this, QStringLiteral("sbhistory"));
    m_meanLine = m_chthistory->addLine(QStringLiteral("滚动平均"), kMeanColor);
    m_chanceLine = m_chthistory->addLine(QStringLiteral("随机期望"), kChanceLineColor);
    if (options.hitCountChart) {
        m_chtcishu = new BarChart(this);
        m_chtcishu->setObjectName(QStringLiteral("chtcishu"));
        m_chtcishu->addSeries(QStringLiteral("各中奖号码数出现次数"), kTallyColor);
        m_chtcishu->addSeries(QStringLiteral("随机期望"), kChanceColor);
        m_chtcishu->setMarksVisible(true);
        m_chtcishu->setMinimumSize(240, 180);
    }

    // Settings, then the target row and the proposal box.
    auto *top = new QVBoxLayout;
    m_settingsLayout = new QVBoxLayout;
    top->addLayout(m_settingsLayout);
    auto *targetRow = new QHBoxLayout;
    auto *targetLabel = new QLabel(QStringLiteral("目前投注期："), this);
    targetLabel->setBuddy(m_comcurqi);
    targetRow->addWidget(targetLabel);
    targetRow->addWidget(m_comcurqi);
    targetRow->addSpacing(12);
    targetRow->addWidget(m_btngen);
    targetRow->addWidget(m_btntongji);
    targetRow->addStretch(1);
    top->addLayout(targetRow);
    auto *proposalRow = new QHBoxLayout;
    proposalRow->addWidget(new QLabel(options.proposalLabel, this));
    proposalRow->addWidget(m_edtcurcode, 1);
    top->addLayout(proposalRow);

    // The history grid and the memo, beside them the chart of hit counts where the window has
    // one; under them the hit chart over the whole width (one bar per back-tested draw).
    auto *history = new QWidget(this);
    auto *historyLayout = new QVBoxLayout(history);
    historyLayout->setContentsMargins(0, 0, 0, 0);
    historyLayout->addWidget(new QLabel(QStringLiteral("历史中奖："), history));
    historyLayout->addWidget(m_tabhistory, 1);
    if (!options.memoLabel.isEmpty())
        historyLayout->addWidget(new QLabel(options.memoLabel, history));
    historyLayout->addWidget(m_mem);
    auto *upper = new QSplitter(Qt::Horizontal, this);
    upper->addWidget(history);
    if (m_chtcishu) {
        auto *tally = new QWidget(this);
        auto *tallyLayout = new QVBoxLayout(tally);
        tallyLayout->setContentsMargins(0, 0, 0, 0);
        tallyLayout->addWidget(new QLabel(QStringLiteral("历史中奖次数图表"), tally));
        tallyLayout->addWidget(m_chtcishu, 1);
        upper->addWidget(tally);
        upper->setStretchFactor(0, 3);
        upper->setStretchFactor(1, 2);
        // The tally gets room for its eight or so bars with their values side by side.
        upper->setSizes({620, 360});
    }
    upper->setChildrenCollapsible(false);
    auto *lower = new QWidget(this);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(m_chthistory, 1);
    lowerLayout->addWidget(m_sbhistory);
    auto *chartRow = new QHBoxLayout;
    chartRow->addWidget(m_chkhistorybiao);
    chartRow->addStretch(1);
    auto *zoomHint = new QLabel(QStringLiteral("图表上滚动鼠标滚轮缩放，按住左键拖动"), lower);
    zoomHint->setObjectName(QStringLiteral("lblzoom"));
    chartRow->addWidget(zoomHint);
    lowerLayout->addLayout(chartRow);
    m_panes = new QSplitter(Qt::Vertical, this);
    m_panes->addWidget(upper);
    m_panes->addWidget(lower);
    m_panes->setStretchFactor(0, 3);
    m_panes->setStretchFactor(1, 2);
    m_panes->setChildrenCollapsible(false);
    m_panes->setSizes({kHistoryHeight, kHitChartHeight});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_panes, 1);

    connect(m_btngen, &QPushButton::clicked, this, &PickerFrame::btngenClick);
    connect(m_btntongji, &QPushButton::clicked, this, &PickerFrame::btntongjiClick);
    connect(m_chkhistorybiao, &QCheckBox::toggled, m_chthistory, &BarChart::setMarksVisible);
    m_run.lockWhileRunning({m_btntongji});
    connect(&m_run, &BackgroundRun::finished, this, &PickerFrame::tongjiFinished);
}

PickerFrame::~PickerFrame() = default;

void PickerFrame::addExtraPane(QWidget *pane, int height)
{
    m_panes->insertWidget(0, pane);
    m_panes->setStretchFactor(0, 0);
    m_panes->setStretchFactor(1, 3);
    m_panes->setStretchFactor(2, 2);
    // The extra pane's room comes out of the hit chart first, then out of the history.
    const int fromChart = std::min(height, kHitChartHeight - m_chthistory->minimumHeight());
    m_panes->setSizes({height, kHistoryHeight - (height - fromChart), kHitChartHeight - fromChart});
}

const OpenLottery &PickerFrame::lottery() const
{
    return *m_context.lottery;
}

int PickerFrame::target() const
{
    return m_comcurqi->currentIndex();
}

void PickerFrame::btngenClick()
{
    Guarded(this, [this] {
        const int t = target();
        if (t < 0) {
            dialogs::Warning(this, windowTitle(), NoDrawsMessage());
            return;
        }
        generate(t, m_comcurqi->currentText());
    });
}

void PickerFrame::showProposal(const QString &targetText, const QString &numbersText, int size)
{
    const NumberRange range = NumberRangeOf(lottery());
    m_edtcurcode->setText(ProposalLine(targetText, numbersText) + RangeCoverageText(range, size, lottery().m));
    m_edtcurcode->setCursorPosition(0);
}

void PickerFrame::btntongjiClick()
{
    runTongji();
}

void PickerFrame::runTongji()
{
    if (isBusy())
        return;
    if (lottery().drawTable.isEmpty()) {
        auto empty = std::make_shared<BacktestResult>();
        empty->memo = NoJudgedDrawsMemo();
        showBacktest(empty);
        Q_EMIT tongjiFinished();
        return;
    }
    BacktestJob job;
    if (!Guarded(this, [&] { job = backtestJob(); }))
        return;
    m_mem->setPlainText(QStringLiteral("正在统计……"));
    m_run.start(
        [job = std::move(job)](const Progress &progress) { return std::make_shared<BacktestResult>(job(progress)); },
        [this](const std::shared_ptr<BacktestResult> &result) { showBacktest(result); }, [this] { m_mem->clear(); });
}

void PickerFrame::showBacktest(const std::shared_ptr<BacktestResult> &outcome)
{
    if (!outcome || outcome->cancelled) {
        m_mem->clear();
        return;
    }
    m_result = outcome;
    const std::shared_ptr<const BacktestResult> result = m_result;
    m_historyModel->setContent(static_cast<int>(result->rows.size()), [result](int row, int column) -> QVariant {
        const BacktestRow &r = result->rows[static_cast<std::size_t>(row)];
        switch (column) {
        case 0:
            return QString::number(r.period);
        case 1:
            return r.drawn;
        case 2:
            return r.proposed;
        default:
            return r.hits;
        }
    });
    measureColumns();
    m_mem->setPlainText(BacktestMemo(*result));

    QStringList labels;
    std::vector<double> values;
    const int rows = static_cast<int>(result->rows.size());
    labels.reserve(std::max(0, rows - result->chartFirst));
    values.reserve(static_cast<std::size_t>(std::max(0, rows - result->chartFirst)));
    for (int i = result->chartFirst; i < rows; ++i) {
        labels << QString::number(result->rows[static_cast<std::size_t>(i)].period);
        values.push_back(result->rows[static_cast<std::size_t>(i)].hitCount);
    }
    m_chthistory->setPoints(labels, values);
    m_chthistory->setMarksVisible(m_chkhistorybiao->isChecked());
    const int window = RollingMeanWindow(static_cast<int>(values.size()));
    m_chthistory->setLineTitle(m_meanLine, QStringLiteral("近%1期平均").arg(window));
    m_chthistory->setLineValues(m_meanLine, RollingMean(values, window), window - 1);
    if (result->chance.judged > 0 && !values.empty())
        m_chthistory->setLineValues(m_chanceLine, std::vector<double>(values.size(), result->chance.chanceMean()));
    if (m_chtcishu) {
        // Beside each observed count, how many draws a random pick of the same size would have
        // hit as often (to a tenth, so that a rare count still shows).
        QStringList tallyLabels;
        std::vector<double> tallyValues;
        std::vector<double> chanceValues;
        for (std::size_t k = 0; k < result->tally.size(); ++k) {
            tallyLabels << QString::number(k);
            tallyValues.push_back(result->tally[k]);
            const double expected = k < result->chance.expected.size() ? result->chance.expected[k] : 0.0;
            chanceValues.push_back(std::round(expected * 10) / 10);
        }
        m_chtcishu->setPoints(tallyLabels, {tallyValues, chanceValues});
    }
}

bool PickerFrame::eventFilter(QObject *watched, QEvent *event)
{
    // Compared by address only: the filter also sees the events of a viewport whose grid is
    // already half destroyed.
    if (event->type() == QEvent::Resize && watched == m_historyViewport)
        applyColumnWidths();
    return QWidget::eventFilter(watched, event);
}

void PickerFrame::measureColumns()
{
    // The grid keeps its column widths as minimums and widens a column whose texts would be cut
    // off. Rows of one history are alike, so the first and last few hundred give the widths.
    const QFontMetrics metrics(m_tabhistory->font());
    const QFontMetrics headerMetrics(m_tabhistory->horizontalHeader()->font());
    const int rows = m_historyModel->rowCount();
    for (int column = 0; column < 4; ++column) {
        int widest = headerMetrics.horizontalAdvance(
            m_historyModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        for (int row = 0; row < rows; ++row) {
            if (row == 200 && rows > 400)
                row = rows - 200;
            widest = std::max(widest, metrics.horizontalAdvance(m_historyModel->index(row, column).data().toString()));
        }
        m_measured[static_cast<std::size_t>(column)] = widest + 14;
    }
    applyColumnWidths();
}

void PickerFrame::applyColumnWidths()
{
    // A width <= 0 marks the column that takes what the others leave of the grid.
    int fixed = 0;
    int fill = -1;
    std::array<int, 4> widths {};
    for (int column = 0; column < 4; ++column) {
        const int w = m_options.columnWidths[static_cast<std::size_t>(column)];
        if (w <= 0) {
            fill = column;
            continue;
        }
        widths[static_cast<std::size_t>(column)] = std::max(w, m_measured[static_cast<std::size_t>(column)]);
        fixed += widths[static_cast<std::size_t>(column)];
    }
    if (fill >= 0)
        widths[static_cast<std::size_t>(fill)]
            = std::max(m_measured[static_cast<std::size_t>(fill)], m_tabhistory->viewport()->width() - fixed);
    for (int column = 0; column < 4; ++column)
        m_tabhistory->setColumnWidth(column, widths[static_cast<std::size_t>(column)]);
}

} // namespace lumaro
