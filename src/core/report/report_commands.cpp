#include "core/kvx_error.h"
#include "core/report/report_content.h"
#include "core/report/text_report.h"
#include "core/ui/main_window.h"

#include <QDir>

namespace kvx {

namespace {

const QString kPrintError = QStringLiteral("Print error");
const QString kPrintToFileTitle = QStringLiteral("Print to file");
const QString kExportPdfTitle = QStringLiteral("Export report as PDF");

QString cannotWrite(const QString& path, const QString& reason) {
    return QStringLiteral("The report cannot be written to \"%1\": %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

void FrmKvx::mnuReport_Click() {
    auto printer = kvx.platform.openPrinter();
    if (!printer) {
        const MsgResult answer = kvx.platform.messageBox(
            QStringLiteral("No printer is installed. Save the report as a PDF file instead?"),
            MsgStyle::YesNoQuestion);
        if (answer == MsgResult::Yes)
            mnuExportPdf_Click();
        return;
    }
    try {
        printReport(*this, *printer);
        if (!printer->endDocument())
            throw KvxError(kPrintError);
    } catch (const KvxError&) {
        // The unfinished document is dropped with the printer object.
        kvx.platform.messageBox(kPrintError, MsgStyle::OkOnly);
    }
}

void FrmKvx::mnuExportPdf_Click() {
    PdfDialog.filter = QStringLiteral("PDF Files (*.pdf)|*.pdf");
    PdfDialog.filterIndex = 1;
    PdfDialog.defaultExt = QStringLiteral("pdf");
    PdfDialog.flags = DialogFlags::OverwritePrompt | DialogFlags::HideReadOnly;
    PdfDialog.initDir = kvx.dialogFolder(CmDialog1.fileName);
    const std::optional<QString> chosen = kvx.platform.showSaveDialog(PdfDialog);
    if (!chosen || chosen->isEmpty())
        return;
    PdfDialog.fileName = *chosen;

    auto pdf = kvx.platform.openPdf(*chosen);
    try {
        if (!pdf)
            throw KvxError(cannotWrite(*chosen, QStringLiteral("the file cannot be created.")));
        printReport(*this, *pdf);
        if (!pdf->endDocument())
            throw KvxError(cannotWrite(*chosen, QStringLiteral("writing failed.")));
        kvx.rememberFolder(*chosen);
    } catch (const KvxError& error) {
        kvx.platform.messageBox(kPrintError + QStringLiteral(": ") + error.message(),
                                MsgStyle::Exclamation, kExportPdfTitle);
    }
}

void FrmKvx::mnuPrintFile_Click() {
    CmDialog1.filter = QStringLiteral("Text File (*.txt)");
    CmDialog1.defaultExt = QStringLiteral("txt");
    CmDialog1.initDir = kvx.dialogFolder(CmDialog1.fileName);
    // The dialog's file name is the project's path: the next Save must not
    // write the project into the report's file.
    const QString projectPath = CmDialog1.fileName;
    const std::optional<QString> chosen = kvx.platform.showSaveDialog(CmDialog1);
    CmDialog1.fileName = projectPath;
    if (!chosen || chosen->isEmpty())
        return;

    try {
        const double width = kvx.platform.printerPageWidth().value_or(kA4PageWidth);
        TextReport report(*chosen, width);
        if (!report.open())
            throw KvxError(cannotWrite(*chosen, report.errorString()));
        printReport(*this, report);
        if (!report.endDocument())
            throw KvxError(cannotWrite(*chosen, report.errorString()));
        kvx.rememberFolder(*chosen);
    } catch (const KvxError& error) {
        kvx.platform.messageBox(kPrintError + QStringLiteral(": ") + error.message(),
                                MsgStyle::Exclamation, kPrintToFileTitle);
    }
}

void FrmKvx::mnuPrintSetup_Click() {
    CmDialog1.flags = DialogFlags::PrintSetup;
    kvx.platform.showPrinterSetup();
}

} // namespace kvx
