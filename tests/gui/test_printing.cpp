// The report drawn with QPainter into a PDF file: a whole page when it ends,
// nothing at all when it does not.
#include "app/printing.h"
#include "core/kvx_error.h"
#include "core/report/report_content.h"
#include "core/ui/main_window.h"
#include "support/compare.h"
#include "support/harness.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace kvx;
using kvx::test::Harness;

namespace {

// The English report labels, so that the test does not hang on the translations.
const StringTable& englishStrings() {
    static const StringTable table = StringTable::fromTsv(QStringLiteral(
        "1013\tEar height\n1016\tSpeaker tap\n1018\tAmplifier tap\n1020\tSpeaker power\n"
        "1030\tDifference level\n1035\tMutual distance\n1037\tNumber of speakers\n"
        "1057\t[Project Description]\n1058\t[Loudspeaker Data]\n1059\t[Room Data]\n"
        "1060\t[Power Settings]\n1061\t[Calculated Data]\n1081\tOpening angle\n"
        "1082\tSensitivity\n1083\tRated power\n1084\t(degr.)\n1120\tLength\n1121\tWidth\n"
        "1122\tHeight\n1123\tLoudspeaker\n1124\tTotal power\n1125\tDirect level\n"));
    return table;
}

struct ReportWindow : Harness {
    ReportWindow()
        : Harness(QLocale::c(), englishStrings()) {
        for (Control* c : w->controls())
            c->onChange = nullptr;
        kvx.texts.ProgramTitle = QStringLiteral("KVX");
        kvx.texts.VersionText = QStringLiteral("Version 2.1");
        const std::pair<Control*, const char*> fields[] = {
            {&w->txtDescription, "Conference room, ground floor"},
            {&w->txtRoomLength, "12"},
            {&w->txtRoomWidth, "12.5"},
            {&w->txtRoomHeight, "3"},
            {&w->txtEarHeight, "1.2"},
            {&w->lstLsp, "KVX-620    "},
            {&w->txtAngle1, "180"},
            {&w->txtAngle4, "90"},
            {&w->txtSensitivity, "90"},
            {&w->txtMaxPower, "12"},
            {&w->lstLspTap, "1/2 P"},
            {&w->lstAmpTap, "100 V"},
            {&w->lblPower, "6"},
            {&w->lblDistance, "3.5"},
            {&w->lblNrofSpeakers, "12"},
            {&w->lblLevel, "88"},
            {&w->lblLevelDif1, "4.1"},
            {&w->txtLevelDif4, "6.0"},
        };
        for (const auto& [control, text] : fields)
            control->setText(QString::fromUtf8(text));
    }
};

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pdfIsOnePageWithTheReportFonts();
    void pdfPageIsTheA4WidthOfTheTextReport();
    void unfinishedPdfLeavesNoFile();
    void stoppedReportKeepsTheOlderPdf();
    void pdfInMissingFolderCannotBeOpened();
};

void TestPrinting::pdfIsOnePageWithTheReportFonts() {
    ReportWindow h;
    const QString path = h.path(QStringLiteral("hall.pdf"));
    auto pdf = app::openPdf(path);
    QVERIFY(pdf);
    printReport(*h.w, *pdf);
    QVERIFY(pdf->endDocument());
    pdf.reset();

    const QByteArray bytes = readFile(path);
    QVERIFY(bytes.startsWith("%PDF-"));
    const QString text = QString::fromLatin1(bytes);
    QCOMPARE(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 1);
    // "Arial" comes as its metric twin, in plain, bold (description) and italic (headings).
    for (const char* face : {"LiberationSans", "LiberationSans-Bold", "LiberationSans-Italic"}) {
        QVERIFY2(
            text.contains(QRegularExpression(
                QStringLiteral("/BaseFont\\s*/(\\w+\\+)?%1(?![-\\w])").arg(QLatin1String(face)))),
            face);
    }
    QCOMPARE(filesIn(h.dir.path()), QStringList{QStringLiteral("hall.pdf")});
}

void TestPrinting::pdfPageIsTheA4WidthOfTheTextReport() {
    ReportWindow h;
    auto pdf = app::openPdf(h.path(QStringLiteral("a4.pdf")));
    QVERIFY(pdf);
    KVX_COMPARE_NEAR(pdf->pageWidth(), kA4PageWidth, 1e-3);
}

void TestPrinting::unfinishedPdfLeavesNoFile() {
    ReportWindow h;
    auto pdf = app::openPdf(h.path(QStringLiteral("half.pdf")));
    QVERIFY(pdf);
    pdf->setFontSize(16);
    pdf->print({ReportItem{ReportItem::Kind::Text, 0, QStringLiteral("KVX")}});
    pdf.reset();
    QCOMPARE(filesIn(h.dir.path()), QStringList{});
}

void TestPrinting::stoppedReportKeepsTheOlderPdf() {
    ReportWindow h;
    h.w->lblNrofSpeakers.setText(QString());
    const QString path = h.path(QStringLiteral("hall.pdf"));
    {
        QFile older(path);
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("%PDF-older");
    }
    auto pdf = app::openPdf(path);
    QVERIFY(pdf);
    QVERIFY_THROWS_EXCEPTION(KvxError, printReport(*h.w, *pdf));
    pdf.reset();
    QCOMPARE(readFile(path), QByteArray("%PDF-older"));
    QCOMPARE(filesIn(h.dir.path()), QStringList{QStringLiteral("hall.pdf")});
}

void TestPrinting::pdfInMissingFolderCannotBeOpened() {
    ReportWindow h;
    QVERIFY(!app::openPdf(h.path(QStringLiteral("missing/hall.pdf"))));
    QCOMPARE(filesIn(h.dir.path()), QStringList{});
}

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
