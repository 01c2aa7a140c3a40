// The speech estimate: the STI of given energies, the room and loudspeaker
// figures of rooms worked by hand, no STI map without map levels, settings that
// cannot be used and a reverberation time the room does not allow, the STI map
// against a plain evaluation of every point, the rows the page shows and the
// project fields.
//
// Reference values come from tests/reference/speech_reference.py, written from
// the model's definitions alone (Python's math and complex numbers, the half
// angle as angle x 3.14159 / 360), not from this code; given to 10 digits.
#include "core/calc/sound.h"
#include "core/plan/coverage.h"
#include "core/speech/speech.h"
#include "core/speech/speech_texts.h"
#include "core/system/system.h"
#include "support/compare.h"
#include "support/plan.h"

#include <QJsonArray>
#include <QTest>

#include <cmath>
#include <complex>
#include <numbers>

using namespace kvx;

Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(kvx::SpeechSettings)

namespace {

// The hand room: 24 x 12 x 5 m, ears at 1.2 m, 5 x 3 loudspeakers of 100
// degrees at 1 kHz, 92 dB, 3 W.
Design handRoom(double angle1 = 100) {
    Design d = test::handMade(24, 12, 4.8, 3.8, angle1, 60);
    d.sensitivity = 92;
    d.speakerPower = 3;
    d.speakers = 15;
    return d;
}

Layout handLayout() {
    return test::gridLayout(24, 12, 5, 3);
}

// The hand room's reverberant level at T = 1.6 s (script).
constexpr double kHandReverberant = 95.73055488;

// The calculated 20 x 10 x 4 m room of the command line's example: 18 loudspeakers.
Design exampleRoom() {
    return test::calculated(test::roomInputs(20, 10, 4, 1.5, 90, 60, 90, 6, 6));
}

SpeechSettings reverberation(double t, double target = 0.5) {
    return {t, target};
}

LocalTexts english() {
    return {StringTable::builtIn(), 0, QLocale::c()};
}

// The STI written out: |D + R / (1 + jx)| / (D + R + N) at each modulation
// frequency, its apparent S/N held to 15 dB either way, the mean index.
double plainSti(double direct, double reverberant, double noise, double t) {
    const double frequencies[] = {0.63, 0.8, 1, 1.25, 1.6, 2, 2.5, 3.15, 4, 5, 6.3, 8, 10, 12.5};
    double sum = 0;
    for (const double f : frequencies) {
        const double x = 2 * std::numbers::pi * f * t / 13.8;
        const double m = std::abs(direct + reverberant / std::complex<double>(1, x)) /
                         (direct + reverberant + noise);
        const double snr = m >= 1 ? 15 : std::clamp(10 * std::log10(m / (1 - m)), -15.0, 15.0);
        sum += (snr + 15) / 30;
    }
    return sum / 14;
}

} // namespace

