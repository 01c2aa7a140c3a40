// Files from elsewhere and disks that fail: hostile project files, catalogues
// and configuration files, unusual paths, saves that cannot be written. Each
// case ends in a clear message or a correct result, closes every file it
// opened and leaves the user's earlier files as they were. Each case prints
// how long it took; the times are watched, not asserted.
#include "core/catalogue/lsp_record.h"
#include "core/kvx_error.h"
#include "core/shell/ini_file.h"
#include "support/files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kvx;
using namespace kvx::test;

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;

const QByteArray kProject = "[Project Description]\r\n"
                            "Hall project\r\n"
                            "[Loudspeaker Data]\r\n"
                            "\"Type B     \",\"120\",\"90\",\"90\",\"10\"\r\n"
                            "[Room Data]\r\n"
                            "\"20\",\"10\",\"4\",\"1.5\"\r\n"
                            "[Power Settings]\r\n"
                            "\"1/2 P\",\"100 V\",\"5\"\r\n"
                            "[Calculated Data]\r\n"
                            "\"\",\"\",\"\",\"6\",\"\"\r\n";

QByteArray catalogueBytes(int records) {
    QByteArray bytes;
    bytes.reserve(qsizetype(records) * kLspRecordSize);
    for (int i = 1; i <= records; ++i) {
        bytes += encodeLspRecord(lspRecord(QStringLiteral("T%1").arg(i), qint16(60 + i % 120),
                                           qint16(40 + i % 100), 80 + float(i % 20), 6));
    }
    return bytes;
}

// Random bytes that are the same in every run.
QByteArray noise(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

int openFileCount() {
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

// Prints how long a case took.
class CaseTimer {
public:
    explicit CaseTimer(QString what)
        : m_what(std::move(what)) {
        m_timer.start();
    }
    ~CaseTimer() { qInfo("%s: %lld ms", qPrintable(m_what), qint64(m_timer.elapsed())); }

private:
    QString m_what;
    QElapsedTimer m_timer;
};

// Files may grow to at most limit bytes while it lives; a write beyond it fails
// with EFBIG as on a full disk (SIGXFSZ is ignored in initTestCase).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit lower = m_saved;
        lower.rlim_cur = limit;
        m_active = setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }
    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    bool m_active = false;
};

// A program folder with Kvx.ini and a catalogue, and the main window loaded
// from it as at start-up.
struct Program : Harness {
    explicit Program(const QByteArray& ini = "[Current lsp file]\r\nFilename=Basic.lsp\r\n"
                                             "[Configuration]\r\nLanguage=English\r\n",
                     const QByteArray& catalogue = catalogueBytes(3)) {
        writeBytes(path(QStringLiteral("Kvx.ini")), ini);
        writeBytes(path(QStringLiteral("Basic.lsp")), catalogue);
        w->Form_Load();
    }

    QStringList projectFields() const {
        QStringList texts;
        for (const Control* c :
             {&w->txtDescription, &w->lstLsp, &w->txtAngle1, &w->txtAngle4, &w->txtSensitivity,
              &w->txtMaxPower, &w->txtRoomLength, &w->txtRoomWidth, &w->txtRoomHeight,
              &w->txtEarHeight, &w->lstLspTap, &w->lstAmpTap, &w->lblPower})
            texts << c->text();
        return texts;
    }

    // Opens path through the File menu's Open.
    void open(const QString& file) {
        platform.openAnswers << file;
        w->mnuOpen_Click();
    }

    // Sets a project that differs from a new one and marks it modified.
    void editProject() {
        w->txtDescription.userSetText(QStringLiteral("Foyer"));
        w->txtRoomLength.userSetText(QStringLiteral("12"));
        kvx.Modified = true;
    }
};

} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void hostileProjectFileIsRefused_data();
    void hostileProjectFileIsRefused();
    void specialFileIsRefused_data();
    void specialFileIsRefused();
    void longHeaderLineIsAnUnknownHeader();
    void longFileOfRepeatedSections_data();
    void longFileOfRepeatedSections();
    void catalogueListsAddressableRecords_data();
    void catalogueListsAddressableRecords();
    void hostileConfigurationFile_data();
    void hostileConfigurationFile();
    void hugeConfigurationFileKeepsEveryLine();
    void unusualProjectPath_data();
    void unusualProjectPath();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void fullDiskKeepsEveryOldFile();
    void fullFileSystem();

