#include "core/base/parallel.h"

#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <memory>

namespace kvx {

void parallelFor(QThreadPool& pool, qsizetype count, const std::function<void(qsizetype)>& body) {
    // Shared with the helpers: a helper may still be inside release() when
    // the caller's acquire() has returned.
    struct State {
        std::atomic<qsizetype> next{0};
        QSemaphore finished;
    };
    const auto state = std::make_shared<State>();
    const auto work = [&body, count](State& s) {
        for (qsizetype i = s.next++; i < count; i = s.next++)
            body(i);
    };
    int helpers = 0;
    const auto wanted = std::min<qsizetype>(count - 1, pool.maxThreadCount());
    // tryStart, not start: a helper queued behind busy threads would keep the
    // caller waiting after the work is done.
    while (helpers < wanted && pool.tryStart([state, &work] {
        work(*state);
        state->finished.release();
    }))
        ++helpers;
    work(*state);
    state->finished.acquire(helpers);
}

} // namespace kvx
