#include "app/qt_platform.h"

#include "app/building_window.h"

#include "app/binding.h"
#include "app/dispatcher.h"
#include "app/info_views.h"
#include "app/lang_select_view.h"
#include "app/main_window_view.h"
#include "app/print_module.h"
#include "app/twips.h"
#include "core/report/report_printer.h"
#include "core/shell/lang_select.h"
#include "core/ui/kvx1.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>

namespace kvx::app {

namespace {

constexpr int kButtonsMask = 0x0f;
constexpr int kIconMask = 0x70;
constexpr int kDefaultMask = 0x300;

// The buttons of a style in the order they are shown, for the default button.
QList<QMessageBox::StandardButton> buttonOrder(int style) {
    switch (style & kButtonsMask) {
    case 1:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case 2:
        return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case 3:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case 4:
        return {QMessageBox::Yes, QMessageBox::No};
    case 5:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
        return {QMessageBox::Ok};
    }
}

// Gives the activation back to the window that had it when a modal window
// opened, as a window manager does when the modal one closes; without one
// (or on a platform that does not do it) the keyboard would go nowhere.
class KeepActiveWindow {
public:
    KeepActiveWindow()
        : m_window(QApplication::activeWindow()) {}
    ~KeepActiveWindow() {
        if (m_window && m_window->isVisible() && !QApplication::activeWindow())
            m_window->activateWindow();
    }
    KeepActiveWindow(const KeepActiveWindow&) = delete;
    KeepActiveWindow& operator=(const KeepActiveWindow&) = delete;

private:
    QPointer<QWidget> m_window;
};

} // namespace

QMessageBox::StandardButtons messageButtons(int style) {
    QMessageBox::StandardButtons buttons;
    for (QMessageBox::StandardButton button : buttonOrder(style))
        buttons |= button;
    return buttons;
}

QMessageBox::Icon messageIcon(int style) {
    switch (style & kIconMask) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButton messageDefaultButton(int style) {
    const auto order = buttonOrder(style);
    const qsizetype index = (style & kDefaultMask) >> 8;
    return index < order.size() ? order.at(index) : order.first();
}

MsgResult messageResult(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        return MsgResult::Cancel;
    }
}

QString messageText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

QString caseBlindPatterns(const QString& patterns) {
    QStringList all;
    for (const QString& pattern : patterns.split(u' ', Qt::SkipEmptyParts)) {
        for (const QString& spelling : {pattern, pattern.toLower(), pattern.toUpper()}) {
            if (!all.contains(spelling))
                all << spelling;
        }
    }
    return all.join(u' ');
}

QStringList nameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        // Qt separates the patterns of one filter with blanks. File names are
        // case-sensitive here: "HALL.KVX" and "hall.kvx" are both projects.
        const QString given = parts.at(i + 1).split(u';', Qt::SkipEmptyParts).join(u' ');
        const QString patterns = caseBlindPatterns(given);
        // A description that shows its own patterns shows them all.
        const QString shown = u'(' + given + u')';
        if (description.endsWith(shown))
            description = description.chopped(shown.size()).trimmed();
        filters.append(description + QStringLiteral(" (") + patterns + u')');
    }
    if (parts.size() % 2 == 1 && !parts.last().trimmed().isEmpty()) {
        // A description alone ("Text File (*.txt)"): its patterns are the filter.
        QString alone = parts.last().trimmed();
        const qsizetype open = alone.lastIndexOf(u'(');
        if (open >= 0 && alone.endsWith(u')'))
            alone = alone.left(open).trimmed() + QStringLiteral(" (") +
                    caseBlindPatterns(alone.mid(open + 1, alone.size() - open - 2)) + u')';
        filters.append(alone);
    }
    return filters;
}

