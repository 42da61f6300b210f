#pragma once

#include "shell/background_run.h"
#include "tickets/prize_check.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace lumaro {

struct AppContext;
class FunctionTableModel;

// 中奖查询: a ticket file checked against one stored draw or every stored draw of the open
// lottery. The grid shows per draw the tickets of each prize tier (or hit count) and the fixed
// prize money, with the totals in its first row; the small grid the tickets of each pair of hits
// of the selected draw beside the totals. The check runs on a worker with progress and 停止.
class Tfrmzhongjiang : public QWidget {
    Q_OBJECT
public:
    Tfrmzhongjiang(AppContext &context, QWidget *parent = nullptr);
    ~Tfrmzhongjiang() override;

    void btndaoruClick();
    void btnjianchaClick();
    void grdzhongjiangSelect(int row);

    bool running() const { return m_run.isRunning(); }
    // Waits for a running check and handles its end (for tests).
    void waitForResult();
    QString ticketFile() const { return m_file; }

Q_SIGNALS:
    // The check ended (with a result, an error or stopped).
    void checkFinished();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct Outcome {
        std::shared_ptr<const PrizeCheckInputs> inputs;
        PrizeCheckResult result;
    };
    void finishCheck(const Outcome &outcome);
    void showPairs(int row);

    AppContext &m_context;
    QString m_file;
    std::shared_ptr<const PrizeCheckInputs> m_inputs;
    PrizeCheckResult m_result;
    // The rows of the grid: the totals, then the draws latest first.
    std::vector<QStringList> m_rows;

    QLineEdit *m_edtfile;
    QPushButton *m_btndaoru;
    QComboBox *m_comqishu;
    QPushButton *m_btnjiancha;
    QPushButton *m_btnclose;
    QProgressBar *m_pb;
    QTableView *m_grdzhongjiang;
    FunctionTableModel *m_draws;
    QLabel *m_lblzuhe;
    QTableView *m_grdzuhe;
    FunctionTableModel *m_pairs;
    QLabel *m_lblsum;

    // Last, so that a run still going stops before the rest of the window goes.
    BackgroundRun m_run {this};
};

} // namespace lumaro
