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
        QFETCH(QStringList, texts);
        const QString file =
            QString(QTest::currentDataTag()).section(' ', 0, 0).remove(',') + ".kvx";
        const QByteArray original = testData("project/" + file);
        QVERIFY(!original.isEmpty());
        ProjectWindow h(language);
        QVERIFY(writeBytes(h.path(file), QByteArray(original).replace("\r\n", lineEnd)));
        h.kvx.Modified = true;
        QVERIFY(h.w->ReadProjectFile(h.path(file)));
        QCOMPARE(h.fieldTexts(), texts);
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

    // The pattern and the fit: a [Layout] record only when one is not the
    // default, after [System]; read back whatever the language, a value it
    // does not know named in a message and read as the default.
    void layoutSection_data() {
        QTest::addColumn<int>("pattern"); // 1: offset rows
        QTest::addColumn<int>("fit");     // 1: kept spacing
        QTest::addColumn<double>("ambient");
        QTest::addColumn<QByteArray>("records"); // after the results
        QTest::newRow("square grid, nearest count: nothing") << 0 << 0 << 0.0 << QByteArray();
        QTest::newRow("offset rows")
            << 1 << 0 << 0.0 << QByteArray("[Layout]\r\n\"offset\",\"nearest\"\r\n");
        QTest::newRow("kept spacing")
            << 0 << 1 << 0.0 << QByteArray("[Layout]\r\n\"square\",\"spacing\"\r\n");
        QTest::newRow("both, after the system settings")
            << 1 << 1 << 50.0
            << QByteArray("[System]\r\n\"50\",\"15\",\"\",\"\",\"1.5\",\"end\",\"0.5\"\r\n"
                          "[Layout]\r\n\"offset\",\"spacing\"\r\n");
    }
    void layoutSection() {
        QFETCH(int, pattern);
        QFETCH(int, fit);
        QFETCH(double, ambient);
        ProjectWindow h;
        h.setFields(example());
        h.kvx.Modified = false;
        ProjectSettings settings;
        settings.layout = {pattern ? Pattern::Offset : Pattern::Square,
                           fit ? Fit::Spacing : Fit::Nearest};
        if (ambient > 0)
            settings.system.ambient = ambient;
        h.w->setSettings(settings);
        QCOMPARE(h.kvx.Modified, !settings.isDefault());
        QCOMPARE(h.w->lstFit.text(),
                 fit ? QStringLiteral("Keep spacing") : QStringLiteral("Nearest count"));
        h.w->WriteProjectFile(h.path("a.kvx"));
        QFETCH(QByteArray, records);
        QCOMPARE(readBytes(h.path("a.kvx")), testData("project/English.kvx") + records);

        // German reads it into a window of other settings, and shows them.
        ProjectWindow other(LanguageOffsets::German);
        other.w->setLayoutSettings({pattern ? Pattern::Square : Pattern::Offset, Fit::Nearest});
        QVERIFY(other.w->ReadProjectFile(h.path("a.kvx")));
        QCOMPARE(other.w->settings(), h.w->settings());
        QCOMPARE(other.w->lstPattern.text(), pattern ? QStringLiteral("Versetzte Reihen")
                                                     : QStringLiteral("Quadratisches Raster"));
        QCOMPARE(other.state().last(), "unmodified");
        // New starts square with the nearest count again.
        other.w->ResetProject();
        QCOMPARE(other.w->lstPattern.text() + u'|' + other.w->lstFit.text(),
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

    // Values the record does not know (the words are matched exactly) are
    // named in the layout settings' messages and read as the defaults.
    void unknownLayoutValues() {
        ProjectWindow h;
        QVERIFY(writeBytes(h.path("p.kvx"), testData("project/English.kvx") +
                                                "[Layout]\r\n\"Offset\",\"round\"\r\n"));
        QVERIFY(h.w->ReadProjectFile(h.path("p.kvx")));
        const QString unknown =
            QStringLiteral("Layout settings (48): The project file holds \"%1\" for "
                           "the layout setting \"%2\", which KVX does not "
                           "know; \"%3\" is used.");
        QCOMPARE(messageLog(h.platform),
                 (QStringList{unknown.arg("Offset", "Pattern", "Square grid"),
                              unknown.arg("round", "Fit", "Nearest count")}));
        QVERIFY(h.w->layoutSettings().isDefault());
    }
};

QTEST_GUILESS_MAIN(TestProjectFile)
#include "test_project_file.moc"
