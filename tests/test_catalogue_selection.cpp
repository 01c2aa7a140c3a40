// Picking a data file or a loudspeaker type, the colours and defaults of the
// loudspeaker fields, and the rule that keeps the user out of those fields
// while a catalogue type is chosen.
#include "core/catalogue/lsp_record.h"
#include "core/kvx_error.h"
#include "core/shell/ini_file.h"
#include "support/harness.h"

#include <QFile>
#include <QTest>

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

const QString kSentinel = QStringLiteral("sentinel");
const QString kUserType = QStringLiteral("User type");

// The window as it stands after start-up on Ceiling.lsp, with a valid room and
// a first calculation done; Other.lsp and Empty.lsp lie beside it.
struct Window : Harness {
    Window() {
        writeLspFile(path("Ceiling.lsp"),
                     {makeRecord("Ceil5", 90, 60, 89.5f, 6), makeRecord("Ceil8", 100, 70, 90, 10),
                      makeRecord("Ceil10", 110, 80, 91.5f, 15)});
        writeLspFile(path("Other.lsp"),
                     {makeRecord("Wide", 160, 100, 86, 3), makeRecord("Narrow", 60, 40, 95, 30)});
        writeLspFile(path("Empty.lsp"), {});

        w->FileSel.setText(QStringLiteral("Ceiling.lsp"));
        for (const char* name : {"Ceiling.lsp", "Other.lsp", "Empty.lsp", "Gone.lsp"})
            w->FileSel.addItem(QString::fromLatin1(name));
        kvx.CurrentLspFile = QStringLiteral("Ceiling.lsp");
        w->OpenLoudspeakerFile();
        w->FillLoudspeakerList();
        w->lstLsp.setText(w->lstLsp.items().first());
        w->txtRoomLength.setText(QStringLiteral("20"));
        w->txtRoomWidth.setText(QStringLiteral("10"));
        w->txtRoomHeight.setText(QStringLiteral("3"));
        w->txtEarHeight.setText(QStringLiteral("1.2"));
        w->lstLspTap.setText(QStringLiteral("1/1 P"));
        w->lstAmpTap.setText(QStringLiteral(" 70 V"));
        w->ShowLoudspeakerData(1);
        w->SetUserTypeFields(false);
        w->DiffSet.setValue(60);
        w->cmdCalc_Click();
        platform.clear();
        kvx.Modified = false;
    }

    // Puts the window into the user-type state without running the pick.
    void chooseUserType() {
        w->lstLsp.setText(kUserType);
        w->SetUserTypeFields(true);
        platform.clear();
    }

    QList<Control*> fields() const {
        return {&w->txtAngle1, &w->txtAngle4, &w->txtSensitivity, &w->txtMaxPower};
    }
    QStringList fieldTexts() const {
        QStringList texts;
        for (const Control* field : fields())
            texts << field->text();
        return texts;
    }
    QList<Rgb> fieldColours() const {
        QList<Rgb> colours;
        for (const Control* field : fields())
            colours << field->backColor();
        return colours;
    }
    QStringList results() const {
        return {w->lblDistance.text(), w->lblNrofSpeakers.text(), w->lblLevelDif1.text(),
                w->lblLevel.text()};
    }
    void setResults(const QString& text) {
        for (Control* label :
             {&w->lblDistance, &w->lblNrofSpeakers, &w->lblLevelDif1, &w->lblLevel})
            label->setText(text);
    }
};

QList<Rgb> allFour(Rgb colour) {
    return {colour, colour, colour, colour};
}

} // namespace

class TestCatalogueSelection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void userTypeFields_data();
    void userTypeFields();
    void pickDataFile_data();
    void pickDataFile();
    void pickDataFileWithoutTypes();
    void pickVanishedDataFile();
    void pickUserType();
    void pickCatalogueType_data();
    void pickCatalogueType();
    void focusRule_data();
    void focusRule();
    void userTypeTextOfTheLanguage();
};

void TestCatalogueSelection::userTypeFields_data() {
    QTest::addColumn<bool>("userType");
    QTest::addColumn<Rgb>("colour");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("user type: defaults on white")
        << true << kWhite << QStringList{"120", "140", "80", "10"};
    QTest::newRow("catalogue type: light yellow, texts untouched")
        << false << kLightYellow << QStringList{"90", "60", "89.5", "6"};
}

void TestCatalogueSelection::userTypeFields() {
    QFETCH(bool, userType);
    QFETCH(Rgb, colour);
    QFETCH(QStringList, texts);

    Window win;
    for (Control* field : win.fields())
        field->setBackColor(kRed);
    win.w->SetUserTypeFields(userType);
    QCOMPARE(win.fieldColours(), allFour(colour));
    QCOMPARE(win.fieldTexts(), texts);
    QCOMPARE(colour, rgb(255, 255, userType ? 255 : 224));
}

void TestCatalogueSelection::pickDataFile_data() {
    QTest::addColumn<bool>("userTypeBefore");
    QTest::newRow("catalogue look kept") << false;
    QTest::newRow("user-type look kept") << true;
}