private:
    int m_openFiles = 0;
};

void TestHostileFiles::initTestCase() {
    // A write past the file size limit must fail, not end the test program.
    std::signal(SIGXFSZ, SIG_IGN);
}

void TestHostileFiles::init() {
    m_openFiles = openFileCount();
}

void TestHostileFiles::cleanup() {
    QCOMPARE(openFileCount(), m_openFiles);
}

void TestHostileFiles::hostileProjectFileIsRefused_data() {
    // The file is content, then zero bytes up to sparseSize (a sparse file).
    // "Open File Error" leaves the window as it was; "Fatal Error" (a header
    // that is no section's) starts a new project; no title: the file is read.
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("sparseSize");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("reason");

    const QString refused = QStringLiteral("Open File Error");
    const QString unknownHeader = QStringLiteral("Fatal Error");
    const QString tooLarge = QStringLiteral("too large for a project file");
    QTest::newRow("100 MB of zero bytes") << QByteArray() << 100 * kMegabyte << refused << tooLarge;
    QTest::newRow("100 MB description line")
        << QByteArray("[Project Description]\r\n") << 100 * kMegabyte << refused << tooLarge;
    QTest::newRow("whole project, then 100 MB of zero bytes")
        << kProject << 100 * kMegabyte << refused << tooLarge;
    QTest::newRow("1.5 MB of zero bytes")
        << QByteArray() << 3 * kMegabyte / 2 << refused << "line 1 holds no section header";
    QTest::newRow("whole project, then 1.5 MB of zero bytes")
        << kProject << 3 * kMegabyte / 2 << refused << "line 11 holds no section header";
    QTest::newRow("binary noise") << noise(64 * 1024, 7) << qint64(0) << unknownHeader
                                  << "Last Record read: [";
    QTest::newRow("binary noise after a header")
        << "[Room Data]\r\n" + noise(64 * 1024, 11) << qint64(0) << unknownHeader
        << "Last Record read: [";
    QTest::newRow("binary noise without brackets")
        << noise(64 * 1024, 13).replace('[', 'x') << qint64(0) << refused
        << "holds no section header";
    QTest::newRow("header line of 10000 characters without a bracket")
        << QByteArray(10000, 'x') + "\r\n" + kProject << qint64(0) << refused
        << "line 1 holds no section header";
    QTest::newRow("description of 1 MB")
        << "[Project Description]\r\n" + QByteArray(kMegabyte, 'd') + "\r\n"
        << qint64(0) << refused << "line 2: a field is longer than 65535 characters";
    QTest::newRow("quoted field of 1 MB")
        << "[Room Data]\r\n\"" + QByteArray(kMegabyte, '9') + "\",\"1\",\"1\",\"1\"\r\n"
        << qint64(0) << refused << "line 2: a field is longer than 65535 characters";
    QByteArray fields = "[Room Data]\r\n";
    for (int i = 0; i < 10000; ++i)
        fields += "\"5\",";
    QTest::newRow("record with 10000 fields")
        << fields + "\"5\"\r\n"
        << qint64(0) << refused << "line 2 holds no section header";
    QTest::newRow("quote never closed in the last field")
        << "[Room Data]\r\n\"20\",\"10\",\"4\",\"1.5" + QByteArray(1000, ' ') << qint64(0)
        << QString() << QString();
    QTest::newRow("quote never closed before the last field")
        << "[Room Data]\r\n\"20\",\"10" + QByteArray(1000, ' ') << qint64(0) << refused
        << "the file ends inside the section \"[Room Data]\"";
    QTest::newRow("zero byte in a header")
        << QByteArray("[Room\0 Data]\r\n\"1\"", 18) << qint64(0) << unknownHeader
        << QStringLiteral("Last Record read: [Room") + QChar(0) + QStringLiteral(" Data]");
}

