// The plan of a design: the layout in the room, the coverage map against
// direct sums over every loudspeaker, the figures, the bounds for very large
// rooms, the positions as CSV and the plan's geometry.
#include "core/calc/design.h"
#include "core/calc/sound.h"
#include "core/plan/coverage.h"
#include "core/plan/layout.h"
#include "core/plan/layout_texts.h"
#include "core/plan/plan_geometry.h"
#include "core/plan/plan_labels.h"
#include "support/compare.h"
#include "support/fake_platform.h"
#include "support/plan.h"

#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <optional>

#if defined(__x86_64__) && defined(__GNUC__)
#include <cpuid.h>
#include <immintrin.h>
#endif

using namespace kvx;
using kvx::test::calculated;
using kvx::test::handMade;
using kvx::test::referenceLevel;

Q_DECLARE_METATYPE(kvx::DesignInputs)
Q_DECLARE_METATYPE(kvx::Design)
Q_DECLARE_METATYPE(kvx::Layout)

namespace {

constexpr auto room = &test::roomInputs;

LocalTexts english() {
    return {StringTable::builtIn(), LanguageOffsets::English, QLocale::c()};
}

// Whether the upper halves of the AVX registers are in use (XINUSE), or
// nothing where the processor does not tell.
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("xsave"))) std::optional<bool> upperHalvesInUse() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE))
        return std::nullopt;
    if (!__get_cpuid_count(0xD, 1, &a, &b, &c, &d) || !(a & (1u << 2)))
        return std::nullopt;
    return (_xgetbv(1) & 0x4) != 0;
}
#else
std::optional<bool> upperHalvesInUse() {
    return std::nullopt;
}
#endif

DesignInputs offsetRoom(double length, double width) {
    DesignInputs in = room(length, width, 4, 1.5, 90, 60, 90, 6, 6);
    in.pattern = Pattern::Offset;
    return in;
}

} // namespace

