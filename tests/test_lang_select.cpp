// The language window: first start, later starts and the stored choice.
#include "core/shell/ini_file.h"
#include "core/shell/kvx1.h"
#include "core/shell/lang_select.h"
#include "support/fake_platform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kvx;
using kvx::test::FakePlatform;

namespace {

// The configuration file's non-blank lines, trimmed.
QStringList iniLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString trimmed = QString::fromLatin1(line).trimmed();
        if (!trimmed.isEmpty())
            lines << trimmed;
    }
    return lines;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestLangSelect : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void firstStartWritesDataFileAndShows();
    void laterStartShowsNothingAndWritesNothing_data();
    void laterStartShowsNothingAndWritesNothing();
    void okStoresChosenLanguage_data();
    void okStoresChosenLanguage();
    void okWithoutChoiceWritesNoLanguage();
    void optionsAreExclusiveAndSpanishCannotBeChosen();
    void clickingAnOptionSelectsIt();
    void tabOrderStartsOnTheFrameAndEndsOnOk();
    void layoutFitsWithoutOverlap();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<Kvx1> m_kvx;
    std::unique_ptr<LangSelect> m_window;
};

void TestLangSelect::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_platform = std::make_unique<FakePlatform>();
    m_kvx = std::make_unique<Kvx1>(*m_platform, m_dir->path(), QLocale::c());
    m_window = std::make_unique<LangSelect>(*m_kvx);
}

void TestLangSelect::cleanup() {
    m_window.reset();
    m_kvx.reset();
    m_platform.reset();
    m_dir.reset();
}

void TestLangSelect::firstStartWritesDataFileAndShows() {
    QVERIFY(m_window->Form_Load());
    QCOMPARE(iniLines(m_kvx->iniPath()), (QStringList{"[Current lsp file]", "Filename=Basic.lsp"}));
    QCOMPARE(m_window->selectedIndex(), -1);
    QCOMPARE(m_kvx->LanguageOffset, 0);
    QVERIFY(m_platform->messages.isEmpty());
}

void TestLangSelect::laterStartShowsNothingAndWritesNothing_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("data file only") << QByteArray("[Current lsp file]\r\nFilename=Other.lsp\r\n");
    QTest::newRow("data file and language")
        << QByteArray("[Current lsp file]\r\nFilename=Basic.lsp\r\n[Configuration]\r\n"
                      "Language=German\r\n");
    QTest::newRow("unrelated text") << QByteArray("hello\n");
}

void TestLangSelect::laterStartShowsNothingAndWritesNothing() {
    QFETCH(QByteArray, contents);
    writeFile(m_kvx->iniPath(), contents);
    QVERIFY(!m_window->Form_Load());
    QFile file(m_kvx->iniPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), contents);
}

void TestLangSelect::okStoresChosenLanguage_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("offset");
    QTest::newRow("English") << 0 << "English" << 0;
    QTest::newRow("Deutsch") << 1 << "German" << 4000;
    QTest::newRow("Nederlands") << 2 << "Dutch" << 1000;
    QTest::newRow("Francais") << 3 << "French" << 2000;
    QTest::newRow("Italiano") << 4 << "Italian" << 3000;
}

void TestLangSelect::okStoresChosenLanguage() {
    QFETCH(int, index);
    QFETCH(QString, stored);
    QFETCH(int, offset);
    QVERIFY(m_window->Form_Load());
    m_window->select(index);
    m_window->OK_Key.userClick();
    QCOMPARE(m_kvx->LanguageOffset, offset);
    QCOMPARE(iniLines(m_kvx->iniPath()), (QStringList{"[Current lsp file]", "Filename=Basic.lsp",
                                                      "[Configuration]", "Language=" + stored}));
}

void TestLangSelect::okWithoutChoiceWritesNoLanguage() {
    QVERIFY(m_window->Form_Load());
    m_window->OK_Key_Click();
    QCOMPARE(m_kvx->LanguageOffset, 0);
    QCOMPARE(iniLines(m_kvx->iniPath()), (QStringList{"[Current lsp file]", "Filename=Basic.lsp"}));
    QVERIFY(!ReadIniValue(QStringLiteral("Configuration"), QStringLiteral("Language"),
                          m_kvx->iniPath()));
}

void TestLangSelect::optionsAreExclusiveAndSpanishCannotBeChosen() {
    QVERIFY(!m_window->LanSel[5]->isEnabled());
    m_window->select(1);
    m_window->select(2);
    QCOMPARE(m_window->selectedIndex(), 2);
    int checked = 0;
    for (const Control* option : m_window->LanSel)
        checked += option->isChecked() ? 1 : 0;
    QCOMPARE(checked, 1);

    m_window->select(5);
    m_window->select(-1);
    m_window->select(6);
    QCOMPARE(m_window->selectedIndex(), 2);
    QVERIFY(!m_window->LanSel[5]->isChecked());
}

void TestLangSelect::clickingAnOptionSelectsIt() {
    m_window->LanSel[3]->userClick();
    QCOMPARE(m_window->selectedIndex(), 3);
    m_window->LanSel[0]->userClick();
    QCOMPARE(m_window->selectedIndex(), 0);
}

void TestLangSelect::tabOrderStartsOnTheFrameAndEndsOnOk() {
    const ControlList order = m_window->controls();
    QStringList names;
    for (const Control* c : order)
        names << c->text();
    QCOMPARE(names, (QStringList{"Language", "English", "Deutsch", "Nederlands", "Francais",
                                 "Italiano", "Espanol", "OK"}));
}

void TestLangSelect::layoutFitsWithoutOverlap() {
    const Control& frame = m_window->Frame1;
    const auto rect = [](const Control* c) {
        return QRectF(c->left(), c->top(), c->width(), c->height());
    };
    for (int i = 0; i < m_window->LanSel.size(); ++i) {
        const QRectF option = rect(m_window->LanSel[i]);
        QVERIFY2(QRectF(0, 0, frame.width(), frame.height()).contains(option),
                 qPrintable(m_window->LanSel[i]->text()));
        for (int j = i + 1; j < m_window->LanSel.size(); ++j)
            QVERIFY(!option.intersects(rect(m_window->LanSel[j])));
    }
    const QRectF ok = rect(&m_window->OK_Key);
    QVERIFY(!ok.intersects(rect(&frame)));
    QVERIFY(QRectF(0, 0, m_window->form.width(), m_window->form.height()).contains(ok));
    QVERIFY(QRectF(0, 0, m_window->form.width(), m_window->form.height()).contains(rect(&frame)));
}

QTEST_GUILESS_MAIN(TestLangSelect)
#include "test_lang_select.moc"
