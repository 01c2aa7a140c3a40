// The binding layer forwards only the user's own actions to the models and
// shows every change the models make without sending it back.
#include "app/binding.h"
#include "app/dispatcher.h"
#include "core/kvx_error.h"
#include "support/fake_platform.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>

using namespace kvx;
using namespace kvx::app;

class TestBinding : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void typingReachesTheModelOnce();
    void programTextIsShownWithoutEvents();
    void pickForwardsTheListPosition();
    void programListChangeFiresNoPick();
    void typingIntoAComboFiresNoPick();
    void focusReasons_data();
    void focusReasons();
    void clickIntoTextBoxFollowsItsFocus();
    void focusMovedByAHandlerLeavesCleanly();
    void sliderKeysMoveTheModel();
    void programSliderValueFiresOnce();
    void captions_data();
    void captions();
    void colours();
    void errorsBecomeMessages();
    void programEndStopsEveryLaterAction();

private:
    QWidget* window() { return m_window.get(); }
    void showActive();

    std::unique_ptr<test::FakePlatform> m_platform;
    std::unique_ptr<Dispatcher> m_dispatcher;
    std::unique_ptr<QWidget> m_window;
    Binder* m_binder = nullptr;
};

void TestBinding::init() {
    m_platform = std::make_unique<test::FakePlatform>();
    m_dispatcher = std::make_unique<Dispatcher>(*m_platform);
    m_window = std::make_unique<QWidget>();
    m_window->setLayout(new QVBoxLayout);
    m_binder = new Binder(*m_dispatcher, m_window.get());
}

void TestBinding::cleanup() {
    m_window.reset();
    m_dispatcher.reset();
    m_platform.reset();
}

void TestBinding::showActive() {
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestBinding::typingReachesTheModelOnce() {
    Control field(ControlKind::TextBox, QStringLiteral("txtRoomWidth"));
    QStringList changes;
    field.onChange = [&] { changes << field.text(); };
    auto* edit = new QLineEdit(window());
    m_binder->bind(field, edit);
    showActive();
    edit->setFocus();

    QTest::keyClicks(edit, QStringLiteral("12"));
    QCOMPARE(changes, (QStringList{"1", "12"}));
    QCOMPARE(field.text(), QStringLiteral("12"));
}

void TestBinding::programTextIsShownWithoutEvents() {
    Control field(ControlKind::TextBox, QStringLiteral("txtRoomWidth"));
    int changes = 0;
    field.onChange = [&] { ++changes; };
    auto* edit = new QLineEdit(window());
    m_binder->bind(field, edit);

    field.setText(QStringLiteral("7.5"));
    QCOMPARE(edit->text(), QStringLiteral("7.5"));
    // Only the model's own change event: the widget sent nothing back.
    QCOMPARE(changes, 1);
}

void TestBinding::pickForwardsTheListPosition() {
    Control list(ControlKind::ComboBox, QStringLiteral("lstAmpTap"));
    for (const char* item : {"100 V", " 70 V", " 50 V"})
        list.addItem(QString::fromLatin1(item));
    list.setText(QStringLiteral("100 V"));
    QStringList picks;
    list.onClick = [&] { picks << list.text(); };
    auto* combo = new QComboBox(window());
    combo->setEditable(true);
    m_binder->bind(list, combo);
    showActive();
    combo->setFocus();

    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(picks, QStringList{" 70 V"});
    QCOMPARE(list.listIndex(), 1);
}

void TestBinding::programListChangeFiresNoPick() {
    Control list(ControlKind::ComboBox, QStringLiteral("lstLsp"));
    int picks = 0;
    list.onClick = [&] { ++picks; };
    auto* combo = new QComboBox(window());
    combo->setEditable(true);
    m_binder->bind(list, combo);

    list.addItem(QStringLiteral("Test A     "));
    list.addItem(QStringLiteral("User type"));
    list.setText(QStringLiteral("User type"));
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->currentIndex(), 1);
    list.clearItems();
    list.setText(QStringLiteral("gone"));
    QCOMPARE(combo->count(), 0);
    QCOMPARE(combo->currentText(), QStringLiteral("gone"));
    QCOMPARE(picks, 0);
}

