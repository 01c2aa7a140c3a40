// The checks in front of a calculation and the character filter of the
// numeric fields: which text is refused, with which message, in which order.
#include "core/ui/main_window.h"
#include "support/harness.h"

#include <QTest>

using namespace kvx;
using kvx::test::Harness;

namespace {

// Field name to text; the rest of a row's fields hold a passing value.
using Texts = QMap<QString, QString>;

Texts passing() {
    return {{"txtRoomLength", "20"}, {"txtRoomWidth", "10"},   {"txtRoomHeight", "4"},
            {"txtEarHeight", "1.5"}, {"txtAngle1", "90"},      {"txtAngle4", "60"},
            {"txtLevelDif4", "6"},   {"txtSensitivity", "90"}, {"txtMaxPower", "6"}};
}

Texts with(std::initializer_list<std::pair<QString, QString>> changes) {
    Texts texts = passing();
    for (const auto& [name, text] : changes)
        texts[name] = text;
    return texts;
}

QString positive(const QString& label) {
    return label + QStringLiteral(" should be positive !");
}

const QString kHeightsTooClose =
    QStringLiteral("Room Height and Ear Height difference too small !") + QChar(13) +
    QStringLiteral("Please adjust Room Height or Ear height");
const QString kLevelTooHigh = QStringLiteral("Difference Level is too high !") + QChar(10) +
                              QStringLiteral("For equal coverage value about: 6 dB");
const QString kFilterMessage = QStringLiteral("Invalid Character. Use: ") + QChar(10) +
                               QStringLiteral(" +/-, 0...9, one decimal separator (dot or comma).");

} // namespace

class TestInputChecks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void checks_data();
    void checks();
    void filterAccepts_data();
    void filterAccepts();
    void filterRejects_data();
    void filterRejects();
    void filterOnlyRaisesModified_data();
    void filterOnlyRaisesModified();
};

void TestInputChecks::checks_data() {
    QTest::addColumn<Texts>("texts");
    QTest::addColumn<QString>("message"); // empty when every check passes

    const QString tooLarge = QStringLiteral("1") + QString(400, u'0');
    Texts empty = passing();
    for (QString& text : empty)
        text.clear();

    QTest::newRow("all pass") << passing() << QString();
    QTest::newRow("all empty: room length only") << empty << positive("Room Length");
    QTest::newRow("room length 0") << with({{"txtRoomLength", "0"}}) << positive("Room Length");
    QTest::newRow("room width letters only")
        << with({{"txtRoomWidth", "abc"}}) << positive("Room Width");
    QTest::newRow("room width before room height")
        << with({{"txtRoomWidth", "-1"}, {"txtRoomHeight", "0"}}) << positive("Room Width");
    QTest::newRow("room height 0") << with({{"txtRoomHeight", "0"}}) << positive("Room Height");
    QTest::newRow("ear height negative")
        << with({{"txtEarHeight", "-0,1"}}) << positive("Ear Height");
    QTest::newRow("ear height 0 passes") << with({{"txtEarHeight", "0"}}) << QString();
    QTest::newRow("room 4, ear 3.8") << with({{"txtEarHeight", "3.8"}}) << kHeightsTooClose;
    QTest::newRow("ear above room") << with({{"txtEarHeight", "5"}}) << kHeightsTooClose;
    QTest::newRow("room 1.8, ear 1.5 passes")
        << with({{"txtRoomHeight", "1.8"}, {"txtEarHeight", "1.5"}}) << QString();
    QTest::newRow("room 2.3, ear 2.0 fails")
        << with({{"txtRoomHeight", "2.3"}, {"txtEarHeight", "2.0"}}) << kHeightsTooClose;
    QTest::newRow("room 2,3, ear 2,0 fails")
        << with({{"txtRoomHeight", "2,3"}, {"txtEarHeight", "2,0"}}) << kHeightsTooClose;
    QTest::newRow("heights before angles")
        << with({{"txtEarHeight", "3.9"}, {"txtAngle1", "0"}}) << kHeightsTooClose;
    QTest::newRow("1 kHz angle 0") << with({{"txtAngle1", "0"}}) << positive("Opening Angle");
    QTest::newRow("4 kHz angle empty")
        << with({{"txtAngle4", ""}}) << positive("4 kHz Opening Angle");
    QTest::newRow("difference level 0")
        << with({{"txtLevelDif4", "0"}}) << positive("Difference Level");
    QTest::newRow("difference level 12 passes") << with({{"txtLevelDif4", "12"}}) << QString();
    QTest::newRow("difference level 12.1") << with({{"txtLevelDif4", "12.1"}}) << kLevelTooHigh;
    QTest::newRow("difference level 12,1") << with({{"txtLevelDif4", "12,1"}}) << kLevelTooHigh;
    QTest::newRow("difference level before sensitivity")
        << with({{"txtLevelDif4", "13"}, {"txtSensitivity", "-1"}}) << kLevelTooHigh;
    QTest::newRow("sensitivity 0 passes") << with({{"txtSensitivity", "0"}}) << QString();
    QTest::newRow("sensitivity negative")
        << with({{"txtSensitivity", "-3"}}) << positive("Sensitivity");
    QTest::newRow("rated power 0,0") << with({{"txtMaxPower", "0,0"}}) << positive("Rated Power");
    QTest::newRow("angle 270 and length 10000 pass")
        << with({{"txtAngle4", "270"}, {"txtRoomLength", "10000"}}) << QString();
    QTest::newRow("room width too large to read")
        << with({{"txtRoomWidth", tooLarge}}) << QStringLiteral("Room Width is too large !");
    QTest::newRow("rated power too large to read")
        << with({{"txtMaxPower", tooLarge}}) << QStringLiteral("Rated Power is too large !");
    QTest::newRow("earlier failure before a number too large")
        << with({{"txtRoomLength", "0"}, {"txtSensitivity", tooLarge}}) << positive("Room Length");
}

