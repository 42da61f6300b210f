#pragma once

#include "analysis/indicators.h"
#include "shell/background_run.h"
#include "tickets/total_filter.h"

#include <QWidget>

#include <optional>

#include <array>
#include <atomic>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPrinter;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lumaro {

struct AppContext;
class TextLinesModel;

// The total filter window (总体过滤): the conditions, the number grid, the runs of the engine
// on a worker, and the saving, loading and printing of the result list.
class Tfrmtotalfilt : public QWidget {
    Q_OBJECT
public:
    Tfrmtotalfilt(AppContext &context, QWidget *parent = nullptr);
    ~Tfrmtotalfilt() override;

    // The trend switch's effect on this window in one call: the variant trend unchecks and
    // disables the chooser and the number grid, the standard trend enables them.
    void applyTrendMode(bool variant);

    const TotalFilter &engine() const { return m_filter; }
    // The most lines of a two-zone result list (tests make it small).
    void setListLimit(qint64 limit) { m_filter.setListLimit(limit); }
    // A filter run, a history check or a look at the survivors.
    // Wait for a save from the table to end (tests).
    void waitForSave() { m_save.waitUntilDone(); }
    bool isRunning() const
    {
        return m_run.isRunning() || m_check.isRunning() || m_look.isRunning() || m_save.isRunning();
    }
    // Whether ball n (1..50) is chosen.
    bool isBallChosen(int n) const { return m_chosen[static_cast<std::size_t>(n)]; }

    // The actions of the buttons, also for tests.
    void btnfiltClick();
    void btnsaveClick();
    void btnloadClick();
    void btnclearClick();
    void btnprintClick();
    void printToPdf();
    void btnsuiji1Click();
    void ballClick(int n);
    // 历史验证: the conditions as set, judged on the stored draws and on all tickets (a second
    // click stops a check that is going).
    void btnlishiClick();
    // 保存条件 / 载入条件: the conditions as set written to a filter set file in 附属/, and a
    // file's conditions put into the controls (a refused file changes nothing).
    void btnsavetiaojianClick();
    void btnloadtiaojianClick();
    // 结果分布: how the survivors of the runs so far spread over the main indicators (on a
    // worker); 随机选注: the result list replaced by edtsuiji random survivors.
    void btnfenbuClick();
    void btnsuijiClick();
    // Wait for a look at the survivors to end (tests).
    void waitForLook() { m_look.waitUntilDone(); }

    // The back numbers checked (two-zone lotteries; all of them by default).
    BackChoice backChoice() const;
    // Checks exactly the given back numbers (those outside 1..L are ignored).
    void setBackChoice(const std::vector<int> &numbers);

    // The conditions as the controls hold them (throws an InputError or a ConversionError on a
    // bad text).
    TotalFilterConditions readConditions() const;
    // Every condition control set from c, so that readConditions() gives c back. Throws an
    // InputError and changes nothing when the controls cannot hold c (more banker groups than
    // rows, a chooser in the variant trend, a hit count of several ranges).
    void setConditions(const TotalFilterConditions &c);

    // Switches on the condition of an indicator with its lists set to lower … upper (what an
    // indicator view sends; the row's value set is cleared so the lists count). Repeats set
    // the 重码 value set. A value the lists do not offer raises an InputError and changes
    // nothing.
    void presetRange(Indicator indicator, int lower, int upper);

Q_SIGNALS:
    // A run ended (with or without survivors, or refused by a failure).
    void runFinished();
    // A history check ended (shown, stopped or refused by a failure).
    void historyCheckFinished();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct BoundRow {
        QCheckBox *check;
        QComboBox *lower;
        QComboBox *upper;
        // A value set ("98-110,120-126") that, when not empty, takes the place of the lists.
        QLineEdit *values;
    };
    // A condition of the 更多条件 page: its box and its value set.
    struct SetRow {
        QCheckBox *check;
        QLineEdit *values;
    };
    // A further banker group: its box, its numbers and how many of them a ticket holds.
    struct GroupRow {
        QCheckBox *check;
        QLineEdit *numbers;
        QLineEdit *hits;
    };
    static constexpr int kGroupRows = 3;

