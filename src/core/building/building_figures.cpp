#include "core/building/building_figures.h"

#include "core/base/numbers.h"
#include "core/calc/power.h"
#include "core/plan/coverage.h"
#include "core/speech/speech.h"

#include <QHash>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kvx {

namespace {

// How often a run reports its progress, at most.
constexpr qsizetype kProgressSteps = 1000;

const Zone& zoneAt(const Building& building, int index) {
    return index >= 0 && index < building.zones.size() ? building.zones[index] : noZone();
}

// The index in BuildingFigures::zones of the zone a room belongs to.
int zoneIndexOf(const Building& building, const Room& room) {
    if (!room.zone.isEmpty()) {
        for (int i = 0; i < building.zones.size(); ++i) {
            if (building.zones[i].name == room.zone)
                return i;
        }
    }
    return int(building.zones.size());
}

// The zone indices of every room, "No zone" as the last.
std::vector<int> zoneIndicesOf(const Building& building) {
    std::vector<int> indices = roomZoneIndices(building);
    for (int& index : indices) {
        if (index < 0)
            index = int(building.zones.size());
    }
    return indices;
}

SystemSettings lineSettingsOf(const Zone& zone) {
    SystemSettings settings;
    settings.amplifier = zone.amplifier;
    settings.cableLength = zone.cableLength;
    settings.crossSection = zone.crossSection;
    settings.load = zone.spread ? CableLoad::Spread : CableLoad::FarEnd;
    return settings;
}

// The rooms which, in parallel; false when cancelled.
bool computeRooms(const Building& building, const std::vector<int>& zones,
                  std::vector<qsizetype> which, std::vector<RoomFigures>& rooms,
                  const BuildingRun& run) {
    const auto cancelled = [&run] { return run.cancel && run.cancel->load(); };
    const auto total = qsizetype(which.size());
    const qsizetype step = std::max<qsizetype>(1, total / kProgressSteps);
    std::atomic<qsizetype> done{0};
    const auto one = [&](qsizetype i) {
        if (cancelled())
            return;
        const int zone = zones[size_t(i)];
        rooms[size_t(i)] = roomFiguresFor(building.rooms[i], zoneAt(building, zone), zone);
        const qsizetype now = ++done;
        if (run.progress && (now % step == 0 || now == total))
            run.progress(now, total);
    };
    if (run.pool)
        QtConcurrent::blockingMap(run.pool, which, one);
    else
        QtConcurrent::blockingMap(which, one);
    return !cancelled();
}

// The zone's totals from its rooms, its line, and its rooms' level checks.
void totalZone(const Building& building, BuildingFigures& figures, int index) {
    ZoneFigures& zone = figures.zones[size_t(index)];
    const Zone& settings = zoneAt(building, index);
    zone.calculatedRooms = 0;
    zone.loudspeakers = 0;
    zone.load = 0;
    for (const qsizetype i : zone.rooms) {
        const RoomFigures& room = figures.rooms[size_t(i)];
        if (!room.calculated())
            continue;
        zone.calculatedRooms += building.rooms[i].quantity;
        zone.loudspeakers += room.loudspeakers;
        zone.load += room.load;
    }
    zone.sizing = lineFiguresFor(zone.load, zone.line, lineSettingsOf(settings));
    const double drop = zone.drop();
    for (const qsizetype i : zone.rooms) {
        RoomFigures& room = figures.rooms[size_t(i)];
        const Room& r = building.rooms[i];
        room.level.reset();
        if (room.calculated() && r.ambient)
            room.level = levelCheckFor(*r.ambient, r.above, room.coverage.min1k - drop);
    }
}

// A loudspeaker of the bill: the same type with the same data.
struct LoudspeakerKey {
    QString type;
    double angle1;
    double angle4;
    double sensitivity;
    double ratedPower;
    bool operator==(const LoudspeakerKey&) const = default;
};

size_t qHash(const LoudspeakerKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.type, key.angle1, key.angle4, key.sensitivity, key.ratedPower);
}

