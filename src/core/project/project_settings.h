#pragma once

// The settings a project keeps beyond the main window's fields, each group in
// an optional section of the project file (project_file.h), written only when
// it is not the default. A new group is one more member here and one more
// entry in the project file's section table.

#include "core/calc/pattern.h"
#include "core/plan/plan_settings.h"
#include "core/speech/speech.h"
#include "core/system/system.h"

namespace kvx {

struct ProjectSettings {
    SystemSettings system; // [System]
    PlanSettings plan;     // [Plan]: the listener area's margin
    LayoutSettings layout; // [Layout]
    SpeechSettings speech; // [Speech]; its ambient noise is the system's

    bool isDefault() const { return *this == ProjectSettings{}; }
    bool operator==(const ProjectSettings&) const = default;
};

} // namespace kvx
