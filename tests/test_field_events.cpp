// The change, focus and click events of the numeric fields: what they do to
// the Calculate button, the report commands, the results and FocusText.
#include "core/ui/main_window.h"
#include "support/harness.h"

#include <QTest>

using namespace kvx;
using kvx::test::Harness;

namespace {

// The state after a calculation: results shown, Calculate off, reports on.
void afterRun(Harness& h) {
    FrmKvx& w = *h.w;
    w.FillSpeakerTapList();
    w.FillAmpTapList();
    w.lstLspTap.setText(QStringLiteral("1/1 P"));
    w.lstAmpTap.setText(QStringLiteral("100 V"));
    w.txtMaxPower.setText(QStringLiteral("4"));
    for (Control* result : {&w.lblDistance, &w.lblNrofSpeakers, &w.lblLevelDif1, &w.lblLevel})
        result->setText(QStringLiteral("1"));
    w.cmdCalc.setEnabled(false);
    w.mnuPrintFile.setEnabled(true);
    w.mnuReport.setEnabled(true);
    h.kvx.Modified = false;
    h.platform.clear();
}

bool resultsEmpty(const FrmKvx& w) {
    return w.lblDistance.text().isEmpty() && w.lblNrofSpeakers.text().isEmpty() &&
           w.lblLevelDif1.text().isEmpty() && w.lblLevel.text().isEmpty();
}

bool resultsKept(const FrmKvx& w) {
    return w.lblDistance.text() == u"1" && w.lblNrofSpeakers.text() == u"1" &&
           w.lblLevelDif1.text() == u"1" && w.lblLevel.text() == u"1";
}

} // namespace

class TestFieldEvents : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void change_data();
    void change();
    void rejectedCharacterStillWithdrawsReports();
    void ratedPowerChangeShowsPowerAtOnce_data();
    void ratedPowerChangeShowsPowerAtOnce();
    void focus_data();
    void focus();
    void click_data();
    void click();
    void tapFocusRemembersText();
};

void TestFieldEvents::change_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("roomField");

    QTest::newRow("room length") << "txtRoomLength" << true;
    QTest::newRow("room width") << "txtRoomWidth" << true;
    QTest::newRow("room height") << "txtRoomHeight" << true;
    QTest::newRow("ear height") << "txtEarHeight" << true;
    QTest::newRow("1 kHz angle") << "txtAngle1" << false;
    QTest::newRow("4 kHz angle") << "txtAngle4" << false;
    QTest::newRow("sensitivity") << "txtSensitivity" << false;
    QTest::newRow("rated power") << "txtMaxPower" << false;
}

void TestFieldEvents::change() {
    QFETCH(QString, field);
    QFETCH(bool, roomField);

    Harness h;
    afterRun(h);
    FrmKvx& w = *h.w;
    h.kvx.FocusText = QStringLiteral("6");
    w.control(field)->userSetText(QStringLiteral("7"));

    // Only a room field makes Calculate available and withdraws the reports.
    QCOMPARE(w.cmdCalc.isEnabled(), roomField);
    QCOMPARE(w.mnuPrintFile.isEnabled(), !roomField);
    QCOMPARE(w.mnuReport.isEnabled(), !roomField);
    QCOMPARE(w.mnuExportPdf.isEnabled(), !roomField);
    QVERIFY(h.kvx.Modified);
    QVERIFY(resultsKept(w));
    QVERIFY(h.platform.messages.isEmpty());
    QVERIFY(h.platform.focusMoves.isEmpty());
}

void TestFieldEvents::rejectedCharacterStillWithdrawsReports() {
    Harness h;
    afterRun(h);
    FrmKvx& w = *h.w;
    w.txtRoomHeight.userSetText(QStringLiteral("4x"));

    QCOMPARE(h.platform.messages.size(), 1);
    QCOMPARE(h.platform.focusMoves, QStringList{"txtRoomHeight"});
    QVERIFY(w.cmdCalc.isEnabled());
    QVERIFY(!w.mnuPrintFile.isEnabled());
    QVERIFY(!w.mnuReport.isEnabled());
    QVERIFY(!h.kvx.Modified);
}

