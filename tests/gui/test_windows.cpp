// The language window of a first start and the two information windows.
#include "app/application.h"
#include "app/lang_select_view.h"
#include "app/main_window_view.h"
#include "app/twips.h"
#include "core/shell/program.h"
#include "gui/gui_support.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace kvx;
using namespace kvx::app;

class TestWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void languageWindowComesUpEmpty();
    void optionsStandAtTheirTwipPositions();
    void choosingALanguage_data();
    void choosingALanguage();
    void disabledSpanishCannotBeChosen();
    void closingTheLanguageWindowEndsTheProgram();
    void aboutShowsProgramAndDataFile();
    void workingWindowFollowsTheLanguage_data();
    void workingWindowFollowsTheLanguage();

private:
    void startFirstRun();
    MainWindowView* startMainWindow(const QString& language);
    QString iniText() const { return QString::fromLatin1(m_folder->read("Kvx.ini")); }

    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<test::ModalAnswerer> m_answerer;
    std::unique_ptr<Application> m_app;
};

void TestWindows::init() {
    m_answerer = std::make_unique<test::ModalAnswerer>();
}

void TestWindows::cleanup() {
    const QStringList unexpected = m_answerer->unexpected;
    m_app.reset();
    m_answerer.reset();
    m_folder.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
}

void TestWindows::startFirstRun() {
    m_folder = std::make_unique<test::ProgramFolder>(QString());
    m_app = std::make_unique<Application>(m_folder->path(), QLocale::c(), QString());
    QVERIFY(m_app->start());
    QVERIFY(m_app->languageWindow());
    QVERIFY(!m_app->mainWindow());
    QVERIFY(QTest::qWaitForWindowActive(m_app->languageWindow()));
}

MainWindowView* TestWindows::startMainWindow(const QString& language) {
    m_folder = std::make_unique<test::ProgramFolder>(language);
    m_app = std::make_unique<Application>(m_folder->path(), QLocale::c(), QString());
    if (!m_app->start() || !m_app->mainWindow())
        return nullptr;
    QSignalSpy activated(m_app->mainWindow(), &MainWindowView::activated);
    if (!activated.wait(5000) || !QTest::qWaitForWindowActive(m_app->mainWindow()))
        return nullptr;
    return m_app->mainWindow();
}

void TestWindows::languageWindowComesUpEmpty() {
    startFirstRun();
    LangSelectView* window = m_app->languageWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Language selection window"));
    QStringList captions;
    for (int i = 0; i < 6; ++i) {
        QVERIFY(!window->option(i)->isChecked());
        captions << window->option(i)->text();
    }
    QCOMPARE(captions,
             (QStringList{"English", "Deutsch", "Nederlands", "Francais", "Italiano", "Espanol"}));
    QVERIFY(!window->option(5)->isEnabled());
    QCOMPARE(QApplication::focusWidget(), window->option(0));
    // The default data file is recorded before the language is asked for.
    QVERIFY(iniText().contains(QStringLiteral("Basic.lsp")));
    QVERIFY(!iniText().contains(QStringLiteral("Language")));
}

void TestWindows::optionsStandAtTheirTwipPositions() {
    startFirstRun();
    LangSelectView* window = m_app->languageWindow();
    const QPoint twips[] = {{480, 600}, {2040, 1320}, {480, 1320},
                            {480, 960}, {2040, 600},  {2040, 960}};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(window->option(i)->pos(),
                 QPoint(twipsToPixelsX(twips[i].x()), twipsToPixelsY(twips[i].y())));
        // Each caption is shown whole and no option covers another.
        QVERIFY(window->option(i)->width() >= window->option(i)->sizeHint().width());
        for (int j = 0; j < i; ++j)
            QVERIFY(!window->option(i)->geometry().intersects(window->option(j)->geometry()));
    }
    auto* ok = window->findChild<QPushButton*>(QStringLiteral("OK_Key"));
    QVERIFY(ok);
    QVERIFY(window->rect().contains(ok->geometry()));
}

void TestWindows::choosingALanguage_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("fileMenu");
    QTest::newRow("Nederlands") << 2 << "Language=Dutch"
                                << "&Bestand";
    QTest::newRow("Deutsch") << 1 << "Language=German"
                             << "Datei";
    QTest::newRow("OK at once") << -1 << ""
                                << "&File";
}

