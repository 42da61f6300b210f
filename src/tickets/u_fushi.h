#pragma once

#include "common/random_source.h"
#include "shell/background_run.h"
#include "tickets/compound_search.h"

#include <QWidget>

#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lumaro {

struct AppContext;

// 自动复式搜索: draws variant trend after variant trend and removes the number behind the
// coldest rank column until K numbers are left. Each repetition runs from the event loop, so
// the window (and 停止) stays responsive and the main window shows every new variant trend.
class Tfrmfushi : public QWidget {
    Q_OBJECT
public:
    Tfrmfushi(AppContext &context, QWidget *parent = nullptr);
    ~Tfrmfushi() override;

    // 开始搜索 when idle, 停止 while searching.
    void btnsouClick();
    void btncopyClick();

    bool searching() const { return m_steps.isRunning(); }
    const CompoundSearch *search() const { return m_search.get(); }

Q_SIGNALS:
    // The search ended: with a proposal, stopped, or by an error.
    void searchEnded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void start();
    // One repetition on a new variant trend; true when the proposal is ready.
    bool repetition();
    void showVariantTrend();
    void restoreStandardTrend();
    // However the search ends: the standard trend back, and the outcome in the state line.
    void endSearch(bool failed);

    AppContext &m_context;
    std::unique_ptr<CompoundSearch> m_search;
    std::optional<RandomSource> m_random;

    QLineEdit *m_edtnum;
    QCheckBox *m_chkyilou;
    QLineEdit *m_edtyilouqishu;
    QPushButton *m_btnsou;
    QLineEdit *m_edtfushicode;
    QPushButton *m_btncopy;
    QLabel *m_lblstate;
    // The repetitions step on the window's thread: each one shows its trend in the main window.
    BackgroundRun m_steps {this};
};

} // namespace lumaro
