#pragma once

#include "pickers/exclusion_check.h"
#include "pickers/exclusion_run.h"
#include "pickers/result_lines_model.h"
#include "shell/background_run.h"

#include <QStringList>
#include <QWidget>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;

namespace lumaro {

struct AppContext;
class BarChart;
class FunctionTableModel;

// The history grid and bar chart of a picker window (tabhistory, chthistory, chkhistorybiao):
// one row and one bar per draw, oldest first.
class PickerHistoryView : public QObject {
    Q_OBJECT
public:
    PickerHistoryView(QWidget *owner, const QString &chartTitle, const QString &seriesTitle);

    QTableView *grid() const { return m_grid; }
    BarChart *chart() const { return m_chart; }
    // The chart with the scroll bar under it, for the window's layout.
    QWidget *chartPane() const { return m_chartPane; }
    QCheckBox *marks() const { return m_marks; }

    // Columns 记录期号 and 开奖号码 (each number "%.2d" and a blank), then the given columns;
    // value(row, column) gives the text of an extra column.
    void setGrid(const QStringList &periods, ValueRows numbers, const QStringList &extraHeaders,
        std::function<QString(int row, int column)> value);
    // One bar per draw from `from` on, labelled by its period; a negative value is an empty bar.
    void setBars(const QStringList &periods, const std::vector<int> &values, int from = 0);
    // At least 60 and 120 pixels for the first two columns (more when the font needs it), the
    // rest shared.
    void fitColumns();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTableView *m_grid;
    const QObject *m_viewport = nullptr;
    FunctionTableModel *m_model;
    BarChart *m_chart;
    QWidget *m_chartPane;
    QCheckBox *m_marks;
    QStringList m_periods;
    ValueRows m_numbers;
    std::function<QString(int, int)> m_value;
};

// The frame of the infinite exclusion pickers: the period bet on, the stop criteria, the run
// button that reads "停止" while a run goes, load, save, clear and close, the numbered result
// list with its label and the progress bar, and the 历史验证 of the settings over the latest
// draws (验证期数, its button and its memo). Runs and checks go to a worker thread; the window
// stays responsive and "停止" ends either within a fraction of a second, writing nothing.
class ExclusionWindow : public QWidget {
    Q_OBJECT
public:
    ~ExclusionWindow() override;

    bool isRunning() const { return m_filtering.isRunning() || m_loading.isRunning() || m_checking.isRunning(); }
    const PickerTickets &tickets() const { return m_tickets; }
    ResultLinesModel *resultLines() const { return m_lines; }
    // The stage length of the last cycle made (0 before any run).
    int stageValue() const { return m_stage; }

    void btngenClick();
    void btnloadClick();
    void btnsaveClick();
    void btnclearClick();
    // 历史验证: the picker with the window's settings before each of the last 验证期数 draws.
    void btnyanzhengClick();

Q_SIGNALS:
    // A run ended (finished, stopped or failed).
    void runEnded();
    // A 载入 ended (the list shown, or the file refused).
    void loadEnded();
    // A 历史验证 ended (shown, stopped or refused).
    void checkEnded();

protected:
    struct Captions {
        QString runButton; // "btngen" or "btnfilt"
        QString save; // "保存" or "保存号码"
        QString clear; // "清除" or "清空"
        qint64 target; // edtjushu
        qint64 cycles; // edtcishu
    };
    ExclusionWindow(AppContext &context, ExclusionKind kind, const QString &objectName, const QString &caption,
        const Captions &captions, QWidget *parent);

    // The member's settings from its controls (ConversionError on a text that is no number).
    virtual PickerSettings readSettings() const = 0;
    // After a finished run, after 清除.
    virtual void runFinished() { }
    virtual void cleared() { }
    // When a 历史验证 starts, so that its memo is in sight.
    virtual void checkStarted() { }

    void closeEvent(QCloseEvent *event) override;

