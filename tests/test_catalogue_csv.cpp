// Catalogues as CSV: listing records, reading them back with every bad row
// named by its line, building a data file, and the shipped catalogue's source.
#include "core/catalogue/catalogue_csv.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace kvx;

namespace {

LspRecord makeRecord(const QString& name, qint16 angle1, qint16 angle4, float sensitivity,
                     float maxPower) {
    LspRecord r;
    r.TypeName = name.leftJustified(kLspNameLength, u' ');
    r.Angle1 = angle1;
    r.Angle4 = angle4;
    r.Sensitivity = sensitivity;
    r.MaxPower = maxPower;
    return r;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString shippedSource() {
    return QStringLiteral(KVX_SOURCE_DIR "/resources/basic_catalogue.csv");
}

const QByteArray kHeader = "name,angle1,angle4,sensitivity,rated_power\n";
const QByteArray kGoodRow = "\"Ceil5      \",90,60,89.5,6\n";

} // namespace

class TestCatalogueCsv : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listing();
    void listingAsJson();
    void roundTrip_data();
    void roundTrip();
    void lenientReading_data();
    void lenientReading();
    void badRow_data();
    void badRow();
    void everyBadRowReported();
    void tooManyRecords();
    void build_data();
    void build();
    void shippedCatalogueIsPlausible();
    void builtCatalogueMatchesSource();
};

void TestCatalogueCsv::listing() {
    const QList<LspRecord> records = {
        makeRecord(QStringLiteral("Ceil5"), 90, 60, 89.5f, 6),
        makeRecord(QStringLiteral("Say \"hi\", "), -45, -1, -3.5f, 0.25f),
        makeRecord(QStringLiteral("Caf\u00e9"), 120, 80, 91, 15),
    };
    QCOMPARE(catalogueCsv(records), QStringLiteral("name,angle1,angle4,sensitivity,rated_power\n"
                                                   "\"Ceil5      \",90,60,89.5,6\n"
                                                   "\"Say \"\"hi\"\",  \",-45,-1,-3.5,0.25\n"
                                                   "\"Caf\u00e9       \",120,80,91,15\n"));
    QCOMPARE(catalogueCsv({}), QStringLiteral("name,angle1,angle4,sensitivity,rated_power\n"));
}

void TestCatalogueCsv::listingAsJson() {
    const QList<LspRecord> records = {
        makeRecord(QStringLiteral("Ceil5"), 90, -60, 89.3f, 6),
        makeRecord(QStringLiteral("Odd"), 1, 2, std::numeric_limits<float>::quiet_NaN(), 0.5f),
    };
    const QJsonDocument expected = QJsonDocument::fromJson(R"([
        {"name": "Ceil5      ", "angle1": 90, "angle4": -60, "sensitivity": 89.3, "rated_power": 6},
        {"name": "Odd        ", "angle1": 1, "angle4": 2, "sensitivity": null, "rated_power": 0.5}
    ])");
    QVERIFY(expected.isArray());
    QCOMPARE(QJsonDocument(catalogueJson(records)), expected);
}

void TestCatalogueCsv::roundTrip_data() {
    QTest::addColumn<QByteArray>("csv");
    QTest::newRow("shipped catalogue") << readAll(shippedSource());
    QTest::newRow("commas, quotes, accents, padding and extremes")
        << kHeader + "\"a,b \"\"c\"\" d  \",1,2,3,4\n"
                     "\" lead      \",-32768,32767,-0.5,1E+20\n"
                     "\"\u00c9t\u00e9 \u20ac\u0153\u00ff    \",180,179,95.25,0.125\n"
                     "\"ABCDEFGHIJK\",0,0,0,0\n";
    QTest::newRow("no records") << kHeader;
}

