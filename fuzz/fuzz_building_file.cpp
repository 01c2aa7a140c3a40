// Building files from elsewhere: whatever the bytes, reading gives a building
// or an error naming the file, never both; a building read passes the
// writer's check, and its bytes read back to the same building and are
// written again byte for byte.

#include "support.h"

#include "core/building/building_file.h"

using namespace kvx;
using namespace kvx::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString name = QStringLiteral("fuzz.kvxb");
    const BuildingRead read =
        parseBuilding(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), name);
    if (read.building.has_value() == read.error.has_value())
        propertyFailed("a read gives a building and an error, or neither");
    if (read.error) {
        const BuildingError& e = *read.error;
        if (e.file != name || e.room < 0 || e.zone < 0 || e.line < 0 || e.column < 0)
            propertyFailed("an error without its file or with a negative place", e.key);
        static const LocalTexts texts{StringTable::builtIn(), 0, QLocale::c()};
        if (!buildingErrorText(e, texts).startsWith(name))
            propertyFailed("a message that does not start with the file", e.key);
        return 0;
    }
    const Building& building = *read.building;
    if (building.rooms.size() > BuildingLimits::MaxRooms)
        propertyFailed("more rooms than a building holds");
    if (const auto refused = checkBuilding(building, name))
        propertyFailed("a building read is refused by the writer", refused->key);
    const QByteArray bytes = buildingBytes(building);
    const BuildingRead again = parseBuilding(bytes, name);
    if (!again.building)
        propertyFailed("a written building cannot be read", again.error->key);
    if (!(*again.building == building))
        propertyFailed("a written building reads back as another");
    if (buildingBytes(*again.building) != bytes)
        propertyFailed("a building read back is written with other bytes");
    return 0;
}
