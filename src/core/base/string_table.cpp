#include "core/base/string_table.h"

#include "core/base/kvx_error.h"

#include <QFile>
#include <QStringList>

#include <iterator>
#include <utility>

namespace kvx {

namespace {
// Column order of the resource file after the id.
constexpr int kOffsetsByColumn[] = {0, 1000, 2000, 3000, 4000};
} // namespace

StringTable StringTable::fromTsv(QString tsv) {
    // Read in place, cell by cell: the table is read before the first window
    // is shown, and lists of every line and cell would only be thrown away.
    StringTable table;
    table.m_source = std::move(tsv);
    table.m_texts.reserve(table.m_source.count(u'\n') * std::size(kOffsetsByColumn));
    for (QStringView line : QStringView(table.m_source).tokenize(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        int column = 0;
        int id = 0;
        for (QStringView cell : line.tokenize(u'\t')) {
            if (column == 0) {
                bool ok = false;
                id = cell.toInt(&ok);
                if (!ok)
                    break; // header or comment
            } else if (column > 5) {
                break;
            } else if (!cell.isEmpty()) {
                table.m_texts.insert(id + kOffsetsByColumn[column - 1], cell);
            }
            ++column;
        }
    }
    return table;
}

const StringTable& StringTable::builtIn() {
    static const StringTable table = [] {
        QFile file(QStringLiteral(":/kvx/strings.tsv"));
        if (!file.open(QIODevice::ReadOnly))
            return StringTable{};
        return fromTsv(QString::fromUtf8(file.readAll()));
    }();
    return table;
}

std::optional<QString> StringTable::find(int id) const {
    const auto it = m_texts.constFind(id);
    if (it == m_texts.constEnd())
        return std::nullopt;
    return it->toString();
}

QString StringTable::text(int id) const {
    if (auto found = find(id))
        return *found;
    throw KvxError(QStringLiteral("Resource with identifier '%1' not found").arg(id));
}

QStringList StringTable::inEveryLanguage(int englishId) const {
    QStringList texts;
    for (const LanguageName& language : kLanguageNames) {
        if (const auto text = find(englishId + language.offset))
            texts << *text;
    }
    return texts;
}

QString LocalTexts::text(int englishId) const {
    if (auto found = strings.find(englishId + languageOffset))
        return *found;
    return strings.text(englishId);
}

int languageOffsetOf(const QString& name) {
    for (const LanguageName& known : kLanguageNames) {
        if (name == QLatin1String(known.name))
            return known.offset;
    }
    return LanguageOffsets::English;
}

QString languageName(int offset) {
    for (const LanguageName& known : kLanguageNames) {
        if (known.offset == offset && known.hasTexts)
            return QLatin1String(known.name);
    }
    return {};
}

} // namespace kvx
