// Feet and inches in the main window: what the room fields take and refuse
// through the filter and the calculation's checks, what a project file keeps
// (always metres), what reopening shows in either unit, a change of the units
// on an open project, and the plan's dimensions in feet and inches.
#include "core/base/kvx_error.h"
#include "core/plan/plan_geometry.h"
#include "core/project/project_settings.h"
#include "core/report/report_content.h"
#include "core/ui/main_window/report_commands.h"
#include "core/ui/system_panel.h"
#include "support/files.h"
#include "support/plan.h"

#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

// A text typed into the room length as a user types it, then Calculate's checks:
// "refused by the filter", the input error, or the metres the field stands for.
QString outcome(ProjectWindow& h, const QString& typed) {
    h.w->txtRoomLength.userFocus();
    h.w->txtRoomLength.userSetText(typed);
    if (!h.platform.messages.isEmpty())
        return QStringLiteral("filter: ") + h.platform.messages.constLast().text;
    if (!h.w->CheckInputs())
        return h.platform.messages.constLast().title + QStringLiteral(": ") +
               h.platform.messages.constLast().text;
    return h.w->storedLength(h.w->txtRoomLength).value_or(QStringLiteral("?"));
}

// The room line of a project file: length, width, height and ear height.
QByteArray roomLine(const QByteArray& file) {
    const QList<QByteArray> lines = file.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].trimmed() == "[Room Data]")
            return lines[i + 1].trimmed();
    }
    return {};
}

QStringList roomTexts(const ProjectWindow& h) {
    return {h.w->txtRoomLength.text(), h.w->txtRoomWidth.text(), h.w->txtRoomHeight.text(),
            h.w->txtEarHeight.text()};
}

} // namespace

class TestUnitsWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void inputForms_data() {
        QTest::addColumn<int>("units");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        const QString notFeet =
            QStringLiteral("Input Error: Room length: \"%1\" is not a length in feet (such as "
                           "9.5, 9'6\", 9 ft 6 in or 114\").");
        const QString feetFilter = QStringLiteral(
            "filter: Invalid character. Use +/-, 0...9, one decimal separator (dot or comma), ' "
            "or ft for feet, \" or in for inches.");
        const auto imperial = [](const char* name, const QString& typed, const QString& expected) {
            QTest::newRow(name) << int(Units::Imperial) << typed << expected;
        };
        // The forms of one length, 9 ft 6 in or 2.8956 m, through the filter and the
        // checks (every form is read in test_units).
        imperial("decimal feet", "9.5", "2.8956");
        imperial("feet and inches", "9'6\"", "2.8956");
        imperial("feet and inches in words", "9 ft 6 in", "2.8956");
        imperial("inches alone", "114\"", "2.8956");
        imperial("half an inch", "9' 6.5\"", "2.9083");
        imperial("empty is refused as every empty length", "",
                 "Input Error: Room Length should be positive !");
        // Texts the filter lets through but that are no length: named, never 0.
        imperial("twelve inches or more after feet", "9'12\"", notFeet.arg("9'12\""));
        imperial("a mark alone", "'", notFeet.arg("'"));
        imperial("three parts", "1' 2\" 3", notFeet.arg("1' 2\" 3"));
        // The filter refuses what no form holds.
        imperial("a letter of no mark", "9x", feetFilter);
        // In metres the marks are wrong characters, as before.
        const QString metricFilter =
            QStringLiteral("filter: Invalid Character. Use: \n +/-, 0...9, one decimal "
                           "separator (dot or comma).");
        for (const char* typed : {"9'6\"", "9 ft"})
            QTest::addRow("metric refuses %s", typed)
                << int(Units::Metric) << typed << metricFilter;
        QTest::newRow("metric takes metres") << int(Units::Metric) << "9,5" << QString("9,5");
    }
    void inputForms() {
        QFETCH(int, units);
        QFETCH(QString, typed);
        ProjectWindow h;
        for (const auto& [field, text] : {std::pair{&h.w->txtAngle1, "90"},
                                          {&h.w->txtAngle4, "60"},
                                          {&h.w->txtSensitivity, "90"},
                                          {&h.w->txtMaxPower, "6"}})
            field->setText(text);
        h.w->setUnits(Units(units));
        h.platform.clear();
        QTEST(outcome(h, typed), "expected");
    }

    // A room typed in feet is saved in metres; a metric user opens the same
    // room, and a user in feet sees the feet again to 0.01 ft. A room shown
    // in feet and saved unchanged keeps its metres to the last digit.
    void fileRoundTrip_data() {
        QTest::addColumn<QStringList>("typed"); // in feet
        QTest::addColumn<QByteArray>("stored"); // what a metric user opens
        QTest::addColumn<QStringList>("imperial");
        QTest::newRow("every form") << QStringList{"32'9\"", "20,5", "9 ft 6 in", "48\""}
                                    << QByteArray("\"9.9822\",\"6.2484\",\"2.8956\",\"1.2192\"")
                                    << QStringList{"32.75", "20.5", "9.5", "4"};
        QTest::newRow("to 0.1 mm and 0.01 ft")
            << QStringList{"65.62", "10' 0.5\"", "9.999", "0"}
            << QByteArray("\"20.001\",\"3.0607\",\"3.0477\",\"0\"")
            << QStringList{"65.62", "10.04", "10", "0"};
    }
    void fileRoundTrip() {
        QFETCH(QStringList, typed);
        QFETCH(QByteArray, stored);
        ProjectWindow feet;
        feet.w->setUnits(Units::Imperial);
        const QList<Control*> fields = feet.w->lengthFields();
        for (qsizetype i = 0; i < fields.size(); ++i)
            fields[i]->userSetText(typed[i]);
        feet.w->WriteProjectFile(feet.path("room.kvx"));
        QCOMPARE(roomLine(readBytes(feet.path("room.kvx"))), stored);

        ProjectWindow metres;
        QVERIFY(metres.w->ReadProjectFile(feet.path("room.kvx")));
        QCOMPARE(roomTexts(metres).join(','), QString(stored).remove('"'));

        ProjectWindow again;
        again.w->setUnits(Units::Imperial);
        QVERIFY(again.w->ReadProjectFile(feet.path("room.kvx")));
        QTEST(roomTexts(again), "imperial");
        again.w->WriteProjectFile(again.path("again.kvx"));
        QCOMPARE(readBytes(again.path("again.kvx")), readBytes(feet.path("room.kvx")));
        QCOMPARE(again.platform.messages.size(), 0);
    }

    // Changing the units shows the same room at once; back again, the metres
    // typed come back as typed, and the project is no more modified than it was.
    void unitsChangeOnOpenProject() {
        ProjectWindow h;
        h.w->txtRoomLength.userSetText("20");
        h.kvx.Modified = false;
        int told = 0;
        h.w->observeUnits([&told] { ++told; });
        h.w->setUnits(Units::Imperial);
        QCOMPARE(roomTexts(h), (QStringList{"65.62", "164.04", "13.12", "4.92"}));
        QCOMPARE(h.w->ExpText[ExpUnitRoomLength]->text(), "(ft)");
        QCOMPARE(h.w->mnuImperial.isChecked(), true);
        QCOMPARE(h.w->mnuMetric.isChecked(), false);
        QCOMPARE(h.w->lengthMetres(h.w->txtRoomLength), 20.0);
        h.w->setUnits(Units::Metric);
        QCOMPARE(roomTexts(h), (QStringList{"20", "50", "4", "1.5"}));
        QCOMPARE(h.w->ExpText[ExpUnitRoomLength]->text(), "(m)");
        QCOMPARE(told, 2);
        QVERIFY(!h.kvx.Modified);
        QCOMPARE(h.platform.messages.size(), 0);
    }

    // The System page takes the cable in feet, keeps metres to 0.1 mm and
    // shows them in either unit.
    void cableInFeet() {
        ProjectWindow h;
        h.w->setUnits(Units::Imperial);
        SystemPanel panel(*h.w);
        panel.txtCableLength.userSetText("150' 6\"");
        QCOMPARE(h.w->systemSettings().cableLength.value_or(0), 45.8724);
        h.w->setUnits(Units::Metric);
        QCOMPARE(panel.txtCableLength.text(), "45.8724");
        h.w->setUnits(Units::Imperial);
        QCOMPARE(panel.txtCableLength.text(), "150.5");
        QCOMPARE(h.platform.messages.size(), 0);
    }

    // The menu's choice is kept in Kvx.ini for later starts; a new project in
    // feet starts with the usual American cable. Metres would read a refused
    // "9'12\"" as 9: the units stay until the length is put right, the user is
    // told which field, and a save is refused by name, with no file written.
    void menuChoice() {
        ProjectWindow h;
        h.w->mnuImperial.userClick();
        QCOMPARE(h.kvx.readSetting("Configuration", "Units"), QString("Imperial"));
        h.w->ResetProject();
        QCOMPARE(h.w->systemSettings().crossSection, "14AWG");
        h.platform.clear();
        h.w->txtRoomWidth.userSetText("9'12\"");
        h.w->mnuMetric.userClick();
        QCOMPARE(h.w->units(), Units::Imperial);
        QVERIFY(h.w->mnuImperial.isChecked() && !h.w->mnuMetric.isChecked());
        QCOMPARE(h.w->txtRoomWidth.text(), "9'12\"");
        QCOMPARE(messageLog(h.platform),
                 QStringList{"Input Error (48): Room width: \"9'12\"\" is not a length in feet "
                             "(such as 9.5, 9'6\", 9 ft 6 in or 114\")."});
        QCOMPARE(h.platform.focusMoves, QStringList{"txtRoomWidth"});
        QCOMPARE(h.kvx.readSetting("Configuration", "Units"), QString("Imperial"));
        QVERIFY_THROWS_EXCEPTION(KvxError, h.w->WriteProjectFile(h.path("never.kvx")));
        QVERIFY(!QFile::exists(h.path("never.kvx")));
        h.w->txtRoomWidth.userSetText("9'");
        h.w->mnuMetric.userClick();
        QCOMPARE(h.kvx.readSetting("Configuration", "Units"), QString("Metric"));
    }

    // The one-page report prints decimal feet with "(ft)" when feet are chosen.
    void reportInFeet() {
        ProjectWindow h;
        h.w->setUnits(Units::Imperial);
        h.w->txtRoomLength.userSetText("32'9\"");
        const ReportFields fields = reportFields(*h.w);
        QCOMPARE(fields.roomLength, "32.75");
        QCOMPARE(fields.units, Units::Imperial);
        const ReportContent report = buildReport(fields, h.kvx.localTexts(), 80, QDate(2026, 1, 1));
        QString text;
        for (const ReportStep& step : report.steps)
            for (const ReportItem& item : step.statement)
                text += item.text;
        QVERIFY(text.contains("32.75(ft)"));
        QVERIFY(!text.contains("(m)"));
    }

    // The plan's dimensions in feet and inches to the nearest half inch.
    void planDimensions_data() {
        QTest::addColumn<double>("length");
        QTest::addColumn<double>("width");
        QTest::addColumn<QStringList>("dimensions"); // length, width, spacings, walls
        QTest::newRow("30 ft by 20 ft, 3 by 2")
            << 9.144 << 6.096
            << QStringList{"30' 0\"", "20' 0\"", "10' 0\"", "10' 0\"", "5' 0\"", "5' 0\""};
        QTest::newRow("10 m by 7 m, 3 by 2")
            << 10.0 << 7.0
            << QStringList{"32' 9½\"", "22' 11½\"", "10' 11\"", "11' 6\"", "5' 5½\"", "5' 9\""};
    }
    void planDimensions() {
        QFETCH(double, length);
        QFETCH(double, width);
        QFETCH(QStringList, dimensions);
        const PlanGeometry plan =
            planGeometry(gridLayout(length, width, 3, 2), QLocale::c(), Units::Imperial);
        QStringList texts;
        for (const PlanGeometry::Dimension& d : plan.dimensions)
            texts << d.text;
        QCOMPARE(texts, dimensions);
        QCOMPARE(
            planGeometry(gridLayout(length, width, 3, 2), QLocale::c()).dimensions.front().text,
            QLocale::c().toString(length, 'f', 2) + " m");
    }
};

QTEST_GUILESS_MAIN(TestUnitsWindow)
#include "test_units_window.moc"
