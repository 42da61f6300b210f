#include "analysis/analysis_view_support.h"

#include "analysis/indicator_history.h"
#include "shell/bar_chart.h"
#include "shell/form_controls.h"

#include <QApplication>
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace lumaro {

QComboBox *AddRecentCountChoice(QHBoxLayout *row, QWidget *view, int draws, int *recentCount)
{
    auto *list = new QComboBox(view);
    list->setObjectName(QStringLiteral("comzuijingqishu"));
    list->setMinimumContentsLength(6);
    FillRecentCountList(list, draws);
    *recentCount = ClampRecentCount(kDefaultRecentCount, draws);
    QObject::connect(list, &QComboBox::currentIndexChanged, view, [draws, recentCount](int item) {
        if (item >= 0)
            *recentCount = RecentCountOfItem(item, draws);
    });
    row->addWidget(NewLabel(view, QStringLiteral("Label6"), QStringLiteral("最近统计期数：")));
    row->addWidget(list);
    return list;
}

QPushButton *NewRecomputeButton(const QString &text, QWidget *view)
{
    auto *button = new QPushButton(text, view);
    button->setObjectName(QStringLiteral("btntongji"));
    button->setDefault(true);
    return button;
}

void LayOutHistoryView(QWidget *view, QTableView *grid, QLayout *right)
{
    auto *left = new QVBoxLayout;
    left->addWidget(NewLabel(view, QStringLiteral("Label1"), QStringLiteral("历史走势：")));
    left->addWidget(grid, 1);
    auto *layout = new QHBoxLayout(view);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(left);
    layout->addLayout(right, 1);
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
