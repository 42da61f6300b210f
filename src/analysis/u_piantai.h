#pragma once

#include "analysis/omission_window.h"

namespace lumaro {

// 中奖偏态分析选号: the skew table, a tool window.
class Tfrmpiantai : public OmissionWindow {
    Q_OBJECT
public:
    explicit Tfrmpiantai(AppContext &context, QWidget *parent = nullptr)
        : OmissionWindow(context, OmissionMode::Skew, parent)
    { }
};

} // namespace lumaro
