#pragma once

// Metres or feet: the rules of the units a user chose. Lengths are metres
// inside the program and in every file; feet and inches live only in what a
// user types and reads. The window models, the project file, the plan and the
// command line take these rules and keep no unit arithmetic of their own.

#include <QChar>
#include <QLocale>
#include <QString>

#include <optional>

namespace kvx {

enum class Units { Metric, Imperial };

// The setting's word as Kvx.ini keeps it ("Metric", "Imperial").
QString unitsIniText(Units units);
// The word the command line and the building file take ("metric", "imperial").
QString unitsOptionText(Units units);
// Either word in any case, blanks around it ignored; nothing for any other text.
std::optional<Units> readUnits(const QString& text);

// Exact by definition.
constexpr double kMetresPerFoot = 0.3048;
constexpr double kMetresPerInch = 0.0254; // a twelfth of a foot

constexpr double feetToMetres(double feet) {
    return feet * kMetresPerFoot;
}
constexpr double metresToFeet(double metres) {
    return metres / kMetresPerFoot;
}

enum class LengthError {
    None,
    NotALength, // imperial: the text is none of the forms readLength lists
    TooLarge,   // a number beyond a double's range
};

struct LengthReading {
    double metres = 0;
    LengthError error = LengthError::None;
    bool ok() const { return error == LengthError::None; }
};

// A length field's text in metres. Metric reads it as every numeric field is
// read (ParseDecimal: a leading number, 0 for none). Imperial takes the whole
// text in one of these forms, a dot or a comma as decimal separator, blanks
// between the parts optional, "ft" and "in" in any case:
//   decimal feet             9.5   9,5   9.5'   9.5 ft
//   feet and inches          9'6"  9' 6"  9 ft 6 in  9'6  9' 6.5"  9'6''
//   inches alone             114"  114 in  6.5"  6''
// A sign may lead the whole text. Feet followed by inches are whole and the
// inches less than 12. An empty text is 0, as in metric, so that the window's
// checks say the same in both units.
LengthReading readLength(const QString& text, Units units);

// A length in feet with a fixed number of decimals, in the locale's separator:
// the spacing with kSpacingFeetDecimals ("11.8"), other lengths with
// kFeetDecimals ("9.50").
constexpr int kSpacingFeetDecimals = 1;
constexpr int kFeetDecimals = 2;
QString formatFeet(double metres, const QLocale& locale, int decimals = kFeetDecimals);

// A length in feet and inches to the nearest half inch, as the plan's
// dimensions show it: 9' 6½", 1' 0", 0' ½". The half is the character ½ so
// that the text needs no decimal separator and reads the same in every locale.
QString formatFeetInches(double metres);

// A length as the project file keeps it: metres to 4 decimals (0.1 mm), a dot
// as separator, trailing zeros left out ("2.8956", "304.8", "0").
QString metresFileText(double metres);

// The text a project file keeps for a length field: metric the field's text
// as it stands (as always); imperial the typed length in metres
// (metresFileText), an empty text kept empty. Nothing when readLength refuses
// the text: the caller names the field.
std::optional<QString> storedLengthText(const QString& fieldText, Units units);

// A length field's text for the text a project file keeps: metric as it
// stands; imperial the feet to 0.01 ft, trailing zeros left out, in the
// locale's separator ("9,5"). The kept text is read as a metric field is, so
// the feet are the metres a metric calculation would take; a blank text or a
// number too large stays as it stands.
QString shownLengthText(const QString& storedText, Units units, const QLocale& locale);

// A text that names metres after its numbers ("%1 m", "x (m)", or the bare
// symbol "m") naming the chosen unit instead ("%1 ft", "x (ft)", "ft"). The
// symbols are the same in all five languages, so one rule serves every
// translation; a metre that is not a length typed or shown (a sensitivity
// "at 1 m") is written without a placeholder and stays.
QString withLengthSymbol(const QString& text, Units units);

// The characters a length field takes beyond the digits, the one decimal
// separator and the leading sign of every numeric field: in imperial the
// feet and inch marks ' and ", the blank, and the letters of "ft" and "in" in
// either case, so that every form readLength lists can be typed; in metric none.
bool acceptsLengthCharacter(QChar c, Units units);

// The cross-section a new project starts with, as the system settings name
// it: 1.5 mm² in metric, 14 AWG in imperial.
QString defaultCrossSection(Units units);

namespace UnitsText {
constexpr int UnitsMenu = 1620;   // the menu entry that holds the two choices
constexpr int MetricEntry = 1621; // its choices, with access keys
constexpr int ImperialEntry = 1622;
constexpr int MetricName = 1623; // the choices without access keys
constexpr int ImperialName = 1624;
constexpr int Metre = 1625; // unit symbols after a number
constexpr int Foot = 1626;
constexpr int SquareMillimetre = 1627;
constexpr int Awg = 1628;
constexpr int MetreLabel = 1629; // the labels beside a field
constexpr int FootLabel = 1630;
constexpr int NotALengthInFeet = 1631;   // %1 the field, %2 its text
constexpr int ImperialFilterHint = 1632; // the filter's message for a length field in imperial
} // namespace UnitsText

// The ids that name a unit for the chosen units.
int lengthSymbolId(Units units);
int lengthLabelId(Units units);
int crossSectionSymbolId(Units units);

} // namespace kvx
