// The building file: a file as typed by hand and as written read to the same
// building, unknown keys at every level written back byte for byte, every
// refusal named by its kind and place, the "No zone" rule, and the texts of
// the errors.
#include "core/building/building_file.h"
#include "support/building.h"
#include "support/files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

Q_DECLARE_METATYPE(kvx::BuildingError::Kind)

namespace {

using Kind = BuildingError::Kind;

// A small valid building, compact: zone 1 "Ground", room 1 "Office", room 2 "Hall".
const QByteArray kBase =
    R"({"format":"kvx-building","version":1,"zones":[{"name":"Ground"}],"rooms":[)"
    R"({"name":"Office","length":9,"width":7,"height":3,"ear":1.2,"loudspeaker":)"
    R"({"angle1":140,"angle4":80,"sensitivity":88,"ratedPower":6}},)"
    R"({"name":"Hall","zone":"Ground","length":20,"width":10,"height":4,"ear":1.5,)"
    R"("loudspeaker":{"angle1":90,"angle4":60,"sensitivity":90,"ratedPower":6}}]})";

QJsonValue edited(QJsonValue value, QStringList path, const QJsonValue& replacement) {
    if (path.isEmpty())
        return replacement;
    const QString step = path.takeFirst();
    if (value.isArray()) {
        QJsonArray array = value.toArray();
        array[step.toInt()] = edited(array[step.toInt()], path, replacement);
        return array;
    }
    QJsonObject object = value.toObject();
    if (path.isEmpty() && replacement.isUndefined())
        object.remove(step);
    else
        object[step] = edited(object[step], path, replacement);
    return object;
}

// kBase with the value at path ("rooms/1/length") replaced by json, or removed
// when json is empty.
QByteArray with(const QString& path, const QByteArray& json = {}) {
    const QJsonValue replacement = json.isEmpty()
                                       ? QJsonValue(QJsonValue::Undefined)
                                       : QJsonDocument::fromJson("[" + json + "]").array().first();
    return QJsonDocument(
               edited(QJsonDocument::fromJson(kBase).object(), path.split(u'/'), replacement)
                   .toObject())
        .toJson(QJsonDocument::Compact);
}

// Where an error is, in short: "room 2 Hall / length", "zone 1 / name", "/ rooms".
} // namespace

class TestBuildingFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The file as a person types it (the keys in the contract's order, unknown
    // keys at every level) reads to the building the values say, and is written
    // back as tests/data/building/unknown-keys.kvxb, which reads and writes to
    // itself byte for byte.
    void unknownKeysWrittenBack() {
        const BuildingRead typed = parseBuilding(testData("building/hand-typed.kvxb"), "b.kvxb");
        QVERIFY2(!typed.error, qPrintable(typed.error ? where(*typed.error) : QString()));
        const Building& b = *typed.building;
        // A value of each kind from each level, so that a key read into the wrong
        // field and written back from it does not pass.
        QCOMPARE(std::tuple(b.name, b.zones.size(), b.zones[1].line, b.zones[1].crossSection,
                            b.zones[0].amplifier, b.zones[1].amplifier, b.rooms[0].quantity,
                            b.rooms[0].tap, b.rooms[0].loudspeaker.type, b.rooms[0].reverberation,
                            b.rooms[1].pattern, b.rooms[1].ambient, b.rooms[1].above),
                 std::tuple(QString("Riverside school, block B"), 2, 70, QString("14AWG"),
                            std::optional(240.0), std::optional<double>(), 6, 2,
                            QString("KV-C6 Std"), std::optional(0.8),
                            std::optional(Pattern::Offset), std::optional<double>(), 10.0));
        QCOMPARE(
            QList<QStringList>({b.unknownKeys.keys(), b.zones[0].unknownKeys.keys(),
                                b.rooms[0].unknownKeys.keys(),
                                b.rooms[0].loudspeaker.unknownKeys.keys()}),
            QList<QStringList>(
                {{"client", "revision"}, {"channel", "rack"}, {"fireZone", "notes"}, {"colour"}}));

        const QByteArray written = testData("building/unknown-keys.kvxb");
        QCOMPARE(buildingBytes(b), written);
        QTemporaryDir dir;
        const QString path = dir.filePath("b.kvxb");
        QCOMPARE(writeBuildingFile(path, *parseBuilding(written, path).building), std::nullopt);
        QCOMPARE(readBytes(path), written);
        QCOMPARE(readBuildingFile(path).building, b);
    }

    void refusals_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("place");
        const auto row = [](const char* name, const QByteArray& file, Kind kind,
                            const QString& place) { QTest::newRow(name) << file << kind << place; };
        // A key of the Hall (room 2) or of zone 1 set to json.
        const auto hall = [&](const char* name, const QString& key, const QByteArray& json,
                              Kind kind) {
            row(name, with("rooms/1/" + key, json), kind,
                "room 2 Hall / " + QString(key).replace('/', '.'));
        };
        const auto zone = [&](const char* name, const QString& key, const QByteArray& json,
                              Kind kind) {
            row(name, with("zones/0/" + key, json), kind, "zone 1 Ground / " + key);
        };
        row("not JSON", "{\"format\":\n \"kvx-building\",,", Kind::NotJson, "line 2 column 18 /");
        row("a number beyond a double", "{\n  \"ear\": 1e400}", Kind::NotJson,
            "line 2 column 15 /");
        row("NaN", "{\"ear\": NaN}", Kind::NotJson, "line 1 column 9 /");
        row("nested deeper than 1024 levels", "{\n\"a\":" + QByteArray(1100, '['), Kind::TooDeep,
            "line 2 column 1029 /");
        row("a list at the top", "[" + kBase + "]", Kind::NotABuilding, "/");
        row("no format", with("format"), Kind::NotABuilding, "/");
        row("another format", with("format", "\"kvx-project\""), Kind::OtherFormat, "/ format");
        row("a newer version", with("version", "2"), Kind::NewerVersion, "/ version");
        row("no version", with("version"), Kind::Missing, "/ version");
        row("version as text", with("version", "\"1\""), Kind::WrongKind, "/ version");
        row("version 0", with("version", "0"), Kind::UnknownValue, "/ version");
        row("units in feet", with("units", "\"feet\""), Kind::UnknownValue, "/ units");
        row("negative reserve", with("cableReserve", "-5"), Kind::OutOfRange, "/ cableReserve");
        row("zones an object", with("zones", "{}"), Kind::WrongKind, "/ zones");
        row("a zone that is a number", with("zones/0", "3"), Kind::WrongKind, "zone 1 /");
        row("a zone named \"\"", with("zones/0/name", "\"\""), Kind::UnnamedZone, "zone 1 / name");
        row("duplicate zone names", with("zones", R"([{"name":"A"},{"name":"B"},{"name":"A"}])"),
            Kind::DuplicateZone, "zone 3 A / name");
        zone("line 110 V", "line", "110", Kind::UnknownValue);
        zone("cross-section 3", "crossSection", "\"3\"", Kind::UnknownValue);
        zone("spread as 1", "spread", "1", Kind::WrongKind);
        zone("amplifier of 0 W", "amplifier", "0", Kind::OutOfRange);
        row("rooms a text", with("rooms", "\"all\""), Kind::WrongKind, "/ rooms");
        row("a room that is a list", with("rooms/1", "[]"), Kind::WrongKind, "room 2 /");
        row("a room without a name", with("rooms/1/name"), Kind::Missing, "room 2 / name");
        hall("a length as text", "length", "\"20\"", Kind::WrongKind);
        hall("no ear height", "ear", {}, Kind::Missing);
        hall("a negative width", "width", "-1", Kind::OutOfRange);
        row("a zero height", with("rooms/0/height", "0"), Kind::OutOfRange,
            "room 1 Office / height");
        hall("a side above 10 km", "length", "10000.5", Kind::OutOfRange);
        hall("a huge number", "ear", "1e308", Kind::OutOfRange);
        hall("a quantity of 2.5", "quantity", "2.5", Kind::WrongKind);
        hall("a quantity of 0", "quantity", "0", Kind::OutOfRange);
        hall("a quantity of a million", "quantity", "1000000", Kind::OutOfRange);
        hall("the zone as a number", "zone", "1", Kind::WrongKind);
        hall("no loudspeaker", "loudspeaker", {}, Kind::Missing);
        hall("the loudspeaker as text", "loudspeaker", "\"KV\"", Kind::WrongKind);
        hall("no 4 kHz angle", "loudspeaker/angle4", {}, Kind::Missing);
        hall("a rated power of null", "loudspeaker/ratedPower", "null", Kind::WrongKind);
        hall("a tap of 1/3", "tap", "\"1/3\"", Kind::UnknownValue);
        hall("a hexagonal pattern", "pattern", "\"hexagonal\"", Kind::UnknownValue);
        hall("ambient of 150 dB", "ambient", "150", Kind::OutOfRange);
        hall("a reverberation of 0 s", "reverberation", "0", Kind::OutOfRange);
        row("more than 100,000 rooms",
            with("rooms", "[" + QByteArray("{},").repeated(100'000) + "{}]"), Kind::TooManyRooms,
            "/ rooms");
        row("more values than a building holds",
            "{\"a\":[" + QByteArray("0,").repeated(BuildingLimits::MaxValues) + "0]}",
            Kind::TooManyValues, "/");
        row("more objects than a building holds",
            "{\"a\":[" + QByteArray("{},").repeated(BuildingLimits::MaxContainers) + "{}]}",
            Kind::TooManyValues, "/");
    }
    // Every fault refuses the whole file with its kind and place.
    void refusals() {
        QFETCH(QByteArray, file);
        QFETCH(Kind, kind);
        const BuildingRead read = parseBuilding(file, "b.kvxb");
        QVERIFY(!read.building && read.error);
        QCOMPARE(read.error->kind, kind);
        QCOMPARE(read.error->file, "b.kvxb");
        QTEST(where(*read.error), "place");
    }

    // The files that cannot be read at all, and one larger than a building can be.
    void unreadableFiles() {
        QTemporaryDir dir;
        const QString large = dir.filePath("large.kvxb");
        QFile file(large);
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.resize(BuildingLimits::MaxFileBytes + 1)); // sparse
        file.close();
        QCOMPARE(readBuildingFile(large).error->kind, Kind::TooLarge);
        QCOMPARE(readBuildingFile(dir.filePath("none.kvxb")).error->kind, Kind::CannotRead);
        QCOMPARE(readBuildingFile(dir.path()).error->kind, Kind::CannotRead);
    }

    // A building that would not read back is not written, and the old file stays.
    void refusedWriteKeepsTheFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("b.kvxb");
        QVERIFY(writeBytes(path, kBase));
        Building b = *parseBuilding(kBase, path).building;
        b.rooms[1].length = std::numeric_limits<double>::quiet_NaN();
        QCOMPARE(where(writeBuildingFile(path, b).value()), "room 2 Hall / length");
        b.rooms[1].length = 20;
        b.zones.append(b.zones[0]);
        QCOMPARE(writeBuildingFile(path, b)->kind, Kind::DuplicateZone);
        QCOMPARE(readBytes(path), kBase);
        b.zones.removeLast();
        QCOMPARE(writeBuildingFile(dir.filePath("no/such/b.kvxb"), b)->kind, Kind::CannotWrite);
    }

    // A room with no zone, or a zone that does not exist, is in "No zone".
    void noZone() {
        Building b = *parseBuilding(kBase, "b").building;
        b.rooms[0].zone = QString();
        b.rooms.append(b.rooms[1]);
        b.rooms[2].zone = "Roof";
        QCOMPARE(roomZoneIndices(b), (std::vector<int>{-1, 0, -1}));
        QCOMPARE(&zoneOf(b, b.rooms[2]), &kvx::noZone());
        QCOMPARE(zoneOf(b, b.rooms[1]).name, "Ground");
        QVERIFY(kvx::noZone() == Zone()); // 100 V, no amplifier, no cable length
        QCOMPARE(zoneDisplayName(kvx::noZone(), english()), "No zone");
        // The room keeps the zone it names, to be written back.
        QVERIFY(buildingBytes(b).contains("\"zone\": \"Roof\""));
    }

    void messages_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("message");
        QTest::newRow("a room's key")
            << with("rooms/1/length", "-1") << 0
            << "b.kvxb, room 2 (\"Hall\"), length: -1 is out of range: it must be above 0 and "
               "at most 10000.";
        QTest::newRow("in a loudspeaker, in German")
            << with("rooms/0/loudspeaker/angle1", "true") << int(LanguageOffsets::German)
            << "b.kvxb, Raum 1 („Office“), loudspeaker.angle1: muss eine Zahl sein.";
        QTest::newRow("a zone, in French")
            << with("zones/0/line", "110") << int(LanguageOffsets::French)
            << "b.kvxb, zone 1 (« Ground »), line : « 110 » ne fait pas partie de 100, 70, 50.";
        QTest::newRow("the file")
            << with("version", "2") << 0
            << "b.kvxb was written by a newer version of KVX (building file version 2; this "
               "version reads version 1).";
    }
    void messages() {
        QFETCH(QByteArray, file);
        QFETCH(int, language);
        const LocalTexts texts{StringTable::builtIn(), language, QLocale::c()};
        QTEST(buildingErrorText(*parseBuilding(file, "b.kvxb").error, texts), "message");
    }
};

QTEST_GUILESS_MAIN(TestBuildingFile)
#include "test_building_file.moc"
