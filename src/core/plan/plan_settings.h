#pragma once

// The plan's per-project setting: the margin of the listener area, kept in
// the project file's optional [Plan] record. The coverage figures, the level
// check and the tap advice all take their listener area from it.

#include "core/base/string_table.h"

#include <QStringList>

namespace kvx {

// The string-table ids (English block) of the plan settings' texts.
namespace PlanSettingsText {
constexpr int Margin = 1263;        // "&Margin from the walls"
constexpr int NotAMargin = 1513;    // %1 the value read
constexpr int SettingsTitle = 1514; // the title of the messages on the [Plan] record
} // namespace PlanSettingsText

struct PlanSettings {
    double margin = 0; // m from every wall; 0: the whole room

    bool isDefault() const { return *this == PlanSettings{}; }
    bool operator==(const PlanSettings&) const = default;
};

// The fields of the [Plan] record (the margin), and back. A field that is not
// a length of 0 m or more keeps the default and gives a message.
QStringList planSettingsFields(const PlanSettings& settings);
QStringList readPlanSettingsFields(const QStringList& fields, PlanSettings& settings,
                                   const LocalTexts& texts);

} // namespace kvx
