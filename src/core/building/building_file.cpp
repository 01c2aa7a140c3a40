#include "core/building/building_file.h"

#include "core/base/numbers.h"
#include "core/base/save_file.h"
#include "core/project/project_file.h"
#include "core/system/system.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <span>

namespace kvx {

namespace {

using Kind = BuildingError::Kind;
using Keys = std::span<const QLatin1StringView>;

const QLatin1StringView kBuildingKeys[] = {
    QLatin1StringView("format"), QLatin1StringView("version"),      QLatin1StringView("name"),
    QLatin1StringView("units"),  QLatin1StringView("cableReserve"), QLatin1StringView("zones"),
    QLatin1StringView("rooms")};
const QLatin1StringView kZoneKeys[] = {
    QLatin1StringView("name"),         QLatin1StringView("line"),
    QLatin1StringView("amplifier"),    QLatin1StringView("cableLength"),
    QLatin1StringView("crossSection"), QLatin1StringView("spread")};
const QLatin1StringView kRoomKeys[] = {
    QLatin1StringView("name"),         QLatin1StringView("zone"),
    QLatin1StringView("quantity"),     QLatin1StringView("length"),
    QLatin1StringView("width"),        QLatin1StringView("height"),
    QLatin1StringView("ear"),          QLatin1StringView("loudspeaker"),
    QLatin1StringView("tap"),          QLatin1StringView("difference"),
    QLatin1StringView("pattern"),      QLatin1StringView("margin"),
    QLatin1StringView("ambient"),      QLatin1StringView("above"),
    QLatin1StringView("reverberation")};
const QLatin1StringView kLoudspeakerKeys[] = {
    QLatin1StringView("type"), QLatin1StringView("angle1"), QLatin1StringView("angle4"),
    QLatin1StringView("sensitivity"), QLatin1StringView("ratedPower")};

// An object of the file whose keys are looked up each at most once, so that
// the count of keys found tells whether there are others (most often not).
class Fields {
public:
    explicit Fields(QJsonObject object)
        : m_object(std::move(object)) {}

    QJsonValue value(QLatin1StringView key) {
        QJsonValue found = m_object.value(key);
        m_found += found.isUndefined() ? 0 : 1;
        return found;
    }

    // The keys that this program does not know, as they stand.
    QJsonObject unknownKeys(Keys known) const {
        QJsonObject unknown;
        if (m_found == m_object.size())
            return unknown;
        for (auto it = m_object.begin(); it != m_object.end(); ++it) {
            const QString key = it.key();
            if (std::none_of(known.begin(), known.end(),
                             [&key](QLatin1StringView k) { return key == k; }))
                unknown.insert(key, it.value());
        }
        return unknown;
    }

private:
    QJsonObject m_object;
    qsizetype m_found = 0;
};

constexpr ValueRange kAnyNumber{-DBL_MAX, DBL_MAX};

QString crossSectionNames() {
    QStringList names;
    for (const CrossSection& section : listedCrossSections())
        names << section.name;
    return names.join(QLatin1String(", "));
}

struct Refusal {
    BuildingError error;
};

// Reads the building's keys in a fixed order, so that the first fault found
// is always the same one; the first fault ends the reading (Refusal).
class Reader {
public:
    explicit Reader(const QString& file)
        : m_file(file) {}

    Building building(Fields root) {
        const QJsonValue format = root.value(QLatin1StringView("format"));
        if (!format.isString())
            throw Refusal{at(Kind::NotABuilding, {})};
        if (format.toString() != kBuildingFormat) {
            BuildingError e = at(Kind::OtherFormat, QLatin1StringView("format"));
            e.value = format.toString();
            throw Refusal{e};
        }
        readVersion(root);

        Building b;
        b.name = text(root, QLatin1StringView("name"), QString());
        const QString units = text(root, QLatin1StringView("units"), unitsOptionText(b.units));
        if (const auto known = unitsFromText(units))
            b.units = *known;
        else
            unknownValue(QLatin1StringView("units"), units, QStringLiteral("metric, imperial"));
        b.cableReserve = number(root, QLatin1StringView("cableReserve"),
                                BuildingLimits::CableReserve, b.cableReserve);

        const QJsonArray zones = list(root, QLatin1StringView("zones"));
        QHash<QString, int> zoneNumbers;
        b.zones.reserve(zones.size());
        for (qsizetype i = 0; i < zones.size(); ++i) {
            m_zone = int(i + 1);
            b.zones.append(zone(element(zones, i)));
            const int first = zoneNumbers.value(b.zones.back().name, 0);
            if (first > 0) {
                BuildingError e = at(Kind::DuplicateZone, QLatin1StringView("name"));
                e.otherZone = first;
                throw Refusal{e};
            }
            zoneNumbers.insert(b.zones.back().name, m_zone);
            m_zone = 0;
            m_zoneName.clear();
        }

        const QJsonArray rooms = list(root, QLatin1StringView("rooms"));
        if (rooms.size() > BuildingLimits::MaxRooms)
            throw Refusal{at(Kind::TooManyRooms, QLatin1StringView("rooms"))};
        b.rooms.reserve(rooms.size());
        for (qsizetype i = 0; i < rooms.size(); ++i) {
            m_room = int(i + 1);
            m_roomName.clear();
            b.rooms.append(room(element(rooms, i)));
        }
        m_room = 0;
        b.unknownKeys = root.unknownKeys(kBuildingKeys);
        return b;
    }

private:
    BuildingError at(Kind kind, QLatin1StringView key) const {
        BuildingError e;
        e.kind = kind;
        e.file = m_file;
        e.room = m_room;
        e.roomName = m_roomName;
        e.zone = m_zone;
        e.zoneName = m_zoneName;
        e.key = key.isEmpty() ? QString() : m_prefix + key;
        return e;
    }

