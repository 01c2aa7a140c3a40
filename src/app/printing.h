#pragma once

// The printer side of the desktop program: the printed report and its PDF
// export drawn with QPainter, the printer setup dialog, and the page width of
// the current printer in character units (1/12 inch).

#include "core/report/report_printer.h"

#include <QPageSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QPrinter;
class QWidget;

namespace kvx::app {

// Printable width of the default (or last set-up) printer in character units;
// nothing when no printer is installed.
std::optional<double> printerPageWidth();
// The paper of the current printer (the setup's choice); without a printer
// Letter where the locale measures in US units, else A4.
QPageSize printerPaper();
// A document on the current printer, or nullptr when there is none.
std::unique_ptr<ReportPrinter> openPrinter();
// A one-page PDF document written to path, or nullptr when it cannot be created.
std::unique_ptr<ReportPrinter> openPdf(const QString& path);
// Sets printer up as the PDF export does: a PDF file on an A4 portrait page
// with the printer's default margins, named after path.
void setUpPdf(QPrinter& printer, const QString& path);
// Draws a report with painter (active on printer) from the top of the current
// page, laid out exactly as a printed one: write puts the report on a printer
// as wide as the page, and nothing is drawn unless it returns. What write
// throws goes to the caller. False when a further page could not be started.
bool drawReport(QPainter& painter, QPrinter& printer,
                const std::function<void(ReportPrinter&)>& write);
// The printer and page setup dialog; the choice applies to later reports.
void showPrinterSetup(QWidget* parent);

} // namespace kvx::app
