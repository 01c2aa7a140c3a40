#pragma once

// The printer side of the desktop program: the printed report and its PDF
// export drawn with QPainter, the printer setup dialog, and the page width of
// the current printer in character units (1/12 inch).

#include "core/report/report_printer.h"

#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace kvx::app {

// Printable width of the default (or last set-up) printer in character units;
// nothing when no printer is installed.
std::optional<double> printerPageWidth();
// A document on the current printer, or nullptr when there is none.
std::unique_ptr<ReportPrinter> openPrinter();
// A one-page PDF document written to path, or nullptr when it cannot be created.
std::unique_ptr<ReportPrinter> openPdf(const QString& path);
// The printer and page setup dialog; the choice applies to later reports.
void showPrinterSetup(QWidget* parent);

} // namespace kvx::app