BillOfMaterials billOf(const Building& building, const BuildingFigures& figures) {
    BillOfMaterials bill;
    QHash<LoudspeakerKey, size_t> types;
    const std::vector<CrossSection>& listed = listedCrossSections();
    std::vector<double> measured(listed.size(), 0.0);
    const auto sectionIndex = [&listed](const QString& name) -> std::optional<size_t> {
        const std::optional<CrossSection> section = findCrossSection(name);
        for (size_t i = 0; section && i < listed.size(); ++i) {
            if (listed[i].name == section->name)
                return i;
        }
        return std::nullopt;
    };

    for (int z = 0; z < int(figures.zones.size()); ++z) {
        if (!figures.shows(z))
            continue;
        const Zone& zone = zoneAt(building, z);
        bill.amplifiers.push_back(
            {z, zone.line, figures.zones[size_t(z)].sizing.minimumAmplifier, zone.amplifier});
        const auto section = sectionIndex(zone.crossSection);
        if (zone.cableLength && section)
            measured[*section] += *zone.cableLength;
    }
    std::vector<std::optional<size_t>> zoneSections;
    for (int z = 0; z < int(figures.zones.size()); ++z)
        zoneSections.push_back(sectionIndex(zoneAt(building, z).crossSection));

    for (qsizetype i = 0; i < building.rooms.size(); ++i) {
        const RoomFigures& room = figures.rooms[size_t(i)];
        if (!room.calculated())
            continue;
        const Room& r = building.rooms[i];
        const RoomLoudspeaker& l = r.loudspeaker;
        const LoudspeakerKey key{l.type, l.angle1, l.angle4, l.sensitivity, l.ratedPower};
        const auto known = types.constFind(key);
        if (known == types.constEnd()) {
            RoomLoudspeaker plain = l;
            plain.unknownKeys = {};
            types.insert(key, bill.loudspeakers.size());
            bill.loudspeakers.push_back({plain, room.loudspeakers});
        } else {
            bill.loudspeakers[*known].count += room.loudspeakers;
        }
        if (const auto section = zoneSections[size_t(room.zone)])
            measured[*section] += room.cablePath * r.quantity;
    }

    for (size_t i = 0; i < listed.size(); ++i) {
        if (measured[i] > 0)
            bill.cable.push_back(
                {listed[i].name, measured[i], measured[i] * (1 + building.cableReserve / 100)});
    }
    return bill;
}

} // namespace

bool BuildingFigures::allCalculated() const {
    return std::all_of(rooms.begin(), rooms.end(),
                       [](const RoomFigures& room) { return room.calculated(); });
}

bool BuildingFigures::shows(int zone) const {
    return zone < noZoneIndex() || !zones[size_t(zone)].rooms.empty();
}

DesignInputs designInputsOf(const Room& room, const Zone& zone) {
    DesignInputs in;
    in.length = room.length;
    in.width = room.width;
    in.roomHeight = room.height;
    in.earHeight = room.ear;
    in.angle1 = room.loudspeaker.angle1;
    in.angle4 = room.loudspeaker.angle4;
    in.sensitivity = room.loudspeaker.sensitivity;
    in.ratedPower = room.loudspeaker.ratedPower;
    in.lineVoltage = zone.line;
    in.tapDivisor = room.tap;
    in.speakerPower = shownTapPower(in.ratedPower, in.tapDivisor, in.lineVoltage);
    in.difference4 = room.difference;
    in.pattern = room.pattern.value_or(Pattern::Square);
    return in;
}

