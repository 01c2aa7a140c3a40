#pragma once

// The command line's Platform. Nothing waits for a person: every message box
// is printed to standard error as it comes ("TITLE: TEXT") and kept for the
// JSON output; questions are answered No; a file dialog gets the path that the
// command line gave for it, or is cancelled. There is no printer: the page
// width is the one given, else the default printer's (through the printing
// module), else the core's A4 page.

#include "core/base/platform.h"
#include "core/report/report_printer.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace kvx::cli {

class PrintSupport;

struct ShownMessage {
    QString title; // as shown: kDefaultMessageTitle for a box without one
    QString text;
    int style = 0;
};

class CliPlatform : public Platform {
public:
    MsgResult messageBox(const QString& text, int style, const QString& title) override;
    void setFocus(Control&) override {}
    std::optional<QString> showOpenDialog(const CommonDialog& dialog) override;
    std::optional<QString> showSaveDialog(const CommonDialog& dialog) override;
    void showPrinterSetup() override {}
    std::optional<double> printerPageWidth() override;
    std::unique_ptr<ReportPrinter> openPrinter() override { return nullptr; }
    std::unique_ptr<ReportPrinter> openPdf(const QString& path) override;
    void showAbout() override {}
    void showWorking() override {}
    void endProgram() override { m_ended = true; }
    QDate today() override;
    QSizeF screenSizeTwips() override;
    void setBusyPointer(bool) override {}

    // The answer of the next Open or Save As dialog; a dialog shown without
    // one is cancelled.
    void answerNextOpenDialog(const QString& path) { m_openAnswer = path; }
    void answerNextSaveDialog(const QString& path) { m_saveAnswer = path; }
    // The answer the command line gave beforehand to the next question (Yes
    // to replacing a project with --overwrite): it is neither printed nor
    // kept, as the user was not asked.
    // Gone once used.
    void answerNextQuestion(MsgResult answer) { m_questionAnswer = answer; }

    // Settings from the command line.
    void setToday(const QDate& date) { m_today = date; }
    void setPageWidth(std::optional<double> width) { m_pageWidth = width; }
    void setPrintSupport(PrintSupport* support) { m_print = support; }
    PrintSupport* printSupport() const { return m_print; }
    // False to keep the messages off standard error (they are still kept).
    void setEcho(bool echo) { m_echo = echo; }

    const QList<ShownMessage>& messages() const { return m_messages; }
    bool programEnded() const { return m_ended; }

    // A message as one line: "TITLE: TEXT", each line break (CR, LF or CR LF)
    // inside the text as a space.
    static QString messageLine(const ShownMessage& message);

private:
    QList<ShownMessage> m_messages;
    std::optional<QString> m_openAnswer;
    std::optional<QString> m_saveAnswer;
    std::optional<MsgResult> m_questionAnswer;
    std::optional<QDate> m_today;
    std::optional<double> m_pageWidth;
    PrintSupport* m_print = nullptr;
    bool m_echo = true;
    bool m_ended = false;
};

} // namespace kvx::cli
