// Picking a data file or a loudspeaker type, and the rule that keeps the user
// out of the loudspeaker fields while a catalogue type is chosen.
#include "core/base/ini_file.h"
#include "core/calc/design.h"
#include "support/files.h"

#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

// The window after start-up on Ceiling.lsp; Other.lsp and Empty.lsp lie beside it.
struct Window : ProjectWindow {
    explicit Window(int language = 0)
        : ProjectWindow(language) {
        writeLspFile(path("Ceiling.lsp"),
                     {lspRecord("Ceil5", 90, 60, 89.5f, 6), lspRecord("Ceil8", 100, 70, 90, 10),
                      lspRecord("Ceil10", 110, 80, 91.5f, 15)});
        writeLspFile(path("Other.lsp"),
                     {lspRecord("Wide", 160, 100, 86, 3), lspRecord("Narrow", 60, 40, 95, 30)});
        writeLspFile(path("Empty.lsp"), {});
        w->FileSel.addItems({"Ceiling.lsp", "Other.lsp", "Empty.lsp"});
        w->FileSel.userPick(0);
        w->SetUserTypeFields(false);
    }
    QList<Control*> lspFields() const { return fields().mid(2, 4); }
    QList<Control*> results() const {
        return {fields()[13], fields()[14], fields()[15], fields()[17]};
    }
    // Marks the results and sets Calculate, to see what the next step changes.
    void mark(bool calculateEnabled) {
        w->ClearResults();
        for (Control* label : results())
            label->setText("mark");
        w->cmdCalc.setEnabled(calculateEnabled);
        platform.clear();
    }
};

} // namespace

class TestCatalogueSelection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A data file shows its record 1 and keeps the look and the results; a type
    // shows its data in its own look and recalculates.
    void pick_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<Rgb>("colour");
        const QStringList ceiling = {"Ceil5      ", "Ceil8      ", "Ceil10     ", "User type"};
        // The fields' look follows the type box: a catalogue type locks them.
        QTest::newRow("data file: record 1, locked on light yellow")
            << "FileSel" << 1 << QStringList{"Wide       ", "Narrow     ", "User type"}
            << QStringList{"160", "100", "86", "3"} << kLightYellow;
        QTest::newRow("data file without types: the user type, zeroed")
            << "FileSel" << 2 << QStringList{"User type"} << QStringList{"0", "0", "0", "0"}
            << kWhite;
        QTest::newRow("user type: defaults on white")
            << "lstLsp" << 3 << ceiling << QStringList{"120", "140", "80", "10"} << kWhite;
        QTest::newRow("third entry: record 3 on light yellow")
            << "lstLsp" << 2 << ceiling << QStringList{"110", "80", "91.5", "15"} << kLightYellow;
    }
    void pick() {
        QFETCH(QString, list);
        QFETCH(int, index);
        QFETCH(QStringList, types);
        QFETCH(Rgb, colour);
        const bool type = list == "lstLsp";
        Window win;
        if (!type || index != 3) // the user type's look, unless picking it
            win.w->SetUserTypeFields(true);
        win.mark(true);
        win.w->control(list)->userPick(index);
        QCOMPARE(win.w->lstLsp.items(), types);
        QCOMPARE(win.w->lstLsp.text(), types.at(type ? index : 0));
        QTEST(of(win.lspFields(), &Control::text), "texts");
        QCOMPARE(of(win.lspFields(), &Control::backColor), QList<Rgb>(4, colour));
        QCOMPARE(ReadIniValue("Current lsp file", "Filename", win.kvx.iniPath()).value_or(""),
                 win.w->FileSel.text());
        QCOMPARE(of(win.results(), &Control::text) == QStringList(4, "mark"), !type);
        QCOMPARE(bool(win.w->lastCalculation()) && !win.w->cmdCalc.isEnabled() && win.kvx.Modified,
                 type);
        QCOMPARE(win.platform.focusMoves + win.platform.messageTitles(),
                 type ? QStringList{"DiffSet"} : QStringList());
    }

    void focusRule_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("userType");
        QTest::newRow("catalogue type: bounced to the slider") << 0 << "Ceil5      " << false;
        QTest::newRow("user type: results cleared") << 0 << "User type" << true;
        QTest::newRow("Dutch user type") << LanguageOffsets::Dutch << "Eigen invoer" << true;
        QTest::newRow("English user type under Dutch: a type name")
            << LanguageOffsets::Dutch << "User type" << false;
    }
    void focusRule() {
        QFETCH(int, language);
        QFETCH(QString, type);
        QFETCH(bool, userType);
        Window win(language);
        win.kvx.texts.UserTypeName.clear(); // the string table's text counts until loaded
        win.w->lstLsp.setText(type);
        for (Control* field : win.lspFields()) {
            win.mark(false);
            field->userFocus();
            QCOMPARE(win.platform.focusMoves, userType ? QStringList() : QStringList{"DiffSet"});
            QCOMPARE(of(win.results(), &Control::text), QStringList(4, userType ? "" : "mark"));
            QCOMPARE(win.w->cmdCalc.isEnabled(), userType);
        }
    }
};

QTEST_GUILESS_MAIN(TestCatalogueSelection)
#include "test_catalogue_selection.moc"
