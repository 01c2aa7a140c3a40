// The main window on a screen too small for it: at twice the scale, the
// offscreen screen of 800 x 800 pixels gives 400 x 400. The window stays in
// the screen's free area and scrolls; its fields keep the room they need. The
// plan window opens within it too.
#include "app/application.h"
#include "app/main_window_view.h"
#include "app/plan_window.h"
#include "core/catalogue/lsp_record.h"
#include "gui/gui_support.h"
#include "support/files.h"

#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace kvx;
using namespace kvx::app;

class TestWindowFit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void insideTheScreenAndScrolling_data();
    void insideTheScreenAndScrolling();
};

void TestWindowFit::insideTheScreenAndScrolling_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "English";
    QTest::newRow("German") << "German";
}

void TestWindowFit::insideTheScreenAndScrolling() {
    QFETCH(QString, language);
    QTemporaryDir folder;
    QVERIFY(writeLspFile(folder.filePath("Test.lsp"), {{"Test A     ", 90, 60, 89.5f, 6.f}}));
    QVERIFY(test::writeBytes(folder.filePath("Kvx.ini"),
                             "[Current lsp file]\r\nFilename=Test.lsp\r\n[Configuration]\r\n"
                             "Language=" +
                                 language.toLatin1() + "\r\n"));
    test::ModalAnswerer answerer;
    Application app(folder.path(), QLocale::c(), QString());
    QVERIFY(app.start());
    MainWindowView* window = app.mainWindow();
    QVERIFY(QSignalSpy(window, &MainWindowView::activated).wait(5000));

    const QRect area = window->screen()->availableGeometry();
    auto* scroll = window->findChild<QScrollArea*>("scroll");
    QVERIFY(area.height() < scroll->widget()->sizeHint().height());
    QVERIFY2(area.contains(window->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                    .arg(window->x())
                                                                    .arg(window->y())
                                                                    .arg(window->width())
                                                                    .arg(window->height())));
    QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
    QTRY_VERIFY(scroll->widget()->height() >= scroll->widget()->minimumSizeHint().height());
    QTRY_VERIFY(scroll->widget()->width() >= scroll->widget()->minimumSizeHint().width());
    // The plan window too, its Export button within reach.
    window->showPlanWindow();
    PlanWindow* plan = window->planWindow();
    QVERIFY(QTest::qWaitForWindowExposed(plan));
    QVERIFY2(area.contains(plan->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                  .arg(plan->x())
                                                                  .arg(plan->y())
                                                                  .arg(plan->width())
                                                                  .arg(plan->height())));
    QVERIFY(answerer.messages.isEmpty());
}

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    TestWindowFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window_fit.moc"
