#pragma once

#include "pickers/exclusion_window.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace lumaro {

class RadioGroup;

// 无穷历史跟随排除选号: excludes the tickets whose follow count (how many of their numbers the
// draws that followed the latest draw's groups held) is too high or too low, on the draws as
// drawn (常规) or cycle after cycle through a fresh relabelling (变幻).
class Tfrmallgensui : public ExclusionWindow {
    Q_OBJECT
public:
    Tfrmallgensui(AppContext &context, QWidget *parent = nullptr);

    PickerHistoryView *history() const { return m_history; }
    QTabWidget *page() const { return m_page; }

    // 常规统计 or 变幻统计, by the mode.
    void btntongjiClick();
    // 常规 / 变幻.
    void optmodeClick();

protected:
    PickerSettings readSettings() const override;
    void runFinished() override;
    void checkStarted() override;

private:
    FollowRule readRule() const;
    void showFollow(const ValueRows &rows, int group);

    QLineEdit *m_edthuishu;
    QComboBox *m_comhei1;
    QComboBox *m_comhei2;
    RadioGroup *m_optmode;
    RadioGroup *m_opttype1;
    RadioGroup *m_opttype2;
    RadioGroup *m_opttype3;
    RadioGroup *m_opttype4;
    QComboBox *m_comjieduannum;
    QPushButton *m_btntongji;
    QTabWidget *m_page;
    PickerHistoryView *m_history;
};

} // namespace lumaro
