// The language window: the choice that OK stores.
#include "core/shell/lang_select.h"
#include "support/files.h"

#include <QFile>
#include <QTest>

using namespace kvx;

namespace {

const QByteArray kDataFileOnly = "[Current lsp file]\r\nFilename=Basic.lsp\r\n";

} // namespace

class TestLangSelect : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void okStoresTheChosenLanguage_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("offset");
        QTest::newRow("English") << QList<int>{0} << QByteArray("English") << 0;
        QTest::newRow("Deutsch") << QList<int>{1} << QByteArray("German") << 4000;
        QTest::newRow("Francais") << QList<int>{3} << QByteArray("French") << 2000;
        QTest::newRow("Italiano") << QList<int>{4} << QByteArray("Italian") << 3000;
        QTest::newRow("the last click wins") << QList<int>{2, 1} << QByteArray("German") << 4000;
        QTest::newRow("Espanol cannot be chosen") << QList<int>{0, 5} << QByteArray("English") << 0;
    }
    void okStoresTheChosenLanguage() {
        QFETCH(QList<int>, clicks);
        QFETCH(QByteArray, stored);
        kvx::test::Harness h;
        LangSelect window(h.kvx);
        QVERIFY(window.Form_Load());
        for (int option : clicks)
            window.LanSel[option]->userClick();
        window.OK_Key.userClick();
        QTEST(h.kvx.LanguageOffset, "offset");
        QCOMPARE(kvx::test::readBytes(h.kvx.iniPath()),
                 kDataFileOnly + "[Configuration]\r\nLanguage=" + stored + "\r\n");
    }
};

QTEST_GUILESS_MAIN(TestLangSelect)
#include "test_lang_select.moc"
