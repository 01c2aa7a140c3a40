#pragma once

// Binding a control model to a widget. The widget shows the model's state and
// is refreshed whenever the model changes, with the widget's signals blocked
// so that a change made by the program never comes back as a user action.
// Only the user's own actions reach the model, each through the dispatcher:
//   QLineEdit::textEdited            -> userSetText
//   QComboBox::activated             -> userPick (a pick from the list)
//   typing into an editable combo    -> userSetText (fires no handler of its own)
//   a button or menu command         -> userClick
//   a slider moved                   -> userSetValue
//   focus by Tab, mouse, shortcut or the program
//                                    -> userFocus
//   a mouse click into a text box    -> userClick, after the focus event
// The focus that comes back when a message box or a dialog closes
// (ActiveWindowFocusReason, PopupFocusReason) is not the user entering a
// field and is not forwarded.

#include "core/ui/control.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QAbstractButton;
class QAbstractSlider;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QWidget;

namespace kvx::app {

class Dispatcher;

// How a label shows its caption.
enum class LabelText {
    // An '&' marks the access key that moves the focus to the label's buddy
    // ("&&" shows one '&'); without a buddy the marks are dropped.
    AccessKey,
    // A result or a name: shown exactly as it stands.
    AsIs,
};

// The caption with the access-key marks removed ("&&" becomes "&").
QString withoutAccessKeys(const QString& caption);
// A window title as Qt shows it literally ("[*]" is Qt's modified marker).
QString literalWindowTitle(const QString& title);

class Binder : public QObject {
    Q_OBJECT
public:
    explicit Binder(Dispatcher& dispatcher, QObject* parent = nullptr);

    // The caption becomes the window title.
    void bindWindow(Control& control, QWidget* window);
    void bind(Control& control, QLineEdit* edit);
    void bind(Control& control, QComboBox* combo);
    void bind(Control& control, QLabel* label, LabelText mode);
    void bind(Control& control, QAbstractSlider* slider);
    void bind(Control& control, QAbstractButton* button);
    void bind(Control& control, QGroupBox* box);
    void bind(Control& control, QAction* action);
    void bind(Control& control, QMenu* menu);

    // The widget bound to control, for moving the focus; nullptr when none.
    QWidget* widget(const Control& control) const;

    Dispatcher& dispatcher() const { return m_dispatcher; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Watch { WatchFocus = 1, WatchClick = 2 };
    struct Watched {
        QPointer<Control> control;
        int what = 0;
    };

    void watch(QWidget* widget, Control& control, int what);
    void forward(const QPointer<Control>& control, void (Control::*action)());

    Dispatcher& m_dispatcher;
    QHash<const Control*, QPointer<QWidget>> m_widgets;
    QHash<QObject*, Watched> m_watched;
};

} // namespace kvx::app
