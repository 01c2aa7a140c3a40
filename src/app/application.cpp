#include "app/application.h"

#include "app/lang_select_view.h"
#include "app/main_window_view.h"
#include "core/shell/program.h"

#include <QApplication>

namespace kvx::app {

Application::Application(const ProgramFolders& folders, const QLocale& numberLocale,
                         const QString& commandLine, QObject* parent)
    : QObject(parent)
    , m_dispatcher(m_platform)
    , m_program(std::make_unique<Program>(m_platform, folders, numberLocale, commandLine)) {
    m_platform.setState(&m_program->kvx, &m_dispatcher);
    m_program->kvx.keepRecentProjects = true;
    m_dispatcher.onProgramEnded = [this] { endProgram(); };
}

Application::Application(const QString& programFolder, const QLocale& numberLocale,
                         const QString& commandLine, QObject* parent)
    : Application(ProgramFolders{programFolder, std::nullopt}, numberLocale, commandLine, parent) {}

Application::~Application() {
    // The windows go before the models they show.
    delete m_mainWindow;
    delete m_languageWindow;
}

MainWindowView* Application::mainWindow() const {
    return m_mainWindow;
}

LangSelectView* Application::languageWindow() const {
    return m_languageWindow;
}

bool Application::start() {
    bool askLanguage = false;
    m_dispatcher.run([&] { askLanguage = m_program->start(); });
    if (m_dispatcher.programEnded() || m_platform.ended() || m_program->programEnded())
        return false;
    if (!askLanguage)
        return showMainWindow();

    m_languageWindow = new LangSelectView(m_program->langSelect, m_dispatcher);
    m_platform.addBinder(&m_languageWindow->binder());
    connect(m_languageWindow, &LangSelectView::okPressed, this, &Application::languageChosen);
    connect(m_languageWindow, &LangSelectView::closedWithoutChoice, this, [this] { endProgram(); });
    m_languageWindow->show();
    return true;
}

void Application::languageChosen() {
    m_dispatcher.run([this] { m_program->languageChosen(); });
    if (m_dispatcher.programEnded() || m_platform.ended() || m_program->programEnded()) {
        endProgram();
        return;
    }
    // The main window comes up before the language window goes, so that
    // the program is never without a window.
    showMainWindow();
    if (m_languageWindow) {
        m_languageWindow->accept();
        m_languageWindow->deleteLater();
    }
}

bool Application::showMainWindow() {
    if (!m_program->hasMainWindow())
        return false;
    m_mainWindow = new MainWindowView(*m_program->mainWindow, m_dispatcher);
    m_platform.setMainWindow(m_mainWindow);
    Q_EMIT mainWindowCreated(m_mainWindow);
    m_mainWindow->show();
    return true;
}

void Application::endProgram() {
    m_platform.endProgram();
}

} // namespace kvx::app
