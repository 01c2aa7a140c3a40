// The yardstick of the start-up measurement: an empty Qt Widgets window of the
// main window's size, shown and (with KVX_QUIT_AFTER_SHOWN=1) closed again
// right after its first paint, exactly as the program is measured.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

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
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    window.resize(512, 523);
    if (qEnvironmentVariable("KVX_QUIT_AFTER_SHOWN") == QLatin1String("1"))
        window.installEventFilter(new QuitWhenPainted(&app));
    window.show();
    return QApplication::exec();
}
