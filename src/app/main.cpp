// kvx: the desktop program. Run portable (a Kvx.ini or a catalogue beside it)
// its folder is the program's folder; installed, it keeps its files in the
// user's folders. The whole argument text names a project file; a building
// file (*.kvxb) opens in a building window.

#include "app/application.h"
#include "app/main_window_view.h"
#include "app/pictures.h"
#include "core/base/program_folders.h"

#include <QApplication>
#include <QEvent>
#include <QLocale>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

// For start-up measurements: ends the program once the main window has been
// painted for the first time.
class QuitWhenPainted : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (!hasDisplay()) {
        std::fputs("kvx: no display found; run it under xvfb-run, e.g. xvfb-run -a build/bin/kvx\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVX"));
    QApplication::setWindowIcon(kvx::app::programIcon());
    // Ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kvx.Kvx"));

    // A building file (a double-click on a .kvxb) opens in a building window
    // beside the main window; any other argument text names a project.
    QStringList arguments = QApplication::arguments().mid(1);
    QStringList buildings;
    for (const QString& argument : QStringList(arguments)) {
        if (argument.endsWith(QStringLiteral(".kvxb"), Qt::CaseInsensitive)) {
            buildings << argument;
            arguments.removeOne(argument);
        }
    }
    const QString commandLine = arguments.join(u' ');
    kvx::app::Application program(kvx::locateProgramFolders(QApplication::applicationDirPath()),
                                  QLocale::system(), commandLine);
    if (qEnvironmentVariable("KVX_QUIT_AFTER_SHOWN") == QLatin1String("1")) {
        QObject::connect(&program, &kvx::app::Application::mainWindowCreated, &app,
                         [&app](kvx::app::MainWindowView* window) {
                             window->installEventFilter(new QuitWhenPainted(&app));
                         });
    }
    if (!buildings.isEmpty()) {
        QObject::connect(&program, &kvx::app::Application::mainWindowCreated, &app,
                         [buildings](kvx::app::MainWindowView* window) {
                             QTimer::singleShot(0, window, [window, buildings] {
                                 for (const QString& path : buildings)
                                     window->openBuildingWindow(path);
                             });
                         });
    }
    if (!program.start())
        return 1;
    return QApplication::exec();
}
