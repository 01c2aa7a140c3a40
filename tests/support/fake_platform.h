#pragma once

// A scripted Platform for tests: records every message box, focus move and
// dialog, answers from a script, and fails the test (UnexpectedDialog) instead
// of blocking when a question or a file dialog comes that the test did not
// script. Message boxes with only an OK button are answered OK and recorded.

#include "core/base/platform.h"
#include "core/report/report_printer.h"
#include "core/ui/control.h"

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

// Records what a report sends to it on page.
class RecordingPrinter : public ReportPrinter {
public:
    RecordingPrinter(PrintedPage& page, double width)
        : m_page(page)
        , m_width(width) {}
    double pageWidth() const override { return m_width; }
    void setFontSize(double points) override {
        m_page.fontLog << QStringLiteral("size %1").arg(points);
    }
    void setFontName(const QString& face) override { m_page.fontLog << "face " + face; }
    void setBold(bool on) override { m_page.fontLog << (on ? "bold on" : "bold off"); }
    void setItalic(bool on) override { m_page.fontLog << (on ? "italic on" : "italic off"); }
    void print(const ReportStatement& statement) override {
        m_page.statements.append(statement);
        m_page.fontLog << QStringLiteral("line %1").arg(m_page.statements.size());
    }
    bool endDocument() override {
        m_page.ended = true;
        return true;
    }

private:
    PrintedPage& m_page;
    double m_width;
};

class FakePlatform : public Platform {
public:
    MsgResult messageBox(const QString& text, int style, const QString& title) override {
        const RecordedMessage message{text, style, title};
        messages.append(message);
        if (onMessage)
            onMessage(message);
        if ((style & 7) == 0)
            return MsgResult::Ok;
        if (answers.isEmpty())
            throw UnexpectedDialog("unscripted question: " + text.toStdString());
        return answers.takeFirst();
    }
    void setFocus(Control& control) override { focusMoves.append(control.name()); }
    std::optional<QString> showOpenDialog(const CommonDialog& dialog) override {
        return answer(dialog, openAnswers, "unscripted Open dialog");
    }
    std::optional<QString> showSaveDialog(const CommonDialog& dialog) override {
        return answer(dialog, saveAnswers, "unscripted Save As dialog");
    }
    void showPrinterSetup() override { ++printerSetupShown; }
    std::optional<double> printerPageWidth() override { return pageWidth; }
    std::unique_ptr<ReportPrinter> openPrinter() override {
        if (!hasPrinter || !pageWidth)
            return nullptr;
        pages.append(PrintedPage{});
        return std::make_unique<RecordingPrinter>(pages.last(), *pageWidth);
    }
    std::unique_ptr<ReportPrinter> openPdf(const QString& path) override {
        pdfPaths.append(path);
        pages.append(PrintedPage{});
        return std::make_unique<RecordingPrinter>(pages.last(), pageWidth.value_or(96.0));
    }
    void showAbout() override {
        ++aboutShown;
        if (onAbout)
            onAbout();
    }
    void showWorking() override {
        ++workingShown;
        if (onWorking)
            onWorking();
    }
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
    QStringList messageTitles() const {
        QStringList titles;
        for (const auto& m : messages)
            titles << m.title;
        return titles;
    }
    void clear() {
        messages.clear();
        focusMoves.clear();
        dialogsShown.clear();
        pointerLog.clear();
        pages.clear();
    }

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

private:
    std::optional<QString> answer(const CommonDialog& dialog, QList<std::optional<QString>>& script,
                                  const char* unscripted) {
        dialogsShown.append(dialog);
        if (script.isEmpty())
            throw UnexpectedDialog(unscripted);
        return script.takeFirst();
    }
};

} // namespace kvx::test
