#include "cli/building_command.h"

#include "cli/console.h"
#include "cli/output_guard.h"
#include "cli/system_command.h"
#include "core/base/ini_file.h"
#include "core/base/message.h"
#include "core/base/program_folders.h"
#include "core/building/building_error.h"
#include "core/building/building_export.h"
#include "core/building/building_file.h"
#include "core/building/building_texts.h"
#include "core/building/room_list.h"
#include "core/catalogue/lsp_record.h"
#include "core/speech/speech_texts.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace kvx::cli {

namespace {

QJsonValue orNull(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue();
}

bool isCsv(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
}

// The catalogue of Kvx.ini (else the default one), as the window opens it;
// empty, with the reason in problem, when it cannot be read.
QList<LspRecord> catalogueOf(const ProgramFolders& folders, const QString& ini, QString& problem) {
    const QString name =
        ReadIniValue(Configuration::DataFileSection, Configuration::DataFileKey, ini)
            .value_or(Configuration::DefaultDataFile);
    const QString path = cataloguePath(folders.installed ? folders.installed->catalogueFolders
                                                         : QStringList{folders.programFolder},
                                       name);
    QString whyNot;
    std::optional<QList<LspRecord>> records = readLspFile(path, &whyNot);
    if (!records) {
        problem = filled(said(CliText::CannotRead),
                         {QDir::toNativeSeparators(path), whyUnreadable(path, whyNot)});
        return {};
    }
    return *records;
}

// A reader's error in the run's words; a file that is not there or a folder
// is said so, as for every file kvx-cli reads.
QString readErrorText(BuildingError error, const LocalTexts& texts) {
    if (error.kind == BuildingError::Kind::CannotRead)
        error.detail = whyUnreadable(error.file, error.detail);
    return buildingErrorText(error, texts);
}

// The building, or a room list as a building of its rooms and zones; nothing,
// said on standard error, when it cannot be read.
std::optional<Building> readInput(const Invocation& invocation, const ProgramFolders& folders,
                                  const QString& ini, const LocalTexts& texts) {
    if (!isCsv(invocation.file)) {
        BuildingRead read = readBuildingFile(invocation.file);
        if (!read.building)
            complain(readErrorText(*read.error, texts));
        return std::move(read.building);
    }
    QString problem;
    const QList<LspRecord> catalogue = catalogueOf(folders, ini, problem);
    const RoomListRead read = readRoomListFile(invocation.file, catalogue);
    if (!read.list) {
        if (!problem.isEmpty() && read.error->kind == BuildingError::Kind::UnknownType)
            complain(problem);
        complain(readErrorText(*read.error, texts));
        return std::nullopt;
    }
    Building building;
    addRoomList(building, *read.list);
    return building;
}

QJsonObject roomJson(const Building& building, const BuildingFigures& figures, qsizetype index,
                     const LocalTexts& texts) {
    const Room& room = building.rooms[index];
    const RoomFigures& f = figures.rooms[size_t(index)];
    QJsonObject json{{QStringLiteral("name"), room.name},
                     {QStringLiteral("zone"), figures.zones[size_t(f.zone)].name},
                     {QStringLiteral("quantity"), room.quantity}};
    const QJsonValue none;
    if (f.error) {
        for (const char* key :
             {"spacing", "columns", "rows", "count", "speakerPower", "directLevel", "difference1",
              "coverage", "level", "speech", "loudspeakers", "load"})
            json.insert(QLatin1String(key), none);
        json.insert(QStringLiteral("error"), roomErrorText(*f.error, texts));
        return json;
    }
    const Design& d = f.design;
    json.insert(QStringLiteral("spacing"), d.distance);
    json.insert(QStringLiteral("columns"), d.grid.columns);
    json.insert(QStringLiteral("rows"), d.grid.rows);
    json.insert(QStringLiteral("count"), d.speakers);
    json.insert(QStringLiteral("speakerPower"), d.speakerPower);
    json.insert(QStringLiteral("directLevel"), d.directLevel);
    json.insert(QStringLiteral("difference1"), d.difference1);
    json.insert(QStringLiteral("coverage"),
                QJsonObject{{QStringLiteral("min1k"), f.coverage.min1k},
                            {QStringLiteral("spread1k"), f.coverage.spread1k},
                            {QStringLiteral("withinSet4k"), f.coverage.withinSet4k}});
    json.insert(QStringLiteral("level"),
                f.level ? QJsonValue(QJsonObject{{QStringLiteral("required"), f.level->required},
                                                 {QStringLiteral("quietest"), f.level->quietest},
                                                 {QStringLiteral("met"), f.level->met}})
                        : none);
    json.insert(QStringLiteral("speech"),
                f.speech ? QJsonValue(QJsonObject{{QStringLiteral("mean"), f.speech->mean},
                                                  {QStringLiteral("min"), f.speech->min}})
                         : none);
    json.insert(QStringLiteral("loudspeakers"), f.loudspeakers);
    json.insert(QStringLiteral("load"), f.load);
    json.insert(QStringLiteral("error"), none);
    return json;
}

QJsonObject zoneJson(const Building& building, const ZoneFigures& z, int index) {
    const SystemFigures& s = z.sizing;
    const bool loaded = z.load > 0;
    const std::optional<double> rating =
        index < building.zones.size() ? building.zones[index].amplifier : std::nullopt;
    QJsonValue cable;
    if (s.cable && s.cable->state) {
        cable = QJsonObject{{QStringLiteral("loopResistance"), s.cable->loopResistance},
                            {QStringLiteral("drop"), s.cable->drop},
                            {QStringLiteral("state"), dropStateName(*s.cable->state)}};
    }
    return {{QStringLiteral("name"), z.name},
            {QStringLiteral("line"), z.line},
            {QStringLiteral("rooms"), z.calculatedRooms},
            {QStringLiteral("loudspeakers"), z.loudspeakers},
            {QStringLiteral("load"), z.load},
            {QStringLiteral("minimumAmplifier"), s.minimumAmplifier},
            {QStringLiteral("amplifier"), orNull(rating)},
            {QStringLiteral("amplifierLoad"), orNull(s.amplifierLoad)},
            {QStringLiteral("amplifierState"),
             s.amplifierState ? QJsonValue(amplifierStateName(*s.amplifierState)) : QJsonValue()},
            {QStringLiteral("impedance"), loaded ? QJsonValue(s.impedance) : QJsonValue()},
            {QStringLiteral("current"), loaded ? QJsonValue(s.current) : QJsonValue()},
            {QStringLiteral("cable"), cable}};
}

QJsonObject billJson(const BuildingFigures& figures, const LocalTexts& texts) {
    QJsonArray loudspeakers;
    for (const BomLoudspeaker& l : figures.bom.loudspeakers) {
        loudspeakers.append(QJsonObject{{QStringLiteral("type"), bomTypeName(l.loudspeaker, texts)},
                                        {QStringLiteral("count"), l.count}});
    }
    QJsonArray amplifiers;
    for (const BomAmplifier& a : figures.bom.amplifiers) {
        amplifiers.append(QJsonObject{{QStringLiteral("zone"), figures.zones[size_t(a.zone)].name},
                                      {QStringLiteral("line"), a.line},
                                      {QStringLiteral("minimum"), a.minimum},
                                      {QStringLiteral("rating"), orNull(a.rating)}});
    }
    QJsonArray cable;
    for (const BomCable& c : figures.bom.cable) {
        cable.append(QJsonObject{{QStringLiteral("crossSection"), c.crossSection},
                                 {QStringLiteral("measured"), c.measured},
                                 {QStringLiteral("toOrder"), c.toOrder}});
    }
    return {{QStringLiteral("loudspeakers"), loudspeakers},
            {QStringLiteral("amplifiers"), amplifiers},
            {QStringLiteral("cable"), cable}};
}

// What the rooms' figures leave out, each as a message of the speech estimate
// naming its room.
QList<Message> notesOf(const Building& building, const BuildingFigures& figures,
                       const LocalTexts& texts) {
    QList<Message> notes;
    for (qsizetype i = 0; i < building.rooms.size(); ++i) {
        const Room& room = building.rooms[i];
        for (const QString& note : roomNotes(room, figures.rooms[size_t(i)], texts)) {
            notes.append({texts.text(BuildingFiguresText::RoomOnly)
                              .arg(texts.locale.toString(i + 1), room.name, note),
                          MsgStyle::Exclamation, texts.text(SpeechText::Page)});
        }
    }
    return notes;
}

// Writes -o and --bom as asked; false when a file was not written.
bool writeFiles(const Invocation& invocation, const Building& building,
                const BuildingFigures& figures, const LocalTexts& texts) {
    bool written = true;
    const auto write = [&](const QString& path, const auto& writer) {
        if (!mayWriteOutput(path, invocation)) {
            written = false;
            return;
        }
        if (const std::optional<BuildingError> error = writer()) {
            complain(buildingErrorText(*error, texts));
            written = false;
        }
    };
    if (!invocation.output.isEmpty()) {
        write(invocation.output, [&] {
            return isCsv(invocation.output)
                       ? writeCsvFile(invocation.output, scheduleCsv(building, figures, texts))
                       : writeBuildingFile(invocation.output, building);
        });
    }
    if (invocation.bomPath) {
        write(*invocation.bomPath,
              [&] { return writeCsvFile(*invocation.bomPath, billCsv(building, figures, texts)); });
    }
    return written;
}

} // namespace

