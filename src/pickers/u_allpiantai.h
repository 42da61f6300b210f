#pragma once

#include "pickers/exclusion_window.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace lumaro {

class RadioGroup;

// 无穷偏态排除选号: when the last 延续期数 relabelled draws all show many (or few) big numbers
// (odd numbers in 奇偶模式), the tickets whose own count lies outside the range expected after
// such a skew are excluded. Runs keep narrowing the same table.
class Tfrmallpiantai : public ExclusionWindow {
    Q_OBJECT
public:
    Tfrmallpiantai(AppContext &context, QWidget *parent = nullptr);

    // 大小模式 / 奇偶模式: the captions follow the mode.
    void optmodeClick();

protected:
    PickerSettings readSettings() const override;

private:
    RadioGroup *m_optmode;
    QCheckBox *m_chkda;
    QLineEdit *m_edtdanum;
    QLabel *m_lblda;
    QLineEdit *m_edtdanum1;
    QLineEdit *m_edtdanum2;
    QCheckBox *m_chkxiao;
    QLineEdit *m_edtxiaonum;
    QLabel *m_lblxiao;
    QLineEdit *m_edtxiaonum1;
    QLineEdit *m_edtxiaonum2;
    QLineEdit *m_edtyanxunum;
};

} // namespace lumaro