    void buildControls();
    void buildClassicPage(QWidget *page);
    void buildMorePage(QWidget *page);
    void buildZonePage(QWidget *page);
    // The conditions of the newer pages read into c (after the classic ones).
    void readMoreConditions(TotalFilterConditions &c) const;
    // Unchecks every condition (after a run, a load or 清空).
    void uncheckConditions();
    // Shows the result text; the label grows to its lines and the list starts below it.
    void setResultText(const QString &text);
    void buildBallGrid();
    // The row of back-number boxes of a two-zone lottery (below the number grid).
    void buildBackBoxes();
    void fillLists();
    QString checkControls() const;
    // Everything the conditions read back to its state after 清空 (not the result list).
    void resetConditionControls();
    // The conditions as set, after the checks of a run; nothing (and the message shown) when
    // the lottery or a control is refused.
    std::optional<TotalFilterConditions> acceptedConditions();
    void startRun(const TotalFilterConditions &conditions);
    void runEnded(TotalFilter::Job &job);
    void setBallChosen(int n, bool chosen);
    void resetBalls();
    void clearIndicatorLists();
    void printLines(QPrinter &printer);
    // Show why nothing can be done and return true when the lottery or the list does not allow it.
    bool refuseUnsupported();
    bool refuseEmptyPrint();
    // Shows why and returns true when there are no survivors to look at or pick from.
    bool refuseNoSurvivors();
    static int listPosition(const QComboBox *combo);

    AppContext &m_context;
    TotalFilter m_filter;
    int m_n = 0;
    int m_m = 0;
    int m_backN = 0; // L and K of a two-zone lottery, 0 otherwise
    int m_backM = 0;

    QTabWidget *m_tabtiaojian = nullptr;
    std::array<BoundRow, 7> m_rows {};
    // 重码, 近P期重码, 连号个数, 最长连号, 尾数个数, 尾数和, 0路, 1路, 2路, 质数个数.
    std::array<SetRow, 10> m_more {};
    QSpinBox *m_edtqishu = nullptr;
    QCheckBox *m_chkfenqu = nullptr;
    QComboBox *m_comfenqu = nullptr;
    QLineEdit *m_edtfenqu = nullptr;
    std::array<GroupRow, kGroupRows> m_groups {};
    QSpinBox *m_edtrongcuo = nullptr;
    // The 选择球号 check box and the group of the number grid: the main window's trend switch
    // enables them for the standard trend and disables them for the variant trend.
    QCheckBox *m_chkhongqiu = nullptr;
    QGroupBox *m_GroupBox2 = nullptr;
    QCheckBox *m_chkdanma = nullptr;
    QLineEdit *m_edtdanma = nullptr;
    QLineEdit *m_edtnum1 = nullptr;
    QLineEdit *m_edtnum2 = nullptr;
    QLineEdit *m_edtzhong1 = nullptr;
    QLineEdit *m_edtzhong2 = nullptr;
    QPushButton *m_btnsuiji1 = nullptr;
    QLineEdit *m_edtsuiji1 = nullptr;
    std::array<QPushButton *, 51> m_balls {};
    std::array<bool, 51> m_chosen {};
    QLabel *m_lblcode = nullptr;
    QListView *m_memcode = nullptr;
    TextLinesModel *m_memo = nullptr;
    bool m_memoHasSerials = true;
    // The list shows the first kMaxListedTickets of a larger two-zone result: saving writes
    // every ticket from the engine instead of the list.
    bool m_listCut = false;
    // 后区号码: a box per back number of a two-zone lottery.
    QGroupBox *m_grphouqu = nullptr;
    std::vector<QCheckBox *> m_backBoxes;
    QProgressBar *m_pb = nullptr;
    QPushButton *m_btnsave = nullptr;
    QPushButton *m_btnclear = nullptr;
    QPushButton *m_btnfilt = nullptr;
    QPushButton *m_btnprint = nullptr;
    QPushButton *m_btnload = nullptr;
    QPushButton *m_btnclose = nullptr;
    QPushButton *m_btnlishi = nullptr;
    QPushButton *m_btnsavetiaojian = nullptr;
    QPushButton *m_btnloadtiaojian = nullptr;
    QPushButton *m_btnfenbu = nullptr;
    QPushButton *m_btnsuiji = nullptr;
    QLineEdit *m_edtsuiji = nullptr;

    // Last, so that a run or a check still going stops before the rest of the window goes.
    BackgroundRun m_run {this};
    BackgroundRun m_check {this};
    BackgroundRun m_look {this};
    // Saving a two-zone result larger than its list, from the engine.
    BackgroundRun m_save {this};
};

} // namespace lumaro
