#pragma once

#include "pickers/exclusion_window.h"

class QComboBox;

namespace lumaro {

// 无穷重码排除选号: excludes the tickets whose relabelled numbers repeat at least 过滤的重码数 numbers
// of one of the last 重码期数 relabelled draws. Runs keep narrowing the same table.
class Tfrmallcongma : public HistoryExclusionWindow {
    Q_OBJECT
public:
    Tfrmallcongma(AppContext &context, QWidget *parent = nullptr);

protected:
    PickerSettings readSettings() const override;
    void showHistory(const ValueRows &rows) override;

private:
    int repeatPeriods() const;
    QComboBox *m_comAC;
    QComboBox *m_comqishu;
    QLineEdit *m_edtcurcode;
};

} // namespace lumaro
