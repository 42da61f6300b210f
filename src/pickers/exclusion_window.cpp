#include "pickers/exclusion_window.h"

#include "common/errors.h"
#include "common/file_io.h"
#include "common/text_format.h"
#include "data/open_lottery.h"
#include "pickers/exclusion_history.h"
#include "pickers/result_lines_model.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/busy_cursor.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/table_model.h"

#include <QAbstractAxis>
#include <QApplication>
#include <QChart>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <memory>

namespace lumaro {

namespace {

const QString kTicketFilter = QStringLiteral("文本文件(*.txt)|*.txt");

} // namespace

QString NumbersColumnText(const int *values, int m)
{
    QString text;
    text.reserve(3 * m);
    for (int j = 0; j < m; ++j)
        text += Pad2(values[j]) + QLatin1Char(' ');
    return text;
}

PickerHistoryView::PickerHistoryView(QWidget *owner, const QString &chartTitle, const QString &seriesTitle)
    : QObject(owner)
    , m_grid(new QTableView(owner))
    , m_model(new FunctionTableModel(this))
    , m_chart(new BarChart(owner))
    , m_chartPane(new QWidget(owner))
    , m_marks(new QCheckBox(QStringLiteral("显示标注"), owner))
{
    m_grid->setObjectName(QStringLiteral("tabhistory"));
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(20);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_viewport = m_grid->viewport();
    m_grid->viewport()->installEventFilter(this);
    m_chart->setObjectName(QStringLiteral("chthistory"));
    m_chart->chart()->setTitle(chartTitle);
    m_chart->addSeries(seriesTitle, QColor(220, 60, 60));
    m_chart->setMinimumHeight(190);
    // Period labels stand upright so they are not cut short between the bars.
    for (QAbstractAxis *axis : m_chart->chart()->axes(Qt::Horizontal)) {
        axis->setLabelsAngle(-90);
        QFont font = axis->labelsFont();
        font.setPointSize(7);
        axis->setLabelsFont(font);
    }
    // Thousands of draws: the latest that fit, zoom and scroll.
    auto *pane = new QVBoxLayout(m_chartPane);
    pane->setContentsMargins(0, 0, 0, 0);
    pane->setSpacing(0);
    pane->addWidget(m_chart, 1);
    pane->addWidget(m_chart->newScrollBar(m_chartPane, QStringLiteral("sbhistory")));
    m_marks->setObjectName(QStringLiteral("chkhistorybiao"));
    connect(m_marks, &QCheckBox::toggled, this, [this](bool on) { m_chart->setMarksVisible(on); });
}

void PickerHistoryView::setGrid(const QStringList &periods, ValueRows numbers, const QStringList &extraHeaders,
    std::function<QString(int, int)> value)
{
    m_periods = periods;
    m_numbers = std::move(numbers);
    m_value = std::move(value);
    m_model->setHeaders(QStringList {QStringLiteral("记录期号"), QStringLiteral("开奖号码")} + extraHeaders);
    m_model->setContent(m_numbers.rowCount(), [this](int row, int column) -> QVariant {
        if (column == 0)
            return row < m_periods.size() ? m_periods[row] : QString();
        if (column == 1)
            return NumbersColumnText(m_numbers.row(row), m_numbers.width());
        return m_value ? m_value(row, column - 2) : QString();
    });
    fitColumns();
    if (m_numbers.rowCount() > 0)
        m_grid->scrollToBottom();
}

void PickerHistoryView::setBars(const QStringList &periods, const std::vector<int> &values, int from)
{
    QStringList labels;
    std::vector<double> bars;
    for (int i = std::max(0, from); i < static_cast<int>(values.size()); ++i) {
        labels << (i < periods.size() ? periods[i] : QString());
        bars.push_back(std::max(0, values[static_cast<std::size_t>(i)]));
    }
    m_chart->setPoints(labels, bars);
    m_chart->setMarksVisible(m_marks->isChecked());
}

void PickerHistoryView::fitColumns()
{
    const int columns = m_model->columnCount();
    if (columns < 2)
        return;
    // 60 and 120 pixels, or what the texts need in the font in use; the rest shared, never
    // narrower than the column's header.
    const QFontMetrics metrics = m_grid->fontMetrics();
    const QFontMetrics header = m_grid->horizontalHeader()->fontMetrics();
    const int period = std::max(60, metrics.horizontalAdvance(QStringLiteral("20200001")) + 10);
    const int numbers
        = std::max(120, metrics.horizontalAdvance(QStringLiteral("00 ").repeated(std::max(1, m_numbers.width()))) + 10);
    m_grid->setColumnWidth(0, period);
    m_grid->setColumnWidth(1, numbers);
    const int rest = columns > 2 ? (m_grid->viewport()->width() - period - numbers) / (columns - 2) : 0;
    for (int c = 2; c < columns; ++c) {
        const QString title = m_model->headerData(c, Qt::Horizontal).toString();
        m_grid->setColumnWidth(c, std::max(rest, header.horizontalAdvance(title) + 14));
    }
}

bool PickerHistoryView::eventFilter(QObject *watched, QEvent *event)
{
    // Compared by address only: the filter also sees the events of a viewport whose grid is
    // already half destroyed.
    if (event->type() == QEvent::Resize && watched == m_viewport)
        fitColumns();
    return QObject::eventFilter(watched, event);
}

ExclusionWindow::ExclusionWindow(AppContext &context, ExclusionKind kind, const QString &objectName,
    const QString &caption, const Captions &captions, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_context(context)
    , m_kind(kind)
    , m_comcurqi(new QComboBox(this))
    , m_optjushu(new QRadioButton(this))
    , m_edtjushu(new QLineEdit(QString::number(captions.target), this))
    , m_optcishu(new QRadioButton(this))
    , m_edtcishu(new QLineEdit(QString::number(captions.cycles), this))
    , m_run(new QPushButton(QStringLiteral("开始过滤"), this))
    , m_load(new QPushButton(QStringLiteral("载入"), this))
    , m_save(new QPushButton(captions.save, this))
    , m_clear(new QPushButton(captions.clear, this))
    , m_close(new QPushButton(QStringLiteral("关闭"), this))
    , m_lblcode(new QLabel(QStringLiteral("过滤结果："), this))
    , m_memcode(new QListView(this))
    , m_lines(new ResultLinesModel(this))
    , m_pb(new QProgressBar(this))
    , m_comyanzheng(new QComboBox(this))
    , m_btnyanzheng(new QPushButton(QStringLiteral("历史验证"), this))
    , m_memyanzheng(new QPlainTextEdit(this))
{
    setObjectName(objectName);
    setWindowTitle(caption);
    m_comcurqi->setObjectName(QStringLiteral("comcurqi"));
    m_optjushu->setObjectName(QStringLiteral("optjushu"));
    m_edtjushu->setObjectName(QStringLiteral("edtjushu"));
    m_optcishu->setObjectName(QStringLiteral("optcishu"));
    m_edtcishu->setObjectName(QStringLiteral("edtcishu"));
    m_run->setObjectName(captions.runButton);
    m_load->setObjectName(QStringLiteral("btnload"));
    m_save->setObjectName(QStringLiteral("btnsave"));
    m_clear->setObjectName(QStringLiteral("btnclear"));
    m_close->setObjectName(QStringLiteral("btnclose"));
    m_lblcode->setObjectName(QStringLiteral("lblcode"));
    m_memcode->setObjectName(QStringLiteral("memcode"));
    m_pb->setObjectName(QStringLiteral("pb"));
    m_comyanzheng->setObjectName(QStringLiteral("comyanzheng"));
    m_btnyanzheng->setObjectName(QStringLiteral("btnyanzheng"));
    m_memyanzheng->setObjectName(QStringLiteral("memyanzheng"));

    m_run->setDefault(true);
    m_memcode->setModel(m_lines);
    m_memcode->setUniformItemSizes(true);
    m_memcode->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_pb->hide();
    m_optjushu->setChecked(true);
    for (QLineEdit *edit : {m_edtjushu, m_edtcishu})
        edit->setMaximumWidth(80);
    // 验证期数: a few usual counts, any other may be typed.
    m_comyanzheng->setEditable(true);
    for (int count : {5, 10, 20, 30, 50, 100, 200})
        m_comyanzheng->addItem(QString::number(count));
    m_comyanzheng->setCurrentText(QStringLiteral("20"));
    m_comyanzheng->setMaximumWidth(80);
    m_memyanzheng->setReadOnly(true);
    m_memyanzheng->setPlaceholderText(QStringLiteral("历史验证：在最近若干期开奖之前各过滤一次，看开奖号码是否留下。"));
    m_memyanzheng->setFixedHeight(m_memyanzheng->fontMetrics().lineSpacing() * 7 + 12);

    const OpenLottery &lottery = *m_context.lottery;
    const QStringList periods = periodTexts();
    m_comcurqi->addItems(periods);
    if (lottery.drawTable.rowCount() > 0)
        m_comcurqi->addItem(QString::number(qint64(lottery.drawTable.period(lottery.drawTable.rowCount() - 1)) + 1));
    m_comcurqi->setCurrentIndex(m_comcurqi->count() - 1);
    m_comcurqi->setMaxVisibleItems(20);

    lockWhileRunning(
        {m_comcurqi, m_optjushu, m_edtjushu, m_optcishu, m_edtcishu, m_load, m_save, m_clear, m_close, m_comyanzheng});
    connect(m_run, &QPushButton::clicked, this, [this] { btngenClick(); });
    connect(m_btnyanzheng, &QPushButton::clicked, this, [this] { btnyanzhengClick(); });
    connect(m_load, &QPushButton::clicked, this, [this] { btnloadClick(); });
    connect(m_save, &QPushButton::clicked, this, [this] { btnsaveClick(); });
    connect(m_clear, &QPushButton::clicked, this, [this] { btnclearClick(); });
    connect(m_close, &QPushButton::clicked, this, &QWidget::hide);
    m_filtering.setStopButton(m_run, QStringLiteral("开始过滤"));
    m_checking.setStopButton(m_btnyanzheng, QStringLiteral("历史验证"));
    m_filtering.lockWhileRunning({m_btnyanzheng});
    m_loading.lockWhileRunning({m_run, m_btnyanzheng});
    m_checking.lockWhileRunning({m_run});
    for (BackgroundRun *work : {&m_filtering, &m_loading, &m_checking})
        work->setProgressBar(m_pb);
    connect(&m_filtering, &BackgroundRun::finished, this, &ExclusionWindow::runEnded);
    connect(&m_loading, &BackgroundRun::finished, this, &ExclusionWindow::loadEnded);
    connect(&m_checking, &BackgroundRun::finished, this, &ExclusionWindow::checkEnded);
}

ExclusionWindow::~ExclusionWindow() = default;

QStringList ExclusionWindow::periodTexts() const
{
    const OpenLottery &lottery = *m_context.lottery;
    QStringList periods = lottery.drawPeriods;
    if (periods.size() != lottery.drawTable.rowCount()) {
        periods.clear();
        for (int i = 0; i < lottery.drawTable.rowCount(); ++i)
            periods << QString::number(lottery.drawTable.period(i));
    }
    return periods;
}

ValueRows ExclusionWindow::drawRows() const
{
    return ValueRows::fromDraws(m_context.lottery->drawTable);
}

ValueRows ExclusionWindow::variantStatisticsRows() const
{
    RandomSource random = m_context.newRandom();
    return VariantStatisticsRows(drawRows(), m_context.lottery->n, m_stage, random);
}

QComboBox *ExclusionWindow::stageList(const QString &name)
{
    auto *list = new QComboBox(this);
    list->setObjectName(name);
    QStringList entries {QStringLiteral("全部期")};
    for (int i = 1; i <= m_context.lottery->drawTable.rowCount(); ++i)
        entries << QString::number(i);
    list->addItems(entries);
    list->setCurrentIndex(0);
    list->setEnabled(false);
    return list;
}

QWidget *ExclusionWindow::periodRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("目前投注期："), row));
    layout->addWidget(m_comcurqi, 1);
    return row;
}

