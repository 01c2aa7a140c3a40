// The configuration file reader and writer: Windows private-profile
// behaviour on our own file format code.

#include "core/shell/ini_file.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace kvx;

namespace {

const QString kLspSection = QStringLiteral("Current lsp file");
const QString kConfiguration = QStringLiteral("Configuration");

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Empty shown as a text, so that a comparison prints both sides.
QString shown(const std::optional<QString>& value) {
    return value ? *value : QStringLiteral("<Empty>");
}

const QString kEmpty = QStringLiteral("<Empty>");

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir* m_dir = nullptr;
    QString path(const QString& name = QStringLiteral("Kvx.ini")) const {
        return m_dir->filePath(name);
    }

private Q_SLOTS:
    void init() {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
    }
    void cleanup() {
        delete m_dir;
        m_dir = nullptr;
    }

    void firstStartWritesBothSectionsInOrder() {
        QVERIFY(WriteIniValue(kLspSection, QStringLiteral("Filename"), QStringLiteral("Basic.lsp"),
                              path()));
        QVERIFY(WriteIniValue(kConfiguration, QStringLiteral("Language"), QStringLiteral("German"),
                              path()));
        QCOMPARE(readBytes(path()), QByteArray("[Current lsp file]\r\n"
                                               "Filename=Basic.lsp\r\n"
                                               "[Configuration]\r\n"
                                               "Language=German\r\n"));
        QCOMPARE(shown(ReadIniValue(kLspSection, QStringLiteral("FileName"), path())),
                 QStringLiteral("Basic.lsp"));
        QCOMPARE(shown(ReadIniValue(kConfiguration, QStringLiteral("Language"), path())),
                 QStringLiteral("German"));
    }

