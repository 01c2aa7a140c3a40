#include "core/building/room_list.h"

#include "core/base/numbers.h"
#include "core/base/save_file.h"
#include "core/building/building_file.h"

#include <QHash>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>

#include <array>
#include <cmath>

namespace kvx {

namespace {

using Kind = BuildingError::Kind;

enum Column {
    Name,
    ZoneName,
    Quantity,
    Length,
    Width,
    Height,
    Ear,
    Type,
    Angle1,
    Angle4,
    Sensitivity,
    RatedPower,
    Tap,
    Difference,
    PatternColumn,
    Margin,
    Ambient,
    Above,
    Reverberation,
    ColumnCount
};

// Fields of a line beyond this many are not kept; they must be empty.
constexpr int kMaxFields = 1000;

constexpr std::array<Column, 4> kLoudspeakerValues = {Angle1, Angle4, Sensitivity, RatedPower};
constexpr std::array<Column, 5> kRequired = {Name, Length, Width, Height, Ear};

struct Field {
    QString text;
    bool quoted = false;
    int line = 0;
};

struct Refusal {
    BuildingError error;
};

BuildingError fault(Kind kind, const QString& file, int line, int column, const QString& key) {
    BuildingError e;
    e.kind = kind;
    e.file = file;
    e.line = line;
    e.column = column;
    e.key = key;
    return e;
}

// Splits the text into records of fields, RFC 4180 style: a field that starts
// (after blanks) with a double quote runs to the closing one, "" standing for
// a quote and separators and line breaks kept; any other field runs to the
// next separator or line end and loses its surrounding blanks.
class Records {
public:
    Records(QStringView text, QChar separator, const QString& file)
        : m_text(text)
        , m_separator(separator)
        , m_file(file) {}

    // The next record; false at the end of the text.
    bool next(QList<Field>& fields) {
        const qsizetype n = m_text.size();
        if (m_pos >= n)
            return false;
        fields.clear();
        for (int column = 0;;) {
            Field field;
            field.line = m_line;
            const qsizetype start = m_pos;
            skipBlanks();
            if (m_pos < n && m_text[m_pos] == u'"') {
                field.quoted = true;
                field.text = quoted(column + 1);
                skipBlanks();
                if (m_pos < n && !endsField(m_text[m_pos]))
                    throw Refusal{fault(Kind::TextAfterQuote, m_file, m_line, column + 1, {})};
            } else {
                m_pos = start;
                while (m_pos < n && !endsField(m_text[m_pos]))
                    ++m_pos;
                field.text = m_text.sliced(start, m_pos - start).trimmed().toString();
            }
            // A line of nothing but separators must not fill the memory.
            if (column < kMaxFields)
                fields.append(field);
            else if (field.quoted || !field.text.isEmpty())
                throw Refusal{fault(Kind::ExtraValue, m_file, field.line, column + 1, {})};
            ++column;
            if (m_pos < n && m_text[m_pos] == m_separator) {
                ++m_pos;
                continue;
            }
            if (m_pos < n && m_text[m_pos] == u'\r')
                ++m_pos;
            if (m_pos < n && m_text[m_pos] == u'\n')
                ++m_pos;
            ++m_line;
            return true;
        }
    }

    int line() const { return m_line; }

private:
    bool endsField(QChar c) const { return c == m_separator || c == u'\r' || c == u'\n'; }

