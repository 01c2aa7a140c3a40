#pragma once

// The words of the speech estimate: the names of the settings, the messages of
// the settings that cannot be used and of a reverberation time the room does
// not allow, the settings as project file fields, and the figures as labelled
// rows in groups for the Speech page and its printed page (numbers rounded, in
// the user's locale), in the form the System page uses (FigureGroup).

#include "core/base/string_table.h"
#include "core/speech/speech.h"
#include "core/system/system_texts.h"

#include <QStringList>

#include <vector>

namespace kvx {

// The string-table ids (English block) of the speech texts.
namespace SpeechText {
constexpr int Page = 1670; // the page's name
constexpr int SettingsTitle = 1671;
constexpr int Reverberation = 1672; // the settings' labels
constexpr int Target = 1673;
// The ambient noise is one setting shown on the System and the Speech page:
// the same words on both.
constexpr int Ambient = 1401;
constexpr int RoomTitle = 1674;
constexpr int LoudspeakersTitle = 1675;
constexpr int StiTitle = 1676;
constexpr int Volume = 1677; // the figures' labels
constexpr int Surface = 1678;
constexpr int Absorption = 1679;
constexpr int RoomConstant = 1680;
constexpr int Count = 1681;
constexpr int Directivity = 1682;
constexpr int PowerLevel = 1683;
constexpr int ReverberantLevel = 1684;
constexpr int CriticalDistance = 1685;
constexpr int Mean = 1686;
constexpr int Minimum = 1687;
constexpr int Maximum = 1688;
constexpr int ShareAtTarget = 1689;
constexpr int Met = 1690;
constexpr int Short = 1691;
constexpr int TooShort = 1692;    // the reverberation time the room does not allow, and its least
constexpr int NotPositive = 1693; // a bad setting, and what it leaves out
constexpr int AmbientOutOfRange = 1694;
constexpr int TargetOutOfRange = 1695;
constexpr int NotANumber = 1696; // a project file's field that is not a number
constexpr int EnterReverberation = 1697;
constexpr int TooLargeForMap = 1698;
constexpr int LeavesOut = 1699; // what the estimate leaves out
constexpr int ValueAt = 1700;   // the STI under the pointer
constexpr int PointAtMap = 1701;
constexpr int MapTitle = 1702;
constexpr int PageTitle = 1703; // the design PDF's page
// The plan window's tab, its access key apart from the window's others.
constexpr int Tab = 1704;
} // namespace SpeechText

QString speechSettingName(SpeechSetting setting, const LocalTexts& texts);
// What is wrong with a setting and which figures are left out for it.
QString speechIssueText(const SpeechIssue& issue, const LocalTexts& texts);
// The reverberation time is too short for the room: the time as given and the
// least the room allows, rounded up to what the user can enter.
QString tooShortText(double reverberation, double shortest, const LocalTexts& texts);
// The names of the settings as the page shows them: reverberation, ambient, target.
QStringList speechSettingLabels(const LocalTexts& texts);

// The two fields of the project file's [Speech] record (reverberation,
// target), and back. Reading keeps the default of a field that is not a
// number and returns a message for each such field.
QStringList speechSettingsFields(const SpeechSettings& settings);
QStringList readSpeechSettingsFields(const QStringList& fields, SpeechSettings& settings,
                                     const LocalTexts& texts);

// The figures in groups (room, loudspeakers, STI): none without a
// reverberation time or with one the room does not allow.
// The critical distance in metres, or feet in imperial units.
std::vector<FigureGroup> speechFigureGroups(const SpeechFigures& figures, const LocalTexts& texts,
                                            Units units = Units::Metric);
// The refusal, the issues, the hints and, beside an estimate, what it leaves
// out, in order.
QStringList speechNotes(const SpeechFigures& figures, const LocalTexts& texts);

} // namespace kvx
