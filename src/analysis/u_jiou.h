#pragma once

#include "analysis/indicator_window.h"

namespace lumaro {

// 奇偶分析, the view of the main window's tab 2.
using Tfrmjiou = IndicatorView<Indicator::Odd>;

} // namespace lumaro