RoomFigures roomFiguresFor(const Room& room, const Zone& zone, int zoneIndex) {
    RoomFigures f;
    f.zone = zoneIndex;
    const DesignInputs inputs = designInputsOf(room, zone);
    if (const std::optional<CalcFailure> refused = checkInputs(checkedInputs(inputs))) {
        f.error = RoomError{refused->title, refused->text};
        return f;
    }
    Messages messages;
    try {
        f.design = computeDesign(inputs, messages);
    } catch (const CalcFailure& failure) {
        f.error = RoomError{failure.title, failure.text};
    }
    // The first message box the window would show says why.
    if (!messages.isEmpty())
        f.error = RoomError{messages.front().title, messages.front().text};
    if (!f.error && !f.design.usable())
        f.error = RoomError{
            {}, StringTable::builtIn().text(PlanText::CalculateFirst), PlanText::CalculateFirst};
    if (f.error)
        return f;

    f.layout = layoutFor(f.design);
    CoverageMap map;
    try {
        map = coverageFor(f.design, f.layout, {0, room.margin});
    } catch (const CoverageError& refused) {
        f.error = RoomError{{}, refused.message, refused.textId};
        return f;
    }
    f.coverage = {map.offset1k + map.band(Band::K1).min, map.band(Band::K1).spread,
                  map.band(Band::K4).withinSet};
    if (room.reverberation) {
        SpeechSettings settings;
        settings.reverberation = room.reverberation;
        const Speech speech = speechFor(f.design, f.layout, map, settings, room.ambient);
        if (speech.figures.sti)
            f.speech = RoomSpeech{speech.figures.sti->mean, speech.figures.sti->min};
        f.speechShortest = speech.figures.model.shortestReverberation;
        f.speechMapTooLarge = speech.figures.mapTooLarge;
    }
    f.cablePath = cablePathOf(f.layout);
    f.loudspeakers = qint64(f.design.speakers) * room.quantity;
    f.load = f.design.speakers * f.design.speakerPower * room.quantity;
    return f;
}

double cablePathOf(const Layout& layout) {
    double path = 0;
    for (qint64 row = 0; row < layout.rows; ++row) {
        const qint64 last = layout.inRow(row) - 1;
        path += double(last) * layout.spacingX;
        if (row + 1 == layout.rows)
            break;
        // Even rows are walked from the first wall, odd rows back to it.
        const bool out = row % 2 == 0;
        const QPointF end = layout.at(out ? last : 0, row);
        const QPointF next = layout.at(out ? layout.inRow(row + 1) - 1 : 0, row + 1);
        path += std::hypot(next.x() - end.x(), next.y() - end.y());
    }
    return path;
}

std::optional<BuildingFigures> computeBuilding(const Building& building, const BuildingRun& run) {
    BuildingFigures figures;
    figures.rooms.resize(size_t(building.rooms.size()));
    std::vector<qsizetype> all(figures.rooms.size());
    std::iota(all.begin(), all.end(), qsizetype(0));
    if (!computeRooms(building, zoneIndicesOf(building), std::move(all), figures.rooms, run))
        return std::nullopt;
    totalUp(building, figures);
    return figures;
}

void totalUp(const Building& building, BuildingFigures& figures) {
    const std::vector<int> zones = zoneIndicesOf(building);
    std::vector<qsizetype> stale;
    for (qsizetype i = 0; i < qsizetype(zones.size()); ++i) {
        RoomFigures& room = figures.rooms[size_t(i)];
        room.zone = zones[size_t(i)];
        if (room.calculated() && room.design.lineVoltage != zoneAt(building, room.zone).line)
            stale.push_back(i);
    }
    if (!stale.empty())
        computeRooms(building, zones, std::move(stale), figures.rooms, {});

    figures.zones.assign(size_t(building.zones.size() + 1), {});
    for (int z = 0; z < int(figures.zones.size()); ++z) {
        const Zone& zone = zoneAt(building, z);
        figures.zones[size_t(z)].name = zone.name;
        figures.zones[size_t(z)].line = zone.line;
    }
    for (qsizetype i = 0; i < qsizetype(figures.rooms.size()); ++i)
        figures.zones[size_t(figures.rooms[size_t(i)].zone)].rooms.push_back(i);
    for (int z = 0; z < int(figures.zones.size()); ++z)
        totalZone(building, figures, z);
    figures.bom = billOf(building, figures);
}

void recomputeRoom(const Building& building, BuildingFigures& figures, qsizetype room) {
    const int before = figures.rooms[size_t(room)].zone;
    const int after = zoneIndexOf(building, building.rooms[room]);
    figures.rooms[size_t(room)] =
        roomFiguresFor(building.rooms[room], zoneAt(building, after), after);
    if (before != after) {
        std::vector<qsizetype>& left = figures.zones[size_t(before)].rooms;
        left.erase(std::find(left.begin(), left.end(), room));
        std::vector<qsizetype>& joined = figures.zones[size_t(after)].rooms;
        joined.insert(std::lower_bound(joined.begin(), joined.end(), room), room);
        totalZone(building, figures, before);
    }
    totalZone(building, figures, after);
    figures.bom = billOf(building, figures);
}

} // namespace kvx