void TestBinding::typingIntoAComboFiresNoPick() {
    Control list(ControlKind::ComboBox, QStringLiteral("lstLspTap"));
    list.addItem(QStringLiteral("1/1 P"));
    list.setText(QStringLiteral("1/1 P"));
    int picks = 0;
    list.onClick = [&] { ++picks; };
    auto* combo = new QComboBox(window());
    combo->setEditable(true);
    m_binder->bind(list, combo);
    showActive();
    combo->setFocus();

    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, QStringLiteral("1/8 P"));
    QCOMPARE(list.text(), QStringLiteral("1/8 P"));
    QCOMPARE(picks, 0);
    // Nothing typed is added to the list.
    QTest::keyClick(combo, Qt::Key_Return);
    QCOMPARE(combo->count(), 1);
}

void TestBinding::focusReasons_data() {
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("forwarded");
    QTest::newRow("tab key") << int(Qt::TabFocusReason) << true;
    QTest::newRow("backtab key") << int(Qt::BacktabFocusReason) << true;
    QTest::newRow("mouse press") << int(Qt::MouseFocusReason) << true;
    QTest::newRow("access key") << int(Qt::ShortcutFocusReason) << true;
    QTest::newRow("moved by the program") << int(Qt::OtherFocusReason) << true;
    QTest::newRow("window activated after a message box")
        << int(Qt::ActiveWindowFocusReason) << false;
    QTest::newRow("popup closed") << int(Qt::PopupFocusReason) << false;
}

void TestBinding::focusReasons() {
    QFETCH(int, reason);
    QFETCH(bool, forwarded);
    Control first(ControlKind::TextBox, QStringLiteral("txtRoomLength"));
    Control second(ControlKind::TextBox, QStringLiteral("txtRoomWidth"));
    int focused = 0;
    second.onGotFocus = [&] { ++focused; };
    auto* a = new QLineEdit(window());
    auto* b = new QLineEdit(window());
    window()->layout()->addWidget(a);
    window()->layout()->addWidget(b);
    m_binder->bind(first, a);
    m_binder->bind(second, b);
    showActive();
    a->setFocus();

    b->setFocus(Qt::FocusReason(reason));
    QVERIFY(b->hasFocus());
    QCOMPARE(focused, forwarded ? 1 : 0);
}

void TestBinding::clickIntoTextBoxFollowsItsFocus() {
    Control first(ControlKind::TextBox, QStringLiteral("txtRoomLength"));
    Control field(ControlKind::TextBox, QStringLiteral("txtEarHeight"));
    QStringList events;
    field.onGotFocus = [&] { events << QStringLiteral("focus"); };
    field.onClick = [&] { events << QStringLiteral("click"); };
    auto* a = new QLineEdit(window());
    auto* b = new QLineEdit(window());
    window()->layout()->addWidget(a);
    window()->layout()->addWidget(b);
    m_binder->bind(first, a);
    m_binder->bind(field, b);
    showActive();
    a->setFocus();

    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(events, (QStringList{"focus", "click"}));
    // A second click into the field that has the focus is a click alone.
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(events, (QStringList{"focus", "click", "click"}));
}

void TestBinding::focusMovedByAHandlerLeavesCleanly() {
    Control field(ControlKind::TextBox, QStringLiteral("txtAngle4"));
    Control slider(ControlKind::HScrollBar, QStringLiteral("DiffSet"));
    auto* start = new QLineEdit(window());
    auto* edit = new QLineEdit(window());
    auto* bar = new QSlider(Qt::Horizontal, window());
    for (QWidget* w :
         {static_cast<QWidget*>(start), static_cast<QWidget*>(edit), static_cast<QWidget*>(bar)})
        window()->layout()->addWidget(w);
    bar->setFocusPolicy(Qt::StrongFocus);
    m_binder->bind(field, edit);
    m_binder->bind(slider, bar);
    field.onGotFocus = [&] { m_binder->widget(slider)->setFocus(Qt::OtherFocusReason); };
    field.setText(QStringLiteral("60"));
    showActive();
    start->setFocus();

    QTest::keyClick(start, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), bar);
    QVERIFY(!edit->hasFocus());
    QVERIFY(!edit->hasSelectedText());
}

void TestBinding::sliderKeysMoveTheModel() {
    Control slider(ControlKind::HScrollBar, QStringLiteral("DiffSet"));
    slider.setRange(0, 120);
    slider.setSteps(1, 10);
    slider.setValue(60);
    QList<int> values;
    slider.onChange = [&] { values << slider.value(); };
    auto* bar = new QSlider(Qt::Horizontal, window());
    bar->setFocusPolicy(Qt::StrongFocus);
    m_binder->bind(slider, bar);
    showActive();
    bar->setFocus();

    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_PageUp);
    QTest::keyClick(bar, Qt::Key_Home);
    QCOMPARE(values, (QList<int>{61, 71, 0}));
}

