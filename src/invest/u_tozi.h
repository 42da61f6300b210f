#pragma once

#include "invest/invest_files.h"
#include "invest/investment_analysis.h"
#include "invest/investment_search.h"
#include "shell/background_run.h"

#include <QWidget>

#include <atomic>
#include <functional>

class QChartView;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;
class QToolButton;

namespace lumaro {

struct AppContext;
class FunctionTableModel;

// 投资模式分析: back-tests a betting discipline for a fixed set of tickets over the open
// three-digit lottery's history, and searches the settings for the best overall gain. Idle or
// Searching; while searching, everything but the play type and "停止搜索" is disabled.
class Tfrmtozi : public QWidget {
    Q_OBJECT
public:
    Tfrmtozi(AppContext &context, QWidget *parent);
    ~Tfrmtozi() override;

    const std::vector<BetTicket> &tickets() const { return m_tickets; }
    const HitGapTable &hitGapTable() const { return m_hitTable; }
    const std::vector<IntervalStat> &intervalStatistics() const { return m_stats; }
    const AnalysisResult &analysis() const { return m_result; }
    // The summary of the analysis shown and its running balance, as the chart draws it.
    const AnalysisSummary &summary() const { return m_summary; }
    bool searching() const;
    // The last finished search (for tests and the status).
    const SearchResult &lastSearch() const { return m_lastSearch; }
    // Blocks until a running search has finished and its result is shown (tests).
    void waitForSearch();

    void btnfiltClick();
    void btnalaClick();
    void btnyouhuaClick();
    void btnclearClick();
    void saveTickets();
    void saveSettings();
    void saveBoth();
    void loadTickets();
    void loadSettings();
    void loadBoth();
    void printTickets();
    void printSettings();

Q_SIGNALS:
    void searchFinished();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    PlayType playType() const;
    void setPlayType(PlayType play);
    InvestFileSettings controlSettings() const;
    void setControlSettings(const InvestFileSettings &settings);
    void setTickets(PlayType play, std::vector<BetTicket> tickets);
    void runAnalysis();
    void showResult();
    bool hasTickets() const;
    QString proposedFile(const QString &suffix) const;
    QString askSave(const QString &suffix);
    // 保存: "请生成号码！" when the file needs tickets and there are none, else the save dialog,
    // the file and "成功保存！".
    void saveLines(bool needsTickets, const QString &suffix, const std::function<QStringList()> &lines);
    QString askOpen();
    QString pageTitle(const QString &what) const;
    void finishSearch(const HeldOutSearch &search);
    void updateIntervalMode();

    AppContext &m_context;
    std::vector<BetTicket> m_tickets;
    HitGapTable m_hitTable;
    HitHistory m_history;
    std::vector<IntervalStat> m_stats;
    AnalysisResult m_result;
    InvestSettings m_resultSettings; // those m_result was made with
    AnalysisSummary m_summary;
    QLabel *m_lblzongjie = nullptr;
    QChartView *m_chtyue = nullptr;
    SearchResult m_lastSearch;
    // What the last search can and cannot tell, under the summary until the next analysis.
    QString m_searchNote;

    QTableView *m_grdsep;
    QTableView *m_grdcode;
    QTableView *m_grdsepmode;
    QTableView *m_grdtozi;
    FunctionTableModel *m_sepModel;
    FunctionTableModel *m_codeModel;
    FunctionTableModel *m_sepmodeModel;
    FunctionTableModel *m_toziModel;
    QProgressBar *m_pb;
    QGroupBox *m_grptozi;
    QGroupBox *m_optzhuzhi;
    std::vector<QRadioButton *> m_playButtons;
    QLineEdit *m_edtjushu;
    QLineEdit *m_edtoutofsin;
    QLineEdit *m_edtlirun;
    QLineEdit *m_edtsinmax;
    QLineEdit *m_edtallmax;
    QLineEdit *m_edtallwin;
    QComboBox *m_comtozisep;
    QComboBox *m_comtozirep;
    QComboBox *m_comsepindex;
    QComboBox *m_comsepnum;
    QComboBox *m_comsousuo;
    QCheckBox *m_chksepmode;
    QCheckBox *m_chkyuji;
    QPushButton *m_btnfilt;
    QPushButton *m_btnala;
    QPushButton *m_btnyouhua = nullptr;
    QPushButton *m_btnclear;
    QPushButton *m_btnclose;
    QToolButton *m_tlbtnsave;
    QToolButton *m_tlbtnload;
    QToolButton *m_tlbtnprint;
    QMenu *m_saveMenu;
    QMenu *m_loadMenu;
    QMenu *m_printMenu;
    // Last, so that a search still going stops before the rest of the window goes.
    BackgroundRun m_search {this};
};

} // namespace lumaro
