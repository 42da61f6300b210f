#pragma once

#include "invest/u_gudingjihua.h"

namespace lumaro {

// 阶段计划投资: the periods cut into stages of equal length, one multiple per stage.
class Tfrmjieduanjihua : public StakePlanWindow {
    Q_OBJECT
public:
    Tfrmjieduanjihua(AppContext &context, QWidget *parent)
        : StakePlanWindow(context, parent, true)
    { }
};

} // namespace lumaro