QGroupBox *ExclusionWindow::stopBox()
{
    auto *box = new QGroupBox(QStringLiteral("过滤到："), this);
    auto *layout = new QGridLayout(box);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(m_optjushu, 0, 0);
    layout->addWidget(m_edtjushu, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("注"), box), 0, 2);
    layout->addWidget(m_optcishu, 1, 0);
    layout->addWidget(m_edtcishu, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("次"), box), 1, 2);
    layout->setColumnStretch(3, 1);
    return box;
}

QWidget *ExclusionWindow::buttonRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QPushButton *button : {m_run, m_load, m_save, m_clear, m_close})
        layout->addWidget(button);
    return row;
}

QWidget *ExclusionWindow::checkRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("验证期数："), row));
    layout->addWidget(m_comyanzheng);
    layout->addWidget(new QLabel(QStringLiteral("期"), row));
    layout->addWidget(m_btnyanzheng);
    layout->addStretch();
    return row;
}

QWidget *ExclusionWindow::resultPanel(bool withCheck)
{
    auto *panel = new QWidget(this);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lblcode);
    layout->addWidget(m_memcode, 1);
    if (withCheck)
        layout->addWidget(m_memyanzheng);
    layout->addWidget(m_pb);
    return panel;
}

void ExclusionWindow::lockWhileRunning(std::initializer_list<QWidget *> widgets)
{
    m_filtering.lockWhileRunning(widgets);
    m_loading.lockWhileRunning(widgets);
    m_checking.lockWhileRunning(widgets);
}

