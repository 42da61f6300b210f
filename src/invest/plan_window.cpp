#include "invest/plan_window.h"

#include "invest/plan_file.h"
#include "invest/report_printing.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/table_model.h"

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
    resize(630, 480);
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
    layout->addWidget(m_grid, 1);
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
