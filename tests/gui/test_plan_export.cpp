// The plan's pictures and files, each read back the way its reader would read
// it: the SVG parsed, the DXF through dxflib's own reader, the PDF's pages
// counted, the CSV's rows; and every failed write leaves the folder as it was.
#include "app/plan_export.h"
#include "app/plan_texts.h"
#include "core/base/kvx_error.h"
#include "support/files.h"
#include "support/harness.h"
#include "support/plan.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QTest>
#include <QXmlStreamReader>

#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <map>
#include <numbers>
#include <set>

#include <sys/stat.h>

using namespace kvx;
using namespace kvx::app;

namespace {

// A 20 m x 10 m room, 6 x 3 loudspeakers; in offset rows 5, 4 and 5.
Design hall(Pattern pattern = Pattern::Square) {
    DesignInputs in = test::roomInputs(20, 10, 2.6, 1.2, 120, 90, 90, 6, 6);
    in.pattern = pattern;
    return test::calculated(in);
}

// Entities of a DXF file by layer, as dxflib reads them.
class DxfCounter : public DL_CreationAdapter {
public:
    std::map<std::string, int> circles, texts, lines, vertices;
    double firstRadius = 0;
    double farX = 0; // the room's far corner
    void addCircle(const DL_CircleData& data) override {
        if (!circles[layer()]++ && firstRadius == 0)
            firstRadius = data.radius;
    }
    std::set<long> dimensionAngles; // degrees, as a CAD program turns the texts
    void addText(const DL_TextData& data) override {
        if (++texts[layer()]; layer() == kDxfDimensionLayer.toStdString())
            dimensionAngles.insert(std::lround(data.angle * 180 / std::numbers::pi));
    }
    void addLine(const DL_LineData&) override { ++lines[layer()]; }
    void addVertex(const DL_VertexData& data) override {
        ++vertices[layer()];
        farX = std::max(farX, data.x);
    }

private:
    std::string layer() { return getAttributes().getLayer(); }
};

// What a reader finds in the file, in a few words.
QString readBack(const QString& path, PlanFormat format) {
    const QByteArray bytes = test::readBytes(path);
    switch (format) {
    case PlanFormat::Png: {
        const QImage image = QImage::fromData(bytes, "png");
        return QStringLiteral("png %1 wide").arg(image.width());
    }
    case PlanFormat::Svg: {
        if (!QSvgRenderer(bytes).isValid())
            return QStringLiteral("svg invalid");
        QXmlStreamReader xml(bytes);
        int ellipses = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                (xml.name() == QLatin1String("ellipse") || xml.name() == QLatin1String("circle")))
                ++ellipses;
        }
        return xml.hasError() ? QStringLiteral("svg: %1").arg(xml.errorString())
                              : QStringLiteral("svg %1 circles").arg(ellipses);
    }
    case PlanFormat::Pdf: {
        const QString text = QString::fromLatin1(bytes);
        return QStringLiteral("pdf %1 pages")
            .arg(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
    }
    case PlanFormat::Dxf: {
        DxfCounter counter;
        DL_Dxf dxf;
        if (!dxf.in(path.toStdString(), &counter))
            return QStringLiteral("dxf unreadable");
        QStringList angles;
        for (long angle : counter.dimensionAngles)
            angles << QString::number(angle);
        return QStringLiteral("dxf %1 circles, %2 numbers, room of %3 corners, radius %4%5, "
                              "dimensions at %6°")
            .arg(counter.circles[kDxfSpeakerLayer.toStdString()])
            .arg(counter.texts[kDxfNumberLayer.toStdString()])
            .arg(counter.vertices[kDxfRoomLayer.toStdString()])
            .arg(counter.firstRadius)
            .arg(bytes.contains("$INSUNITS\n 70\n6\n") ? ", metres"
                 : bytes.contains("$INSUNITS\n 70\n2\n")
                     ? QStringLiteral(", feet, %1 long").arg(counter.farX, 0, 'f', 1)
                     : QString())
            .arg(angles.join(QStringLiteral("° and ")));
    }
    case PlanFormat::Csv: {
        const QList<QByteArray> lines = bytes.trimmed().split('\n');
        return QStringLiteral("csv %1 rows after %2, last %3")
            .arg(lines.size() - 1)
            .arg(QString(lines.first()), QString(lines.last()));
    }
    }
    return {};
}

} // namespace

class TestPlanExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_window = std::make_unique<test::Harness>();
        m_texts = std::make_unique<PlanTexts>(m_window->kvx);
        m_scene = makePlanScene(hall(), {}, *m_texts);
    }
    void everyFormatReadsBack_data();
    void everyFormatReadsBack();
    void failedWritesLeaveTheFolderAsItWas_data();
    void failedWritesLeaveTheFolderAsItWas();
    void exportsAreOrdinaryFiles_data();
    void exportsAreOrdinaryFiles();
    void tooManyLoudspeakersToDrawOneByOne();
    void denseLayoutsDrawnAsAnArea();
    void aMapThatCannotBeMadeShowsWhyNot();
    void dimensionsStandBesideTheWalls();
    void dxfPointersNameItsRecords();
    void coloursReadInGrey();
    void outsideTheListenerAreaPaleNotDark_data();
    void outsideTheListenerAreaPaleNotDark();

private:
    PlanExport what(Sheet picture = Sheet::Plan, bool report = true) const {
        PlanExport e;
        e.scene = &m_scene;
        e.texts = m_texts.get();
        e.picture = picture;
        if (report)
            e.report = [](ReportPrinter& printer) {
                printer.print({ReportItem{ReportItem::Kind::Text, 0, QStringLiteral("KVX")}});
            };
        return e;
    }

    std::unique_ptr<test::Harness> m_window;
    std::unique_ptr<PlanTexts> m_texts;
    PlanScene m_scene;
};

void TestPlanExport::everyFormatReadsBack_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("picture");
    QTest::addColumn<bool>("report");
    QTest::addColumn<QString>("found");
    QTest::newRow("plan as SVG: one circle per loudspeaker")
        << "plan.svg" << int(Sheet::Plan) << true << "svg 18 circles";
    QTest::newRow("plan as PNG, 10 inches at 150 dpi")
        << "plan.png" << int(Sheet::Plan) << true << "png 1500 wide";
    QTest::newRow("4 kHz map as PNG")
        << "map.png" << int(Sheet::Coverage4k) << true << "png 1500 wide";
    QTest::newRow("design PDF: the report, the plan, both maps")
        << "design.pdf" << int(Sheet::Plan) << true << "pdf 4 pages";
    QTest::newRow("PDF without a report")
        << "design.pdf" << int(Sheet::Plan) << false << "pdf 3 pages";
    QTest::newRow("DXF in metres on named layers")
        << "plan.DXF" << int(Sheet::Plan) << true
        << "dxf 18 circles, 18 numbers, room of 4 corners, radius 0.1, metres, dimensions at 0° "
           "and 90°";
    // In feet the whole drawing is in feet: the room 20 m = 65.6 ft long,
    // the marks 0.1 m across as before.
    QTest::newRow("DXF in feet") << "feet.dxf" << int(Sheet::Plan) << true
                                 << "dxf 18 circles, 18 numbers, room of 4 corners, radius "
                                    "0.328084, feet, 65.6 long, dimensions at 0° and 90°";
    QTest::newRow("CSV positions row by row")
        << "positions.csv" << int(Sheet::Plan) << true
        << "csv 18 rows after number,x,y, last 18,18.333333333333336,8.333333333333334";
    // Offset rows: the count and the last position from an independent layout.
    QTest::newRow("offset rows as SVG")
        << "rows.svg" << int(Sheet::Plan) << true << "svg 14 circles";
    QTest::newRow("offset rows as DXF") << "rows.dxf" << int(Sheet::Plan) << true
                                        << "dxf 14 circles, 14 numbers, room of 4 corners, radius "
                                           "0.1, metres, dimensions at 0° and 90°";
    QTest::newRow("offset rows as CSV")
        << "rows.csv" << int(Sheet::Plan) << true
        << "csv 14 rows after number,x,y, last 14,18,8.333333333333334";
    QTest::newRow("offset rows in the design PDF")
        << "rows.pdf" << int(Sheet::Plan) << true << "pdf 4 pages";
}

