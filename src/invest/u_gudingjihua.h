#pragma once

#include "invest/investment_plan.h"
#include "invest/plan_file.h"
#include "invest/plan_window.h"

class QLineEdit;

namespace lumaro {

// A loaded fixed or staged plan: the file's rows up to 投注期数 into a table of 投注期数 rows and
// grid texts (empty for rows the file did not give).
struct LoadedPlan {
    std::vector<PlanRow> table;
    std::vector<QStringList> grid;
};
LoadedPlan LoadedPlanRows(const PlanFileContent &content, qint64 periods);

// The fixed and the staged plan windows: the same five boxes, buttons, file and report; the
// staged plan adds 阶段次数.
class StakePlanWindow : public PlanWindow {
    Q_OBJECT
public:
    // PlanTable: the numbers behind the grid (zero for cells a load did not fill).
    const std::vector<PlanRow> &planTable() const { return m_table; }

    void btnalaClick();
    void btnsaveClick();
    void btnloadClick();
    void btnprintClick();

protected:
    StakePlanWindow(AppContext &context, QWidget *parent, bool staged);

private:
    std::vector<PlanPeriodMoney> planMoney(double chance) const override;
    qint64 chanceTickets() const override;

    bool m_staged;
    QLineEdit *m_edtprekui;
    QLineEdit *m_edtlirun;
    QLineEdit *m_edtinofsin;
    QLineEdit *m_edtoutofsin;
    QLineEdit *m_edtdays;
    QLineEdit *m_edtjieduan = nullptr;
    std::vector<PlanRow> m_table;
};

// 固定计划投资: a multiple per period, each the smallest whose win pays back everything spent
// so far plus the wanted profit.
class Tfrmgudingjihua : public StakePlanWindow {
    Q_OBJECT
public:
    Tfrmgudingjihua(AppContext &context, QWidget *parent)
        : StakePlanWindow(context, parent, false)
    { }
};

} // namespace lumaro
