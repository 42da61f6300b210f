#pragma once

#include "pickers/exclusion_window.h"

class QComboBox;
class QPlainTextEdit;

namespace lumaro {

// 无穷和值排除选号: excludes the tickets whose relabelled sum is at or above 和值>= or at or
// below 或<=. Every run starts again from all tickets unless a file was loaded.
class Tfrmallhei : public HistoryExclusionWindow {
    Q_OBJECT
public:
    Tfrmallhei(AppContext &context, QWidget *parent = nullptr);

protected:
    PickerSettings readSettings() const override;
    void showHistory(const ValueRows &rows) override;

private:
    QComboBox *m_comhei1;
    QComboBox *m_comhei2;
    QPlainTextEdit *m_mem;
};

} // namespace lumaro
