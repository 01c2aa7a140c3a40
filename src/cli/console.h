#pragma once

#include "core/base/string_table.h"

#include <QString>

namespace kvx::cli {

// Text to standard output or standard error, in UTF-8, as it stands.
void writeOut(const QString& text);
void writeErr(const QString& text);
// "kvx-cli: message" and a line end, to standard error.
void complain(const QString& message);

// One run speaks one language: main() chooses it once, before the first
// message (--language, else the Language of Kvx.ini, else English), and every
// message kvx-cli words itself is a text of the string table in it.
void setRunLanguage(int languageOffset);
int runLanguage();
// A text of the string table (by its English id) in the run's language.
QString said(int englishId);
// The run's texts, numbers in locale.
LocalTexts runTexts(const QLocale& locale);

// The string-table texts (English ids) of kvx-cli's own messages; the general
// ones are the building readers', which say the same of a value or a file.
namespace CliText {
constexpr int NotAnOption = 1536;     // %1 option, %2 command
constexpr int TryHelp = 1537;         // %1 the help's command line
constexpr int NeedsValue = 1538;      // %1 option
constexpr int TakesNoValue = 1539;    // %1 option
constexpr int NotOpened = 1540;       // %1 file
constexpr int Expected = 1541;        // %1 the command's usage, as the help writes it
constexpr int SameFile = 1542;        // %1, %2 options
constexpr int IsFileRead = 1543;      // %1 file
constexpr int HoldsProject = 1544;    // %1 file
constexpr int NotWritten = 1545;      // %1 file
constexpr int NoSuchFile = 1546;      // a reason for CannotRead
constexpr int IsFolder = 1547;        // a reason for CannotRead
constexpr int NeedsModule = 1548;     // %1 file, %2 module, %3 why it did not load
constexpr int TypesWritten = 1549;    // %1 file, %2 count
constexpr int CannotRead = 1731;      // %1 file, %2 reason
constexpr int CannotWrite = 1732;     // %1 file, %2 reason
constexpr int NotANumber = 1753;      // %1 value
constexpr int OutOfRangeAbove = 1755; // %1 value, above %2, at most %3
constexpr int OutOfRange = 1756;      // %1 value, from %2 to %3
constexpr int NotOneOf = 1757;        // %1 value, %2 the list
constexpr int NoValue = 1768;
constexpr int NotAValueFor = 1899; // %1 value, %2 what it is for
} // namespace CliText

// Why path cannot be read, in the run's words where it is plain (no such
// file, a folder); else the system's reason.
QString whyUnreadable(const QString& path, const QString& systemReason);

// A text's %1, %2... filled with values in one pass, so that a value that
// holds a % sign stays as it is.
QString filled(const QString& text, const QStringList& values);

} // namespace kvx::cli
