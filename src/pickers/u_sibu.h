#pragma once

#include "pickers/picker_frame.h"

#include <array>

class QComboBox;
class QLineEdit;

namespace lumaro {

struct FourStepSettings;

// 最优四步综合选号: the four-step picker window, one line per step with its window length and
// the numbers it contributed.
class Tfrmsibu : public PickerFrame {
    Q_OBJECT
public:
    Tfrmsibu(AppContext &context, QWidget *parent = nullptr);

    FourStepSettings settings() const;

protected:
    void generate(int target, const QString &targetText) override;
    BacktestJob backtestJob() override;

private:
    QComboBox *m_com1;
    QComboBox *m_com2;
    QComboBox *m_com3;
    QComboBox *m_com4;
    QLineEdit *m_edtcode1;
    QLineEdit *m_edtcode2;
    QLineEdit *m_edtcode3;
    QLineEdit *m_edtcode4;
};

} // namespace lumaro