void TestHostileFiles::hostileProjectFileIsRefused() {
    QFETCH(QByteArray, content);
    QFETCH(qint64, sparseSize);
    QFETCH(QString, title);
    QFETCH(QString, reason);

    Program p;
    p.editProject();
    const QStringList before = p.projectFields();
    const QString file = p.path(QStringLiteral("hostile.kvx"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(content), content.size());
        if (sparseSize > 0)
            QVERIFY(f.resize(sparseSize));
    }
    p.platform.clear();
    {
        CaseTimer timer(QString::fromLatin1(QTest::currentDataTag()));
        p.open(file);
    }
    if (title.isEmpty()) {
        QVERIFY(p.platform.messages.isEmpty());
        QCOMPARE(p.w->txtRoomLength.text(), QStringLiteral("20"));
        QCOMPARE(p.w->CmDialog1.fileName, file);
        return;
    }
    // The field handlers may have warned about what they were given first.
    QVERIFY(!p.platform.messages.isEmpty());
    const RecordedMessage last = p.platform.messages.constLast();
    QCOMPARE(last.title, title);
    QVERIFY2(last.text.contains(reason), qPrintable(last.text));
    if (title == QLatin1String("Open File Error")) {
        QCOMPARE(p.platform.messages.size(), 1);
        QVERIFY2(last.text.contains(QDir::toNativeSeparators(file)), qPrintable(last.text));
        // The window keeps the user's project, still unsaved.
        QCOMPARE(p.projectFields(), before);
        QVERIFY(p.kvx.Modified);
        QVERIFY(p.w->CmDialog1.fileName.isEmpty());
    } else {
        QCOMPARE(p.w->txtRoomLength.text(), QStringLiteral("50"));
        QVERIFY(!p.kvx.Modified);
    }
}

void TestHostileFiles::specialFileIsRefused_data() {
    QTest::addColumn<QString>("kind");

    QTest::newRow("named pipe") << "pipe";
    QTest::newRow("link to /dev/zero") << "/dev/zero";
    QTest::newRow("link to /dev/urandom") << "/dev/urandom";
}

void TestHostileFiles::specialFileIsRefused() {
    // Neither may block the window: a pipe waits for a writer, a device never ends.
    QFETCH(QString, kind);

    Program p;
    p.editProject();
    const QStringList before = p.projectFields();
    const QString file = p.path(QStringLiteral("special.kvx"));
    if (kind == QLatin1String("pipe"))
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(kind, file));
    p.platform.clear();
    {
        CaseTimer timer(QString::fromLatin1(QTest::currentDataTag()));
        p.open(file);
    }
    QCOMPARE(p.platform.messageTitles(), QStringList{QStringLiteral("Open File Error")});
    QVERIFY2(p.platform.messages.constFirst().text.contains(QStringLiteral("not a regular file")),
             qPrintable(p.platform.messages.constFirst().text));
    QCOMPARE(p.projectFields(), before);
    QVERIFY(p.kvx.Modified);
}

void TestHostileFiles::longHeaderLineIsAnUnknownHeader() {
    Program p;
    const QString file = p.path(QStringLiteral("long header.kvx"));
    QVERIFY(writeBytes(file, "[" + QByteArray(10000, 'H') + "]\r\n" + kProject));
    p.platform.clear();
    {
        CaseTimer timer(QStringLiteral("header line of 10000 characters"));
        p.open(file);
    }
    // Only the beginning of the line is named, and a new project is started.
    QCOMPARE(p.platform.messageTitles(), QStringList{QStringLiteral("Fatal Error")});
    const QString message = p.platform.messages.constFirst().text;
    QVERIFY2(message.endsWith(u'[' + QString(49, u'H')), qPrintable(message));
    QCOMPARE(p.w->txtRoomLength.text(), QStringLiteral("50"));
    QVERIFY(!p.kvx.Modified);
}

