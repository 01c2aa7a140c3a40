// The loudspeaker data file: its record layout, and the main window opening
// the current file, listing its types and showing one type's data, on files
// that the tests write into the harness's program folder.
#include "core/catalogue/lsp_record.h"
#include "core/kvx_error.h"
#include "support/harness.h"

#include <QDir>
#include <QFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace kvx;
using kvx::test::Harness;

namespace {

LspRecord makeRecord(const QString& name, qint16 angle1, qint16 angle4, float sensitivity,
                     float maxPower) {
    LspRecord r;
    r.TypeName = name.leftJustified(kLspNameLength, u' ');
    r.Angle1 = angle1;
    r.Angle4 = angle4;
    r.Sensitivity = sensitivity;
    r.MaxPower = maxPower;
    return r;
}

QByteArray bytesOf(const QList<LspRecord>& records) {
    QByteArray bytes;
    for (const LspRecord& r : records)
        bytes += encodeLspRecord(r);
    return bytes;
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Three types: the values a ceiling loudspeaker might have, negative angles,
// and a whole-number sensitivity.
const QList<LspRecord>& threeTypes() {
    static const QList<LspRecord> records = {
        makeRecord(QStringLiteral("Ceil5"), 90, 60, 89.5f, 6),
        makeRecord(QStringLiteral("Odd"), -45, -1, -3.5f, 0.25f),
        makeRecord(QStringLiteral("Third"), 120, 80, 91, 15),
    };
    return records;
}

QStringList fieldTexts(const FrmKvx& w) {
    return {w.txtAngle1.text(), w.txtAngle4.text(), w.txtSensitivity.text(), w.txtMaxPower.text()};
}

void openCurrent(Harness& h, const QString& name) {
    h.kvx.CurrentLspFile = name;
    h.w->OpenLoudspeakerFile();
}

} // namespace

class TestLoudspeakerFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recordBytes_data();
    void recordBytes();
    void storableRecords_data();
    void storableRecords();
    void refusedWriteKeepsOldFile();
    void typeList_data();
    void typeList();
    void namesKeepPaddingAndAccents();
    void userTypeEntryFollowsLanguage();
    void showData_data();
    void showData();
    void noOpenFileShowsZeroedRecord();
    void missingFileEndsProgram_data();
    void missingFileEndsProgram();
    void folderEndingInSeparator_data();
    void folderEndingInSeparator();
    void notARegularFile_data();
    void notARegularFile();
    void unreadableFileEndsProgram();
    void listStopsAtLastAddressableRecord();
};

void TestLoudspeakerFile::recordBytes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("angle1");
    QTest::addColumn<int>("angle4");
    QTest::addColumn<float>("sensitivity");
    QTest::addColumn<float>("maxPower");
    QTest::addColumn<QByteArray>("hex");

    QTest::newRow("short name padded, little-endian numbers")
        << "Ceil5" << 90 << 60 << 89.5f << 6.0f
        << QByteArray("4365696c35202020202020"
                      "5a00"
                      "3c00"
                      "0000b342"
                      "0000c040");
    QTest::newRow("negative and extreme angles, negative sensitivity")
        << "Odd" << -90 << -32768 << -3.5f << 0.0f
        << QByteArray("4f64642020202020202020"
                      "a6ff"
                      "0080"
                      "000060c0"
                      "00000000");
    QTest::newRow("largest angle") << "Max" << 32767 << -1 << 1.0f << 1.0f
                                   << QByteArray("4d61782020202020202020"
                                                 "ff7f"
                                                 "ffff"
                                                 "0000803f"
                                                 "0000803f");
    QTest::newRow("accented letters and euro sign in Windows-1252")
        << QStringLiteral("Caf\u00e9 \u00e9\u20ac") << 100 << 70 << 88.0f << 10.0f
        << QByteArray("436166e920e98020202020"
                      "6400"
                      "4600"
                      "0000b042"
                      "00002041");
}

void TestLoudspeakerFile::recordBytes() {
    QFETCH(QString, name);
    QFETCH(int, angle1);
    QFETCH(int, angle4);
    QFETCH(float, sensitivity);
    QFETCH(float, maxPower);
    QFETCH(QByteArray, hex);

    const LspRecord record =
        makeRecord(name, qint16(angle1), qint16(angle4), sensitivity, maxPower);
    const QByteArray bytes = QByteArray::fromHex(hex);
    QCOMPARE(bytes.size(), kLspRecordSize);
    QCOMPARE(encodeLspRecord(record).toHex(), hex);
    const auto decoded = decodeLspRecord(bytes);
    QVERIFY(decoded);
    QCOMPARE(decoded->TypeName, record.TypeName);
    QCOMPARE(decoded->Angle1, record.Angle1);
    QCOMPARE(decoded->Angle4, record.Angle4);
    QCOMPARE(decoded->Sensitivity, record.Sensitivity);
    QCOMPARE(decoded->MaxPower, record.MaxPower);
}