void TestCatalogueCsv::roundTrip() {
    QFETCH(QByteArray, csv);
    QVERIFY(!csv.isEmpty());

    const CatalogueCsv parsed = parseCatalogueCsv(csv);
    QCOMPARE(parsed.messages(QStringLiteral("in.csv")), QStringList());

    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.lsp"));
    QVERIFY(writeLspFile(first, parsed.records));
    QCOMPARE(readAll(first).size(), parsed.records.size() * kLspRecordSize);
    const auto back = readLspFile(first);
    QVERIFY(back);
    QCOMPARE(catalogueCsv(*back).toUtf8(), csv);

    // Listed and built again, the file comes out byte for byte the same.
    const QString second = dir.filePath(QStringLiteral("second.lsp"));
    QVERIFY(writeLspFile(second, parseCatalogueCsv(catalogueCsv(*back).toUtf8()).records));
    QCOMPARE(readAll(second), readAll(first));
}

void TestCatalogueCsv::lenientReading_data() {
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("angle1");
    QTest::addColumn<float>("sensitivity");

    QTest::newRow("byte order mark and CR LF line ends")
        << "\xEF\xBB\xBF" + QByteArray(kHeader).replace("\n", "\r\n") + "\"Ceil5\",90,60,89.5,6\r\n"
        << "Ceil5      " << 90 << 89.5f;
    QTest::newRow("blank lines and no final line end") << kHeader + "\n   \n\"Ceil5\",90,60,89.5,6"
                                                       << "Ceil5      " << 90 << 89.5f;
    QTest::newRow("unquoted name kept as it stands") << kHeader + " Ceil 5,90,60,89.5,6\n"
                                                     << " Ceil 5    " << 90 << 89.5f;
    QTest::newRow("quoted header names")
        << QByteArray("\"name\",\"angle1\",\"angle4\",\"sensitivity\",\"rated_power\"\n") + kGoodRow
        << "Ceil5      " << 90 << 89.5f;
    QTest::newRow("blanks around fields and header names")
        << QByteArray("name, angle1 ,angle4,sensitivity,rated_power\n"
                      "  \"Ceil5\" , +90 ,60, 8.95e1 ,6\n")
        << "Ceil5      " << 90 << 89.5f;
}

void TestCatalogueCsv::lenientReading() {
    QFETCH(QByteArray, csv);
    QFETCH(QString, name);
    QFETCH(int, angle1);
    QFETCH(float, sensitivity);

    const CatalogueCsv parsed = parseCatalogueCsv(csv);
    QCOMPARE(parsed.messages(QStringLiteral("in.csv")), QStringList());
    QCOMPARE(parsed.records.size(), 1);
    QCOMPARE(parsed.records.first().TypeName, name);
    QCOMPARE(parsed.records.first().Angle1, qint16(angle1));
    QCOMPARE(parsed.records.first().Sensitivity, sensitivity);
}

