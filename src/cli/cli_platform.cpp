#include "cli/cli_platform.h"

#include "cli/console.h"
#include "cli/print_support.h"
#include "core/report/report_printer.h"

#include <utility>

namespace kvx::cli {

namespace {

// A document whose page width is the one the command line fixed; everything
// else goes to the document underneath.
class FixedWidthPrinter : public ReportPrinter {
public:
    FixedWidthPrinter(std::unique_ptr<ReportPrinter> inner, double width)
        : m_inner(std::move(inner))
        , m_width(width) {}

    double pageWidth() const override { return m_width; }
    void setFontSize(double points) override { m_inner->setFontSize(points); }
    void setFontName(const QString& face) override { m_inner->setFontName(face); }
    void setBold(bool on) override { m_inner->setBold(on); }
    void setItalic(bool on) override { m_inner->setItalic(on); }
    void print(const ReportStatement& statement) override { m_inner->print(statement); }
    bool endDocument() override { return m_inner->endDocument(); }

private:
    std::unique_ptr<ReportPrinter> m_inner;
    double m_width;
};

// 1920 by 1080 pixels at 96 dots per inch.
constexpr double kScreenWidthTwips = 1920 * 15;
constexpr double kScreenHeightTwips = 1080 * 15;

} // namespace

MsgResult CliPlatform::messageBox(const QString& text, int style, const QString& title) {
    const int buttons = style & 0x0f;
    const bool question = buttons == (MsgStyle::YesNoCancelQuestion & 0x0f) ||
                          buttons == (MsgStyle::YesNoQuestion & 0x0f);
    if (question && m_questionAnswer)
        return *std::exchange(m_questionAnswer, std::nullopt);
    const ShownMessage message{title.isEmpty() ? kDefaultMessageTitle : title, text, style};
    m_messages.append(message);
    if (m_echo) {
        writeErr(messageLine(message) + u'\n');
    }
    // Nobody is there to agree: a question is answered No, anything else OK.
    // The low bits give the buttons (3 Yes/No/Cancel, 4 Yes/No).
    switch (style & 0x0f) {
    case MsgStyle::YesNoCancelQuestion & 0x0f:
    case MsgStyle::YesNoQuestion & 0x0f:
        return MsgResult::No;
    default:
        return MsgResult::Ok;
    }
}

std::optional<QString> CliPlatform::showOpenDialog(const CommonDialog&) {
    return std::exchange(m_openAnswer, std::nullopt);
}

std::optional<QString> CliPlatform::showSaveDialog(const CommonDialog&) {
    return std::exchange(m_saveAnswer, std::nullopt);
}

std::optional<double> CliPlatform::printerPageWidth() {
    if (m_pageWidth)
        return m_pageWidth;
    return m_print ? m_print->printerPageWidth() : std::nullopt;
}

std::unique_ptr<ReportPrinter> CliPlatform::openPdf(const QString& path) {
    if (!m_print)
        return nullptr;
    std::unique_ptr<ReportPrinter> pdf = m_print->openPdf(path);
    if (pdf && m_pageWidth)
        return std::make_unique<FixedWidthPrinter>(std::move(pdf), *m_pageWidth);
    return pdf;
}

QDate CliPlatform::today() {
    return m_today.value_or(QDate::currentDate());
}

QSizeF CliPlatform::screenSizeTwips() {
    return {kScreenWidthTwips, kScreenHeightTwips};
}

QString CliPlatform::messageLine(const ShownMessage& message) {
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return message.title + QStringLiteral(": ") + text;
}

} // namespace kvx::cli
