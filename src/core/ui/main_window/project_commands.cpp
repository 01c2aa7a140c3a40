// The File menu's project commands and the project's modified state. The path
// of the current project lives in CmDialog1.fileName, empty for a new project.

#include "core/base/ini_file.h"
#include "core/base/kvx_error.h"
#include "core/base/numbers.h"
#include "core/base/string_table.h"
#include "core/project/project_settings.h"
#include "core/ui/main_window.h"
#include "core/ui/offered_name.h"
#include "core/ui/recent_files.h"

#include <QDir>
#include <QFileInfo>

namespace kvx {

namespace {

const QString kOpenFilter = QStringLiteral("KVX Files (*.kvx)|*.kvx|All Files (*.*)|*.*");
const QString kSaveFilter = QStringLiteral("KVX Files (*.KVX)|*.KVX|All Files (*.*)|*.*");
const QString kProjectExtension = QStringLiteral("kvx");
const QString kOpenErrorTitle = QStringLiteral("Open File Error");
const QString kSaveErrorTitle = QStringLiteral("Save Error");

// "The project data is modified. Do you want to save it first?"
constexpr int kSaveFirstText = 1510;

const RecentList kRecentProjects{QStringLiteral("Recent projects"), QStringLiteral("Project")};

} // namespace

void FrmKvx::ResetProject() {
    m_projectName.clear();
    showProjectCaption();
    CmDialog1.fileName.clear();
    txtDescription.setText(kvx.texts.DescriptionPrompt);
    // The room of a new project is the same in every unit: 50 m by 50 m.
    showLength(txtRoomLength, QStringLiteral("50"));
    showLength(txtRoomWidth, QStringLiteral("50"));
    showLength(txtRoomHeight, QStringLiteral("4"));
    if (units() == Units::Metric)
        txtEarHeight.setText(formatGeneral(1.5, kvx.locale));
    else
        showLength(txtEarHeight, QStringLiteral("1.5"));
    txtLevelDif4.setText(QStringLiteral("6"));
    lstLspTap.setText(lstLspTap.items().value(0));
    lstAmpTap.setText(lstAmpTap.items().value(0));
    lstLsp.setText(lstLsp.items().value(0));
    ShowLoudspeakerData(1);
    // A new project's cable is the chosen units' usual one: 1.5 mm² or 14 AWG.
    ProjectSettings fresh;
    fresh.system.crossSection = defaultCrossSection(units());
    replaceSettings(fresh);
    // The texts set above ran their change handlers; a new project is unmodified.
    kvx.Modified = false;
    for (Control* result : {&lblDistance, &lblNrofSpeakers, &lblLevelDif1, &lblPower, &lblLevel})
        result->setForeColor(kRed);
}

namespace {

// The Open command once the file is chosen.
void openProject(FrmKvx& w, const QString& path) {
    // A file that cannot be read must not become the project's file.
    const QString previous = w.CmDialog1.fileName;
    w.CmDialog1.fileName = path;
    try {
        w.ReadProjectFile(path);
    } catch (const KvxError& e) {
        w.CmDialog1.fileName = previous;
        w.kvx.platform.messageBox(e.message(), MsgStyle::Critical, kOpenErrorTitle);
        return;
    }
    // A file of another language reset to a new project: nothing to remember.
    if (!w.CmDialog1.fileName.isEmpty())
        w.rememberRecent(path);
    w.kvx.rememberFolder(path);
    w.cmdCalc_Click();
}

} // namespace

bool FrmKvx::maySetProjectAside() {
    if (!kvx.Modified)
        return true;
    const MsgResult answer = kvx.platform.messageBox(
        kvx.localText(kSaveFirstText), MsgStyle::YesNoCancelQuestion, kvx.texts.ProgramTitle);
    switch (answer) {
    case MsgResult::Yes:
        // A save that failed or whose dialog was cancelled leaves the project
        // modified: the command that asked does not go on.
        mnuSave_Click();
        return !kvx.Modified;
    case MsgResult::No:
        return true;
    default:
        return false;
    }
}

void FrmKvx::startNewProject() {
    ResetProject();
    cmdCalc_Click();
}

void FrmKvx::mnuNew_Click() {
    if (maySetProjectAside())
        startNewProject();
}

void FrmKvx::mnuOpen_Click() {
    if (!maySetProjectAside())
        return;
    CmDialog1.filter = kOpenFilter;
    CmDialog1.filterIndex = 1;
    CmDialog1.defaultExt = kProjectExtension;
    CmDialog1.flags = DialogFlags::FileMustExist | DialogFlags::HideReadOnly;
    CmDialog1.title.clear();
    CmDialog1.initDir = kvx.dialogFolder(CmDialog1.fileName);
    const std::optional<QString> chosen = kvx.platform.showOpenDialog(CmDialog1);
    if (!chosen)
        return;
    openProject(*this, *chosen);
}

void FrmKvx::openRecent(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        kvx.platform.messageBox(kvx.localText(1146).arg(path), MsgStyle::Exclamation,
                                kOpenErrorTitle);
        forgetRecentFile(kvx, kRecentProjects, path);
        return;
    }
    if (maySetProjectAside())
        openProject(*this, path);
}

