#pragma once

// The words of the layout settings: the names of the patterns and fits, the
// sentence of a layout that stretches the calculated spacing, and the
// settings as the fields of the project file's [Layout] record.

#include "core/base/string_table.h"
#include "core/calc/pattern.h"

#include <QStringList>

namespace kvx {

struct Design;
struct Layout;

// The string-table ids (English block) of the layout's texts.
namespace LayoutText {
constexpr int Pattern = 1570; // the main window's label of the pattern choice
constexpr int Square = 1571;
constexpr int Offset = 1572;
constexpr int Fit = 1573; // the label of the fit choice
constexpr int Nearest = 1574;
constexpr int KeepSpacing = 1575;
constexpr int ReportLine = 1576;       // the report's line, printed for offset rows only
constexpr int WorkingParagraph = 1577; // the Working window's paragraph on offset rows
constexpr int SpacingStretched = 1578; // %1 the excess in percent, %2 the fit's name
constexpr int UnknownSetting = 1579;   // %1 the value, %2 the setting, %3 the default used
constexpr int PatternTip = 1580;
constexpr int FitTip = 1581;
constexpr int PatternCaption = 1582; // the main window's captions, with their access keys
constexpr int FitCaption = 1583;
constexpr int SettingsTitle = 1584;    // the title of the messages on the [Layout] record
constexpr int OffsetRows = 1585;       // %1 rows, %2 and %3 loudspeakers in turn
constexpr int OffsetSpacing = 1586;    // %1 in the rows, %2 row pitch, %3 offset, %4 calculated
constexpr int KeepSpacingOffer = 1587; // the plan window's button that takes the kept spacing
} // namespace LayoutText

QString patternName(Pattern pattern, const LocalTexts& texts);
QString fitName(Fit fit, const LocalTexts& texts);

// The plan's sentence when the nearest count stretches the calculated
// spacing by more than 5 % (stretchesSpacing); empty otherwise.
QString stretchedSpacingText(const Design& design, const Layout& layout, const LocalTexts& texts);

// The fields of the [Layout] record in their fixed order (pattern, fit), and
// back. Reading keeps the default of a field it does not know (or that is
// missing) and returns a message naming each value it does not know.
QStringList layoutSettingsFields(const LayoutSettings& settings);
QStringList readLayoutSettingsFields(const QStringList& fields, LayoutSettings& settings,
                                     const LocalTexts& texts);

} // namespace kvx
