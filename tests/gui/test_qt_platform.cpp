// The Qt platform: message boxes by style number, the common dialog's
// settings on a QFileDialog, focus, pointer and screen.
#include "app/binding.h"
#include "app/dispatcher.h"
#include "app/qt_platform.h"
#include "app/twips.h"
#include "gui/gui_support.h"

#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

using namespace kvx;
using namespace kvx::app;

class TestQtPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void filters_data();
    void filters();
    void defaultExtension_data();
    void defaultExtension();
    void lineBreaks_data();
    void lineBreaks();
    void messageBoxStyles_data();
    void messageBoxStyles();
    void messageBoxTitles_data();
    void messageBoxTitles();
    void fileDialogSettings_data();
    void fileDialogSettings();
    void cancelledFileDialogGivesNothing();
    void focusGoesToTheBoundWidget();
    void busyPointerEndsOnDefault();
    void screenSizeInTwips();
};

void TestQtPlatform::filters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("patterns already in the description")
        << "KVX project (*.kvx)|*.kvx|All files|*.*"
        << QStringList{"KVX project (*.kvx)", "All files (*.*)"};
    QTest::newRow("patterns added to a bare description")
        << "Text|*.txt" << QStringList{"Text (*.txt)"};
    QTest::newRow("several patterns joined by semicolons")
        << "Documents|*.txt;*.doc" << QStringList{"Documents (*.txt *.doc)"};
    QTest::newRow("other brackets in the description")
        << "Report (old)|*.rep" << QStringList{"Report (old) (*.rep)"};
    QTest::newRow("no filter") << "" << QStringList{};
}

void TestQtPlatform::filters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(nameFilters(filter), expected);
}

void TestQtPlatform::defaultExtension_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("expected");
    QTest::newRow("name without extension") << "/p/room"
                                            << "kvx"
                                            << "/p/room.kvx";
    QTest::newRow("extension given with its dot") << "/p/room"
                                                  << ".txt"
                                                  << "/p/room.txt";
    QTest::newRow("name with its own extension") << "/p/room.old"
                                                 << "kvx"
                                                 << "/p/room.old";
    QTest::newRow("dot in the folder only") << "/p.d/room"
                                            << "kvx"
                                            << "/p.d/room.kvx";
    QTest::newRow("no default extension") << "/p/room"
                                          << ""
                                          << "/p/room";
}

void TestQtPlatform::defaultExtension() {
    QFETCH(QString, path);
    QFETCH(QString, ext);
    QFETCH(QString, expected);
    QCOMPARE(withDefaultExtension(path, ext), expected);
}

void TestQtPlatform::lineBreaks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("line feed") << "a\nb"
                               << "a\nb";
    QTest::newRow("carriage return and line feed") << "a\r\nb"
                                                   << "a\nb";
    QTest::newRow("carriage return alone") << "a\rb"
                                           << "a\nb";
    QTest::newRow("two breaks stay two") << "a\r\n\r\nb"
                                         << "a\n\nb";
}

void TestQtPlatform::lineBreaks() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(messageText(text), shown);
}

void TestQtPlatform::messageBoxStyles_data() {
    using B = QMessageBox;
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("result");
    QTest::newRow("0 OK only") << 0 << int(B::Ok) << int(B::Ok) << int(B::NoIcon)
                               << int(MsgResult::Ok);
    QTest::newRow("16 critical") << 16 << int(B::Ok) << int(B::Ok) << int(B::Critical)
                                 << int(MsgResult::Ok);
    QTest::newRow("35 question answered yes")
        << 35 << int(B::Yes) << int(B::Yes | B::No | B::Cancel) << int(B::Question)
        << int(MsgResult::Yes);
    QTest::newRow("35 question answered no") << 35 << int(B::No) << int(B::Yes | B::No | B::Cancel)
                                             << int(B::Question) << int(MsgResult::No);
    QTest::newRow("35 question cancelled")
        << 35 << int(B::Cancel) << int(B::Yes | B::No | B::Cancel) << int(B::Question)
        << int(MsgResult::Cancel);
    QTest::newRow("48 exclamation")
        << 48 << int(B::Ok) << int(B::Ok) << int(B::Warning) << int(MsgResult::Ok);
    QTest::newRow("64 information")
        << 64 << int(B::Ok) << int(B::Ok) << int(B::Information) << int(MsgResult::Ok);
    QTest::newRow("1 OK and cancel") << 1 << int(B::Cancel) << int(B::Ok | B::Cancel)
                                     << int(B::NoIcon) << int(MsgResult::Cancel);
    QTest::newRow("36 yes and no")
        << 36 << int(B::No) << int(B::Yes | B::No) << int(B::Question) << int(MsgResult::No);
}

