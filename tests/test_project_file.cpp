// Project files: the exact bytes written, what reading puts into the window,
// and how the reader takes section headers. The example files are kept in
// tests/data/project.
#include "core/base/kvx_error.h"
#include "core/plan/layout_texts.h"
#include "core/project/project_settings.h"
#include "support/files.h"

#include <QDir>
#include <QMap>
#include <QStringEncoder>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

Q_DECLARE_METATYPE(kvx::ProjectSettings)

namespace {

// The example project as the window shows it, with some fields changed.
QStringList example(const QMap<int, QString>& changes = {}) {
    QStringList texts =
        QStringList{"Conference room, ground floor", "Type A     ", "120", "140", "80", "10"} +
        QStringList{"50", "50", "4", "1.5", "1/1 P", "100 V", "10", "5.5", "90", "4.2", "6", "85"};
    for (const auto& [field, text] : changes.asKeyValueRange())
        texts[field] = text;
    return texts;
}

const QByteArray kRoom = "\r\n\"20\",\"10\",\"3\",\"1.2\"\r\n";

} // namespace

class TestProjectFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each example file, named after its row, is read and written again byte for byte.
    void roundTrip_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QByteArray>("lineEnd"); // of the file read
        QTest::addColumn<QStringList>("texts");
        const QByteArray crlf = "\r\n";
        QTest::newRow("English") << 0 << crlf << example();
        QTest::newRow("English, LF line ends") << 0 << QByteArray("\n") << example();
        QTest::newRow("Dutch") << LanguageOffsets::Dutch << crlf
                               << example({{0, "Zaal, begane grond"}, {9, "1,2"}});
        QTest::newRow("French") << LanguageOffsets::French << crlf
                                << example({{0, "Salle de conf\u00e9rence, rez-de-chauss\u00e9e"},
                                            {9, "1,2"}});
        QTest::newRow("Italian") << LanguageOffsets::Italian << crlf
                                 << example({{0, "Sala riunioni, 1\u00b0 piano"}, {9, "1,2"}});
        QTest::newRow("German") << LanguageOffsets::German << crlf
                                << example({{0, "Saal f\u00fcr 200 G\u00e4ste, \u20ac 12.000"},
                                            {9, "1,2"}});
        QTest::newRow("Texts with commas, quotes, padding, and an empty result")
            << 0 << crlf << example({{0, "Hall \"A\", \"B\", C"}, {1, "  K 2      "}, {13, ""}});
    }
    void roundTrip() {
        QFETCH(int, language);
        QFETCH(QByteArray, lineEnd);
        const QString file =
            QString(QTest::currentDataTag()).section(' ', 0, 0).remove(',') + ".kvx";
        const QByteArray original = testData("project/" + file);
        QVERIFY(!original.isEmpty());
        ProjectWindow h(language);
        QVERIFY(writeBytes(h.path(file), QByteArray(original).replace("\r\n", lineEnd)));
        h.kvx.Modified = true;
        QVERIFY(h.w->ReadProjectFile(h.path(file)));
        QTEST(h.fieldTexts(), "texts");
        QCOMPARE(h.state() + h.platform.messageTitles(),
                 (QStringList{"KVX - " + file, "", "unmodified"}));
        QVERIFY(QDir(h.dir.path()).mkdir("jobs"));
        h.kvx.Modified = true;
        h.w->WriteProjectFile(h.path("jobs/Hall.kvx"));
        QCOMPARE(readBytes(h.path("jobs/Hall.kvx")), original);
        QCOMPARE(h.state(), (QStringList{"KVX - Hall.kvx", "", "unmodified"}));
    }

    // Sections come in any order, a later one wins, a missing one leaves its fields
    // alone, and the stored speaker power wins over the one the rated power gives.
    void sectionsInAnyOrder() {
        ProjectWindow h;
        h.setFields(example());
        QVERIFY(writeBytes(h.path("p.kvx"), testData("project/Reordered.kvx")));
        h.w->ReadProjectFile(h.path("p.kvx"));
        QCOMPARE(h.fieldTexts(),
                 (QStringList{"Second", "X", "90", "100", "88", "6", "20", "10", "3", "1,2",
                              "1/2 P", " 70 V", "2.5", "5.5", "90", "4.2", "6", "85"}));
        QVERIFY(!h.kvx.Modified);
    }

    // A header of no language ends the reading with a message and a new project.
    void unknownHeader_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("lastRecord");
        QTest::newRow("other letter case") << "[room data]" + kRoom << "[room data]";
        QTest::newRow("long header kept to fifty characters")
            << "xx[Room Data]" + QByteArray(60, 'x') + kRoom << "[Room Data]" + QString(39, u'x');
        QTest::newRow("German header in other letter case")
            << testData("project/German.kvx").replace("Umschreibung", "umschreibung")
            << "[Projekt umschreibung]";
    }
    void unknownHeader() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, lastRecord);
        ProjectWindow h;
        h.setFields(example());
        h.w->CmDialog1.fileName = h.path("old.kvx");
        h.kvx.Modified = true;
        QVERIFY(writeBytes(h.path("p.kvx"), bytes));
        QVERIFY(!h.w->ReadProjectFile(h.path("p.kvx")));
        // The new project's calculation may speak too; the reader's message comes first.
        QCOMPARE(messageLog(h.platform).value(0),
                 "Fatal Error (16): Error in project file: \rLast Record read: " + lastRecord);
        QCOMPARE(h.platform.messageTitles().count("Fatal Error"), 1);
        QCOMPARE(h.state(), (QStringList{"KVX - <New>", "", "unmodified"}));
        QCOMPARE(h.fieldTexts().mid(0, 10), ProjectWindow().fieldTexts().mid(0, 10));
        h.w->WriteProjectFile(h.path("new.kvx")); // the placeholder is saved as an empty line
        QCOMPARE(readBytes(h.path("new.kvx")).split('\n').value(1), "\r");
    }

    // A project opens whatever the language it was written in: the headers and
    // the user type of every language are read. Written again, it has the
    // headers (and the user type) of the user's language, the rest as it was.
    void everyLanguage_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("type"); // the type list's text after reading
        for (const char* name : {"meeting-room", "shop-floor", "sports-hall"}) {
            const QByteArray bytes =
                readBytes(KVX_SOURCE_DIR "/examples/" + QString(name) + ".kvx");
            const QString type = bytes.split('"').value(1);
            for (const LanguageName& language : kLanguageNames) {
                // The user type is read as the user type of the window's language.
                if (language.hasTexts)
                    QTest::addRow("%s in %s", name, language.name)
                        << bytes << language.offset
                        << (type == "User type"
                                ? StringTable::builtIn().text(1056 + language.offset)
                                : type);
            }
        }
        QTest::newRow("German file with its user type in English")
            << testData("project/German.kvx").replace("Type A     ", "Benutzer Typ") << 0
            << "User type";
    }
    void everyLanguage() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, language);
        QFETCH(QString, type);
        ProjectWindow h(language);
        QVERIFY(writeBytes(h.path("p.kvx"), bytes));
        QVERIFY(h.w->ReadProjectFile(h.path("p.kvx")));
        QCOMPARE(h.platform.messageTitles(), QStringList());
        QCOMPARE(h.w->lstLsp.text(), type);
        h.w->WriteProjectFile(h.path("q.kvx"));
        // Every other line is a header, from [Project Description] (1057) on.
        QList<QByteArray> lines = bytes.split('\n');
        for (int i = 0; i < 10; i += 2) {
            const QString header = StringTable::builtIn().text(1057 + i / 2 + language);
            lines[i] = QStringEncoder("windows-1252").encode(header) + '\r';
        }
        lines[3] = "\"" + QStringEncoder("windows-1252").encode(type) +
                   lines[3].mid(lines[3].indexOf("\","));
        QCOMPARE(readBytes(h.path("q.kvx")), lines.join('\n'));
    }

    // A field holds what a text box holds, 65,535 characters, whether it is a
    // whole line or a quoted field; one more refuses the file.
    void fieldLength_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("length"); // of the field's text after reading; -1: refused
        const auto description = [](int n) {
            return "[Project Description]\r\n" + QByteArray(n, 'x') + "\r\n";
        };
        const auto room = [](int n) {
            return "[Room Data]\r\n\"" + QByteArray(n, '7') + "\",\"10\",\"3\",\"1.2\"\r\n";
        };
        QTest::newRow("description line of 65535") << description(65535) << 0 << 65535;
        QTest::newRow("description line of 65536") << description(65536) << 0 << -1;
        QTest::newRow("quoted room length of 65535") << room(65535) << 6 << 65535;
        QTest::newRow("quoted room length of 65536") << room(65536) << 6 << -1;
    }
    void fieldLength() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, field);
        QFETCH(int, length);
        ProjectWindow h;
        h.setFields(example());
        QVERIFY(writeBytes(h.path("p.kvx"), bytes));
        if (length < 0) {
            QVERIFY_THROWS_EXCEPTION(KvxError, h.w->ReadProjectFile(h.path("p.kvx")));
            return;
        }
        QVERIFY(h.w->ReadProjectFile(h.path("p.kvx")));
        QCOMPARE(h.fieldTexts().value(field).size(), length);
        QCOMPARE(h.platform.messageTitles(), QStringList());
    }

    // The settings' records follow the results, each only when it is not the
    // default, in one order; read into a German window of other settings they
    // give the same settings without a message, and are written again byte
    // for byte.
    void settingsRecords_data() {
        QTest::addColumn<ProjectSettings>("settings");
        QTest::addColumn<QByteArray>("records");
        using P = ProjectSettings;
        const auto row = [](const char* name, void (*change)(P&), const char* records) {
            P settings;
            change(settings);
            QTest::newRow(name) << settings << QByteArray(records);
        };
        row(
            "defaults: nothing", [](P&) {}, "");
        row(
            "ambient only", [](P& s) { s.system.ambient = 60; },
            "[System]\r\n\"60\",\"15\",\"\",\"\",\"1.5\",\"end\",\"0.5\"\r\n");
        row(
            "an unlisted cross-section stays as it is", [](P& s) { s.system.crossSection = "3"; },
            "[System]\r\n\"\",\"15\",\"\",\"\",\"3\",\"end\",\"0.5\"\r\n");
        row(
            "a margin alone", [](P& s) { s.plan.margin = 1.25; }, "[Plan]\r\n\"1.25\"\r\n");
        row(
            "offset rows", [](P& s) { s.layout.pattern = Pattern::Offset; },
            "[Layout]\r\n\"offset\",\"nearest\"\r\n");
        row(
            "kept spacing", [](P& s) { s.layout.fit = Fit::Spacing; },
            "[Layout]\r\n\"square\",\"spacing\"\r\n");
        row(
            "a reverberation time", [](P& s) { s.speech.reverberation = 1.25; },
            "[Speech]\r\n\"1.25\",\"0.5\"\r\n");
        row(
            "a target only", [](P& s) { s.speech.target = 0.45; }, "[Speech]\r\n\"\",\"0.45\"\r\n");
        row(
            "every setting",
            [](P& s) {
                s = {{55.5, 12, 240, 42.5, "14AWG", CableLoad::Spread, 1},
                     {1},
                     {Pattern::Offset, Fit::Spacing},
                     {1.6, 0.45}};
            },
            "[System]\r\n\"55.5\",\"12\",\"240\",\"42.5\",\"14AWG\",\"spread\",\"1\"\r\n"
            "[Plan]\r\n\"1\"\r\n[Layout]\r\n\"offset\",\"spacing\"\r\n"
            "[Speech]\r\n\"1.6\",\"0.45\"\r\n");
    }
    void settingsRecords() {
        QFETCH(ProjectSettings, settings);
        QFETCH(QByteArray, records);
        ProjectWindow h;
        h.setFields(example());
        h.kvx.Modified = false;
        h.w->setSettings(settings);
        QCOMPARE(h.kvx.Modified, !settings.isDefault());
        QCOMPARE(h.w->lstFit.text(),
                 settings.layout.fit == Fit::Spacing ? "Keep spacing" : "Nearest count");
        h.w->WriteProjectFile(h.path("a.kvx"));
        QCOMPARE(readBytes(h.path("a.kvx")), testData("project/English.kvx") + records);

        ProjectWindow other;
        other.w->setSettings({{99, 3, 100, 10, "2.5", CableLoad::Spread, 1},
                              {2},
                              {Pattern::Offset, Fit::Spacing},
                              {7, 0.9}});
        QVERIFY(other.w->ReadProjectFile(h.path("a.kvx")));
        QCOMPARE(other.w->settings(), settings);
        QCOMPARE(other.platform.messageTitles(), QStringList());
        QCOMPARE(other.state().last(), "unmodified");
        other.w->WriteProjectFile(other.path("b.kvx"));
        QCOMPARE(readBytes(other.path("b.kvx")), readBytes(h.path("a.kvx")));

        // German reads it alike and shows it.
        ProjectWindow german(LanguageOffsets::German);
        QVERIFY(german.w->ReadProjectFile(h.path("a.kvx")));
        QCOMPARE(german.w->settings(), settings);
        QCOMPARE(german.w->lstPattern.text(), settings.layout.pattern == Pattern::Offset
                                                  ? "Versetzte Reihen"
                                                  : "Quadratisches Raster");
        // New starts square with the nearest count again.
        german.w->ResetProject();
        QCOMPARE(german.w->lstPattern.text() + u'|' + german.w->lstFit.text(),
                 QStringLiteral("Quadratisches Raster|N\u00e4chstliegende Anzahl"));
    }

    // Putting a field in may calculate while the file is read (a 4 kHz
    // difference other than the window's does): with the project's own pattern
    // and fit, so that it opens with the results it was saved with.
    void calculatesWithItsOwnLayout() {
        ProjectWindow h;
        h.setFields(example({{16, "4.5"}}));
        h.w->setLayoutSettings({Pattern::Offset, Fit::Spacing});
        h.w->cmdCalc_Click();
        const auto results = [](const FrmKvx& w) {
            return QStringList{w.lblDistance.text(), w.lblNrofSpeakers.text(),
                               w.lblLevelDif1.text(), w.lblLevel.text()};
        };
        h.w->WriteProjectFile(h.path("offset.kvx"));
        ProjectWindow other; // a square grid and 6 dB
        QVERIFY(other.w->ReadProjectFile(h.path("offset.kvx")));
        QCOMPARE(results(*other.w), results(*h.w));
        other.w->cmdCalc_Click();
        QCOMPARE(results(*other.w), results(*h.w));
    }

    // Values a record does not know (the words are matched exactly), or a
    // margin that is no length, are named in a message and read as the
    // defaults over the window's settings.
    void unknownSettingValues_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QStringList>("messages");
        const QString unknown =
            QStringLiteral("Layout settings (48): The project file holds \"%1\" for the layout "
                           "setting \"%2\", which KVX does not know; \"%3\" is used.");
        QTest::newRow("layout words in other letter case")
            << QByteArray("[Layout]\r\n\"Offset\",\"round\"\r\n")
            << QStringList{unknown.arg("Offset", "Pattern", "Square grid"),
                           unknown.arg("round", "Fit", "Nearest count")};
        QTest::newRow("a margin below 0")
            << QByteArray("[Plan]\r\n\"-1\"\r\n")
            << QStringList{"Plan settings (48): The project file holds \"-1\" for the margin "
                           "from the walls, which is not a length of 0 m or more; 0 m is used."};
    }
    void unknownSettingValues() {
        QFETCH(QByteArray, record);
        ProjectWindow h;
        h.w->setSettings({{}, {2}, {Pattern::Offset, Fit::Spacing}, {}});
        h.platform.clear();
        QVERIFY(writeBytes(h.path("p.kvx"), testData("project/English.kvx") + record));
        QVERIFY(h.w->ReadProjectFile(h.path("p.kvx")));
        QTEST(messageLog(h.platform), "messages");
        QVERIFY(h.w->settings().isDefault());
    }
};

QTEST_GUILESS_MAIN(TestProjectFile)
#include "test_project_file.moc"
