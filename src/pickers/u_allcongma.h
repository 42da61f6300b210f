#pragma once

#include "pickers/exclusion_window.h"

class QComboBox;

namespace lumaro {

// 无穷重码排除选号: excludes the tickets whose relabelled numbers repeat at least 过滤的重码数 numbers
// of one of the last 重码期数 relabelled draws. Runs keep narrowing the same table.
class Tfrmallcongma : public ExclusionWindow {
    Q_OBJECT
public:
    Tfrmallcongma(AppContext &context, QWidget *parent = nullptr);

    PickerHistoryView *history() const { return m_history; }

    void btntongjiClick();
    void btntongji2Click();

protected:
    PickerSettings readSettings() const override;
    void cleared() override { btntongjiClick(); }

private:
    void showRepeats(const ValueRows &rows);

    QComboBox *m_comAC;
    QComboBox *m_comqishu;
    PickerHistoryView *m_history;
    QLineEdit *m_edtcurcode;
};

} // namespace lumaro
