#pragma once

// A room of a building as a project of its own and back: "Open as project"
// writes the room's inputs as the main window's fields and settings (its
// zone's line voltage as the amplifier tap, its ambient, margin-free layout,
// reverberation), "Add project…" takes a project's fields as a new room.

#include "core/building/building.h"
#include "core/project/project_file.h"

#include <QList>
#include <QString>

#include <optional>

namespace kvx {

struct RoomProject {
    ProjectFields fields;
    ProjectSettings settings;
};

// typeText is the type's entry as the main window's list shows it (the
// catalogue's name with its padding), or the user type's entry.
RoomProject projectOfRoom(const Room& room, const Zone& zone, const QString& typeText,
                          const QLocale& locale);

// The room a project describes, named name; the loudspeaker's catalogue type
// when the project names one of catalogue, else the user's own with the
// project's four values. Nothing when a field needed is not a number in range.
std::optional<Room> roomOfProject(const ProjectFileContents& project, const QString& name,
                                  const QList<LspRecord>& catalogue);

} // namespace kvx
