#include "core/base/ini_file.h"

#include "core/base/save_file.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>

// The file is handled as bytes in Windows-1252, one byte per character, so a
// name or value can be measured and cut before it is decoded, and the lines we
// do not touch are written back byte for byte. The file is never held as a
// list of lines: a huge or binary file costs one pass and its own size.

namespace kvx {

namespace {

// What the platform's 255-character buffer leaves of a value.
constexpr qsizetype kMaxValueLength = 254;
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView kLineEnd("\r\n");

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QString decode(QByteArrayView bytes) {
    QStringDecoder decoder(kCodePage, QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

std::optional<QByteArray> encode(const QString& text) {
    QStringEncoder encoder(kCodePage, QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

// Calls f(index, raw, text) for every line: raw is the line as stored (without
// its line end), text the same without a leading byte order mark. f returns
// false to stop.
template <typename F>
void forEachLine(QByteArrayView data, F&& f) {
    qsizetype start = 0;
    qsizetype index = 0;
    while (start < data.size()) {
        const void* found = std::memchr(data.data() + start, '\n', size_t(data.size() - start));
        const qsizetype newline =
            found ? qsizetype(static_cast<const char*>(found) - data.data()) : data.size();
        QByteArrayView raw = data.sliced(start, newline - start);
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QByteArrayView text =
            index == 0 && raw.startsWith(kUtf8Bom) ? raw.sliced(kUtf8Bom.size()) : raw;
        if (!f(index, raw, text))
            return;
        start = newline + 1;
        ++index;
    }
}

// The name of a section header line ("[name]", up to its last bracket).
std::optional<QByteArrayView> sectionName(QByteArrayView line) {
    const QByteArrayView text = trimmed(line);
    if (!text.startsWith('['))
        return std::nullopt;
    const qsizetype close = text.lastIndexOf(']');
    if (close < 1)
        return std::nullopt;
    return trimmed(text.sliced(1, close - 1));
}

struct Entry {
    QByteArrayView key;
    QByteArrayView value;
};

// A setting line "key=value"; a line without an equals sign is a key without value.
std::optional<Entry> entryOf(QByteArrayView line) {
    const qsizetype equals = line.indexOf('=');
    if (equals < 0) {
        const QByteArrayView key = trimmed(line);
        if (key.isEmpty())
            return std::nullopt;
        return Entry{key, {}};
    }
    return Entry{trimmed(line.first(equals)), trimmed(line.sliced(equals + 1))};
}

// Names are compared without regard to letter case. In a one-byte code page
// equal names have equal byte lengths, so only candidates of the right length
// are decoded.
bool sameName(QByteArrayView stored, const QString& wanted, qsizetype wantedBytes) {
    return stored.size() == wantedBytes && decode(stored).compare(wanted, Qt::CaseInsensitive) == 0;
}

// Where a key stands in the file: the first section of that name and the key's
// first line in it.
struct Location {
    qsizetype sectionLine = -1;
    qsizetype keyLine = -1;
    // Last non-blank line of the section; a new key goes after it.
    qsizetype lastContentLine = -1;
    QByteArrayView keyText;
    QByteArrayView value;
};

Location locate(QByteArrayView data, const QString& section, const QString& key) {
    Location where;
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    bool inSection = false;
    forEachLine(data, [&](qsizetype index, QByteArrayView, QByteArrayView text) {
        if (const auto name = sectionName(text)) {
            if (inSection)
                return false; // the first matching section is the only one read
            if (sameName(*name, wantedSection, wantedSection.size())) {
                inSection = true;
                where.sectionLine = index;
                where.lastContentLine = index;
            }
            return true;
        }
        if (!inSection)
            return true;
        if (!trimmed(text).isEmpty())
            where.lastContentLine = index;
        if (where.keyLine < 0) {
            if (const auto entry = entryOf(text);
                entry && sameName(entry->key, wantedKey, wantedKey.size())) {
                where.keyLine = index;
                where.keyText = entry->key;
                where.value = entry->value;
            }
        }
        return true;
    });
    return where;
}

// The file the caller means: the path as given when it exists, otherwise a
// file in the same folder whose name differs only in letter case.
QString resolvePath(const QString& file) {
    const QFileInfo info(file);
    if (info.exists() || info.isSymLink())
        return file;
    const QDir folder = info.absoluteDir();
    const QString name = info.fileName();
    const QStringList entries =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    }
    return file;
}

enum class Contents { Absent, Read, Unreadable };

Contents readFile(const QString& path, QByteArray& data) {
    const QFileInfo info(path);
    if (!info.exists())
        return Contents::Absent;
    if (!info.isFile())
        return Contents::Unreadable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Contents::Unreadable;
    data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Contents::Unreadable;
    return Contents::Read;
}

// A name that the file can hold and give back: no line breaks, no blanks at
// the ends (they would be trimmed on reading), not mistaken for a header.
bool storableName(const QString& name, bool isKey) {
    if (name.isEmpty() || name != name.trimmed())
        return false;
    if (name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r')) ||
        name.contains(QChar(0)))
        return false;
    return !isKey || (!name.contains(QLatin1Char('=')) && !name.startsWith(QLatin1Char('[')));
}

} // namespace

std::optional<QString> ReadIniValue(const QString& section, const QString& key,
                                    const QString& file) {
    QByteArray data;
    if (readFile(resolvePath(file), data) != Contents::Read)
        return std::nullopt;
    const Location where = locate(data, section, key);
    if (where.keyLine < 0 || where.value.isEmpty())
        return std::nullopt;
    return decode(where.value.first(std::min(where.value.size(), kMaxValueLength)));
}

bool WriteIniValue(const QString& section, const QString& key, const QString& value,
                   const QString& file) {
    // A value with a line break would split into lines that read back as
    // something else; such a value is not stored rather than stored wrong.
    if (!storableName(section, false) || !storableName(key, true) ||
        value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')) ||
        value.contains(QChar(0)))
        return false;
    const auto sectionBytes = encode(section);
    const auto keyBytes = encode(key);
    const auto valueBytes = encode(value);
    if (!sectionBytes || !keyBytes || !valueBytes)
        return false;

    const QString path = resolvePath(file);
    QByteArray data;
    if (readFile(path, data) == Contents::Unreadable)
        return false;
    const Location where = locate(data, section, key);

    QByteArray output;
    output.reserve(data.size() + sectionBytes->size() + keyBytes->size() + valueBytes->size() + 16);
    const auto appendSetting = [&](QByteArrayView keyText) {
        output.append(keyText).append('=').append(*valueBytes).append(kLineEnd);
    };
    forEachLine(data, [&](qsizetype index, QByteArrayView raw, QByteArrayView) {
        if (index == where.keyLine) {
            // Replaced in place; the key keeps the spelling the file gave it.
            appendSetting(where.keyText);
            return true;
        }
        output.append(raw).append(kLineEnd);
        if (where.keyLine < 0 && index == where.lastContentLine)
            appendSetting(*keyBytes);
        return true;
    });
    if (where.sectionLine < 0) {
        output.append('[').append(*sectionBytes).append(']').append(kLineEnd);
        appendSetting(*keyBytes);
    }

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    return writeSaveFile(out, output);
}

} // namespace kvx
