#pragma once

#include "analysis/indicator_window.h"

namespace lumaro {

// 重码分析, the view of the main window's tab 8.
using Tfrmcongma = IndicatorView<Indicator::Repeat>;

} // namespace lumaro
