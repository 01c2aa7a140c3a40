// The Qt platform: message boxes by style number, and the common dialog's
// filter as a QFileDialog takes it.
#include "app/qt_platform.h"
#include "gui/gui_support.h"

#include <QTest>

using namespace kvx;
using namespace kvx::app;

class TestQtPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void filters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        // File names are case-sensitive on Linux: each pattern matches either case.
        QTest::newRow("patterns already in the description")
            << "KVX project (*.kvx)|*.kvx|All files|*.*"
            << QStringList{"KVX project (*.kvx *.KVX)", "All files (*.*)"};
        QTest::newRow("Save As in upper case")
            << "KVX Files (*.KVX)|*.KVX|All Files (*.*)|*.*"
            << QStringList{"KVX Files (*.KVX *.kvx)", "All Files (*.*)"};
        QTest::newRow("several patterns")
            << "Texts|*.txt;*.doc" << QStringList{"Texts (*.txt *.TXT *.doc *.DOC)"};
        QTest::newRow("other brackets")
            << "Report (old)|*.rep" << QStringList{"Report (old) (*.rep *.REP)"};
        QTest::newRow("a description alone")
            << "Text File (*.txt)" << QStringList{"Text File (*.txt *.TXT)"};
        QTest::newRow("no filter") << "" << QStringList{};
    }
    void filters() {
        QFETCH(QString, filter);
        QTEST(nameFilters(filter), "expected");
    }
    void messageBoxes_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("shown");
        const QString text = QStringLiteral(": a\nb\nc (%1)");
        const QString question = text.arg("Question; Yes|No|Cancel");
        QTest::newRow("0 OK") << 0 << "" << 0 << 1 << "Kvx32" + text.arg("NoIcon; Ok");
        QTest::newRow("16 critical")
            << 16 << "Error" << 0 << 1 << "Error" + text.arg("Critical; Ok");
        QTest::newRow("35 question, yes")
            << 35 << "Q" << int(QMessageBox::Yes) << 6 << "Q" + question;
        QTest::newRow("35 question, no")
            << 35 << "Q" << int(QMessageBox::No) << 7 << "Q" + question;
        QTest::newRow("35 question, cancel")
            << 35 << "Q" << int(QMessageBox::Cancel) << 2 << "Q" + question;
        QTest::newRow("48 exclamation") << 48 << "" << 0 << 1 << "Kvx32" + text.arg("Warning; Ok");
        QTest::newRow("64 information")
            << 64 << "" << 0 << 1 << "Kvx32" + text.arg("Information; Ok");
    }
    void messageBoxes() {
        QFETCH(int, style);
        QFETCH(QString, title);
        QFETCH(int, answer);
        QFETCH(QString, shown);
        test::ModalAnswerer answerer;
        answerer.answers << QMessageBox::StandardButton(answer);
        // Line breaks of any kind become one each.
        QTEST(int(QtPlatform().messageBox(QStringLiteral("a\rb\r\nc"), style, title)), "result");
        QCOMPARE(answerer.messages, QStringList{shown});
    }
};

QTEST_MAIN(TestQtPlatform)
#include "test_qt_platform.moc"
