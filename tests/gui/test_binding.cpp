// The binding layer forwards only the user's own actions to the models, each
// through the dispatcher, and shows every change the models make without
// sending it back.
#include "app/binding.h"
#include "app/dispatcher.h"
#include "core/kvx_error.h"
#include "support/fake_platform.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>

using namespace kvx;
using namespace kvx::app;

class TestBinding : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { m_window.reset(); }
    void userActionsReachTheModelOnce();
    void programChangesAreShownWithoutEvents();

private:
    // A text box, an editable list and a slider in a window; every handler
    // that the models run is logged as "name event text".
    Control m_width{ControlKind::TextBox, QStringLiteral("txtRoomWidth")};
    Control m_tap{ControlKind::ComboBox, QStringLiteral("lstAmpTap")};
    Control m_level{ControlKind::HScrollBar, QStringLiteral("DiffSet")};
    QLineEdit* m_edit = nullptr;
    QComboBox* m_combo = nullptr;
    QSlider* m_slider = nullptr;
    QStringList m_events;
    test::FakePlatform m_platform;
    std::optional<Dispatcher> m_dispatcher;
    std::unique_ptr<QWidget> m_window;
};

void TestBinding::init() {
    for (Control* c : {&m_width, &m_tap, &m_level}) {
        const auto log = [this, c](const char* event) {
            return [=, this] { m_events << c->name() + event + c->text(); };
        };
        c->onChange = log(" change ");
        c->onClick = log(" click ");
        c->onGotFocus = log(" focus ");
    }
    m_level.setRange(0, 120);
    m_level.setSteps(1, 10);
    m_level.setValue(0);
    m_tap.clearItems();
    m_tap.addItem(QStringLiteral("100 V"));
    m_tap.addItem(QStringLiteral(" 70 V"));
    m_tap.setText(QStringLiteral("100 V"));
    m_events.clear();
    m_dispatcher.emplace(m_platform);
    m_window = std::make_unique<QWidget>();
    auto* binder = new Binder(*m_dispatcher, m_window.get());
    auto* layout = new QVBoxLayout(m_window.get());
    for (QWidget* w : std::initializer_list<QWidget*>{m_edit = new QLineEdit,
                      m_combo = new QComboBox, m_slider = new QSlider(Qt::Horizontal)})
        layout->addWidget(w);
    m_combo->setEditable(true);
    m_slider->setFocusPolicy(Qt::StrongFocus);
    binder->bind(m_width, m_edit);
    binder->bind(m_tap, m_combo);
    binder->bind(m_level, m_slider);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QCOMPARE(QApplication::focusWidget(), m_edit);
}

void TestBinding::userActionsReachTheModelOnce() {
    // The focus that comes back after a message box or a popup is no user's.
    m_slider->setFocus(Qt::ActiveWindowFocusReason);
    m_edit->setFocus(Qt::PopupFocusReason);
    QTest::keyClick(m_edit, Qt::Key_Tab);
    QTest::keyClick(m_combo, Qt::Key_Down); // a pick
    m_combo->lineEdit()->selectAll();
    QTest::keyClicks(m_combo, QStringLiteral("5")); // typed: no pick, nothing added
    QTest::keyClick(m_combo, Qt::Key_Return);
    QTest::keyClick(m_combo, Qt::Key_Tab);
    QTest::keyClick(m_slider, Qt::Key_PageUp);
    QTest::mouseClick(m_edit, Qt::LeftButton);
    QTest::keyClicks(m_edit, QStringLiteral("12"));
    QTest::mouseClick(m_edit, Qt::LeftButton); // into the focused field: a click alone
    QCOMPARE(m_events, (QStringList{"lstAmpTap focus 100 V", "lstAmpTap change  70 V",
                                    "lstAmpTap click  70 V", "lstAmpTap change 5", "DiffSet focus ",
                                    "DiffSet change ", "txtRoomWidth focus ", "txtRoomWidth click ",
                                    "txtRoomWidth change 1", "txtRoomWidth change 12",
                                    "txtRoomWidth click 12"}));
    QCOMPARE((QList<int>{m_combo->count(), m_level.value()}), (QList<int>{2, 10}));

    // What a handler throws becomes a message box; the end of the program
    // stops every later action.
    QStringList thrown{"Disk full", "bad_alloc", "end", "never"};
    m_level.onChange = [&] {
        const QString what = thrown.takeFirst();
        if (what == QLatin1String("end"))
            throw ProgramEnded{};
        if (what == QLatin1String("bad_alloc"))
            throw std::bad_alloc();
        throw KvxError(what);
    };
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(m_slider, Qt::Key_Right);
    QStringList shown;
    for (const test::RecordedMessage& message : std::as_const(m_platform.messages))
        shown << message.text + u' ' + QString::number(message.style);
    QCOMPARE(shown, (QStringList{"Disk full 16", "std::bad_alloc 16"}));
    QCOMPARE(thrown, QStringList{"never"});
    QVERIFY(m_dispatcher->programEnded());
}

void TestBinding::programChangesAreShownWithoutEvents() {
    Control caption(ControlKind::Label, QStringLiteral("ExpText(0)"));
    Control result(ControlKind::Label, QStringLiteral("lblLevel"));
    auto* captionLabel = new QLabel(m_window.get());
    auto* resultLabel = new QLabel(m_window.get());
    Binder binder(*m_dispatcher);
    binder.bind(caption, captionLabel, LabelText::AccessKey);
    binder.bind(result, resultLabel, LabelText::AsIs);
    caption.setText(QStringLiteral("&Tom && Jerry&"));
    result.setText(QStringLiteral("R&D && <b>Co</b>"));
    m_width.setText(QStringLiteral("7.5"));
    m_tap.clearItems();
    m_tap.addItem(QStringLiteral("User type"));
    m_tap.setText(QStringLiteral("User type"));
    m_level.setValue(60);

    QCOMPARE((QStringList{captionLabel->text(), resultLabel->text(), m_edit->text(),
                          m_combo->currentText(), QString::number(m_combo->count()),
                          QString::number(m_slider->value())}),
             (QStringList{"Tom & Jerry", "R&D && <b>Co</b>", "7.5", "User type", "1", "60"}));
    QCOMPARE(resultLabel->textFormat(), Qt::PlainText);
    // Only the models' own change events: the widgets sent nothing back.
    QCOMPARE(m_events, (QStringList{"txtRoomWidth change 7.5", "lstAmpTap change User type",
                                    "DiffSet change "}));
}

QTEST_MAIN(TestBinding)
#include "test_binding.moc"
