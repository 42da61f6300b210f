#pragma once

#include "analysis/indicator_window.h"

namespace lumaro {

// 和值分析, the view of the main window's tab 3.
using Tfrmhei = IndicatorView<Indicator::Sum>;

} // namespace lumaro
