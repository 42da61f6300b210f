#include "data/u_data.h"

#include "common/errors.h"
#include "data/draw_edit_model.h"
#include "data/draw_import.h"
#include "shell/app_context.h"
#include "shell/dialogs.h"
#include "shell/error_display.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

namespace lumaro {

namespace {

const char *const kNavigatorNames[10]
    = {"nbfirst", "nbprior", "nbnext", "nblast", "nbinsert", "nbdelete", "nbedit", "nbpost", "nbcancel", "nbrefresh"};
const char *const kNavigatorTips[10] = {"首条记录", "前面一条", "下面一条", "最末记录", "添加记录", "删除记录",
    "修改记录", "保存修改", "取消修改", "刷新记录"};
const char *const kNavigatorGlyphs[10] = {"|◀", "◀", "▶", "▶|", "+", "−", "✎", "✓", "✗", "↻"};

} // namespace

Tfrmdata::Tfrmdata(AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_model(new DrawEditModel(*context.store, this))
{
    setObjectName(QStringLiteral("frmdata"));
    setWindowTitle(QStringLiteral("彩票数据"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(551, 465);

    auto *label1 = new QLabel(QStringLiteral("选择彩票："), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstcaipiao"));
    m_list->setFixedWidth(140);
    auto *label2 = new QLabel(QStringLiteral("彩票数据："), this);
    label2->setObjectName(QStringLiteral("Label2"));
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("grdcaipiao"));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);

    m_navigator = new QWidget(this);
    m_navigator->setObjectName(QStringLiteral("dbv_caipiao"));
    auto *navLayout = new QHBoxLayout(m_navigator);
    navLayout->setContentsMargins(0, 0, 0, 0);
    navLayout->setSpacing(0);
    for (int i = 0; i < 10; ++i) {
        auto *button = new QToolButton(m_navigator);
        button->setObjectName(QString::fromUtf8(kNavigatorNames[i]));
        button->setToolTip(QString::fromUtf8(kNavigatorTips[i]));
        button->setText(QString::fromUtf8(kNavigatorGlyphs[i]));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setFixedHeight(26);
        navLayout->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, i] { Guarded(this, [&] { navigate(i); }); });
        m_nav[static_cast<std::size_t>(i)] = button;
    }
    m_navigator->setEnabled(false);

    // "+" lies over the navigator's insert button.
    m_add = new QPushButton(QStringLiteral("+"), this);
    m_add->setObjectName(QStringLiteral("btnadd"));
    m_add->setToolTip(QStringLiteral("添加记录"));
    QFont big = m_add->font();
    big.setPixelSize(24);
    m_add->setFont(big);
    m_add->setEnabled(false);
    m_add->setAutoDefault(false);

    m_import = new QPushButton(QStringLiteral("导入"), this);
    m_import->setObjectName(QStringLiteral("btnimport"));
    m_save = new QPushButton(QStringLiteral("导出"), this);
    m_save->setObjectName(QStringLiteral("btnsave"));
    m_edit = new QPushButton(QStringLiteral("开始添加"), this);
    m_edit->setObjectName(QStringLiteral("btnedit"));
    m_edit->setEnabled(false);
    m_exit = new QPushButton(QStringLiteral("关闭"), this);
    m_exit->setObjectName(QStringLiteral("btnext"));
    for (QPushButton *b : {m_import, m_save, m_edit, m_exit})
        b->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_import);
    buttons->addWidget(m_save);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_exit);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(16, 8, 12, 10);
    layout->addWidget(label1, 0, 0);
    layout->addWidget(label2, 0, 1);
    layout->addWidget(m_list, 1, 0, 3, 1);
    layout->addWidget(m_grid, 1, 1);
    layout->addWidget(m_navigator, 2, 1);
    layout->addLayout(buttons, 3, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);

    connect(m_list, &QListWidget::itemClicked, this, [this] { lstcaipiaoClick(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { Guarded(this, [&] { btneditClick(); }); });
    connect(m_add, &QPushButton::clicked, this, [this] { Guarded(this, [&] { btnaddClick(); }); });
    connect(m_save, &QPushButton::clicked, this, [this] { Guarded(this, [&] { btnsaveClick(); }); });
    connect(m_import, &QPushButton::clicked, this, [this] { Guarded(this, [&] { btnimportClick(); }); });
    connect(m_exit, &QPushButton::clicked, this, &QDialog::close);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current, const QModelIndex &previous) {
            if (m_moving || !previous.isValid() || previous.row() == current.row()
                || !m_model->isPending(previous.row()))
                return;
            // Leaving a row posts it; a row that cannot be posted keeps the cursor.
            const int back = previous.row();
            if (!Guarded(this, [&] { m_model->post(back); })) {
                QTimer::singleShot(0, this, [this, back] {
                    m_moving = true;
                    m_grid->setCurrentIndex(m_model->index(back, 0));
                    m_moving = false;
                });
            }
        });

    Guarded(this, [this] { m_list->addItems(m_context.store->listLotteries()); });
}

