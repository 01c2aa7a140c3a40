// The main window's side of the project file (core/project/project_file.h):
// the fields it keeps, and what reading one puts into the window.

#include "core/project/project_file.h"

#include "core/base/kvx_error.h"
#include "core/base/numbers.h"
#include "core/calc/design.h"
#include "core/ui/main_window.h"
#include "core/ui/main_window/catalogue_selection.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

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

// The fields that hold a length, kept in metres.
constexpr std::pair<ProjectField, Control FrmKvx::*> kLengthControls[] = {
    {ProjectField::RoomLength, &FrmKvx::txtRoomLength},
    {ProjectField::RoomWidth, &FrmKvx::txtRoomWidth},
    {ProjectField::RoomHeight, &FrmKvx::txtRoomHeight},
    {ProjectField::EarHeight, &FrmKvx::txtEarHeight},
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
    // The file keeps metres whatever the units shown: a length that is none
    // of the forms is refused by name rather than saved as something else.
    if (units() != Units::Metric) {
        for (const auto& [field, member] : kLengthControls) {
            const std::optional<QString> stored = storedLength(this->*member);
            if (!stored)
                throw KvxError(notALengthMessage(this->*member));
            fields[size_t(field)] = *stored;
        }
        QString& distance = fields[size_t(ProjectField::Distance)];
        if (lastCalculation())
            distance = formatResults(*lastCalculation(), kvx.locale).distance;
        else if (const LengthReading shown = readLength(distance, units()); shown.ok())
            distance = distance.isEmpty() ? distance : formatOneDecimal(shown.metres, kvx.locale);
    }
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
        for (const auto& [field, text] : contents.fields) {
            Control& control = this->*kProjectControls[int(field)];
            const auto length = std::find_if(std::begin(kLengthControls), std::end(kLengthControls),
                                             [field](const auto& l) { return l.first == field; });
            if (length != std::end(kLengthControls))
                showLength(control, text);
            else if (field == ProjectField::Distance && units() != Units::Metric &&
                     !text.trimmed().isEmpty())
                control.setText(shownDistance(readLength(text, Units::Metric).metres));
            else
                control.setText(shownText(*this, field, text));
        }
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
        // Nothing of the user's is set aside here: the file's texts are
        // already in the window, and Open asked before it began.
        startNewProject();
        return false;
    }
    m_projectName = QFileInfo(path).fileName();
    showProjectCaption();
    kvx.Modified = false;
    return true;
}

} // namespace kvx