    void skipBlanks() {
        while (m_pos < m_text.size() && (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t'))
            ++m_pos;
    }

    // The text of a quoted field, from its opening quote past its closing one.
    QString quoted(int column) {
        const int startLine = m_line;
        QString value;
        for (++m_pos;; ++m_pos) {
            if (m_pos >= m_text.size())
                throw Refusal{fault(Kind::UnclosedQuote, m_file, startLine, column, {})};
            const QChar c = m_text[m_pos];
            if (c == u'"') {
                if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'"') {
                    value += u'"';
                    ++m_pos;
                    continue;
                }
                ++m_pos;
                return value;
            }
            // Every line end inside a field, CR LF or CR alone, is kept as a line feed.
            if (c == u'\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n')
                continue;
            if (c == u'\r' || c == u'\n') {
                ++m_line;
                value += u'\n';
                continue;
            }
            value += c;
        }
    }

    QStringView m_text;
    QChar m_separator;
    QString m_file;
    qsizetype m_pos = 0;
    int m_line = 1;
};

bool isBlank(const QList<Field>& fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [](const Field& f) { return !f.quoted && f.text.isEmpty(); });
}

// The UTF-8 text, or Windows-1252 when the bytes are not UTF-8.
QString decode(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows1252("windows-1252");
    return windows1252.decode(bytes);
}

QChar separatorOf(QStringView text) {
    const QStringView first = text.left(text.indexOf(u'\n'));
    return first.count(u';') > first.count(u',') ? u';' : u',';
}

QString numberText(double value, QChar separator) {
    QString text = exactNumber(value);
    if (separator == u';')
        text.replace(u'.', u',');
    return text;
}

// A number as a spreadsheet writes it: the C form, with ";" a decimal comma
// too; no thousands separators.
std::optional<double> readCsvNumber(QString text, QChar separator) {
    if (separator == u';')
        text.replace(u',', u'.');
    static const QLocale c = [] {
        QLocale locale = QLocale::c();
        locale.setNumberOptions(QLocale::RejectGroupSeparator);
        return locale;
    }();
    bool ok = false;
    const double value = c.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value + 0.0; // +0 for -0
}

class ListReader {
public:
    ListReader(const QString& file, const QList<LspRecord>& catalogue)
        : m_file(file)
        , m_catalogue(catalogue) {}

    RoomList read(QStringView text) {
        m_separator = separatorOf(text);
        Records records(text, m_separator, m_file);
        QList<Field> fields;
        do {
            if (!records.next(fields)) {
                BuildingError e;
                e.kind = Kind::EmptyList;
                e.file = m_file;
                throw Refusal{e};
            }
        } while (isBlank(fields));
        header(fields);

        RoomList list;
        QHash<QString, bool> zones;
        for (;;) {
            const int line = records.line();
            if (!records.next(fields))
                break;
            if (isBlank(fields))
                continue;
            if (list.rooms.size() == BuildingLimits::MaxRooms)
                throw Refusal{fault(Kind::TooManyRooms, m_file, line, 0, {})};
            m_room = int(list.rooms.size() + 1);
            list.rooms.append(room(fields, line));
            const QString& zone = list.rooms.back().zone;
            if (!zone.isEmpty() && !zones.contains(zone)) {
                zones.insert(zone, true);
                Zone z;
                z.name = zone;
                list.zones.append(z);
            }
        }
        return list;
    }

private:
    void header(const QList<Field>& fields) {
        m_headerLine = fields.front().line;
        m_columns.fill(-1);
        m_width = int(fields.size());
        m_blankColumns.clear();
        for (int i = 0; i < fields.size(); ++i) {
            const QString name = fields[i].text.trimmed();
            if (name.isEmpty()) {
                m_blankColumns.append(i);
                continue;
            }
            // A schedule's figures are results, not inputs: read as if absent.
            if (std::any_of(roomFigureColumns().begin(), roomFigureColumns().end(),
                            [&name](const QString& c) {
                                return c.compare(name, Qt::CaseInsensitive) == 0;
                            }))
                continue;
            const auto match = std::find_if(
                roomListColumns().begin(), roomListColumns().end(),
                [&name](const QString& c) { return c.compare(name, Qt::CaseInsensitive) == 0; });
            const qsizetype known =
                match == roomListColumns().end() ? -1 : match - roomListColumns().begin();
            if (known < 0) {
                BuildingError e = fault(Kind::UnknownColumn, m_file, m_headerLine, i + 1, name);
                e.value = name;
                e.allowed = roomListColumns().join(QLatin1String(", "));
                throw Refusal{e};
            }
            if (m_columns[size_t(known)] >= 0) {
                BuildingError e = fault(Kind::DuplicateColumn, m_file, m_headerLine, i + 1, name);
                e.otherColumn = m_columns[size_t(known)] + 1;
                throw Refusal{e};
            }
            m_columns[size_t(known)] = i;
        }
        for (Column c : kRequired)
            requireColumn(c);
        const auto present = [this](Column c) { return m_columns[c] >= 0; };
        if (std::any_of(kLoudspeakerValues.begin(), kLoudspeakerValues.end(), present)) {
            for (Column c : kLoudspeakerValues)
                requireColumn(c);
        } else if (!present(Type)) {
            throw Refusal{
                fault(Kind::MissingColumn, m_file, m_headerLine, 0, QStringLiteral("type"))};
        }
    }