bool Tfrmdata::entering() const
{
    return m_edit->text() == QStringLiteral("完成添加");
}

int Tfrmdata::currentRow() const
{
    return m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
}

void Tfrmdata::lstcaipiaoClick()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected())
        return;
    const int pending = m_model->pendingRow();
    if (pending >= 0 && !Guarded(this, [&] { m_model->post(pending); }))
        return;
    const QString name = item->text();
    if (!Guarded(this, [&] { m_model->load(name); }))
        return;
    if (m_model->rowCount() > 0) {
        m_moving = true;
        m_grid->setCurrentIndex(m_model->index(m_model->rowCount() - 1, 0));
        m_grid->scrollToBottom();
        m_moving = false;
    }
    setColumnWidths();
    m_edit->setEnabled(true);
}

void Tfrmdata::setColumnWidths()
{
    const int columns = m_model->columnCount();
    if (columns < 3)
        return;
    // Each column as wide as its widest text (header or cell) and a margin; the numbers then
    // share what is left of the grid. The room a vertical scroll bar takes is kept free even
    // before the bar shows, so the date never ends up under it.
    const QFontMetrics cells = m_grid->fontMetrics();
    const QFontMetrics headers = m_grid->horizontalHeader()->fontMetrics();
    auto fit = [&](const QString &cell, int column) {
        const QString header = m_model->headerData(column, Qt::Horizontal).toString();
        return std::max(cells.horizontalAdvance(cell), headers.horizontalAdvance(header)) + 12;
    };
    const int periodWidth = std::max(70, fit(QString(m_model->definition().periodWidth, QLatin1Char('0')), 0));
    const int dateWidth = fit(QStringLiteral("0000-00-00"), columns - 1);
    // Each number column at least as wide as its own header ("1" … or, for a two-zone lottery,
    // the wider "后区1" …); the columns narrower than that share what the grid has left evenly,
    // at one width as large as fits.
    const int numberColumns = columns - 2;
    std::vector<int> least;
    for (int c = 1; c <= numberColumns; ++c)
        least.push_back(fit(QStringLiteral("00"), c));
    int available = m_grid->viewport()->width();
    if (!m_grid->verticalScrollBar()->isVisible())
        available -= m_grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_grid);
    const int room = available - periodWidth - dateWidth;
    auto total = [&](int level) {
        int sum = 0;
        for (int width : least)
            sum += std::max(width, level);
        return sum;
    };
    int level = room / numberColumns;
    while (level > 0 && total(level) > room)
        --level;
    m_grid->setColumnWidth(0, periodWidth);
    for (int c = 1; c <= numberColumns; ++c)
        m_grid->setColumnWidth(c, std::max(least[static_cast<std::size_t>(c - 1)], level));
    m_grid->setColumnWidth(columns - 1, dateWidth);
}

bool Tfrmdata::postCurrent()
{
    const int pending = m_model->pendingRow();
    if (pending < 0)
        return true;
    return Guarded(this, [&] { m_model->post(pending); });
}

void Tfrmdata::btneditClick()
{
    if (!entering()) {
        m_model->setEditable(true);
        m_exit->setEnabled(false);
        m_navigator->setEnabled(true);
        m_add->setEnabled(true);
        m_edit->setText(QStringLiteral("完成添加"));
        return;
    }
    if (!postCurrent())
        return;
    m_model->setEditable(false);
    m_exit->setEnabled(true);
    m_navigator->setEnabled(false);
    m_add->setEnabled(false);
    m_edit->setText(QStringLiteral("开始添加"));
}

void Tfrmdata::btnaddClick()
{
    if (m_model->lottery().isEmpty())
        return;
    if (!postCurrent())
        return;
    const int row = m_model->appendRow();
    m_moving = true;
    m_grid->setCurrentIndex(m_model->index(row, 0));
    m_moving = false;
    m_grid->scrollToBottom();
    m_grid->edit(m_model->index(row, 0));
}

bool Tfrmdata::moveTo(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return true;
    if (!postCurrent())
        return false;
    m_moving = true;
    m_grid->setCurrentIndex(m_model->index(row, std::max(0, m_grid->currentIndex().column())));
    m_moving = false;
    return true;
}