void TestCatalogueSelection::pickDataFile() {
    QFETCH(bool, userTypeBefore);

    Window win;
    if (userTypeBefore)
        win.chooseUserType();
    const QList<Rgb> colours = win.fieldColours();
    win.setResults(kSentinel);
    win.w->cmdCalc.setEnabled(true);

    win.w->FileSel.userPick(1);

    QCOMPARE(win.kvx.CurrentLspFile, QStringLiteral("Other.lsp"));
    QCOMPARE(ReadIniValue(QStringLiteral("Current lsp file"), QStringLiteral("Filename"),
                          win.kvx.iniPath()),
             QStringLiteral("Other.lsp"));
    QVERIFY(win.w->LspFile);
    QVERIFY(win.w->LspFile->fileName().endsWith(QStringLiteral("/Other.lsp")));
    QCOMPARE(win.w->lstLsp.items(), (QStringList{"Wide       ", "Narrow     ", kUserType}));
    QCOMPARE(win.w->lstLsp.text(), QStringLiteral("Wide       "));
    QCOMPARE(win.fieldTexts(), (QStringList{"160", "100", "86", "3"}));
    // Neither recoloured nor recalculated.
    QCOMPARE(win.fieldColours(), colours);
    QCOMPARE(win.results(), QStringList(4, kSentinel));
    QVERIFY(win.w->cmdCalc.isEnabled());
    QVERIFY(win.platform.focusMoves.isEmpty());
    QVERIFY(win.platform.messages.isEmpty());
}

void TestCatalogueSelection::pickDataFileWithoutTypes() {
    Window win;
    win.w->FileSel.userPick(2);
    QCOMPARE(win.w->lstLsp.items(), QStringList{kUserType});
    QCOMPARE(win.w->lstLsp.text(), kUserType);
    QCOMPARE(win.fieldTexts(), (QStringList{"0", "0", "0", "0"}));
    QCOMPARE(win.fieldColours(), allFour(kLightYellow));
}

void TestCatalogueSelection::pickVanishedDataFile() {
    Window win;
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, win.w->FileSel.userPick(3));
    QVERIFY(win.platform.ended);
    QCOMPARE(win.platform.messageTitles(), QStringList{"Loudspeaker File Error"});
    QVERIFY(!win.w->LspFile);
}

void TestCatalogueSelection::pickUserType() {
    Window win;
    win.w->cmdCalc.setEnabled(true);
    win.w->lstLsp.userPick(int(win.w->lstLsp.items().size()) - 1);

    QCOMPARE(win.fieldColours(), allFour(kWhite));
    QCOMPARE(win.fieldTexts(), (QStringList{"120", "140", "80", "10"}));
    QVERIFY(win.w->lastCalculation.has_value());
    QVERIFY(!win.w->cmdCalc.isEnabled());
    QVERIFY(win.kvx.Modified);
}

void TestCatalogueSelection::pickCatalogueType_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("first entry shows record 1") << 0 << QStringList{"90", "60", "89.5", "6"};
    QTest::newRow("third entry shows record 3") << 2 << QStringList{"110", "80", "91.5", "15"};
}

void TestCatalogueSelection::pickCatalogueType() {
    QFETCH(int, index);
    QFETCH(QStringList, texts);

    Window win;
    win.chooseUserType();
    win.w->cmdCalc.setEnabled(true);
    win.w->lastCalculation.reset();

    win.w->lstLsp.userPick(index);

    QCOMPARE(win.fieldTexts(), texts);
    QCOMPARE(win.fieldColours(), allFour(kLightYellow));
    QVERIFY(win.w->lastCalculation.has_value());
    QVERIFY(!win.w->cmdCalc.isEnabled());
    QVERIFY(win.kvx.Modified);
}

void TestCatalogueSelection::focusRule_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("userType");

    for (const char* field : {"txtAngle1", "txtAngle4", "txtSensitivity", "txtMaxPower"}) {
        QTest::addRow("%s, catalogue type: bounced to the slider", field) << field << false;
        QTest::addRow("%s, user type: results cleared", field) << field << true;
    }
}

void TestCatalogueSelection::focusRule() {
    QFETCH(QString, field);
    QFETCH(bool, userType);

    Window win;
    if (userType)
        win.chooseUserType();
    win.setResults(kSentinel);
    win.w->cmdCalc.setEnabled(false);

    win.w->control(field)->userFocus();

    if (userType) {
        QVERIFY(win.platform.focusMoves.isEmpty());
        QCOMPARE(win.results(), QStringList(4, QString()));
        QVERIFY(win.w->cmdCalc.isEnabled());
    } else {
        QCOMPARE(win.platform.focusMoves, QStringList{"DiffSet"});
        QCOMPARE(win.results(), QStringList(4, kSentinel));
        QVERIFY(!win.w->cmdCalc.isEnabled());
    }
}

void TestCatalogueSelection::userTypeTextOfTheLanguage() {
    Window win;
    win.kvx.LanguageOffset = LanguageOffsets::Dutch;
    win.kvx.texts.UserTypeName = QStringLiteral("Eigen invoer");

    // The English text is an ordinary type name under another language.
    win.w->lstLsp.setText(kUserType);
    win.w->txtAngle4.userFocus();
    QCOMPARE(win.platform.focusMoves, QStringList{"DiffSet"});

    win.platform.clear();
    win.w->lstLsp.setText(QStringLiteral("Eigen invoer"));
    win.w->txtAngle4.userFocus();
    QVERIFY(win.platform.focusMoves.isEmpty());

    // Before the global texts are loaded, the string table's text counts.
    win.kvx.texts.UserTypeName.clear();
    win.w->txtAngle4.userFocus();
    QVERIFY(win.platform.focusMoves.isEmpty());
}

QTEST_GUILESS_MAIN(TestCatalogueSelection)
#include "test_catalogue_selection.moc"
