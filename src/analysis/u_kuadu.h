#pragma once

#include "analysis/indicator_window.h"

namespace lumaro {

// 跨度分析, the view of the main window's tab 4.
using Tfrmkuadu = IndicatorView<Indicator::Span>;

} // namespace lumaro
