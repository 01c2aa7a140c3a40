// The main window's calculation driven as a user drives it: fields typed, taps
// picked, the slider moved, Calculate pressed; checked on the texts shown.
#include "core/ui/main_window.h"
#include "support/compare.h"
#include "support/harness.h"

#include <QTest>

using namespace kvx;
using kvx::test::Harness;

namespace {

struct Room {
    QString length = QStringLiteral("20");
    QString width = QStringLiteral("10");
    QString height = QStringLiteral("4");
    QString ear = QStringLiteral("1.5");
    QString angle1 = QStringLiteral("90");
    QString angle4 = QStringLiteral("60");
    QString sensitivity = QStringLiteral("90");
    QString ratedPower = QStringLiteral("6");
    int slider = 60;
};

// The window as after its load, with the room typed in; no run has been made.
void enter(Harness& h, const Room& r) {
    FrmKvx& w = *h.w;
    w.FillSpeakerTapList();
    w.FillAmpTapList();
    w.lstLspTap.setText(QStringLiteral("1/1 P"));
    w.lstAmpTap.setText(QStringLiteral("100 V"));
    w.DiffSet.setValue(r.slider);
    w.txtRoomLength.userSetText(r.length);
    w.txtRoomWidth.userSetText(r.width);
    w.txtRoomHeight.userSetText(r.height);
    w.txtEarHeight.userSetText(r.ear);
    w.txtAngle1.userSetText(r.angle1);
    w.txtAngle4.userSetText(r.angle4);
    w.txtSensitivity.userSetText(r.sensitivity);
    w.txtMaxPower.userSetText(r.ratedPower);
    h.platform.clear();
}

// Distance, difference level at 1 kHz, speakers, direct level, power.
QStringList results(const FrmKvx& w) {
    return {w.lblDistance.text(), w.lblLevelDif1.text(), w.lblNrofSpeakers.text(),
            w.lblLevel.text(), w.lblPower.text()};
}

QStringList split(const char* texts) {
    return QString::fromLatin1(texts).split(u'|');
}

// Every calculation run ends by moving the focus to the slider.
int runs(const Harness& h) {
    return int(h.platform.focusMoves.count(QStringLiteral("DiffSet")));
}

QString digits(int zeros) {
    return QStringLiteral("1") + QString(zeros, u'0');
}

} // namespace

Q_DECLARE_METATYPE(Room)

class TestCalculation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void workedExamples_data();
    void workedExamples();
    void refusedInputKeepsResults();
    void solverFailureShowsFallbackValues();
    void tapPicks_data();
    void tapPicks();
    void singleRunUsesFreshPower_data();
    void singleRunUsesFreshPower();
    void typedTaps_data();
    void typedTaps();
    void zeroPowerKeepsGeneralError();
    void impossibleResults_data();
    void impossibleResults();
    void slider_data();
    void slider();
    void dutchLocale();
};

void TestCalculation::workedExamples_data() {
    QTest::addColumn<Room>("room");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<double>("distance");
    QTest::addColumn<int>("evaluations");

    const QStringList first = split("3.6|2.9|18|92|6");
    QTest::newRow("20 x 10 m, 90/60 degrees, 6 dB") << Room{} << first << 3.6084 << 2;
    Room comma;
    comma.ear = QStringLiteral("1,5");
    comma.height = QStringLiteral("4,0");
    comma.ratedPower = QStringLiteral("6,0");
    QTest::newRow("same room in comma notation") << comma << first << 3.6084 << 2;
    Room dot;
    dot.sensitivity = QStringLiteral("90.5");
    QTest::newRow("sensitivity 90.5") << dot << first << 3.6084 << 2;
    dot.sensitivity = QStringLiteral("90,5");
    QTest::newRow("sensitivity 90,5") << dot << first << 3.6084 << 2;

    Room second{"20", "10", "3", "1.2", "120", "80", "88", "10", 30};
    QTest::newRow("20 x 10 m, 120/80 degrees, 3 dB")
        << second << split("2.4|1.5|32|96|10") << 2.3895 << 16;
    // Just below a right angle in radians: a huge start value, yet a real spacing.
    Room wide;
    wide.angle4 = QStringLiteral("180");
    QTest::newRow("4 kHz angle 180 degrees") << wide << split("8.1|8.5|2|90|6") << 8.0582 << 45;
}

