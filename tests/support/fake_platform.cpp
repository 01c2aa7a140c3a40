#include "support/fake_platform.h"

#include "core/ui/control.h"

namespace kvx::test {

namespace {

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

} // namespace

MsgResult FakePlatform::messageBox(const QString& text, int style, const QString& title) {
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

void FakePlatform::setFocus(Control& control) {
    focusMoves.append(control.name());
}

std::optional<QString> FakePlatform::showOpenDialog(const CommonDialog& dialog) {
    dialogsShown.append(dialog);
    if (openAnswers.isEmpty())
        throw UnexpectedDialog("unscripted Open dialog");
    return openAnswers.takeFirst();
}

std::optional<QString> FakePlatform::showSaveDialog(const CommonDialog& dialog) {
    dialogsShown.append(dialog);
    if (saveAnswers.isEmpty())
        throw UnexpectedDialog("unscripted Save As dialog");
    return saveAnswers.takeFirst();
}

std::unique_ptr<ReportPrinter> FakePlatform::openPrinter() {
    if (!hasPrinter || !pageWidth)
        return nullptr;
    pages.append(PrintedPage{});
    return std::make_unique<RecordingPrinter>(pages.last(), *pageWidth);
}

std::unique_ptr<ReportPrinter> FakePlatform::openPdf(const QString& path) {
    pdfPaths.append(path);
    pages.append(PrintedPage{});
    return std::make_unique<RecordingPrinter>(pages.last(), pageWidth.value_or(96.0));
}

void FakePlatform::showAbout() {
    ++aboutShown;
    if (onAbout)
        onAbout();
}

void FakePlatform::showWorking() {
    ++workingShown;
    if (onWorking)
        onWorking();
}

QStringList FakePlatform::messageTitles() const {
    QStringList titles;
    for (const auto& m : messages)
        titles << m.title;
    return titles;
}

void FakePlatform::clear() {
    messages.clear();
    focusMoves.clear();
    dialogsShown.clear();
    pointerLog.clear();
    pages.clear();
}

} // namespace kvx::test
