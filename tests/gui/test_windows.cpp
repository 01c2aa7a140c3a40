// The language window of a first start and the two information windows.
#include "core/shell/program.h"
#include "core/ui/main_window.h"
#include "gui/gui_support.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>

using namespace kvx;
using namespace kvx::app;

class TestWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void languageWindow_data();
    void languageWindow();
    void informationWindows_data();
    void informationWindows();

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<test::ModalAnswerer> m_answerer = std::make_unique<test::ModalAnswerer>();
    std::unique_ptr<Application> m_app;
};

void TestWindows::cleanup() {
    const QStringList unexpected = m_answerer->unexpected;
    m_app.reset();
    m_answerer = std::make_unique<test::ModalAnswerer>();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
}

void TestWindows::languageWindow_data() {
    QTest::addColumn<QList<int>>("clicks"); // the options clicked; -1 closes the window
    QTest::addColumn<QString>("fileMenu");  // of the main window that comes up
    QTest::addColumn<QString>("language");  // as Kvx.ini records it
    QTest::newRow("Nederlands") << QList<int>{2} << "&Bestand"
                                << "Dutch";
    QTest::newRow("Deutsch") << QList<int>{1} << "Datei"
                             << "German";
    QTest::newRow("Espanol cannot be chosen, Italiano can") << QList<int>{5, 4} << "File"
                                                            << "Italian";
    QTest::newRow("OK at once: English, not recorded") << QList<int>{} << "&File"
                                                       << "";
    QTest::newRow("closed: the program ends") << QList<int>{-1} << ""
                                              << "";
}

void TestWindows::languageWindow() {
    QFETCH(QList<int>, clicks);
    QFETCH(QString, fileMenu);
    QFETCH(QString, language);
    m_folder = std::make_unique<test::ProgramFolder>(QString());
    m_app = test::startProgram(*m_folder);
    QVERIFY(m_app && !m_app->mainWindow());
    QPointer<LangSelectView> window = m_app->languageWindow();
    QStringList options;
    for (int i = 0; i < 6; ++i)
        options << window->option(i)->text() + (window->option(i)->isEnabled() ? "" : " (off)") +
                       (window->option(i)->isChecked() ? " (on)" : "");
    QCOMPARE(options, (QStringList{"English", "Deutsch", "Nederlands", "Francais", "Italiano",
                                   "Espanol (off)"}));
    QCOMPARE(QApplication::focusWidget(), window->option(0));

    for (int option : clicks) {
        if (option >= 0)
            QTest::mouseClick(window->option(option), Qt::LeftButton);
        else
            QVERIFY(window->close());
    }
    if (!clicks.contains(-1))
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("OK_Key")),
                          Qt::LeftButton);
    QString shownMenu;
    if (MainWindowView* main = m_app->mainWindow()) {
        QSignalSpy activated(main, &MainWindowView::activated);
        QVERIFY(activated.wait(5000));
        shownMenu = main->menuBar()->actions().at(0)->text();
    }
    QTRY_VERIFY(!window || !window->isVisible());
    QCOMPARE(shownMenu, fileMenu);
    QCOMPARE(m_app->platform().ended(), fileMenu.isEmpty());
    // The data file is recorded before the language is asked for.
    const QString ini = QString::fromLatin1(m_folder->read(QStringLiteral("Kvx.ini")));
    QVERIFY(ini.contains(QStringLiteral("Basic.lsp")));
    QCOMPARE(ini.section(QStringLiteral("Language="), 1).trimmed(), language);
}

void TestWindows::informationWindows_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("shown"); // title, close button, version
    QTest::newRow("About") << "English"
                           << "mnuAbout" << QStringList{"About KVX", "Close", "KVX Version 2.1"};
    QTest::newRow("Working with KVX")
        << "English"
        << "mnuWorking" << QStringList{"Working with KVX", "Close", "KVX"};
    QTest::newRow("Working with KVX in German")
        << "German"
        << "mnuWorking" << QStringList{"Programm Info", "Beenden", "KVX"};
}

void TestWindows::informationWindows() {
    QFETCH(QString, language);
    QFETCH(QString, command);
    QFETCH(QStringList, shown);
    m_folder = std::make_unique<test::ProgramFolder>(language);
    m_app = test::startProgram(*m_folder);
    QVERIFY(m_app && m_app->mainWindow());
    QStringList seen;
    m_answerer->onDialog = [&](QDialog* dialog) {
        auto* close = dialog->findChild<QPushButton*>(QStringLiteral("Close_Key"));
        if (!close)
            close = dialog->findChild<QPushButton*>(QStringLiteral("cmdClose"));
        auto* version = dialog->findChild<QLabel*>(QStringLiteral("lblVersion"));
        seen << dialog->windowTitle() << (close ? close->text() : QString())
             << (version ? version->text() : QString());
        // Centred, and every text shown whole.
        const QPoint offCentre =
            dialog->frameGeometry().center() - dialog->screen()->geometry().center();
        if (qAbs(offCentre.x()) > 2 || qAbs(offCentre.y()) > 2)
            seen << QStringLiteral("off centre %1 %2").arg(offCentre.x()).arg(offCentre.y());
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            if (label->wordWrap() && label->height() < label->heightForWidth(label->width()))
                seen << label->objectName() + QStringLiteral(" clipped");
        }
        if (close)
            close->click();
        return close != nullptr;
    };
    // The window is activated again when it closes: it calculates afresh.
    m_app->mainWindow()->model().lblDistance.setText(QStringLiteral("marker"));
    m_app->mainWindow()->findChild<QAction*>(command)->trigger();
    QCOMPARE(seen, shown);
    QVERIFY(m_app->mainWindow()->model().lblDistance.text() != QLatin1String("marker"));
}

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