void TestInputChecks::checks() {
    QFETCH(Texts, texts);
    QFETCH(QString, message);

    Harness h;
    FrmKvx& w = *h.w;
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        w.control(it.key())->setText(it.value());
    w.lblDistance.setText(QStringLiteral("3.6"));
    h.platform.clear();

    QCOMPARE(w.CheckInputs(), message.isEmpty());

    if (message.isEmpty()) {
        QVERIFY(h.platform.messages.isEmpty());
    } else {
        QCOMPARE(h.platform.messages.size(), 1);
        QCOMPARE(h.platform.messages.first().text, message);
        QCOMPARE(h.platform.messages.first().title, QStringLiteral("Input Error"));
        QCOMPARE(h.platform.messages.first().style, 48);
    }
    QVERIFY(h.platform.focusMoves.isEmpty());
    QCOMPARE(w.lblDistance.text(), QStringLiteral("3.6"));
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        QCOMPARE(w.control(it.key())->text(), it.value());
}

void TestInputChecks::filterAccepts_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("dot decimal") << "12.5";
    QTest::newRow("comma decimal") << "12,5";
    QTest::newRow("minus sign") << "-3";
    QTest::newRow("plus sign and comma") << "+0,75";
    QTest::newRow("leading separator") << ".5";
    QTest::newRow("empty") << "";
    QTest::newRow("sign after outer spaces") << "  -5  ";
    QTest::newRow("sign alone while typing") << "-";
    QTest::newRow("separator alone while typing") << ",";
    QTest::newRow("trailing separator") << "12.";
}

void TestInputChecks::filterAccepts() {
    QFETCH(QString, text);

    Harness h;
    h.w->txtRoomLength.userSetText(text);
    h.w->txtSensitivity.userSetText(text);
    QVERIFY(h.platform.messages.isEmpty());
    QVERIFY(h.platform.focusMoves.isEmpty());
}

void TestInputChecks::filterRejects_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");

    QTest::newRow("two dots") << "txtRoomLength"
                              << "1.2.3";
    QTest::newRow("comma and dot") << "txtRoomWidth"
                                   << "1,2.3";
    QTest::newRow("sign not first") << "txtRoomHeight"
                                    << "1-2";
    QTest::newRow("inner space") << "txtEarHeight"
                                 << "1 2";
    QTest::newRow("exponent") << "txtAngle1"
                              << "1e3";
    QTest::newRow("letter after digits") << "txtAngle4"
                                         << "12a";
    QTest::newRow("two signs") << "txtSensitivity"
                               << "+-1";
    QTest::newRow("unit typed") << "txtMaxPower"
                                << "6 W";
    QTest::newRow("tab inside") << "txtRoomLength"
                                << "1\t2";
}

void TestInputChecks::filterRejects() {
    QFETCH(QString, field);
    QFETCH(QString, text);

    Harness h;
    h.kvx.FocusText = QStringLiteral("1");
    Control& box = *h.w->control(field);
    box.userSetText(text);

    QCOMPARE(h.platform.messages.size(), 1);
    QCOMPARE(h.platform.messages.first().text, kFilterMessage);
    QCOMPARE(h.platform.messages.first().style, 0);
    QVERIFY(h.platform.messages.first().title.isEmpty());
    QCOMPARE(h.platform.focusMoves, QStringList{field});
    QCOMPARE(box.text(), text);
    QVERIFY(!h.kvx.Modified);
}

void TestInputChecks::filterOnlyRaisesModified_data() {
    QTest::addColumn<QString>("focusText");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("modifiedBefore");
    QTest::addColumn<bool>("modifiedAfter");

    QTest::newRow("new text raises") << "20"
                                     << "25" << false << true;
    QTest::newRow("remembered text leaves it clear") << "20"
                                                     << "20" << false << false;
    QTest::newRow("outer spaces ignored") << "20"
                                          << " 20 " << false << false;
    QTest::newRow("remembered text keeps another change") << "20"
                                                          << "20" << true << true;
}

void TestInputChecks::filterOnlyRaisesModified() {
    QFETCH(QString, focusText);
    QFETCH(QString, text);
    QFETCH(bool, modifiedBefore);
    QFETCH(bool, modifiedAfter);

    Harness h;
    h.kvx.FocusText = focusText;
    h.kvx.Modified = modifiedBefore;
    h.w->txtRoomWidth.userSetText(text);
    QCOMPARE(h.kvx.Modified, modifiedAfter);
}

QTEST_GUILESS_MAIN(TestInputChecks)
#include "test_input_checks.moc"
