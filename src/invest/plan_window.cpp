#include "invest/plan_window.h"

#include "common/errors.h"
#include "invest/plan_file.h"
#include "invest/report_printing.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"
#include "shell/table_model.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

namespace lumaro {

namespace {

QString PlanFilter()
{
    return QStringLiteral("文本文件(*.txt)|*.txt");
}

} // namespace

PlanWindow::PlanWindow(AppContext &context, QWidget *parent, const QString &caption, const QString &fileName)
    : QWidget(parent, Qt::Tool)
    , m_context(context)
    , m_fileName(fileName)
{
    setWindowTitle(caption);
    resize(700, 640);
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto *layout = new QHBoxLayout(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("grdjihua"));
    m_model = new FunctionTableModel(m_grid);
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    // Long headers such as "当期利润率(%)" wrap onto a second line instead of being cut.
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    m_grid->horizontalHeader()->setFixedHeight(2 * m_grid->fontMetrics().height() + 8);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->viewport()->installEventFilter(this);
    // Under the grid: what the plan risks, then its money curve.
    auto *left = new QVBoxLayout;
    left->addWidget(m_grid, 3);
    left->addWidget(newRiskBox());
    m_chtjihua = newMoneyChart();
    left->addWidget(m_chtjihua, 2);
    layout->addLayout(left, 1);
    auto *column = new QVBoxLayout;
    m_fieldGrid = new QGridLayout;
    column->addLayout(m_fieldGrid);
    column->addSpacing(12);
    m_column = new QVBoxLayout;
    column->addLayout(m_column);
    layout->addLayout(column);
}

QLineEdit *PlanWindow::addField(const char *name, const QString &label, const QString &value)
{
    auto *caption = new QLabel(label, this);
    auto *edit = new QLineEdit(value, this);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setFixedWidth(90);
    caption->setBuddy(edit);
    const int row = m_fieldGrid->rowCount();
    m_fieldGrid->addWidget(caption, row, 0);
    m_fieldGrid->addWidget(edit, row, 1);
    m_fields.push_back(edit);
    m_labels << label;
    return edit;
}

QPushButton *PlanWindow::addButton(const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QString::fromUtf8(name));
    m_column->addWidget(button);
    return button;
}

void PlanWindow::finishColumn()
{
    m_column->addStretch(1);
}

QWidget *PlanWindow::newRiskBox()
{
    auto *box = new QWidget(this);
    box->setObjectName(QStringLiteral("pnlfengxian"));
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_lblgailv = new QLabel(PeriodChanceCaption(), box);
    m_edtgailv = new QLineEdit(box);
    m_edtgailv->setObjectName(QStringLiteral("edtgailv"));
    // Wide enough for a lotto's top-prize chance per ticket ("0.000000491207").
    m_edtgailv->setFixedWidth(m_edtgailv->fontMetrics().horizontalAdvance(QStringLiteral("0.0000004912070")) + 12);
    m_lblgailv->setBuddy(m_edtgailv);
    grid->addWidget(m_lblgailv, 0, 0);
    grid->addWidget(m_edtgailv, 0, 1);
    // Captions and values in pairs, three pairs a line: the chance box first.
    static const char *const names[] = {"lblzuidatouru", "lblbuzhong", "lblmeiqiqiwang", "lblquanchengqiwang"};
    const std::vector<PlanRiskFigure> captions = PlanRiskFigures(PlanRisk {});
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const int place = static_cast<int>(i) + 1;
        auto *value = new QLabel(QStringLiteral("—"), box);
        value->setObjectName(QString::fromUtf8(names[i]));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(new QLabel(captions[i].caption, box), place / 3, 2 * (place % 3), Qt::AlignRight);
        grid->addWidget(value, place / 3, 2 * (place % 3) + 1);
        m_riskValues.push_back(value);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);
    connect(m_edtgailv, &QLineEdit::editingFinished, this, [this] { Guarded(this, [this] { edtgailvExit(); }); });
    return box;
}

