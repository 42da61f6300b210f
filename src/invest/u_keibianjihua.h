#pragma once

#include "invest/investment_plan.h"
#include "invest/plan_window.h"

class QLineEdit;
class QPushButton;

namespace lumaro {

// 可变投资计划: the plan built one period at a time with the ticket count of each period.
// Idle ("新建" shown, no additions) or Building ("取消保存" shown, additions allowed).
class Tfrmkeibianjihua : public PlanWindow {
    Q_OBJECT
public:
    Tfrmkeibianjihua(AppContext &context, QWidget *parent);

    const VariablePlan &plan() const { return m_plan; }
    bool building() const;

    void btnnewClick();
    void btnjisuanClick();
    void btnsaveClick();
    void btnloadClick();
    void btnprintClick();

private:
    std::vector<PlanPeriodMoney> planMoney(double chance) const override;
    qint64 chanceTickets() const override { return 1; }
    void showPlan();
    void announceAverage();

    QLineEdit *m_edtprekui;
    QLineEdit *m_edtlirun;
    QLineEdit *m_edtinofsin;
    QLineEdit *m_edtoutofsin;
    QLineEdit *m_edtdays;
    QLineEdit *m_edtjushu;
    QPushButton *m_btnjisuan;
    QPushButton *m_btnnew;
    QPushButton *m_btnsave;
    QPushButton *m_btnload;
    QPushButton *m_btnprint;
    QPushButton *m_btnclose;
    VariablePlan m_plan;
};

} // namespace lumaro
