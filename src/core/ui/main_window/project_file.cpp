// The main window's side of the project file (core/project/project_file.h):
// the fields it keeps, and what reading one puts into the window.

#include "core/project/project_file.h"

#include "core/base/kvx_error.h"
#include "core/ui/main_window.h"
#include "core/ui/main_window/catalogue_selection.h"

#include <QFileInfo>

namespace kvx {

namespace {

// The control of each ProjectField.
constexpr Control FrmKvx::*kProjectControls[kProjectFieldCount] = {
    &FrmKvx::txtDescription, &FrmKvx::lstLsp,       &FrmKvx::txtAngle1,       &FrmKvx::txtAngle4,
    &FrmKvx::txtSensitivity, &FrmKvx::txtMaxPower,  &FrmKvx::txtRoomLength,   &FrmKvx::txtRoomWidth,
    &FrmKvx::txtRoomHeight,  &FrmKvx::txtEarHeight, &FrmKvx::lstLspTap,       &FrmKvx::lstAmpTap,
    &FrmKvx::lblPower,       &FrmKvx::lblDistance,  &FrmKvx::lblNrofSpeakers, &FrmKvx::lblLevelDif1,
    &FrmKvx::txtLevelDif4,   &FrmKvx::lblLevel,
};

// A file's text as the window takes it: the user type of any language is
// this language's user type.
QString shownText(const FrmKvx& w, ProjectField field, const QString& text) {
    if (field == ProjectField::LoudspeakerType &&
        w.kvx.strings.inEveryLanguage(kUserTypeTextId).contains(text))
        return userTypeText(w.kvx);
    return text;
}

} // namespace

void FrmKvx::WriteProjectFile(const QString& path) {
    ProjectFields fields;
    for (int i = 0; i < kProjectFieldCount; ++i)
        fields[size_t(i)] = (this->*kProjectControls[i]).text();
    QString& description = fields[size_t(ProjectField::Description)];
    if (description == kvx.texts.DescriptionPrompt)
        description.clear();
    writeProjectFile(path, fields, settings(), kvx.localTexts());

    m_projectName = QFileInfo(path).fileName();
    showProjectCaption();
    kvx.Modified = false;
}

bool FrmKvx::ReadProjectFile(const QString& path) {
    const ProjectFileContents contents = readProjectFile(path, kvx.localTexts());
    // The settings first: a field put in may calculate (a changed 4 kHz
    // difference does), and it must do so with this project's pattern and
    // fit, not the last project's.
    replaceSettings(contents.settings);
    try {
        for (const auto& [field, text] : contents.fields)
            (this->*kProjectControls[int(field)]).setText(shownText(*this, field, text));
    } catch (...) {
        // Part of the file is in the window now: it is neither the old
        // project nor this file.
        kvx.Modified = true;
        throw;
    }
    // A value that is not a number costs that setting, never the project.
    showMessages(kvx.platform, contents.problems);

    if (contents.unknownHeader) {
        kvx.platform.messageBox(QStringLiteral("Error in project file: ") + QChar(13) +
                                    QStringLiteral("Last Record read: ") + *contents.unknownHeader,
                                MsgStyle::Critical, QStringLiteral("Fatal Error"));
        mnuNew_Click();
        return false;
    }
    m_projectName = QFileInfo(path).fileName();
    showProjectCaption();
    kvx.Modified = false;
    return true;
}

} // namespace kvx