void TestWindows::choosingALanguage() {
    QFETCH(int, option);
    QFETCH(QString, stored);
    QFETCH(QString, fileMenu);
    startFirstRun();
    QPointer<LangSelectView> window = m_app->languageWindow();
    if (option >= 0)
        QTest::mouseClick(window->option(option), Qt::LeftButton);
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("OK_Key")), Qt::LeftButton);

    MainWindowView* main = m_app->mainWindow();
    QVERIFY(main);
    QSignalSpy activated(main, &MainWindowView::activated);
    QVERIFY(activated.wait(5000));
    QTRY_VERIFY(!window);
    QVERIFY(!m_app->platform().ended());
    QCOMPARE(main->menuBar()->actions().at(0)->text(), fileMenu);
    if (stored.isEmpty())
        QVERIFY(!iniText().contains(QStringLiteral("Language")));
    else
        QVERIFY(iniText().contains(stored));
}

void TestWindows::disabledSpanishCannotBeChosen() {
    startFirstRun();
    LangSelectView* window = m_app->languageWindow();
    QTest::mouseClick(window->option(5), Qt::LeftButton);
    QVERIFY(!window->option(5)->isChecked());
    QCOMPARE(m_app->program().langSelect.selectedIndex(), -1);
    QTest::mouseClick(window->option(4), Qt::LeftButton);
    QCOMPARE(m_app->program().langSelect.selectedIndex(), 4);
}

void TestWindows::closingTheLanguageWindowEndsTheProgram() {
    startFirstRun();
    QVERIFY(m_app->languageWindow()->close());
    QVERIFY(m_app->platform().ended());
    QVERIFY(!m_app->mainWindow());
    QVERIFY(iniText().contains(QStringLiteral("Basic.lsp")));
    QVERIFY(!iniText().contains(QStringLiteral("Language")));
}

void TestWindows::aboutShowsProgramAndDataFile() {
    MainWindowView* main = startMainWindow(QStringLiteral("English"));
    QVERIFY(main);
    QStringList texts;
    QPoint offCentre;
    m_answerer->onDialog = [&](QDialog* dialog) {
        if (dialog->objectName() != QLatin1String("frmAbout"))
            return false;
        for (const char* name : {"lblVersion", "lblFileDate", "lblInfo"})
            texts << dialog->findChild<QLabel*>(QLatin1String(name))->text();
        offCentre = dialog->frameGeometry().center() - dialog->screen()->geometry().center();
        dialog->findChild<QPushButton*>(QStringLiteral("Close_Key"))->click();
        return true;
    };
    main->findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();

    QCOMPARE(texts.size(), 3);
    QCOMPARE(texts.at(0), QStringLiteral("KVX Version 2.1"));
    QVERIFY2(texts.at(1).startsWith(QStringLiteral("Opened loudspeaker data file: Test.lsp dd ")),
             qPrintable(texts.at(1)));
    QCOMPARE(texts.at(2), QStringLiteral("This program is distributed by\nHalcyra"));
    // Twips and pixels round apart by a pixel or two.
    QVERIFY2(std::abs(offCentre.x()) <= 2 && std::abs(offCentre.y()) <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
}

void TestWindows::workingWindowFollowsTheLanguage_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("close");
    QTest::newRow("English") << "English"
                             << "Working with KVX"
                             << "Close";
    QTest::newRow("German") << "German"
                            << "Programm Info"
                            << "Beenden";
}

void TestWindows::workingWindowFollowsTheLanguage() {
    QFETCH(QString, language);
    QFETCH(QString, title);
    QFETCH(QString, close);
    MainWindowView* main = startMainWindow(language);
    QVERIFY(main);
    QString seenTitle;
    QString seenClose;
    QStringList clipped;
    m_answerer->onDialog = [&](QDialog* dialog) {
        if (dialog->objectName() != QLatin1String("frmWorking"))
            return false;
        seenTitle = dialog->windowTitle();
        auto* button = dialog->findChild<QPushButton*>(QStringLiteral("cmdClose"));
        seenClose = button->text();
        // Every text is shown whole at the window's size.
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            if (label->wordWrap() && label->height() < label->heightForWidth(label->width()))
                clipped << label->objectName();
        }
        button->click();
        return true;
    };
    main->findChild<QAction*>(QStringLiteral("mnuWorking"))->trigger();

    QCOMPARE(seenTitle, title);
    QCOMPARE(seenClose, close);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u' ')));
}

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
