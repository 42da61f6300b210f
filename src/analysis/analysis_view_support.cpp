#include "analysis/analysis_view_support.h"

#include "shell/bar_chart.h"
#include "shell/error_display.h"

#include <QApplication>
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

namespace lumaro {

namespace {

class FirstShowFilter : public QObject {
public:
    FirstShowFilter(QWidget *window, std::function<void()> redraw)
        : QObject(window)
        , m_redraw(std::move(redraw))
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            guarded(qobject_cast<QWidget *>(watched), m_redraw);
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_redraw;
};

} // namespace

void RedrawOnFirstShow(QWidget *window, std::function<void()> redraw)
{
    window->installEventFilter(new FirstShowFilter(window, std::move(redraw)));
}

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    QApplication::restoreOverrideCursor();
}

void FillRecentCountList(QComboBox *list, int draws)
{
    QStringList items {QStringLiteral("全部期")};
    items.reserve(draws + 1);
    for (int k = 1; k <= draws; ++k)
        items << QString::number(k);
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(std::min(3, std::max(draws, 0)));
}

int RecentCountOfItem(int item, int draws)
{
    return item <= 0 ? draws : item;
}

QTableView *NewHistoryGrid(QWidget *parent)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(QStringLiteral("tabhistory"));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setAlternatingRowColors(true);
    grid->setWordWrap(false);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setHighlightSections(false);
    return grid;
}

int FitGridColumns(
    QTableView *grid, const std::vector<int> &minimumWidths, const QStringList &samples, int headerColumns)
{
    const QFontMetrics cells = grid->fontMetrics();
    const QFontMetrics headers = grid->horizontalHeader()->fontMetrics();
    int total = 0;
    for (std::size_t i = 0; i < minimumWidths.size(); ++i) {
        const int column = static_cast<int>(i);
        int width = minimumWidths[i];
        if (column < samples.size())
            width = std::max(width, cells.horizontalAdvance(samples[column]) + 12);
        if (grid->model() && column < grid->model()->columnCount() && (headerColumns < 0 || column < headerColumns)) {
            const QString header = grid->model()->headerData(column, Qt::Horizontal).toString();
            width = std::max(width, headers.horizontalAdvance(header) + 12);
        }
        grid->setColumnWidth(column, width);
        total += width;
    }
    return total;
}

void FixGridWidth(QTableView *grid, int columnsWidth, int minimum)
{
    const int chrome = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
    grid->setFixedWidth(std::max(minimum, columnsWidth + chrome));
}

void ScrollToLatest(QTableView *grid)
{
    if (grid->model() && grid->model()->rowCount() > 0)
        grid->scrollToBottom();
}

QLabel *NewLabel(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

QCheckBox *NewCheckBox(const QString &objectName, const QString &text, bool checked, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(objectName);
    box->setChecked(checked);
    return box;
}

BarChart *NewHistoryChart(const QString &title, bool tintedPlotArea, QWidget *parent)
{
    auto *chart = new BarChart(parent);
    chart->setObjectName(QStringLiteral("chthistory"));
    chart->chart()->setTitle(title);
    QFont font = chart->chart()->titleFont();
    font.setBold(true);
    chart->chart()->setTitleFont(font);
    if (tintedPlotArea) {
        chart->chart()->setPlotAreaBackgroundBrush(QColor(0xc8, 0xcc, 0xd4));
        chart->chart()->setPlotAreaBackgroundVisible(true);
    }
    return chart;
}

} // namespace lumaro
