// The printing side of the desktop program (see app/print_module.h): linked
// into kvx-print.so, and into the programs that link the printing code.

#include "app/building_pdf.h"
#include "app/plan_export.h"
#include "app/print_module.h"
#include "app/printing.h"
#include "core/report/report_printer.h"

namespace {

class LinkedPrinting : public kvx::app::Printing {
public:
    LinkedPrinting() { kvx::app::useLinkedPrinting(this); }

    void showPrinterSetup(QWidget* parent) override { kvx::app::showPrinterSetup(parent); }
    std::optional<double> printerPageWidth() override { return kvx::app::printerPageWidth(); }
    std::unique_ptr<kvx::ReportPrinter> openPrinter() override { return kvx::app::openPrinter(); }
    std::unique_ptr<kvx::ReportPrinter> openPdf(const QString& path) override {
        return kvx::app::openPdf(path);
    }
    QString writePlanFile(const QString& path, kvx::app::PlanFormat format,
                          const kvx::app::PlanExport& what) override {
        return kvx::app::writePlanFile(path, format, what);
    }
    std::optional<QString> writeSchedule(const QString& path, const kvx::BuildingDocument& document,
                                         const kvx::RoomsTableModel& rooms,
                                         const kvx::ZonesTableModel& zones) override {
        return kvx::app::writeSchedule(path, document, rooms, zones);
    }
};

// Made with the program (or the module): the printing code linked in is the
// one used.
LinkedPrinting linkedPrinting;

} // namespace

extern "C" Q_DECL_EXPORT kvx::app::Printing* kvxPrinting() {
    return &linkedPrinting;
}