void TestQtPlatform::messageBoxStyles() {
    QFETCH(int, style);
    QFETCH(int, answer);
    QFETCH(int, buttons);
    QFETCH(int, icon);
    QFETCH(int, result);
    test::ModalAnswerer answerer;
    answerer.answers << QMessageBox::StandardButton(answer);
    QtPlatform platform;

    const MsgResult pressed = platform.messageBox(QStringLiteral("Text"), style);
    QCOMPARE(int(pressed), result);
    QCOMPARE(answerer.messages.size(), 1);
    QCOMPARE(int(answerer.messages.at(0).buttons), buttons);
    QCOMPARE(int(answerer.messages.at(0).icon), icon);
    QVERIFY2(answerer.unexpected.isEmpty(), qPrintable(answerer.unexpected.join(u'\n')));
}

void TestQtPlatform::messageBoxTitles_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shown");
    QTest::newRow("no title shows the application title") << ""
                                                          << "Kvx32";
    QTest::newRow("own title") << "Open File Error"
                               << "Open File Error";
}

void TestQtPlatform::messageBoxTitles() {
    QFETCH(QString, title);
    QFETCH(QString, shown);
    test::ModalAnswerer answerer;
    QtPlatform platform;
    platform.messageBox(QStringLiteral("Project file: <b>x</b>\r\ndoes not exist"), 64, title);
    QCOMPARE(answerer.messages.size(), 1);
    QCOMPARE(answerer.messages.at(0).title, shown);
    QCOMPARE(answerer.messages.at(0).text,
             QStringLiteral("Project file: <b>x</b>\ndoes not exist"));
}

namespace {

// What a file dialog was set up with.
struct SeenDialog {
    QStringList filters;
    QString selectedFilter;
    QString folder;
    QString suffix;
    bool confirmsOverwrite = true;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
};

} // namespace

void TestQtPlatform::fileDialogSettings_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("selectedFilter");
    QTest::addColumn<bool>("confirmsOverwrite");
    QTest::addColumn<int>("mode");
    QTest::newRow("open an existing project")
        << false << int(DialogFlags::FileMustExist | DialogFlags::HideReadOnly) << 1 << "old.kvx"
        << "old.kvx"
        << "KVX project (*.kvx)" << true << int(QFileDialog::ExistingFile);
    QTest::newRow("save as asks before overwriting")
        << true << int(DialogFlags::OverwritePrompt) << 1 << "new"
        << "new.kvx"
        << "KVX project (*.kvx)" << true << int(QFileDialog::AnyFile);
    QTest::newRow("save without the overwrite flag")
        << true << 0 << 2 << "plain"
        << "plain.kvx"
        << "All files (*.*)" << false << int(QFileDialog::AnyFile);
}

