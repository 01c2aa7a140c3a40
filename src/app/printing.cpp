#include "app/printing.h"

#include "core/report/report_content.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryFile>

#include <cmath>
#include <cstdio>

namespace kvx::app {

namespace {

// One character unit is 1/12 inch.
constexpr double kUnitsPerInch = 12;
constexpr int kZoneColumns = 14;
// Below this a position counts as on a column, not past it.
constexpr double kSlack = 1e-6;

std::unique_ptr<QPrinter>& sharedPrinterSlot() {
    static std::unique_ptr<QPrinter> printer;
    return printer;
}

bool hasPrinter() {
    return !QPrinterInfo::availablePrinters().isEmpty();
}

// The printer reports go to: made on first use from the default printer and
// kept for the run, so that the choices of the printer setup last.
QPrinter& sharedPrinter() {
    auto& slot = sharedPrinterSlot();
    if (!slot) {
        QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull() && hasPrinter())
            info = QPrinterInfo::availablePrinters().constFirst();
        slot = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        // A printer outliving the application would tear down without its platform.
        qAddPostRoutine([] { sharedPrinterSlot().reset(); });
    }
    return *slot;
}

double widthInUnits(const QPrinter& printer) {
    return printer.pageRect(QPrinter::Inch).width() * kUnitsPerInch;
}

// Draws report steps on the pages of a printer: columns are the current
// font's average character width, a statement is a line of the current
// font's height, and positions are measured from the printable area's corner.
class PageWriter {
public:
    PageWriter(QPainter& painter, QPrinter& printer)
        : m_painter(painter)
        , m_printer(printer)
        , m_font(painter.font())
        , m_pageHeight(printer.pageRect(QPrinter::DevicePixel).height()) {}

    // False when the printer could not start a further page.
    bool apply(const ReportStep& step) {
        switch (step.kind) {
        case ReportStep::Kind::Statement:
            return print(step.statement);
        case ReportStep::Kind::FontSize:
            m_font.setPointSizeF(step.size);
            break;
        case ReportStep::Kind::FontName:
            m_font.setFamily(step.face);
            break;
        case ReportStep::Kind::Bold:
            m_font.setBold(step.on);
            break;
        case ReportStep::Kind::Italic:
            m_font.setItalic(step.on);
            break;
        }
        m_painter.setFont(m_font);
        return true;
    }

private:
    bool print(const ReportStatement& statement) {
        const QFontMetricsF metrics(m_font, &m_printer);
        const double column = metrics.averageCharWidth();
        const double zone = kZoneColumns * column;
        bool ok = makeRoom(metrics.height());
        for (const ReportItem& item : statement) {
            switch (item.kind) {
            case ReportItem::Kind::Zone:
                m_x = (std::floor(m_x / zone + kSlack) + 1) * zone;
                break;
            case ReportItem::Kind::Tab: {
                const double target = (std::max(item.column, 1) - 1) * column;
                if (m_x > target + kSlack * column) {
                    m_y += metrics.height();
                    ok = makeRoom(metrics.height()) && ok;
                }
                m_x = target;
                break;
            }
            case ReportItem::Kind::Text:
                m_painter.drawText(QPointF(m_x, m_y + metrics.ascent()), item.text);
                m_x += metrics.horizontalAdvance(item.text);
                break;
            }
        }
        m_x = 0;
        m_y += metrics.height();
        return ok;
    }

    // Starts a new page when a line of this height no longer fits.
    bool makeRoom(double lineHeight) {
        if (m_y == 0 || m_y + lineHeight <= m_pageHeight)
            return true;
        m_y = 0;
        return m_printer.newPage();
    }

    QPainter& m_painter;
    QPrinter& m_printer;
    QFont m_font;
    double m_pageHeight;
    double m_x = 0;
    double m_y = 0;
};

bool play(QPainter& painter, QPrinter& printer, const QList<ReportStep>& steps) {
    PageWriter writer(painter, printer);
    bool ok = true;
    for (const ReportStep& step : steps)
        ok = writer.apply(step) && ok;
    return ok;
}

bool draw(QPrinter& printer, const QList<ReportStep>& steps) {
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const bool ok = play(painter, printer, steps);
    return painter.end() && ok && printer.printerState() != QPrinter::Error;
}

// A report on a printer. The steps are collected and drawn in one go when the
// document ends, so a report that stops halfway never reaches the printer.
class PrinterReport : public ReportPrinter {
public:
    explicit PrinterReport(QPrinter& printer)
        : m_printer(printer) {}

