#pragma once

// The Platform of the desktop program: Qt message boxes and file dialogs, the
// focus of the bound widgets, the printer functions of printing.h, the About
// and Working windows, the end of the program, the date, the screen and the
// busy pointer.

#include "core/base/platform.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>

class QWidget;

namespace kvx {
class Kvx1;
}

namespace kvx::app {

class Binder;
class Dispatcher;
class MainWindowView;
class Printing;

// Message box style numbers: buttons (style % 16), icon (style & 0x70) and
// the default button (style & 0x300).
QMessageBox::StandardButtons messageButtons(int style);
QMessageBox::Icon messageIcon(int style);
QMessageBox::StandardButton messageDefaultButton(int style);
MsgResult messageResult(QMessageBox::StandardButton button);
// Line breaks written as CR, LF or CR LF become one line break each.
QString messageText(const QString& text);

// "A (*.x)|*.x|B|*.*" becomes {"A (*.x)", "B (*.*)"}: the patterns of a pair
// stand in brackets after its description unless they already do.
QStringList nameFilters(const QString& filter);
// The patterns as given and in lower and upper case ("*.kvx *.KVX").
QString caseBlindPatterns(const QString& patterns);
// path with ".ext" added when its file name has no extension (ext may be
// given with or without its dot; an empty ext adds nothing).
QString withDefaultExtension(const QString& path, const QString& ext);
// The dialog's start folder: initDir, else the folder of fileName.
QString startFolder(const CommonDialog& dialog);

class QtPlatform : public Platform {
public:
    QtPlatform() = default;

    MsgResult messageBox(const QString& text, int style, const QString& title = {}) override;
    void setFocus(Control& control) override;
    std::optional<QString> showOpenDialog(const CommonDialog& dialog) override;
    std::optional<QString> showSaveDialog(const CommonDialog& dialog) override;
    void showPrinterSetup() override;
    std::optional<double> printerPageWidth() override;
    std::unique_ptr<ReportPrinter> openPrinter() override;
    std::unique_ptr<ReportPrinter> openPdf(const QString& path) override;
    void showAbout() override;
    void showWorking() override;
    std::optional<int> chooseLanguage(int currentOffset) override;
    void endProgram() override;
    QDate today() override;
    QSizeF screenSizeTwips() override;
    void setBusyPointer(bool busy) override;

    // Wiring by the program: the state the information windows are built
    // from, the dispatcher their buttons go through, the windows whose
    // controls can take the focus.
    void setState(Kvx1* kvx, Dispatcher* dispatcher);
    void setMainWindow(MainWindowView* window);
    void addBinder(Binder* binder);

    // True once endProgram has run.
    bool ended() const { return m_ended; }

private:
    QWidget* dialogParent() const;
    // The printing code, or nothing after the reason has been shown.
    Printing* printingOrSay();
    std::optional<QString> runFileDialog(const CommonDialog& dialog, bool save);

    Kvx1* m_kvx = nullptr;
    Dispatcher* m_dispatcher = nullptr;
    QPointer<MainWindowView> m_mainWindow;
    QList<QPointer<Binder>> m_binders;
    bool m_ended = false;
};

} // namespace kvx::app