    void requireColumn(Column c) const {
        if (m_columns[c] < 0)
            throw Refusal{fault(Kind::MissingColumn, m_file, m_headerLine, 0, columnName(c))};
    }

    static QString columnName(Column c) { return roomListColumns()[c]; }

    BuildingError at(Kind kind, Column c) const {
        const int index = m_columns[c];
        const bool given = index >= 0 && index < m_fields->size();
        BuildingError e =
            fault(kind, m_file, given ? (*m_fields)[index].line : m_line, index + 1, columnName(c));
        e.room = m_room;
        e.roomName = m_roomName;
        return e;
    }

    // The field of a column, empty when the column or the field is absent.
    QString text(Column c) const {
        const int index = m_columns[c];
        return index >= 0 && index < m_fields->size() ? (*m_fields)[index].text : QString();
    }

    std::optional<double> optionalNumber(Column c, const ValueRange& range) const {
        const QString field = text(c).trimmed();
        if (field.isEmpty())
            return std::nullopt;
        const std::optional<double> value = readCsvNumber(field, m_separator);
        if (!value || (range.whole && std::floor(*value) != *value)) {
            BuildingError e = at(Kind::WrongKind, c);
            e.expected = range.whole ? ValueKind::WholeNumber : ValueKind::Number;
            e.value = field;
            throw Refusal{e};
        }
        if (!range.contains(*value)) {
            BuildingError e = at(Kind::OutOfRange, c);
            e.value = field;
            e.range = range;
            throw Refusal{e};
        }
        return value;
    }

    // A number; an empty field gives the fallback, or is a fault without one.
    double number(Column c, const ValueRange& range,
                  std::optional<double> fallback = std::nullopt) const {
        if (const auto value = optionalNumber(c, range))
            return *value;
        if (!fallback)
            throw Refusal{at(Kind::NoValue, c)};
        return *fallback;
    }

    Room room(const QList<Field>& fields, int line) {
        m_fields = &fields;
        m_line = line;
        for (int i = 0; i < fields.size(); ++i) {
            const bool beyond = i >= m_width || m_blankColumns.contains(i);
            if (beyond && (fields[i].quoted || !fields[i].text.isEmpty())) {
                BuildingError e = fault(Kind::ExtraValue, m_file, fields[i].line, i + 1, {});
                e.room = m_room;
                throw Refusal{e};
            }
        }
        Room r;
        r.name = text(Name);
        m_roomName = r.name;
        r.zone = text(ZoneName);
        r.quantity = int(number(Quantity, BuildingLimits::Quantity, r.quantity));
        r.length = number(Length, BuildingLimits::Side);
        r.width = number(Width, BuildingLimits::Side);
        r.height = number(Height, BuildingLimits::Height);
        r.ear = number(Ear, BuildingLimits::Ear);
        r.loudspeaker = loudspeaker();

        const QString tap = text(Tap).trimmed();
        if (!tap.isEmpty()) {
            const auto known = tapFromText(tap);
            if (!known)
                unknownValue(Tap, tap, QStringLiteral("1/1, 1/2, 1/4"));
            r.tap = *known;
        }
        r.difference = number(Difference, BuildingLimits::Difference, r.difference);
        const QString pattern = text(PatternColumn).trimmed();
        if (!pattern.isEmpty()) {
            r.pattern = patternFromToken(pattern.toLower());
            if (!r.pattern)
                unknownValue(PatternColumn, pattern, QStringLiteral("square, offset"));
        }
        r.margin = number(Margin, BuildingLimits::Margin, r.margin);
        r.ambient = optionalNumber(Ambient, BuildingLimits::Ambient);
        r.above = number(Above, BuildingLimits::Above, r.above);
        r.reverberation = optionalNumber(Reverberation, BuildingLimits::Reverberation);
        m_roomName.clear();
        return r;
    }

