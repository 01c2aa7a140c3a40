// The File menu's project commands and the project's modified state. The path
// of the current project lives in CmDialog1.fileName, empty for a new project.

#include "core/calc/numbers.h"
#include "core/kvx_error.h"
#include "core/ui/main_window.h"

namespace kvx {

namespace {

const QString kOpenFilter = QStringLiteral("KVX Files (*.kvx)|*.kvx|All Files (*.*)|*.*");
const QString kSaveFilter = QStringLiteral("KVX Files (*.KVX)|*.KVX|All Files (*.*)|*.*");
const QString kProjectExtension = QStringLiteral("kvx");
const QString kOpenErrorTitle = QStringLiteral("Open File Error");
const QString kSaveErrorTitle = QStringLiteral("Save Error");

} // namespace

void FrmKvx::ResetProject() {
    form.setText(kvx.texts.ProgramTitle + QStringLiteral(" - ") + kvx.texts.NewProjectName);
    CmDialog1.fileName.clear();
    txtDescription.setText(kvx.texts.DescriptionPrompt);
    txtRoomLength.setText(QStringLiteral("50"));
    txtRoomWidth.setText(QStringLiteral("50"));
    txtRoomHeight.setText(QStringLiteral("4"));
    txtEarHeight.setText(formatGeneral(1.5, kvx.locale));
    txtLevelDif4.setText(QStringLiteral("6"));
    lstLspTap.setText(lstLspTap.items().value(0));
    lstAmpTap.setText(lstAmpTap.items().value(0));
    lstLsp.setText(lstLsp.items().value(0));
    ShowLoudspeakerData(1);
    // The texts set above ran their change handlers; a new project is unmodified.
    kvx.Modified = false;
    for (Control* result : {&lblDistance, &lblNrofSpeakers, &lblLevelDif1, &lblPower, &lblLevel})
        result->setForeColor(kRed);
}

void FrmKvx::mnuNew_Click() {
    ResetProject();
    cmdCalc_Click();
}

void FrmKvx::mnuOpen_Click() {
    CmDialog1.filter = kOpenFilter;
    CmDialog1.filterIndex = 1;
    CmDialog1.defaultExt = kProjectExtension;
    CmDialog1.flags = DialogFlags::FileMustExist | DialogFlags::HideReadOnly;
    CmDialog1.initDir = kvx.dialogFolder(CmDialog1.fileName);
    const std::optional<QString> chosen = kvx.platform.showOpenDialog(CmDialog1);
    if (!chosen)
        return;

    // A file that cannot be read must not become the project's file.
    const QString previous = CmDialog1.fileName;
    CmDialog1.fileName = *chosen;
    try {
        ReadProjectFile(*chosen);
    } catch (const KvxError& e) {
        CmDialog1.fileName = previous;
        kvx.platform.messageBox(e.message(), MsgStyle::Critical, kOpenErrorTitle);
        return;
    }
    kvx.rememberFolder(*chosen);
    cmdCalc_Click();
}

void FrmKvx::mnuSave_Click() {
    if (CmDialog1.fileName.isEmpty()) {
        mnuSaveAs_Click();
        return;
    }
    try {
        WriteProjectFile(CmDialog1.fileName);
    } catch (const KvxError& e) {
        kvx.platform.messageBox(e.message(), MsgStyle::Exclamation, kSaveErrorTitle);
    }
}

void FrmKvx::mnuSaveAs_Click() {
    CmDialog1.filter = kSaveFilter;
    CmDialog1.filterIndex = 1;
    CmDialog1.defaultExt = kProjectExtension;
    CmDialog1.flags =
        DialogFlags::PathMustExist | DialogFlags::HideReadOnly | DialogFlags::OverwritePrompt;
    CmDialog1.initDir = kvx.dialogFolder(CmDialog1.fileName);
    const std::optional<QString> chosen = kvx.platform.showSaveDialog(CmDialog1);
    if (!chosen)
        return;
    try {
        WriteProjectFile(*chosen);
    } catch (const KvxError& e) {
        kvx.platform.messageBox(e.message(), MsgStyle::Exclamation, kSaveErrorTitle);
        return;
    }
    // Only a written file becomes the project's file, so that Save never
    // aims at a file that does not hold the project.
    CmDialog1.fileName = *chosen;
    kvx.rememberFolder(*chosen);
}

void FrmKvx::mnuExit_Click() {
    if (kvx.Modified) {
        const MsgResult answer = kvx.platform.messageBox(
            QStringLiteral("The project data is modified. Do you want to save before Exiting the "
                           "program ?"),
            MsgStyle::YesNoCancelQuestion, QStringLiteral("Exit KVX"));
        if (answer == MsgResult::Yes)
            mnuSave_Click();
        else if (answer == MsgResult::No)
            kvx.Modified = false;
    }
    // A failed or cancelled save leaves Modified set, and the program running.
    if (!kvx.Modified) {
        kvx.platform.endProgram();
        throw ProgramEnded{};
    }
}

void FrmKvx::txtDescription_Click() {
    kvx.Modified = true;
    if (txtDescription.text() == kvx.texts.DescriptionPrompt)
        txtDescription.setText(QString());
}

void FrmKvx::txtDescription_Change() {
    // A typed description is project data. The program's own settings (new
    // project, project file) clear the flag when they are done.
    kvx.Modified = true;
}

} // namespace kvx
