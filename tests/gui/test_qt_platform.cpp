// The Qt platform: message boxes by style number and the common dialog's
// settings on a QFileDialog.
#include "app/qt_platform.h"
#include "gui/gui_support.h"

#include <QDir>
#include <QFileDialog>
#include <QTest>

using namespace kvx;
using namespace kvx::app;
using B = QMessageBox;

class TestQtPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileNames_data();
    void fileNames();
    void messageBoxes_data();
    void messageBoxes();
    void fileDialogs_data();
    void fileDialogs();
};

void TestQtPlatform::fileNames_data() {
    QTest::addColumn<QStringList>("given"); // a filter, or a path and its default extension
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("filter with patterns already in the description")
        << QStringList{"KVX project (*.kvx)|*.kvx|All files|*.*"}
        << QStringList{"KVX project (*.kvx)", "All files (*.*)"};
    QTest::newRow("filter with several patterns")
        << QStringList{"Documents|*.txt;*.doc"} << QStringList{"Documents (*.txt *.doc)"};
    QTest::newRow("filter with other brackets")
        << QStringList{"Report (old)|*.rep"} << QStringList{"Report (old) (*.rep)"};
    QTest::newRow("no filter") << QStringList{""} << QStringList{};
    QTest::newRow("extension added to a bare name")
        << QStringList{"/p/room", ".txt"} << QStringList{"/p/room.txt"};
    QTest::newRow("no extension added to a name with its own")
        << QStringList{"/p/room.old", "kvx"} << QStringList{"/p/room.old"};
    QTest::newRow("extension added after a dot in the folder")
        << QStringList{"/p.d/room", "kvx"} << QStringList{"/p.d/room.kvx"};
}

void TestQtPlatform::fileNames() {
    QFETCH(QStringList, given);
    QFETCH(QStringList, expected);
    QCOMPARE(given.size() == 1 ? nameFilters(given[0])
                               : QStringList{withDefaultExtension(given[0], given[1])},
             expected);
}

void TestQtPlatform::messageBoxes_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("shown"); // title, text, icon and buttons
    const QString text = QStringLiteral(": a\nb\nc ");
    QTest::newRow("0 OK, the program's title")
        << "" << 0 << "Ok" << 1 << "Kvx32" + text + "NoIcon Ok";
    QTest::newRow("16 critical") << "Error" << 16 << "Ok" << 1 << "Error" + text + "Critical Ok";
    QTest::newRow("35 question, yes")
        << "Q" << 35 << "Yes" << 6 << "Q" + text + "Question Yes|No|Cancel";
    QTest::newRow("35 question, no")
        << "Q" << 35 << "No" << 7 << "Q" + text + "Question Yes|No|Cancel";
    QTest::newRow("35 question, cancel")
        << "Q" << 35 << "Cancel" << 2 << "Q" + text + "Question Yes|No|Cancel";
    QTest::newRow("48 exclamation") << "" << 48 << "Ok" << 1 << "Kvx32" + text + "Warning Ok";
    QTest::newRow("64 information") << "" << 64 << "Ok" << 1 << "Kvx32" + text + "Information Ok";
}

void TestQtPlatform::messageBoxes() {
    QFETCH(QString, title);
    QFETCH(int, style);
    QFETCH(QString, answer);
    QFETCH(int, result);
    QFETCH(QString, shown);
    const QMetaEnum buttons = QMetaEnum::fromType<B::StandardButtons>();
    test::ModalAnswerer answerer;
    answerer.answers << B::StandardButton(buttons.keyToValue(qPrintable(answer)));
    QtPlatform platform;
    // Line breaks of any kind become one each.
    QCOMPARE(int(platform.messageBox(QStringLiteral("a\rb\r\nc"), style, title)), result);
    QCOMPARE(answerer.messages.size(), 1);
    QCOMPARE(answerer.messages[0] + u' ' +
                 QMetaEnum::fromType<B::Icon>().valueToKey(answerer.icons[0]) + u' ' +
                 QString(buttons.valueToKeys(answerer.buttons[0])).remove("|FirstButton"),
             shown);
}

void TestQtPlatform::fileDialogs_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QString>("typed");    // empty: cancelled
    QTest::addColumn<QStringList>("seen"); // its filter, mode and the path it gives
    QTest::newRow("open an existing file")
        << false << int(DialogFlags::FileMustExist | DialogFlags::HideReadOnly) << 1 << "Test.lsp"
        << QStringList{"KVX project (*.kvx)", "open existing", "Test.lsp"};
    QTest::newRow("save as, asking before overwriting")
        << true << int(DialogFlags::OverwritePrompt) << 1 << "new"
        << QStringList{"KVX project (*.kvx)", "save any asks", "new.kvx"};
    QTest::newRow("save without the overwrite flag")
        << true << 0 << 2 << "plain" << QStringList{"All files (*.*)", "save any", "plain.kvx"};
    QTest::newRow("cancelled") << true << 0 << 1 << ""
                               << QStringList{"KVX project (*.kvx)", "save any", "nothing"};
}

void TestQtPlatform::fileDialogs() {
    QFETCH(bool, save);
    QFETCH(int, flags);
    QFETCH(int, filterIndex);
    QFETCH(QString, typed);
    QFETCH(QStringList, seen);
    test::ProgramFolder folder;
    CommonDialog settings;
    settings.filter = QStringLiteral("KVX project (*.kvx)|*.kvx|All files|*.*");
    settings.filterIndex = filterIndex;
    settings.defaultExt = QStringLiteral("kvx");
    settings.flags = flags;
    settings.fileName = folder.dir.filePath(QStringLiteral("Kvx.ini"));

    test::ModalAnswerer answerer;
    QStringList shown;
    answerer.onDialog = [&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        if (!files || files->directory() != QDir(folder.dir.path()) ||
            files->nameFilters() != QStringList{"KVX project (*.kvx)", "All files (*.*)"})
            return false;
        const bool saving = files->acceptMode() == QFileDialog::AcceptSave;
        shown << files->selectedNameFilter()
              << QString(saving ? "save" : "open") +
                     (files->fileMode() == QFileDialog::ExistingFile ? " existing" : " any") +
                     (saving && !files->testOption(QFileDialog::DontConfirmOverwrite) ? " asks"
                                                                                      : "");
        files->selectFile(typed);
        typed.isEmpty() ? dialog->reject() : dialog->accept();
        return true;
    };
    QtPlatform platform;
    const auto path = save ? platform.showSaveDialog(settings) : platform.showOpenDialog(settings);
    shown << (path ? QDir(folder.dir.path()).relativeFilePath(*path) : QStringLiteral("nothing"));
    QCOMPARE(shown, seen);
    QVERIFY2(answerer.unexpected.isEmpty(), qPrintable(answerer.unexpected.join(u'\n')));
}

QTEST_MAIN(TestQtPlatform)
#include "test_qt_platform.moc"
