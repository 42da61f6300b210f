#pragma once

#include "pickers/optimal_picker.h"

#include "common/progress.h"
#include "shell/background_run.h"

#include <QWidget>

#include <array>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QSplitter;
class QTableView;

namespace lumaro {

struct AppContext;
class BarChart;
class FunctionTableModel;
class OpenLottery;

// The window frame the optimal pickers share: the target period (目前投注期), "生成号码",
// "历史统计", the proposal box, the history grid 历史中奖, the memo, the hit chart with
// "显示标注" and, where a window has it, the chart of hit counts. A window adds its settings
// above the target row, implements generate() and backtestJob(), and calls runTongji() at
// the end of its constructor (the back-test runs once when the window opens).
class PickerFrame : public QWidget {
    Q_OBJECT
public:
    struct Options {
        QString objectName;
        QString caption;
        bool hitCountChart = false;
        // History grid column widths; a value <= 0 means the grid width less its magnitude.
        std::array<int, 4> columnWidths {60, 100, 130, 50};
        QString proposalLabel = QStringLiteral("目前投注号码：");
        QString memoLabel; // empty: no label over the memo
    };

    PickerFrame(AppContext &context, QWidget *parent, const Options &options);
    ~PickerFrame() override;

    // "生成号码": the proposal for the chosen target.
    void btngenClick();
    // "历史统计": the back-test over the whole history, run in the background.
    void btntongjiClick();
    bool isBusy() const { return m_run.isRunning(); }
    // The back-test shown now (empty before the first one ends).
    const BacktestResult &backtestResult() const { return *m_result; }

Q_SIGNALS:
    // A back-test ended (shown, failed or cancelled).
    void tongjiFinished();

protected:
    using BacktestJob = std::function<BacktestResult(const Progress &)>;

    // Computes and shows the proposal for target T (0 … draw count); throws on refused input.
    virtual void generate(int target, const QString &targetText) = 0;
    // A self-contained job (own copies of the tables it reads) for the current settings.
    virtual BacktestJob backtestJob() = 0;

    void runTongji();
    // Shows the proposal line of `size` numbers, with what covering them costs after it.
    void showProposal(const QString &targetText, const QString &numbersText, int size);
    AppContext &context() { return m_context; }
    const OpenLottery &lottery() const;
    // The target index, -1 when the lottery has no draws.
    int target() const;

    // Where a window puts its settings (above the target row).
    QBoxLayout *settingsLayout() { return m_settingsLayout; }
    // A window's extra box goes between the proposal box and the history grid, in the splitter
    // that shares the height among the panes; it starts `height` pixels high.
    void addExtraPane(QWidget *pane, int height);

    QComboBox *m_comcurqi;
    QPushButton *m_btngen;
    QPushButton *m_btntongji;
    QLineEdit *m_edtcurcode;
    QTableView *m_tabhistory;
    const QObject *m_historyViewport = nullptr;
    QPlainTextEdit *m_mem;
    BarChart *m_chthistory;
    QCheckBox *m_chkhistorybiao;
    QScrollBar *m_sbhistory = nullptr;
    int m_meanLine = 0;
    int m_chanceLine = 0;
    BarChart *m_chtcishu = nullptr;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showBacktest(const std::shared_ptr<BacktestResult> &result);
    void measureColumns();
    void applyColumnWidths();

    AppContext &m_context;
    Options m_options;
    FunctionTableModel *m_historyModel;
    std::array<int, 4> m_measured {}; // widths the texts of each grid column need
    std::shared_ptr<const BacktestResult> m_result;
    QBoxLayout *m_settingsLayout;
    QSplitter *m_panes;
    // Last, so that a back-test still going stops before the rest of the frame goes.
    BackgroundRun m_run {this};
};

// The value of a combo of number items.
int NumberItem(const QComboBox *combo);

} // namespace lumaro
