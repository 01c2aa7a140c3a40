// The loudspeaker data file: its record layout and writer, and the main window
// opening the current file, listing its types and showing one type's data.
#include "core/base/kvx_error.h"
#include "support/files.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>

using namespace kvx;
using namespace kvx::test;

namespace {

// Three types written out byte by byte, so that reading does not lean on the
// writer: a padded name, then Windows-1252 letters and negative angles.
const QByteArray kThreeTypes =
    QByteArray::fromHex("4365696c352020202020205a003c000000b3420000c040"   // Ceil5 90 60 89.5 6
                        "20436166e9809c93942020d3ffffff000060c00000803e"   // -45 -1 -3.5 0.25
                        "5468697264202020202020780050000000b64200007041"); // Third 120 80 91 15
const QString kAccented = QStringLiteral(" Caf\u00e9\u20ac\u0153\u201c\u201d  ");
const QList<LspRecord> kRecords = {lspRecord("Ceil5", 90, 60, 89.5f, 6),
                                   lspRecord(kAccented, -45, -1, -3.5f, 0.25f),
                                   lspRecord("Third", 120, 80, 91, 15)};

} // namespace

class TestLoudspeakerFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recordLayout() {
        for (qsizetype i = 0; i < kRecords.size(); ++i) {
            const QByteArray bytes = kThreeTypes.mid(i * kLspRecordSize, kLspRecordSize);
            QCOMPARE(encodeLspRecord(kRecords[i]).toHex(), bytes.toHex());
            QVERIFY(decodeLspRecord(bytes) == kRecords[i]);
        }
    }

    void listAndShow_data() {
        QTest::addColumn<bool>("dutch");         // language and number locale
        QTest::addColumn<QByteArray>("content"); // null: no file open
        QTest::addColumn<int>("record");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QStringList>("texts");
        const auto row = [](const char* name, bool dutch, const QByteArray& content, int record,
                            const QStringList& types, const QStringList& texts) {
            QTest::newRow(name) << dutch << content << record << types << texts;
        };
        const QStringList three = {"Ceil5      ", kAccented, "Third      ", "User type"};
        const QStringList zeroed = {"0", "0", "0", "0"};
        row("no file open: only the user type, zeroed", false, {}, 1, {"User type"}, zeroed);
        row("empty file: only the user type, record 1 zeroed", false, "", 1, {"User type"}, zeroed);
        row("50 bytes: two entries, record 3 zeroed", false, kThreeTypes.first(50), 3,
            {"Ceil5      ", kAccented, "User type"}, zeroed);
        row("record 1, decimal point", false, kThreeTypes, 1, three, {"90", "60", "89.5", "6"});
        row("negative angles", false, kThreeTypes, 2, three, {"-45", "-1", "-3.5", "0.25"});
        row("Dutch: own user type, decimal comma", true, kThreeTypes, 1,
            {"Ceil5      ", kAccented, "Third      ", "Eigen invoer"}, {"90", "60", "89,5", "6"});
        row("negative record: zeroed", false, kThreeTypes, -5, three, zeroed);
        // Damaged: sensitivity and power that are no numbers show as nothing.
        row("no numbers: empty, never nan", false,
            QByteArray::fromHex("4e614e20202020202020205a003c000000c07f0000807f"), 1,
            {"NaN        ", "User type"}, {"90", "60", "", ""});
    }
    void listAndShow() {
        QFETCH(bool, dutch);
        QFETCH(QByteArray, content);
        QFETCH(int, record);
        QFETCH(QStringList, types);
        ProjectWindow h(dutch ? LanguageOffsets::Dutch : 0,
                        dutch ? QLocale(QLocale::Dutch) : QLocale::c());
        if (!content.isNull()) {
            QVERIFY(writeBytes(h.path("Test.lsp"), content));
            h.kvx.CurrentLspFile = "Test.lsp";
            h.w->OpenLoudspeakerFile();
        }
        h.w->FillLoudspeakerList(); // after the window's own entry: the list is not cleared
        QCOMPARE(h.w->lstLsp.items(), QStringList{"Type A     "} + types);
        h.w->ShowLoudspeakerData(3); // each look reads its own record
        h.w->ShowLoudspeakerData(qint16(record));
        QTEST(h.fieldTexts().mid(2, 4), "texts");
        QCOMPARE(h.platform.messageTitles(), QStringList());
    }

    // Without its catalogue the program cannot work: it says why and ends. The
    // program's folder ends in a separator, which the path does not double.
    void openFailureEndsProgram_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title"); // and style
        QTest::addColumn<QString>("reason");
        const QString lost = "Loudspeaker File Error (16): ", open = "Open File Error (0): ";
        QTest::newRow("missing file") << "Basic.lsp" << lost << " not found.";
        QTest::newRow("no name configured") << "" << lost << " not found.";
        QTest::newRow("folder") << "Folder.lsp" << open << " is a folder, not a file.";
        QTest::newRow("named pipe") << "Pipe.lsp" << open << " is not a regular file.";
    }
    void openFailureEndsProgram() {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QString, reason);
        Harness h;
        QVERIFY(QDir(h.dir.path()).mkdir("Folder.lsp"));
        QCOMPARE(::mkfifo(QFile::encodeName(h.path("Pipe.lsp")).constData(), 0600), 0);
        h.kvx.programFolder += QDir::separator();
        h.kvx.CurrentLspFile = name;
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, h.w->OpenLoudspeakerFile());
        QVERIFY(h.platform.ended && !h.w->LspFile);
        QCOMPARE(messageLog(h.platform),
                 QStringList{title + "Loudspeaker Data File: " +
                             QDir::toNativeSeparators(h.dir.path() + '/' + name) + reason +
                             "\nProgram aborted."});
    }

    // A catalogue is written whole or not at all: one record more than a
    // catalogue can address is refused. (Reading such a file lists the first
    // 32767: TestHostileFiles::hostileConfiguration.)
    void writerRefusesTooManyRecords() {
        Harness h;
        QString whyNot;
        QVERIFY(!writeLspFile(h.path("Big.lsp"), QList<LspRecord>(kMaxLspRecords + 1, kRecords[0]),
                              &whyNot));
        QVERIFY2(whyNot.contains("32767"), qPrintable(whyNot));
        QVERIFY(!QFileInfo::exists(h.path("Big.lsp")));
    }
};

QTEST_GUILESS_MAIN(TestLoudspeakerFile)
#include "test_loudspeaker_file.moc"
