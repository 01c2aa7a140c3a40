#pragma once

// Helpers for the widget tests: a program folder written by the test, and an
// answerer that closes the message boxes and dialogs the program opens, so a
// test that meets an unexpected window fails instead of hanging.

#include <QApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace kvx::test {

// One loudspeaker type as the data file stores it.
struct LspType {
    QByteArray name; // up to 11 characters
    qint16 angle1 = 0;
    qint16 angle4 = 0;
    float sensitivity = 0;
    float maxPower = 0;
};

// A temporary program folder: Kvx.ini and one small loudspeaker data file.
class ProgramFolder {
public:
    // An empty language: no Kvx.ini, a first start, with the data file under
    // the name the language window records (Basic.lsp).
    explicit ProgramFolder(const QString& language = QStringLiteral("English")) {
        const QString lsp =
            language.isEmpty() ? QStringLiteral("Basic.lsp") : QStringLiteral("Test.lsp");
        writeLsp(lsp, {{"Test A", 90, 60, 89.5f, 6.0f},
                       {"Test B", 120, 90, 90.0f, 10.0f},
                       {"Test C", 100, 80, 88.0f, 20.0f}});
        if (!language.isEmpty()) {
            writeText(QStringLiteral("Kvx.ini"),
                      "[Current lsp file]\r\nFilename=" + lsp.toLatin1() +
                          "\r\n[Configuration]\r\nLanguage=" + language.toLatin1() + "\r\n");
        }
    }

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

    void writeText(const QString& name, const QByteArray& bytes) const {
        QFile out(file(name));
        require(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

    void writeLsp(const QString& name, const QList<LspType>& types) const {
        QFile out(file(name));
        require(out.open(QIODevice::WriteOnly));
        QDataStream stream(&out);
        stream.setByteOrder(QDataStream::LittleEndian);
        stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
        for (const LspType& type : types) {
            const QByteArray padded = type.name.leftJustified(11, ' ', true);
            stream.writeRawData(padded.constData(), 11);
            stream << type.angle1 << type.angle4 << type.sensitivity << type.maxPower;
        }
    }

    QByteArray read(const QString& name) const {
        QFile in(file(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

private:
    static void require(bool ok) {
        if (!ok)
            qFatal("cannot write the test's program folder");
    }

    QTemporaryDir m_dir;
};

// A message box as the answerer found it.
struct SeenMessage {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers every modal window that comes up while it lives. Message boxes get
// the next scripted button (OK when the box has only OK); any other dialog
// goes to onDialog, or is rejected and counted as unexpected. A box with
// more than OK and no scripted answer is cancelled and counted as unexpected.
class ModalAnswerer : public QObject {
public:
    ModalAnswerer() {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

    QList<QMessageBox::StandardButton> answers;
    std::function<bool(QDialog*)> onDialog; // true when it handled the dialog
    QList<SeenMessage> messages;
    QStringList unexpected;

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == m_handled)
            return;
        m_handled = modal;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            answer(box);
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (dialog && onDialog && onDialog(dialog))
            return;
        unexpected << modal->objectName() + QStringLiteral(": ") + modal->windowTitle();
        if (dialog)
            dialog->reject();
        else
            modal->close();
    }

    void answer(QMessageBox* box) {
        messages.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
        QMessageBox::StandardButton button = QMessageBox::NoButton;
        if (box->standardButtons() == QMessageBox::Ok)
            button = QMessageBox::Ok;
        else if (!answers.isEmpty())
            button = answers.takeFirst();
        if (button == QMessageBox::NoButton || !box->button(button)) {
            unexpected << QStringLiteral("unanswered message: ") + box->text();
            button = box->standardButtons().testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
                                                                          : QMessageBox::Ok;
        }
        if (QAbstractButton* pressed = box->button(button))
            pressed->click();
        else
            box->reject();
    }

    QTimer m_timer;
    QPointer<QWidget> m_handled;
};

} // namespace kvx::test
