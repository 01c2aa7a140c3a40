// The main window on a screen too small for it: at twice the scale, the
// offscreen screen of 800 x 800 pixels gives 400 x 400. The window stays in
// the screen's free area and scrolls; its fields keep the room they need. The
// plan window opens within it too.
#include "app/main_window_view.h"
#include "app/plan_window.h"
#include "gui/gui_support.h"

#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

using namespace kvx;
using namespace kvx::app;

class TestWindowFit : public test::DesktopTest {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { stop(); }
    void insideTheScreenAndScrolling_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "English";
        QTest::newRow("German") << "German";
    }
    void insideTheScreenAndScrolling() {
        QFETCH(QString, language);
        start(language);
        MainWindowView* window = m_window;
        const auto within = [](const QRect& area, const QWidget* w) {
            QVERIFY2(area.contains(w->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                       .arg(w->x())
                                                                       .arg(w->y())
                                                                       .arg(w->width())
                                                                       .arg(w->height())));
        };
        const QRect area = window->screen()->availableGeometry();
        auto* scroll = window->findChild<QScrollArea*>("scroll");
        QVERIFY(area.height() < scroll->widget()->sizeHint().height());
        within(area, window);
        QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
        QTRY_VERIFY(scroll->widget()->height() >= scroll->widget()->minimumSizeHint().height());
        QTRY_VERIFY(scroll->widget()->width() >= scroll->widget()->minimumSizeHint().width());
        // The plan window too, its Export button within reach.
        window->showPlanWindow();
        PlanWindow* plan = window->planWindow();
        QVERIFY(QTest::qWaitForWindowExposed(plan));
        within(area, plan);
        QVERIFY(m_answerer.messages.isEmpty());
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    TestWindowFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window_fit.moc"
