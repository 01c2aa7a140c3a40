// The About and Working windows: their texts in each language and their placement.
#include "core/shell/info_windows.h"
#include "core/ui/translation.h"
#include "support/harness.h"

#include <QDateTime>
#include <QFile>
#include <QTest>

using namespace kvx;
using kvx::test::Harness;

namespace {

void writeDatedFile(const QString& path, QDate date) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(23, ' '));
    QVERIFY(file.flush()); // a later flush would move the date again
    QVERIFY(file.setFileTime(QDateTime(date, QTime(12, 0)), QFileDevice::FileModificationTime));
}

// A harness with the global texts of a language, as the main window's load
// leaves them, on a 640 x 480 screen.
struct InfoHarness : Harness {
    InfoHarness(int offset, QLocale locale = QLocale::c())
        : Harness(std::move(locale)) {
        kvx.LanguageOffset = offset;
        LoadGlobalTexts(kvx, *w);
        platform.screen = QSizeF(9600, 7200);
    }
};

QPointF centred(const Control& form) {
    return {(9600 - form.width()) / 2, (7200 - form.height()) / 2};
}

} // namespace

class TestInfoWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aboutAndWorking_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("file"); // the current data file
        QTest::addColumn<QDate>("date");   // its date; invalid: not written
        // The About window: version, data file, caption, button, distributor.
        QTest::addColumn<QStringList>("about");
        QTest::addColumn<QStringList>("working"); // window and button captions
        const QString opened = QStringLiteral("Opened loudspeaker data file: ");
        QTest::newRow("English, Dutch dates")
            << 0 << QLocale(QLocale::Dutch, QLocale::Netherlands) << "Basic.lsp"
            << QDate(2024, 3, 5)
            << QStringList{"KVX Version 2.1", opened + "Basic.lsp dd 05-03-2024", "About KVX",
                           "Close", "This program is distributed by\nHalcyra"}
            << QStringList{"Working with KVX", "Close"};
        // Every text in German, and the button says what it does: close the window.
        QTest::newRow("German, another file chosen, German dates")
            << 4000 << QLocale(QLocale::German, QLocale::Germany) << "Other.lsp"
            << QDate(2025, 11, 28)
            << QStringList{"KVX Version 2.1", "Geöffnete Lautsprecherdatei: Other.lsp dd 28.11.25",
                           "Über KVX", "Schließen", "Dieses Programm wird vertrieben von\nHalcyra"}
            << QStringList{"Programm Info", "Schließen"};
        QTest::newRow("French, no current data file")
            << 2000 << QLocale::c() << "" << QDate()
            << QStringList{"KVX Version 2.1", "Fichier de haut-parleurs ouvert : (aucun)",
                           "À propos de KVX", "Fermer", "Ce programme est distribué par\nHalcyra"}
            << QStringList{"Utilisation de KVX", "Fermer"};
        QTest::newRow("Italian, data file removed")
            << 3000 << QLocale::c() << "Gone.lsp" << QDate()
            << QStringList{"KVX Versione 2.1",
                           "File degli altoparlanti aperto: Gone.lsp (non trovato)",
                           "Informazioni su KVX", "Chiudi",
                           "Questo programma è distribuito da\nHalcyra"}
            << QStringList{"Guida all'uso di KVX", "Chiudi"};
    }
    void aboutAndWorking() {
        QFETCH(int, offset);
        QFETCH(QLocale, locale);
        QFETCH(QString, file);
        QFETCH(QDate, date);
        QFETCH(QStringList, working);
        InfoHarness h(offset, locale);
        writeDatedFile(h.path("Basic.lsp"), QDate(2020, 1, 1));
        if (date.isValid())
            writeDatedFile(h.path(file), date);
        h.kvx.CurrentLspFile = file;

        // The About window, all in the chosen language.
        FrmAbout a(h.kvx);
        a.Form_Load();
        const auto T = [&](int id) { return h.kvx.localText(id); };
        QTEST((QStringList{a.lblVersion.text(), a.lblFileDate.text(), a.form.text(),
                           a.Close_Key.text(), a.lblInfo.text()}),
              "about");
        QCOMPARE((QStringList{a.lblAbout.text(), a.lblCopyright.text()}),
                 (QStringList{T(1040) + "\n" + T(1102) + "Halcyra" + T(1103), T(1100)}));
        QCOMPARE(QPointF(a.form.left(), a.form.top()), centred(a.form));

        // The Working window: the language's texts, a paragraph's sentences joined
        // directly, the paragraph on offset rows last.
        FrmWorking w(h.kvx);
        w.Form_Load();
        const auto texts = [&](int first, int last) {
            QString joined;
            for (int id = first; id <= last; ++id)
                joined += h.kvx.strings.text(id + offset);
            return joined;
        };
        QCOMPARE((QStringList{w.form.text(), w.cmdClose.text(), w.lblVersion.text(), w.lbl1.text(),
                              w.lbl3.text()}),
                 (working + QStringList{"KVX",
                                        texts(1040, 1042) + "\n\n" + texts(1043, 1046) + "\n\n" +
                                            texts(1047, 1049) + "\n\n" + texts(1050, 1050) +
                                            "\n\n" + texts(1577, 1577),
                                        texts(1051, 1051)}));
        QCOMPARE(QPointF(w.form.left(), w.form.top()), centred(w.form));
        QVERIFY(h.platform.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestInfoWindows)
#include "test_info_windows.moc"