void TestHostileFiles::longFileOfRepeatedSections_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("read");

    QTest::newRow("1 MB, read") << kMegabyte << true;
    QTest::newRow("100 MB, refused") << 100 * kMegabyte << false;
}

void TestHostileFiles::longFileOfRepeatedSections() {
    // Sections may come again and again, the last of each counting; a file
    // far beyond any project's size is refused before it is read.
    QFETCH(qint64, size);
    QFETCH(bool, read);

    Program p;
    const QString file = p.path(QStringLiteral("repeated.kvx"));
    {
        QByteArray block = "[Room Data]\r\n\"7\",\"7\",\"3\",\"1.2\"\r\n";
        while (block.size() < kMegabyte / 4)
            block += kProject;
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        while (f.size() < size)
            QCOMPARE(f.write(block), block.size());
    }
    p.platform.clear();
    {
        CaseTimer timer(QString::fromLatin1(QTest::currentDataTag()));
        p.open(file);
    }
    if (read) {
        QVERIFY(p.platform.messages.isEmpty());
        QCOMPARE(p.w->txtRoomLength.text(), QStringLiteral("20"));
        QCOMPARE(p.w->txtDescription.text(), QStringLiteral("Hall project"));
        QCOMPARE(p.w->CmDialog1.fileName, file);
    } else {
        QCOMPARE(p.platform.messageTitles(), QStringList{QStringLiteral("Open File Error")});
        QVERIFY2(p.platform.messages.constFirst().text.contains(QStringLiteral("too large")),
                 qPrintable(p.platform.messages.constFirst().text));
        QCOMPARE(p.w->txtRoomLength.text(), QStringLiteral("50"));
    }
}

void TestHostileFiles::catalogueListsAddressableRecords_data() {
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("listed");

    QTest::newRow("32767 records, all addressable") << 32767 << 32767;
    QTest::newRow("40000 records, the first 32767 listed") << 40000 << 32767;
    QTest::newRow("a piece shorter than a record") << 0 << 0;
}

void TestHostileFiles::catalogueListsAddressableRecords() {
    QFETCH(int, records);
    QFETCH(int, listed);

    QByteArray bytes = catalogueBytes(records);
    if (records == 0)
        bytes = QByteArray(kLspRecordSize - 1, 'x');
    std::unique_ptr<Program> p;
    {
        CaseTimer timer(QString::fromLatin1(QTest::currentDataTag()));
        p = std::make_unique<Program>(QByteArray("[Current lsp file]\r\nFilename=Basic.lsp\r\n"),
                                      bytes);
    }
    QVERIFY(p->platform.messages.isEmpty());
    const QStringList items = p->w->lstLsp.items();
    QCOMPARE(items.size(), listed + 1);
    QCOMPARE(items.constLast(), QStringLiteral("User type"));
    if (listed == 0)
        return;
    QCOMPARE(items.at(listed - 1).trimmed(), QStringLiteral("T%1").arg(listed));

    // The last listed type shows its own record.
    p->w->lstLsp.userPick(listed - 1);
    const LspRecord last = lspRecord(QString(), qint16(60 + listed % 120),
                                     qint16(40 + listed % 100), 80 + float(listed % 20), 6);
    QCOMPARE(p->w->txtAngle1.text(), QString::number(last.Angle1));
    QCOMPARE(p->w->txtAngle4.text(), QString::number(last.Angle4));
    QCOMPARE(p->w->txtSensitivity.text(), QString::number(last.Sensitivity));
    p->w->lstLsp.userPick(listed);
    QCOMPARE(p->w->txtAngle1.text(), QStringLiteral("120"));
}