void TestQtPlatform::fileDialogSettings() {
    QFETCH(bool, save);
    QFETCH(int, flags);
    QFETCH(int, filterIndex);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    QFETCH(QString, selectedFilter);
    QFETCH(bool, confirmsOverwrite);
    QFETCH(int, mode);
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("old.kvx")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();

    CommonDialog settings;
    settings.filter = QStringLiteral("KVX project (*.kvx)|*.kvx|All files|*.*");
    settings.filterIndex = filterIndex;
    settings.defaultExt = QStringLiteral("kvx");
    settings.flags = flags;
    settings.fileName = dir.filePath(QStringLiteral("old.kvx"));

    test::ModalAnswerer answerer;
    SeenDialog seen;
    answerer.onDialog = [&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        if (!files)
            return false;
        seen = {files->nameFilters(),
                files->selectedNameFilter(),
                files->directory().absolutePath(),
                files->defaultSuffix(),
                !files->testOption(QFileDialog::DontConfirmOverwrite),
                files->fileMode(),
                files->acceptMode()};
        files->selectFile(typed);
        dialog->accept();
        return true;
    };
    QtPlatform platform;
    const auto path = save ? platform.showSaveDialog(settings) : platform.showOpenDialog(settings);

    QVERIFY2(answerer.unexpected.isEmpty(), qPrintable(answerer.unexpected.join(u'\n')));
    QCOMPARE(path, std::optional<QString>(QDir(dir.path()).filePath(chosen)));
    QCOMPARE(seen.filters, (QStringList{"KVX project (*.kvx)", "All files (*.*)"}));
    QCOMPARE(seen.selectedFilter, selectedFilter);
    QCOMPARE(seen.folder, QDir(dir.path()).absolutePath());
    QCOMPARE(seen.suffix, QStringLiteral("kvx"));
    QCOMPARE(seen.acceptMode, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save)
        QCOMPARE(seen.confirmsOverwrite, confirmsOverwrite);
    QCOMPARE(int(seen.mode), mode);
}

void TestQtPlatform::cancelledFileDialogGivesNothing() {
    QTemporaryDir dir;
    CommonDialog settings;
    settings.filter = QStringLiteral("Text (*.txt)|*.txt");
    settings.initDir = dir.path();
    test::ModalAnswerer answerer;
    bool shown = false;
    answerer.onDialog = [&](QDialog* dialog) {
        shown = qobject_cast<QFileDialog*>(dialog) != nullptr;
        dialog->reject();
        return true;
    };
    QtPlatform platform;
    QCOMPARE(platform.showSaveDialog(settings), std::nullopt);
    QVERIFY(shown);
}

void TestQtPlatform::focusGoesToTheBoundWidget() {
    test::ModalAnswerer answerer;
    QtPlatform platform;
    Dispatcher dispatcher(platform);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new QLineEdit;
    auto* second = new QLineEdit;
    layout->addWidget(first);
    layout->addWidget(second);
    Binder binder(dispatcher);
    Control a(ControlKind::TextBox, QStringLiteral("txtRoomLength"));
    Control b(ControlKind::TextBox, QStringLiteral("txtRoomWidth"));
    int focused = 0;
    b.onGotFocus = [&] { ++focused; };
    binder.bind(a, first);
    binder.bind(b, second);
    platform.addBinder(&binder);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    first->setFocus();

    platform.setFocus(b);
    QVERIFY(second->hasFocus());
    QCOMPARE(focused, 1);
    // Moving the focus to where it is already runs nothing.
    platform.setFocus(b);
    QCOMPARE(focused, 1);
}

void TestQtPlatform::busyPointerEndsOnDefault() {
    QtPlatform platform;
    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    platform.setBusyPointer(true);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    platform.setBusyPointer(false);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void TestQtPlatform::screenSizeInTwips() {
    QtPlatform platform;
    const QScreen* screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    const QSizeF twips = platform.screenSizeTwips();
    QCOMPARE(twips.width(), screen->geometry().width() * 1440.0 / screen->logicalDotsPerInchX());
    QCOMPARE(twips.height(), screen->geometry().height() * 1440.0 / screen->logicalDotsPerInchY());
    QCOMPARE(twipsToPixelsX(twips.width()), screen->geometry().width());
}

QTEST_MAIN(TestQtPlatform)
#include "test_qt_platform.moc"
