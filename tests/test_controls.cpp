// The control model fires its events as the window's controls do.
#include "core/ui/control.h"

#include <QSignalSpy>
#include <QTest>

using namespace kvx;

class TestControls : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void changeFiresOnlyOnRealChange();
    void pickSetsTextBeforeClick();
    void sliderClampsAndFires();
};

void TestControls::changeFiresOnlyOnRealChange()
{
    Control box(ControlKind::TextBox, QStringLiteral("txt"));
    int changes = 0;
    box.onChange = [&] { ++changes; };
    QSignalSpy updated(&box, &Control::updated);
    box.setText(QStringLiteral("12"));
    box.setText(QStringLiteral("12"));
    box.userSetText(QStringLiteral("12,5"));
    QCOMPARE(changes, 2);
    QCOMPARE(updated.count(), 2);
}

void TestControls::pickSetsTextBeforeClick()
{
    Control list(ControlKind::ComboBox, QStringLiteral("lst"));
    list.addItem(QStringLiteral("1/1 P"));
    list.addItem(QStringLiteral("1/2 P"));
    QString seen;
    list.onClick = [&] { seen = list.text(); };
    list.userPick(1);
    QCOMPARE(seen, QStringLiteral("1/2 P"));
    QCOMPARE(list.listIndex(), 1);
    list.userPick(5); // out of range: nothing happens
    QCOMPARE(list.listIndex(), 1);
}

void TestControls::sliderClampsAndFires()
{
    Control slider(ControlKind::HScrollBar, QStringLiteral("DiffSet"));
    slider.setRange(0, 120);
    QList<int> values;
    slider.onChange = [&] { values << slider.value(); };
    slider.userSetValue(60);
    slider.userSetValue(500);
    slider.userSetValue(120);
    QCOMPARE(values, (QList<int>{60, 120}));
}

QTEST_GUILESS_MAIN(TestControls)
#include "test_controls.moc"
