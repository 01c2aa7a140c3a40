#pragma once

// Reading numbers from field texts and writing them in the platform's number
// forms, always in an explicit locale.

#include <QLocale>
#include <QString>

#include <optional>

namespace kvx {

// The leading-number reader: blanks, tabs and line feeds anywhere are skipped;
// an optional sign; digits with one dot; an optional exponent E or D; &H and &O
// prefixes. Reading stops at the first character that does not fit; nothing
// read is 0. A number too large for a double gives nullopt (never infinity).
std::optional<double> ValChecked(const QString& text);
// As ValChecked, with an overflow read as 0; for callers that only test a sign.
double Val(const QString& text);

// Rounds to the nearest whole number, a half to the even neighbour, whatever
// the floating-point environment's rounding mode. NaN and the infinities come
// back as they are: the caller decides what they mean.
double roundHalfEven(double value);

// The text without the spaces (code 32 only) at both ends.
QString trimSpaces(const QString& text);

// A field's text as a number, a dot or a comma as decimal separator. Throws
// KvxError for a number too large to read.
double ParseDecimal(const QString& text);

// A whole text as a number, a dot or a comma as decimal separator, blanks at
// either end ignored: a setting in a field, a project file or on the command
// line. Nothing for a text that is no finite number (empty, a lone sign).
std::optional<double> readNumber(QString text);

// Mask "0.0": one decimal, rounded, at least one integer digit.
QString formatOneDecimal(double value, const QLocale& locale);
// Mask "0": rounded to a whole number.
QString formatWhole(double value, const QLocale& locale);
// General form of a double: up to 15 significant digits, no trailing zeros,
// no separator for whole values.
QString formatGeneral(double value, const QLocale& locale);
// The shortest text that reads back as the same double, with a dot and no
// group separator whatever the user's locale: numbers in files and settings.
QString exactNumber(double value);
// General form of a single-precision value: up to 7 significant digits.
QString formatGeneralSingle(float value, const QLocale& locale);

} // namespace kvx
