// The checks in front of a calculation: which text is refused, with which
// message, in which order.
#include "core/ui/main_window.h"
#include "support/harness.h"

#include <QTest>

using namespace kvx;
using kvx::test::Harness;

class TestInputChecks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void checks_data() {
        QTest::addColumn<QString>("changes"); // "field=text;..." over texts that pass
        QTest::addColumn<QString>("message"); // empty when every check passes

        const auto row = [](const char* name, const QString& changes, const QString& message) {
            QTest::newRow(name) << changes << message;
        };
        const QString positive = QStringLiteral(" should be positive !");
        const QString heights = QStringLiteral("Room Height and Ear Height difference too small !\r"
                                               "Please adjust Room Height or Ear height");
        const QString tooHigh = QStringLiteral("Difference Level is too high !\n"
                                               "For equal coverage value about: 6 dB");
        const QString tooLarge = QStringLiteral("1") + QString(400, u'0');

        row("all pass", "", "");
        row("all empty: room length only",
            "txtRoomLength=;txtRoomWidth=;txtRoomHeight=;txtEarHeight=;txtAngle1=;txtAngle4=;"
            "txtLevelDif4=;txtSensitivity=;txtMaxPower=",
            "Room Length" + positive);
        row("room width before room height", "txtRoomWidth=-1;txtRoomHeight=0",
            "Room Width" + positive);
        row("room height 0", "txtRoomHeight=0", "Room Height" + positive);
        row("ear height negative", "txtEarHeight=-0,1", "Ear Height" + positive);
        row("room 1.8, ear 1.5 passes", "txtRoomHeight=1.8;txtEarHeight=1.5", "");
        row("room 2.3, ear 2.0 fails", "txtRoomHeight=2.3;txtEarHeight=2.0", heights);
        row("heights before angles", "txtEarHeight=3.9;txtAngle1=0", heights);
        row("1 kHz angle 0", "txtAngle1=0", "Opening Angle" + positive);
        row("4 kHz angle empty", "txtAngle4=", "4 kHz Opening Angle" + positive);
        row("difference level 0", "txtLevelDif4=0", "Difference Level" + positive);
        row("difference level 12.1", "txtLevelDif4=12.1", tooHigh);
        row("difference level before sensitivity", "txtLevelDif4=13;txtSensitivity=-1", tooHigh);
        row("sensitivity negative", "txtSensitivity=-3", "Sensitivity" + positive);
        row("rated power 0,0", "txtMaxPower=0,0", "Rated Power" + positive);
        row("bounds pass: ear 0, level 12, sensitivity 0, angle 270, length 10000",
            "txtEarHeight=0;txtLevelDif4=12;txtSensitivity=0;txtAngle4=270;txtRoomLength=10000",
            "");
        row("room width too large to read", "txtRoomWidth=" + tooLarge,
            "Room Width is too large !");
        row("earlier failure before a number too large",
            "txtRoomLength=0;txtSensitivity=" + tooLarge, "Room Length" + positive);
    }
    void checks() {
        QFETCH(QString, changes);
        QFETCH(QString, message);

        Harness h;
        FrmKvx& w = *h.w;
        const QString passing =
            "txtRoomLength=20;txtRoomWidth=10;txtRoomHeight=4;txtEarHeight=1.5;"
            "txtAngle1=90;txtAngle4=60;txtLevelDif4=6;txtSensitivity=90;txtMaxPower=6";
        for (const QString& item : (passing + u';' + changes).split(u';', Qt::SkipEmptyParts))
            w.control(item.section(u'=', 0, 0))->setText(item.section(u'=', 1));
        h.platform.clear(); // a level set with an angle there runs a calculation

        QCOMPARE(w.CheckInputs(), message.isEmpty());
        // Style 48 and the title are checked with the calculation run.
        QVERIFY(h.platform.messages.size() < 2);
        QCOMPARE(h.platform.messages.value(0).text, message);
        // The focus stays where it was.
        QVERIFY(h.platform.focusMoves.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestInputChecks)
#include "test_input_checks.moc"
