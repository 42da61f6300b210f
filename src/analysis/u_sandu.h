#pragma once

#include "analysis/indicator_window.h"

namespace lumaro {

// 散度分析, the view of the main window's tab 5.
using Tfrmsandu = IndicatorView<Indicator::Dispersion>;

} // namespace lumaro
