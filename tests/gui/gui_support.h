#pragma once

// The widget tests' answerer of the modal windows that the program opens, so
// that a test meeting an unexpected window fails instead of hanging, and the
// desktop program started on a program folder of the test's own.

#include "app/application.h"
#include "app/lang_select_view.h"
#include "app/main_window_view.h"
#include "core/catalogue/lsp_record.h"
#include "core/ui/main_window.h"
#include "support/files.h"
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
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

// The desktop program started on a program folder that the test writes: one
// loudspeaker type, "Test A", and a Kvx.ini naming it and the language.
class DesktopTest : public QObject {
protected:
    // With a project file name, a user-type project is written there first and
    // opened at start-up; with a language option, there is no Kvx.ini and the
    // first start's language window chooses the option.
    void start(const QString& language = QStringLiteral("English"), const QString& project = {},
               int option = -1) {
        m_app.reset();
        m_folder = std::make_unique<QTemporaryDir>();
        const QString lsp = option < 0 ? "Test.lsp" : "Basic.lsp";
        QVERIFY(writeLspFile(m_folder->filePath(lsp), {{"Test A     ", 90, 60, 89.5f, 6.0f}}));
        QVERIFY(option >= 0 || writeBytes(m_folder->filePath("Kvx.ini"),
                                          "[Current lsp file]\r\nFilename=Test.lsp\r\n"
                                          "[Configuration]\r\nLanguage=" +
                                              language.toLatin1()));
        if (!project.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(m_folder->filePath(project)).path()));
            ProjectWindow writer;
            writer.w->lstLsp.addItem(writer.kvx.texts.UserTypeName);
            writer.w->lstLsp.userPick(1);
            writer.w->WriteProjectFile(m_folder->filePath(project));
        }
        m_app = std::make_unique<app::Application>(m_folder->path(), QLocale::c(),
                                                   project.isEmpty() ? QString()
                                                                     : m_folder->filePath(project));
        QVERIFY(m_app->start());
        if (option >= 0) {
            m_app->languageWindow()->option(option)->click();
            m_app->languageWindow()->findChild<QPushButton*>(QStringLiteral("OK_Key"))->click();
        }
        QVERIFY((m_window = m_app->mainWindow()));
        QVERIFY(QSignalSpy(m_window, &app::MainWindowView::activated).wait(5000));
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }
    // For each test's cleanup: no window came up that the test did not expect.
    void stop() {
        m_app.reset();
        QVERIFY2(m_answerer.unexpected.isEmpty(), qPrintable(m_answerer.unexpected.join(u'\n')));
        m_answerer.messages.clear();
        m_answerer.onDialog = nullptr;
    }
    QWidget* widget(const QString& name) const { return m_window->findChild<QWidget*>(name); }
    QString shown(const QString& name) const { return widget(name)->property("text").toString(); }
    FrmKvx& model() const { return m_window->model(); }
    // Types into a field of the main window, in place of its text, and presses Calculate.
    void calculateWith(const QString& field, const QString& text) {
        widget(field)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(widget(field), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(widget(field), text);
        QTest::mouseClick(widget(QStringLiteral("cmdCalc")), Qt::LeftButton);
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    ModalAnswerer m_answerer;
    std::unique_ptr<app::Application> m_app;
    app::MainWindowView* m_window = nullptr;
};

} // namespace kvx::test
