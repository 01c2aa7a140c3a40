#pragma once

// The printer, the PDF, SVG and DXF writers need Qt Print Support, Qt Svg and
// dxflib: libraries that loaded with the program would slow every start,
// though most starts print nothing. That side of the program lives in the
// module kvx-print.so beside the program (installed, in its library folder),
// loaded the first time something is printed or exported. A program linked
// with the printing code itself (the GUI tests) uses that instead.

#include "app/plan_export.h"

#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace kvx {
class BuildingDocument;
class ReportPrinter;
class RoomsTableModel;
class ZonesTableModel;
} // namespace kvx

namespace kvx::app {

// What printing.h, plan_export.h and building_pdf.h offer the windows.
class Printing {
public:
    virtual ~Printing() = default;
    virtual void showPrinterSetup(QWidget* parent) = 0;
    virtual std::optional<double> printerPageWidth() = 0;
    virtual std::unique_ptr<ReportPrinter> openPrinter() = 0;
    virtual std::unique_ptr<ReportPrinter> openPdf(const QString& path) = 0;
    virtual QString writePlanFile(const QString& path, PlanFormat format,
                                  const PlanExport& what) = 0;
    virtual std::optional<QString> writeSchedule(const QString& path,
                                                 const BuildingDocument& document,
                                                 const RoomsTableModel& rooms,
                                                 const ZonesTableModel& zones) = 0;
};

// The module's file name and the function it exports, which returns its
// Printing (owned by the module, which stays loaded).
inline const QString kPrintingModuleName = QStringLiteral("kvx-print.so");
inline constexpr char kPrintingEntry[] = "kvxPrinting";
using PrintingEntry = Printing* (*)();

// The printing code: the one linked in, else the module, loaded on the first
// call. nullptr, and the reason in whyNot, when the module is missing or
// unusable; a later call tries again.
Printing* printing(QString* whyNot);
// Called by the printing code linked into a program, before any printing.
void useLinkedPrinting(Printing* linked);

} // namespace kvx::app