QString withDefaultExtension(const QString& path, const QString& ext) {
    QString suffix = ext;
    while (suffix.startsWith(u'.'))
        suffix.remove(0, 1);
    if (suffix.isEmpty() || path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + u'.' + suffix;
}

QString startFolder(const CommonDialog& dialog) {
    if (!dialog.initDir.isEmpty())
        return dialog.initDir;
    if (!dialog.fileName.isEmpty()) {
        const QFileInfo file(dialog.fileName);
        if (file.isAbsolute() || dialog.fileName.contains(QDir::separator()))
            return file.absolutePath();
    }
    return {};
}

void QtPlatform::setState(Kvx1* kvx, Dispatcher* dispatcher) {
    m_kvx = kvx;
    m_dispatcher = dispatcher;
}

void QtPlatform::setMainWindow(MainWindowView* window) {
    m_mainWindow = window;
    if (window)
        addBinder(&window->binder());
}

void QtPlatform::addBinder(Binder* binder) {
    m_binders.removeAll(nullptr);
    m_binders.append(binder);
}

QWidget* QtPlatform::dialogParent() const {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return m_mainWindow && m_mainWindow->isVisible() ? m_mainWindow.data() : nullptr;
}

MsgResult QtPlatform::messageBox(const QString& text, int style, const QString& title) {
    const KeepActiveWindow keep;
    QMessageBox box(dialogParent());
    box.setObjectName(QStringLiteral("kvxMessage"));
    box.setWindowTitle(literalWindowTitle(title.isEmpty() ? kDefaultMessageTitle : title));
    box.setTextFormat(Qt::PlainText);
    box.setText(messageText(text));
    box.setIcon(messageIcon(style));
    box.setStandardButtons(messageButtons(style));
    box.setDefaultButton(messageDefaultButton(style));
    box.exec();
    return messageResult(box.standardButton(box.clickedButton()));
}

void QtPlatform::setFocus(Control& control) {
    for (const QPointer<Binder>& binder : std::as_const(m_binders)) {
        if (!binder)
            continue;
        if (QWidget* widget = binder->widget(control)) {
            // Focus on a control takes its window to the front as well.
            QWidget* window = widget->window();
            if (window->isVisible() && !window->isActiveWindow())
                window->activateWindow();
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

std::optional<QString> QtPlatform::runFileDialog(const CommonDialog& settings, bool save) {
    const KeepActiveWindow keep;
    QFileDialog dialog(dialogParent());
    dialog.setObjectName(QStringLiteral("kvxFileDialog"));
    if (!settings.title.isEmpty())
        dialog.setWindowTitle(settings.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    const bool mustExist = settings.flags & DialogFlags::FileMustExist;
    dialog.setFileMode(!save && mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (save && !(settings.flags & DialogFlags::OverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);

    const QStringList filters = nameFilters(settings.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = settings.filterIndex - 1;
        dialog.selectNameFilter(filters.value(index >= 0 && index < filters.size() ? index : 0));
    }
    QString ext = settings.defaultExt;
    while (ext.startsWith(u'.'))
        ext.remove(0, 1);
    dialog.setDefaultSuffix(ext);

    const QString folder = startFolder(settings);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    if (!settings.fileName.isEmpty())
        dialog.selectFile(QFileInfo(settings.fileName).fileName());

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen =
        QDir::toNativeSeparators(withDefaultExtension(dialog.selectedFiles().constFirst(), ext));
    return chosen;
}

std::optional<QString> QtPlatform::showOpenDialog(const CommonDialog& dialog) {
    return runFileDialog(dialog, false);
}

std::optional<QString> QtPlatform::showSaveDialog(const CommonDialog& dialog) {
    return runFileDialog(dialog, true);
}

Printing* QtPlatform::printingOrSay() {
    QString whyNot;
    Printing* found = printing(&whyNot);
    if (!found)
        messageBox(whyNot, MsgStyle::Critical, QString());
    return found;
}

void QtPlatform::showPrinterSetup() {
    const KeepActiveWindow keep;
    if (Printing* found = printingOrSay())
        found->showPrinterSetup(dialogParent());
}

std::optional<double> QtPlatform::printerPageWidth() {
    // Only a width: without the module the report takes the page's default.
    Printing* found = printing(nullptr);
    return found ? found->printerPageWidth() : std::nullopt;
}

std::unique_ptr<ReportPrinter> QtPlatform::openPrinter() {
    Printing* found = printingOrSay();
    return found ? found->openPrinter() : nullptr;
}

std::unique_ptr<ReportPrinter> QtPlatform::openPdf(const QString& path) {
    Printing* found = printingOrSay();
    return found ? found->openPdf(path) : nullptr;
}

void QtPlatform::showAbout() {
    const KeepActiveWindow keep;
    if (m_kvx && m_dispatcher)
        showAboutWindow(*m_kvx, *m_dispatcher, dialogParent());
}

void QtPlatform::showWorking() {
    const KeepActiveWindow keep;
    if (m_kvx && m_dispatcher)
        showWorkingWindow(*m_kvx, *m_dispatcher, dialogParent());
}

std::optional<int> QtPlatform::chooseLanguage(int currentOffset) {
    if (!m_kvx || !m_dispatcher)
        return std::nullopt;
    const KeepActiveWindow keep;
    LangSelect model(*m_kvx);
    model.select(LangSelect::optionOf(currentOffset));
    LangSelectView window(model, *m_dispatcher, dialogParent());
    bool chosen = false;
    QObject::connect(&window, &LangSelectView::okPressed, &window, [&] {
        chosen = true;
        window.accept();
    });
    // The window's OK stores the language and sets it, as at a first start;
    // the running program keeps its texts until the next start.
    const int inUse = m_kvx->LanguageOffset;
    window.exec();
    m_kvx->LanguageOffset = inUse;
    const int option = model.selectedIndex();
    if (!chosen || option < 0)
        return std::nullopt;
    return LangSelect::offsetOf(option);
}

void QtPlatform::endProgram() {
    if (m_ended)
        return;
    m_ended = true;
    setBusyPointer(false);
    if (m_mainWindow)
        m_mainWindow->setEnding();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* building = qobject_cast<BuildingWindow*>(window))
            building->setEnding();
    }
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

QDate QtPlatform::today() {
    return QDate::currentDate();
}

QSizeF QtPlatform::screenSizeTwips() {
    return app::screenSizeTwips();
}

void QtPlatform::setBusyPointer(bool busy) {
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    // The default pointer, whatever was set before.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

} // namespace kvx::app