void TestHostileFiles::hostileConfigurationFile_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("abortReason"); // empty: the program runs

    const QByteArray catalogue = "[Current lsp file]\r\nFilename=Basic.lsp\r\n";
    QByteArray manyLines;
    for (int i = 0; i < 100000; ++i)
        manyLines += "Key" + QByteArray::number(i) + "=Value " + QByteArray::number(i) + "\r\n";
    QTest::newRow("100000 lines before the settings")
        << "[Other]\r\n" + manyLines + catalogue + "[Configuration]\r\nLanguage=Dutch\r\n"
        << "Dutch" << QString();
    QTest::newRow("100000 lines after the settings")
        << catalogue + "[Configuration]\r\nLanguage=French\r\n[Other]\r\n" + manyLines << "French"
        << QString();
    QTest::newRow("binary language")
        << catalogue + "[Configuration]\r\nLanguage=" +
               noise(300, 3).replace('\n', ' ').replace('\r', ' ') + "\r\n"
        << "English" << QString();
    QTest::newRow("binary data file name")
        << "[Current lsp file]\r\nFilename=" + noise(40, 5).replace('\n', ' ').replace('\r', ' ') +
               "\r\n"
        << "English"
        << "not found";
    QTest::newRow("zero bytes in the data file name")
        << QByteArray("[Current lsp file]\r\nFilename=Basic\0.lsp\r\n", 41) << "English"
        << "not found";
    QTest::newRow("data file that is a folder")
        << QByteArray(catalogue).replace("Basic.lsp", "Folder.lsp") << "English"
        << "is a folder, not a file";
    // Without a data file name there is no catalogue to find.
    QTest::newRow("binary noise throughout") << noise(256 * 1024, 9) << "English"
                                             << "not found";
}

void TestHostileFiles::hostileConfigurationFile() {
    QFETCH(QByteArray, ini);
    QFETCH(QString, language);
    QFETCH(QString, abortReason);

    QTemporaryDir dir;
    FakePlatform platform;
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("Kvx.ini")), ini));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("Basic.lsp")), catalogueBytes(3)));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Folder.lsp")));
    Kvx1 kvx(platform, dir.path(), QLocale::c());
    FrmKvx w(kvx);
    bool ended = false;
    {
        CaseTimer timer(QString::fromLatin1(QTest::currentDataTag()));
        try {
            w.Form_Load();
        } catch (const ProgramEnded&) {
            ended = true;
        }
    }
    QCOMPARE(ended, platform.ended);
    // A folder is never offered as a data file.
    QVERIFY(!w.FileSel.items().contains(QStringLiteral("Folder.lsp")));
    const QHash<QString, int> offsets = {
        {"English", 0}, {"Dutch", 1000}, {"French", 2000}, {"Italian", 3000}, {"German", 4000}};
    QCOMPARE(kvx.LanguageOffset, offsets.value(language));
    if (abortReason.isEmpty()) {
        QVERIFY(!platform.ended);
        return;
    }
    QVERIFY(platform.ended);
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages.constFirst().text.contains(abortReason),
             qPrintable(platform.messages.constFirst().text));
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("Kvx.ini"))), ini);
}

void TestHostileFiles::hugeConfigurationFileKeepsEveryLine() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kvx.ini"));
    QByteArray lines;
    for (int i = 0; i < 100000; ++i)
        lines += "Key" + QByteArray::number(i) + "=" + noise(20, quint32(i)).toHex() + "\r\n";
    const QByteArray before = "[Configuration]\r\nLanguage=German\r\n[Other]\r\n" + lines;
    QVERIFY(writeBytes(path, before));
    {
        CaseTimer timer(QStringLiteral("setting written into 100000 lines"));
        QVERIFY(WriteIniValue(QStringLiteral("Configuration"), QStringLiteral("Language"),
                              QStringLiteral("Dutch"), path));
    }
    QByteArray expected = before;
    expected.replace("Language=German", "Language=Dutch");
    QCOMPARE(readBytes(path), expected);
}

void TestHostileFiles::unusualProjectPath_data() {
    QTest::addColumn<QString>("name");

    QTest::newRow("spaces") << QStringLiteral("Meeting room 2 (final).kvx");
    QTest::newRow("double quotes and an apostrophe")
        << QStringLiteral("The \"big\" hall's plan.kvx");
    QTest::newRow("letters beyond ASCII") << QStringLiteral("Prüfraum Ødegård Ωμέγα 会议室.kvx");
    QTest::newRow("folder with spaces and accents")
        << QStringLiteral("Projets d'été/salle « A ».kvx");
}