    void reads_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QString lsp = kLspSection;
        const QString fileName = QStringLiteral("FileName");
        QTest::newRow("other letter case by hand")
            << QByteArray("[CURRENT LSP FILE]\nfilename=Hall.lsp\n") << lsp << fileName
            << QStringLiteral("Hall.lsp");
        QTest::newRow("blanks around names and value")
            << QByteArray("  [ Current lsp file ]  \r\n\t Filename \t=  Hall.lsp \t\r\n") << lsp
            << fileName << QStringLiteral("Hall.lsp");
        QTest::newRow("blanks inside the value kept")
            << QByteArray("[Current lsp file]\r\nFilename=My Hall.lsp\r\n") << lsp << fileName
            << QStringLiteral("My Hall.lsp");
        QTest::newRow("empty file") << QByteArray() << lsp << fileName << kEmpty;
        QTest::newRow("empty value") << QByteArray("[Configuration]\r\nLanguage=\r\n")
                                     << kConfiguration << QStringLiteral("Language") << kEmpty;
        QTest::newRow("blank value") << QByteArray("[Configuration]\r\nLanguage=   \r\n")
                                     << kConfiguration << QStringLiteral("Language") << kEmpty;
        QTest::newRow("key without equals sign")
            << QByteArray("[Configuration]\r\nLanguage\r\n") << kConfiguration
            << QStringLiteral("Language") << kEmpty;
        QTest::newRow("key in another section")
            << QByteArray("[Other]\r\nFilename=x.lsp\r\n[Current lsp file]\r\nLanguage=x\r\n")
            << lsp << fileName << kEmpty;
        QTest::newRow("key before any section")
            << QByteArray("Filename=x.lsp\r\n[Current lsp file]\r\n") << lsp << fileName << kEmpty;
        QTest::newRow("first of two keys")
            << QByteArray("[Current lsp file]\nFilename=a.lsp\nFilename=b.lsp\n") << lsp << fileName
            << QStringLiteral("a.lsp");
        QTest::newRow("first of two sections")
            << QByteArray("[Current lsp file]\nOther=1\n[Current lsp file]\nFilename=b.lsp\n")
            << lsp << fileName << kEmpty;
        QTest::newRow("comment lines are not keys")
            << QByteArray("; Filename=old.lsp\n[Current lsp file]\n;Filename=c.lsp\n") << lsp
            << fileName << kEmpty;
        QTest::newRow("value with equals sign")
            << QByteArray("[Current lsp file]\nFilename=a=b.lsp\n") << lsp << fileName
            << QStringLiteral("a=b.lsp");
        QTest::newRow("Windows-1252 letters")
            << QByteArray("[Current lsp file]\nFilename=Caf\xe9 \x80.lsp\n") << lsp << fileName
            << QString::fromUtf8("Caf\u00e9 \u20ac.lsp");
        QTest::newRow("byte order mark before the first section")
            << QByteArray("\xEF\xBB\xBF[Configuration]\r\nLanguage=Dutch\r\n") << kConfiguration
            << QStringLiteral("Language") << QStringLiteral("Dutch");
        QTest::newRow("last line without line end")
            << QByteArray("[Configuration]\r\nLanguage=French") << kConfiguration
            << QStringLiteral("Language") << QStringLiteral("French");
        QTest::newRow("header without closing bracket")
            << QByteArray("[Configuration\r\nLanguage=French\r\n") << kConfiguration
            << QStringLiteral("Language") << kEmpty;
    }

    void reads() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        writeBytes(path(), contents);
        QCOMPARE(shown(ReadIniValue(section, key, path())), expected);
    }

    void absentFileReadsEmpty() {
        QCOMPARE(shown(ReadIniValue(kConfiguration, QStringLiteral("Language"), path())), kEmpty);
        QVERIFY(!QFile::exists(path()));
    }

    void longValueIsCut() {
        const QString value(300, QLatin1Char('x'));
        QVERIFY(WriteIniValue(kLspSection, QStringLiteral("Filename"), value, path()));
        const auto read = ReadIniValue(kLspSection, QStringLiteral("Filename"), path());
        QVERIFY(read);
        QCOMPARE(read->size(), 254);
        QCOMPARE(*read, value.left(254));
    }

    void writeKeepsOtherLines_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("value replaced in place, key keeps its spelling")
            << QByteArray("; settings\r\n[current LSP file]\r\n  FILENAME = old.lsp \r\n"
                          "Other=1\r\n[Configuration]\r\nLanguage=Dutch\r\n")
            << kLspSection << QStringLiteral("Filename") << QStringLiteral("new.lsp")
            << QByteArray("; settings\r\n[current LSP file]\r\nFILENAME=new.lsp\r\n"
                          "Other=1\r\n[Configuration]\r\nLanguage=Dutch\r\n");
        QTest::newRow("new key at the end of its section, before the blank line")
            << QByteArray("[Configuration]\r\nColour=red\r\n\r\n[Printer]\r\nName=A\r\n")
            << kConfiguration << QStringLiteral("Language") << QStringLiteral("Italian")
            << QByteArray("[Configuration]\r\nColour=red\r\nLanguage=Italian\r\n\r\n"
                          "[Printer]\r\nName=A\r\n");
        QTest::newRow("new key in an empty section")
            << QByteArray("[Configuration]\r\n[Printer]\r\n") << kConfiguration
            << QStringLiteral("Language") << QStringLiteral("French")
            << QByteArray("[Configuration]\r\nLanguage=French\r\n[Printer]\r\n");
        QTest::newRow("new section appended, line feeds become CR LF")
            << QByteArray("# hand-written\n[Printer]\nName=A") << kConfiguration
            << QStringLiteral("Language") << QStringLiteral("English")
            << QByteArray("# hand-written\r\n[Printer]\r\nName=A\r\n"
                          "[Configuration]\r\nLanguage=English\r\n");
        QTest::newRow("unrelated bytes kept as they are")
            << QByteArray("[Other]\r\nText=Caf\xe9\x81\r\n") << kConfiguration
            << QStringLiteral("Language") << QStringLiteral("German")
            << QByteArray("[Other]\r\nText=Caf\xe9\x81\r\n[Configuration]\r\nLanguage=German\r\n");
        QTest::newRow("empty value written")
            << QByteArray("[Configuration]\r\nLanguage=Dutch\r\n") << kConfiguration
            << QStringLiteral("Language") << QString()
            << QByteArray("[Configuration]\r\nLanguage=\r\n");
    }

    void writeKeepsOtherLines() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        writeBytes(path(), before);
        QVERIFY(WriteIniValue(section, key, value, path()));
        QCOMPARE(readBytes(path()), after);
    }

    void writeThenReadGivesTheValueBack_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain name") << QStringLiteral("Basic.lsp");
        QTest::newRow("blanks and equals sign") << QStringLiteral("My = Hall.lsp");
        QTest::newRow("accented letters and euro sign")
            << QString::fromUtf8("Salle d\u2019\u00e9t\u00e9 \u20ac.lsp");
        QTest::newRow("brackets") << QStringLiteral("[Room].lsp");
    }

    void writeThenReadGivesTheValueBack() {
        QFETCH(QString, value);
        QVERIFY(
            WriteIniValue(kLspSection, QStringLiteral("Filename"), QStringLiteral("x"), path()));
        QVERIFY(WriteIniValue(kLspSection, QStringLiteral("Filename"), value, path()));
        QCOMPARE(shown(ReadIniValue(kLspSection, QStringLiteral("FileName"), path())), value);
    }

    void unstorableTextsAreRefused_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("line break in the value")
            << kLspSection << QStringLiteral("Filename") << QStringLiteral("a\nLanguage=Dutch");
        QTest::newRow("carriage return in the value")
            << kLspSection << QStringLiteral("Filename") << QStringLiteral("a\rb");
        QTest::newRow("letter outside the code page")
            << kLspSection << QStringLiteral("Filename") << QString::fromUtf8("\u4e2d.lsp");
        QTest::newRow("equals sign in the key")
            << kLspSection << QStringLiteral("File=name") << QStringLiteral("a");
        QTest::newRow("empty key") << kLspSection << QString() << QStringLiteral("a");
        QTest::newRow("empty section")
            << QString() << QStringLiteral("Filename") << QStringLiteral("a");
    }

    void unstorableTextsAreRefused() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QByteArray before("[Current lsp file]\r\nFilename=Basic.lsp\r\n");
        writeBytes(path(), before);
        QVERIFY(!WriteIniValue(section, key, value, path()));
        QCOMPARE(readBytes(path()), before);
    }

    void nameDiffersOnlyInLetterCase() {
        writeBytes(path(QStringLiteral("kvx.ini")), "[Configuration]\r\nLanguage=Dutch\r\n");
        QCOMPARE(shown(ReadIniValue(kConfiguration, QStringLiteral("Language"), path())),
                 QStringLiteral("Dutch"));
        QVERIFY(WriteIniValue(kConfiguration, QStringLiteral("Language"), QStringLiteral("French"),
                              path()));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"kvx.ini"});
        QCOMPARE(readBytes(path(QStringLiteral("kvx.ini"))),
                 QByteArray("[Configuration]\r\nLanguage=French\r\n"));
    }

    void exactNameWinsOverOtherCase() {
        writeBytes(path(QStringLiteral("KVX.INI")), "[Configuration]\r\nLanguage=Dutch\r\n");
        writeBytes(path(), "[Configuration]\r\nLanguage=German\r\n");
        QCOMPARE(shown(ReadIniValue(kConfiguration, QStringLiteral("Language"), path())),
                 QStringLiteral("German"));
    }

    void unwritableFolderFailsQuietly() {
        // A folder that cannot hold files, whoever runs the test: its path is a file.
        writeBytes(path(QStringLiteral("notAFolder")), "x");
        const QString file = path(QStringLiteral("notAFolder/Kvx.ini"));
        QVERIFY(!WriteIniValue(kConfiguration, QStringLiteral("Language"), QStringLiteral("Dutch"),
                               file));
        QCOMPARE(shown(ReadIniValue(kConfiguration, QStringLiteral("Language"), file)), kEmpty);
        QCOMPARE(readBytes(path(QStringLiteral("notAFolder"))), QByteArray("x"));
    }

    void folderInPlaceOfTheFile() {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Kvx.ini")));
        QCOMPARE(shown(ReadIniValue(kConfiguration, QStringLiteral("Language"), path())), kEmpty);
        QVERIFY(!WriteIniValue(kConfiguration, QStringLiteral("Language"), QStringLiteral("Dutch"),
                               path()));
        QVERIFY(QFileInfo(path()).isDir());
    }

    void binaryDataDoesNotBreakReadingOrWriting() {
        QByteArray noise(64 * 1024, '\0');
        QRandomGenerator random(4711);
        for (char& byte : noise)
            byte = char(random.bounded(256));
        writeBytes(path(), noise);
        ReadIniValue(kConfiguration, QStringLiteral("Language"), path());
        QVERIFY(WriteIniValue(kConfiguration, QStringLiteral("Language"), QStringLiteral("Dutch"),
                              path()));
        QCOMPARE(shown(ReadIniValue(kConfiguration, QStringLiteral("Language"), path())),
                 QStringLiteral("Dutch"));
    }

    void longLinesAndManyLines() {
        QByteArray contents("[Configuration]\nLanguage=");
        contents.append(QByteArray(4 * 1024 * 1024, 'a'));
        contents.append('\n');
        contents.append(QByteArray(1024 * 1024, '\n'));
        writeBytes(path(), contents);
        QCOMPARE(shown(ReadIniValue(kConfiguration, QStringLiteral("Language"), path())),
                 QString(254, QLatin1Char('a')));
        QVERIFY(WriteIniValue(kConfiguration, QStringLiteral("Language"), QStringLiteral("Dutch"),
                              path()));
        QCOMPARE(shown(ReadIniValue(kConfiguration, QStringLiteral("Language"), path())),
                 QStringLiteral("Dutch"));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "test_ini_file.moc"
