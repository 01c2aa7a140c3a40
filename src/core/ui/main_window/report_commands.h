#pragma once

// The main window's report: its fields as the report shows them, and the
// report built or printed from them in the window's language.

#include "core/report/report_content.h"

namespace kvx {

class FrmKvx;

ReportFields reportFields(const FrmKvx& window);

// The report of the window's fields (see the report_content.h functions of the same names).
ReportContent buildReport(const FrmKvx& window, double pageWidth, const QDate& today);
// Dated the platform's today.
void printReport(const FrmKvx& window, ReportPrinter& printer);

} // namespace kvx
