#include "trend/u_code.h"

#include "data/open_lottery.h"
#include "shell/app_context.h"
#include "trend/trend_grid_model.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

namespace lumaro {

namespace {

constexpr int kRowHeight = 24;

// Header sections painted in the grid's own colours, like the cells below them.
class TrendHeader : public QHeaderView {
public:
    explicit TrendHeader(QWidget *parent)
        : QHeaderView(Qt::Horizontal, parent)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
    }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        if (!rect.isValid())
            return;
        const QVariant background = model()->headerData(logicalIndex, Qt::Horizontal, Qt::BackgroundRole);
        const QVariant foreground = model()->headerData(logicalIndex, Qt::Horizontal, Qt::ForegroundRole);
        QString text = model()->headerData(logicalIndex, Qt::Horizontal).toString();
        // A header wider than its column ("后01") goes on two lines: its first character above.
        if (text.size() > 1 && painter->fontMetrics().horizontalAdvance(text) > rect.width() - 2)
            text.insert(1, QLatin1Char('\n'));
        painter->save();
        painter->fillRect(rect, background.value<QColor>());
        painter->setPen(QColor(80, 80, 80));
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
        painter->setPen(foreground.isValid() ? foreground.value<QColor>() : QColor(Qt::black));
        painter->drawText(rect, Qt::AlignCenter, text);
        painter->restore();
    }
    // Two lines high when the grid has the back block, whose headers may need them.
    QSize sizeHint() const override
    {
        const auto *trend = qobject_cast<const TrendGridModel *>(model());
        const bool twoLines = trend && trend->hasBackBlock();
        return QSize(QHeaderView::sizeHint().width(), twoLines ? 2 * kRowHeight - 4 : kRowHeight);
    }
};

void SetUpView(QTableView *view, TrendGridModel *model)
{
    view->setModel(model);
    view->setHorizontalHeader(new TrendHeader(view));
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setMinimumSectionSize(4);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFocusPolicy(Qt::NoFocus);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    view->setPalette(palette);
}

} // namespace

Tfrmcode::Tfrmcode(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_model(new TrendGridModel(*context.lottery, this))
    , m_grid(new QTableView(this))
    , m_frozen(new QTableView(m_grid))
{
    setObjectName(QStringLiteral("frmcode"));
    setWindowTitle(QStringLiteral("号码走势"));
    m_grid->setObjectName(QStringLiteral("grdcode"));
    SetUpView(m_grid, m_model);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);

    // The period column: a second view over the same model laid over the first column.
    SetUpView(m_frozen, m_model);
    m_frozen->setObjectName(QStringLiteral("grdcodeperiods"));
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setFrameShape(QFrame::NoFrame);
    m_grid->viewport()->stackUnder(m_frozen);
    connect(
        m_frozen->verticalScrollBar(), &QScrollBar::valueChanged, m_grid->verticalScrollBar(), &QScrollBar::setValue);
    connect(
        m_grid->verticalScrollBar(), &QScrollBar::valueChanged, m_frozen->verticalScrollBar(), &QScrollBar::setValue);
    connect(m_model, &QAbstractItemModel::modelReset, this, &Tfrmcode::setColumnWidths);
    setColumnWidths();
}

void Tfrmcode::refresh()
{
    m_model->reload();
}

void Tfrmcode::setColumnWidths()
{
    const int columns = m_model->columnCount();
    if (columns < 4)
        return;
    const int client = m_grid->viewport()->width();
    const OpenLottery &lottery = *m_context.lottery;
    const bool back = m_model->hasBackBlock();
    // The numbers column is 130 pixels, wider when M two-digit numbers (and " + " and the K back
    // numbers) need more in this font.
    QStringList sample;
    for (int k = 0; k < lottery.m; ++k)
        sample << QStringLiteral("00");
    if (back) {
        sample << QStringLiteral("+");
        for (int k = 0; k < lottery.backM; ++k)
            sample << QStringLiteral("00");
    }
    const int numbersWidth = std::max(130, m_grid->fontMetrics().horizontalAdvance(sample.join(QLatin1Char(' '))) + 14);
    const int separators = back ? 3 : 2;
    const int fixedWidth = 70 + numbersWidth + 8 * separators;
    const int numberColumns = columns - 2 - separators;
    const int room = client - fixedWidth;
    const int numberWidth = std::max(18, room / numberColumns);
    // The many columns of a two-zone grid leave many pixels over: one each to the first columns,
    // so that the back block reaches the right edge.
    const int spare = back ? std::max(0, room - numberWidth * numberColumns) : 0;
    for (QTableView *view : {m_grid, m_frozen}) {
        view->setColumnWidth(0, 70);
        view->setColumnWidth(1, numbersWidth);
        int widened = 0;
        for (int c = 2; c < columns; ++c) {
            if (m_model->isSeparatorColumn(c)) {
                view->setColumnWidth(c, 8);
                continue;
            }
            view->setColumnWidth(c, numberWidth + (widened < spare ? 1 : 0));
            ++widened;
        }
    }
    for (int c = 1; c < columns; ++c)
        m_frozen->setColumnHidden(c, true);
    const int frame = m_grid->frameWidth();
    m_frozen->setGeometry(frame, frame, 70, m_grid->viewport()->height() + m_grid->horizontalHeader()->height());
}

void Tfrmcode::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    setColumnWidths();
}

void Tfrmcode::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    setColumnWidths();
}

} // namespace lumaro
