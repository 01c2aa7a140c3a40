// Placeholder: implemented with the printed report.
#include "app/printing.h"

namespace kvx::app {

std::optional<double> printerPageWidth()
{
    return std::nullopt;
}
std::unique_ptr<ReportPrinter> openPrinter()
{
    return nullptr;
}
std::unique_ptr<ReportPrinter> openPdf(const QString&)
{
    return nullptr;
}
void showPrinterSetup(QWidget*) {}

} // namespace kvx::app