QJsonObject buildingJson(const Building& building, const BuildingFigures& figures,
                         const LocalTexts& texts) {
    QJsonArray rooms;
    for (qsizetype i = 0; i < building.rooms.size(); ++i)
        rooms.append(roomJson(building, figures, i, texts));
    QJsonArray zones;
    for (int z = 0; z < int(figures.zones.size()); ++z) {
        if (figures.shows(z))
            zones.append(zoneJson(building, figures.zones[size_t(z)], z));
    }
    QJsonArray messages;
    for (const Message& m : notesOf(building, figures, texts)) {
        messages.append(QJsonObject{{QStringLiteral("title"), m.title},
                                    {QStringLiteral("text"), m.text},
                                    {QStringLiteral("style"), m.style}});
    }
    return {{QStringLiteral("rooms"), rooms},
            {QStringLiteral("zones"), zones},
            {QStringLiteral("bom"), billJson(figures, texts)},
            {QStringLiteral("messages"), messages}};
}

int runBuilding(const Invocation& invocation) {
    const ProgramFolders folders = programFolders(invocation);
    const QString ini = configurationFile(folders);
    const LocalTexts texts = runTexts(invocation.locale.value_or(QLocale::system()));

    std::optional<Building> building = readInput(invocation, folders, ini, texts);
    if (!building)
        return Exit::Failure;
    // A building shows in its file's units unless --units names others; the
    // file written with -o keeps its own.
    const Units fileUnits = building->units;
    if (invocation.units)
        building->units = *invocation.units;
    const BuildingFigures figures = *computeBuilding(*building);

    if (invocation.json) {
        writeOut(QString::fromUtf8(QJsonDocument(withUnits(buildingJson(*building, figures, texts),
                                                           invocation, building->units))
                                       .toJson()));
    } else {
        const QStringList lines = scheduleLines(*building, figures, texts);
        writeOut(lines.join(u'\n') + (lines.isEmpty() ? QString() : QStringLiteral("\n")));
        for (const Message& note : notesOf(*building, figures, texts))
            writeErr(note.title + QStringLiteral(": ") + note.text + u'\n');
    }
    building->units = fileUnits;
    if (!writeFiles(invocation, *building, figures, texts))
        return Exit::Failure;
    return figures.allCalculated() ? Exit::Success : Exit::MessageShown;
}

} // namespace kvx::cli