int ExclusionWindow::cur() const
{
    return m_comcurqi->currentIndex();
}

StopRule ExclusionWindow::readStopRule() const
{
    return ReadStopRule(m_optjushu->isChecked(), m_edtjushu->text(), m_edtcishu->text());
}

void ExclusionWindow::btngenClick()
{
    if (m_filtering.isRunning()) {
        // The worker sees the flag between rows and ends the run without writing anything.
        m_filtering.stop();
        return;
    }
    if (m_loading.isRunning() || m_checking.isRunning())
        return;
    Guarded(this, [this] { startRun(); });
}

void ExclusionWindow::startRun()
{
    // Everything that can be refused is checked here, before the worker starts.
    auto settings = std::make_shared<PickerSettings>(readSettings());
    auto history = std::make_shared<PickerHistory>(PickerHistoryOf(*m_context.lottery, cur()));
    std::shared_ptr<ExclusionMember> member = MakeMember(*history, *settings);
    auto random = std::make_shared<RandomSource>(m_context.newRandom());
    const QString path = m_context.folder.file(QStringLiteral("temp.txt"));

    m_pb->setRange(0, 1);
    m_filtering.start(
        [this, settings, history, member, random, path](const Progress &progress) {
            RunOutput output;
            output.result
                = RunPicker(m_tickets, *history, settings->kind, *member, settings->stop, *random, path, progress);
            if (!output.result.cancelled)
                output.list = ResultLinesModel::split(ReadWholeFile(path));
            return output;
        },
        [this](RunOutput &output) { endRun(output); }, [this] { m_stage = PickerRunResult {}.lastStage; });
}

