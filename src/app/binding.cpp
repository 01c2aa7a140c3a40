#include "app/binding.h"

#include "app/dispatcher.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace kvx::app {

namespace {

QColor toQColor(Rgb colour) {
    return QColor(int((colour >> 16) & 0xff), int((colour >> 8) & 0xff), int(colour & 0xff));
}

// Sets one palette role; the model's usual colour leaves the style's own.
void applyColour(QWidget* widget, QPalette::ColorRole role, Rgb colour, Rgb usual) {
    const QColor wanted =
        colour == usual ? QApplication::palette(widget).color(role) : toQColor(colour);
    QPalette palette = widget->palette();
    if (palette.color(QPalette::Active, role) == wanted &&
        palette.color(QPalette::Inactive, role) == wanted)
        return;
    palette.setColor(QPalette::Active, role, wanted);
    palette.setColor(QPalette::Inactive, role, wanted);
    widget->setPalette(palette);
}

// Text boxes and combo boxes: text colour and background.
void applyFieldColours(QWidget* widget, const Control& control) {
    applyColour(widget, QPalette::Text, control.foreColor(), kBlack);
    applyColour(widget, QPalette::Base, control.backColor(), kWhite);
}

void applyCommon(QWidget* widget, const Control& control) {
    widget->setEnabled(control.isEnabled());
    if (widget->toolTip() != control.toolTip())
        widget->setToolTip(control.toolTip());
}

bool isUserFocus(Qt::FocusReason reason) {
    switch (reason) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::MouseFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        return true;
    default:
        return false;
    }
}

} // namespace

QString withoutAccessKeys(const QString& caption) {
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&') {
            if (i + 1 < caption.size() && caption.at(i + 1) == u'&')
                ++i;
            else
                continue;
        }
        shown.append(caption.at(i));
    }
    return shown;
}

QString literalWindowTitle(const QString& title) {
    QString shown = title;
    shown.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return shown;
}

Binder::Binder(Dispatcher& dispatcher, QObject* parent)
    : QObject(parent)
    , m_dispatcher(dispatcher) {}

QWidget* Binder::widget(const Control& control) const {
    return m_widgets.value(&control);
}

void Binder::forward(const QPointer<Control>& control, void (Control::*action)()) {
    if (control)
        m_dispatcher.run([&] { (control.data()->*action)(); });
}

void Binder::watch(QWidget* widget, Control& control, int what) {
    m_widgets.insert(&control, widget);
    m_watched.insert(widget, Watched{&control, what});
    widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this, [this, widget] { m_watched.remove(widget); });
}

void Binder::bindWindow(Control& control, QWidget* window) {
    QPointer<Control> c(&control);
    const auto refresh = [c, window] {
        if (c)
            window->setWindowTitle(literalWindowTitle(c->text()));
    };
    connect(&control, &Control::updated, window, refresh);
    refresh();
}

void Binder::bind(Control& control, QLineEdit* edit) {
    QPointer<Control> c(&control);
    const auto refresh = [c, edit] {
        if (!c)
            return;
        const QSignalBlocker block(edit);
        if (edit->text() != c->text())
            edit->setText(c->text());
        applyCommon(edit, *c);
        applyFieldColours(edit, *c);
    };
    connect(&control, &Control::updated, edit, refresh);
    refresh();
    connect(edit, &QLineEdit::textEdited, this, [this, c](const QString& text) {
        if (c)
            m_dispatcher.run([&] { c->userSetText(text); });
    });
    watch(edit, control, WatchFocus | WatchClick);
}

void Binder::bind(Control& control, QComboBox* combo) {
    QPointer<Control> c(&control);
    if (combo->isEditable()) {
        // Typed text stays as typed: no completion, nothing added to the list.
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
    }
    const auto refresh = [c, combo] {
        if (!c)
            return;
        const QSignalBlocker block(combo);
        const QSignalBlocker blockEdit(combo->lineEdit());
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown.append(combo->itemText(i));
        if (shown != c->items()) {
            combo->clear();
            combo->addItems(c->items());
        }
        int index = c->listIndex();
        if (index < 0 || index >= combo->count() || combo->itemText(index) != c->text())
            index = combo->findText(c->text(), Qt::MatchExactly);
        if (combo->currentIndex() != index)
            combo->setCurrentIndex(index);
        if (combo->isEditable()) {
            if (combo->currentText() != c->text())
                combo->setEditText(c->text());
        } else {
            // A text that is not in the list (a type the catalogue lacks,
            // from a project file) is still shown.
            const QString placeholder = index < 0 ? c->text() : QString();
            if (combo->placeholderText() != placeholder)
                combo->setPlaceholderText(placeholder);
        }
        applyCommon(combo, *c);
        applyFieldColours(combo, *c);
    };
    connect(&control, &Control::updated, combo, refresh);
    refresh();
    connect(combo, &QComboBox::activated, this, [this, c](int index) {
        if (c)
            m_dispatcher.run([&] { c->userPick(index); });
    });
    if (QLineEdit* edit = combo->lineEdit()) {
        connect(edit, &QLineEdit::textEdited, this, [this, c](const QString& text) {
            if (c)
                m_dispatcher.run([&] { c->userSetText(text); });
        });
    }
    watch(combo, control, WatchFocus);
}