void TestLoudspeakerFile::storableRecords_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<float>("sensitivity");
    QTest::addColumn<float>("maxPower");
    QTest::addColumn<QString>("problem"); // a piece of the reason; empty: storable

    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("eleven characters") << "ABCDEFGHIJK" << 90.0f << 6.0f << "";
    QTest::newRow("Windows-1252 letters")
        << QStringLiteral("\u00c9t\u00e9 \u20ac\u0153") << 90.0f << 6.0f << "";
    QTest::newRow("twelve characters") << "ABCDEFGHIJKL" << 90.0f << 6.0f << "12 characters";
    QTest::newRow("blank name") << "    " << 90.0f << 6.0f << "blank";
    QTest::newRow("line break in name") << "Ceil\n5" << 90.0f << 6.0f << "control character";
    QTest::newRow("character outside Windows-1252")
        << QStringLiteral("Ceil \u4e2d") << 90.0f << 6.0f << "Windows-1252 cannot hold";
    QTest::newRow("character beyond the basic plane")
        << QStringLiteral("Ceil \U0001F50A") << 90.0f << 6.0f << "Windows-1252 cannot hold";
    QTest::newRow("infinite sensitivity") << "Ceil" << inf << 6.0f << "sensitivity";
    QTest::newRow("NaN rated power") << "Ceil" << 90.0f << nan << "rated power";
}

void TestLoudspeakerFile::storableRecords() {
    QFETCH(QString, name);
    QFETCH(float, sensitivity);
    QFETCH(float, maxPower);
    QFETCH(QString, problem);

    LspRecord r = makeRecord({}, 90, 60, sensitivity, maxPower);
    r.TypeName = name;
    const QString reason = lspRecordProblem(r);
    if (problem.isEmpty()) {
        QCOMPARE(reason, QString());
        Harness h;
        QVERIFY(writeLspFile(h.path("Ok.lsp"), {r}));
        const auto back = readLspFile(h.path("Ok.lsp"));
        QVERIFY(back);
        QCOMPARE(back->size(), 1);
        QCOMPARE(back->first().TypeName, name.leftJustified(kLspNameLength, u' '));
    } else {
        QVERIFY2(reason.contains(problem), qPrintable(reason));
    }
}

void TestLoudspeakerFile::refusedWriteKeepsOldFile() {
    Harness h;
    const QString path = h.path("Old.lsp");
    QVERIFY(writeLspFile(path, threeTypes()));
    const QByteArray before = bytesOf(threeTypes());

    QList<LspRecord> bad = threeTypes();
    bad[1].TypeName = QStringLiteral("Far too long a name");
    QString whyNot;
    QVERIFY(!writeLspFile(path, bad, &whyNot));
    QVERIFY2(whyNot.startsWith(QStringLiteral("record 2: ")), qPrintable(whyNot));

    const QList<LspRecord> tooMany(kMaxLspRecords + 1, threeTypes().first());
    QVERIFY(!writeLspFile(path, tooMany, &whyNot));
    QVERIFY2(whyNot.contains(QString::number(kMaxLspRecords)), qPrintable(whyNot));

    QVERIFY(!writeLspFile(h.path("no such folder/New.lsp"), threeTypes(), &whyNot));
    QVERIFY(!whyNot.isEmpty());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestLoudspeakerFile::typeList_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("types");

    const QByteArray all = bytesOf(threeTypes());
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("22 bytes: no whole record") << all.first(22) << QStringList();
    QTest::newRow("one record") << all.first(23) << QStringList{"Ceil5      "};
    QTest::newRow("50 bytes: two records, last 4 bytes ignored")
        << all.first(50) << QStringList{"Ceil5      ", "Odd        "};
    QTest::newRow("three records")
        << all << QStringList{"Ceil5      ", "Odd        ", "Third      "};
}

void TestLoudspeakerFile::typeList() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, types);

    Harness h;
    QVERIFY(writeBytes(h.path("Test.lsp"), content));
    h.w->lstLsp.addItem(QStringLiteral("kept")); // the list is not cleared first
    openCurrent(h, QStringLiteral("Test.lsp"));
    h.w->FillLoudspeakerList();

    const QStringList expected = QStringList{"kept"} + types + QStringList{"User type"};
    QCOMPARE(h.w->lstLsp.items(), expected);
    QVERIFY(h.platform.messages.isEmpty());
}