    [[noreturn]] void unknownValue(Column c, const QString& value, const QString& allowed) const {
        BuildingError e = at(Kind::UnknownValue, c);
        e.value = value;
        e.allowed = allowed;
        throw Refusal{e};
    }

    // The four values when they are given, else the catalogue type's.
    RoomLoudspeaker loudspeaker() {
        RoomLoudspeaker l;
        l.type = text(Type).trimmed();
        int given = 0;
        for (Column c : kLoudspeakerValues)
            given += text(c).trimmed().isEmpty() ? 0 : 1;
        if (given > 0) {
            l.angle1 = number(Angle1, BuildingLimits::Angle);
            l.angle4 = number(Angle4, BuildingLimits::Angle);
            l.sensitivity = number(Sensitivity, BuildingLimits::Sensitivity);
            l.ratedPower = number(RatedPower, BuildingLimits::Power);
            return l;
        }
        if (l.type.isEmpty())
            throw Refusal{at(Kind::NoValue, m_columns[Type] >= 0 ? Type : Angle1)};
        const LspRecord* record = catalogueRecord(l.type);
        if (!record) {
            BuildingError e = at(Kind::UnknownType, Type);
            e.value = l.type;
            throw Refusal{e};
        }
        l = loudspeakerOf(*record);
        // A catalogue may hold values no room can have.
        const std::pair<double, ValueRange> values[] = {
            {l.angle1, BuildingLimits::Angle},
            {l.angle4, BuildingLimits::Angle},
            {l.sensitivity, BuildingLimits::Sensitivity},
            {l.ratedPower, BuildingLimits::Power}};
        for (const auto& [value, range] : values) {
            if (!range.contains(value)) {
                BuildingError e = at(Kind::OutOfRange, Type);
                e.value = QString::number(value, 'g', QLocale::FloatingPointShortest);
                e.range = range;
                throw Refusal{e};
            }
        }
        return l;
    }

    const LspRecord* catalogueRecord(const QString& type) {
        if (m_types.isEmpty()) {
            for (const LspRecord& record : m_catalogue) {
                const QString name = catalogueTypeName(record);
                if (!m_types.contains(name))
                    m_types.insert(name, &record);
            }
        }
        return m_types.value(type, nullptr);
    }