void TestPlanExport::everyFormatReadsBack() {
    QFETCH(QString, name);
    QFETCH(int, picture);
    QFETCH(bool, report);
    QFETCH(QString, found);
    if (name.startsWith(u"rows"))
        m_scene = makePlanScene(hall(Pattern::Offset), {}, *m_texts);
    if (name.startsWith(u"feet")) {
        m_window->kvx.units = Units::Imperial;
        m_scene = makePlanScene(hall(), {}, *m_texts);
    }
    QCOMPARE(m_scene.layout.count(), name.startsWith(u"rows") ? 14 : 18);
    const QString path = m_window->path(name);
    const PlanFormat format = *planFormatFor(path);
    QCOMPARE(writePlanFile(path, format, what(Sheet(picture), report)), QString());
    QCOMPARE(readBack(path, format), found);
    // Written whole under its own name, with no temporary file beside it.
    QCOMPARE(QDir(m_window->dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
}

void TestPlanExport::failedWritesLeaveTheFolderAsItWas_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("problem");
    const char* const formats[] = {"png", "svg", "pdf", "dxf", "csv"};
    for (const char* ext : formats) {
        QTest::addRow("%s into a missing folder", ext)
            << QStringLiteral("missing/plan.%1").arg(ext) << "missing folder";
        QTest::addRow("%s over a folder", ext) << QStringLiteral("taken.%1").arg(ext) << "folder";
        QTest::addRow("%s whose report fails", ext)
            << QStringLiteral("older.%1").arg(ext) << "report fails";
    }
}

void TestPlanExport::failedWritesLeaveTheFolderAsItWas() {
    QFETCH(QString, name);
    QFETCH(QString, problem);
    const QDir folder(m_window->dir.path());
    QVERIFY(folder.mkdir(QFileInfo(name).fileName().startsWith("taken") ? name : "other"));
    QVERIFY(test::writeBytes(m_window->path("older." + QFileInfo(name).suffix()), "older"));
    const QStringList before = test::snapshot(folder.path());

    PlanExport e = what();
    e.report = [](ReportPrinter&) { throw KvxError(QStringLiteral("Print error")); };
    const PlanFormat format = *planFormatFor(name);
    const QString message = writePlanFile(m_window->path(name), format, e);
    // Only the PDF holds the report: the other formats are written even so.
    const bool fails = problem != QLatin1String("report fails") || format == PlanFormat::Pdf;
    if (fails) {
        QVERIFY2(message.startsWith(QStringLiteral("The file \"%1\" cannot be written: ")
                                        .arg(QDir::toNativeSeparators(m_window->path(name)))),
                 qPrintable(message));
        QCOMPARE(test::snapshot(folder.path()), before);
    } else {
        QCOMPARE(message, QString());
    }
}

void TestPlanExport::exportsAreOrdinaryFiles_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("oldMode"); // 0: no file there before
    QTest::addColumn<int>("mode");
    for (const char* ext : {"png", "svg", "pdf", "dxf", "csv"}) {
        QTest::addRow("new %s under umask 027", ext)
            << QStringLiteral("new.%1").arg(ext) << 0 << 0640;
        QTest::addRow("%s over a file of mode 0600", ext)
            << QStringLiteral("old.%1").arg(ext) << 0600 << 0600;
    }
}

void TestPlanExport::exportsAreOrdinaryFiles() {
    QFETCH(QString, name);
    QFETCH(int, oldMode);
    QFETCH(int, mode);
    const QByteArray path = QFile::encodeName(m_window->path(name));
    if (oldMode) {
        QVERIFY(test::writeBytes(m_window->path(name), "older"));
        QCOMPARE(::chmod(path.constData(), mode_t(oldMode)), 0);
    }
    const mode_t umask = ::umask(027);
    const QString message = writePlanFile(m_window->path(name), *planFormatFor(name), what());
    ::umask(umask);
    QCOMPARE(message, QString());
    struct stat written {};
    QCOMPARE(::stat(path.constData(), &written), 0);
    QCOMPARE(int(written.st_mode & 07777), mode);
}

