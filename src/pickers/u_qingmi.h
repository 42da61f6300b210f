#pragma once

#include "pickers/picker_frame.h"

class QComboBox;
class QLabel;

namespace lumaro {

class RadioGroup;
struct IntimateSettings;

// 最优亲密数字选号: the intimate-number picker window, with the tallies of the last proposal in
// the grid m_tabcode.
class Tfrmqingmi : public PickerFrame {
    Q_OBJECT
public:
    Tfrmqingmi(AppContext &context, QWidget *parent = nullptr);

    IntimateSettings settings() const;

protected:
    void generate(int target, const QString &targetText) override;
    BacktestJob backtestJob() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void optselClick(int index);

    RadioGroup *m_optsel;
    QLabel *m_lblselnum;
    QComboBox *m_comselnum;
    QComboBox *m_comjieduanqi;
    QTableView *m_tabcode;
    const QObject *m_codeViewport = nullptr;
    FunctionTableModel *m_codeModel;
};

} // namespace lumaro
