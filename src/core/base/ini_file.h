#pragma once

// The configuration file Kvx.ini: a private-profile ("ini") file read and
// written with the Windows semantics the program relies on.

#include <QString>

#include <optional>

namespace kvx {

// The value of key in section of file; nothing (Empty) when the file, the
// section or the key is absent or the value is empty. Values are cut to 254
// characters.
// The program's configuration file and the settings it keeps. Names are
// compared without regard to letter case; these are the spellings written.
namespace Configuration {
inline const QString FileName = QStringLiteral("Kvx.ini");
inline const QString DataFileSection = QStringLiteral("Current lsp file");
inline const QString DataFileKey = QStringLiteral("Filename");
inline const QString DefaultDataFile = QStringLiteral("Basic.lsp");
inline const QString LanguageSection = QStringLiteral("Configuration");
inline const QString LanguageKey = QStringLiteral("Language");
// Metric or Imperial, in the LanguageSection.
inline const QString UnitsKey = QStringLiteral("Units");
} // namespace Configuration

std::optional<QString> ReadIniValue(const QString& section, const QString& key,
                                    const QString& file);

// Creates the file, the section and the key as needed and replaces an existing
// value; written atomically. A failed write is ignored (the return value only
// tells tests whether it worked).
bool WriteIniValue(const QString& section, const QString& key, const QString& value,
                   const QString& file);

} // namespace kvx
