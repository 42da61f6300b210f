#pragma once

#include "shell/busy_cursor.h"

#include <QString>
#include <QStringList>

#include <vector>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLayout;
class QPushButton;
class QTableView;
class QWidget;

namespace lumaro {

class BarChart;

// Pieces the analysis views share: the K choice, the history grid and the chart frame.

// The K choice "最近统计期数：" added to row: the list, filled for draws (see below), keeps
// *recentCount at the chosen K. K starts at 3, or at the draws there are.
QComboBox *AddRecentCountChoice(QHBoxLayout *row, QWidget *view, int draws, int *recentCount);
// "btntongji", the default button of a view.
QPushButton *NewRecomputeButton(const QString &text, QWidget *view);
// The frame of a view: "历史走势：" above the grid on the left, the right-hand column beside.
void LayOutHistoryView(QWidget *view, QTableView *grid, QLayout *right);

// Fills the K choice: "全部期", then "1" … draws; selects "3", or the largest there is.
void FillRecentCountList(QComboBox *list, int draws);
// K for a list item: item 0 ("全部期") means every loaded draw.
int RecentCountOfItem(int item, int draws);

// A read-only grid with the headers in its top row and no row numbers.
QTableView *NewHistoryGrid(QWidget *parent);
// Sets column i to at least minimumWidths[i], widened to fit samples[i] and, for the first
// headerColumns columns (all when negative), its header text; returns the sum of the widths.
int FitGridColumns(
    QTableView *grid, const std::vector<int> &minimumWidths, const QStringList &samples, int headerColumns = -1);
// Gives the grid room for columns of the given total width and its scroll bar, at least minimum.
void FixGridWidth(QTableView *grid, int columnsWidth, int minimum);
// Brings the latest rows into view once the grid holds more than one screen of rows.
void ScrollToLatest(QTableView *grid);

// The chart of a view: objectName "chthistory", title on top. Light colours (white, yellow)
// need a plot area that is not white.
BarChart *NewHistoryChart(const QString &title, bool tintedPlotArea, QWidget *parent);

} // namespace lumaro
