// The control model fires its events as the window's controls do.
#include "core/ui/control.h"

#include <QTest>

using namespace kvx;

class TestControls : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void events() {
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
};

QTEST_GUILESS_MAIN(TestControls)
#include "test_controls.moc"