void ExclusionWindow::endRun(RunOutput &output)
{
    m_stage = output.result.lastStage;
    if (output.result.cancelled)
        return;
    showResultList(std::move(output.list), output.result.lines);
    runFinished();
}

void ExclusionWindow::btnyanzhengClick()
{
    if (m_checking.isRunning()) {
        // The worker sees the flag between rows; a stopped check shows no figures.
        m_checking.stop();
        return;
    }
    if (m_filtering.isRunning() || m_loading.isRunning())
        return;
    Guarded(this, [this] { startCheck(); });
}

void ExclusionWindow::startCheck()
{
    // Everything that can be refused is checked here, before the worker starts.
    const PickerSettings settings = readSettings();
    const int recent = ToInteger(m_comyanzheng->currentText());
    auto draws = std::make_shared<ExclusionCheckDraws>(ExclusionCheckDrawsOf(*m_context.lottery));
    CheckExclusionCheck(*draws, settings, recent);
    // The window's generator gives the check its seed: fixed in tests, from the clock otherwise.
    const std::uint64_t seed = m_context.newRandom().next();

    m_memyanzheng->setPlainText(QStringLiteral("历史验证：正在验证最近%1期……").arg(recent));
    checkStarted();
    m_pb->setRange(0, 1);
    m_checking.start(
        [draws, settings, recent, seed](
            const Progress &progress) { return RunExclusionCheck(*draws, settings, recent, seed, progress); },
        [this, draws](const ExclusionCheckResult &result) { endCheck(*draws, result); },
        [this] { m_memyanzheng->clear(); });
}

void ExclusionWindow::endCheck(const ExclusionCheckDraws &draws, const ExclusionCheckResult &result)
{
    // The summary first, in sight without scrolling; the judged draws below it.
    QStringList lines {ExclusionCheckLine(result)};
    lines += ExclusionCheckRowLines(draws, result);
    m_memyanzheng->setPlainText(lines.join(QLatin1Char('\n')));
}

void ExclusionWindow::showResultList(ResultLinesModel::Lines list, qint64 lines)
{
    m_lines->setLines(std::move(list));
    m_lblcode->setText(QStringLiteral("过滤结果：") + QString::number(lines) + QStringLiteral("注"));
}

void ExclusionWindow::btnloadClick()
{
    if (isRunning())
        return;
    Guarded(this, [this] {
        const QString path = dialogs::OpenFile(this, QStringLiteral("载入"), DesktopFolder(), kTicketFilter);
        if (path.isEmpty())
            return;
        const OpenLottery &lottery = *m_context.lottery;
        CheckPickerKind(lottery.kind, lottery.n, lottery.m);
        startLoad(path);
    });
}

