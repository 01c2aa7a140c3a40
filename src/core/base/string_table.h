#pragma once

// The string table: every text of the user interface, keyed by number. Each
// language is a block of ids with the same relative numbering: a text's id is
// its English id (1000 to 1125) plus the language's offset. The table is a
// tab-separated file compiled in as a resource: one row per English id, one
// column per language.

#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace kvx {

class StringTable {
public:
    // The table built into the program.
    static const StringTable& builtIn();

    // Reads a table in the resource's format; rows that are not "id<TAB>texts" are skipped.
    static StringTable fromTsv(QString tsv);

    std::optional<QString> find(int id) const;
    // The text of an id; an absent id is a failure (KvxError), never an empty text.
    QString text(int id) const;
    // The texts of an English id in every language that has it, English first.
    QStringList inEveryLanguage(int englishId) const;
    bool contains(int id) const { return m_texts.contains(id); }
    int size() const { return int(m_texts.size()); }

private:
    // The texts stay where they are in the table's text, which the table
    // keeps: a start reads every language's texts and uses few of them.
    QString m_source;
    QHash<int, QStringView> m_texts;
};

// The texts of one language and the locale its numbers are shown in: what a
// routine needs to put its results into words, without the program's state.
struct LocalTexts {
    const StringTable& strings;
    int languageOffset = 0;
    QLocale locale;

    // The text of an English id in this language; an id that the language's
    // block lacks falls back to the English text.
    QString text(int englishId) const;
};

// Language offsets by the names stored in the configuration file.
namespace LanguageOffsets {
constexpr int English = 0;
constexpr int Dutch = 1000;
constexpr int French = 2000;
constexpr int Italian = 3000;
constexpr int German = 4000;
constexpr int Spanish = 5000;
} // namespace LanguageOffsets

struct LanguageName {
    const char* name; // as the configuration file stores it
    int offset;
    bool hasTexts; // Spanish has an offset and no texts
};

// Every language the configuration file may name, in the order of the offsets.
inline constexpr LanguageName kLanguageNames[] = {
    {"English", LanguageOffsets::English, true}, {"Dutch", LanguageOffsets::Dutch, true},
    {"French", LanguageOffsets::French, true},   {"Italian", LanguageOffsets::Italian, true},
    {"German", LanguageOffsets::German, true},   {"Spanish", LanguageOffsets::Spanish, false},
};

// The offset of a language by its stored name: exact names only; anything
// else, whatever its letter case, is English.
int languageOffsetOf(const QString& name);
// The stored name of a language with texts ("German" for 4000); empty for any
// other offset.
QString languageName(int offset);

} // namespace kvx
