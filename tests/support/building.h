#pragma once

// Where a building file's or room list's error is, in short, and a building's
// figures worked out in parts (an edit's room and zone) against the whole
// building worked out afresh.

#include "core/building/building_error.h"
#include "core/building/building_figures.h"
#include "core/building/building_texts.h"

#include <QTest>

namespace kvx::test {

inline LocalTexts english() {
    return {StringTable::builtIn(), 0, QLocale::c()};
}

// "room 2 Hall line 3 column 4 / length", "zone 1 / name", "/ rooms".
inline QString where(const BuildingError& e) {
    QStringList parts;
    if (e.room)
        parts << QStringLiteral("room %1 %2").arg(e.room).arg(e.roomName).trimmed();
    if (e.zone)
        parts << QStringLiteral("zone %1 %2").arg(e.zone).arg(e.zoneName).trimmed();
    if (e.line)
        parts << QStringLiteral("line %1 column %2").arg(e.line).arg(e.column);
    return (parts.join(u' ') + QStringLiteral(" / ") + e.key).trimmed();
}

// Each room's zone, error, design, load and quietest level, each zone's rooms,
// loudspeakers, load and drop, and every line of the schedule.
inline void compareWithWhole(const Building& building, const BuildingFigures& parts) {
    const std::optional<BuildingFigures> whole = computeBuilding(building);
    QVERIFY(whole);
    QCOMPARE(scheduleLines(building, parts, english()), scheduleLines(building, *whole, english()));
    const auto rooms = [](const BuildingFigures& f) {
        std::vector<
            std::tuple<int, std::optional<RoomError>, Design, double, std::optional<double>>>
            list;
        for (const RoomFigures& r : f.rooms)
            list.emplace_back(r.zone, r.error, r.design, r.load,
                              r.level ? std::optional(r.level->quietest) : std::nullopt);
        return list;
    };
    const auto zones = [](const BuildingFigures& f) {
        std::vector<std::tuple<QString, std::vector<qsizetype>, qint64, double, double>> list;
        for (const ZoneFigures& z : f.zones)
            list.emplace_back(z.name, z.rooms, z.loudspeakers, z.load, z.drop());
        return list;
    };
    QVERIFY(rooms(parts) == rooms(*whole));
    QVERIFY(zones(parts) == zones(*whole));
}

} // namespace kvx::test