    [[noreturn]] void wrongKind(QLatin1StringView key, ValueKind expected,
                                const QString& value = {}) const {
        BuildingError e = at(Kind::WrongKind, key);
        e.expected = expected;
        e.value = value;
        throw Refusal{e};
    }

    [[noreturn]] void unknownValue(QLatin1StringView key, const QString& value,
                                   const QString& allowed) const {
        BuildingError e = at(Kind::UnknownValue, key);
        e.value = value;
        e.allowed = allowed;
        throw Refusal{e};
    }

    void readVersion(Fields& root) const {
        const QJsonValue version = root.value(QLatin1StringView("version"));
        if (version.isUndefined())
            throw Refusal{at(Kind::Missing, QLatin1StringView("version"))};
        if (!version.isDouble())
            wrongKind(QLatin1StringView("version"), ValueKind::WholeNumber);
        const double value = version.toDouble();
        const QString allowed = QString::number(kBuildingFileVersion);
        if (value > kBuildingFileVersion) {
            BuildingError e = at(Kind::NewerVersion, QLatin1StringView("version"));
            e.value = exactNumber(value);
            e.allowed = allowed;
            throw Refusal{e};
        }
        if (value != kBuildingFileVersion)
            unknownValue(QLatin1StringView("version"), exactNumber(value), allowed);
    }

    // A number in its range; nothing when absent or null.
    std::optional<double> optionalNumber(Fields& object, QLatin1StringView key,
                                         const ValueRange& range) const {
        return numberOf(object.value(key), key, range);
    }

    std::optional<double> numberOf(const QJsonValue& value, QLatin1StringView key,
                                   const ValueRange& range) const {
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        if (!value.isDouble())
            wrongKind(key, range.whole ? ValueKind::WholeNumber : ValueKind::Number);
        // +0 for -0, so that the file is written back as it reads.
        const double number = value.toDouble() + 0.0;
        if (range.whole && std::floor(number) != number)
            wrongKind(key, ValueKind::WholeNumber, exactNumber(number));
        if (!range.contains(number)) {
            BuildingError e = at(Kind::OutOfRange, key);
            e.value = exactNumber(number);
            e.range = range;
            throw Refusal{e};
        }
        return number;
    }

    // A number that must be there when fallback is none.
    double number(Fields& object, QLatin1StringView key, const ValueRange& range,
                  std::optional<double> fallback = std::nullopt) const {
        const QJsonValue value = object.value(key);
        if (value.isUndefined() && fallback)
            return *fallback;
        if (value.isUndefined())
            throw Refusal{at(Kind::Missing, key)};
        if (value.isNull())
            wrongKind(key, range.whole ? ValueKind::WholeNumber : ValueKind::Number);
        return *numberOf(value, key, range);
    }

    std::optional<QString> optionalText(Fields& object, QLatin1StringView key) const {
        const QJsonValue value = object.value(key);
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        if (!value.isString())
            wrongKind(key, ValueKind::Text);
        return value.toString();
    }

    QString text(Fields& object, QLatin1StringView key,
                 std::optional<QString> fallback = std::nullopt) const {
        const QJsonValue value = object.value(key);
        if (value.isUndefined() && fallback)
            return *fallback;
        if (value.isUndefined())
            throw Refusal{at(Kind::Missing, key)};
        if (!value.isString())
            wrongKind(key, ValueKind::Text);
        return value.toString();
    }

