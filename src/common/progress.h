#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>

namespace lumaro {

// What a long engine run reports and listens to. Engines call report() now and then (not per
// row) and test cancelled() between rows; both are safe to leave empty.
struct Progress {
    std::function<void(qint64 done, qint64 total)> report;
    const std::atomic_bool *cancel = nullptr;

    void step(qint64 done, qint64 total) const
    {
        if (report)
            report(done, total);
    }
    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};

} // namespace lumaro