void TestHostileFiles::unusualProjectPath() {
    QFETCH(QString, name);

    const QString description = QStringLiteral("Salle polyvalente, étage 2");
    QString file;
    {
        CaseTimer timer(QString::fromLatin1(QTest::currentDataTag()));
        Program p;
        file = p.path(name);
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        p.w->txtDescription.userSetText(description);
        p.w->txtRoomLength.userSetText(QStringLiteral("33"));
        p.platform.saveAnswers << file;
        p.w->mnuSaveAs_Click();
        QVERIFY2(p.platform.messages.isEmpty(), qPrintable(p.platform.messageTitles().join(',')));
        QVERIFY(!p.kvx.Modified);
        QCOMPARE(p.w->form.text(), QStringLiteral("KVX - ") + QFileInfo(file).fileName());

        // Opened again by the File menu and by the command line.
        Program reopened;
        reopened.open(file);
        QVERIFY(reopened.platform.messages.isEmpty());
        QCOMPARE(reopened.w->txtDescription.text(), description);
        QCOMPARE(reopened.w->txtRoomLength.text(), QStringLiteral("33"));
        QCOMPARE(reopened.w->CmDialog1.fileName, file);

        FakePlatform platform;
        Kvx1 kvx(platform, p.dir.path(), QLocale::c());
        FrmKvx started(kvx);
        started.Form_Load(file);
        QVERIFY(platform.messages.isEmpty());
        QCOMPARE(started.txtDescription.text(), description);
        QCOMPARE(started.CmDialog1.fileName, QFileInfo(file).absoluteFilePath());
    }
}

void TestHostileFiles::failedSaveKeepsTheOldFile_data() {
    // Where the save goes: "old" is a project file the user has, "folder" a
    // folder of that name, "below a file" a path whose parent is a file.
    QTest::addColumn<QString>("target");
    QTest::addColumn<rlim_t>("sizeLimit"); // 0: none
    QTest::addColumn<QString>("reason");

    QTest::newRow("a folder has the project's name") << "folder" << rlim_t(0) << "folder";
    QTest::newRow("the parent is a file") << "below a file" << rlim_t(0) << "not saved";
    QTest::newRow("disk full while writing") << "old" << rlim_t(64) << "not saved";
    QTest::newRow("disk full at once") << "old" << rlim_t(1) << "not saved";
}

