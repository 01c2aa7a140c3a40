// The About and Working windows: their texts in each language and their placement.
#include "core/shell/info_windows.h"
#include "core/shell/translation.h"
#include "support/harness.h"

#include <QDateTime>
#include <QFile>
#include <QTest>

using namespace kvx;
using kvx::test::Harness;

namespace {

const QString kEnglishAbout =
    QStringLiteral("The KVX calculates the number of loudspeakers in a room. \n"
                   "Although every effort is made to ensure that the information in this program "
                   "is accurate and correct, Halcyra is not responsible for damage arising from "
                   "its use or misuse.");

void writeDatedFile(const QString& path, QDate date) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(23, ' '));
    QVERIFY(file.flush()); // a later flush would move the date again
    QVERIFY(file.setFileTime(QDateTime(date, QTime(12, 0)), QFileDevice::FileModificationTime));
}

} // namespace

class TestInfoWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aboutTexts_data();
    void aboutTexts();
    void aboutNamesTheDataFileAndItsDate_data();
    void aboutNamesTheDataFileAndItsDate();
    void aboutOpensWithoutADataFile_data();
    void aboutOpensWithoutADataFile();
    void workingTexts_data();
    void workingTexts();
    void bothAreCentred();

private:
    // The global texts of a language, as the main window's load leaves them.
    static void loadLanguage(Harness& h, int offset) {
        h.kvx.LanguageOffset = offset;
        LoadGlobalTexts(h.kvx, *h.w);
    }
};

void TestInfoWindows::aboutTexts_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("version");
    QTest::newRow("English") << 0 << "KVX Version 2.1";
    QTest::newRow("Dutch") << 1000 << "KVX Versie 2.1";
    QTest::newRow("French") << 2000 << "KVX Version 2.1";
    QTest::newRow("Italian") << 3000 << "KVX Versione 2.1";
    QTest::newRow("German") << 4000 << "KVX Version 2.1";
}

void TestInfoWindows::aboutTexts() {
    QFETCH(int, offset);
    QFETCH(QString, version);
    Harness h;
    loadLanguage(h, offset);
    h.kvx.CurrentLspFile = QStringLiteral("Basic.lsp");
    writeDatedFile(h.path("Basic.lsp"), QDate(2024, 3, 5));

    FrmAbout about(h.kvx);
    about.Form_Load();
    // Title and version follow the language; the body stays English.
    QCOMPARE(about.lblVersion.text(), version);
    QCOMPARE(about.form.text(), QStringLiteral("About KVX"));
    QCOMPARE(about.Close_Key.text(), QStringLiteral("Close"));
    QCOMPARE(about.lblAbout.text(), kEnglishAbout);
    QCOMPARE(about.lblInfo.text(), QStringLiteral("This program is distributed by\nHalcyra"));
    QCOMPARE(about.lblCopyright.text(), h.kvx.strings.text(1100));
    QVERIFY(about.lblCopyright.text().contains(QStringLiteral("Halcyra")));
    QVERIFY(about.lblFileDate.text().startsWith(
        QStringLiteral("Opened loudspeaker data file: Basic.lsp dd ")));
    QVERIFY(h.platform.messages.isEmpty());
}

void TestInfoWindows::aboutNamesTheDataFileAndItsDate_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the shipped file, Dutch dates")
        << QLocale(QLocale::Dutch, QLocale::Netherlands) << "Basic.lsp" << QDate(2024, 3, 5)
        << "Opened loudspeaker data file: Basic.lsp dd 05-03-2024";
    QTest::newRow("another file chosen, German dates")
        << QLocale(QLocale::German, QLocale::Germany) << "Other.lsp" << QDate(2025, 11, 28)
        << "Opened loudspeaker data file: Other.lsp dd 28.11.25";
    QTest::newRow("another file chosen, American dates")
        << QLocale(QLocale::English, QLocale::UnitedStates) << "Other.lsp" << QDate(2025, 11, 28)
        << "Opened loudspeaker data file: Other.lsp dd 11/28/25";
}

