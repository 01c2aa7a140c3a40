#pragma once

// Reports on paper need QtGui (fonts, QPainter, the PDF writer). Linking it
// into kvx-cli would slow every start, so the printing side lives in a module
// beside the program, kvx-cli-print.so, loaded only by the commands that write
// a report. The module reuses the desktop program's printing code, so a PDF
// written here is the window's PDF.

#include "core/plan/coverage.h"
#include "core/report/report_printer.h"

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace kvx {
class FrmKvx;
}

namespace kvx::cli {

class PrintSupport {
public:
    virtual ~PrintSupport() = default;
    // The application object for the run: a QGuiApplication on the offscreen
    // platform, which fonts and paint devices need and which shows nothing.
    virtual std::unique_ptr<QCoreApplication> createApplication(int& argc, char** argv) = 0;
    // The default printer's printable width in character units; nothing
    // without a printer.
    virtual std::optional<double> printerPageWidth() = 0;
    // A one-page PDF document written to path, or nullptr when it cannot be created.
    virtual std::unique_ptr<ReportPrinter> openPdf(const QString& path) = 0;
    // Draws the plan of design into path as the plan window exports it: a
    // PNG or SVG picture of the plan, the design PDF (the page that report
    // puts on a printer, then the plan, both maps, the system page of window
    // and, with a reverberation time, its speech page) or the DXF drawing, by the path's extension;
    // the texts in the window's language. Empty when the file was written, else the message naming
    // it.
    virtual QString writePlan(const QString& path, const Design& design,
                              const CoverageOptions& options, const FrmKvx& window,
                              const std::function<void(ReportPrinter&)>& report) = 0;
};

// The module's file name and the function it exports, which returns its
// PrintSupport (owned by the module, which stays loaded).
inline const QString kPrintModuleName = QStringLiteral("kvx-cli-print.so");
inline constexpr char kPrintSupportEntry[] = "kvxCliPrintSupport";
using PrintSupportEntry = PrintSupport* (*)();

// Loads the module from the folder of the running program; nullptr, and the
// reason in whyNot, when it is missing or unusable. Callable before any
// application object exists.
PrintSupport* loadPrintSupport(QString* whyNot);

} // namespace kvx::cli
