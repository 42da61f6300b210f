#pragma once

#include "shell/background_run.h"
#include "tickets/intersection.h"

#include <QWidget>

#include <atomic>
#include <exception>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QListView;

namespace lumaro {

struct AppContext;
class TextLinesModel;

// 多重大底交集: imports several ticket files, counts in how many of them each ticket of the
// open lottery occurs and lists the tickets found in all of them (or all but a tolerated
// number). The counting runs on a worker; the window shows progress per file.
class Tfrmjiaoqi : public QWidget {
    Q_OBJECT
public:
    Tfrmjiaoqi(AppContext &context, QWidget *parent = nullptr);
    ~Tfrmjiaoqi() override;

    void btndaoruClick();
    void btnjiaoqiClick();
    void btnsaveClick();
    void btnclsClick();
    void lstdadiDblClick(int row);

    // The imported files, full paths in list order.
    const QStringList &files() const { return m_files; }
    bool running() const { return m_run.isRunning(); }
    // Waits for a running intersection and handles its end (for tests).
    void waitForResult();
    // The lines the memo shows.
    qint64 memoLineCount() const;
    QString memoLine(qint64 row) const;

Q_SIGNALS:
    // The intersection ended (with a result, an error or cancelled).
    void intersectionFinished();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void finishIntersection(const IntersectionResult &result);
    void setCount(qint64 count);

    AppContext &m_context;
    std::unique_ptr<CombinationTable> m_table;
    QString m_tableProblem;
    QStringList m_files;

    QListWidget *m_lstdadi;
    QPushButton *m_btndaoru;
    QPushButton *m_btnjiaoqi;
    QPushButton *m_btnsave;
    QPushButton *m_btncls;
    QPushButton *m_btnclose;
    QLineEdit *m_edtnum1;
    QLineEdit *m_edtnum2;
    QLabel *m_lbldadi;
    QListView *m_memdadi;
    TextLinesModel *m_memo;
    QProgressBar *m_pb;

    // Last, so that a run still going stops before the table it reads goes.
    BackgroundRun m_run {this};
};

} // namespace lumaro
