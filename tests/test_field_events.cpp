// The control model's events, and the change, focus and click events of the
// numeric fields and their character filter: what they do to Calculate, the
// reports, the results and Modified.
#include "core/ui/main_window.h"
#include "support/harness.h"

#include <QTest>

using namespace kvx;
using kvx::test::Harness;

// Calculate and the three report commands (+ on), the four results, the power,
// unsaved changes, and the controls the focus went back to after a refusal.
static QString state(const Harness& h) {
    const FrmKvx& w = *h.w;
    QString s;
    for (const Control* c : {&w.cmdCalc, &w.mnuPrintFile, &w.mnuReport, &w.mnuExportPdf})
        s += c->isEnabled() ? u'+' : u'-';
    for (const Control* c :
         {&w.lblDistance, &w.lblNrofSpeakers, &w.lblLevelDif1, &w.lblLevel, &w.lblPower})
        s += u' ' + c->text();
    return s + (h.kvx.Modified ? " modified" : "") +
           (h.platform.messages.isEmpty() ? "" : " refused " + h.platform.focusMoves.join(u','));
}

class TestFieldEvents : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The control model fires its events as the window's controls do.
    void controlEvents() {
        Control box(ControlKind::TextBox, QStringLiteral("txt"));
        Control list(ControlKind::ComboBox, QStringLiteral("lst"));
        Control slider(ControlKind::HScrollBar, QStringLiteral("DiffSet"));
        QStringList log;
        box.onChange = [&] { log << "change " + box.text(); };
        list.onClick = [&] { log << "click " + list.text(); };
        slider.onChange = [&] { log << "slide " + QString::number(slider.value()); };
        list.addItem(QStringLiteral("1/1 P"));
        list.addItem(QStringLiteral("1/2 P"));
        slider.setRange(0, 120);

        box.setText(QStringLiteral("12"));
        box.setText(QStringLiteral("12")); // no change, no event
        box.userSetText(QStringLiteral("12,5"));
        list.userPick(1); // the text is set before the click
        list.userPick(5); // outside the list: nothing
        slider.userSetValue(60);
        slider.userSetValue(500); // clamped to 120
        slider.userSetValue(120);
        QCOMPARE(log,
                 QStringList({"change 12", "change 12,5", "click 1/2 P", "slide 60", "slide 120"}));
    }
    void events_data() {
        // A field holding " 12,5" (or 4 W), "20" remembered at the focus.
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("action"); // "focus", "click", or a text typed
        QTest::addColumn<bool>("modifiedBefore");
        QTest::addColumn<QString>("expected");
        const auto row = [](const QString& name, const QString& field, const QString& action,
                            const QString& expected, bool modifiedBefore = false) {
            QTest::newRow(qPrintable(name)) << field << action << modifiedBefore << expected;
        };
        // Only a room field's change makes Calculate available and withdraws the
        // reports, even when the filter refuses the text.
        row("room length typed", "txtRoomLength", "7", "+--- 1 1 1 1 4 modified");
        row("room height, letter refused", "txtRoomHeight", "4x",
            "+--- 1 1 1 1 4 refused txtRoomHeight");
        row("1 kHz angle typed", "txtAngle1", "7", "-+++ 1 1 1 1 4 modified");
        row("4 kHz angle, letter refused", "txtAngle4", "7x", "-+++ 1 1 1 1 4 refused txtAngle4");
        // The power follows the rated power at once, without a calculation.
        row("rated power in comma notation", "txtMaxPower", "7,5", "-+++ 1 1 1 1 7.5 modified");
        row("rated power beyond a double keeps the power shown", "txtMaxPower",
            QStringLiteral("1") + QString(306, u'0'), "-+++ 1 1 1 1 4 modified");
        // Only the room length enables Calculate on the focus.
        row("room length focus", "txtRoomLength", "focus", "++++ 1 1 1 1 4");
        row("room width focus", "txtRoomWidth", "focus", "-+++ 1 1 1 1 4");
        // A click clears the results, not the power; length and width enable Calculate.
        row("room length click", "txtRoomLength", "click", "++++     4");
        row("room width click", "txtRoomWidth", "click", "++++     4");
        row("room height click", "txtRoomHeight", "click", "-+++     4");
        row("ear height click", "txtEarHeight", "click", "-+++     4");
        // The filter: a sign only first, one dot or comma, digits; outer spaces ignored.
        for (const char* text : {"12.5", "12,5", "-3", "+0,75", ".5", "", "  -5  ", "-"})
            row(QStringLiteral("accepts '%1'").arg(text), "txtRoomWidth", text,
                "+--- 1 1 1 1 4 modified");
        for (const char* text : {"1.2.3", "1,2.3", "1-2", "1 2", "1e3", "12a", "+-1", "1\t2"})
            row(QStringLiteral("refuses '%1'").arg(text).replace(u'\t', "\\t"), "txtRoomWidth",
                text, "+--- 1 1 1 1 4 refused txtRoomWidth");
        // Modified is raised by a text unlike the remembered one, never cleared.
        row("remembered text", "txtRoomWidth", "20", "+--- 1 1 1 1 4");
        row("remembered text with outer spaces", "txtRoomWidth", " 20 ", "+--- 1 1 1 1 4");
        row("remembered text keeps another change", "txtRoomWidth", "20", "+--- 1 1 1 1 4 modified",
            true);
        row("refused text keeps another change", "txtRoomWidth", "12a",
            "+--- 1 1 1 1 4 modified refused txtRoomWidth", true);
    }
    void events() {
        QFETCH(QString, field);
        QFETCH(QString, action);
        QFETCH(bool, modifiedBefore);

        // The state after a calculation: results shown, Calculate off, reports on.
        Harness h;
        FrmKvx& w = *h.w;
        Control& box = *w.control(field);
        box.setText(QStringLiteral(" 12,5"));
        w.lstLspTap.setText(QStringLiteral("1/1 P"));
        w.lstAmpTap.setText(QStringLiteral("100 V"));
        w.txtMaxPower.setText(QStringLiteral("4"));
        for (Control* result : {&w.lblDistance, &w.lblNrofSpeakers, &w.lblLevelDif1, &w.lblLevel})
            result->setText(QStringLiteral("1"));
        w.cmdCalc.setEnabled(false);
        for (Control* report : {&w.mnuPrintFile, &w.mnuReport, &w.mnuExportPdf})
            report->setEnabled(true);
        h.kvx.FocusText = QStringLiteral("20");
        h.kvx.Modified = modifiedBefore;
        h.platform.clear();
        if (action == u"focus")
            box.userFocus();
        else if (action == u"click")
            box.userClick();
        else
            box.userSetText(action);

        QTEST(state(h), "expected");
        QCOMPARE(h.kvx.FocusText,
                 action == u"focus" ? QStringLiteral(" 12,5") : QStringLiteral("20"));
        QCOMPARE(box.text(),
                 action == u"focus" || action == u"click" ? QStringLiteral(" 12,5") : action);
        // The refusal: OK only, no title of its own (the platform shows the program's).
        for (const auto& m : h.platform.messages)
            QCOMPARE(
                m.title + QString::number(m.style) + u' ' + m.text,
                "0 Invalid Character. Use: \n +/-, 0...9, one decimal separator (dot or comma).");
    }
};

QTEST_GUILESS_MAIN(TestFieldEvents)
#include "test_field_events.moc"
