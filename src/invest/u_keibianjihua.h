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
    void showPlan();
    void announceAverage();

    QLineEdit *edtprekui;
    QLineEdit *edtlirun;
    QLineEdit *edtinofsin;
    QLineEdit *edtoutofsin;
    QLineEdit *edtdays;
    QLineEdit *edtjushu;
    QPushButton *btnjisuan;
    QPushButton *btnnew;
    QPushButton *btnsave;
    QPushButton *btnload;
    QPushButton *btnprint;
    QPushButton *btnclose;
    VariablePlan m_plan;
};

} // namespace lumaro