void TestLoudspeakerFile::namesKeepPaddingAndAccents() {
    Harness h;
    QByteArray content = bytesOf({makeRecord(QStringLiteral("Ceil5"), 90, 60, 89.5f, 6)});
    QByteArray accented = bytesOf({makeRecord(QStringLiteral("x"), 90, 60, 89.5f, 6)});
    accented.replace(0, kLspNameLength, QByteArray(" Caf\xe9\x80\x9c\x93\x94  ", 11));
    QVERIFY(writeBytes(h.path("Names.lsp"), content + accented));

    openCurrent(h, QStringLiteral("Names.lsp"));
    h.w->FillLoudspeakerList();
    QCOMPARE(h.w->lstLsp.items().mid(0, 2),
             (QStringList{QStringLiteral("Ceil5      "),
                          QStringLiteral(" Caf\u00e9\u20ac\u0153\u201c\u201d  ")}));
}

void TestLoudspeakerFile::userTypeEntryFollowsLanguage() {
    Harness h;
    QVERIFY(writeBytes(h.path("Test.lsp"), {}));
    h.kvx.LanguageOffset = LanguageOffsets::Dutch;
    openCurrent(h, QStringLiteral("Test.lsp"));
    h.w->FillLoudspeakerList();
    QCOMPARE(h.w->lstLsp.items(), QStringList{QStringLiteral("Eigen invoer")});
}

void TestLoudspeakerFile::showData_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("recordNumber");
    QTest::addColumn<QStringList>("texts");

    const QByteArray all = bytesOf(threeTypes());
    const QStringList zeroed{"0", "0", "0", "0"};
    QTest::newRow("first record, decimal point")
        << "C" << all << 1 << QStringList{"90", "60", "89.5", "6"};
    QTest::newRow("first record, decimal comma in Dutch")
        << "nl_NL" << all << 1 << QStringList{"90", "60", "89,5", "6"};
    QTest::newRow("negative angles and fractions")
        << "C" << all << 2 << QStringList{"-45", "-1", "-3.5", "0.25"};
    QTest::newRow("third record") << "C" << all << 3 << QStringList{"120", "80", "91", "15"};
    QTest::newRow("beyond the end: zeroed record") << "C" << all << 4 << zeroed;
    QTest::newRow("in the trailing piece: zeroed record") << "C" << all.first(50) << 3 << zeroed;
    QTest::newRow("record 1 of an empty file: zeroed record") << "C" << QByteArray() << 1 << zeroed;
    QTest::newRow("record 0: zeroed record") << "C" << all << 0 << zeroed;
    QTest::newRow("negative record number: zeroed record") << "C" << all << -5 << zeroed;
}

void TestLoudspeakerFile::showData() {
    QFETCH(QString, locale);
    QFETCH(QByteArray, content);
    QFETCH(int, recordNumber);
    QFETCH(QStringList, texts);

    Harness h{QLocale(locale)};
    QVERIFY(writeBytes(h.path("Test.lsp"), content));
    openCurrent(h, QStringLiteral("Test.lsp"));
    for (Control* field :
         {&h.w->txtAngle1, &h.w->txtAngle4, &h.w->txtSensitivity, &h.w->txtMaxPower})
        field->setText(QStringLiteral("before"));

    h.w->ShowLoudspeakerData(qint16(recordNumber));
    QCOMPARE(fieldTexts(*h.w), texts);
    // The record is read again each time: a second look still finds it.
    h.w->ShowLoudspeakerData(qint16(recordNumber));
    QCOMPARE(fieldTexts(*h.w), texts);
}

void TestLoudspeakerFile::noOpenFileShowsZeroedRecord() {
    Harness h;
    h.w->txtAngle1.setText(QStringLiteral("120"));
    h.w->ShowLoudspeakerData(1);
    QCOMPARE(fieldTexts(*h.w), (QStringList{"0", "0", "0", "0"}));
    h.w->FillLoudspeakerList();
    QCOMPARE(h.w->lstLsp.items(), QStringList{"User type"});
}

void TestLoudspeakerFile::missingFileEndsProgram_data() {
    QTest::addColumn<QString>("fileName");
    QTest::newRow("configured file removed") << "Basic.lsp";
    QTest::newRow("dangling link") << "Link.lsp";
}

void TestLoudspeakerFile::missingFileEndsProgram() {
    QFETCH(QString, fileName);

    Harness h;
    QVERIFY(QFile::link(h.path("Gone.lsp"), h.path("Link.lsp")));
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, openCurrent(h, fileName));

    QVERIFY(h.platform.ended);
    QVERIFY(!h.w->LspFile);
    QCOMPARE(h.platform.messages.size(), 1);
    const auto& message = h.platform.messages.first();
    QCOMPARE(message.text, QStringLiteral("Loudspeaker Data File: ") +
                               QDir::toNativeSeparators(h.path(fileName)) +
                               QStringLiteral(" not found.\nProgram aborted."));
    QCOMPARE(message.style, MsgStyle::Critical);
    QCOMPARE(message.title, QStringLiteral("Loudspeaker File Error"));
}