    bool truth(Fields& object, QLatin1StringView key, bool fallback) const {
        const QJsonValue value = object.value(key);
        if (value.isUndefined())
            return fallback;
        if (!value.isBool())
            wrongKind(key, ValueKind::TrueFalse);
        return value.toBool();
    }

    QJsonArray list(Fields& object, QLatin1StringView key) const {
        const QJsonValue value = object.value(key);
        if (value.isUndefined())
            return {};
        if (!value.isArray())
            wrongKind(key, ValueKind::List);
        return value.toArray();
    }

    // An element of the zones or rooms, which must be an object.
    Fields element(const QJsonArray& array, qsizetype i) const {
        const QJsonValue value = array.at(i);
        if (!value.isObject())
            wrongKind({}, ValueKind::Object);
        return Fields(value.toObject());
    }

    Zone zone(Fields object) {
        Zone z;
        z.name = text(object, QLatin1StringView("name"));
        m_zoneName = z.name;
        if (z.name.isEmpty())
            throw Refusal{at(Kind::UnnamedZone, QLatin1StringView("name"))};
        const double line = number(object, QLatin1StringView("line"), kAnyNumber, z.line);
        if (!isLineVoltage(line))
            unknownValue(QLatin1StringView("line"), exactNumber(line),
                         QStringLiteral("100, 70, 50"));
        z.line = int(line);
        z.amplifier = optionalNumber(object, QLatin1StringView("amplifier"), BuildingLimits::Power);
        z.cableLength =
            optionalNumber(object, QLatin1StringView("cableLength"), BuildingLimits::CableLength);
        const QString section = text(object, QLatin1StringView("crossSection"), z.crossSection);
        if (const auto listed = findCrossSection(section))
            z.crossSection = listed->name;
        else
            unknownValue(QLatin1StringView("crossSection"), section, crossSectionNames());
        z.spread = truth(object, QLatin1StringView("spread"), z.spread);
        z.unknownKeys = object.unknownKeys(kZoneKeys);
        return z;
    }

    Room room(Fields object) {
        Room r;
        r.name = text(object, QLatin1StringView("name"));
        m_roomName = r.name;
        r.zone = text(object, QLatin1StringView("zone"), QString());
        r.quantity = int(
            number(object, QLatin1StringView("quantity"), BuildingLimits::Quantity, r.quantity));
        r.length = number(object, QLatin1StringView("length"), BuildingLimits::Side);
        r.width = number(object, QLatin1StringView("width"), BuildingLimits::Side);
        r.height = number(object, QLatin1StringView("height"), BuildingLimits::Height);
        r.ear = number(object, QLatin1StringView("ear"), BuildingLimits::Ear);

        const QJsonValue loudspeaker = object.value(QLatin1StringView("loudspeaker"));
        if (loudspeaker.isUndefined())
            throw Refusal{at(Kind::Missing, QLatin1StringView("loudspeaker"))};
        if (!loudspeaker.isObject())
            wrongKind(QLatin1StringView("loudspeaker"), ValueKind::Object);
        r.loudspeaker = roomLoudspeaker(Fields(loudspeaker.toObject()));

        const QString tap = text(object, QLatin1StringView("tap"), tapText(r.tap));
        if (const auto known = tapFromText(tap))
            r.tap = *known;
        else
            unknownValue(QLatin1StringView("tap"), tap, QStringLiteral("1/1, 1/2, 1/4"));
        r.difference = number(object, QLatin1StringView("difference"), BuildingLimits::Difference,
                              r.difference);
        if (const auto pattern = optionalText(object, QLatin1StringView("pattern"))) {
            r.pattern = patternFromToken(*pattern);
            if (!r.pattern)
                unknownValue(QLatin1StringView("pattern"), *pattern,
                             QStringLiteral("square, offset"));
        }
        r.margin = number(object, QLatin1StringView("margin"), BuildingLimits::Margin, r.margin);
        r.ambient = optionalNumber(object, QLatin1StringView("ambient"), BuildingLimits::Ambient);
        r.above = number(object, QLatin1StringView("above"), BuildingLimits::Above, r.above);
        r.reverberation = optionalNumber(object, QLatin1StringView("reverberation"),
                                         BuildingLimits::Reverberation);
        r.unknownKeys = object.unknownKeys(kRoomKeys);
        return r;
    }

