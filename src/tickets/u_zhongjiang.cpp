#include "tickets/u_zhongjiang.h"

#include "common/errors.h"
#include "data/open_lottery.h"
#include "data/program_folder.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/form_controls.h"
#include "shell/table_model.h"
#include "tickets/prize_table.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace lumaro {

namespace {

const QString kCaption = QStringLiteral("中奖查询");
const QString kFilter = QStringLiteral("文本文件(*.txt)|*.txt");
const QString kAllDraws = QStringLiteral("全部开奖");
const QColor kTotalsColour(255, 248, 220);
const QColor kWinColour(200, 30, 30);

QTableView *NewGrid(QWidget *parent, const char *name, FunctionTableModel *model)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(QString::fromUtf8(name));
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setMinimumSectionSize(52);
    return grid;
}

} // namespace

Tfrmzhongjiang::Tfrmzhongjiang(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmzhongjiang"));
    setWindowTitle(kCaption);

    QLabel *label1 = NewLabel(this, "Label1", QStringLiteral("投注号码文件："));
    m_edtfile = NewField(this, "edtfile");
    m_edtfile->setReadOnly(true);
    m_edtfile->setPlaceholderText(QStringLiteral("请选择投注号码文件"));
    m_btndaoru = NewButton(this, "btndaoru", QStringLiteral("选择文件"));
    QLabel *label2 = NewLabel(this, "Label2", QStringLiteral("开奖期号："));
    m_comqishu = new QComboBox(this);
    m_comqishu->setObjectName(QStringLiteral("comqishu"));
    m_comqishu->setMinimumContentsLength(10);
    m_btnjiancha = NewButton(this, "btnjiancha", QStringLiteral("检查"));
    m_btnclose = NewButton(this, "btnclose", QStringLiteral("关闭"));

    m_pb = new QProgressBar(this);
    m_pb->setObjectName(QStringLiteral("pb"));
    m_pb->setTextVisible(true);
    m_pb->hide();

    m_draws = new FunctionTableModel(this);
    m_grdzhongjiang = NewGrid(this, "grdzhongjiang", m_draws);
    m_lblzuhe = NewLabel(this, "lblzuhe", QStringLiteral("中奖组合："));
    m_pairs = new FunctionTableModel(this);
    m_pairs->setHeaders(
        {QStringLiteral("中奖组合"), QStringLiteral("奖级"), QStringLiteral("本期注数"), QStringLiteral("合计注数")});
    m_grdzuhe = NewGrid(this, "grdzuhe", m_pairs);
    m_grdzuhe->setSelectionMode(QAbstractItemView::NoSelection);
    m_grdzuhe->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grdzuhe->setMinimumWidth(300);
    m_lblsum = NewLabel(this, "lblsum", QString());
    m_lblsum->setWordWrap(true);
    m_lblsum->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *choices = new QGridLayout;
    choices->addWidget(label1, 0, 0);
    choices->addWidget(m_edtfile, 0, 1);
    choices->addWidget(m_btndaoru, 0, 2);
    choices->addWidget(label2, 1, 0);
    auto *periodRow = new QHBoxLayout;
    periodRow->addWidget(m_comqishu);
    periodRow->addStretch(1);
    choices->addLayout(periodRow, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_btnjiancha);
    buttons->addWidget(m_btnclose);
    choices->addLayout(buttons, 1, 2);
    choices->setColumnStretch(1, 1);

    auto *pairsColumn = new QVBoxLayout;
    pairsColumn->addWidget(m_lblzuhe);
    pairsColumn->addWidget(m_grdzuhe, 1);
    auto *grids = new QHBoxLayout;
    grids->addWidget(m_grdzhongjiang, 3);
    grids->addLayout(pairsColumn, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(m_pb);
    layout->addLayout(grids, 1);
    layout->addWidget(m_lblsum);
    resize(1120, 600);

    // The draws to choose from, latest first, after the choice of every draw.
    m_comqishu->addItem(kAllDraws);
    const OpenLottery &lottery = *m_context.lottery;
    for (qsizetype i = lottery.drawPeriods.size() - 1; i >= 0; --i)
        m_comqishu->addItem(lottery.drawPeriods[i]);

    connect(m_btndaoru, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btndaoruClick(); }); });
    connect(m_btnjiancha, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnjianchaClick(); }); });
    connect(m_btnclose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_grdzhongjiang->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) { grdzhongjiangSelect(current.row()); });
    m_run.lockWhileRunning({m_btndaoru, m_comqishu});
    m_run.setProgressBar(m_pb);
    m_run.setStopButton(m_btnjiancha, QStringLiteral("检查"));
    connect(&m_run, &BackgroundRun::finished, this, &Tfrmzhongjiang::checkFinished);
}

Tfrmzhongjiang::~Tfrmzhongjiang() = default;

void Tfrmzhongjiang::closeEvent(QCloseEvent *event)
{
    m_run.stop();
    m_run.waitUntilDone();
    QWidget::closeEvent(event);
}

void Tfrmzhongjiang::btndaoruClick()
{
    const QString chosen = dialogs::OpenFile(this, QStringLiteral("选择投注号码文件"),
        m_file.isEmpty() ? DesktopFolder() : QFileInfo(m_file).absolutePath(), kFilter);
    if (chosen.isEmpty())
        return;
    m_file = chosen;
    m_edtfile->setText(QDir::toNativeSeparators(chosen));
    m_edtfile->setToolTip(m_edtfile->text());
}