void TestLoudspeakerFile::folderEndingInSeparator_data() {
    QTest::addColumn<bool>("trailingSeparator");
    QTest::newRow("folder without separator") << false;
    QTest::newRow("folder ending in a separator") << true;
}

void TestLoudspeakerFile::folderEndingInSeparator() {
    QFETCH(bool, trailingSeparator);

    Harness h;
    QVERIFY(writeBytes(h.path("Basic.lsp"), bytesOf(threeTypes())));
    const QString folder = h.dir.path();
    if (trailingSeparator)
        h.kvx.programFolder = folder + QDir::separator();

    openCurrent(h, QStringLiteral("Basic.lsp"));
    QVERIFY(h.w->LspFile);
    QCOMPARE(h.w->LspFile->fileName(), folder + QStringLiteral("/Basic.lsp"));

    QVERIFY_THROWS_EXCEPTION(ProgramEnded, openCurrent(h, QStringLiteral("None.lsp")));
    QCOMPARE(h.platform.messages.size(), 1);
    QVERIFY2(h.platform.messages.first().text.contains(
                 QDir::toNativeSeparators(folder + QStringLiteral("/None.lsp")) + " not found."),
             qPrintable(h.platform.messages.first().text));
}

void TestLoudspeakerFile::notARegularFile_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a folder named like a data file") << "Folder.lsp"
                                                     << " is a folder, not a file.";
    QTest::newRow("no file name configured: the program's folder") << ""
                                                                   << " is a folder, not a file.";
#ifdef Q_OS_UNIX
    QTest::newRow("a named pipe") << "Pipe.lsp"
                                  << " is not a regular file.";
#endif
}

void TestLoudspeakerFile::notARegularFile() {
    QFETCH(QString, fileName);
    QFETCH(QString, reason);

    Harness h;
    QVERIFY(QDir(h.dir.path()).mkdir(QStringLiteral("Folder.lsp")));
#ifdef Q_OS_UNIX
    QCOMPARE(::mkfifo(QFile::encodeName(h.path("Pipe.lsp")).constData(), 0600), 0);
#endif
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, openCurrent(h, fileName));

    QVERIFY(h.platform.ended);
    QVERIFY(!h.w->LspFile);
    QCOMPARE(h.platform.messages.size(), 1);
    const auto& message = h.platform.messages.first();
    QCOMPARE(message.title, QStringLiteral("Open File Error"));
    QCOMPARE(message.style, MsgStyle::OkOnly);
    QCOMPARE(message.text, QStringLiteral("Loudspeaker Data File: ") +
                               QDir::toNativeSeparators(h.dir.path() + u'/' + fileName) + reason +
                               QStringLiteral("\nProgram aborted."));
}

void TestLoudspeakerFile::unreadableFileEndsProgram() {
    Harness h;
    const QString path = h.path("Locked.lsp");
    QVERIFY(writeBytes(path, bytesOf(threeTypes())));
    QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions{}));
    if (QFile probe(path); probe.open(QIODevice::ReadOnly))
        QSKIP("this user may read any file");

    QVERIFY_THROWS_EXCEPTION(ProgramEnded, openCurrent(h, QStringLiteral("Locked.lsp")));
    QVERIFY(h.platform.ended);
    QVERIFY(!h.w->LspFile);
    QCOMPARE(h.platform.messageTitles(), QStringList{"Open File Error"});
    QVERIFY(h.platform.messages.first().text.contains(QStringLiteral(" cannot be opened: ")));
    // Nothing is read from a file that is not open.
    h.w->ShowLoudspeakerData(1);
    QCOMPARE(fieldTexts(*h.w), (QStringList{"0", "0", "0", "0"}));
}

void TestLoudspeakerFile::listStopsAtLastAddressableRecord() {
    Harness h;
    QList<LspRecord> records;
    records.reserve(40000);
    for (int i = 1; i <= 40000; ++i)
        records.append(makeRecord(QStringLiteral("T%1").arg(i), qint16(i % 180), 30, 90, 6));
    QVERIFY(writeBytes(h.path("Big.lsp"), bytesOf(records)));

    openCurrent(h, QStringLiteral("Big.lsp"));
    h.w->FillLoudspeakerList();
    const QStringList& items = h.w->lstLsp.items();
    QCOMPARE(items.size(), kMaxLspRecords + 1);
    QCOMPARE(items.at(kMaxLspRecords - 1), QStringLiteral("T32767     "));
    QCOMPARE(items.last(), QStringLiteral("User type"));

    h.w->ShowLoudspeakerData(qint16(kMaxLspRecords));
    QCOMPARE(h.w->txtAngle1.text(), QString::number(32767 % 180));
}

QTEST_GUILESS_MAIN(TestLoudspeakerFile)
#include "test_loudspeaker_file.moc"
