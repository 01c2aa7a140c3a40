// Work spread over a thread pool: every index once, and never a wait on a
// pool whose threads are all taken.
#include "core/base/parallel.h"

#include <QSemaphore>
#include <QTest>
#include <QThreadPool>

#include <atomic>
#include <vector>

using namespace kvx;

class TestParallel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyIndexOnce_data() {
        QTest::addColumn<int>("threads");
        QTest::addColumn<int>("busy"); // threads held by other work until the loop is over
        QTest::addColumn<int>("count");
        QTest::newRow("nothing to do") << 2 << 0 << 0;
        QTest::newRow("one index") << 2 << 0 << 1;
        QTest::newRow("more indices than threads") << 3 << 0 << 1000;
        QTest::newRow("some threads taken") << 3 << 2 << 500;
        // A loop that queued its helpers would wait on them for ever here.
        QTest::newRow("every thread taken") << 2 << 2 << 500;
    }

    void everyIndexOnce() {
        QFETCH(int, threads);
        QFETCH(int, busy);
        QFETCH(int, count);
        QThreadPool pool;
        pool.setMaxThreadCount(threads);
        QSemaphore started;
        QSemaphore release;
        for (int i = 0; i < busy; ++i) {
            pool.start([&] {
                started.release();
                release.acquire();
            });
        }
        started.acquire(busy);

        std::vector<std::atomic<int>> calls(static_cast<size_t>(count));
        parallelFor(pool, count, [&](qsizetype i) { ++calls[size_t(i)]; });
        release.release(busy);
        pool.waitForDone();
        for (int i = 0; i < count; ++i)
            QCOMPARE(calls[size_t(i)].load(), 1);
    }
};

QTEST_GUILESS_MAIN(TestParallel)
#include "test_parallel.moc"