void TestHostileFiles::failedSaveKeepsTheOldFile() {
    QFETCH(QString, target);
    QFETCH(rlim_t, sizeLimit);
    QFETCH(QString, reason);

    Program p;
    const QString old = p.path(QStringLiteral("old.kvx"));
    QVERIFY(writeBytes(old, kProject));
    p.open(old);
    QVERIFY(p.platform.messages.isEmpty());
    p.editProject();

    QString file = old;
    if (target == QLatin1String("folder")) {
        file = p.path(QStringLiteral("folder.kvx"));
        QVERIFY(QDir().mkdir(file));
    } else if (target == QLatin1String("below a file")) {
        file = old + QStringLiteral("/inner.kvx");
    }
    const QStringList before = p.projectFields();
    const QStringList entriesBefore = QDir(p.dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    p.w->CmDialog1.fileName = file;
    p.platform.clear();
    {
        CaseTimer timer(QString::fromLatin1(QTest::currentDataTag()));
        FileSizeLimit limit(sizeLimit ? sizeLimit : RLIM_INFINITY);
        QVERIFY(limit.active());
        p.w->mnuSave_Click();
    }
    QCOMPARE(p.platform.messageTitles(), QStringList{QStringLiteral("Save Error")});
    QVERIFY2(p.platform.messages.constFirst().text.contains(reason),
             qPrintable(p.platform.messages.constFirst().text));
    QVERIFY(p.kvx.Modified);
    QCOMPARE(p.projectFields(), before);
    QCOMPARE(readBytes(old), kProject);
    // No temporary file is left beside it.
    QCOMPARE(QDir(p.dir.path()).entryList(QDir::AllEntries | QDir::Hidden), entriesBefore);

    // With room again, the same command saves.
    p.platform.clear();
    p.w->CmDialog1.fileName = old;
    p.w->mnuSave_Click();
    QVERIFY(p.platform.messages.isEmpty());
    QVERIFY(!p.kvx.Modified);
    QVERIFY(readBytes(old).contains("Foyer"));
}

void TestHostileFiles::fullDiskKeepsEveryOldFile() {
    Program p;
    const QString ini = p.path(QStringLiteral("Kvx.ini"));
    const QByteArray iniBefore = readBytes(ini);
    QVERIFY(writeBytes(p.path(QStringLiteral("Other.lsp")), catalogueBytes(2)));
    const QString report = p.path(QStringLiteral("report.txt"));
    QVERIFY(writeBytes(report, "the user's earlier report\r\n"));
    p.w->cmdCalc_Click();
    p.platform.clear();
    {
        CaseTimer timer(QStringLiteral("configuration, report and catalogue on a full disk"));
        FileSizeLimit limit(16);
        QVERIFY(limit.active());
        // Picking another data file records it in Kvx.ini: that fails silently.
        p.w->FileSel.addItem(QStringLiteral("Other.lsp"));
        p.w->FileSel.userPick(p.w->FileSel.items().size() - 1);
        p.platform.saveAnswers << report;
        p.w->mnuPrintFile_Click();
        QString whyNot;
        QVERIFY(!writeLspFile(p.path(QStringLiteral("Basic.lsp")),
                              {lspRecord(QStringLiteral("New"), 90, 60, 88, 6)}, &whyNot));
        QVERIFY(!whyNot.isEmpty());
    }
    QCOMPARE(readBytes(p.path(QStringLiteral("Basic.lsp"))), catalogueBytes(3));
    QCOMPARE(readBytes(ini), iniBefore);
    QCOMPARE(p.kvx.CurrentLspFile, QStringLiteral("Other.lsp"));
    QCOMPARE(p.platform.messageTitles(), QStringList{QStringLiteral("Print to file")});
    QVERIFY2(p.platform.messages.constFirst().text.contains(QStringLiteral("cannot be written")),
             qPrintable(p.platform.messages.constFirst().text));
    QCOMPARE(readBytes(report), QByteArray("the user's earlier report\r\n"));
}

void TestHostileFiles::fullFileSystem() {
    // A real full disk: a 64 KB memory file system, where mounting is allowed.
    Program p;
    const QString mountPoint = p.path(QStringLiteral("small"));
    QVERIFY(QDir().mkdir(mountPoint));
    if (geteuid() != 0 ||
        mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("mounting a small file system is not allowed here");
    struct Unmount {
        QByteArray path;
        ~Unmount() { umount(path.constData()); }
    } unmount{QFile::encodeName(mountPoint)};

    const QString old = mountPoint + QStringLiteral("/old.kvx");
    QVERIFY(writeBytes(old, kProject));
    // Fill the disk, then free 8 KB: the save's first bytes fit, the rest not.
    // The save (12 KB) is smaller than the file's write buffer, so it fails
    // only when the buffer is flushed.
    {
        QFile filler(mountPoint + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        QVERIFY(filler.resize(filler.size() - 8192));
    }
    p.open(old);
    p.editProject();
    p.w->txtDescription.userSetText(QString(12000, u'x'));
    p.platform.clear();
    {
        CaseTimer timer(QStringLiteral("save on a full file system"));
        p.w->mnuSave_Click();
    }
    QCOMPARE(p.platform.messageTitles(), QStringList{QStringLiteral("Save Error")});
    QVERIFY(p.kvx.Modified);
    QCOMPARE(readBytes(old), kProject);
    QCOMPARE(QDir(mountPoint).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("filler"), QStringLiteral("old.kvx")}));
}

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "test_hostile_files.moc"