class TestPlan : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layoutOfExamples_data() {
        QTest::addColumn<DesignInputs>("inputs");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<double>("spacingX");
        QTest::addColumn<double>("spacingY");
        QTest::newRow("default room 20 x 10: 6 x 3")
            << room(20, 10, 4, 1.5, 90, 60, 90, 6, 6) << 6 << 3 << 20.0 / 6 << 10.0 / 3;
        QTest::newRow("meeting room 8 x 6: 2 x 2")
            << room(8, 6, 2.8, 1.2, 140, 80, 88, 1.5, 6) << 2 << 2 << 4.0 << 3.0;
        QTest::newRow("shop floor 30 x 18: 7 x 4")
            << room(30, 18, 4.5, 1.6, 120, 70, 89.5, 5, 4.5) << 7 << 4 << 30.0 / 7 << 4.5;
        QTest::newRow("sports hall 40 x 24: 7 x 4")
            << room(40, 24, 9, 1.7, 60, 40, 97, 14.7, 6) << 7 << 4 << 40.0 / 7 << 6.0;
    }
    void layoutOfExamples() {
        QFETCH(DesignInputs, inputs);
        QFETCH(double, spacingX);
        QFETCH(double, spacingY);
        const Design design = calculated(inputs);
        QVERIFY(design.usable());
        const Layout layout = layoutFor(design);
        QTEST(int(layout.columns), "columns");
        QTEST(int(layout.rows), "rows");
        // The plan shows as many loudspeakers as the main window.
        QCOMPARE(layout.count(), qint64(design.speakers));
        KVX_COMPARE_NEAR(layout.spacingX, spacingX, 1e-12);
        KVX_COMPARE_NEAR(layout.spacingY, spacingY, 1e-12);
    }
    void offsetLayouts_data() {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<QList<QPointF>>("positions"); // as the rows hang, by hand
        const auto offset = [](double length, double width, qint64 columns, qint64 rows) {
            return test::gridLayout(length, width, columns, rows, Pattern::Offset);
        };
        QTest::newRow("3 x 3: 3 + 2 + 3, the middle row between")
            << offset(6, 6, 3, 3)
            << QList<QPointF>{{1, 1}, {3, 1}, {5, 1}, {2, 3}, {4, 3}, {1, 5}, {3, 5}, {5, 5}};
        QTest::newRow("2 x 2: 2 + 1")
            << offset(4, 4, 2, 2) << QList<QPointF>{{1, 1}, {3, 1}, {2, 3}};
        QTest::newRow("one column: one per row at L / 2")
            << offset(2, 6, 1, 3) << QList<QPointF>{{1, 1}, {1, 3}, {1, 5}};
        QTest::newRow("one row: no shifted row")
            << offset(8, 2, 4, 1) << QList<QPointF>{{1, 1}, {3, 1}, {5, 1}, {7, 1}};
        QTest::newRow("square 2 x 2, half a spacing from the walls")
            << test::gridLayout(4, 6, 2, 2)
            << QList<QPointF>{{1, 1.5}, {3, 1.5}, {1, 4.5}, {3, 4.5}};
    }
    void offsetLayouts() {
        QFETCH(Layout, layout);
        QFETCH(QList<QPointF>, positions);
        QCOMPARE(layout.count(), qint64(positions.size()));
        const std::vector<QPointF> all = layout.positions();
        QCOMPARE(QList<QPointF>(all.begin(), all.end()), positions);
        for (qint64 n = 1; n <= layout.count(); ++n)
            QCOMPARE(layout.position(n), std::optional(positions[n - 1]));
        // A number outside 1..count has no position.
        for (const qint64 n : {qint64(0), qint64(-1), layout.count() + 1})
            QVERIFY(!layout.position(n));
    }
    void spacingStretched_data() {
        QTest::addColumn<DesignInputs>("inputs");
        QTest::addColumn<double>("excess"); // the larger of sx / d and sy / row pitch, less 1
        QTest::addColumn<int>("percent");   // in the sentence; 0 for none
        DesignInputs meeting = room(8, 6, 2.8, 1.2, 140, 80, 88, 1.5, 6);
        QTest::newRow("meeting room: 4.0 m for 3.29 m")
            << meeting << 4 / 3.2934621082265991 - 1 << 22;
        meeting.pattern = Pattern::Offset;
        QTest::newRow("meeting room, offset rows: 4.0 m for 3.75 m")
            << meeting << 4 / 3.754966352691473 - 1 << 7;
        meeting.pattern = Pattern::Square;
        meeting.fit = Fit::Spacing;
        QTest::newRow("meeting room keeping its spacing")
            << meeting << 3 / 3.2934621082265991 - 1 << 0;
    }
    void spacingStretched() {
        QFETCH(DesignInputs, inputs);
        QFETCH(double, excess);
        QFETCH(int, percent);
        const Design design = calculated(inputs);
        const Layout layout = layoutFor(design);
        KVX_COMPARE_NEAR(spacingExcess(design, layout), excess, 1e-9);
        QCOMPARE(stretchesSpacing(design, layout), percent > 0);
        const QString text =
            stretchedSpacingText(design, layout, {StringTable::builtIn(), 0, QLocale::c()});
        QCOMPARE(text.isEmpty(), percent == 0);
        QVERIFY(text.isEmpty() || (text.contains(QStringLiteral(" %1 % ").arg(percent)) &&
                                   text.contains(QStringLiteral("'Keep spacing'"))));
    }
    // A kept spacing is never told as stretched, whatever layout it is shown on.
    void keptSpacingNeverStretched() {
        Design kept = handMade(8, 6, 3, 2.5, 90, 60);
        kept.fit = Fit::Spacing;
        QVERIFY(!stretchesSpacing(kept, test::gridLayout(8, 6, 2, 2)));
    }
    // A [Layout] record cut short reads the field it has; the fit left out is
    // the default. (Whole records are read in test_project_file.)
    void layoutRecordCutShort() {
        LayoutSettings read{Pattern::Square, Fit::Spacing};
        QCOMPARE(readLayoutSettingsFields({"offset"}, read, english()), QStringList());
        QVERIFY(read == (LayoutSettings{Pattern::Offset, Fit::Nearest}));
    }
    void noLayoutWithoutResults_data() {
        QTest::addColumn<Design>("design");
        Design unsettled = handMade(20, 10, 3, 2.5, 90, 60);
        unsettled.settled = false;
        Design cleared;
        Design zero = handMade(20, 10, 3, 2.5, 90, 60);
        zero.distance = 0;
        QTest::newRow("search did not settle") << unsettled;
        QTest::newRow("no calculation") << cleared;
        QTest::newRow("a spacing of exactly 0, though a count is given") << zero;
    }
    void noLayoutWithoutResults() {
        QFETCH(Design, design);
        QVERIFY(!design.usable());
        const Layout layout = layoutFor(design);
        QCOMPARE(layout.count(), qint64(0));
        QVERIFY(!layout.hasPositions());
        QVERIFY(layout.positions().empty());
        QVERIFY_THROWS_EXCEPTION(CoverageError, coverageFor(design, layout));
    }
    void offsetMapAgainstDirectSum_data() {
        // The level at the corners from tests/reference/offset_reference.py and
        // tests/data/check_goldens.py, which lay out the rows and sum g^2 on their
        // own (1e-9): they anchor the reference sum of the test. The figures are
        // made over the points at least the margin from every wall, and no other.
        QTest::addColumn<DesignInputs>("inputs");
        QTest::addColumn<double>("margin");
        QTest::addColumn<QList<double>>("corners"); // 4 kHz at (0, 0) and at (L, W)
        QTest::newRow("default room, square grid: 6 x 3")
            << room(20, 10, 4, 1.5, 90, 60, 90, 6, 6) << 0.0
            << QList{-9.8257149735284, -9.8257149735284};
        QTest::newRow("default room: 5 + 4 + 5, mirrored both ways")
            << offsetRoom(20, 10) << 0.0 << QList{-11.2108241142103, -11.2108241142103};
        QTest::newRow("four rows: the last shifted, no mirror across the width, 1.3 m margin")
            << offsetRoom(20, 14) << 1.3 << QList{-11.1070325583203, -12.8305160479133};
        QTest::newRow("one column of four, 0.5 m margin")
            << offsetRoom(3, 14) << 0.5 << QList{-11.5831793307509, -11.5831793307509};
        QTest::newRow("one row of five, 1 m margin")
            << offsetRoom(20, 3) << 1.0 << QList{-12.4439937313177, -12.4439937313177};
    }
    void offsetMapAgainstDirectSum() {
        QFETCH(DesignInputs, inputs);
        QFETCH(double, margin);
        QFETCH(QList<double>, corners);
        const Design design = calculated(inputs);
        const Layout layout = layoutFor(design);
        const CoverageMap map = coverageFor(design, layout, {8, margin});
        const qsizetype last = qsizetype(map.x.size()) - 1;
        const qsizetype lastY = qsizetype(map.y.size()) - 1;
        QCOMPARE(qint64(last), layout.columns * 8);
        QCOMPARE(qint64(lastY), layout.rows * 8);
        KVX_COMPARE_NEAR(map.levelAt(Band::K4, 0, 0), corners[0], 1e-9);
        KVX_COMPARE_NEAR(map.levelAt(Band::K4, last, lastY), corners[1], 1e-9);
        // The absolute 1 kHz level takes the same terms as the direct level.
        KVX_COMPARE_NEAR(map.offset1k, 90 + 10 * std::log10(6.0) - 20 * std::log10(2.5), 1e-12);
        const auto inside = [&](double x, double y) {
            const double wall = std::min({x, y, layout.length - x, layout.width - y});
            return wall >= margin - 1e-9;
        };
        // Every sample of both bands, and the figures over the listener area.
        for (const Band band : {Band::K1, Band::K4}) {
            const double thetaHalf = band == Band::K1 ? design.thetaHalf1 : design.thetaHalf4;
            std::vector<double> levels;
            for (qsizetype iy = 0; iy <= lastY; ++iy) {
                for (qsizetype ix = 0; ix <= last; ++ix) {
                    // Samples every 1/8 of a spacing, walls and loudspeakers on them.
                    const double x = map.x[size_t(ix)];
                    const double y = map.y[size_t(iy)];
                    KVX_COMPARE_NEAR(x, double(ix) * layout.length / double(last), 1e-12);
                    KVX_COMPARE_NEAR(y, double(iy) * layout.width / double(lastY), 1e-12);
                    const double level = referenceLevel(design, layout, thetaHalf, x, y);
                    KVX_COMPARE_NEAR(map.levelAt(band, ix, iy), level, 1e-9);
                    KVX_COMPARE_NEAR(directLevelAt(design, layout, band, {x, y}), level, 1e-9);
                    QCOMPARE(map.levelNear(band, {x, y}), std::optional(map.levelAt(band, ix, iy)));
                    QCOMPARE(map.inListenerArea(ix, iy), inside(x, y));
                    if (inside(x, y))
                        levels.push_back(level);
                }
            }
            const auto [min, max] = std::minmax_element(levels.begin(), levels.end());
            const auto share = [&, max = *max](double db) {
                return double(std::count_if(levels.begin(), levels.end(),
                                            [&](double l) { return max - l <= db; })) /
                       double(levels.size());
            };
            KVX_COMPARE_NEAR(map.band(band).max, *max, 1e-9);
            KVX_COMPARE_NEAR(map.band(band).min, *min, 1e-9);
            KVX_COMPARE_NEAR(map.band(band).withinSet, share(6), 1e-12);
            KVX_COMPARE_NEAR(map.band(band).within1, share(1), 1e-12);
        }
    }
    void figuresOfOneLoudspeaker_data() {
        // One loudspeaker in the middle of a 1.5 m square, 2.5 m above the ears,
        // two samples per spacing: the middle (0 dB), four wall middles and four
        // corners, at 1 kHz (90 degrees) -1.447 and -2.688 dB, at 4 kHz
        // (140 degrees) -1.041 and -1.942 dB.
        QTest::addColumn<double>("margin");
        QTest::addColumn<double>("difference");
        QTest::addColumn<QList<double>>("k1"); // min, within set, 1, 2, 3
        QTest::addColumn<QList<double>>("k4");

        QTest::newRow("whole room, 6 dB set")
            << 0.0 << 6.0 << QList<double>{-2.688, 1, 1.0 / 9, 5.0 / 9, 1}
            << QList<double>{-1.942, 1, 1.0 / 9, 1, 1};
        QTest::newRow("whole room, 1.5 dB set")
            << 0.0 << 1.5 << QList<double>{-2.688, 5.0 / 9, 1.0 / 9, 5.0 / 9, 1}
            << QList<double>{-1.942, 5.0 / 9, 1.0 / 9, 1, 1};
        QTest::newRow("margin keeps the middle only")
            << 0.5 << 6.0 << QList<double>{0, 1, 1, 1, 1} << QList<double>{0, 1, 1, 1, 1};
        QTest::newRow("margin of half the side: the middle is on it")
            << 0.75 << 6.0 << QList<double>{0, 1, 1, 1, 1} << QList<double>{0, 1, 1, 1, 1};
    }
    void figuresOfOneLoudspeaker() {
        QFETCH(double, margin);
        QFETCH(double, difference);
        QFETCH(QList<double>, k1);
        QFETCH(QList<double>, k4);

        const Design design = handMade(1.5, 1.5, 1.5, 2.5, 90, 140, difference);
        const Layout layout = layoutFor(design);
        QCOMPARE(layout.count(), qint64(1));
        const CoverageMap map = coverageFor(design, layout, {2, margin});
        for (const auto& [band, expected] : {std::pair{Band::K1, k1}, std::pair{Band::K4, k4}}) {
            const BandFigures& f = map.band(band);
            KVX_COMPARE_NEAR(f.max, 0, 1e-12);
            KVX_COMPARE_NEAR(f.min, expected[0], 0.001);
            KVX_COMPARE_NEAR(f.spread, -expected[0], 0.001);
            KVX_COMPARE_NEAR(f.withinSet, expected[1], 1e-12);
            KVX_COMPARE_NEAR(f.within1, expected[2], 1e-12);
            KVX_COMPARE_NEAR(f.within2, expected[3], 1e-12);
            KVX_COMPARE_NEAR(f.within3, expected[4], 1e-12);
        }
    }
    void fastMapAgainstDirectSumInLargeHall() {
        // 90 x 60 loudspeakers, 4 samples per spacing: 130,000 points per band.
        const Design design = handMade(270, 180, 3, 2.5, 90, 60);
        const Layout layout = layoutFor(design);
        QCOMPARE(layout.columns, qint64(90));
        QCOMPARE(layout.rows, qint64(60));
        const CoverageMap map = coverageFor(design, layout, {4, 0});
        QVERIFY(map.hasLevels());
        QRandomGenerator random(14);
        double worst = 0;
        for (int n = 0; n < 300; ++n) {
            const auto ix = qsizetype(random.bounded(int(map.x.size())));
            const auto iy = qsizetype(random.bounded(int(map.y.size())));
            const Band band = n % 2 ? Band::K4 : Band::K1;
            const QPointF point(map.x[size_t(ix)], map.y[size_t(iy)]);
            const double error =
                std::abs(map.levelAt(band, ix, iy) - directLevelAt(design, layout, band, point));
            worst = std::max(worst, error);
        }
        QVERIFY2(worst <= 0.01, qPrintable(QStringLiteral("%1 dB off").arg(worst)));
    }
    void mapClearsDirtyVectorRegisters() {
        // Qt's string hash leaves the registers dirty on processors with VAES; a
        // map worked out in that state (as a building's rooms were, in threads
        // started after its file was read) runs about ten times slower.
        QHash<QString, int> hashed;
        hashed.insert(QStringLiteral("Room 1"), 1);
        const std::optional<bool> dirty = upperHalvesInUse();
        if (!dirty || !*dirty)
            QSKIP("Qt's hash does not leave this processor's vector registers dirty");
        const Design design = handMade(30, 11.25, 3.75, 2.5, 90, 60);
        const CoverageMap map = coverageFor(design, layoutFor(design), {});
        QCOMPARE(upperHalvesInUse(), std::optional<bool>(false));
        QVERIFY(map.hasLevels());
    }
    void refusedOptions_data() {
        QTest::addColumn<int>("samples");
        QTest::addColumn<double>("margin");
        QTest::addColumn<int>("textId");
        QTest::addColumn<double>("length"); // 3.6 m spacing
        QTest::addColumn<double>("width");
        const auto row = [](const char* name, int samples, double margin, int textId,
                            double length = 20, double width = 10) {
            QTest::newRow(name) << samples << margin << textId << length << width;
        };
        row("negative margin", 0, -0.01, PlanText::NegativeMargin);
        row("margin not a number", 0, std::nan(""), PlanText::NegativeMargin);
        row("infinite margin", 0, HUGE_VAL, PlanText::NegativeMargin);
        row("margin beyond half the width", 0, 5.01, PlanText::NoListenerArea);
        row("odd samples", 3, 0.0, PlanText::OddSamples);
        row("negative samples", -2, 0.0, PlanText::OddSamples);
        // Its kernel fits the table's bound, but with the runs and the row of
        // samples it would take about 700 MB.
        row("a strip of 8,000,000 x 1: every array counted", 0, 0, PlanText::TooLargeForMap,
            8e6 * 3.6, 1);
    }
    void refusedOptions() {
        QFETCH(int, samples);
        QFETCH(double, margin);
        QFETCH(double, length);
        QFETCH(double, width);
        const Design design = handMade(length, width, 3.6, 2.5, 90, 60);
        try {
            coverageFor(design, layoutFor(design), {samples, margin});
            QFAIL("no error");
        } catch (const CoverageError& error) {
            QTEST(error.textId, "textId");
            QVERIFY(!error.message.isEmpty());
        }
    }
    void defaultSampleCount_data() {
        QTest::addColumn<double>("length");
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("samples");
        QTest::newRow("6 x 3: 34") << 20.0 << 10.0 << 34;
        QTest::newRow("width the longer side: 3 x 6") << 10.0 << 20.0 << 34;
        QTest::newRow("120 columns: 2") << 400.0 << 10.0 << 2;
        QTest::newRow("one loudspeaker: at most 64") << 3.0 << 3.0 << 64;
        QTest::newRow("4 columns: 50") << 12.0 << 3.0 << 50;
    }
    void defaultSampleCount() {
        QFETCH(double, length);
        QFETCH(double, width);
        QFETCH(int, samples);
        const Design design = handMade(length, width, 3.333, 2.5, 90, 60);
        const Layout layout = layoutFor(design);
        QCOMPARE(defaultSamples(layout), samples);
        const CoverageMap map = coverageFor(design, layout);
        QCOMPARE(map.samples, samples);
        QCOMPARE(qint64(map.x.size()), layout.columns * samples + 1);
    }
    void veryLargeRooms_data() {
        QTest::addColumn<double>("length");
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("samples"); // asked for
        QTest::addColumn<int>("used");
        QTest::addColumn<bool>("levels");
        QTest::newRow("1001 x 1001: no positions, a map at 2 samples")
            << 1001.0 << 1001.0 << 0 << 2 << true;
        QTest::newRow("samples asked for lowered to fit") << 1001.0 << 1001.0 << 16 << 2 << true;
        QTest::newRow("2000 x 1100: figures without a map") << 2000.0 << 1100.0 << 0 << 2 << false;
    }
    void veryLargeRooms() {
        QFETCH(double, length);
        QFETCH(double, width);
        QFETCH(int, samples);
        QFETCH(int, used);
        QFETCH(bool, levels);
        // Exactly the limit still has its positions.
        const Layout limit = test::gridLayout(1000, 1000, 1000, 1000);
        QVERIFY(limit.hasPositions());
        QCOMPARE(limit.positions().size(), size_t(kMaxPlannedSpeakers));
        const Design design = handMade(length, width, 1, 2.5, 90, 60);
        const Layout layout = layoutFor(design);
        QCOMPARE(layout.count(), qint64(length) * qint64(width));
        QVERIFY(!layout.hasPositions());
        QVERIFY(layout.positions().empty());
        QCOMPARE(positionsCsv(layout), QStringLiteral("number,x,y\n"));
        // A file of them is refused, in the window and on the command line alike.
        QTemporaryDir dir;
        QString whyNot;
        QVERIFY(!writePositionsCsv(layout, dir.filePath("p.csv"), english(), &whyNot));
        QCOMPARE(whyNot, StringTable::builtIn().text(PlanText::NoPositions));
        QVERIFY(!QFile::exists(dir.filePath("p.csv")));

        const CoverageMap map = coverageFor(design, layout, {samples, 0});
        QCOMPARE(map.samples, used);
        QCOMPARE(map.samplesLowered, samples != 0 && samples != used);
        QCOMPARE(map.hasLevels(), levels);
        for (const Band band : {Band::K1, Band::K4}) {
            const BandFigures& f = map.band(band);
            QVERIFY(std::isfinite(f.max) && std::isfinite(f.min));
            QVERIFY(f.max > f.min);
            // Deep inside a hall of a million loudspeakers the level far exceeds
            // one loudspeaker's; the corners get about a quarter of it.
            QVERIFY(f.max > 3);
            QVERIFY(f.withinSet > 0.9 && f.withinSet <= 1);
            QVERIFY(f.within1 <= f.within2 && f.within2 <= f.within3 && f.within3 <= 1);
        }
        // The stored map's middle against the direct sum.
        if (levels) {
            const qsizetype ix = qsizetype(map.x.size() / 2);
            const qsizetype iy = qsizetype(map.y.size() / 2);
            KVX_COMPARE_NEAR(
                map.levelAt(Band::K1, ix, iy),
                directLevelAt(design, layout, Band::K1, {map.x[size_t(ix)], map.y[size_t(iy)]}),
                0.01);
        }
    }
    void positionsAsCsv() {
        // Written whole, or not at all.
        QTemporaryDir dir;
        const Layout layout = layoutFor(handMade(8, 6, 3.3, 1.6, 140, 80));
        const QString path = dir.filePath(QStringLiteral("positions.csv"));
        QString whyNot;
        QVERIFY(writePositionsCsv(layout, path, english(), &whyNot));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("number,x,y\n1,2,1.5\n2,6,1.5\n3,2,4.5\n4,6,4.5\n"));

        const QString missingFolder = dir.filePath(QStringLiteral("none/positions.csv"));
        QVERIFY(!writePositionsCsv(layout, missingFolder, english(), &whyNot));
        QVERIFY(!whyNot.isEmpty());
        QVERIFY(!QFile::exists(missingFolder));
        QVERIFY(!writePositionsCsv(layout, dir.path(), english(), &whyNot));
    }
    void geometryTexts_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("pattern"); // 1: offset rows
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<qint64>("count");
        const QStringList texts = {"20.00 m", "10.00 m", "3.33 m", "3.33 m", "1.67 m", "1.67 m"};
        QTest::newRow("C") << QStringLiteral("C") << 0 << texts << qint64(18);
        QTest::newRow("German") << QStringLiteral("de_DE") << 0
                                << QStringList(texts).replaceInStrings(".", ",") << qint64(18);
        // 6 x 3 offset rows: 6, 5, 6 loudspeakers; the second row's first one
        // half a spacing in, at 3.33 m.
        QTest::newRow("offset rows")
            << QStringLiteral("C") << 1 << (texts + QStringList{"1.67 m"}) << qint64(17);
    }
    void geometryTexts() {
        QFETCH(QString, locale);
        QFETCH(int, pattern);
        QFETCH(qint64, count);
        const Layout layout =
            test::gridLayout(20, 10, 6, 3, pattern ? Pattern::Offset : Pattern::Square);
        const PlanGeometry plan = planGeometry(layout, QLocale(locale));
        QCOMPARE(plan.room, QRectF(0, 0, 20, 10));
        QCOMPARE(plan.count, count);
        QCOMPARE(plan.speakers.size(), size_t(count));
        QCOMPARE(plan.speakers.back().number, count);
        QCOMPARE(std::optional(plan.speakers.back().position), layout.position(count));
        QVERIFY(!plan.tooManyToDraw);
        QStringList shown;
        for (const auto& dimension : plan.dimensions)
            shown << dimension.text;
        QTEST(shown, "texts");
        // The wall distance in x runs from the wall to the first loudspeaker.
        QCOMPARE(plan.dimensions[4].from.x(), 0.0);
        KVX_COMPARE_NEAR(plan.dimensions[4].to.x(), 10.0 / 6, 1e-12);
        // The half spacing runs along the second row, from above the first
        // loudspeaker to the second row's first.
        if (pattern) {
            const PlanGeometry::Dimension& half = plan.dimensions[6];
            QCOMPARE(half.to, plan.speakers[6].position);
            QCOMPARE(half.from, QPointF(10.0 / 6, 10.0 / 2));
        }

        const PlanGeometry huge =
            planGeometry(layoutFor(handMade(1001, 1001, 1, 2.5, 90, 60)), QLocale(locale));
        QVERIFY(huge.tooManyToDraw);
        QVERIFY(huge.speakers.empty());
        QCOMPARE(huge.count, qint64(1002001));
    }

    void drawingTextsNeverMeet_data() {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<QSizeF>("area");
        QTest::addColumn<double>("point");  // device units per point
        QTest::addColumn<bool>("complete"); // every dimension shown
        QTest::addColumn<bool>("numbered"); // the loudspeakers' numbers must be shown
        const struct {
            const char* name;
            Layout layout;
        } rooms[] = {
            // Wall distances 1.67 and 1.50 m meet at the corner.
            {"30 x 12", test::gridLayout(30, 12, 9, 4)},
            // The wall distance and the half shift both 3.57 m, side by side.
            {"50 x 50 offset", test::gridLayout(50, 50, 7, 8, Pattern::Offset)},
            {"tiny room", test::gridLayout(1.2, 0.9, 1, 1)},
            {"one loudspeaker", test::gridLayout(4, 4, 1, 1)},
            {"long thin room", test::gridLayout(80, 2.5, 32, 1)},
        };
        const struct {
            const char* name;
            QSizeF area;
            double point;
            bool complete;
        } sizes[] = {
            {"small window", {360, 260}, 1, false},
            {"window", {820, 520}, 1, true},
            {"window at scale 2", {820, 520}, 2, true},
            {"page", {7400, 9000}, 1200 / 72.0, true},
        };
        for (const auto& r : rooms)
            for (const auto& s : sizes)
                QTest::addRow("%s, %s", r.name, s.name)
                    << r.layout << s.area << s.point << s.complete
                    << (QByteArray(s.name).startsWith("window") &&
                        (QByteArray(r.name).startsWith("30") ||
                         QByteArray(r.name).startsWith("one")));
    }

    void drawingTextsNeverMeet() {
        QFETCH(Layout, layout);
        QFETCH(QSizeF, area);
        QFETCH(double, point);
        QFETCH(bool, complete);
        QFETCH(bool, numbered);
        const PlanGeometry geometry = planGeometry(layout, QLocale::c());
        // Texts about as wide as a sans-serif font sets them, at 8 and 6.5 points.
        PlanTextMetrics metrics;
        metrics.point = point;
        metrics.dimensionText = [point](const QString& text) {
            return QSizeF(4.6 * point * double(text.size()), 11 * point);
        };
        metrics.numberText = [point](const QString& text) {
            return QSizeF(3.8 * point * double(text.size()), 9 * point);
        };
        const QRectF drawing(QPointF(10, 20), area);
        const PlanDrawingLayout placed = layoutPlanDrawing(geometry, drawing, metrics);
        QVERIFY(placed.frame.isValid());
        const QRectF room = placed.frame.toDevice(geometry.room);

        std::vector<QRectF> texts;
        for (const auto& d : placed.dimensions)
            texts.push_back(d.label);
        texts.insert(texts.end(), placed.numbers.begin(), placed.numbers.end());
        const QRectF inside = drawing.adjusted(-1e-6, -1e-6, 1e-6, 1e-6);
        QVERIFY(inside.contains(room));
        for (std::size_t i = 0; i < texts.size(); ++i) {
            QVERIFY2(inside.contains(texts[i]), qPrintable(QString::number(i)));
            // Dimensions' texts outside the room.
            if (i < placed.dimensions.size())
                QVERIFY(!texts[i].intersects(room));
            for (std::size_t j = 0; j < i; ++j)
                QVERIFY2(!texts[i].intersects(texts[j]),
                         qPrintable(QStringLiteral("%1 on %2").arg(i).arg(j)));
        }
        // No text stands beside another dimension's line, where it would read
        // as that line's.
        for (const auto& d : placed.dimensions) {
            const QPointF out(d.placed.outward().x(), -d.placed.outward().y());
            const QRectF lane = QRectF(d.lineFrom, d.lineTo + out * (11 * point)).normalized();
            for (const auto& other : placed.dimensions)
                if (&other != &d)
                    QVERIFY2(!other.label.intersects(lane),
                             qPrintable(other.placed.text + " beside " + d.placed.text));
        }
        // Every dimension where there is room; the numbers all or none.
        if (complete)
            QCOMPARE(placed.dimensions.size(), placeDimensions(geometry).size());
        QVERIFY(placed.numbers.empty() || placed.numbers.size() == geometry.speakers.size());
        if (numbered)
            QVERIFY(!placed.numbers.empty());
    }
};

QTEST_GUILESS_MAIN(TestPlan)
#include "test_plan.moc"