void TestPlanExport::tooManyLoudspeakersToDrawOneByOne() {
    // 1200 x 1000 loudspeakers: the count and the figures, no positions.
    const Layout layout = test::gridLayout(3600, 3000, 1200, 1000);
    m_scene.layout = layout;
    m_scene.geometry = planGeometry(layout, QLocale::c());
    m_scene.coverage = CoverageMap{};
    QVERIFY(m_scene.geometry.tooManyToDraw && m_scene.geometry.speakers.empty());

    const QString svg = m_window->path("hall.svg");
    QCOMPARE(writePlanFile(svg, PlanFormat::Svg, what()), QString());
    QCOMPARE(readBack(svg, PlanFormat::Svg), QStringLiteral("svg 0 circles"));
    const QString dxf = m_window->path("hall.dxf");
    QCOMPARE(writePlanFile(dxf, PlanFormat::Dxf, what()), QString());
    QVERIFY(test::readBytes(dxf).contains("NOTES\n") &&
            test::readBytes(dxf).contains("cannot show them one by one"));
    const QString csv = m_window->path("hall.csv");
    QCOMPARE(writePlanFile(csv, PlanFormat::Csv, what()),
             QStringLiteral("The file \"%1\" cannot be written: More than 1,000,000 "
                            "loudspeakers: there are no positions to list one by one.")
                 .arg(csv));
    QVERIFY(!QFile::exists(csv));
    // Both maps' pages still come, saying why they show no map.
    const QString pdf = m_window->path("hall.pdf");
    QCOMPARE(writePlanFile(pdf, PlanFormat::Pdf, what()), QString());
    QCOMPARE(readBack(pdf, PlanFormat::Pdf), QStringLiteral("pdf 4 pages"));
}

void TestPlanExport::denseLayoutsDrawnAsAnArea() {
    // 400 x 400 loudspeakers on a 10-inch picture: marks closer than two
    // points could not be told apart; a grey area stands for them.
    const Layout layout = test::gridLayout(400, 400, 400, 400);
    m_scene.layout = layout;
    m_scene.geometry = planGeometry(layout, QLocale::c());
    QCOMPARE(m_scene.geometry.speakers.size(), 160000u);
    const QString svg = m_window->path("dense.svg");
    QCOMPARE(writePlanFile(svg, PlanFormat::Svg, what()), QString());
    QCOMPARE(readBack(svg, PlanFormat::Svg), QStringLiteral("svg 0 circles"));
    QVERIFY(test::readBytes(svg).contains("fill=\"#969696\""));
}

void TestPlanExport::aMapThatCannotBeMadeShowsWhyNot() {
    // A margin of more than half the room's width leaves no listener area.
    m_scene = makePlanScene(hall(), {0, 6}, *m_texts);
    QVERIFY(!m_scene.coverage);
    QCOMPARE(m_scene.coverageProblem,
             QStringLiteral("The margin leaves no listener area: make it less than half the "
                            "shorter side of the room."));
    const QString svg = m_window->path("map.svg");
    QCOMPARE(writePlanFile(svg, PlanFormat::Svg, what(Sheet::Coverage1k)), QString());
    QVERIFY(test::readBytes(svg).contains("The margin leaves no listener area"));
    QVERIFY(!test::readBytes(svg).contains("<image"));
    const QString pdf = m_window->path("design.pdf");
    QCOMPARE(writePlanFile(pdf, PlanFormat::Pdf, what()), QString());
    QCOMPARE(readBack(pdf, PlanFormat::Pdf), QStringLiteral("pdf 4 pages"));
}

void TestPlanExport::dimensionsStandBesideTheWalls() {
    QStringList placed;
    for (const PlacedDimension& p : placeDimensions(m_scene.geometry))
        placed << QStringLiteral("%1 tier %2: %3..%4 %5")
                      .arg(p.horizontal() ? "bottom" : "left")
                      .arg(p.tier)
                      .arg(p.horizontal() ? p.from.x() : p.from.y(), 0, 'f', 2)
                      .arg(p.horizontal() ? p.to.x() : p.to.y(), 0, 'f', 2)
                      .arg(p.text);
    // The wall distance and the spacing form a chain by the wall; the room's
    // sides lie further out.
    QCOMPARE(placed, (QStringList{
                         "bottom tier 2: 0.00..20.00 20.00 m",
                         "left tier 2: 0.00..10.00 10.00 m",
                         "bottom tier 1: 1.67..5.00 3.33 m",
                         "left tier 1: 1.67..5.00 3.33 m",
                         "bottom tier 1: 0.00..1.67 1.67 m",
                         "left tier 1: 0.00..1.67 1.67 m",
                     }));
}

