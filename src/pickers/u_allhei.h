#pragma once

#include "pickers/exclusion_window.h"

class QComboBox;
class QPlainTextEdit;

namespace lumaro {

// 无穷和值排除选号: excludes the tickets whose relabelled sum is at or above 和值>= or at or
// below 或<=. Every run starts again from all tickets unless a file was loaded.
class Tfrmallhei : public ExclusionWindow {
    Q_OBJECT
public:
    Tfrmallhei(AppContext &context, QWidget *parent = nullptr);

    PickerHistoryView *history() const { return m_history; }

    // 常规统计 and 变幻统计.
    void btntongjiClick();
    void btntongji2Click();

protected:
    PickerSettings readSettings() const override;
    void cleared() override { btntongjiClick(); }

private:
    void showSums(const ValueRows &rows);

    QComboBox *m_comhei1;
    QComboBox *m_comhei2;
    PickerHistoryView *m_history;
    QPlainTextEdit *m_mem;
};

} // namespace lumaro