void FrmKvx::openGivenProject(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        kvx.platform.messageBox(kvx.localText(1146).arg(QDir::toNativeSeparators(path)),
                                MsgStyle::Exclamation, kOpenErrorTitle);
        return;
    }
    if (maySetProjectAside())
        openProject(*this, QFileInfo(path).absoluteFilePath());
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
        return;
    }
    rememberRecent(CmDialog1.fileName);
}

void FrmKvx::mnuSaveAs_Click() {
    CmDialog1.filter = kSaveFilter;
    CmDialog1.filterIndex = 1;
    CmDialog1.defaultExt = kProjectExtension;
    CmDialog1.flags =
        DialogFlags::PathMustExist | DialogFlags::HideReadOnly | DialogFlags::OverwritePrompt;
    CmDialog1.title.clear();
    // Offered under the project's name; a new one under its description. The
    // dialog's file name is the project's again whatever is chosen, so that
    // Save writes only to a file that holds the project.
    const QString projectPath = CmDialog1.fileName;
    CmDialog1.initDir = kvx.dialogFolder(projectPath);
    CmDialog1.fileName = offeredPath(kvx, projectPath, txtDescription.text(), kProjectExtension);
    const std::optional<QString> chosen = kvx.platform.showSaveDialog(CmDialog1);
    CmDialog1.fileName = projectPath;
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
    rememberRecent(*chosen);
    kvx.rememberFolder(*chosen);
}

MsgResult FrmKvx::askSaveBeforeExit() {
    return kvx.platform.messageBox(
        QStringLiteral("The project data is modified. Do you want to save before Exiting the "
                       "program ?"),
        MsgStyle::YesNoCancelQuestion, QStringLiteral("Exit KVX"));
}

void FrmKvx::mnuExit_Click() {
    if (kvx.Modified) {
        const MsgResult answer = askSaveBeforeExit();
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

void FrmKvx::showProjectCaption() {
    form.setText(kvx.texts.ProgramTitle + QStringLiteral(" - ") +
                 (m_projectName.isEmpty() ? kvx.texts.NewProjectName : m_projectName));
}

QStringList FrmKvx::recentProjects() const {
    return recentFiles(kvx, kRecentProjects);
}

void FrmKvx::rememberRecent(const QString& path) {
    rememberRecentFile(kvx, kRecentProjects, path);
}

void FrmKvx::mnuLanguage_Click() {
    const std::optional<int> offset = kvx.platform.chooseLanguage(kvx.LanguageOffset);
    if (!offset)
        return;
    const QString name = languageName(*offset);
    if (name.isEmpty())
        return;
    // The texts of a running window are not switched over half-way (the type
    // box, the project file's headers): the choice applies at the next start.
    const bool stored =
        kvx.keepSetting(Configuration::LanguageSection, Configuration::LanguageKey, name);
    if (stored)
        kvx.platform.messageBox(kvx.localText(1135), MsgStyle::Information, kvx.texts.ProgramTitle);
    else

        kvx.platform.messageBox(kvx.localText(1136).arg(kvx.iniPath()), MsgStyle::Exclamation,
                                kvx.texts.ProgramTitle);
}

void FrmKvx::txtDescription_Change() {
    // A typed description is project data. The program's own settings (new
    // project, project file) clear the flag when they are done.
    kvx.Modified = true;
}

} // namespace kvx
