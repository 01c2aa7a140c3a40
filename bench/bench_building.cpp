// A building of the most rooms a file may hold (100,000): reading its file and
// its room list, and writing the file. The files are made once, before the
// benchmarks, written piece by piece so that making them adds nothing to the
// peak. After each benchmark the process's peak resident memory so far is
// given (peak_MB); the file is read first, so its figure is the reading's.
// Target: the file read within 1 GB.
//
// An edit in a building of 1,000 of those rooms in ten zones: the room worked
// out again with its zone, the level checks of its zone and the bill. Target:
// under 20 ms.
#include "core/building/building_figures.h"
#include "core/building/building_file.h"
#include "core/building/room_list.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

using namespace kvx;

namespace {

constexpr int kRooms = int(BuildingLimits::MaxRooms);
constexpr int kZones = 50;
QString g_buildingPath;
QString g_listPath;

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024; // kB on Linux
}

// Typical rooms: 3 to 30 m sides, every optional key on every other room.
QJsonObject roomObject(int i) {
    QJsonObject loudspeaker{{"type", "KV-C6 Std"},
                            {"angle1", 140},
                            {"angle4", 80},
                            {"sensitivity", 88 + (i % 7) * 0.5},
                            {"ratedPower", 6}};
    QJsonObject room{{"name", QStringLiteral("Room %1.%2").arg(i / 100).arg(i % 100)},
                     {"zone", QStringLiteral("Zone %1").arg(i % kZones)},
                     {"quantity", 1 + i % 6},
                     {"length", 3 + (i % 271) / 10.0},
                     {"width", 3 + (i % 113) / 5.0},
                     {"height", 2.7 + (i % 5) * 0.3},
                     {"ear", 1.2},
                     {"loudspeaker", loudspeaker},
                     {"tap", i % 3 == 0 ? "1/1" : "1/2"},
                     {"difference", 6},
                     {"margin", 0.5},
                     {"above", 15}};
    if (i % 2 == 0) {
        room["pattern"] = i % 4 == 0 ? "square" : "offset";
        room["ambient"] = 40 + i % 20;
        room["reverberation"] = 0.6 + (i % 10) / 10.0;
    }
    return room;
}

// The file as this program writes it (QJsonDocument's indented form), one
// room at a time.
void makeBuildingFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    file.write("{\n    \"cableReserve\": 10,\n    \"format\": \"kvx-building\",\n"
               "    \"name\": \"Bench building\",\n    \"rooms\": [\n");
    for (int i = 0; i < kRooms; ++i) {
        const QByteArray room = QJsonDocument(roomObject(i)).toJson(QJsonDocument::Indented);
        QByteArray indented = "        " + room.trimmed().replace("\n", "\n        ");
        file.write(indented + (i + 1 < kRooms ? ",\n" : "\n"));
    }
    file.write("    ],\n    \"units\": \"metric\",\n    \"version\": 1,\n    \"zones\": [\n");
    for (int z = 0; z < kZones; ++z) {
        file.write(QStringLiteral("        {\n            \"crossSection\": \"1.5\",\n"
                                  "            \"line\": 100,\n            \"name\": \"Zone %1\",\n"
                                  "            \"spread\": false\n        }%2\n")
                       .arg(z)
                       .arg(z + 1 < kZones ? "," : "")
                       .toUtf8());
    }
    file.write("    ]\n}\n");
}

// The same rooms as a list with semicolons and decimal commas, the type from
// the catalogue.
void makeRoomList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    file.write("name;zone;quantity;length;width;height;ear;type;tap;margin\r\n");
    for (int i = 0; i < kRooms; ++i) {
        file.write(QStringLiteral("\"Room %1.%2\";Zone %3;%4;%5;%6;%7;1,2;KV-C6 Std;1/2;0,5\r\n")
                       .arg(i / 100)
                       .arg(i % 100)
                       .arg(i % kZones)
                       .arg(1 + i % 6)
                       .arg(QString::number(3 + (i % 271) / 10.0).replace(u'.', u','))
                       .arg(QString::number(3 + (i % 113) / 5.0).replace(u'.', u','))
                       .arg(QString::number(2.7 + (i % 5) * 0.3).replace(u'.', u','))
                       .toUtf8());
    }
}

