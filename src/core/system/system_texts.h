#pragma once

// The words of system sizing: the names of the settings, the messages of the
// settings that cannot be used, the settings as project file fields, and the
// figures as labelled rows in groups, as the System page and its printed page
// show them (numbers rounded, in the user's locale, states in words).

#include "core/base/string_table.h"
#include "core/system/system.h"

#include <QStringList>

#include <vector>

namespace kvx {

constexpr int kSystemTitleId = 1400;
constexpr int kSystemSettingsTitleId = 1447;
constexpr int kSystemSizingTitleId = 1453;
constexpr int kTakeAdviceId = 1440;
constexpr int kCalculateFirstId = 1441;

QString systemSettingName(SystemSetting setting, const LocalTexts& texts);
// What is wrong with a setting and which figures are left out for it.
QString systemIssueText(const SystemIssue& issue, const LocalTexts& texts);
QString amplifierStateText(AmplifierState state, const LocalTexts& texts);
QString dropStateText(DropState state, const LocalTexts& texts);
// The cross-section as the user reads it: "1.5 mm²", "14 AWG".
QString crossSectionText(const CrossSection& section, const QLocale& locale);
// A cross-section setting as the user reads it; a name that is not listed as
// it stands, so that the user sees what is wrong with it.
QString crossSectionSettingText(const QString& name, const QLocale& locale);
// The names of the settings, in the order of the project file's fields.
QStringList systemSettingLabels(const LocalTexts& texts);

// The seven fields of the project file's [System] record, and back. Reading
// keeps the default of a field that is not a number (or not a load) and
// returns a message for each such field.
QStringList systemSettingsFields(const SystemSettings& settings);
QStringList readSystemSettingsFields(const QStringList& fields, SystemSettings& settings,
                                     const LocalTexts& texts);

enum class FigureTone { Plain, Good, Warning, Bad };

struct FigureRow {
    QString label;
    QString value;
    FigureTone tone = FigureTone::Plain;
};

struct FigureGroup {
    QString title;
    std::vector<FigureRow> rows;
};

std::vector<FigureGroup> systemFigureGroups(const SystemFigures& figures, const LocalTexts& texts);
// The issues and the hints for the settings not given, in order.
QStringList systemNotes(const SystemFigures& figures, const SystemSettings& settings,
                        const LocalTexts& texts);

} // namespace kvx
