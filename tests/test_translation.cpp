// Putting the chosen language into the windows: the global texts, the main
// window's walk over its controls, and what a missing text leaves alone.
#include "core/base/kvx_error.h"
#include "core/ui/translation.h"
#include "support/files.h"

#include <QTest>

using namespace kvx;
using namespace kvx::test;

class TestTranslation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mainWindow_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QStringList>("texts"); // File menu, room section
        QTest::newRow("English") << 0 << QStringList{"&File", "[Room Data]"};
        QTest::newRow("Dutch") << 1000 << QStringList{"&Bestand", "[Ruimte Gegevens]"};
        QTest::newRow("French") << 2000 << QStringList{"&Fichier", "[Dimension de la pièce]"};
        QTest::newRow("Italian") << 3000 << QStringList{"&File", "[Dati dell' ambiente]"};
        QTest::newRow("German") << 4000 << QStringList{"&Datei", "[Raumdaten]"};
        QTest::newRow("Spanish runs in English") << 5000 << QStringList{"&File", "[Room Data]"};
    }
    void mainWindow() {
        QFETCH(int, offset);
        QFETCH(QStringList, texts);
        Harness h;
        const QList<Control*> controls = h.w->controls();
        const QStringList texts0 = of(controls, &Control::text);
        const QStringList tips0 = of(controls, &Control::toolTip);
        h.kvx.LanguageOffset = offset;
        QVERIFY_THROWS_NO_EXCEPTION(LoadGlobalTexts(h.kvx, *h.w));
        QVERIFY_THROWS_NO_EXCEPTION(TranslateControls(h.kvx, *h.w));
        const FrmKvx& w = *h.w;
        QCOMPARE((QStringList{w.mnuFile.text(), h.kvx.texts.SectionRoomData}), texts);
        QCOMPARE(QStringList{w.form.text()} + h.platform.messageTitles(), QStringList{"KVX"});
        // Menus show their texts, English where the block lacks one.
        // Each has an access key, in every language.
        const std::pair<const char*, int> menus[] = {
            {"mnuFile", 1131},      {"mnuHelp", 1132},       {"mnuNew", 1062},
            {"mnuOpen", 1063},      {"mnuRecent", 1133},     {"mnuSave", 1064},
            {"mnuSaveAs", 1065},    {"mnuPrintSetup", 1066}, {"mnuReport", 1067},
            {"mnuExportPdf", 1130}, {"mnuPrintFile", 1068},  {"mnuLanguage", 1134},
            {"mnuExit", 1069},      {"mnuWorking", 1090},    {"mnuAbout", kMenuAboutText}};
        for (const auto& [name, id] : menus) {
            const QString text = w.control(name)->text();
            QCOMPARE(text, h.kvx.localText(id));
            QVERIFY2(QString(text).remove(QStringLiteral("&&")).contains(u'&'), name);
        }
        // Other controls show the text of their Tag, a text or combo box as its
        // tooltip, and keep their own where the block lacks it.
        for (qsizetype i = 0; i < controls.size(); ++i) {
            const Control* c = controls[i];
            if (c->kind() == ControlKind::Menu)
                continue;
            const auto text =
                c->tag().isEmpty() ? std::nullopt : h.kvx.strings.find(c->tag().toInt() + offset);
            const bool tip =
                c->kind() == ControlKind::TextBox || c->kind() == ControlKind::ComboBox;
            QCOMPARE(c->text(), text && !tip ? *text : texts0[i]);
            QCOMPARE(c->toolTip(), text && tip ? *text : tips0[i]);
        }
        // Translated again, the window keeps its texts, menus included.
        const QStringList translated = of(controls, &Control::text);
        TranslateControls(h.kvx, *h.w);
        QCOMPARE(of(controls, &Control::text), translated);
    }

    // Each control's step stands alone: a failing step is skipped, a Tag is
    // read leniently, and a Tag without a text leaves the control's text.
    void controlSteps() {
        Harness h;
        h.kvx.LanguageOffset = LanguageOffsets::Dutch;
        Control window(ControlKind::Form, "frmTest");
        Control failing(ControlKind::Label, "failing", "1003"),
            blanks(ControlKind::Label, "b", " 1003 "), letters(ControlKind::Label, "l", "1003x"),
            noText(ControlKind::Frame, "n", "1099"), menu(ControlKind::Menu, "m");
        const ControlList controls = {&failing, &blanks, &letters, &noText, &menu};
        for (Control* c : controls)
            c->setText("old");
        menu.setText("1062");
        failing.onChange = [] { throw KvxError("fails"); };
        QVERIFY_THROWS_NO_EXCEPTION(TranslateControls(h.kvx, window, controls));
        QCOMPARE(of(controls, &Control::text).mid(1),
                 (QStringList{"Projectomschrijving", "old", "old", "&Nieuw project"}));
    }
};

QTEST_GUILESS_MAIN(TestTranslation)
#include "test_translation.moc"