    RoomLoudspeaker roomLoudspeaker(Fields object) {
        m_prefix = QStringLiteral("loudspeaker.");
        RoomLoudspeaker l;
        l.type = text(object, QLatin1StringView("type"), QString());
        l.angle1 = number(object, QLatin1StringView("angle1"), BuildingLimits::Angle);
        l.angle4 = number(object, QLatin1StringView("angle4"), BuildingLimits::Angle);
        l.sensitivity =
            number(object, QLatin1StringView("sensitivity"), BuildingLimits::Sensitivity);
        l.ratedPower = number(object, QLatin1StringView("ratedPower"), BuildingLimits::Power);
        l.unknownKeys = object.unknownKeys(kLoudspeakerKeys);
        m_prefix.clear();
        return l;
    }

    QString m_file;
    int m_room = 0;
    QString m_roomName;
    int m_zone = 0;
    QString m_zoneName;
    QString m_prefix; // of the keys inside a loudspeaker
};

// Line and column (from 1, in characters) of a byte offset of UTF-8 text.
std::pair<int, int> lineAndColumn(QByteArrayView bytes, qsizetype offset) {
    int line = 1;
    int column = 1;
    offset = std::clamp<qsizetype>(offset, 0, bytes.size());
    for (qsizetype i = 0; i < offset; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\n') {
            ++line;
            column = 1;
        } else if ((c & 0xC0) != 0x80) {
            ++column;
        }
    }
    return {line, column};
}

BuildingError fileError(Kind kind, const QString& file) {
    BuildingError e;
    e.kind = kind;
    e.file = file;
    return e;
}

BuildingRead refused(BuildingError error) {
    return BuildingRead{std::nullopt, std::move(error)};
}

BuildingRead fromDocument(const QJsonObject& root, const QString& fileName) {
    try {
        return BuildingRead{Reader(fileName).building(Fields(root)), std::nullopt};
    } catch (const Refusal& refusal) {
        return refused(refusal.error);
    }
}

// Whether the JSON holds more values or containers than a building can, counted
// by the separators and brackets outside strings before the parser builds them.
bool tooManyValues(QByteArrayView bytes) {
    qint64 values = 1;
    qint64 containers = 0;
    bool inString = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == ',' || c == '[' || c == '{') {
            if (++values > BuildingLimits::MaxValues)
                return true;
            if (c != ',' && ++containers > BuildingLimits::MaxContainers)
                return true;
        }
    }
    return false;
}

// The document of the bytes, or why there is none.
std::optional<QJsonObject> parseJson(const QByteArray& bytes, const QString& fileName,
                                     BuildingRead& failed) {
    if (bytes.size() > BuildingLimits::MaxFileBytes) {
        failed = refused(fileError(Kind::TooLarge, fileName));
        return std::nullopt;
    }
    if (tooManyValues(bytes)) {
        failed = refused(fileError(Kind::TooManyValues, fileName));
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        BuildingError e = fileError(
            parseError.error == QJsonParseError::DeepNesting ? Kind::TooDeep : Kind::NotJson,
            fileName);
        std::tie(e.line, e.column) = lineAndColumn(bytes, parseError.offset);
        failed = refused(e);
        return std::nullopt;
    }
    if (!document.isObject()) {
        failed = refused(fileError(Kind::NotABuilding, fileName));
        return std::nullopt;
    }
    return document.object();
}

QJsonObject loudspeakerObject(const RoomLoudspeaker& l) {
    QJsonObject o = l.unknownKeys;
    o.insert(QLatin1StringView("type"), l.type);
    o.insert(QLatin1StringView("angle1"), l.angle1);
    o.insert(QLatin1StringView("angle4"), l.angle4);
    o.insert(QLatin1StringView("sensitivity"), l.sensitivity);
    o.insert(QLatin1StringView("ratedPower"), l.ratedPower);
    return o;
}

QJsonObject roomObject(const Room& r) {
    QJsonObject o = r.unknownKeys;
    o.insert(QLatin1StringView("name"), r.name);
    o.insert(QLatin1StringView("zone"), r.zone);
    o.insert(QLatin1StringView("quantity"), r.quantity);
    o.insert(QLatin1StringView("length"), r.length);
    o.insert(QLatin1StringView("width"), r.width);
    o.insert(QLatin1StringView("height"), r.height);
    o.insert(QLatin1StringView("ear"), r.ear);
    o.insert(QLatin1StringView("loudspeaker"), loudspeakerObject(r.loudspeaker));
    o.insert(QLatin1StringView("tap"), tapText(r.tap));
    o.insert(QLatin1StringView("difference"), r.difference);
    if (r.pattern)
        o.insert(QLatin1StringView("pattern"), patternToken(*r.pattern));
    o.insert(QLatin1StringView("margin"), r.margin);
    if (r.ambient)
        o.insert(QLatin1StringView("ambient"), *r.ambient);
    o.insert(QLatin1StringView("above"), r.above);
    if (r.reverberation)
        o.insert(QLatin1StringView("reverberation"), *r.reverberation);
    return o;
}