void TestCatalogueCsv::badRow_data() {
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("what");

    const auto row = [](const char* text) { return kHeader + kGoodRow + text + "\n" + kGoodRow; };
    QTest::newRow("empty file") << QByteArray() << 1
                                << "the first line must be the header " + kCatalogueCsvHeader;
    QTest::newRow("header missing")
        << kGoodRow << 1 << "the first line must be the header " + kCatalogueCsvHeader;
    QTest::newRow("header with another column name")
        << "name,angle1,angle4,sensitivity,power\n" + kGoodRow << 1
        << "the first line must be the header " + kCatalogueCsvHeader;
    QTest::newRow("too few fields")
        << row("\"Ceil\",90,60,89") << 3 << "4 fields where 5 belong (" + kCatalogueCsvHeader + ")";
    QTest::newRow("trailing comma") << row("\"Ceil\",90,60,89,6,") << 3
                                    << "6 fields where 5 belong (" + kCatalogueCsvHeader + ")";
    QTest::newRow("decimal comma") << row("\"Ceil\",90,60,89,5,6") << 3
                                   << "6 fields where 5 belong (" + kCatalogueCsvHeader + ")";
    QTest::newRow("unclosed quote")
        << row("\"Ceil,90,60,89,6") << 3 << "name: the closing double quote is missing";
    QTest::newRow("text after the closing quote")
        << row("\"Ceil\" 5,90,60,89,6") << 3 << "name: text after the closing double quote";
    QTest::newRow("quoted number with text after it")
        << row("\"Ceil\",\"90\"x,60,89,6") << 3 << "angle1: text after the closing double quote";
    QTest::newRow("name of twelve characters")
        << row("\"ABCDEFGHIJKL\",90,60,89,6") << 3
        << "the name \"ABCDEFGHIJKL\" has 12 characters; at most 11 fit";
    QTest::newRow("name outside Windows-1252")
        << row("\"Ceil \xe4\xb8\xad\",90,60,89,6") << 3
        << QStringLiteral("the name \"Ceil \u4e2d\" holds \"\u4e2d\" (U+4E2D), which Windows-1252 "
                          "cannot hold");
    QTest::newRow("blank name") << row("\"   \",90,60,89,6") << 3 << "the name is blank";
    QTest::newRow("angle with a fraction")
        << row("\"Ceil\",90.5,60,89,6") << 3 << "angle1 \"90.5\" is not a whole number";
    QTest::newRow("angle empty") << row("\"Ceil\",,60,89,6") << 3 << "angle1 is empty";
    QTest::newRow("angle above the range")
        << row("\"Ceil\",90,32768,89,6") << 3 << "angle4 32768 is outside -32768 to 32767";
    QTest::newRow("angle below the range")
        << row("\"Ceil\",-32769,60,89,6") << 3 << "angle1 -32769 is outside -32768 to 32767";
    QTest::newRow("angle beyond any integer")
        << row("\"Ceil\",99999999999999999999,60,89,6") << 3
        << "angle1 99999999999999999999 is outside -32768 to 32767";
    QTest::newRow("sensitivity not a number")
        << row("\"Ceil\",90,60,loud,6") << 3 << "sensitivity \"loud\" is not a number";
    QTest::newRow("sensitivity infinite")
        << row("\"Ceil\",90,60,inf,6") << 3 << "sensitivity \"inf\" is not a finite number";
    QTest::newRow("rated power NaN")
        << row("\"Ceil\",90,60,89,nan") << 3 << "rated_power \"nan\" is not a finite number";
    QTest::newRow("rated power beyond single precision")
        << row("\"Ceil\",90,60,89,1e39") << 3
        << "rated_power 1e39 does not fit a single-precision number";
    QTest::newRow("sensitivity beyond double precision")
        << row("\"Ceil\",90,60,1e400,6") << 3
        << "sensitivity 1e400 does not fit a single-precision number";
    QTest::newRow("rated power empty") << row("\"Ceil\",90,60,89, ") << 3 << "rated_power is empty";
    QTest::newRow("invalid UTF-8")
        << row("\"Caf\xe9\",90,60,89,6") << 3 << "the line is not valid UTF-8";
    QTest::newRow("line counted across blank lines and CR LF")
        << kHeader + "\r\n" + kGoodRow + "\n\"Ceil\",x,60,89,6\r\n"
        << 5 << "angle1 \"x\" is not a whole number";
}

void TestCatalogueCsv::badRow() {
    QFETCH(QByteArray, csv);
    QFETCH(int, line);
    QFETCH(QString, what);

    const CatalogueCsv parsed = parseCatalogueCsv(csv);
    QCOMPARE(parsed.messages(QStringLiteral("in.csv")),
             QStringList{QStringLiteral("in.csv:%1: ").arg(line) + what});
}

void TestCatalogueCsv::everyBadRowReported() {
    const QByteArray csv = kHeader + kGoodRow + "\"Ceil\",x,60,89,6\n" + kGoodRow +
                           "\"ABCDEFGHIJKL\",90,60,89,inf\n" + "\"Ceil\",1\n";
    const CatalogueCsv parsed = parseCatalogueCsv(csv);
    QList<int> lines;
    for (const CsvRowError& e : parsed.errors)
        lines << e.line;
    // Both faults of line 5 are named, each on its own.
    QCOMPARE(lines, (QList<int>{3, 5, 5, 6}));
    QCOMPARE(parsed.records.size(), 2);
}

void TestCatalogueCsv::tooManyRecords() {
    QByteArray csv = kHeader;
    for (int i = 0; i <= kMaxLspRecords; ++i)
        csv += kGoodRow;
    const CatalogueCsv parsed = parseCatalogueCsv(csv);
    QCOMPARE(parsed.messages(QStringLiteral("in.csv")),
             QStringList{"in.csv:32769: more than 32767 records; a catalogue holds at most 32767"});

    csv.chop(kGoodRow.size());
    QVERIFY(parseCatalogueCsv(csv).errors.isEmpty());
}