    int cur() const;
    StopRule readStopRule() const;
    // Controls a run must not see changed: disabled while it goes.
    void lockWhileRunning(std::initializer_list<QWidget *> widgets);
    QStringList periodTexts() const;
    // The drawn numbers of the open lottery.
    ValueRows drawRows() const;
    // The relabelled draws of a 变幻统计 display, with a fresh shuffle and the stage value.
    ValueRows variantStatisticsRows() const;
    // "全部期", then 1 to the draw count: the 阶段统计期 list, disabled.
    QComboBox *stageList(const QString &name);

    // Ready-made rows of the frame, for the member's layout.
    QWidget *periodRow();
    QGroupBox *stopBox();
    QWidget *buttonRow();
    // 验证期数 [comyanzheng] 期 [历史验证].
    QWidget *checkRow();
    // The result list with its label, the 历史验证 memo (unless withCheck is false: the member
    // places it itself) and the progress bar.
    QWidget *resultPanel(bool withCheck = true);

    AppContext &m_context;
    const ExclusionKind m_kind;
    PickerTickets m_tickets;
    int m_stage = 0;

    QComboBox *m_comcurqi;
    QRadioButton *m_optjushu;
    QLineEdit *m_edtjushu;
    QRadioButton *m_optcishu;
    QLineEdit *m_edtcishu;
    QPushButton *m_run;
    QPushButton *m_load;
    QPushButton *m_save;
    QPushButton *m_clear;
    QPushButton *m_close;
    QLabel *m_lblcode;
    QListView *m_memcode;
    ResultLinesModel *m_lines;
    QProgressBar *m_pb;
    QComboBox *m_comyanzheng;
    QPushButton *m_btnyanzheng;
    QPlainTextEdit *m_memyanzheng;

private:
    struct RunOutput {
        PickerRunResult result;
        ResultLinesModel::Lines list;
    };
    struct LoadOutput {
        TicketSet tickets;
        ResultLinesModel::Lines list;
        qint64 lines = 0;
    };
    void startRun();
    void endRun(RunOutput &output);
    void startLoad(const QString &path);
    void endLoad(LoadOutput &output);
    void showResultList(ResultLinesModel::Lines list, qint64 lines);
    void startCheck();
    void endCheck(const ExclusionCheckDraws &draws, const ExclusionCheckResult &result);

    // Last, so that work still going stops before the tickets it reads go. A run and a check
    // have "停止"; a load of a ticket file waits on its own.
    BackgroundRun m_filtering {this};
    BackgroundRun m_loading {this};
    BackgroundRun m_checking {this};
};

// The frame of the sum and repeat pickers: the history above (grid and chart, the summary line,
// 常规统计, 变幻统计 and 显示标注), the member's settings with the stop criteria and the buttons
// below on the left, the result list on the right.
class HistoryExclusionWindow : public ExclusionWindow {
    Q_OBJECT
public:
    PickerHistoryView *history() const { return m_history; }

    // 常规统计: the draws as drawn; 变幻统计: through a fresh relabelling.
    void btntongjiClick() { showHistory(drawRows()); }
    void btntongji2Click() { showHistory(variantStatisticsRows()); }

protected:
    HistoryExclusionWindow(AppContext &context, ExclusionKind kind, const QString &objectName, const QString &caption,
        const QString &chartTitle, const QString &seriesTitle, QWidget *parent);

    // Lays the window out around the member's summary control and settings box (which holds
    // periodRow()), then shows 常规统计.
    void arrange(QWidget *summary, QWidget *settings, int gridWidth, const QSize &size);
    // Grid, chart and summary for the given draw rows.
    virtual void showHistory(const ValueRows &rows) = 0;
    void cleared() override { btntongjiClick(); }

    PickerHistoryView *m_history;
    QPushButton *m_tongji;
    QPushButton *m_tongji2;
};

// "%.2d" followed by a blank for every value: the 开奖号码 column of the picker grids.
QString NumbersColumnText(const int *values, int m);

} // namespace lumaro
