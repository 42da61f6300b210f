#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace lumaro {

// The hourglass cursor while an object of this lives: set when it is made, restored when it
// goes, also when the work in between throws.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace lumaro