void TestCatalogueCsv::build_data() {
    QTest::addColumn<QByteArray>("csv"); // empty: no input file
    QTest::addColumn<QString>("out");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message"); // %1 stands for the folder

    using Outcome = CatalogueBuild::Outcome;
    QTest::newRow("good rows written")
        << kHeader + kGoodRow + kGoodRow << "Out.lsp" << int(Outcome::Written) << "";
    QTest::newRow("bad row: nothing written")
        << kHeader + kGoodRow + "\"Ceil\",90,60,89\n"
        << "Out.lsp" << int(Outcome::BadRows)
        << "%1/In.csv:3: 4 fields where 5 belong (" + kCatalogueCsvHeader + ")";
    QTest::newRow("input missing")
        << QByteArray() << "Out.lsp" << int(Outcome::CannotRead) << "%1/In.csv: cannot be read: ";
    QTest::newRow("output folder missing")
        << kHeader + kGoodRow << "none/Out.lsp" << int(Outcome::CannotWrite)
        << "%1/none/Out.lsp: cannot be written: ";
}

void TestCatalogueCsv::build() {
    QFETCH(QByteArray, csv);
    QFETCH(QString, out);
    QFETCH(int, outcome);
    QFETCH(QString, message);

    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("In.csv"));
    const QString lsp = dir.filePath(out);
    const QByteArray old = "an older catalogue";
    QVERIFY(writeAll(dir.filePath(QStringLiteral("Out.lsp")), old));
    if (!csv.isEmpty())
        QVERIFY(writeAll(in, csv));

    const CatalogueBuild result = buildCatalogue(in, lsp);

    QCOMPARE(int(result.outcome), outcome);
    if (outcome == int(CatalogueBuild::Outcome::Written)) {
        QCOMPARE(result.messages, QStringList());
        QCOMPARE(result.records, 2);
        QCOMPARE(readLspFile(lsp)->size(), 2);
        QCOMPARE(readLspFile(lsp)->first(), makeRecord(QStringLiteral("Ceil5"), 90, 60, 89.5f, 6));
    } else {
        QCOMPARE(result.messages.size(), 1);
        const QString expected = message.arg(dir.path());
        QVERIFY2(result.messages.first().startsWith(expected), qPrintable(result.messages.first()));
        QCOMPARE(readAll(dir.filePath(QStringLiteral("Out.lsp"))), old);
    }
}

void TestCatalogueCsv::shippedCatalogueIsPlausible() {
    const CatalogueCsv parsed = parseCatalogueCsv(readAll(shippedSource()));
    QCOMPARE(parsed.messages(shippedSource()), QStringList());
    QVERIFY(parsed.records.size() >= 10 && parsed.records.size() <= 16);

    QStringList names;
    bool fractional = false;
    for (const LspRecord& r : parsed.records) {
        const QString what = r.TypeName.trimmed();
        QVERIFY2(!names.contains(what), qPrintable(what));
        names << what;
        QVERIFY2(r.Angle1 >= 60 && r.Angle1 <= 180, qPrintable(what));
        QVERIFY2(r.Angle4 > 0 && r.Angle4 < r.Angle1, qPrintable(what));
        QVERIFY2(r.Sensitivity >= 84 && r.Sensitivity <= 95, qPrintable(what));
        QVERIFY2(r.MaxPower >= 3 && r.MaxPower <= 30, qPrintable(what));
        fractional = fractional || r.Sensitivity != std::floor(r.Sensitivity);
    }
    QVERIFY(fractional);
}

void TestCatalogueCsv::builtCatalogueMatchesSource() {
    const QString built = QStringLiteral(KVX_BIN_DIR "/Basic.lsp");
    if (!QFile::exists(built))
        QSKIP("Basic.lsp has not been built");
    const auto records = readLspFile(built);
    QVERIFY(records);
    QCOMPARE(catalogueCsv(*records).toUtf8(), readAll(shippedSource()));
}

QTEST_GUILESS_MAIN(TestCatalogueCsv)
#include "test_catalogue_csv.moc"
