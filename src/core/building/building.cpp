#include "core/building/building.h"

#include "core/base/numbers.h"

#include <QHash>
#include <QLocale>

#include <cmath>

namespace kvx {

const Zone& noZone() {
    static const Zone zone;
    return zone;
}

std::vector<int> roomZoneIndices(const Building& building) {
    QHash<QString, int> byName;
    byName.reserve(building.zones.size());
    for (int i = 0; i < building.zones.size(); ++i)
        byName.insert(building.zones[i].name, i);
    std::vector<int> indices;
    indices.reserve(size_t(building.rooms.size()));
    for (const Room& room : building.rooms)
        indices.push_back(room.zone.isEmpty() ? -1 : byName.value(room.zone, -1));
    return indices;
}

const Zone& zoneOf(const Building& building, const Room& room) {
    if (!room.zone.isEmpty()) {
        for (const Zone& zone : building.zones) {
            if (zone.name == room.zone)
                return zone;
        }
    }
    return noZone();
}

bool ValueRange::contains(double value) const {
    const bool low = aboveLeast ? value > least : value >= least;
    return low && value <= greatest && (!whole || std::floor(value) == value);
}

QString tapText(int tap) {
    return QStringLiteral("1/%1").arg(tap);
}

std::optional<int> tapFromText(QStringView text) {
    for (int tap : {1, 2, 4}) {
        if (text == tapText(tap))
            return tap;
    }
    return std::nullopt;
}

std::optional<Units> unitsFromText(QStringView text) {
    for (Units units : {Units::Metric, Units::Imperial}) {
        if (text == unitsOptionText(units))
            return units;
    }
    return std::nullopt;
}

bool isLineVoltage(double volts) {
    return volts == 100 || volts == 70 || volts == 50;
}

QString catalogueTypeName(const LspRecord& record) {
    QString name = record.TypeName;
    while (!name.isEmpty() && (name.back() == u' ' || name.back() == QChar(0)))
        name.chop(1);
    return name;
}

RoomLoudspeaker loudspeakerOf(const LspRecord& record) {
    const auto shown = [](float value) {
        bool ok = false;
        const double number = QLocale::c().toDouble(formatGeneralSingle(value, QLocale::c()), &ok);
        return ok ? number : double(value);
    };
    RoomLoudspeaker loudspeaker;
    loudspeaker.type = catalogueTypeName(record);
    loudspeaker.angle1 = record.Angle1;
    loudspeaker.angle4 = record.Angle4;
    loudspeaker.sensitivity = shown(record.Sensitivity);
    loudspeaker.ratedPower = shown(record.MaxPower);
    return loudspeaker;
}

} // namespace kvx
