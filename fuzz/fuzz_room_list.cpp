// Room lists from spreadsheets: whatever the bytes, reading gives rooms or an
// error naming the file, never both; the rooms read make a building that the
// file writer takes, and written out with either separator they read back to
// the same rooms and are written again byte for byte.

#include "support.h"

#include "core/building/building_file.h"
#include "core/building/room_list.h"

using namespace kvx;
using namespace kvx::fuzz;

namespace {

LspRecord record(const char* name, qint16 angle1, qint16 angle4, float sensitivity,
                 float maxPower) {
    return {QString::fromLatin1(name).leftJustified(kLspNameLength, u' '), angle1, angle4,
            sensitivity, maxPower};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QList<LspRecord> catalogue = {
        record("KV-C6 Std", 140, 80, 88.3f, 6), record("KV-C8 Dual", 110, 65, 90, 15),
        record("KV-C12 Horn", 75, 50, 94, 30), record("Odd", -45, 32767, -3.5f, 1e-30f)};
    const QString name = QStringLiteral("fuzz.csv");
    const RoomListRead read = parseRoomList(
        QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), catalogue, name);
    if (read.list.has_value() == read.error.has_value())
        propertyFailed("a read gives rooms and an error, or neither");
    if (read.error) {
        const BuildingError& e = *read.error;
        const bool whole = e.kind == BuildingError::Kind::EmptyList;
        if (e.file != name || e.line < (whole ? 0 : 1) || e.column < 0 || e.room < 0)
            propertyFailed("an error without its file or line", e.key);
        static const LocalTexts texts{StringTable::builtIn(), 0, QLocale::c()};
        if (!buildingErrorText(e, texts).startsWith(name))
            propertyFailed("a message that does not start with the file", e.key);
        return 0;
    }
    const RoomList& list = *read.list;
    Building building;
    addRoomList(building, list);
    if (const auto refused = checkBuilding(building, name))
        propertyFailed("rooms read from a list are refused by the file writer", refused->key);
    for (CsvSeparator separator : {CsvSeparator::Comma, CsvSeparator::Semicolon}) {
        const QByteArray csv = roomListCsv(list.rooms, separator);
        const RoomListRead again = parseRoomList(csv, {}, name);
        if (!again.list)
            propertyFailed("a written list cannot be read", again.error->key);
        if (again.list->rooms != list.rooms || again.list->zones != list.zones)
            propertyFailed("a written list reads back as other rooms");
        if (roomListCsv(again.list->rooms, separator) != csv)
            propertyFailed("a list read back is written with other bytes");
    }
    return 0;
}