void TestCalculation::workedExamples() {
    QFETCH(Room, room);
    QFETCH(QStringList, shown);
    QFETCH(double, distance);
    QFETCH(int, evaluations);

    Harness h;
    enter(h, room);
    FrmKvx& w = *h.w;
    QVERIFY(w.cmdCalc.isEnabled());
    QVERIFY(!w.mnuReport.isEnabled());
    w.cmdCalc.userClick();

    QCOMPARE(results(w), shown);
    QVERIFY(h.platform.messages.isEmpty());
    QCOMPARE(h.platform.focusMoves, QStringList{"DiffSet"});
    QVERIFY(!w.cmdCalc.isEnabled());
    QVERIFY(w.mnuPrintFile.isEnabled());
    QVERIFY(w.mnuReport.isEnabled());
    QVERIFY(w.lastCalculation);
    KVX_COMPARE_NEAR(w.lastCalculation->distance, distance, 5e-5);
    QCOMPARE(w.lastCalculation->evaluations, evaluations);
}

void TestCalculation::refusedInputKeepsResults() {
    Harness h;
    enter(h, Room{});
    FrmKvx& w = *h.w;
    w.cmdCalc.userClick();
    w.txtRoomWidth.userSetText(QStringLiteral("0"));
    w.txtMaxPower.userSetText(QStringLiteral("8")); // lblPower follows at once
    h.platform.clear();
    w.cmdCalc.userClick();

    QCOMPARE(h.platform.messageTitles(), QStringList{"Input Error"});
    QCOMPARE(results(w), split("3.6|2.9|18|92|8"));
    QVERIFY(!w.lastCalculation);
    QCOMPARE(h.platform.focusMoves, QStringList{"DiffSet"});
    QVERIFY(!w.cmdCalc.isEnabled());
    QVERIFY(w.mnuPrintFile.isEnabled());
    QVERIFY(w.mnuReport.isEnabled());
}

void TestCalculation::solverFailureShowsFallbackValues() {
    Harness h;
    Room r;
    r.slider = 1; // 0.1 dB: the spacing can never be close enough
    enter(h, r);
    h.w->cmdCalc.userClick();

    QCOMPARE(h.platform.messages.size(), 1);
    const auto& m = h.platform.messages.first();
    QCOMPARE(m.title, QStringLiteral("Calculation Error"));
    QCOMPARE(m.style, 48);
    QCOMPARE(m.text,
             QStringLiteral("Maximum number of iterations (100) exceeded\nResults are unreliable"));
    QCOMPARE(results(*h.w).mid(0, 3), split("0.0|1.3|0"));
    QCOMPARE(h.w->lastCalculation->evaluations, 100);
}

void TestCalculation::tapPicks_data() {
    QTest::addColumn<int>("speakerTap");
    QTest::addColumn<int>("ampTap");
    QTest::addColumn<bool>("modifiedBefore");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("expectedRuns");
    QTest::addColumn<bool>("modifiedAfter");

    // A changed pick runs twice, an unchanged one once; neither clears Modified.
    QTest::newRow("1/2 P and 70 V") << 1 << 1 << false << split("3.6|2.9|18|86|1.47") << 4 << true;
    QTest::newRow("1/4 P and 50 V") << 2 << 2 << false << split("3.6|2.9|18|80|0.375") << 4 << true;
    QTest::newRow("same items") << 0 << 0 << false << split("3.6|2.9|18|92|6") << 2 << false;
    QTest::newRow("same items after another edit")
        << 0 << 0 << true << split("3.6|2.9|18|92|6") << 2 << true;
}

void TestCalculation::tapPicks() {
    QFETCH(int, speakerTap);
    QFETCH(int, ampTap);
    QFETCH(bool, modifiedBefore);
    QFETCH(QStringList, shown);
    QFETCH(int, expectedRuns);
    QFETCH(bool, modifiedAfter);

    Harness h;
    enter(h, Room{});
    FrmKvx& w = *h.w;
    w.cmdCalc.userClick();
    h.platform.clear();
    h.kvx.Modified = modifiedBefore;

    w.lstLspTap.userFocus();
    w.lstLspTap.userPick(speakerTap);
    w.lstAmpTap.userFocus();
    w.lstAmpTap.userPick(ampTap);

    QCOMPARE(runs(h), expectedRuns);
    QCOMPARE(h.kvx.Modified, modifiedAfter);
    QCOMPARE(results(w), shown);
    QVERIFY(h.platform.messages.isEmpty());
}

void TestCalculation::singleRunUsesFreshPower_data() {
    QTest::addColumn<QStringList>("taps");
    QTest::addColumn<QString>("shownBefore");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("taps typed, no pick")
        << split("1/2 P| 70 V") << QStringLiteral("6") << split("3.6|2.9|18|86|1.47");
    QTest::newRow("stale power from a project file")
        << split("1/1 P|100 V") << QStringLiteral("1") << split("3.6|2.9|18|92|6");
}

void TestCalculation::singleRunUsesFreshPower() {
    QFETCH(QStringList, taps);
    QFETCH(QString, shownBefore);
    QFETCH(QStringList, shown);

    Harness h;
    enter(h, Room{});
    FrmKvx& w = *h.w;
    w.lstLspTap.userSetText(taps.at(0));
    w.lstAmpTap.userSetText(taps.at(1));
    w.lblPower.setText(shownBefore);
    w.cmdCalc.userClick();

    QCOMPARE(runs(h), 1);
    QCOMPARE(results(w), shown);
}

