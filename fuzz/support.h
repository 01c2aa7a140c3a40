#pragma once

// What the fuzz targets share: a Platform that answers every dialog at once
// without a screen, and a temporary program folder with a configuration file
// and a small catalogue, as a user's installation has them.

#include "core/base/platform.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace kvx::fuzz {

// OK to a message, No to a question, Cancel to a file dialog; no printer.
class SilentPlatform : public Platform {
public:
    MsgResult messageBox(const QString& text, int style, const QString& title) override;
    void setFocus(Control&) override {}
    std::optional<QString> showOpenDialog(const CommonDialog&) override { return std::nullopt; }
    std::optional<QString> showSaveDialog(const CommonDialog&) override { return std::nullopt; }
    void showPrinterSetup() override {}
    std::optional<double> printerPageWidth() override { return std::nullopt; }
    std::unique_ptr<ReportPrinter> openPrinter() override;
    std::unique_ptr<ReportPrinter> openPdf(const QString&) override;
    void showAbout() override {}
    void showWorking() override {}
    void endProgram() override { ended = true; }
    QDate today() override { return QDate(2026, 12, 6); }
    QSizeF screenSizeTwips() override { return QSizeF(19200, 15360); }
    void setBusyPointer(bool) override {}

    int messages = 0;
    bool ended = false;
};

// The program's folder for the whole run: Kvx.ini naming Basic.lsp in English,
// and Basic.lsp with a few types. Made at the first call.
const QString& programFolder();

// Replaces the file name in the program's folder by bytes; returns its path.
QString writeProgramFile(const QString& name, QByteArrayView bytes);

// The bytes of a file, empty when it cannot be read.
QByteArray readBytes(const QString& path);

// Stops the run with a message when a property of the code under test fails,
// so that libFuzzer keeps the input.
[[noreturn]] void propertyFailed(const char* what, const QString& detail = {});

} // namespace kvx::fuzz