void BM_ReadBuildingFile(benchmark::State& state) {
    qsizetype rooms = 0;
    for (auto _ : state) {
        const BuildingRead read = readBuildingFile(g_buildingPath);
        if (!read.building) {
            state.SkipWithError("the building is refused");
            return;
        }
        rooms = read.building->rooms.size();
    }
    state.counters["rooms"] = double(rooms);
    state.counters["file_MB"] = double(QFile(g_buildingPath).size()) / (1024 * 1024);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_ReadBuildingFile)->Unit(benchmark::kMillisecond);

void BM_ReadRoomList(benchmark::State& state) {
    const QList<LspRecord> catalogue = {
        {QStringLiteral("KV-C6 Std  "), 140, 80, 88, 6},
    };
    qsizetype rooms = 0;
    for (auto _ : state) {
        const RoomListRead read = readRoomListFile(g_listPath, catalogue);
        if (!read.list) {
            state.SkipWithError("the list is refused");
            return;
        }
        rooms = read.list->rooms.size();
    }
    state.counters["rooms"] = double(rooms);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_ReadRoomList)->Unit(benchmark::kMillisecond);

void BM_WriteBuildingFile(benchmark::State& state) {
    const Building building = *readBuildingFile(g_buildingPath).building;
    const QString path = g_buildingPath + QStringLiteral(".written");
    for (auto _ : state) {
        if (writeBuildingFile(path, building)) {
            state.SkipWithError("the building is not written");
            return;
        }
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_WriteBuildingFile)->Unit(benchmark::kMillisecond);

// The first rooms of the file, in ten zones.
Building editedBuilding() {
    Building building;
    for (int z = 0; z < 10; ++z) {
        Zone zone;
        zone.name = QStringLiteral("Zone %1").arg(z);
        zone.amplifier = 480;
        zone.cableLength = 40 + 10 * z;
        building.zones.append(zone);
    }
    QJsonArray rooms;
    for (int i = 0; i < 1000; ++i) {
        QJsonObject room = roomObject(i);
        room["zone"] = QStringLiteral("Zone %1").arg(i % 10);
        rooms.append(room);
    }
    const QJsonObject file{{"format", "kvx-building"}, {"version", 1}, {"rooms", rooms}};
    Building read = *parseBuilding(QJsonDocument(file).toJson(), QStringLiteral("bench")).building;
    read.zones = building.zones;
    return read;
}

void BM_RecomputeOneRoom(benchmark::State& state) {
    Building building = editedBuilding();
    BuildingFigures figures = *computeBuilding(building);
    if (!figures.allCalculated()) {
        state.SkipWithError("a room is not calculated");
        return;
    }
    const qsizetype room = 500;
    const double length = building.rooms[room].length;
    bool longer = false;
    for (auto _ : state) {
        longer = !longer;
        building.rooms[room].length = length + (longer ? 1 : 0);
        recomputeRoom(building, figures, room);
    }
    state.counters["rooms"] = double(building.rooms.size());
    state.counters["zone_rooms"] =
        double(figures.zones[size_t(figures.rooms[room].zone)].rooms.size());
}
BENCHMARK(BM_RecomputeOneRoom)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    g_buildingPath = dir.filePath(QStringLiteral("rooms.kvxb"));
    g_listPath = dir.filePath(QStringLiteral("rooms.csv"));
    makeBuildingFile(g_buildingPath);
    makeRoomList(g_listPath);
    const double before = peakMegabytes();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("peak before reading: %.1f MB\n", before);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