void TestCalculation::typedTaps_data() {
    QTest::addColumn<QStringList>("taps");
    QTest::addColumn<QString>("message"); // empty when the taps work
    QTest::addColumn<QString>("power");

    const QString badTap = QStringLiteral("Speaker Tap should be 1/n P with n from 1 to 9 !");
    const QString badVolts = QStringLiteral("Amplifier Tap should begin with a voltage above 0 !");
    const QString none;
    QTest::newRow("1/8 P typed") << split("1/8 P|100 V") << none << QStringLiteral("0.75");
    QTest::newRow("70 without unit") << split("1/1 P|70") << none << QStringLiteral("2.94");
    QTest::newRow("divisor 0") << split("1/0 P|100 V") << badTap << QStringLiteral("6");
    QTest::newRow("empty speaker tap") << split("|100 V") << badTap << QStringLiteral("6");
    QTest::newRow("letters as speaker tap") << split("abc|100 V") << badTap << QStringLiteral("6");
    QTest::newRow("letters as voltage") << split("1/1 P|abc") << badVolts << QStringLiteral("6");
    QTest::newRow("empty voltage") << split("1/1 P|") << badVolts << QStringLiteral("6");
    QTest::newRow("zero volts") << split("1/1 P|  0 V") << badVolts << QStringLiteral("6");
    QTest::newRow("digit and letter as voltage")
        << split("1/1 P|7x V") << badVolts << QStringLiteral("6");
}

void TestCalculation::typedTaps() {
    QFETCH(QStringList, taps);
    QFETCH(QString, message);
    QFETCH(QString, power);

    Harness h;
    enter(h, Room{});
    FrmKvx& w = *h.w;
    w.cmdCalc.userClick();
    w.lstLspTap.userSetText(taps.at(0));
    w.lstAmpTap.userSetText(taps.at(1));
    h.platform.clear();
    w.cmdCalc.userClick();

    QCOMPARE(w.lblPower.text(), power);
    QCOMPARE(runs(h), 1);
    QVERIFY(!w.cmdCalc.isEnabled());
    if (message.isEmpty()) {
        QVERIFY(h.platform.messages.isEmpty());
        QCOMPARE(w.lblDistance.text(), QStringLiteral("3.6"));
        return;
    }
    QCOMPARE(h.platform.messages.size(), 1);
    QCOMPARE(h.platform.messages.first().text, message);
    QCOMPARE(h.platform.messages.first().title, QStringLiteral("Input Error"));
    QCOMPARE(h.platform.messages.first().style, 48);
    QCOMPARE(results(w), (QStringList{"", "", "", "", power}));
    QVERIFY(!w.lastCalculation);
}

void TestCalculation::zeroPowerKeepsGeneralError() {
    // The smallest double above zero, quartered by the tap, is no power at all.
    Harness h;
    Room r;
    r.ratedPower = QStringLiteral("0.") + QString(323, u'0') + QStringLiteral("5");
    enter(h, r);
    h.w->lstLspTap.userSetText(QStringLiteral("1/4 P"));
    h.w->cmdCalc.userClick();

    QCOMPARE(h.platform.messageTitles(), QStringList{"General Error"});
    QCOMPARE(h.platform.messages.first().style, 0);
    QCOMPARE(results(*h.w), split("3.6|2.9|18|84|0"));
}

void TestCalculation::impossibleResults_data() {
    QTest::addColumn<Room>("room");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");  // empty: the title is enough
    QTest::addColumn<bool>("resultsKept"); // input refusals keep the last results

    const QString calcError = QStringLiteral("Calculation Error");
    const QString inputError = QStringLiteral("Input Error");
    Room r;
    r.angle4 = QStringLiteral("270");
    QTest::newRow("4 kHz angle 270 degrees: negative spacing")
        << r << calcError
        << QStringLiteral("The calculated distance is not positive !\n"
                          "Please check the 4 kHz Opening Angle")
        << false;
    r.angle4 = QStringLiteral("200");
    QTest::newRow("4 kHz angle 200 degrees") << r << calcError << QString() << false;

    r = Room{};
    r.length = digits(12);
    QTest::newRow("speaker count beyond 32 bits") << r << calcError << QString() << false;

    r = Room{};
    r.sensitivity = digits(400);
    QTest::newRow("sensitivity too large to read")
        << r << inputError << QStringLiteral("Sensitivity is too large !") << true;
    r = Room{};
    r.angle1 = digits(400);
    QTest::newRow("1 kHz angle too large to read")
        << r << inputError << QStringLiteral("Opening Angle is too large !") << true;

    r = Room{};
    r.ratedPower = digits(306);
    QTest::newRow("speaker power beyond a double")
        << r << inputError << QStringLiteral("Speaker Power is too large !") << false;
    r = Room{};
    r.angle4 = digits(308);
    QTest::newRow("4 kHz angle in radians beyond a double")
        << r << calcError
        << QStringLiteral("The calculation gives no finite result !\n"
                          "Please check the input values")
        << false;
}

