// The report drawn with QPainter into a PDF file: one whole page when it ends,
// nothing at all when it does not.
#include "app/printing.h"
#include "core/kvx_error.h"
#include "core/report/report_content.h"
#include "support/compare.h"
#include "support/harness.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

using namespace kvx;

class TestPrinting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void pdfIsOnePageWithTheReportFonts();
    void failedPdfLeavesNoFile();

private:
    QByteArray read(const QString& name) const {
        QFile file(m_window->path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList files() const {
        return QDir(m_window->dir.path()).entryList(QDir::Files | QDir::Hidden);
    }

    std::unique_ptr<test::Harness> m_window;
};

void TestPrinting::init() {
    m_window = std::make_unique<test::Harness>();
    for (Control* control : m_window->w->controls())
        control->onChange = nullptr;
    for (const QString& field :
         QStringLiteral("txtDescription=Conference room, ground floor|txtRoomLength=12|"
                        "txtRoomWidth=12.5|txtRoomHeight=3|txtEarHeight=1.2|lstLsp=KVX-620|"
                        "txtAngle1=180|txtAngle4=90|txtSensitivity=90|txtMaxPower=12|"
                        "lstLspTap=1/2 P|lstAmpTap=100 V|lblPower=6|lblDistance=3.5|"
                        "lblNrofSpeakers=12|lblLevel=88|lblLevelDif1=4.1|txtLevelDif4=6.0")
             .split(u'|'))
        m_window->w->control(field.section(u'=', 0, 0))->setText(field.section(u'=', 1));
}

void TestPrinting::pdfIsOnePageWithTheReportFonts() {
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
    for (const char* face : {"LiberationSans", "LiberationSans-Bold", "LiberationSans-Italic"}) {
        const QString font = QStringLiteral("/BaseFont\\s*/(\\w+\\+)?%1(?![-\\w])").arg(face);
        QVERIFY2(text.contains(QRegularExpression(font)), face);
    }
    QCOMPARE(files(), QStringList{"hall.pdf"});
}

void TestPrinting::failedPdfLeavesNoFile() {
    QVERIFY(!app::openPdf(m_window->path(QStringLiteral("missing/hall.pdf"))));
    auto pdf = app::openPdf(m_window->path(QStringLiteral("unfinished.pdf")));
    QVERIFY(pdf);
    pdf->setFontSize(16);
    pdf->print({ReportItem{ReportItem::Kind::Text, 0, QStringLiteral("KVX")}});
    pdf.reset();
    QCOMPARE(files(), QStringList{});

    // A report that stops on an error leaves the older file as it was.
    QFile older(m_window->path(QStringLiteral("hall.pdf")));
    QVERIFY(older.open(QIODevice::WriteOnly) && older.write("%PDF-older") == 10);
    older.close();
    m_window->w->lblNrofSpeakers.setText(QString());
    pdf = app::openPdf(older.fileName());
    QVERIFY_THROWS_EXCEPTION(KvxError, printReport(*m_window->w, *pdf));
    pdf.reset();
    QCOMPARE(read(QStringLiteral("hall.pdf")), QByteArray("%PDF-older"));
    QCOMPARE(files(), QStringList{"hall.pdf"});
}

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
