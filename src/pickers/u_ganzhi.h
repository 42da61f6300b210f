#pragma once

#include "pickers/picker_frame.h"

#include <QDate>

class QLineEdit;

namespace lumaro {

class RadioGroup;

// 最优开奖干支选号: the stem-branch picker window. The draw date of the chosen target, its stem
// and its branch stand in read-only boxes.
class Tfrmganzhi : public PickerFrame {
    Q_OBJECT
public:
    Tfrmganzhi(AppContext &context, QWidget *parent = nullptr);

    bool extra() const;

protected:
    void generate(int target, const QString &targetText) override;
    BacktestJob backtestJob() override;

private:
    void comcurqiChange();

    QLineEdit *m_edtdate;
    QLineEdit *m_edttiangan;
    QLineEdit *m_edtdizhi;
    RadioGroup *m_optadd;
    QDate m_date; // the date in m_edtdate; null when unknown
};

} // namespace lumaro