    QString m_file;
    const QList<LspRecord>& m_catalogue;
    QHash<QString, const LspRecord*> m_types;
    QChar m_separator = u',';
    std::array<int, ColumnCount> m_columns{};
    QList<int> m_blankColumns;
    int m_width = 0;
    int m_headerLine = 1;
    const QList<Field>* m_fields = nullptr;
    int m_line = 0;
    int m_room = 0;
    QString m_roomName;
};

} // namespace

QString csvText(QString text) {
    return u'"' + text.replace(u'"', QLatin1String("\"\"")) + u'"';
}

QString csvNumber(double value, CsvSeparator separator) {
    return numberText(value, separator == CsvSeparator::Semicolon ? u';' : u',');
}

const QStringList& roomFigureColumns() {
    static const QStringList columns = {
        QStringLiteral("spacing"),       QStringLiteral("columns"),
        QStringLiteral("rows"),          QStringLiteral("count"),
        QStringLiteral("speakerPower"),  QStringLiteral("directLevel"),
        QStringLiteral("difference1"),   QStringLiteral("min1k"),
        QStringLiteral("spread1k"),      QStringLiteral("withinSet4k"),
        QStringLiteral("levelRequired"), QStringLiteral("levelQuietest"),
        QStringLiteral("levelMet"),      QStringLiteral("stiMean"),
        QStringLiteral("stiMin"),        QStringLiteral("loudspeakers"),
        QStringLiteral("load"),          QStringLiteral("error")};
    return columns;
}

const QStringList& roomListColumns() {
    static const QStringList columns = {
        QStringLiteral("name"),         QStringLiteral("zone"),        QStringLiteral("quantity"),
        QStringLiteral("length"),       QStringLiteral("width"),       QStringLiteral("height"),
        QStringLiteral("ear"),          QStringLiteral("type"),        QStringLiteral("angle1"),
        QStringLiteral("angle4"),       QStringLiteral("sensitivity"), QStringLiteral("ratedPower"),
        QStringLiteral("tap"),          QStringLiteral("difference"),  QStringLiteral("pattern"),
        QStringLiteral("margin"),       QStringLiteral("ambient"),     QStringLiteral("above"),
        QStringLiteral("reverberation")};
    return columns;
}

RoomListRead parseRoomList(QByteArrayView bytes, const QList<LspRecord>& catalogue,
                           const QString& fileName) {
    if (bytes.size() > BuildingLimits::MaxFileBytes) {
        BuildingError e;
        e.kind = Kind::TooLarge;
        e.file = fileName;
        return RoomListRead{std::nullopt, e};
    }
    try {
        return RoomListRead{ListReader(fileName, catalogue).read(decode(bytes)), std::nullopt};
    } catch (const Refusal& refusal) {
        return RoomListRead{std::nullopt, refusal.error};
    }
}

RoomListRead readRoomListFile(const QString& path, const QList<LspRecord>& catalogue) {
    BuildingError error;
    const std::optional<QByteArray> bytes = readBuildingBytes(path, error);
    if (!bytes)
        return RoomListRead{std::nullopt, error};
    return parseRoomList(*bytes, catalogue, path);
}

void addRoomList(Building& building, const RoomList& list) {
    QHash<QString, bool> known;
    for (const Zone& zone : std::as_const(building.zones))
        known.insert(zone.name, true);
    for (const Zone& zone : list.zones) {
        if (!known.contains(zone.name)) {
            known.insert(zone.name, true);
            building.zones.append(zone);
        }
    }
    building.rooms.append(list.rooms);
}

QStringList roomListFields(const Room& r, CsvSeparator separator) {
    const auto number = [separator](double value) { return csvNumber(value, separator); };
    const auto optional = [&number](std::optional<double> value) {
        return value ? number(*value) : QString();
    };
    return {csvText(r.name),
            csvText(r.zone),
            QString::number(r.quantity),
            number(r.length),
            number(r.width),
            number(r.height),
            number(r.ear),
            csvText(r.loudspeaker.type),
            number(r.loudspeaker.angle1),
            number(r.loudspeaker.angle4),
            number(r.loudspeaker.sensitivity),
            number(r.loudspeaker.ratedPower),
            tapText(r.tap),
            number(r.difference),
            r.pattern ? patternToken(*r.pattern) : QString(),
            number(r.margin),
            optional(r.ambient),
            number(r.above),
            optional(r.reverberation)};
}

QByteArray csvBytes(const QStringList& header, const QList<QStringList>& rows,
                    CsvSeparator separator) {
    const QChar sep = separator == CsvSeparator::Semicolon ? u';' : u',';
    QString csv = header.join(sep) + QLatin1String("\r\n");
    for (const QStringList& row : rows)
        csv += row.join(sep) + QLatin1String("\r\n");
    return "\xEF\xBB\xBF" + csv.toUtf8();
}

QByteArray roomListCsv(const QList<Room>& rooms, CsvSeparator separator) {
    QList<QStringList> rows;
    rows.reserve(rooms.size());
    for (const Room& r : rooms)
        rows.append(roomListFields(r, separator));
    return csvBytes(roomListColumns(), rows, separator);
}

std::optional<BuildingError> writeRoomListFile(const QString& path, const QList<Room>& rooms,
                                               CsvSeparator separator) {
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly) ||
        !writeSaveFile(file, roomListCsv(rooms, separator), &reason)) {
        BuildingError e;
        e.kind = Kind::CannotWrite;
        e.file = path;
        e.detail = reason.isEmpty() ? file.errorString() : reason;
        return e;
    }
    return std::nullopt;
}

} // namespace kvx
