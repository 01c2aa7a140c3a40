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

} // namespace kvx::cli
