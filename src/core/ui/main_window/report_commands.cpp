#include "core/ui/main_window/report_commands.h"

#include "core/base/kvx_error.h"
#include "core/base/save_file.h"
#include "core/project/project_settings.h"
#include "core/report/text_report.h"
#include "core/ui/main_window.h"
#include "core/ui/offered_name.h"
#include "core/ui/replace_guard.h"

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

// A text of the string table, or the English given here when the table in
// use lacks it: a dialog title must never stop a report.
QString textOr(const Kvx1& kvx, int englishId, const QString& english) {
    if (const auto text = kvx.strings.find(englishId + kvx.LanguageOffset))
        return *text;
    return kvx.strings.find(englishId).value_or(english);
}

} // namespace

ReportFields reportFields(const FrmKvx& w) {
    const Kvx1& kvx = w.kvx;
    const QString description = w.txtDescription.text();
    // In feet the lengths are printed as decimal feet whatever form was typed,
    // so that they line up on the decimal separator as metres do.
    const auto length = [&w](const Control& field) {
        if (w.units() == Units::Metric)
            return field.text();
        const std::optional<QString> stored = w.storedLength(field);
        return stored ? shownLengthText(*stored, w.units(), w.kvx.locale) : field.text();
    };
    return {kvx.texts.ProgramTitle,
            kvx.texts.VersionText,
            description == kvx.texts.DescriptionPrompt ? QString() : description,
            length(w.txtRoomLength),
            length(w.txtRoomWidth),
            length(w.txtRoomHeight),
            length(w.txtEarHeight),
            w.lstLsp.text(),
            w.txtAngle1.text(),
            w.txtAngle4.text(),
            w.txtSensitivity.text(),
            w.txtMaxPower.text(),
            w.lstLspTap.text(),
            w.lstAmpTap.text(),
            w.lblPower.text(),
            w.lblDistance.text(),
            w.lblNrofSpeakers.text(),
            w.lblLevel.text(),
            w.lblLevelDif1.text(),
            w.txtLevelDif4.text(),
            w.layoutSettings().pattern,
            w.units()};
}

ReportContent buildReport(const FrmKvx& window, double pageWidth, const QDate& today) {
    return buildReport(reportFields(window), window.kvx.localTexts(), pageWidth, today);
}

void printReport(const FrmKvx& window, ReportPrinter& printer) {
    printReport(reportFields(window), window.kvx.localTexts(), window.kvx.platform.today(),
                printer);
}

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
    PdfDialog.title = textOr(kvx, 1143, kExportPdfTitle);
    // Offered under the project's name (a new one's description), where
    // every dialog starts.
    PdfDialog.fileName =
        offeredPath(kvx, CmDialog1.fileName, txtDescription.text(), QStringLiteral("pdf"));
    const std::optional<QString> chosen = kvx.platform.showSaveDialog(PdfDialog);
    if (!chosen || chosen->isEmpty())
        return;
    PdfDialog.fileName = *chosen;
    if (!mayReplace(kvx, *chosen, PdfDialog.title))
        return;

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
    CmDialog1.fileName =
        offeredPath(kvx, projectPath, txtDescription.text(), QStringLiteral("txt"));
    CmDialog1.title = textOr(kvx, 1142, kPrintToFileTitle);
    const std::optional<QString> chosen = kvx.platform.showSaveDialog(CmDialog1);
    CmDialog1.fileName = projectPath;
    const QString title = CmDialog1.title;
    CmDialog1.title.clear();
    if (!chosen || chosen->isEmpty())
        return;
    if (!mayReplace(kvx, *chosen, title))
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
