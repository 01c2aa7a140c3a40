#pragma once

// Work spread over a thread pool with Qt Core alone: the program then loads
// no further library at start-up for work that only a building needs.

#include <QtGlobal>

#include <functional>

class QThreadPool;

namespace kvx {

// Calls body(i) for every i from 0 to count - 1, on the pool's free threads
// and on the calling thread, and returns when every call has returned. A pool
// without a free thread never makes it wait: the calling thread then does the
// work alone. body must not throw.
void parallelFor(QThreadPool& pool, qsizetype count, const std::function<void(qsizetype)>& body);

} // namespace kvx
