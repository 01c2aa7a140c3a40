// Putting the chosen language into the windows: the global texts, the main
// window's walk over its controls, and what a missing text leaves alone.

#include "core/kvx_error.h"
#include "core/shell/translation.h"
#include "support/harness.h"

#include <QTest>

#include <memory>

using namespace kvx;
using kvx::test::Harness;

namespace {

// The English id each menu entry shows.
QList<std::pair<QString, int>> menuIds() {
    return {
        {"mnuFile", 1001},       {"mnuHelp", 1002},   {"mnuNew", 1062},
        {"mnuOpen", 1063},       {"mnuSave", 1064},   {"mnuSaveAs", 1065},
        {"mnuPrintSetup", 1066}, {"mnuReport", 1067}, {"mnuExportPdf", 1130},
        {"mnuPrintFile", 1068},  {"mnuExit", 1069},   {"mnuWorking", 1090},
        {"mnuAbout", 1039},
    };
}

struct Captured {
    QString text;
    QString toolTip;
};

QHash<QString, Captured> capture(const FrmKvx& w) {
    QHash<QString, Captured> state;
    state.insert(w.form.name(), {w.form.text(), w.form.toolTip()});
    for (const Control* c : w.controls())
        state.insert(c->name(), {c->text(), c->toolTip()});
    return state;
}

} // namespace

class TestTranslation : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Harness> h;

    void translateMainWindow(int offset) {
        h->kvx.LanguageOffset = offset;
        LoadGlobalTexts(h->kvx, *h->w);
        TranslateControls(h->kvx, *h->w);
    }

