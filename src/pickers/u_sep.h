#pragma once

#include "pickers/picker_frame.h"

class QComboBox;

namespace lumaro {

struct IntervalSettings;

// 最优间隔回补选号: the interval rebound picker window.
class Tfrmsep : public PickerFrame {
    Q_OBJECT
public:
    Tfrmsep(AppContext &context, QWidget *parent = nullptr);

    IntervalSettings settings() const;

protected:
    void generate(int target, const QString &targetText) override;
    BacktestJob backtestJob() override;

private:
    QComboBox *m_comqishu;
    QComboBox *m_comcodenum;
};

} // namespace lumaro
