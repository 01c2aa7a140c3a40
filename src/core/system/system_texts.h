#pragma once

// The words of system sizing: the names of the settings, the messages of the
// settings that cannot be used, the settings as project file fields, and the
// figures as labelled rows in groups, as the System page and its printed page
// show them (numbers rounded, in the user's locale, states in words).

#include "core/base/string_table.h"
#include "core/base/units.h"
#include "core/system/system.h"

#include <QStringList>

#include <vector>

namespace kvx {

// The string-table ids (English block) of system sizing's texts.
namespace SystemText {
// The System page and its tab.
constexpr int Title = 1400;
// The settings, in the order of the project file's fields.
constexpr int Ambient = 1401;
constexpr int Above = 1402;
constexpr int AmplifierRating = 1403;
constexpr int CableLength = 1404;
constexpr int CrossSection = 1405;
constexpr int LoadOnRun = 1406;
constexpr int DropLimit = 1409;
// The two loads on the run.
constexpr int FarEnd = 1407;
constexpr int Spread = 1408;
// The groups of figures.
constexpr int LoadGroup = 1410;
constexpr int AmplifierGroup = 1411;
constexpr int LineGroup = 1412;
constexpr int CableGroup = 1413;
constexpr int LevelGroup = 1414;
constexpr int AdviceGroup = 1415;
// The rows of the figures.
constexpr int Loudspeakers = 1416;
constexpr int TotalLoad = 1417;
constexpr int MinimumAmplifier = 1418;
constexpr int AmplifierLoad = 1419;
// Amplifier states.
constexpr int Fine = 1420;
constexpr int Tight = 1421;
constexpr int Overloaded = 1422;
constexpr int Impedance = 1423;
constexpr int Current = 1424;
constexpr int LoopResistance = 1425;
constexpr int LevelDrop = 1426;
constexpr int PowerLost = 1427;
constexpr int LongestRun = 1428;
constexpr int SmallestForRun = 1429;
constexpr int NoneListed = 1430;
// Drop states.
constexpr int DropGreen = 1431;
constexpr int DropAmber = 1432;
constexpr int DropRed = 1433;
constexpr int Required = 1434;
constexpr int Quietest = 1435;
// The level check.
constexpr int Met = 1436;
constexpr int ShortBy = 1437;
// The advice: the taps, or even the loudest short by.
constexpr int Advice = 1438;
constexpr int AdviceShort = 1439;
constexpr int TakeAdvice = 1440;
constexpr int CalculateFirst = 1441;
// The notes and the issues of the settings.
constexpr int EnterAmbient = 1442;
constexpr int EnterCableLength = 1443;
constexpr int AmbientOutOfRange = 1444;
constexpr int NotPositive = 1445;
constexpr int UnknownCrossSection = 1446;
constexpr int SettingsTitle = 1447;
constexpr int NotANumber = 1448;
// What an issue leaves out.
constexpr int LeftOutAmplifier = 1449;
constexpr int LeftOutCable = 1450;
constexpr int LeftOutRun = 1451;
constexpr int LeftOutLevel = 1452;
constexpr int SizingTitle = 1453;
constexpr int Settings = 1454;
constexpr int QuietestNote = 1455;
constexpr int QuietestAreaNote = 1512; // %1 the listener area's margin from the walls, m
// The main window's texts the figures reuse.
constexpr int AmplifierTap = 1018;
constexpr int SpeakerPower = 1020;
} // namespace SystemText

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

// Lengths (the cable's, the longest run) in metres, or feet in imperial units.
std::vector<FigureGroup> systemFigureGroups(const SystemFigures& figures, const LocalTexts& texts,
                                            Units units = Units::Metric);
// The issues and the hints for the settings not given, in order.
QStringList systemNotes(const SystemFigures& figures, const SystemSettings& settings, double margin,
                        const LocalTexts& texts, Units units = Units::Metric);

} // namespace kvx
