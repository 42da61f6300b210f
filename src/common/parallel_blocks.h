#pragma once

#include "common/progress.h"

#include <QtGlobal>

#include <functional>

namespace lumaro {

// How many threads ForEachBlock uses for `rows` rows in blocks of `block`: one per core, at
// most 8, never more than there are blocks (at least 1).
int BlockThreadCount(qint64 rows, qint64 block);

// Runs work(thread, begin, end) over the rows [0, rows) in blocks of `block` rows that the
// threads take in turn. `thread` is 0 … BlockThreadCount - 1, so each thread can count into
// its own slot without locks; thread 0 is the calling thread, which also reports the rows done.
// A cancel stops every thread after its current block and returns false; the work done by then
// is partial.
bool ForEachBlock(qint64 rows, qint64 block, const Progress &progress,
    const std::function<void(int thread, qint64 begin, qint64 end)> &work);

} // namespace lumaro