void TestBinding::programSliderValueFiresOnce() {
    Control slider(ControlKind::HScrollBar, QStringLiteral("DiffSet"));
    slider.setRange(0, 120);
    int changes = 0;
    slider.onChange = [&] { ++changes; };
    auto* bar = new QSlider(Qt::Horizontal, window());
    m_binder->bind(slider, bar);

    slider.setValue(60);
    QCOMPARE(bar->maximum(), 120);
    QCOMPARE(bar->value(), 60);
    QCOMPARE(changes, 1);
}

void TestBinding::captions_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("shown");
    const int accessKey = int(LabelText::AccessKey);
    const int asIs = int(LabelText::AsIs);
    QTest::newRow("access key dropped without a buddy")
        << "&Room length" << accessKey << "Room length";
    QTest::newRow("doubled ampersand shows one") << "Tom && Jerry" << accessKey << "Tom & Jerry";
    QTest::newRow("trailing ampersand dropped") << "Size&" << accessKey << "Size";
    QTest::newRow("result shown as it stands") << "R&D && Co" << asIs << "R&D && Co";
    QTest::newRow("markup is not interpreted") << "<b>6</b>" << asIs << "<b>6</b>";
}

void TestBinding::captions() {
    QFETCH(QString, caption);
    QFETCH(int, mode);
    QFETCH(QString, shown);
    Control control(ControlKind::Label, QStringLiteral("ExpText(0)"));
    control.setText(caption);
    auto* label = new QLabel(window());
    m_binder->bind(control, label, LabelText(mode));
    QCOMPARE(label->text(), shown);
    QCOMPARE(label->textFormat(), Qt::PlainText);
}

void TestBinding::colours() {
    Control result(ControlKind::Label, QStringLiteral("lblLevel"));
    Control field(ControlKind::TextBox, QStringLiteral("txtAngle1"));
    auto* label = new QLabel(window());
    auto* edit = new QLineEdit(window());
    m_binder->bind(result, label, LabelText::AsIs);
    m_binder->bind(field, edit);
    const QColor usualBase = edit->palette().color(QPalette::Base);

    result.setForeColor(kRed);
    field.setBackColor(kLightYellow);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(edit->palette().color(QPalette::Base), QColor(255, 255, 224));
    field.setBackColor(kWhite);
    QCOMPARE(edit->palette().color(QPalette::Base), usualBase);
}

void TestBinding::errorsBecomeMessages() {
    Control button(ControlKind::CommandButton, QStringLiteral("cmdCalc"));
    bool fail = true;
    button.onClick = [&] {
        if (fail)
            throw KvxError(QStringLiteral("Disk full"));
        throw std::runtime_error("bad_alloc");
    };
    auto* push = new QPushButton(window());
    m_binder->bind(button, push);

    QTest::mouseClick(push, Qt::LeftButton);
    fail = false;
    QTest::mouseClick(push, Qt::LeftButton);
    QCOMPARE(m_platform->messages.size(), 2);
    QCOMPARE(m_platform->messages.at(0).text, QStringLiteral("Disk full"));
    QCOMPARE(m_platform->messages.at(0).style, MsgStyle::Critical);
    QCOMPARE(m_platform->messages.at(1).text, QStringLiteral("bad_alloc"));
    QVERIFY(!m_dispatcher->programEnded());
}

void TestBinding::programEndStopsEveryLaterAction() {
    Control button(ControlKind::CommandButton, QStringLiteral("mnuExit"));
    int runs = 0;
    int ends = 0;
    m_dispatcher->onProgramEnded = [&] { ++ends; };
    button.onClick = [&] {
        ++runs;
        throw ProgramEnded{};
    };
    auto* push = new QPushButton(window());
    m_binder->bind(button, push);

    QTest::mouseClick(push, Qt::LeftButton);
    QTest::mouseClick(push, Qt::LeftButton);
    QVERIFY(m_dispatcher->programEnded());
    QCOMPARE(runs, 1);
    QCOMPARE(ends, 1);
    QVERIFY(m_platform->messages.isEmpty());
}

QTEST_MAIN(TestBinding)
#include "test_binding.moc"
