#pragma once

#include "analysis/omission_window.h"

namespace lumaro {

// 中奖回补分析选号: the omission (rebound) table, a tool window.
class Tfrmyilou : public OmissionWindow {
    Q_OBJECT
public:
    explicit Tfrmyilou(AppContext &context, QWidget *parent = nullptr)
        : OmissionWindow(context, OmissionMode::Rebound, parent)
    { }
};

} // namespace lumaro
