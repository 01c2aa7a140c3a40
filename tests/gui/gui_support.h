#pragma once

// The widget tests' answerer of the modal windows that the program opens, so
// that a test meeting an unexpected window fails instead of hanging.

#include <QApplication>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace kvx::test {

// Answers every modal window that comes up while it lives. A message box is
// recorded as "title: text (icon; buttons)" and gets the next scripted
// button, or OK when it has only that; any other dialog goes to onDialog.
// What nobody answers is closed and counted as unexpected.
class ModalAnswerer : public QObject {
public:
    ModalAnswerer() {
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start(10);
    }
    QList<QMessageBox::StandardButton> answers;
    std::function<bool(QDialog*)> onDialog; // true when it handled the dialog
    QStringList messages;
    QStringList unexpected;

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == m_handled)
            return;
        m_handled = modal;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            const QMetaEnum buttons = QMetaEnum::fromType<QMessageBox::StandardButtons>();
            messages << QStringLiteral("%1: %2 (%3; %4)")
                            .arg(box->windowTitle(), box->text(),
                                 QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon()),
                                 QString(buttons.valueToKeys(box->standardButtons()))
                                     .remove(QStringLiteral("|FirstButton")));
            const bool onlyOk = box->standardButtons() == QMessageBox::Ok || answers.isEmpty();
            if (QAbstractButton* button =
                    box->button(onlyOk ? QMessageBox::Ok : answers.takeFirst())) {
                button->click();
                return;
            }
        } else if (dialog && onDialog && onDialog(dialog)) {
            return;
        }
        unexpected << modal->objectName() + QStringLiteral(": ") + modal->windowTitle();
        dialog ? dialog->reject() : void(modal->close());
    }

    QTimer m_timer;
    QPointer<QWidget> m_handled;
};

} // namespace kvx::test