void ExclusionWindow::startLoad(const QString &path)
{
    // A file of a million tickets takes a while to read and to list: the worker reads it and
    // writes the result list while the window keeps painting; the buttons wait for it.
    const OpenLottery &lottery = *m_context.lottery;
    const ExclusionKind kind = m_kind;
    const int n = lottery.n;
    const int m = lottery.m;
    const QString listPath = m_context.folder.file(QStringLiteral("temp.txt"));
    m_pb->setRange(0, 0);
    // The worker fills its own record; the window takes it over at the end, so nothing of the
    // (large) result stays behind with the worker.
    m_loading.start(
        [path, kind, n, m, listPath](const Progress &) {
            LoadOutput output;
            output.tickets = LoadPickerTickets(path, kind, n, m);
            output.lines = WriteResultList(listPath, output.tickets, {}, false);
            output.list = ResultLinesModel::split(ReadWholeFile(listPath));
            return output;
        },
        [this](LoadOutput &output) { endLoad(output); });
}

void ExclusionWindow::endLoad(LoadOutput &output)
{
    showResultList(std::move(output.list), output.lines);
    m_tickets.load(std::move(output.tickets));
}

void ExclusionWindow::btnsaveClick()
{
    if (isRunning())
        return;
    Guarded(this, [this] {
        const OpenLottery &lottery = *m_context.lottery;
        const QString proposed = ProposedTicketFileName(lottery.name, lottery.drawTable, PickerFileSuffix(m_kind));
        const QString path = dialogs::SaveFile(
            this, QStringLiteral("保存"), DesktopFolder(), proposed, kTicketFilter, QStringLiteral("txt"));
        if (path.isEmpty())
            return;
        {
            const BusyCursor busy;
            QSaveFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                throw IoError::cannotWrite(path, file.errorString());
            file.write(TicketFileFromResultList(m_lines->content()));
            if (!file.commit())
                throw IoError::cannotWrite(path, file.errorString());
        }
        dialogs::Information(this, QStringLiteral("提示"), QStringLiteral("成功保存！"));
    });
}

void ExclusionWindow::btnclearClick()
{
    if (isRunning())
        return;
    m_lines->clear();
    m_lblcode->setText(QStringLiteral("过滤结果："));
    m_tickets.setPending();
    Guarded(this, [this] { cleared(); });
}

void ExclusionWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window (or the lottery) stops a run; the list shown stays as it was.
    m_filtering.stop();
    m_checking.stop();
    QWidget::closeEvent(event);
}

HistoryExclusionWindow::HistoryExclusionWindow(AppContext &context, ExclusionKind kind, const QString &objectName,
    const QString &caption, const QString &chartTitle, const QString &seriesTitle, QWidget *parent)
    : ExclusionWindow(context, kind, objectName, caption,
        {QStringLiteral("btngen"), QStringLiteral("保存"), QStringLiteral("清除"), 10000, 10000}, parent)
    , m_history(new PickerHistoryView(this, chartTitle, seriesTitle))
    , m_tongji(new QPushButton(QStringLiteral("常规统计"), this))
    , m_tongji2(new QPushButton(QStringLiteral("变幻统计"), this))
{
    m_tongji->setObjectName(QStringLiteral("btntongji"));
    m_tongji2->setObjectName(QStringLiteral("btntongji2"));
    lockWhileRunning({m_tongji, m_tongji2});
    connect(m_tongji, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btntongjiClick(); }); });
    connect(m_tongji2, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btntongji2Click(); }); });
}

void HistoryExclusionWindow::arrange(QWidget *summary, QWidget *settings, int gridWidth, const QSize &size)
{
    auto *charts = new QSplitter(Qt::Horizontal, this);
    charts->addWidget(m_history->grid());
    charts->addWidget(m_history->chartPane());
    charts->setStretchFactor(1, 1);
    charts->setSizes({gridWidth, size.width() - gridWidth});
    auto *historyButtons = new QHBoxLayout;
    historyButtons->addWidget(summary, 1);
    historyButtons->addWidget(m_tongji);
    historyButtons->addWidget(m_tongji2);
    historyButtons->addWidget(m_history->marks());

    auto *left = new QVBoxLayout;
    left->addWidget(settings);
    left->addWidget(stopBox());
    left->addWidget(checkRow());
    left->addStretch();
    left->addWidget(buttonRow());
    auto *bottom = new QHBoxLayout;
    bottom->addLayout(left);
    bottom->addWidget(resultPanel(), 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(charts, 1);
    layout->addLayout(historyButtons);
    layout->addLayout(bottom, 1);
    resize(size);
    Guarded(this, [this] { btntongjiClick(); });
}

} // namespace lumaro