void TestCalculation::impossibleResults() {
    QFETCH(Room, room);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(bool, resultsKept);

    Harness h;
    enter(h, Room{});
    FrmKvx& w = *h.w;
    w.cmdCalc.userClick();
    w.txtRoomLength.userSetText(room.length);
    w.txtAngle1.userSetText(room.angle1);
    w.txtAngle4.userSetText(room.angle4);
    w.txtSensitivity.userSetText(room.sensitivity);
    w.txtMaxPower.userSetText(room.ratedPower);
    const QStringList before = results(w);
    h.platform.clear();
    w.cmdCalc.userClick();

    QCOMPARE(h.platform.messageTitles(), QStringList{title});
    QCOMPARE(h.platform.messages.first().style, 48);
    if (!message.isEmpty())
        QCOMPARE(h.platform.messages.first().text, message);
    QVERIFY(!w.lastCalculation);
    const QStringList after = results(w);
    for (const QString& shown : after)
        QVERIFY2(!shown.contains(u'-') && !shown.contains(u"inf") && !shown.contains(u"nan"),
                 qPrintable(shown));
    const QStringList expected = resultsKept ? before.mid(0, 4) : split("|||");
    QCOMPARE(after.mid(0, 4), expected);
    QCOMPARE(runs(h), 1);
    QVERIFY(!w.cmdCalc.isEnabled());
    QVERIFY(w.mnuReport.isEnabled());
}

void TestCalculation::slider_data() {
    QTest::addColumn<QString>("angle1");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("expectedRuns");
    QTest::addColumn<QString>("distance"); // empty: refused, or no run

    const auto row = [](const char* name, const char* angle1, int value, const char* caption,
                        int runs, const char* distance) {
        QTest::newRow(name) << QString::fromLatin1(angle1) << value << QString::fromLatin1(caption)
                            << runs << QString::fromLatin1(distance);
    };
    row("left end, refused", "90", 0, "0", 1, "");
    row("default", "90", 60, "6", 1, "3.6");
    row("half a decibel", "90", 65, "6.5", 1, "3.8");
    row("7 dB", "90", 70, "7", 1, "4.1");
    row("right end", "90", 120, "12", 1, "7.8");
    row("no 1 kHz angle", "", 70, "7", 0, "");
    row("1 kHz angle 0", "0", 70, "7", 0, "");
    row("1 kHz angle 0,5 ends at the comma", "0,5", 70, "7", 0, "");
}

void TestCalculation::slider() {
    QFETCH(QString, angle1);
    QFETCH(int, value);
    QFETCH(QString, caption);
    QFETCH(int, expectedRuns);
    QFETCH(QString, distance);

    Harness h;
    Room r;
    r.angle1 = angle1;
    r.slider = 30;
    enter(h, r);
    h.w->DiffSet.userSetValue(value);

    QCOMPARE(h.w->txtLevelDif4.text(), caption);
    QCOMPARE(runs(h), expectedRuns);
    QCOMPARE(h.w->lblDistance.text(), distance);
    if (value == 0) {
        QCOMPARE(h.platform.messages.size(), 1);
        QCOMPARE(h.platform.messages.first().text,
                 QStringLiteral("Difference Level should be positive !"));
    } else {
        QVERIFY(h.platform.messages.isEmpty());
    }
}

void TestCalculation::dutchLocale() {
    Harness h(QLocale(QLocale::Dutch, QLocale::Netherlands));
    enter(h, Room{});
    FrmKvx& w = *h.w;
    w.cmdCalc.userClick();
    QCOMPARE(results(w), split("3,6|2,9|18|92|6"));

    w.lstLspTap.userFocus();
    w.lstLspTap.userPick(1);
    w.lstAmpTap.userFocus();
    w.lstAmpTap.userPick(1);
    QCOMPARE(results(w), split("3,6|2,9|18|86|1,47"));
    KVX_COMPARE_NEAR(w.lastCalculation->speakerPower, 1.47, 1e-12);

    w.DiffSet.userSetValue(65);
    QCOMPARE(w.txtLevelDif4.text(), QStringLiteral("6,5"));
    QCOMPARE(w.lblDistance.text(), QStringLiteral("3,8"));
    QVERIFY(h.platform.messages.isEmpty());
}

QTEST_GUILESS_MAIN(TestCalculation)
#include "test_calculation.moc"