void Tfrmdata::navigate(int button)
{
    const int rows = m_model->rowCount();
    const int current = currentRow();
    switch (button) {
    case 0:
        moveTo(0);
        break;
    case 1:
        moveTo(std::max(0, current - 1));
        break;
    case 2:
        moveTo(std::min(rows - 1, current + 1));
        break;
    case 3:
        moveTo(rows - 1);
        break;
    case 4:
        btnaddClick();
        break;
    case 5:
        if (current < 0)
            return;
        if (!dialogs::Question(
                this, QStringLiteral("确认"), QStringLiteral("确定删除第%1行的开奖号码吗？").arg(current + 1)))
            return;
        m_model->deleteRow(current);
        break;
    case 6:
        if (current >= 0)
            m_grid->edit(m_grid->currentIndex());
        break;
    case 7:
        if (current >= 0)
            m_model->post(current);
        break;
    case 8:
        if (current >= 0)
            m_model->cancel(current);
        break;
    case 9:
        if (!postCurrent())
            return;
        m_model->load(m_model->lottery());
        setColumnWidths();
        break;
    default:
        break;
    }
}

void Tfrmdata::btnsaveClick()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item || m_model->lottery().isEmpty()) {
        dialogs::Critical(this, QStringLiteral("错误"), QStringLiteral("请选择要导出的彩票！"));
        return;
    }
    if (!postCurrent())
        return;
    const QString name = m_model->lottery();
    const QString folder = m_context.folder.auxiliaryFolder();
    const QString path = dialogs::SaveFile(this, QStringLiteral("导出"), folder, folder + HistoryFileName(name),
        QStringLiteral("文本文件(*.txt)|*.txt"), QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw IoError::cannotWrite(path, file.errorString());
    file.write(HistoryText(m_model->postedDraws()));
    if (!file.commit())
        throw IoError::cannotWrite(path, file.errorString());
    dialogs::Information(this, QStringLiteral("提示"), QStringLiteral("成功保存！"));
}

void Tfrmdata::btnimportClick()
{
    if (m_model->lottery().isEmpty()) {
        dialogs::Critical(this, QStringLiteral("错误"), QStringLiteral("请选择要导入的彩票！"));
        return;
    }
    if (!postCurrent())
        return;
    const QString path = dialogs::OpenFile(this, QStringLiteral("导入开奖号码"), DesktopFolder(),
        QStringLiteral("开奖号码文件(*.csv *.txt)|*.csv *.txt|全部文件(*)|*"));
    if (path.isEmpty())
        return;
    const QString name = m_model->lottery();
    const ImportResult result = ImportDrawFile(*m_context.store, name, path);
    m_model->load(name);
    if (m_model->rowCount() > 0)
        moveTo(m_model->rowCount() - 1);
    setColumnWidths();
    dialogs::Information(this, QStringLiteral("导入"),
        QStringLiteral("新增开奖号码%1期，已有的%2期不再导入。").arg(result.added).arg(result.alreadyStored));
}

void Tfrmdata::commitOpenEditor()
{
    // A cell still being typed in holds its text in the editor; hand it to the model the way
    // Enter would, so the check below sees it.
    const QModelIndex current = m_grid->currentIndex();
    QWidget *editor = current.isValid() ? m_grid->indexWidget(current) : nullptr;
    if (!editor)
        return;
    QAbstractItemDelegate *delegate = m_grid->itemDelegateForIndex(current);
    Q_EMIT delegate->commitData(editor);
    Q_EMIT delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool Tfrmdata::settlePendingEdits()
{
    commitOpenEditor();
    const int pending = m_model->pendingRow();
    if (pending < 0)
        return true;
    m_moving = true;
    m_grid->setCurrentIndex(m_model->index(pending, std::max(0, m_grid->currentIndex().column())));
    m_moving = false;
    m_grid->scrollTo(m_grid->currentIndex());
    const int choice = dialogs::Choose(this, QStringLiteral("彩票数据"),
        QStringLiteral("第%1行的修改还没有保存，要保存吗？").arg(pending + 1),
        {QStringLiteral("保存"), QStringLiteral("不保存"), QStringLiteral("取消")});
    switch (choice) {
    case 0:
        // A row that cannot be written keeps the window open, with the reason.
        return Guarded(this, [&] { m_model->post(pending); });
    case 1:
        m_model->cancel(pending);
        return true;
    default:
        return false;
    }
}

void Tfrmdata::reject()
{
    // 关闭, Escape and the window's close button all end here (QDialog's close event calls
    // reject): refused while entering, and never without a word about unsaved edits.
    if (entering()) {
        dialogs::Warning(this, QStringLiteral("警告"), QStringLiteral("请单击《完成添加》按钮保存添加"));
        return;
    }
    if (!settlePendingEdits())
        return;
    QDialog::reject();
}

void Tfrmdata::placeAddButton()
{
    const QRect nav = m_navigator->geometry();
    m_add->setGeometry(nav.left() + nav.width() * 4 / 10, nav.top(), nav.width() / 10, nav.height());
    m_add->raise();
}

void Tfrmdata::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    QTimer::singleShot(0, this, [this] {
        placeAddButton();
        setColumnWidths();
    });
}

void Tfrmdata::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    placeAddButton();
}

} // namespace lumaro
