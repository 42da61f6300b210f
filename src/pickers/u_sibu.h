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
    QComboBox *com1;
    QComboBox *com2;
    QComboBox *com3;
    QComboBox *com4;
    QLineEdit *edtcode1;
    QLineEdit *edtcode2;
    QLineEdit *edtcode3;
    QLineEdit *edtcode4;
};

} // namespace lumaro