    double pageWidth() const override { return widthInUnits(m_printer); }
    void setFontSize(double points) override { add(ReportStep::Kind::FontSize).size = points; }
    void setFontName(const QString& face) override { add(ReportStep::Kind::FontName).face = face; }
    void setBold(bool on) override { add(ReportStep::Kind::Bold).on = on; }
    void setItalic(bool on) override { add(ReportStep::Kind::Italic).on = on; }
    void print(const ReportStatement& statement) override {
        add(ReportStep::Kind::Statement).statement = statement;
    }
    bool endDocument() override { return draw(m_printer, m_steps); }
    const QList<ReportStep>& steps() const { return m_steps; }

private:
    ReportStep& add(ReportStep::Kind kind) {
        m_steps.append(ReportStep{});
        m_steps.last().kind = kind;
        return m_steps.last();
    }

    QPrinter& m_printer;
    QList<ReportStep> m_steps;
};

// A report as a PDF file on an A4 page with the printer's default margins.
// It is drawn into a temporary file beside the target and renamed over it
// when complete, so a failed export leaves neither a half file nor a damaged
// older one.
class PdfReport : public ReportPrinter {
public:
    explicit PdfReport(const QString& path)
        : m_path(path)
        , m_temporary(path + QStringLiteral(".XXXXXX"))
        , m_printer(QPrinter::HighResolution)
        , m_report(m_printer) {
        setUpPdf(m_printer, path);
    }

    // Creates the temporary file; false when the folder cannot take it.
    bool open() {
        if (!m_temporary.open())
            return false;
        m_temporary.close();
        m_printer.setOutputFileName(m_temporary.fileName());
        return true;
    }

    double pageWidth() const override { return m_report.pageWidth(); }
    void setFontSize(double points) override { m_report.setFontSize(points); }
    void setFontName(const QString& face) override { m_report.setFontName(face); }
    void setBold(bool on) override { m_report.setBold(on); }
    void setItalic(bool on) override { m_report.setItalic(on); }
    void print(const ReportStatement& statement) override { m_report.print(statement); }

    bool endDocument() override {
        if (!m_report.endDocument())
            return false;
        // A temporary file is private to its owner; the PDF is an ordinary file.
        m_temporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                   QFileDevice::ReadGroup | QFileDevice::ReadOther);
        // rename() replaces an existing file in one step.
        if (std::rename(QFile::encodeName(m_temporary.fileName()).constData(),
                        QFile::encodeName(m_path).constData()) != 0)
            return false;
        m_temporary.setAutoRemove(false);
        return true;
    }

private:
    QString m_path;
    QTemporaryFile m_temporary;
    QPrinter m_printer;
    PrinterReport m_report;
};

} // namespace

std::optional<double> printerPageWidth() {
    if (!hasPrinter())
        return std::nullopt;
    return widthInUnits(sharedPrinter());
}

QPageSize printerPaper() {
    if (!hasPrinter())
        return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem
                             ? QPageSize::Letter
                             : QPageSize::A4);
    return sharedPrinter().pageLayout().pageSize();
}

std::unique_ptr<ReportPrinter> openPrinter() {
    if (!hasPrinter())
        return nullptr;
    return std::make_unique<PrinterReport>(sharedPrinter());
}

void setUpPdf(QPrinter& printer, const QString& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QFileInfo(path).completeBaseName());
}

bool drawReport(QPainter& painter, QPrinter& printer,
                const std::function<void(ReportPrinter&)>& write) {
    PrinterReport report(printer);
    write(report);
    painter.save();
    const bool ok = play(painter, printer, report.steps());
    painter.restore();
    return ok;
}

std::unique_ptr<ReportPrinter> openPdf(const QString& path) {
    auto report = std::make_unique<PdfReport>(path);
    if (!report->open())
        return nullptr;
    return report;
}

void showPrinterSetup(QWidget* parent) {
    const QString title = QStringLiteral("Printer Setup");
    if (!hasPrinter()) {
        QMessageBox::information(parent, title,
                                 QStringLiteral("No printer is installed. The report can be "
                                                "saved as a PDF file instead."));
        return;
    }
    // The print dialog without its print-run options: the printer, its
    // properties and the page; what is chosen applies to later reports.
    QPrintDialog dialog(&sharedPrinter(), parent);
    dialog.setWindowTitle(title);
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    }
    dialog.exec();
}

} // namespace kvx::app