QJsonObject zoneObject(const Zone& z) {
    QJsonObject o = z.unknownKeys;
    o.insert(QLatin1StringView("name"), z.name);
    o.insert(QLatin1StringView("line"), z.line);
    if (z.amplifier)
        o.insert(QLatin1StringView("amplifier"), *z.amplifier);
    if (z.cableLength)
        o.insert(QLatin1StringView("cableLength"), *z.cableLength);
    o.insert(QLatin1StringView("crossSection"), z.crossSection);
    o.insert(QLatin1StringView("spread"), z.spread);
    return o;
}

QJsonObject buildingObject(const Building& b) {
    QJsonObject o = b.unknownKeys;
    o.insert(QLatin1StringView("format"), kBuildingFormat);
    o.insert(QLatin1StringView("version"), kBuildingFileVersion);
    o.insert(QLatin1StringView("name"), b.name);
    o.insert(QLatin1StringView("units"), unitsOptionText(b.units));
    o.insert(QLatin1StringView("cableReserve"), b.cableReserve);
    QJsonArray zones;
    for (const Zone& z : b.zones)
        zones.append(zoneObject(z));
    o.insert(QLatin1StringView("zones"), zones);
    QJsonArray rooms;
    for (const Room& r : b.rooms)
        rooms.append(roomObject(r));
    o.insert(QLatin1StringView("rooms"), rooms);
    return o;
}

} // namespace

BuildingRead parseBuilding(QByteArrayView bytes, const QString& fileName) {
    BuildingRead failed;
    const auto root =
        parseJson(QByteArray::fromRawData(bytes.data(), bytes.size()), fileName, failed);
    return root ? fromDocument(*root, fileName) : failed;
}

std::optional<QByteArray> readBuildingBytes(const QString& path, BuildingError& error) {
    error = fileError(Kind::CannotRead, path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error.detail = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes;
    if (!file.isSequential()) {
        if (file.size() > BuildingLimits::MaxFileBytes) {
            error.kind = Kind::TooLarge;
            return std::nullopt;
        }
        bytes.reserve(qsizetype(file.size()));
    }
    for (;;) {
        const QByteArray piece = file.read(1 << 20);
        if (piece.isEmpty())
            break;
        bytes += piece;
        if (bytes.size() > BuildingLimits::MaxFileBytes) {
            error.kind = Kind::TooLarge;
            return std::nullopt;
        }
    }
    if (file.error() != QFileDevice::NoError) {
        error.detail = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

BuildingRead readBuildingFile(const QString& path) {
    BuildingError error;
    std::optional<QByteArray> bytes = readBuildingBytes(path, error);
    if (!bytes)
        return refused(error);
    BuildingRead failed;
    const std::optional<QJsonObject> root = parseJson(*bytes, path, failed);
    // The bytes are not needed beside the document: keep the peak low.
    bytes.reset();
    return root ? fromDocument(*root, path) : failed;
}

QByteArray buildingBytes(const Building& building) {
    return QJsonDocument(buildingObject(building)).toJson(QJsonDocument::Indented);
}

std::optional<BuildingError> checkBuilding(const Building& building, const QString& fileName) {
    return fromDocument(buildingObject(building), fileName).error;
}

std::optional<BuildingError> writeBuildingFile(const QString& path, const Building& building) {
    const QJsonObject object = buildingObject(building);
    if (auto error = fromDocument(object, path).error)
        return error;
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly) ||
        !writeSaveFile(file, QJsonDocument(object).toJson(QJsonDocument::Indented), &reason)) {
        BuildingError e = fileError(Kind::CannotWrite, path);
        e.detail = reason.isEmpty() ? file.errorString() : reason;
        return e;
    }
    return std::nullopt;
}

bool holdsBuilding(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    if (info.suffix().compare(QLatin1String("kvxb"), Qt::CaseInsensitive) == 0)
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The format comes first in a file typed by hand and after the cable
    // reserve and the name in one written here (its keys are in order).
    static const QRegularExpression format(
        QStringLiteral(R"("format"\s*:\s*"%1")").arg(kBuildingFormat));
    return format.match(QString::fromUtf8(file.read(64 * 1024))).hasMatch();
}

bool holdsProjectOrBuilding(const QString& path, const StringTable& strings) {
    return holdsProject(path, strings) || holdsBuilding(path);
}

} // namespace kvx