void Binder::bind(Control& control, QLabel* label, LabelText mode) {
    QPointer<Control> c(&control);
    label->setTextFormat(Qt::PlainText);
    const auto refresh = [c, label, mode] {
        if (!c)
            return;
        QString shown = c->text();
        if (mode == LabelText::AccessKey && !label->buddy())
            shown = withoutAccessKeys(shown);
        if (label->text() != shown)
            label->setText(shown);
        applyCommon(label, *c);
        applyColour(label, QPalette::WindowText, c->foreColor(), kBlack);
    };
    connect(&control, &Control::updated, label, refresh);
    refresh();
    m_widgets.insert(&control, label);
}

void Binder::bind(Control& control, QAbstractSlider* slider) {
    QPointer<Control> c(&control);
    // The value is taken when the user lets go of the thumb, as a scroll
    // bar reports it; arrows, page steps and keys report at once.
    slider->setTracking(false);
    const auto refresh = [c, slider] {
        if (!c)
            return;
        const QSignalBlocker block(slider);
        slider->setRange(c->minimum(), c->maximum());
        slider->setSingleStep(c->smallChange());
        slider->setPageStep(c->largeChange());
        slider->setValue(c->value());
        applyCommon(slider, *c);
    };
    connect(&control, &Control::updated, slider, refresh);
    refresh();
    connect(slider, &QAbstractSlider::valueChanged, this, [this, c](int value) {
        if (c)
            m_dispatcher.run([&] { c->userSetValue(value); });
    });
    watch(slider, control, WatchFocus);
}

void Binder::bind(Control& control, QAbstractButton* button) {
    QPointer<Control> c(&control);
    const auto refresh = [c, button] {
        if (!c)
            return;
        const QSignalBlocker block(button);
        if (button->text() != c->text())
            button->setText(c->text());
        if (button->isCheckable() && button->isChecked() != c->isChecked())
            button->setChecked(c->isChecked());
        applyCommon(button, *c);
    };
    connect(&control, &Control::updated, button, refresh);
    refresh();
    connect(button, &QAbstractButton::clicked, this,
            [this, c] { forward(c, &Control::userClick); });
    watch(button, control, WatchFocus);
}

void Binder::bind(Control& control, QGroupBox* box) {
    QPointer<Control> c(&control);
    const auto refresh = [c, box] {
        if (!c)
            return;
        if (box->title() != c->text())
            box->setTitle(c->text());
        applyCommon(box, *c);
    };
    connect(&control, &Control::updated, box, refresh);
    refresh();
    m_widgets.insert(&control, box);
}

void Binder::bind(Control& control, QAction* action) {
    QPointer<Control> c(&control);
    const auto refresh = [c, action] {
        if (!c)
            return;
        const QSignalBlocker block(action);
        if (action->text() != c->text())
            action->setText(c->text());
        action->setEnabled(c->isEnabled());
        action->setToolTip(c->toolTip());
        // A checkable entry (a choice of the units) shows the model's check.
        if (action->isCheckable())
            action->setChecked(c->isChecked());
    };
    connect(&control, &Control::updated, action, refresh);
    refresh();
    connect(action, &QAction::triggered, this, [this, c] { forward(c, &Control::userClick); });
}

void Binder::bind(Control& control, QMenu* menu) {
    QPointer<Control> c(&control);
    const auto refresh = [c, menu] {
        if (!c)
            return;
        if (menu->title() != c->text())
            menu->setTitle(c->text());
        menu->setEnabled(c->isEnabled());
    };
    connect(&control, &Control::updated, menu, refresh);
    refresh();
}

bool Binder::eventFilter(QObject* watched, QEvent* event) {
    const auto found = m_watched.constFind(watched);
    if (found == m_watched.cend() || !found->control)
        return QObject::eventFilter(watched, event);
    const Watched target = *found;

    if (event->type() == QEvent::FocusIn && (target.what & WatchFocus)) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (!isUserFocus(reason))
            return false;
        // The widget takes the focus first, so that a handler which moves the
        // focus on (to the slider, say) finds a widget that has finished
        // entering and leaves it cleanly.
        watched->event(event);
        forward(target.control, &Control::userFocus);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && (target.what & WatchClick)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            widget->rect().contains(mouse->position().toPoint()))
            forward(target.control, &Control::userClick);
    }
    return false;
}

} // namespace kvx::app