class TestSpeech : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Energies in any common unit.
    void stiOfEnergies_data() {
        QTest::addColumn<QList<double>>("in"); // direct, reverberant, noise, T
        QTest::addColumn<double>("sti");
        // The checks every implementation meets: 1.00, 0.588, 0.736, 0.50.
        QTest::newRow("direct sound only") << QList<double>{1, 0, 0, 1} << 1.0;
        QTest::newRow("reverberant only, 1 s") << QList<double>{0, 1, 0, 1} << 0.5882193928;
        QTest::newRow("reverberant only, 0.5 s") << QList<double>{0, 1, 0, 0.5} << 0.7360845643;
        QTest::newRow("direct equal to noise") << QList<double>{1, 0, 1, 1} << 0.5;
        // All three, so that the complex term and the noise meet.
        QTest::newRow("D = R = 2 N, 1.6 s") << QList<double>{1, 1, 0.5, 1.6} << 0.5242493495;
        QTest::newRow("D = 4 R = 40 N, 0.8 s") << QList<double>{4, 1, 0.1, 0.8} << 0.8218192429;
        // 20 dB of noise over the direct sound is held to -15 dB.
        QTest::newRow("noise 20 dB above the direct sound") << QList<double>{1, 0, 100, 1} << 0.0;
    }
    void stiOfEnergies() {
        QFETCH(QList<double>, in);
        QFETCH(double, sti);
        KVX_COMPARE_NEAR(stiFor(in[0], in[1], in[2], in[3]), sti, 1e-9);
    }

    // Volume, surface, absorption, room constant, Q, Lw, Lr, rc and the
    // shortest reverberation time of the script, within 1e-6 of each value.
    void roomAndLoudspeakers_data() {
        QTest::addColumn<Design>("design");
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<double>("t");
        QTest::addColumn<QList<double>>("expected"); // V S a Rc Q Lw Lr rc shortest
        QTest::newRow("hand room, 1.6 s")
            << handRoom() << handLayout() << 1.6
            << QList<double>{1440,        936,         0.1548076923, 171.440273,  5.598918783,
                             100.2901709, 95.73055488, 4.369920952,  0.2476923077};
        QTest::newRow("an opening beyond 360 degrees counts as a full circle")
            << handRoom(400) << handLayout() << 1.6
            << QList<double>{1440,        936,         0.1548076923, 171.440273,  1,
                             107.7712125, 103.2115966, 1.846806937,  0.2476923077};
        QTest::newRow("the calculated default room, 1.2 s")
            << exampleRoom() << layoutFor(exampleRoom()) << 1.2
            << QList<double>{800,         640,         0.1677083333, 128.9612015, 6.828438061,
                             100.4382988, 97.90703302, 4.185576605,  0.20125};
    }
    void roomAndLoudspeakers() {
        QFETCH(Design, design);
        QFETCH(Layout, layout);
        QFETCH(double, t);
        QFETCH(QList<double>, expected);
        const SpeechModel m = speechModelFor(design, layout, reverberation(t), std::nullopt);
        QVERIFY(m.issues.empty() && !m.shortestReverberation && m.estimates());
        const QList<double> actual{m.volume,
                                   m.surface,
                                   m.absorption.value(),
                                   m.roomConstant.value(),
                                   m.q,
                                   m.powerLevel,
                                   m.reverberantLevel.value(),
                                   m.criticalDistance.value(),
                                   shortestReverberation(m.volume, m.surface)};
        for (qsizetype i = 0; i < expected.size(); ++i)
            KVX_COMPARE_NEAR(actual[i], expected[i], 1e-6 * std::abs(expected[i]));
    }

    // A coverage map too large to keep its levels gives no STI map, and says so.
    // (The example room's figures are the command line's golden speech-example.)
    void noMapWithoutLevels() {
        const Design design = exampleRoom();
        const Layout layout = layoutFor(design);
        CoverageMap bare = coverageFor(design, layout);
        bare.level = {};
        bare.x.clear();
        bare.y.clear();
        const Speech without = speechFor(design, layout, bare, reverberation(1.2), 55.0);
        QVERIFY(without.figures.mapTooLarge && !without.figures.sti && without.map.empty());
        QVERIFY(speechNotes(without.figures, english())
                    .contains(english().text(SpeechText::TooLargeForMap)));
    }

    // A setting that cannot be used names itself; only what needs it is left
    // out. A reverberation time the room does not allow leaves out everything.
    void badSettings_data() {
        QTest::addColumn<SpeechSettings>("settings");
        QTest::addColumn<std::optional<double>>("ambient");
        // g figure rows, r reverberant figures, s STI, t target verdict
        QTest::addColumn<QString>("present");
        QTest::addColumn<QString>("note"); // how the first note begins
        // The notes whole are the Speech page's (test_speech_panel) and the command line's.
        const auto row = [](const char* name, const SpeechSettings& settings,
                            std::optional<double> ambient, const char* present, const char* note) {
            QTest::newRow(name) << settings << ambient << QString(present) << QString(note);
        };
        const SpeechSettings good = reverberation(1.6);
        row("all good", good, 40, "grst", "");
        row("no ambient: no noise", good, std::nullopt, "grst", "");
        row("no reverberation time", {}, 40, "", "Enter the room's reverberation time");
        row("reverberation 0", reverberation(0), 40, "g", "Reverberation time: \"0\"");
        row("reverberation not a number", reverberation(std::nan("")), 40, "g",
            "Reverberation time: \"nan\"");
        // 0.161 x 1440 / 936 = 0.2477 s absorbs everything; shown rounded up.
        row("0.2 s, shorter than the room allows", reverberation(0.2), 40, "",
            "A reverberation time of 0.2 s is too short for this room: by Sabine's formula it "
            "needs at least 0.25 s.");
        row("ambient 141", good, 141, "gr", "Ambient noise: \"141\"");
        row("ambient -1", good, -1, "gr", "Ambient noise: \"-1\"");
        row("ambient 0 is taken", good, 0, "grst", "");
        row("ambient 140 is taken", good, kMaxAmbient, "grst", "");
        row("target 1.2", reverberation(1.6, 1.2), 40, "grs", "STI target: \"1.2\"");
    }
    void badSettings() {
        QFETCH(SpeechSettings, settings);
        QFETCH(std::optional<double>, ambient);
        QFETCH(QString, present);
        QFETCH(QString, note);
        const Design design = handRoom();
        const Layout layout = handLayout();
        const Speech speech =
            speechFor(design, layout, coverageFor(design, layout, {4, 0}), settings, ambient);
        const SpeechFigures& f = speech.figures;
        QCOMPARE(QString(speechFigureGroups(f, english()).empty() ? "" : "g") +
                     (f.model.reverberantLevel ? "r" : "") + (f.sti ? "s" : "") +
                     (f.sti && f.sti->met ? "t" : ""),
                 present);
        QCOMPARE(f.sti.has_value(), !speech.map.empty());
        // An issue comes first; a hint or the refusal is no issue.
        QCOMPARE(f.model.issues.size(), size_t(note.contains(u'"') ? 1 : 0));
        const QString first = speechNotes(f, english()).value(0);
        QCOMPARE(note.isEmpty() ? QString() : first.left(note.size()), note);
    }

    // A point or a mean exactly on the target reaches it; points outside the
    // listener area (NaN) count for nothing.
    void figuresAtTheTarget() {
        StiMap map;
        map.sti = {0.5, 0.6, std::nan("")};
        const StiFigures f = stiFiguresFor(map, 0.5);
        KVX_COMPARE_NEAR(f.mean, 0.55, 1e-12);
        QCOMPARE(f.min, 0.5);
        QCOMPARE(f.max, 0.6);
        QCOMPARE(f.shareAtTarget.value(), 1.0);
        QVERIFY(f.met.value());
        const StiFigures above = stiFiguresFor(map, 0.55);
        QCOMPARE(above.shareAtTarget.value(), 0.5);
        QVERIFY(above.met.value());
    }

    // Every point of the listener area against the plain evaluation: the level
    // summed from the model's definition over every loudspeaker, energies from
    // the contract's terms, the STI written out with complex numbers. One level
    // is changed first, so that the map cannot be symmetric there.
    void stiMapAgainstPlainEvaluation() {
        const Design design = handRoom();
        const Layout layout = handLayout();
        CoverageMap coverage = coverageFor(design, layout, {4, 1.5});
        const qsizetype columns = qsizetype(coverage.x.size());
        const qsizetype changedX = columns - 3;
        const qsizetype changedY = qsizetype(coverage.y.size()) - 4;
        coverage.level[0][size_t(changedY * columns + changedX)] += 3;
        const double ambient = 70;
        const SpeechModel model = speechModelFor(design, layout, reverberation(1.6), ambient);
        const StiMap map = stiMapFor(coverage, model);
        const QJsonArray rows = stiRows(map);
        QCOMPARE(rows.size(), qsizetype(coverage.y.size()));

        const double offset = 92 + 10 * std::log10(3.0) - 20 * std::log10(3.8);
        double sum = 0, low = 2, high = -1, points = 0, atTarget = 0;
        for (qsizetype iy = 0; iy < qsizetype(coverage.y.size()); ++iy) {
            for (qsizetype ix = 0; ix < columns; ++ix) {
                const double x = coverage.x[size_t(ix)];
                const double y = coverage.y[size_t(iy)];
                const bool inside =
                    x >= 1.5 - 1e-9 && x <= 22.5 + 1e-9 && y >= 1.5 - 1e-9 && y <= 10.5 + 1e-9;
                QCOMPARE(map.at(ix, iy).has_value(), inside);
                QCOMPARE(rows[iy].toArray()[ix].isNull(), !inside);
                if (!inside)
                    continue;
                double level =
                    offset + test::referenceLevel(design, layout, design.thetaHalf1, x, y);
                if (ix == changedX && iy == changedY)
                    level += 3;
                const double expected =
                    plainSti(std::pow(10, level / 10), std::pow(10, kHandReverberant / 10),
                             std::pow(10, ambient / 10), 1.6);
                KVX_COMPARE_NEAR(*map.at(ix, iy), expected, 1e-6);
                KVX_COMPARE_NEAR(rows[iy].toArray()[ix].toDouble(), expected, 1e-6);
                sum += expected;
                points += 1;
                low = std::min(low, expected);
                high = std::max(high, expected);
                atTarget += expected >= 0.5 ? 1 : 0;
            }
        }
        const StiFigures f = stiFiguresFor(map, 0.5);
        KVX_COMPARE_NEAR(f.mean, sum / points, 1e-6);
        KVX_COMPARE_NEAR(f.min, low, 1e-6);
        KVX_COMPARE_NEAR(f.max, high, 1e-6);
        KVX_COMPARE_NEAR(f.shareAtTarget.value(), atTarget / points, 1e-12);
        QCOMPARE(f.met.value(), sum / points >= 0.5);
        // The value under the pointer is the nearest sample's.
        QCOMPARE(map.near({coverage.x[size_t(changedX)] + 0.1, coverage.y[size_t(changedY)]}),
                 map.at(changedX, changedY));
    }

    // The rows of the page for the hand room at 1.6 s, with STI figures set
    // by hand: the rounding and the verdict.
    void figureRows() {
        SpeechFigures f;
        f.model = speechModelFor(handRoom(), handLayout(), reverberation(1.6), 55.0);
        f.sti = StiFigures{0.5049, 0.41, 0.625, 0.6349, true};
        const auto lines = [&f] {
            QStringList lines;
            for (const FigureGroup& group : speechFigureGroups(f, english())) {
                lines << group.title;
                for (const FigureRow& row : group.rows)
                    lines << row.label + ": " + row.value +
                                 (row.tone == FigureTone::Good ? " +" : "") +
                                 (row.tone == FigureTone::Bad ? " -" : "");
            }
            return lines;
        };
        QCOMPARE(
            lines(),
            (QStringList{
                "Room", "Volume: 1440.0 m³", "Surface area: 936.0 m²",
                "Mean absorption (Sabine): 0.155", "Room constant: 171.4 m²", "Loudspeakers",
                "Number of loudspeakers: 15", "Directivity factor Q: 5.60",
                "Sound power level of one loudspeaker: 100.3 dB", "Reverberant level: 95.7 dB",
                "Critical distance of one loudspeaker: 4.37 m", "Speech transmission index (STI)",
                "Mean STI: 0.50", "Lowest STI: 0.41", "Highest STI: 0.63",
                "Share at or above the target: 63 %", "STI target: 0.50: met +"}));
        QCOMPARE(speechNotes(f, english()).last(), english().text(SpeechText::LeavesOut));
        f.sti->met = false;
        QCOMPARE(lines().last(), "STI target: 0.50: short -");
    }

    // The [Speech] record's fields: written back as they were read, a comma
    // read as a decimal separator, a value that is not a number named and
    // its default kept.
    void projectFields_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<SpeechSettings>("settings");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QString>("message");
        QTest::newRow("reverberation only")
            << QStringList{"1.2", "0.5"} << reverberation(1.2) << QStringList{"1.2", "0.5"} << "";
        QTest::newRow("target only")
            << QStringList{"", "0.62"} << SpeechSettings{{}, 0.62} << QStringList{"", "0.62"} << "";
        QTest::newRow("comma, blanks") << QStringList{" 1,75 ", "0,45"} << reverberation(1.75, 0.45)
                                       << QStringList{"1.75", "0.45"} << "";
        QTest::newRow("fields missing")
            << QStringList{} << SpeechSettings{} << QStringList{"", "0.5"} << "";
        QTest::newRow("reverberation not a number")
            << QStringList{"long", "0.6"} << SpeechSettings{{}, 0.6} << QStringList{"", "0.6"}
            << "The project file holds \"long\" for the speech setting \"Reverberation time\", "
               "which is not a number; the default is kept.";
        QTest::newRow("target not a number")
            << QStringList{"2", "high"} << reverberation(2) << QStringList{"2", "0.5"}
            << "The project file holds \"high\" for the speech setting \"STI target\", which is "
               "not a number; the default is kept.";
    }
    void projectFields() {
        QFETCH(QStringList, fields);
        QFETCH(QString, message);
        SpeechSettings read;
        const QStringList messages = readSpeechSettingsFields(fields, read, english());
        QTEST(read, "settings");
        QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
        QTEST(speechSettingsFields(read), "written");
    }
};

QTEST_GUILESS_MAIN(TestSpeech)
#include "test_speech.moc"
