#pragma once

// Helpers for the widget tests: a program folder written by the test, and an
// answerer that closes the modal windows the program opens, so that a test
// meeting an unexpected window fails instead of hanging.

#include "app/application.h"
#include "app/lang_select_view.h"
#include "app/main_window_view.h"
#include "core/catalogue/lsp_record.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace kvx::test {

// Three loudspeaker types and a Kvx.ini naming them and the language; with no
// language, the folder of a first start: Basic.lsp and no Kvx.ini.
struct ProgramFolder {
    explicit ProgramFolder(const QString& language = QStringLiteral("English")) {
        const QString lsp = language.isEmpty() ? "Basic.lsp" : "Test.lsp";
        if (!writeLspFile(dir.filePath(lsp), {{"Test A     ", 90, 60, 89.5f, 6.0f},
                                              {"Test B     ", 120, 90, 90.0f, 10.0f},
                                              {"Test C     ", 100, 80, 88.0f, 20.0f}}))
            qFatal("cannot write the test's program folder");
        QFile ini(dir.filePath(QStringLiteral("Kvx.ini")));
        if (!language.isEmpty() && ini.open(QIODevice::WriteOnly))
            ini.write(QStringLiteral("[Current lsp file]\r\nFilename=%1\r\n[Configuration]\r\n"
                                     "Language=%2\r\n")
                          .arg(lsp, language)
                          .toLatin1());
    }
    QByteArray read(const QString& name) const {
        QFile in(dir.filePath(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    QTemporaryDir dir;
};

// Answers every modal window that comes up while it lives. A message box is
// recorded and gets the next scripted button, or OK when it has only that;
// any other dialog goes to onDialog. What nobody answers is closed and
// counted as unexpected.
class ModalAnswerer : public QObject {
public:
    ModalAnswerer() {
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start(10);
    }
    QList<QMessageBox::StandardButton> answers;
    std::function<bool(QDialog*)> onDialog; // true when it handled the dialog
    QStringList messages;                   // "title: text"
    QList<QMessageBox::StandardButtons> buttons;
    QList<QMessageBox::Icon> icons;
    QStringList unexpected;

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == m_handled)
            return;
        m_handled = modal;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages << box->windowTitle() + QStringLiteral(": ") + box->text();
            buttons << box->standardButtons();
            icons << box->icon();
            const auto button = box->standardButtons() == QMessageBox::Ok ? QMessageBox::Ok
                                : answers.isEmpty()                       ? QMessageBox::NoButton
                                                                          : answers.takeFirst();
            if (box->button(button)) {
                box->button(button)->click();
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

// The desktop program started on folder, its first window up and active.
inline std::unique_ptr<app::Application> startProgram(const ProgramFolder& folder) {
    auto program = std::make_unique<app::Application>(folder.dir.path(), QLocale::c(), QString());
    if (!program->start())
        return nullptr;
    if (app::MainWindowView* window = program->mainWindow()) {
        QSignalSpy activated(window, &app::MainWindowView::activated);
        if (!activated.wait(5000) || !QTest::qWaitForWindowActive(window))
            return nullptr;
    } else if (!QTest::qWaitForWindowActive(program->languageWindow())) {
        return nullptr;
    }
    return program;
}

} // namespace kvx::test
