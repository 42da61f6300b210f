#pragma once

#include "analysis/indicator_window.h"

namespace lumaro {

// AC值分析, the view of the main window's tab 7.
using Tfrmac = IndicatorView<Indicator::Ac>;

} // namespace lumaro