void TestFieldEvents::ratedPowerChangeShowsPowerAtOnce_data() {
    QTest::addColumn<QString>("speakerTap");
    QTest::addColumn<QString>("ampTap");
    QTest::addColumn<QString>("ratedPower");
    QTest::addColumn<QString>("power");

    const auto row = [](const char* name, const char* speakerTap, const char* ampTap,
                        const QString& ratedPower, const char* power) {
        QTest::newRow(name) << QString::fromLatin1(speakerTap) << QString::fromLatin1(ampTap)
                            << ratedPower << QString::fromLatin1(power);
    };
    row("10 W at 1/2 P and 50 V", "1/2 P", " 50 V", "10", "1.25");
    row("6 W at 1/4 P and 50 V", "1/4 P", " 50 V", "6", "0.375");
    row("comma notation", "1/1 P", "100 V", "7,5", "7.5");
    row("rated power 0", "1/1 P", "100 V", "0", "0");
    row("unusable tap keeps the power shown", "1/0 P", "100 V", "8", "4");
    row("power beyond a double keeps the power shown", "1/1 P", "100 V",
        QStringLiteral("1") + QString(306, u'0'), "4");
}

void TestFieldEvents::ratedPowerChangeShowsPowerAtOnce() {
    QFETCH(QString, speakerTap);
    QFETCH(QString, ampTap);
    QFETCH(QString, ratedPower);
    QFETCH(QString, power);

    Harness h;
    afterRun(h);
    FrmKvx& w = *h.w;
    w.lstLspTap.userSetText(speakerTap);
    w.lstAmpTap.userSetText(ampTap);
    w.txtMaxPower.userSetText(ratedPower);

    QCOMPARE(w.lblPower.text(), power);
    QVERIFY(h.platform.messages.isEmpty());
    QVERIFY(h.platform.focusMoves.isEmpty()); // no calculation ran
    QVERIFY(resultsKept(w));
}

void TestFieldEvents::focus_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("enablesCalc");

    QTest::newRow("room length") << "txtRoomLength" << true;
    QTest::newRow("room width") << "txtRoomWidth" << false;
    QTest::newRow("room height") << "txtRoomHeight" << false;
    QTest::newRow("ear height") << "txtEarHeight" << false;
}

void TestFieldEvents::focus() {
    QFETCH(QString, field);
    QFETCH(bool, enablesCalc);

    Harness h;
    afterRun(h);
    FrmKvx& w = *h.w;
    Control& box = *w.control(field);
    box.setText(QStringLiteral(" 12,5"));
    w.cmdCalc.setEnabled(false);
    box.userFocus();

    QCOMPARE(h.kvx.FocusText, QStringLiteral(" 12,5"));
    QCOMPARE(w.cmdCalc.isEnabled(), enablesCalc);
    QVERIFY(resultsKept(w));
}

void TestFieldEvents::click_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("enablesCalc");

    QTest::newRow("room length") << "txtRoomLength" << true;
    QTest::newRow("room width") << "txtRoomWidth" << true;
    QTest::newRow("room height") << "txtRoomHeight" << false;
    QTest::newRow("ear height") << "txtEarHeight" << false;
}

void TestFieldEvents::click() {
    QFETCH(QString, field);
    QFETCH(bool, enablesCalc);

    Harness h;
    afterRun(h);
    FrmKvx& w = *h.w;
    w.lblPower.setText(QStringLiteral("6"));
    w.control(field)->userClick();

    QVERIFY(resultsEmpty(w));
    QCOMPARE(w.lblPower.text(), QStringLiteral("6"));
    QCOMPARE(w.cmdCalc.isEnabled(), enablesCalc);
    QVERIFY(w.mnuReport.isEnabled());
}

void TestFieldEvents::tapFocusRemembersText() {
    Harness h;
    afterRun(h);
    FrmKvx& w = *h.w;
    w.lstAmpTap.userFocus();
    QCOMPARE(h.kvx.FocusText, QStringLiteral("100 V"));
    w.lstLspTap.userFocus();
    QCOMPARE(h.kvx.FocusText, QStringLiteral("1/1 P"));
}

QTEST_GUILESS_MAIN(TestFieldEvents)
#include "test_field_events.moc"