void TestInfoWindows::aboutNamesTheDataFileAndItsDate() {
    QFETCH(QLocale, locale);
    QFETCH(QString, file);
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    Harness h(locale);
    loadLanguage(h, 0);
    writeDatedFile(h.path("Basic.lsp"), QDate(2020, 1, 1));
    writeDatedFile(h.path(file), date);
    h.kvx.CurrentLspFile = file;

    FrmAbout about(h.kvx);
    about.Form_Load();
    QCOMPARE(about.lblFileDate.text(), expected);
}

void TestInfoWindows::aboutOpensWithoutADataFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no current data file") << ""
                                          << "Opened loudspeaker data file: (none)";
    QTest::newRow("data file removed") << "Gone.lsp"
                                       << "Opened loudspeaker data file: Gone.lsp (not found)";
}

void TestInfoWindows::aboutOpensWithoutADataFile() {
    QFETCH(QString, file);
    QFETCH(QString, expected);
    Harness h;
    loadLanguage(h, 0);
    h.kvx.CurrentLspFile = file;
    FrmAbout about(h.kvx);
    about.Form_Load();
    QCOMPARE(about.lblFileDate.text(), expected);
    QCOMPARE(about.lblAbout.text(), kEnglishAbout);
}

void TestInfoWindows::workingTexts_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("close");
    QTest::newRow("English") << 0 << "Working with KVX"
                             << "Close";
    QTest::newRow("Dutch") << 1000 << "Werken met KVX"
                           << "Sluiten";
    QTest::newRow("French keeps the built-in caption") << 2000 << "Working with ..."
                                                       << "Fermer";
    QTest::newRow("Italian") << 3000 << "Guida all'uso di KVX"
                             << "Chiudi";
    QTest::newRow("German") << 4000 << "Programm Info"
                            << "Beenden";
}

void TestInfoWindows::workingTexts() {
    QFETCH(int, offset);
    QFETCH(QString, caption);
    QFETCH(QString, close);
    Harness h;
    loadLanguage(h, offset);

    FrmWorking working(h.kvx);
    working.Form_Load();
    QCOMPARE(working.form.text(), caption);
    QCOMPARE(working.cmdClose.text(), close);
    QCOMPARE(working.lblVersion.text(), QStringLiteral("KVX"));

    const auto T = [&](int id) { return h.kvx.strings.text(id + offset); };
    const QStringList paragraphs = working.lbl1.text().split(QStringLiteral("\n\n"));
    QCOMPARE(paragraphs.size(), 4);
    QCOMPARE(paragraphs[0], T(1040) + T(1041) + T(1042));
    QCOMPARE(paragraphs[1], T(1043) + T(1044) + T(1045) + T(1046));
    QCOMPARE(paragraphs[2], T(1047) + T(1048) + T(1049));
    QCOMPARE(paragraphs[3], T(1050));
    QCOMPARE(working.lbl3.text(), T(1051));
    if (offset == 0) {
        QCOMPARE(paragraphs[0],
                 QStringLiteral("The KVX calculates the number of loudspeakers in a room. The "
                                "loudspeakers are mounted in a square pattern in or below the "
                                "ceiling of a room. Room dimensions and type of loudspeaker are "
                                "entered by the user."));
    }
    QVERIFY(h.platform.messages.isEmpty());
}

void TestInfoWindows::bothAreCentred() {
    Harness h;
    loadLanguage(h, 0);
    h.platform.screen = QSizeF(9600, 7200);
    FrmAbout about(h.kvx);
    about.Form_Load();
    FrmWorking working(h.kvx);
    working.Form_Load();
    for (const Control* form : {&about.form, &working.form}) {
        QCOMPARE(form->left(), (9600 - form->width()) / 2);
        QCOMPARE(form->top(), (7200 - form->height()) / 2);
    }
    QCOMPARE(h.platform.pointerLog, (QList<bool>{true, false, true, false}));
}

QTEST_GUILESS_MAIN(TestInfoWindows)
#include "test_info_windows.moc"
