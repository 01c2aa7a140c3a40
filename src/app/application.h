#pragma once

// The desktop program put together: the Qt platform, the program's models,
// the dispatcher for every user action, and the windows. start() runs the
// language window's load and shows the language window or the main window.

#include "app/dispatcher.h"
#include "app/qt_platform.h"
#include "core/base/program_folders.h"

#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

namespace kvx {
class Program;
}

namespace kvx::app {

class LangSelectView;
class MainWindowView;

class Application : public QObject {
    Q_OBJECT
public:
    // commandLine is the whole argument text (empty for none).
    Application(const ProgramFolders& folders, const QLocale& numberLocale,
                const QString& commandLine, QObject* parent = nullptr);
    // A portable program in programFolder.
    Application(const QString& programFolder, const QLocale& numberLocale,
                const QString& commandLine, QObject* parent = nullptr);
    ~Application() override;

    // Shows the first window. False when the program ended during the start
    // (no window is left to run).
    bool start();

    QtPlatform& platform() { return m_platform; }
    Dispatcher& dispatcher() { return m_dispatcher; }
    Program& program() { return *m_program; }
    MainWindowView* mainWindow() const;
    LangSelectView* languageWindow() const;

Q_SIGNALS:
    // The main window exists and is about to be shown.
    void mainWindowCreated(kvx::app::MainWindowView* window);

private:
    bool showMainWindow();
    void languageChosen();
    void endProgram();

    QtPlatform m_platform;
    Dispatcher m_dispatcher;
    std::unique_ptr<Program> m_program;
    // Top-level windows, deleted before the program's models.
    QPointer<MainWindowView> m_mainWindow;
    QPointer<LangSelectView> m_languageWindow;
};

} // namespace kvx::app
