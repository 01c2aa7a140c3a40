// Hostile files and failing disks: each case ends in a clear message or a correct
// result, closes every file it opened and leaves the user's earlier files intact.
#include "core/base/kvx_error.h"
#include "core/catalogue/lsp_record.h"
#include "support/files.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace kvx;
using namespace kvx::test;

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;
const QByteArray kProject = "[Project Description]\r\nHall project\r\n"
                            "[Loudspeaker Data]\r\n\"Type B     \",\"120\",\"90\",\"90\",\"10\"\r\n"
                            "[Room Data]\r\n\"20\",\"10\",\"4\",\"1.5\"\r\n"
                            "[Power Settings]\r\n\"1/2 P\",\"100 V\",\"5\"\r\n"
                            "[Calculated Data]\r\n\"\",\"\",\"\",\"6\",\"\"\r\n";
const QByteArray kBasicIni = "[Current lsp file]\r\nFilename=Basic.lsp\r\n";

QByteArray catalogueBytes(int records) {
    QByteArray bytes;
    for (int i = 1; i <= records; ++i)
        bytes += encodeLspRecord(lspRecord(QString::number(i), qint16(60 + i % 120), 60, 90, 6));
    return bytes;
}

// Random bytes that are the same in every run, without line breaks if asked.
QByteArray noise(qsizetype size, quint32 seed, bool oneLine = false) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return oneLine ? bytes.replace('\n', ' ').replace('\r', ' ') : bytes;
}

qsizetype openFileCount() {
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System).size();
}

// Every file in a folder by name, with its content (empty for a folder).
QMap<QString, QByteArray> filesIn(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QFileInfo& f :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        files.insert(f.fileName(), readBytes(f.filePath()));
    return files;
}

// Files may grow to at most limit bytes while it lives; a write beyond it fails
// with EFBIG as on a full disk (SIGXFSZ is ignored in initTestCase).
struct FileSizeLimit {
    rlimit saved{};
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit lower{limit, saved.rlim_max};
        QVERIFY(setrlimit(RLIMIT_FSIZE, &lower) == 0);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};

// The main window started in a folder with Kvx.ini, a catalogue and a folder.
struct Program : Harness {
    explicit Program(const QByteArray& ini = kBasicIni, const QByteArray& lsp = catalogueBytes(3)) {
        writeBytes(path(QStringLiteral("Kvx.ini")), ini);
        writeBytes(path(QStringLiteral("Basic.lsp")), lsp);
        QDir(dir.path()).mkdir(QStringLiteral("Folder.lsp"));
        try {
            w->Form_Load();
        } catch (const ProgramEnded&) {
        }
    }
    QStringList projectFields() const {
        return of({&w->txtDescription, &w->lstLsp, &w->txtAngle1, &w->txtAngle4, &w->txtSensitivity,
                   &w->txtMaxPower, &w->txtRoomLength, &w->txtRoomWidth, &w->txtRoomHeight,
                   &w->txtEarHeight, &w->lstLspTap, &w->lstAmpTap, &w->lblPower},
                  &Control::text);
    }
    void open(const QString& file) {
        platform.withoutSaving(kvx.Modified, [&] {
            platform.openAnswers << file;
            w->mnuOpen_Click();
        });
    }
};

// Opens or writes a file that cannot be read or written as asked; make writes
// the hostile file at the path it is given.
using Action = std::function<void(Program&)>;
Action opening(const std::function<bool(const QString&)>& make) {
    return [=](Program& p) {
        const QString file = p.path(QStringLiteral("Folder.lsp/hostile.kvx"));
        QVERIFY(make(file));
        p.open(file);
    };
}
// The file is content, then zero bytes up to sparseSize (a sparse file).
Action opening(const QByteArray& content, qint64 sparseSize = 0) {
    return opening([=](const QString& file) {
        QFile f(file);
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size() &&
               (sparseSize == 0 || f.resize(sparseSize));
    });
}
Action saving(const QString& name, rlim_t sizeLimit = RLIM_INFINITY) {
    return [=](Program& p) {
        const QString earlier = std::exchange(p.w->CmDialog1.fileName, p.path(name));
        FileSizeLimit limit(sizeLimit);
        p.w->mnuSave_Click();
        p.w->CmDialog1.fileName = earlier; // the next save goes to the earlier file
    };
}

} // namespace

Q_DECLARE_METATYPE(Action)

class TestHostileFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); } // a failed write, not an ended test
    void init() { m_openFiles = openFileCount(); }
    void cleanup() { QCOMPARE(openFileCount(), m_openFiles); }

    void hostileFile_data() {
        // "Fatal Error" (a header that is no section's) starts a new project, other
        // titles keep the user's project as it was; no title: the file is read.
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("reason");

        const QString refused = QStringLiteral("Open File Error");
        const QString unknownHeader = QStringLiteral("Fatal Error");
        const QString saveError = QStringLiteral("Save Error");
        QByteArray repeated = "[Room Data]\r\n\"7\",\"7\",\"3\",\"1.2\"\r\n";
        while (repeated.size() < kMegabyte)
            repeated += kProject;

        const Action print = [](Program& p) {
            p.platform.saveAnswers << p.path(QStringLiteral("report.txt"));
            FileSizeLimit limit(16);
            p.w->mnuPrintFile_Click();
        };
        const auto row = [](const char* name, const Action& action, const QString& title,
                            const QString& reason) {
            QTest::newRow(name) << action << title << reason;
        };

        row("open a 100 MB project file", opening(kProject, 100 * kMegabyte), refused, "too large");
        row("open 1 MB of repeated sections, the last counting", opening(repeated), "", "");
        row("open binary noise", opening(noise(64 * 1024, 7)), unknownHeader,
            "Last Record read: [");
        row("open a header line of 10000 characters without a bracket",
            opening(QByteArray(10000, 'x') + "\r\n" + kProject), refused,
            "line 1 holds no section header");
        // Only the beginning of the line is named.
        row("open a header line of 10000 characters in brackets",
            opening("[" + QByteArray(10000, 'H') + "]\r\n" + kProject), unknownHeader,
            u'[' + QString(49, u'H'));
        row("open a description of 1 MB",
            opening("[Project Description]\r\n" + QByteArray(kMegabyte, 'd') + "\r\n"), refused,
            "line 2: a field is longer than 65535 characters");
        row("open a record with 10000 fields",
            opening("[Room Data]\r\n" + QByteArray("\"5\",").repeated(10000) + "\"5\"\r\n"),
            refused, "line 2 holds no section header");
        row("open a quote never closed in the last field",
            opening("[Room Data]\r\n\"20\",\"10\",\"4\",\"1.5" + QByteArray(1000, ' ')), "", "");
        row("open a quote never closed before the last field",
            opening("[Room Data]\r\n\"20\",\"10" + QByteArray(1000, ' ')), refused,
            "the file ends inside the section \"[Room Data]\"");
        row("open a zero byte in a header", opening(QByteArray("[Room\0 Data]\r\n\"1\"", 18)),
            unknownHeader, QString::fromLatin1("Last Record read: [Room\0 Data]", 30));
        // Neither may block the window: a pipe waits for a writer, a device never ends.
        row("open a named pipe",
            opening([](const QString& f) { return mkfifo(QFile::encodeName(f), 0600) == 0; }),
            refused, "not a regular file");
        row("open a link to /dev/zero",
            opening([](const QString& f) { return QFile::link("/dev/zero", f); }), refused,
            "not a regular file");
        row("save where a folder has the name", saving("Folder.lsp"), saveError, "folder");
        row("save below a file", saving("old.kvx/inner.kvx"), saveError, "not saved");
        row("save on a disk that fills while writing", saving("old.kvx", 64), saveError,
            "not saved");
        row("save on a full disk", saving("old.kvx", 1), saveError, "not saved");
        row("print over an earlier report on a full disk", print, "Print to file",
            "cannot be written");
    }

    void hostileFile() {
        QFETCH(Action, action);
        QFETCH(QString, title);
        QFETCH(QString, reason);

        Program p;
        const QString old = p.path(QStringLiteral("old.kvx"));
        QVERIFY(writeBytes(old, kProject));
        QVERIFY(writeBytes(p.path(QStringLiteral("report.txt")), "the user's earlier report\r\n"));
        p.open(old);
        // A project that differs from a new one, not yet saved.
        p.w->txtDescription.userSetText(QStringLiteral("Foyer"));
        p.w->txtRoomLength.userSetText(QStringLiteral("12"));
        p.w->cmdCalc_Click();
        const QStringList before = p.projectFields();
        const QMap<QString, QByteArray> filesBefore = filesIn(p.dir.path());
        p.platform.clear();
        action(p);
        // Every earlier file as it was, and no temporary file left beside them.
        QCOMPARE(filesIn(p.dir.path()), filesBefore);
        if (title.isEmpty()) {
            QCOMPARE(p.platform.messageTitles(), QStringList());
            QCOMPARE(p.w->txtRoomLength.text(), QStringLiteral("20"));
            return;
        }
        // The field handlers may have warned about what they were given first.
        const RecordedMessage last = p.platform.messages.value(p.platform.messages.size() - 1);
        QCOMPARE(last.title, title);
        QVERIFY2(last.text.contains(reason) && last.text.size() < 1000, qPrintable(last.text));
        if (title == QLatin1String("Fatal Error")) {
            QCOMPARE(p.w->txtRoomLength.text(), QStringLiteral("50"));
            QVERIFY(!p.kvx.Modified);
            return;
        }
        QCOMPARE(p.platform.messageTitles(), QStringList{title});
        QCOMPARE(p.projectFields(), before);
        QVERIFY(p.kvx.Modified);

        // The project still saves, to the earlier file.
        p.platform.clear();
        p.w->mnuSave_Click();
        QCOMPARE(p.platform.messageTitles(), QStringList());
        QVERIFY(!p.kvx.Modified);
        QVERIFY(readBytes(old).contains("Foyer"));
    }

    void hostileConfiguration_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("abortReason"); // empty: the program runs

        const QByteArray manyLines = QByteArray("Key=Value\r\n").repeated(100000);
        const QByteArray language = "[Configuration]\r\nLanguage=";
        const QByteArray three = catalogueBytes(3);
        QTest::newRow("catalogue of 32767 records, all listed")
            << kBasicIni << catalogueBytes(32767) << 32767 << "";
        QTest::newRow("catalogue of 40000 records, the first 32767 listed")
            << kBasicIni << catalogueBytes(40000) << 32767 << "";
        QTest::newRow("catalogue shorter than a record")
            << kBasicIni << QByteArray(kLspRecordSize - 1, 'x') << 0 << "";
        QTest::newRow("Kvx.ini with 100000 lines before the settings")
            << "[Other]\r\n" + manyLines + kBasicIni + language + "Dutch\r\n"
            << three << 3 << "";
        QTest::newRow("Kvx.ini with a binary language")
            << kBasicIni + language + noise(300, 3, true) << three << 3 << "";
        QTest::newRow("Kvx.ini naming a folder as the data file")
            << QByteArray(kBasicIni).replace("Basic.lsp", "Folder.lsp") << three << 0
            << "is a folder, not a file";
        // Without a data file name there is no catalogue to find.
        QTest::newRow("Kvx.ini of binary noise")
            << noise(256 * 1024, 9) << three << 0 << "not found";
    }

    void hostileConfiguration() {
        QFETCH(QByteArray, ini);
        QFETCH(QByteArray, catalogue);
        QFETCH(int, listed);
        QFETCH(QString, abortReason);

        Program p(ini, catalogue);
        QCOMPARE(p.platform.ended, !abortReason.isEmpty());
        QCOMPARE(p.kvx.LanguageOffset, ini.contains("Language=Dutch") ? 1000 : 0);
        // A folder is never offered as a data file.
        QVERIFY(!p.w->FileSel.items().contains(QStringLiteral("Folder.lsp")));
        QCOMPARE(readBytes(p.path(QStringLiteral("Kvx.ini"))), ini);
        QCOMPARE(p.platform.messages.size(), p.platform.ended ? 1 : 0);
        const QString message = p.platform.messages.value(0).text;
        QVERIFY2(message.contains(abortReason), qPrintable(message));
        const QStringList items = p.w->lstLsp.items();
        QCOMPARE(items.size(), p.platform.ended ? 0 : listed + 1);
        if (listed > 0) {
            // The last listed type shows its own record.
            QCOMPARE(items.at(listed - 1).trimmed(), QString::number(listed));
            p.w->lstLsp.userPick(listed - 1);
            QCOMPARE(p.w->txtAngle1.text(), QString::number(60 + listed % 120));
        }
    }

    void unusualProjectPath_data() {
        QTest::addColumn<QString>("name");

        QTest::newRow("spaces") << QStringLiteral("Meeting room 2 (final).kvx");
        QTest::newRow("double quotes and an apostrophe")
            << QStringLiteral("The \"big\" hall's plan.kvx");
        QTest::newRow("letters beyond ASCII in the folder and the name")
            << QStringLiteral("Projets d'été/Prüfraum Ødegård Ωμέγα 会议室 « A ».kvx");
    }

    void unusualProjectPath() {
        QFETCH(QString, name);

        Program p;
        const QString file = p.path(name);
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        p.w->txtDescription.userSetText(QStringLiteral("Salle polyvalente, étage 2"));
        p.platform.saveAnswers << file;
        p.w->mnuSaveAs_Click();
        QCOMPARE(p.w->form.text(), QStringLiteral("KVX - ") + QFileInfo(file).fileName());
        // Opened again by the File menu and by the command line.
        Program reopened, started;
        reopened.open(file);
        started.w->Form_Load(file);
        for (const Program* q : {&p, &reopened, &started}) {
            QCOMPARE(q->platform.messageTitles(), QStringList());
            QCOMPARE(q->projectFields(), p.projectFields());
            QCOMPARE(q->w->CmDialog1.fileName + (q->kvx.Modified ? " modified" : ""), file);
        }
    }

private:
    qsizetype m_openFiles = 0;
};

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "test_hostile_files.moc"
