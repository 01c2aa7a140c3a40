#pragma once

// Everything the core needs from the world outside: dialogs, focus, printer,
// the end of the program, date, screen and number locale. The desktop program
// implements it with Qt; the tests with a scripted fake; the command line
// answers without asking.

#include "core/base/common_dialog.h"
#include "core/base/message.h"

#include <QDate>
#include <QLocale>
#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>

namespace kvx {

class Control;
class ReportPrinter;

class Platform {
public:
    virtual ~Platform() = default;

    // A modal message box; an empty title shows kDefaultMessageTitle.
    virtual MsgResult messageBox(const QString& text, int style, const QString& title = {}) = 0;

    // Moves the input focus to a control of the window shown.
    virtual void setFocus(Control& control) = 0;

    // The common dialog as Open or Save As: the chosen path, or nothing when
    // the user cancelled.
    virtual std::optional<QString> showOpenDialog(const CommonDialog& dialog) = 0;
    virtual std::optional<QString> showSaveDialog(const CommonDialog& dialog) = 0;
    // The printer and page setup; the choices apply to later reports.
    virtual void showPrinterSetup() = 0;

    // The current printer's printable width in character units (1/12 inch),
    // or nothing when there is no printer.
    virtual std::optional<double> printerPageWidth() = 0;
    // A document on the current printer, or nullptr when there is none.
    virtual std::unique_ptr<ReportPrinter> openPrinter() = 0;
    // A document written as a PDF file, or nullptr when it cannot be created.
    virtual std::unique_ptr<ReportPrinter> openPdf(const QString& path) = 0;

    // The information windows, shown modal.
    virtual void showAbout() = 0;
    virtual void showWorking() = 0;

    // The language window, for the language of later starts: the language
    // offset chosen, or nothing when the user cancelled. Without a screen
    // nobody is asked.
    virtual std::optional<int> chooseLanguage(int currentOffset) {
        (void)currentOffset;
        return std::nullopt;
    }

    // Ends the program: every window goes, without a further question. The
    // caller then throws ProgramEnded to leave its handler.
    virtual void endProgram() = 0;

    virtual QDate today() = 0;
    // Screen size in twips (1/1440 inch).
    virtual QSizeF screenSizeTwips() = 0;
    // Screen-wide mouse pointer: the hourglass while busy, else the default.
    virtual void setBusyPointer(bool busy) = 0;
};

// Shows the messages in order, as message boxes.
inline void showMessages(Platform& platform, const Messages& messages) {
    for (const Message& message : messages)
        platform.messageBox(message.text, message.style, message.title);
}

} // namespace kvx
