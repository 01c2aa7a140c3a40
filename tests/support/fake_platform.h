#pragma once

// A scripted Platform for tests: records every message box, focus move and
// dialog, answers from a script, and fails the test (UnexpectedDialog) instead
// of blocking when a question or a file dialog comes that the test did not
// script. Message boxes with only an OK button are answered OK and recorded.

#include "core/base/platform.h"
#include "core/report/report_printer.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <stdexcept>

namespace kvx::test {

struct UnexpectedDialog : std::logic_error {
    using std::logic_error::logic_error;
};

struct RecordedMessage {
    QString text;
    int style = 0;
    QString title;
};

// A printer that records what the report sent to it.
struct PrintedPage {
    QList<ReportStatement> statements;
    QStringList fontLog; // "size 16", "bold on", "face Arial", ... in order
    bool ended = false;
};

class FakePlatform : public Platform {
public:
    MsgResult messageBox(const QString& text, int style, const QString& title) override;
    void setFocus(Control& control) override;
    std::optional<QString> showOpenDialog(const CommonDialog& dialog) override;
    std::optional<QString> showSaveDialog(const CommonDialog& dialog) override;
    void showPrinterSetup() override { ++printerSetupShown; }
    std::optional<double> printerPageWidth() override { return pageWidth; }
    std::unique_ptr<ReportPrinter> openPrinter() override;
    std::unique_ptr<ReportPrinter> openPdf(const QString& path) override;
    void showAbout() override;
    void showWorking() override;
    std::optional<int> chooseLanguage(int currentOffset) override {
        languageAsked << currentOffset;
        return languageAnswer;
    }
    void endProgram() override { ended = true; }
    QDate today() override { return date; }
    QSizeF screenSizeTwips() override { return screen; }
    void setBusyPointer(bool busy) override { pointerLog.append(busy); }

    // Runs a command that first asks whether to save a modified project:
    // answered No, and the question left out of the record, for tests that
    // look at what comes after it.
    void withoutSaving(bool modified, const std::function<void()>& command) {
        const qsizetype before = messages.size();
        if (modified)
            answers << MsgResult::No;
        command();
        if (modified && messages.size() > before)
            messages.removeAt(before);
    }

    // Titles and texts of the recorded messages, for compact comparisons.
    QStringList messageTitles() const;
    void clear();

    // Script: answers to questions (style 35) and file dialogs, used in order;
    // nullopt in a dialog answer stands for Cancel.
    QList<MsgResult> answers;
    QList<std::optional<QString>> openAnswers;
    QList<std::optional<QString>> saveAnswers;
    std::optional<int> languageAnswer; // the language window's choice; nothing: cancelled
    // Called at each message box, before it is answered.
    std::function<void(const RecordedMessage&)> onMessage;
    std::function<void()> onAbout;
    std::function<void()> onWorking;

    // Record.
    QList<RecordedMessage> messages;
    QStringList focusMoves; // control names
    QList<CommonDialog> dialogsShown;
    QList<bool> pointerLog;
    QList<int> languageAsked; // the offset in use each time the language window opened
    int printerSetupShown = 0;
    int aboutShown = 0;
    int workingShown = 0;
    bool ended = false;
    QList<PrintedPage> pages; // one per opened printer document
    QStringList pdfPaths;

    // Settings.
    std::optional<double> pageWidth = 96.0; // an A4 page's printable width, roughly
    bool hasPrinter = true;
    QDate date{2026, 12, 6};
    QSizeF screen{19200, 15360}; // 1280 x 1024 pixels at 96 dpi
};

} // namespace kvx::test
