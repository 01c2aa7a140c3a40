// The report drawn with QPainter into a PDF file: one whole page when it ends,
// nothing at all when it does not; the same from the module the program loads.
#include "app/print_module.h"
#include "app/printing.h"
#include "core/base/kvx_error.h"
#include "core/ui/main_window/report_commands.h"
#include "support/compare.h"
#include "support/files.h"

#include <QDir>
#include <QLibrary>
#include <QRegularExpression>
#include <QTest>

using namespace kvx;

class TestPrinting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_window = std::make_unique<test::Harness>();
        // The total power needs both numbers; the other fields may stay blank.
        m_window->w->txtDescription.setText(QStringLiteral("Conference room, ground floor"));
        m_window->w->lblNrofSpeakers.setText(QStringLiteral("12"));
        m_window->w->lblPower.setText(QStringLiteral("6"));
    }
    void pdfIsOnePageWithTheReportFonts() {
        auto pdf = app::openPdf(m_window->path(QStringLiteral("hall.pdf")));
        QVERIFY(pdf);
        KVX_COMPARE_NEAR(pdf->pageWidth(), kA4PageWidth, 1e-3); // as wide as the text report's
        printReport(*m_window->w, *pdf);
        QVERIFY(pdf->endDocument());
        pdf.reset();

        const QString text = QString::fromLatin1(read(QStringLiteral("hall.pdf")));
        QVERIFY(text.startsWith(QLatin1String("%PDF-")));
        QCOMPARE(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 1);
        // "Arial" comes as its metric twin, in plain, bold (description) and italic (headings).
        for (const char* face :
             {"LiberationSans", "LiberationSans-Bold", "LiberationSans-Italic"}) {
            const QString font = QStringLiteral("/BaseFont\\s*/(\\w+\\+)?%1(?![-\\w])").arg(face);
            QVERIFY2(text.contains(QRegularExpression(font)), face);
        }
        QCOMPARE(files(), QStringList{"hall.pdf"});
    }
    void failedPdfLeavesNoFile() {
        QVERIFY(!app::openPdf(m_window->path(QStringLiteral("missing/hall.pdf"))));
        // A document dropped before its end, and a report that stops on an error:
        // the older file stays as it was.
        const QString older = m_window->path(QStringLiteral("hall.pdf"));
        QVERIFY(test::writeBytes(older, "%PDF-older"));
        auto pdf = app::openPdf(older);
        QVERIFY(pdf);
        pdf->print({ReportItem{ReportItem::Kind::Text, 0, QStringLiteral("KVX")}});
        pdf = app::openPdf(older);
        m_window->w->lblNrofSpeakers.setText(QString());
        QVERIFY_THROWS_EXCEPTION(KvxError, printReport(*m_window->w, *pdf));
        pdf.reset();
        QCOMPARE(read(QStringLiteral("hall.pdf")), QByteArray("%PDF-older"));
        QCOMPARE(files(), QStringList{"hall.pdf"});
    }
    void moduleWritesTheReport() {
        // Loaded as the program loads it: every symbol it needs must resolve.
        QLibrary module(QStringLiteral(KVX_BIN_DIR "/") + app::kPrintingModuleName);
        QVERIFY2(module.load(), qPrintable(module.errorString()));
        const auto entry =
            reinterpret_cast<app::PrintingEntry>(module.resolve(app::kPrintingEntry));
        QVERIFY(entry && entry());
        auto pdf = entry()->openPdf(m_window->path(QStringLiteral("hall.pdf")));
        QVERIFY(pdf);
        printReport(*m_window->w, *pdf);
        QVERIFY(pdf->endDocument());
        pdf.reset();
        const QString text = QString::fromLatin1(read(QStringLiteral("hall.pdf")));
        QVERIFY(text.startsWith(QLatin1String("%PDF-")));
        QCOMPARE(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 1);
    }

private:
    QByteArray read(const QString& name) const { return test::readBytes(m_window->path(name)); }
    QStringList files() const {
        return QDir(m_window->dir.path()).entryList(QDir::Files | QDir::Hidden);
    }

    std::unique_ptr<test::Harness> m_window;
};

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