void Tfrmzhongjiang::btnjianchaClick()
{
    if (m_run.isRunning()) {
        m_run.stop();
        return;
    }
    if (m_file.isEmpty()) {
        dialogs::Information(this, kCaption, QStringLiteral("请先选择投注号码文件！"));
        return;
    }
    const OpenLottery &lottery = *m_context.lottery;
    if (!lottery.lotteryOpen)
        throw InputError(QStringLiteral("请先打开彩票！"));
    // The table is read at every check, so that a change made to it counts at once.
    auto inputs = std::make_shared<PrizeCheckInputs>(
        PrizeCheckInputs::fromLottery(lottery, ReadPrizeTable(PrizeTableFile(m_context.folder))));
    if (m_comqishu->currentIndex() > 0)
        inputs->keepPeriod(m_comqishu->currentText());
    std::shared_ptr<const PrizeCheckInputs> shared = inputs;
    m_lblsum->clear();
    m_pb->setRange(0, 0);
    m_run.start(
        [shared, path = m_file](const Progress &progress) {
            const CheckTickets tickets = ReadCheckTickets(path, shared->game);
            return Outcome {shared, RunPrizeCheck(*shared, tickets, progress)};
        },
        [this](const Outcome &outcome) { finishCheck(outcome); });
}

void Tfrmzhongjiang::finishCheck(const Outcome &outcome)
{
    if (outcome.result.cancelled) {
        m_lblsum->setText(QStringLiteral("检查已停止。"));
        return;
    }
    m_inputs = outcome.inputs;
    m_result = outcome.result;
    const PrizeCheckInputs &inputs = *m_inputs;
    m_rows.clear();
    m_rows.reserve(m_result.draws.size() + 1);
    m_rows.push_back(PrizeTotalsRow(inputs, m_result));
    for (auto it = m_result.draws.rbegin(); it != m_result.draws.rend(); ++it)
        m_rows.push_back(PrizeTableRow(inputs, *it));
    // Tier columns start after the period, the draw and the pair columns; a cell of a tier
    // that was won shows in red.
    const QStringList headers = PrizeTableHeaders(inputs);
    const int tierColumn = static_cast<int>(headers.size() - inputs.tiers.size()) - 1;
    const bool hasTiers = !inputs.tiers.empty();
    m_draws->setHeaders(headers);
    m_draws->setContent(
        static_cast<int>(m_rows.size()),
        [this](int row, int column) -> QVariant {
            const QStringList &cells = m_rows[static_cast<std::size_t>(row)];
            return column < cells.size() ? cells[column] : QVariant();
        },
        [](int row, int) -> QVariant { return row == 0 ? QVariant(kTotalsColour) : QVariant(); },
        [this, tierColumn, hasTiers](int row, int column) -> QVariant {
            if (!hasTiers || column < tierColumn)
                return QVariant();
            const QString &cell = m_rows[static_cast<std::size_t>(row)][column];
            return cell != QLatin1String("0") ? QVariant(kWinColour) : QVariant();
        });
    m_grdzhongjiang->resizeColumnsToContents();
    // The room the columns leave is shared among them, so a game of few tiers fills the grid.
    const int columns = m_grdzhongjiang->model()->columnCount();
    const int spare = m_grdzhongjiang->viewport()->width() - m_grdzhongjiang->horizontalHeader()->length();
    for (int column = 0; spare > 0 && column < columns; ++column)
        m_grdzhongjiang->setColumnWidth(column, m_grdzhongjiang->columnWidth(column) + spare / columns);
    m_lblsum->setText(PrizeSummaryLine(inputs, m_result));
    m_grdzhongjiang->selectRow(0);
    showPairs(0);
}

void Tfrmzhongjiang::grdzhongjiangSelect(int row)
{
    if (row >= 0 && row < static_cast<int>(m_rows.size()))
        showPairs(row);
}

void Tfrmzhongjiang::showPairs(int row)
{
    if (!m_inputs)
        return;
    const PrizeCheckInputs &inputs = *m_inputs;
    const PrizeGame &game = inputs.game;
    // Row 0 is the totals; row r ≥ 1 the draw r - 1 counted from the latest.
    const std::vector<qint64> &counts
        = row == 0 ? m_result.totalPairs : m_result.draws[m_result.draws.size() - static_cast<std::size_t>(row)].pairs;
    m_lblzuhe->setText(row == 0 ? QStringLiteral("中奖组合（%1期合计）：").arg(m_result.draws.size())
                                : QStringLiteral("中奖组合（第%1期）：").arg(m_rows[static_cast<std::size_t>(row)][0]));
    struct PairRow {
        QString pair;
        QString tier;
        qint64 here = 0;
        qint64 total = 0;
    };
    auto rows = std::make_shared<std::vector<PairRow>>();
    for (const HitPair &pair : PairsBestFirst(game)) {
        QString tier;
        for (const PrizeTier &candidate : inputs.tiers) {
            if (std::find(candidate.pairs.begin(), candidate.pairs.end(), pair) != candidate.pairs.end())
                tier = candidate.name;
        }
        const auto index = static_cast<std::size_t>(game.pairIndex(pair.front, pair.back));
        rows->push_back({PairHeader(game, pair), tier, counts[index], m_result.totalPairs[index]});
    }
    m_grdzuhe->setColumnHidden(1, inputs.tiers.empty());
    m_pairs->setContent(static_cast<int>(rows->size()), [rows](int r, int column) -> QVariant {
        const PairRow &line = (*rows)[static_cast<std::size_t>(r)];
        switch (column) {
        case 0:
            return line.pair;
        case 1:
            return line.tier;
        case 2:
            return QString::number(line.here);
        default:
            return QString::number(line.total);
        }
    });
}

void Tfrmzhongjiang::waitForResult()
{
    m_run.waitUntilDone();
}

} // namespace lumaro