void TestPlanExport::dxfPointersNameItsRecords() {
    // Every hard pointer (the dimension style's text style among them) names
    // a record of the file: a pointer left unset would point anywhere.
    const QString path = m_window->path("plan.dxf");
    QCOMPARE(writePlanFile(path, PlanFormat::Dxf, what()), QString());
    const QList<QByteArray> lines = test::readBytes(path).split('\n');
    QSet<QByteArray> handles;
    QList<QByteArray> pointers;
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        const int code = lines[i].trimmed().toInt();
        if (code == 5 || code == 105)
            handles.insert(lines[i + 1].trimmed());
        else if (code >= 340 && code <= 349)
            pointers.append(lines[i + 1].trimmed());
    }
    QVERIFY(!pointers.isEmpty());
    for (const QByteArray& pointer : pointers)
        QVERIFY2(handles.contains(pointer), pointer.constData());
}

void TestPlanExport::coloursReadInGrey() {
    // Lightness rises all along the map, so that a grey print keeps the order.
    double previous = -1;
    for (int i = 0; i <= 100; ++i) {
        const QColor c = mapColour(i / 100.0);
        const double luma = 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF();
        QVERIFY2(luma > previous, qPrintable(QString::number(i)));
        previous = luma;
    }
    QCOMPARE(mapColour(-1), mapColour(0));
    QCOMPARE(mapColour(std::nan("")), mapColour(0));
    QCOMPARE(mapColour(2).name(), QStringLiteral("#fde725"));
}

void TestPlanExport::outsideTheListenerAreaPaleNotDark_data() {
    QTest::addColumn<int>("band");
    QTest::addColumn<double>("margin");
    QTest::newRow("1 kHz, 1 m") << 0 << 1.0;
    QTest::newRow("4 kHz, 2.5 m") << 1 << 2.5;
}

void TestPlanExport::outsideTheListenerAreaPaleNotDark() {
    QFETCH(int, band);
    QFETCH(double, margin);
    m_scene = makePlanScene(hall(), {0, margin}, *m_texts);
    QVERIFY(m_scene.coverage);
    const CoverageMap& map = *m_scene.coverage;
    const Band b = Band(band);
    // The same map and scale as if every point were a listener's.
    CoverageMap whole = map;
    whole.area = {0, qint64(map.x.size()) - 1, 0, qint64(map.y.size()) - 1};
    const QImage image = coverageImage(map, b);
    const QImage plain = coverageImage(whole, b);
    const QRgb darkest = mapColour(0).rgb();
    const int top = image.height() - 1; // the image's rows run from the far wall
    // The corner at the origin lies outside; the room's centre inside.
    QVERIFY(!map.inListenerArea(0, 0));
    const QRgb corner = image.pixel(0, top);
    QVERIFY(corner != darkest && corner != plain.pixel(0, top));
    QVERIFY(qGray(corner) > qGray(plain.pixel(0, top)));
    const int cx = image.width() / 2;
    const int cy = image.height() / 2;
    QVERIFY(map.inListenerArea(cx, top - cy));
    QCOMPARE(image.pixel(cx, cy), plain.pixel(cx, cy));

    // Every picture of the map says what the pale part is.
    const QString svg = m_window->path("map.svg");
    QCOMPARE(writePlanFile(svg, PlanFormat::Svg,
                           what(b == Band::K1 ? Sheet::Coverage1k : Sheet::Coverage4k)),
             QString());
    QVERIFY(test::readBytes(svg).contains("Pale and hatched: outside the listener area"));
}

QTEST_MAIN(TestPlanExport)
#include "test_plan_export.moc"