QChartView *PlanWindow::newMoneyChart()
{
    auto *chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setMargins(QMargins(4, 0, 4, 0));
    m_inputSeries = new QLineSeries(chart);
    m_inputSeries->setName(QStringLiteral("当期总投入"));
    m_inputSeries->setColor(QColor(200, 40, 40));
    m_prizeSeries = new QLineSeries(chart);
    m_prizeSeries->setName(QStringLiteral("当期中奖"));
    m_prizeSeries->setColor(QColor(30, 110, 200));
    chart->addSeries(m_inputSeries);
    chart->addSeries(m_prizeSeries);
    auto *periods = new QValueAxis(chart);
    periods->setLabelFormat(QStringLiteral("%d"));
    periods->setTitleText(QStringLiteral("投注期号"));
    auto *money = new QValueAxis(chart);
    money->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(periods, Qt::AlignBottom);
    chart->addAxis(money, Qt::AlignLeft);
    for (QLineSeries *series : {m_inputSeries, m_prizeSeries}) {
        series->attachAxis(periods);
        series->attachAxis(money);
    }
    auto *view = new QChartView(chart, this);
    view->setObjectName(QStringLiteral("chtjihua"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(150);
    return view;
}

void PlanWindow::setChancePerTicket()
{
    m_lblgailv->setText(TicketChanceCaption());
    refreshRisk();
}

double PlanWindow::defaultChance() const
{
    qint64 outcomes = kDefaultPlanOutcomes;
    if (const OpenLottery *lottery = m_context.lottery; lottery && !lottery->name.isEmpty() && lottery->n > 0)
        outcomes = PlanOutcomes(lottery->kind, lottery->n, lottery->m);
    return TicketsChance(chanceTickets(), outcomes);
}

void PlanWindow::refreshRisk()
{
    // The box follows the default (the lottery, 单倍投入) until the user types a chance of his own.
    const QString typed = m_edtgailv->text().trimmed();
    if (typed.isEmpty() || typed == m_chanceDefault) {
        m_chanceDefault = ChanceText(defaultChance());
        m_edtgailv->setText(m_chanceDefault);
        m_edtgailv->setCursorPosition(0);
    }
    std::optional<double> chance;
    try {
        // The default exactly, not its rounded text.
        chance = m_edtgailv->text().trimmed() == m_chanceDefault
            ? defaultChance()
            : ParseChance(m_edtgailv->text(), m_lblgailv->text().chopped(1));
    } catch (const InputError &) {
        // Told when the user leaves the box; until then the figures are blank.
    }
    const std::vector<PlanPeriodMoney> money = planMoney(chance.value_or(0));
    m_risk.reset();
    if (chance && !money.empty())
        m_risk = PlanRiskOf(money);
    const std::vector<PlanRiskFigure> figures = PlanRiskFigures(m_risk.value_or(PlanRisk {}));
    for (std::size_t i = 0; i < m_riskValues.size(); ++i)
        m_riskValues[i]->setText(m_risk ? figures[i].value : QStringLiteral("—"));
    showMoneyCurve(money);
}

void PlanWindow::checkChance() const
{
    const QString typed = m_edtgailv->text().trimmed();
    if (!typed.isEmpty() && typed != m_chanceDefault)
        ParseChance(typed, m_lblgailv->text().chopped(1));
}

void PlanWindow::edtgailvExit()
{
    refreshRisk();
    ParseChance(m_edtgailv->text(), m_lblgailv->text().chopped(1));
}

void PlanWindow::showMoneyCurve(const std::vector<PlanPeriodMoney> &money)
{
    QList<QPointF> inputs;
    QList<QPointF> prizes;
    double top = 0;
    for (std::size_t i = 0; i < money.size(); ++i) {
        const double period = static_cast<double>(i + 1);
        inputs << QPointF(period, static_cast<double>(money[i].input));
        prizes << QPointF(period, static_cast<double>(money[i].prize));
        top = std::max({top, static_cast<double>(money[i].input), static_cast<double>(money[i].prize)});
    }
    m_inputSeries->replace(inputs);
    m_prizeSeries->replace(prizes);
    const QList<QAbstractAxis *> horizontal = m_chtjihua->chart()->axes(Qt::Horizontal);
    const QList<QAbstractAxis *> vertical = m_chtjihua->chart()->axes(Qt::Vertical);
    if (auto *axis = qobject_cast<QValueAxis *>(horizontal.value(0))) {
        // Whole periods only, in steps of 1, 2, 5, 10, 20, … with at most ten of them.
        const qint64 last = std::max<qint64>(2, static_cast<qint64>(money.size()));
        static const qint64 kMantissas[] = {1, 2, 5};
        qint64 step = 1;
        for (qint64 power = 1, i = 0; last / step > 10;) {
            if (++i == 3) {
                i = 0;
                power *= 10;
            }
            step = kMantissas[i] * power;
        }
        axis->setRange(1, static_cast<double>(last));
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setTickInterval(static_cast<double>(step));
    }
    if (auto *axis = qobject_cast<QValueAxis *>(vertical.value(0))) {
        // An empty plan keeps a plain 0 … 1000 scale rather than repeated rounded labels.
        axis->setRange(0, top > 0 ? top * 1.1 : 1000);
        axis->applyNiceNumbers();
    }
}

void PlanWindow::setGrid(const QStringList &headers, std::vector<QStringList> rows)
{
    m_headers = headers;
    m_rows = std::move(rows);
    m_model->setHeaders(m_headers);
    m_model->setContent(static_cast<int>(m_rows.size()), [this](int row, int column) -> QVariant {
        const QStringList &cells = m_rows[static_cast<std::size_t>(row)];
        return column < cells.size() ? cells[column] : QString();
    });
    setColumnWidths();
    refreshRisk();
}

QStringList PlanWindow::fieldTexts() const
{
    QStringList texts;
    for (const QLineEdit *edit : m_fields)
        texts << edit->text();
    return texts;
}

void PlanWindow::setFieldTexts(const QStringList &texts)
{
    for (std::size_t i = 0; i < m_fields.size() && i < static_cast<std::size_t>(texts.size()); ++i)
        m_fields[i]->setText(texts[static_cast<qsizetype>(i)]);
}

void PlanWindow::announce(const QString &text)
{
    dialogs::Information(this, windowTitle(), text);
}

void PlanWindow::warn(const QString &text)
{
    dialogs::Warning(this, windowTitle(), text);
}

QString PlanWindow::askSaveFile()
{
    const QString folder = m_context.folder.auxiliaryFolder();
    QDir().mkpath(folder);
    return dialogs::SaveFile(
        this, QStringLiteral("保存"), folder, folder + m_fileName, PlanFilter(), QStringLiteral("txt"));
}

QString PlanWindow::askOpenFile()
{
    const QString folder = m_context.folder.auxiliaryFolder();
    return dialogs::OpenFile(this, QStringLiteral("载入"), folder, PlanFilter());
}

bool PlanWindow::savePlan()
{
    const QString path = askSaveFile();
    if (path.isEmpty())
        return false;
    WritePlanFile(path, fieldTexts(), m_rows);
    return true;
}

void PlanWindow::printPlan(const QString &title, const QStringList &labels, const QString &separator)
{
    if (m_rows.empty() || m_rows.front().size() < 2 || m_rows.front()[1].isEmpty()) {
        warn(QStringLiteral("请先生成表格！"));
        return;
    }
    PlanReport report {title, PlanInfoLine(labels, fieldTexts(), separator, QDate::currentDate()), m_headers, m_rows};
    PrintReport(this, title + QStringLiteral(".pdf"), [report](int width, int height, const TextWidthFn &measure) {
        return PlanReportLayout(report, width, height, measure);
    });
}

bool PlanWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid->viewport() && event->type() == QEvent::Resize)
        setColumnWidths();
    return QWidget::eventFilter(watched, event);
}

void PlanWindow::setColumnWidths()
{
    const int columns = static_cast<int>(m_headers.size());
    if (columns == 0)
        return;
    const int width = std::max(30, (m_grid->viewport()->width() - 20) / columns);
    for (int c = 0; c < columns; ++c)
        m_grid->setColumnWidth(c, width);
}

} // namespace lumaro
