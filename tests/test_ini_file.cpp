// The configuration file reader and writer: Windows private-profile
// behaviour on our own file format code.
#include "core/base/ini_file.h"
#include "support/files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

const QString kLsp = QStringLiteral("Current lsp file");
const QString kConfiguration = QStringLiteral("Configuration");

// Empty shown as a text, so that a comparison prints both sides.
QString shown(const std::optional<QString>& value) {
    return value.value_or(QStringLiteral("<Empty>"));
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The German first start writes both sections in order. A file named
    // kvx.ini is Kvx.ini, unless a file of the exact name lies beside it.
    void wholeFile() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("Kvx.ini");
        QVERIFY(WriteIniValue(kLsp, "Filename", "Basic.lsp", ini));
        QVERIFY(WriteIniValue(kConfiguration, "Language", "German", ini));
        QCOMPARE(readBytes(ini), QByteArray("[Current lsp file]\r\nFilename=Basic.lsp\r\n"
                                            "[Configuration]\r\nLanguage=German\r\n"));
        QVERIFY(QFile::rename(ini, dir.filePath("kvx.ini")));
        QVERIFY(WriteIniValue(kConfiguration, "Language", "French", ini));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"kvx.ini"});
        QCOMPARE(shown(ReadIniValue(kConfiguration, "Language", ini)), "French");
        QVERIFY(writeBytes(ini, "[Configuration]\r\nLanguage=Dutch\r\n"));
        QCOMPARE(shown(ReadIniValue(kConfiguration, "Language", ini)), "Dutch");
    }

    void reads_data() {
        QTest::addColumn<QByteArray>("contents"); // null: no file
        QTest::addColumn<QString>("expected");
        const QString empty = "<Empty>";
        const auto lsp = [](const QByteArray& lines) { return "[Current lsp file]\n" + lines; };
        QTest::newRow("no file") << QByteArray() << empty;
        QTest::newRow("empty file") << QByteArray("") << empty;
        QTest::newRow("other letter case")
            << QByteArray("[CURRENT LSP FILE]\nfilename=Hall.lsp\n") << "Hall.lsp";
        QTest::newRow("blanks around names and value, inside kept")
            << QByteArray("  [ Current lsp file ]  \r\n\t Filename \t=  My Hall.lsp \t\r\n")
            << "My Hall.lsp";
        QTest::newRow("empty value") << lsp("Filename=  \r\n") << empty;
        QTest::newRow("first of two sections") << lsp("A=1\n" + lsp("Filename=b.lsp\n")) << empty;
        QTest::newRow("comments are not keys") << "; Filename=a\n" + lsp(";Filename=b\n") << empty;
        QTest::newRow("equals sign and Windows-1252 letters in the value")
            << lsp("Filename=a=Caf\xe9 \x80.lsp\n") << QStringLiteral("a=Caf\u00e9 \u20ac.lsp");
        QTest::newRow("300-character value cut to 254")
            << lsp("Filename=" + QByteArray(300, 'x')) << QString(254, u'x');
    }
    void reads() {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        QVERIFY(contents.isNull() || writeBytes(dir.filePath("Kvx.ini"), contents));
        QTEST(shown(ReadIniValue(kLsp, "FileName", dir.filePath("Kvx.ini"))), "expected");
    }

    // tests/data/ini/NAME.before becomes NAME.after when the language is set.
    void writeKeepsOtherLines_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("value replaced in place; comments, spelling, other bytes kept")
            << "replaced";
        QTest::newRow("new key at the end of its section, before the blank line") << "new_key";
        QTest::newRow("new section appended, line feeds become CR LF") << "new_section";
    }
    void writeKeepsOtherLines() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString ini = dir.filePath("Kvx.ini");
        QVERIFY(writeBytes(ini, testData("ini/" + name + ".before")));
        QVERIFY(WriteIniValue(kConfiguration, "Language", QStringLiteral("\u00e9t\u00e9"), ini));
        QCOMPARE(readBytes(ini), testData("ini/" + name + ".after"));
        QCOMPARE(shown(ReadIniValue(kConfiguration, "language", ini)),
                 QStringLiteral("\u00e9t\u00e9"));
    }

    // What the file could not give back is not written, and a failed write
    // leaves every file as it was.
    void refusedWrite_data() {
        QTest::addColumn<QStringList>("fileAndValue");
        QTest::newRow("line break in the value") << QStringList{"Kvx.ini", "a\nLanguage=x"};
        QTest::newRow("folder in place of the file") << QStringList{"Folder.ini", "a"};
        QTest::newRow("a file in place of the folder") << QStringList{"plain/Kvx.ini", "a"};
    }
    void refusedWrite() {
        QFETCH(QStringList, fileAndValue);
        QTemporaryDir dir;
        const QString file = dir.filePath(fileAndValue[0]);
        const QByteArray before("[Current lsp file]\r\nFilename=Basic.lsp\r\n");
        QVERIFY(writeBytes(dir.filePath("Kvx.ini"), before) &&
                writeBytes(dir.filePath("plain"), ""));
        QVERIFY(QDir(dir.path()).mkdir("Folder.ini"));
        QVERIFY(!WriteIniValue(kLsp, "Filename", fileAndValue[1], file));
        QCOMPARE(shown(ReadIniValue(kLsp, "Filename", file)),
                 file.endsWith("/Kvx.ini") && !file.contains("plain") ? "Basic.lsp" : "<Empty>");
        QCOMPARE(readBytes(dir.filePath("Kvx.ini")), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{"Folder.ini", "Kvx.ini", "plain"}));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "test_ini_file.moc"
