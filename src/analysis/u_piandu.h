#pragma once

#include "analysis/indicator_window.h"

namespace lumaro {

// 偏度分析, the view of the main window's tab 6.
using Tfrmpiandu = IndicatorView<Indicator::Deviation>;

} // namespace lumaro
