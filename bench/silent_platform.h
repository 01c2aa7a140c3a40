#pragma once

// Answers every dialog at once, so that a benchmark measures the work and not
// a message box.

#include "core/base/platform.h"
#include "core/report/report_printer.h"

namespace kvx::bench {

class SilentPlatform : public Platform {
public:
    MsgResult messageBox(const QString&, int, const QString&) override { return MsgResult::Ok; }
    void setFocus(Control&) override {}
    std::optional<QString> showOpenDialog(const CommonDialog&) override { return std::nullopt; }
    std::optional<QString> showSaveDialog(const CommonDialog&) override { return std::nullopt; }
    void showPrinterSetup() override {}
    std::optional<double> printerPageWidth() override { return std::nullopt; }
    std::unique_ptr<ReportPrinter> openPrinter() override { return nullptr; }
    std::unique_ptr<ReportPrinter> openPdf(const QString&) override { return nullptr; }
    void showAbout() override {}
    void showWorking() override {}
    void endProgram() override {}
    QDate today() override { return {}; }
    QSizeF screenSizeTwips() override { return {}; }
    void setBusyPointer(bool) override {}
};

} // namespace kvx::bench
