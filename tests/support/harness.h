#pragma once

// A main window model on a fake platform in a fresh temporary program folder,
// for tests that drive the window as a user would.

#include "core/ui/kvx1.h"
#include "core/ui/main_window.h"
#include "support/fake_platform.h"

#include <QLocale>
#include <QTemporaryDir>

#include <memory>

namespace kvx::test {

struct Harness {
    explicit Harness(QLocale locale = QLocale::c())
        : kvx(platform, dir.path(), std::move(locale))
        , w(std::make_unique<FrmKvx>(kvx)) {}
    // With a string table of the test's own (it must outlive the harness).
    Harness(QLocale locale, const StringTable& strings)
        : kvx(platform, dir.path(), std::move(locale), strings)
        , w(std::make_unique<FrmKvx>(kvx)) {}
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    FakePlatform platform;
    Kvx1 kvx;
    std::unique_ptr<FrmKvx> w;
};

} // namespace kvx::test
