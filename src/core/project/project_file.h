#pragma once

// The project file: Windows-1252 text with CR LF line ends. Each group of the
// main window's fields follows its section header in the user's language: the
// description on a line of its own, every other group a record of quoted
// fields. Then come the optional sections of the project's settings, each
// written only when its settings are not the default, under a header that is
// the same in every language. Texts are stored as the fields show them.
//
// One table of sections gives every header and its fields in order; the
// writer walks it and the reader finds each header it meets in it, so a new
// kind of setting is one more entry. Reading takes the headers of every
// language of the string table, so a project opens whatever the language it
// was written in; writing uses the user's language, as it always has.

#include "core/base/message.h"
#include "core/base/string_table.h"
#include "core/project/project_settings.h"

#include <QString>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace kvx {

// The main window's fields that a project keeps, in the order of the file.
enum class ProjectField {
    Description,
    LoudspeakerType,
    Angle1,
    Angle4,
    Sensitivity,
    RatedPower,
    RoomLength,
    RoomWidth,
    RoomHeight,
    EarHeight,
    SpeakerTap,
    AmplifierTap,
    SpeakerPower,
    Distance,
    Speakers,
    Difference1,
    Difference4,
    Level,
};
inline constexpr int kProjectFieldCount = int(ProjectField::Level) + 1;

// The fields' texts by ProjectField; the description is empty while the
// window shows only its prompt.
using ProjectFields = std::array<QString, kProjectFieldCount>;

// Writes the project whole or not at all; the headers of the window's groups
// are in the language of texts. Throws KvxError, naming the file, when a text
// holds what the format cannot hold (a line break, a double quote in a quoted
// field, a character outside the code page, too long a text) or when the
// file cannot be written; the old file then stays as it was.
void writeProjectFile(const QString& path, const ProjectFields& fields,
                      const ProjectSettings& settings, const LocalTexts& texts);

// A project file as read, for the window to take over.
struct ProjectFileContents {
    // The fields in the order the file gives them: a group that comes twice
    // gives its fields twice, a missing one none.
    std::vector<std::pair<ProjectField, QString>> fields;
    // The settings of the sections read; the defaults elsewhere.
    ProjectSettings settings;
    // A setting that is not usable keeps its default: one message for each,
    // in the language of texts.
    Messages problems;
    // The header that matched no section and ended the reading; nothing when
    // the file ended after a whole section.
    std::optional<QString> unknownHeader;
};

// Reads the whole file before anything is handed on, so that a damaged file
// changes nothing. Throws KvxError, naming the file, when it cannot be read
// or is no project file at all (empty, too large, cut off inside a section,
// a line without a header where one must be, a field longer than a text box
// holds).
ProjectFileContents readProjectFile(const QString& path, const LocalTexts& texts);

// Whether the file holds a project: its extension is .kvx, or its first line
// is a project's first section header in a language of strings. A report or
// an export must not replace it unasked.
bool holdsProject(const QString& path, const StringTable& strings);

} // namespace kvx
