// Catalogues as CSV: listing records, reading them back with every bad row
// named by its line, and the shipped catalogue built from its CSV source.
#include "core/catalogue/catalogue_csv.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

const QString kShipped = QStringLiteral(KVX_SOURCE_DIR "/resources/basic_catalogue.csv");
const QByteArray kHeader = "name,angle1,angle4,sensitivity,rated_power\n";
const QByteArray kGoodRow = "\"Ceil5      \",90,60,89.5,6\n";

CatalogueCsv inEnglish(QByteArrayView csv) {
    return parseCatalogueCsv(csv, {StringTable::builtIn(), LanguageOffsets::English, QLocale::c()});
}

} // namespace

class TestCatalogueCsv : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Listed again, a catalogue read from CSV gives the same bytes.
    void roundTrip_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::newRow("shipped catalogue") << readBytes(kShipped);
        QTest::newRow("commas, quotes, accents, padding and extremes")
            << testData("catalogue/tricky.csv");
        QTest::newRow("no records") << kHeader;
    }
    void roundTrip() {
        QFETCH(QByteArray, csv);
        const CatalogueCsv parsed = inEnglish(csv);
        QCOMPARE(parsed.messages("in.csv"), QStringList());
        QTemporaryDir dir;
        QVERIFY(writeLspFile(dir.filePath("a.lsp"), parsed.records));
        QCOMPARE(readBytes(dir.filePath("a.lsp")).size(), parsed.records.size() * kLspRecordSize);
        QCOMPARE(catalogueCsv(readLspFile(dir.filePath("a.lsp")).value()).toUtf8(), csv);
    }

    // Every bad row of tests/data/catalogue/rows.csv is named by its line, each
    // fault on its own, and the good rows are read leniently: a byte order mark,
    // quoted header names, blanks around fields, blank lines, CR LF line ends, an
    // unquoted name kept as it stands and no line end at the end.
    void rows() {
        const CatalogueCsv parsed = inEnglish(testData("catalogue/rows.csv"));
        QCOMPARE(parsed.messages("rows.csv"),
                 QString(testData("catalogue/rows.txt")).split('\n', Qt::SkipEmptyParts));
        QCOMPARE(parsed.records, (QList<LspRecord>{lspRecord("Ceil5", 90, 60, 89.5f, 6),
                                                   lspRecord("Ceil8", 100, 70, 90, 10),
                                                   lspRecord(" Ceil 10", 110, 80, 91.5f, 15)}));
        QCOMPARE(inEnglish(kGoodRow).messages("in.csv"),
                 QStringList{"in.csv:1: the first line must be the header " + kCatalogueCsvHeader});
        const QByteArray most = kHeader + kGoodRow.repeated(kMaxLspRecords);
        QCOMPARE(inEnglish(most).messages("in.csv"), QStringList());
        QCOMPARE(
            inEnglish(most + kGoodRow).messages("in.csv"),
            QStringList{"in.csv:32769: more than 32767 records; a catalogue holds at most 32767"});
    }

    // Each language words every fault of rows.csv on the same lines, keeping
    // the values and the header's column names as the file holds them.
    void rowsInEveryLanguage() {
        const QByteArray csv = testData("catalogue/rows.csv");
        const QList<CsvRowError> english = inEnglish(csv).errors;
        for (int offset : {LanguageOffsets::Dutch, LanguageOffsets::French,
                           LanguageOffsets::Italian, LanguageOffsets::German}) {
            const QList<CsvRowError> errors =
                parseCatalogueCsv(csv, {StringTable::builtIn(), offset, QLocale::c()}).errors;
            QCOMPARE(errors.size(), english.size());
            for (qsizetype i = 0; i < errors.size(); ++i) {
                QCOMPARE(errors[i].line, english[i].line);
                QVERIFY2(errors[i].what != english[i].what, qPrintable(errors[i].what));
                for (const char* kept : {"sensitivity", "ABCDEFGHIJKL", "99999999999999999999"})
                    QCOMPARE(errors[i].what.contains(kept), english[i].what.contains(kept));
            }
        }
    }

    void builtCatalogueMatchesSource() {
        const QString built = QStringLiteral(KVX_BIN_DIR "/Basic.lsp");
        if (!QFile::exists(built))
            QSKIP("Basic.lsp has not been built");
        QCOMPARE(catalogueCsv(readLspFile(built).value()).toUtf8(), readBytes(kShipped));
    }
};

QTEST_GUILESS_MAIN(TestCatalogueCsv)
#include "test_catalogue_csv.moc"
