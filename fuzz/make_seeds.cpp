// Writes the seed corpus of every fuzz target with the program's own writers:
// fuzz/corpus/<target>/<seed>. Run by scripts/fuzz --seeds; the seeds are
// committed, so run it again only when a file format changes.

#include "support.h"

#include "core/base/ini_file.h"
#include "core/base/string_table.h"
#include "core/building/building_file.h"
#include "core/building/room_list.h"
#include "core/catalogue/catalogue_csv.h"
#include "core/catalogue/lsp_record.h"
#include "core/project/project_settings.h"
#include "core/ui/kvx1.h"
#include "core/ui/main_window.h"
#include "core/ui/translation.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>

#include <cstdio>

using namespace kvx;
using namespace kvx::fuzz;

namespace {

QString g_corpus;

// The seeds' own messages are for the developer.
LocalTexts english() {
    return {StringTable::builtIn(), LanguageOffsets::English, QLocale::c()};
}

void seed(const char* target, const char* name, QByteArrayView bytes) {
    const QString folder = g_corpus + u'/' + QLatin1String(target);
    QDir().mkpath(folder);
    QFile file(folder + u'/' + QLatin1String(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size())
        propertyFailed("cannot write a seed", file.fileName());
}

void projectSeeds() {
    const QString path = programFolder() + QStringLiteral("/seed.kvx");
    {
        SilentPlatform platform;
        Kvx1 kvx(platform, programFolder(), QLocale::c());
        FrmKvx w(kvx);
        w.Form_Load();
        w.WriteProjectFile(path);
        seed("project_file", "new-project.kvx", readBytes(path));

        w.txtDescription.setText(QStringLiteral("Conference room, ground floor"));
        w.lstLsp.userPick(1);
        w.txtRoomLength.setText(QStringLiteral("24.5"));
        w.txtRoomWidth.setText(QStringLiteral("12"));
        w.txtRoomHeight.setText(QStringLiteral("3.2"));
        w.lstLspTap.userPick(2);
        w.cmdCalc_Click();
        w.WriteProjectFile(path);
        const QByteArray example = readBytes(path);
        seed("project_file", "calculated.kvx", example);
        // A file cut short inside the room data.
        seed("project_file", "cut-short.kvx", example.left(example.indexOf("[Power")));

        // Every optional section, each away from its defaults.
        ProjectSettings settings;
        settings.system.ambient = 55;
        settings.system.above = 12;
        settings.system.amplifier = 240;
        settings.system.cableLength = 80.5;
        settings.system.crossSection = QStringLiteral("14AWG");
        settings.system.load = CableLoad::Spread;
        settings.system.dropLimit = 1;
        settings.layout = {Pattern::Offset, Fit::Spacing};
        settings.speech.reverberation = 1.2;
        settings.speech.target = 0.6;
        w.setSettings(settings);
        w.cmdCalc_Click();
        w.WriteProjectFile(path);
        const QByteArray sections = readBytes(path);
        seed("project_file", "all-sections.kvx", sections);
        // The listener area's margin: a record of its own right after [System].
        QByteArray plan = sections;
        plan.insert(plan.indexOf("[Layout]"), "[Plan]\r\n\"1.5\"\r\n");
        seed("project_file", "plan-margin.kvx", plan);
        // Settings as a hand or another version may leave them: fields short,
        // unknown or out of range, sections repeated and out of order.
        seed("project_file", "odd-sections.kvx",
             example + "[Speech]\r\n\"-1\"\r\n[Layout]\r\n\"hexagon\",\"nearest\"\r\n"
                       "[System]\r\n\"\",\"1e999\",\"0\",\"-80\",\"0,75 mm2\",\"middle\",\"0,5\","
                       "\"extra\"\r\n[Plan]\r\n\"\"\r\n[System]\r\n\"140\"\r\n");
    }
    {
        SilentPlatform platform;
        Kvx1 kvx(platform, programFolder(), QLocale(QLocale::German, QLocale::Germany));
        FrmKvx w(kvx);
        w.Form_Load();
        kvx.LanguageOffset = LanguageOffsets::German;
        LoadGlobalTexts(kvx, w);
        w.ResetProject();
        w.txtDescription.setText(QStringLiteral("Saal im Erdgeschoß"));
        w.cmdCalc_Click();
        w.WriteProjectFile(path);
        seed("project_file", "german-headers.kvx", readBytes(path));
    }
    QFile::remove(path);
}

void loudspeakerSeeds() {
    const QString path = programFolder() + QStringLiteral("/seed.lsp");
    const CatalogueBuild build = buildCatalogue(
        QStringLiteral(KVX_SOURCE_DIR "/resources/basic_catalogue.csv"), path, english());
    if (build.outcome != CatalogueBuild::Outcome::Written)
        propertyFailed("cannot build the shipped catalogue", build.messages.join(u'\n'));
    const QByteArray basic = readBytes(path);
    seed("loudspeaker_file", "basic.lsp", basic);
    seed("loudspeaker_file", "trailing-piece.lsp", basic + basic.left(kLspRecordSize / 2));

    LspRecord odd;
    odd.TypeName = QStringLiteral("Überdeckt  ");
    odd.Angle1 = -45;
    odd.Angle4 = 32767;
    odd.Sensitivity = -3.5f;
    odd.MaxPower = 1e-30f;
    QString whyNot;
    if (!writeLspFile(path, {odd}, &whyNot))
        propertyFailed("cannot write a catalogue", whyNot);
    seed("loudspeaker_file", "one-odd-type.lsp", readBytes(path));
    QFile::remove(path);
}

// The input of the configuration target: section, key and value as the data
// provider reads strings (a backslash doubled, a backslash and one more byte
// ending the string), then the file.
QByteArray iniInput(const char* section, const char* key, const char* value,
                    const QByteArray& file) {
    QByteArray bytes;
    for (const char* text : {section, key, value})
        bytes += QByteArray(text).replace("\\", "\\\\") + "\\;";
    return bytes + file;
}

void iniSeeds() {
    const QString path = programFolder() + QStringLiteral("/seed.ini");
    QFile::remove(path);
    WriteIniValue(QStringLiteral("Current lsp file"), QStringLiteral("Filename"),
                  QStringLiteral("Basic.lsp"), path);
    WriteIniValue(QStringLiteral("Configuration"), QStringLiteral("Language"),
                  QStringLiteral("German"), path);
    const QByteArray file = readBytes(path);
    seed("ini_file", "replace-language", iniInput("Configuration", "Language", "Dutch", file));
    seed("ini_file", "new-section", iniInput("Window", "Left", " 1200 ", file));
    seed("ini_file", "hand-edited",
         iniInput("configuration", "LANGUAGE", "French",
                  "\xEF\xBB\xBF; edited by hand\n[ Configuration ]\n  Language =  Italian  \n"
                  "key without value\n\n[Current lsp file]\r\nFileName=My\\Own.lsp"));
    QFile::remove(path);
}

void numberSeeds() {
    const std::pair<const char*, const char*> texts[] = {
        {"decimal-dot", "12.5"},  {"decimal-comma", " 1,5 "},
        {"hex", "&HFFFF"},        {"octal", "&O777"},
        {"exponent", "1.5E+3"},   {"exponent-d", "-2D-4"},
        {"overflow", "9e999"},    {"underflow", "1e-999"},
        {"blanks", " 3\t4\n.5 "}, {"largest", "1.79769313486231E+308"},
    };
    for (const auto& [name, text] : texts)
        seed("numbers", name, QByteArray(text));
}

// The argument lists of kvx-cli, each argument ended by a zero byte.
void cliSeeds() {
    const std::pair<const char*, QStringList> lines[] = {
        {"help", {QStringLiteral("--help")}},
        {"calc", QString("calc project.kvx --type user --length 12,5 --width 8 --height 3 "
                         "--ear 1.2 --tap 1/2 --line 70 --difference 3.5 --pattern offset "
                         "--fit spacing --save out.kvx --report out.pdf --date 2026-12-07 "
                         "--page-width 80 --locale de_DE --language German --json")
                     .split(u' ')},
        {"calc-user-type", QString("calc --angle1 90 --angle4 60 --sensitivity 89.5 "
                                   "--rated-power 6 --description")
                                   .split(u' ') +
                               QStringList{QStringLiteral("Hall, \"north\"")}},
        {"plan", QString("plan --margin 0.5 --samples 64 -o plan.svg --data-dir /tmp").split(u' ')},
        {"system", QString("system a.kvx --ambient 60 --above 15 --amplifier 240 --cable-length "
                           "80 --cross-section 14AWG --spread --drop-limit 0.5 --save b.kvx")
                       .split(u' ')},
        {"speech", QString("speech --reverberation 1.2 --ambient 45 --target 0.5 --margin 1 "
                           "--samples 32 --json")
                       .split(u' ')},
        {"report", QString("report a.kvx -o a.txt --date 2026-02-29").split(u' ')},
        {"building",
         QString("building school.kvxb -o rooms.csv --bom bom.csv --overwrite").split(u' ')},
        {"catalogue-list", QString("catalogue list Basic.lsp --json").split(u' ')},
        {"catalogue-build", QString("catalogue build in.csv -o out.lsp").split(u' ')},
        {"command-help", QString("system --help").split(u' ')},
        {"wrong", QString("calc --difference 12.06 --samples 3 --page-width -1 x y").split(u' ')},
    };
    for (const auto& [name, arguments] : lines) {
        QByteArray bytes;
        for (const QString& argument : arguments)
            bytes += argument.toUtf8() + '\0';
        seed("cli_options", name, bytes);
    }
}

void catalogueCsvSeeds() {
    QFile shipped(QStringLiteral(KVX_SOURCE_DIR "/resources/basic_catalogue.csv"));
    if (!shipped.open(QIODevice::ReadOnly))
        propertyFailed("cannot read the shipped catalogue", shipped.fileName());
    const QByteArray csv = shipped.readAll();
    seed("catalogue_csv", "shipped.csv", csv);
    const CatalogueCsv parsed = parseCatalogueCsv(csv, english());
    QByteArray listing = catalogueCsv(parsed.records).toUtf8();
    seed("catalogue_csv", "listing.csv", listing);
    seed("catalogue_csv", "spreadsheet.csv",
         "\xEF\xBB\xBF\"name\",\"angle1\",\"angle4\",\"sensitivity\",\"rated_power\"\r\n"
         "\"Say \"\"Hi\"\", ok\", 90 , 60 ,89.5,6\r\n\r\n\"Ünïcode\",-1,+2,1e3,0.25\r\n");
}

Building schoolBuilding() {
    Building b;
    b.name = QStringLiteral("Riverside school, block B");
    Zone ground;
    ground.name = QStringLiteral("Ground floor");
    ground.amplifier = 240;
    ground.cableLength = 80;
    Zone first;
    first.name = QStringLiteral("First floor");
    first.line = 70;
    first.crossSection = QStringLiteral("14AWG");
    first.spread = true;
    b.zones = {ground, first};
    Room classroom;
    classroom.name = QStringLiteral("B.0.12 classroom");
    classroom.zone = ground.name;
    classroom.quantity = 6;
    classroom.length = 9;
    classroom.width = 7.2;
    classroom.height = 3;
    classroom.ear = 1.2;
    classroom.loudspeaker = {QStringLiteral("KV-C6 Std"), 140, 80, 88, 6, {}};
    classroom.tap = 2;
    classroom.pattern = Pattern::Square;
    classroom.margin = 0.5;
    classroom.ambient = 45;
    classroom.reverberation = 0.8;
    Room gym = classroom;
    gym.name = QStringLiteral("Gym \"north\"; hall, ß");
    gym.zone = QStringLiteral("Sports hall");
    gym.quantity = 1;
    gym.length = 32.5;
    gym.width = 18;
    gym.height = 7;
    gym.loudspeaker = {QString(), 75, 50, 94.5, 30, {}};
    gym.tap = 1;
    gym.pattern = Pattern::Offset;
    gym.ambient.reset();
    gym.reverberation.reset();
    b.rooms = {classroom, gym};
    return b;
}

void buildingSeeds() {
    Building b = schoolBuilding();
    seed("building_file", "school.kvxb", buildingBytes(b));
    b.unknownKeys.insert(QStringLiteral("revision"), 7);
    b.zones[0].unknownKeys.insert(QStringLiteral("rack"), QStringLiteral("R1"));
    b.rooms[0].unknownKeys.insert(QStringLiteral("fireZone"),
                                  QJsonObject{{QStringLiteral("doors"), QJsonArray{1, 2}}});
    b.rooms[0].loudspeaker.unknownKeys.insert(QStringLiteral("colour"), QStringLiteral("white"));
    seed("building_file", "unknown-keys.kvxb", buildingBytes(b));
    seed("building_file", "hand-typed.kvxb",
         R"({ "format": "kvx-building", "version": 1, "zones": [ { "name": "A", "line": 50 } ],)"
         R"( "rooms": [ { "name": "R", "zone": "A", "length": 4, "width": 3, "height": 2.7,)"
         R"( "ear": 1.2, "loudspeaker": { "angle1": 90, "angle4": 60, "sensitivity": 89.5,)"
         R"( "ratedPower": 6 }, "ambient": null } ] })");
}

void roomListSeeds() {
    const QList<Room> rooms = schoolBuilding().rooms;
    seed("room_list", "comma.csv", roomListCsv(rooms, CsvSeparator::Comma));
    seed("room_list", "semicolon.csv", roomListCsv(rooms, CsvSeparator::Semicolon));
    seed("room_list", "spreadsheet.csv",
         "EAR;Name;Width;LENGTH;height;Type;Tap;Zone;;\r\n"
         "1,2;\"Office \"\"1\"\"\";7,2;9;3;KV-C6 Std;1/4;Ground;;\r\n"
         ";;;;;;;;;\r\n1,7;B\xfcro;4;5;2,7;KV-C8 Dual;;;;\r\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds CORPUS_FOLDER\n");
        return 2;
    }
    g_corpus = QString::fromLocal8Bit(argv[1]);
    projectSeeds();
    loudspeakerSeeds();
    iniSeeds();
    numberSeeds();
    cliSeeds();
    catalogueCsvSeeds();
    buildingSeeds();
    roomListSeeds();
    return 0;
}
