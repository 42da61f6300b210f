#pragma once

#include "analysis/indicator_window.h"

namespace lumaro {

// 大小分析, the view of the main window's tab 1.
using Tfrmdaxiao = IndicatorView<Indicator::Big>;

} // namespace lumaro