private Q_SLOTS:
    void init() { h = std::make_unique<Harness>(); }
    void cleanup() { h.reset(); }

    void mainWindowTexts_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("fileMenu");
        QTest::addColumn<QString>("calculate");
        QTest::newRow("English") << LanguageOffsets::English << "&File"
                                 << "Calculate";
        QTest::newRow("Dutch") << LanguageOffsets::Dutch << "&Bestand"
                               << "Bereken";
        QTest::newRow("French") << LanguageOffsets::French << "Fichier"
                                << "Calculez";
        QTest::newRow("Italian") << LanguageOffsets::Italian << "File"
                                 << "Calcolare";
        QTest::newRow("German") << LanguageOffsets::German << "Datei"
                                << "Berechnung";
    }

    void mainWindowTexts() {
        QFETCH(int, offset);
        QFETCH(QString, fileMenu);
        QFETCH(QString, calculate);
        const QHash<QString, Captured> before = capture(*h->w);
        translateMainWindow(offset);
        const FrmKvx& w = *h->w;
        const StringTable& strings = h->kvx.strings;

        QCOMPARE(w.mnuFile.text(), fileMenu);
        QCOMPARE(w.cmdCalc.text(), calculate);
        QCOMPARE(w.form.text(), QStringLiteral("KVX"));
        for (const auto& [name, id] : menuIds())
            QCOMPARE(w.control(name)->text(), strings.text(id + offset));

        for (const Control* c : w.controls()) {
            if (c->kind() == ControlKind::Menu)
                continue;
            const QString tag = c->tag();
            const bool tooltipKind =
                c->kind() == ControlKind::TextBox || c->kind() == ControlKind::ComboBox;
            const QString text =
                tag.isEmpty() ? QString() : strings.find(tag.toInt() + offset).value_or(QString());
            const QString name = c->name();
            if (tag.isEmpty()) {
                QCOMPARE(c->text(), before[name].text);
                QCOMPARE(c->toolTip(), before[name].toolTip);
            } else if (tooltipKind) {
                QCOMPARE(c->toolTip(), text);
                QCOMPARE(c->text(), before[name].text);
            } else {
                QCOMPARE(c->text(), text);
            }
        }
        QCOMPARE(w.sep0.text(), QStringLiteral("-"));
    }

    void globalTexts_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("userType");
        QTest::addColumn<QString>("roomSection");
        QTest::newRow("English") << 0 << "Version 2.1"
                                 << "User type"
                                 << "[Room Data]";
        QTest::newRow("Dutch") << 1000 << "Versie 2.1"
                               << "Eigen invoer"
                               << "[Ruimte Gegevens]";
        QTest::newRow("German") << 4000 << "Version 2.1"
                                << "Benutzer Typ"
                                << "[Raumdaten]";
        QTest::newRow("Spanish runs in English") << 5000 << "Version 2.1"
                                                 << "User type"
                                                 << "[Room Data]";
    }

    void globalTexts() {
        QFETCH(int, offset);
        QFETCH(QString, version);
        QFETCH(QString, userType);
        QFETCH(QString, roomSection);
        h->kvx.LanguageOffset = offset;
        QVERIFY_THROWS_NO_EXCEPTION(LoadGlobalTexts(h->kvx, *h->w));
        const GlobalTexts& t = h->kvx.texts;
        QCOMPARE(t.ProgramTitle, QStringLiteral("KVX"));
        QCOMPARE(t.VersionText, version);
        QCOMPARE(t.UserTypeName, userType);
        QCOMPARE(t.SectionRoomData, roomSection);
        QCOMPARE(t.DescriptionPrompt, h->kvx.localText(1004));
        QCOMPARE(t.NewProjectName, h->kvx.localText(1054));
        const QStringList sections = {t.SectionProjectDescription, t.SectionLoudspeakerData,
                                      t.SectionRoomData, t.SectionPowerSettings,
                                      t.SectionCalculatedData};
        for (const QString& section : sections)
            QVERIFY2(section.startsWith(QLatin1Char('[')) && section.endsWith(QLatin1Char(']')),
                     qPrintable(section));
    }

    void spanishShowsEnglishWindow() {
        const QHash<QString, Captured> before = capture(*h->w);
        QVERIFY_THROWS_NO_EXCEPTION(translateMainWindow(LanguageOffsets::Spanish));
        QCOMPARE(capture(*h->w).value("mnuFile").text, QStringLiteral("&File"));
        QCOMPARE(h->w->mnuExit.text(), QStringLiteral("E&xit"));
        QCOMPARE(h->w->Frame1.text(), before.value("Frame1").text);
        QCOMPARE(h->w->txtRoomLength.toolTip(), before.value("txtRoomLength").toolTip);
        QVERIFY(h->platform.messages.isEmpty());
    }

    void translatingTwiceKeepsMenus() {
        translateMainWindow(LanguageOffsets::German);
        const QHash<QString, Captured> first = capture(*h->w);
        TranslateControls(h->kvx, *h->w);
        const QHash<QString, Captured> second = capture(*h->w);
        for (const auto& [name, id] : menuIds()) {
            QCOMPARE(second.value(name).text, first.value(name).text);
            QCOMPARE(second.value(name).text, h->kvx.strings.text(id + LanguageOffsets::German));
        }
    }

    void menusTranslateOnlyAfterTheirReset() {
        h->kvx.LanguageOffset = LanguageOffsets::Dutch;
        TranslateControls(h->kvx, *h->w);
        QCOMPARE(h->w->mnuFile.text(), QStringLiteral("&File"));
        QCOMPARE(h->w->Frame6.text(), h->kvx.strings.text(2000));
        LoadGlobalTexts(h->kvx, *h->w);
        QCOMPARE(h->w->mnuFile.text(), QStringLiteral("1001"));
        TranslateControls(h->kvx, *h->w);
        QCOMPARE(h->w->mnuFile.text(), QStringLiteral("&Bestand"));
    }

    void frenchKeepsLevelCaptionAndToolTip() {
        h->w->lblLevel.setText(QStringLiteral("85"));
        h->w->lblLevel.setToolTip(QStringLiteral("set at activation"));
        translateMainWindow(LanguageOffsets::French);
        QCOMPARE(h->w->lblLevel.text(), QStringLiteral("85"));
        QCOMPARE(h->w->lblLevel.toolTip(), QStringLiteral("set at activation"));
    }

    void controlWithoutTextKeepsIt() {
        h->w->Frame1.setTag(QStringLiteral("1099"));
        h->w->Frame1.setText(QStringLiteral("Room"));
        h->w->ExpText[ExpRoomLength]->setTag(QStringLiteral("1070"));
        h->w->ExpText[ExpRoomLength]->setText(QStringLiteral("Length"));
        translateMainWindow(LanguageOffsets::Italian);
        QCOMPARE(h->w->Frame1.text(), QStringLiteral("Room"));
        QCOMPARE(h->w->ExpText[ExpRoomLength]->text(), QStringLiteral("Length"));
        QCOMPARE(h->w->ExpText[ExpRoomWidth]->text(), h->kvx.strings.text(4009));
        QCOMPARE(h->w->mnuFile.text(), QStringLiteral("File"));
    }

    void controlKinds_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("caption"); // before; a menu's id lives here
        QTest::addColumn<QString>("text");    // expected after
        QTest::addColumn<QString>("toolTip"); // expected after

        const auto k = [](ControlKind kind) { return int(kind); };
        QTest::newRow("label from its Tag") << k(ControlKind::Label) << "1003"
                                            << "old"
                                            << "Projectomschrijving"
                                            << "";
        QTest::newRow("label with blanks around its Tag") << k(ControlKind::Label) << " 1003 "
                                                          << "old"
                                                          << "Projectomschrijving"
                                                          << "";
        QTest::newRow("label with empty Tag") << k(ControlKind::Label) << ""
                                              << "old"
                                              << "old"
                                              << "";
        QTest::newRow("label with text after the digits") << k(ControlKind::Label) << "1003x"
                                                          << "old"
                                                          << "old"
                                                          << "";
        QTest::newRow("frame from the leading digits of its Tag")
            << k(ControlKind::Frame) << "1006 room"
            << "old"
            << "Ruimtegegevens"
            << "";
        QTest::newRow("frame with empty Tag") << k(ControlKind::Frame) << ""
                                              << "old"
                                              << "old"
                                              << "";
        QTest::newRow("frame with Tag 0") << k(ControlKind::Frame) << "0"
                                          << "old"
                                          << "old"
                                          << "";
        QTest::newRow("button with a Tag not starting with digits")
            << k(ControlKind::CommandButton) << "x1028"
            << "old"
            << "old"
            << "";
        QTest::newRow("button from its Tag") << k(ControlKind::CommandButton) << "1106"
                                             << "old"
                                             << "Sluiten"
                                             << "";
        QTest::newRow("picture with a Tag") << k(ControlKind::PictureBox) << "1052"
                                            << ""
                                            << "KVX"
                                            << "";
        QTest::newRow("slider with a huge Tag") << k(ControlKind::HScrollBar) << "99999999999999"
                                                << "old"
                                                << "old"
                                                << "";
        QTest::newRow("text box gets a tooltip") << k(ControlKind::TextBox) << "1008"
                                                 << "12.5"
                                                 << "12.5"
                                                 << "voer de lengte van de ruimte in";
        QTest::newRow("combo box gets a tooltip") << k(ControlKind::ComboBox) << "1022"
                                                  << "Type A"
                                                  << "Type A"
                                                  << "Kies het type luidspreker";
        QTest::newRow("text box with empty Tag") << k(ControlKind::TextBox) << ""
                                                 << "1"
                                                 << "1"
                                                 << "";
        QTest::newRow("menu holding its id") << k(ControlKind::Menu) << ""
                                             << "1062"
                                             << "&Nieuw project"
                                             << "";
        QTest::newRow("menu holding a text") << k(ControlKind::Menu) << "1062"
                                             << "&New project"
                                             << "&New project"
                                             << "";
        QTest::newRow("menu separator") << k(ControlKind::Menu) << ""
                                        << "-"
                                        << "-"
                                        << "";
    }

    void controlKinds() {
        QFETCH(int, kind);
        QFETCH(QString, tag);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFETCH(QString, toolTip);
        Control window(ControlKind::Form, QStringLiteral("frmTest"));
        Control control(ControlKind(kind), QStringLiteral("control"), tag);
        control.setText(caption);
        h->kvx.LanguageOffset = LanguageOffsets::Dutch;
        TranslateControls(h->kvx, window, {&control});
        QCOMPARE(control.text(), text);
        QCOMPARE(control.toolTip(), toolTip);
    }

    void windowCaption_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("caption");
        QTest::newRow("German Working window") << LanguageOffsets::German << "1110"
                                               << "Programm Info";
        QTest::newRow("French Working window keeps its own caption")
            << LanguageOffsets::French << "1110"
            << "Working with ...";
        QTest::newRow("window without Tag") << LanguageOffsets::German << ""
                                            << "Working with ...";
    }

    void windowCaption() {
        QFETCH(int, offset);
        QFETCH(QString, tag);
        QFETCH(QString, caption);
        Control window(ControlKind::Form, QStringLiteral("frmWorking"), tag);
        window.setText(QStringLiteral("Working with ..."));
        Control close(ControlKind::CommandButton, QStringLiteral("cmdClose"),
                      QStringLiteral("1106"));
        h->kvx.LanguageOffset = offset;
        TranslateControls(h->kvx, window, {&close});
        QCOMPARE(window.text(), caption);
        QCOMPARE(close.text(), h->kvx.strings.text(1106 + offset));
    }

    void failingHandlerSkipsOnlyItsStep() {
        Control window(ControlKind::Form, QStringLiteral("frmTest"));
        Control failing(ControlKind::Label, QStringLiteral("failing"), QStringLiteral("1003"));
        failing.onChange = [] { throw KvxError(QStringLiteral("fails")); };
        Control next(ControlKind::Label, QStringLiteral("next"), QStringLiteral("1007"));
        QVERIFY_THROWS_NO_EXCEPTION(TranslateControls(h->kvx, window, {&failing, &next}));
        QCOMPARE(next.text(), QStringLiteral("Room length"));
    }
};

QTEST_GUILESS_MAIN(TestTranslation)
#include "test_translation.moc"
