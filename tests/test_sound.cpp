// The acoustic model and the spacing solver against worked values.
#include "core/calc/sound.h"
#include "core/kvx_error.h"
#include "support/compare.h"
#include "support/fake_platform.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace kvx;
using kvx::test::FakePlatform;

namespace {

// The half opening angle in radians of a full opening angle in degrees, as
// the calculation converts it.
double halfAngle(double fullDegrees) {
    return fullDegrees * kPi / 360;
}

double targetRatio(double differenceDb) {
    return std::pow(10.0, -differenceDb / 10);
}

const QString kIterationMessage =
    QStringLiteral("Maximum number of iterations (100) exceeded\nResults are unreliable");

} // namespace

class TestSound : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void directivity_data();
    void directivity();
    void sums_data();
    void sums();
    void cappedBeamSums_data();
    void cappedBeamSums();
    void solver_data();
    void solver();
    void solverRepeatsSpacingsAfterSignChanges();
    void solverRunsThroughZeroWhenTargetUnreachable();
    void exactHitEndsSearch();
    void speakerCount_data();
    void speakerCount();
    void speakerCountOutOfRange_data();
    void speakerCountOutOfRange();
    void log10_data();
    void log10();
};

void TestSound::directivity_data() {
    QTest::addColumn<double>("fullAngle");
    QTest::addColumn<double>("theta");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("tolerance");

    const double h90 = halfAngle(90);
    QTest::newRow("90 degrees on the axis") << 90.0 << 0.0 << 1.0 << 1e-12;
    QTest::newRow("90 degrees at the half angle is -6 dB") << 90.0 << h90 << 0.353554 << 1e-6;
    // c = 0.335088 and r = 0.248021 for a half angle of 45 degrees.
    const double x = std::pow(1.2 / h90, 2);
    QTest::newRow("90 degrees beyond the half angle")
        << 90.0 << 1.2 << (0.335088 + 0.664912 * std::pow(0.248021, x)) * std::cos(1.2) << 2e-6;
    QTest::newRow("20 degrees at three half angles goes negative")
        << 20.0 << 3 * halfAngle(20) << -0.071379 << 1e-6;
    QTest::newRow("170 degrees on the axis") << 170.0 << 0.0 << 1.0 << 1e-12;
    QTest::newRow("170 degrees off the axis keeps half")
        << 170.0 << 0.4 << 0.5 * std::cos(0.4) << 1e-12;
    QTest::newRow("170 degrees far off the axis keeps half")
        << 170.0 << 1.5 << 0.5 * std::cos(1.5) << 1e-12;
}

void TestSound::directivity() {
    QFETCH(double, fullAngle);
    QFETCH(double, theta);
    QFETCH(double, expected);
    QFETCH(double, tolerance);
    KVX_COMPARE_NEAR(Directivity(theta, halfAngle(fullAngle)), expected, tolerance);
}

void TestSound::sums_data() {
    QTest::addColumn<double>("d");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("fullAngle");
    QTest::addColumn<double>("nextDoor");
    QTest::addColumn<double>("diagonal");
    QTest::addColumn<double>("below");
    QTest::addColumn<double>("between");

    QTest::newRow("90 degrees, spacing equal to height")
        << 2.5 << 2.5 << 90.0 << 0.125000 << 0.058687 << 2.321998 << 1.769530;
    QTest::newRow("negative spacing sums as positive")
        << -2.5 << 2.5 << 90.0 << 0.125000 << 0.058687 << 2.321998 << 1.769530;
    QTest::newRow("zero spacing sees every speaker on its axis")
        << 0.0 << 2.5 << 90.0 << 1.0 << 1.0 << 49.0 << 36.0;
}

void TestSound::sums() {
    QFETCH(double, d);
    QFETCH(double, h);
    QFETCH(double, fullAngle);
    QFETCH(double, nextDoor);
    QFETCH(double, diagonal);
    QFETCH(double, below);
    QFETCH(double, between);
    const double th = halfAngle(fullAngle);
    KVX_COMPARE_NEAR(SpeakerContribution(1, 0, d, h, th), nextDoor, 1e-6);
    KVX_COMPARE_NEAR(SpeakerContribution(1, 1, d, h, th), diagonal, 1e-6);
    KVX_COMPARE_NEAR(IntensityBelowSpeaker(d, h, th), below, 1e-6);
    KVX_COMPARE_NEAR(IntensityBetweenSpeakers(d, h, th), between, 1e-6);
}

void TestSound::cappedBeamSums_data() {
    QTest::addColumn<double>("d");
    QTest::addColumn<double>("h");
    QTest::newRow("spacing 1, height 2.5") << 1.0 << 2.5;
    QTest::newRow("spacing 4, height 2.5") << 4.0 << 2.5;
    QTest::newRow("spacing 12, height 0.3") << 12.0 << 0.3;
}

void TestSound::cappedBeamSums() {
    // At 170 degrees the beam is capped: every speaker off the axis gives
    // (0.5 cos theta)^2 = 0.25 h^2 / (h^2 + R^2), so both sums have a closed
    // form to check the offset classes and their counts against.
    QFETCH(double, d);
    QFETCH(double, h);
    const auto term = [h](double i, double j, double step) {
        const double r2 = (i * i + j * j) * step * step;
        return 0.25 * h * h / (h * h + r2);
    };
    double below = 1;
    for (int i = -3; i <= 3; ++i) {
        for (int j = -3; j <= 3; ++j) {
            if (i != 0 || j != 0)
                below += term(i, j, d);
        }
    }
    double between = 0;
    for (int i = -5; i <= 5; i += 2) {
        for (int j = -5; j <= 5; j += 2)
            between += term(i, j, d / 2);
    }
    const double th = halfAngle(170);
    KVX_COMPARE_NEAR(IntensityBelowSpeaker(d, h, th), below, 1e-12);
    KVX_COMPARE_NEAR(IntensityBetweenSpeakers(d, h, th), between, 1e-12);
}

void TestSound::solver_data() {
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("fullAngle");
    QTest::addColumn<double>("differenceDb");
    QTest::addColumn<double>("expected");
    QTest::addColumn<int>("evaluations");
    QTest::addColumn<bool>("settled");
    QTest::addColumn<double>("firstSpacing");

    QTest::newRow("60 degrees, 6 dB settles at the second evaluation")
        << 2.5 << 60.0 << 6.0 << 3.6084 << 2 << true << 4.3301;
    QTest::newRow("80 degrees, 3 dB needs 16 evaluations")
        << 1.8 << 80.0 << 3.0 << 2.3895 << 16 << true << 1.5 * 2 * 1.8 * std::tan(halfAngle(80));
    QTest::newRow("60 degrees, 0.1 dB cannot be reached")
        << 2.5 << 60.0 << 0.1 << 0.0 << 100 << false << 4.3301;
    QTest::newRow("180 degrees starts millions of metres out")
        << 2.5 << 180.0 << 6.0 << 8.0582 << 45 << true << 1.5 * 5 * std::tan(halfAngle(180));
    QTest::newRow("270 degrees runs on negative spacings")
        << 2.5 << 270.0 << 6.0 << -8.0469 << 9 << true << -7.5000;
}

void TestSound::solver() {
    QFETCH(double, h);
    QFETCH(double, fullAngle);
    QFETCH(double, differenceDb);
    QFETCH(double, expected);
    QFETCH(int, evaluations);
    QFETCH(bool, settled);
    QFETCH(double, firstSpacing);

    FakePlatform platform;
    SpacingTrace trace;
    const SpacingResult r =
        SolveSpacing(targetRatio(differenceDb), h, halfAngle(fullAngle), platform, trace);
    KVX_COMPARE_NEAR(r.d, expected, 0.00005);
    QCOMPARE(r.evaluations, evaluations);
    QCOMPARE(r.settled, settled);
    QCOMPARE(trace.count, evaluations);
    KVX_COMPARE_NEAR(trace.d[0], firstSpacing, std::abs(firstSpacing) * 1e-5);
    if (settled) {
        QVERIFY(platform.messages.isEmpty());
        QCOMPARE(r.d, trace.d[evaluations - 1]);
        QVERIFY(std::abs(trace.err[evaluations - 1]) <= kSpacingTolerance);
    } else {
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].text, kIterationMessage);
        QCOMPARE(platform.messages[0].title, QStringLiteral("Calculation Error"));
        QCOMPARE(platform.messages[0].style, 48);
    }

    // The search without a trace takes the same road.
    FakePlatform quiet;
    const SpacingResult untraced =
        SolveSpacing(targetRatio(differenceDb), h, halfAngle(fullAngle), quiet);
    QCOMPARE(untraced.d, r.d);
    QCOMPARE(untraced.evaluations, r.evaluations);
}

void TestSound::solverRepeatsSpacingsAfterSignChanges() {
    FakePlatform platform;
    SpacingTrace trace;
    SolveSpacing(targetRatio(3), 1.8, halfAngle(80), platform, trace);
    QCOMPARE(trace.count, 16);
    // Evaluations 7, 9, 11, 13 and 15 go back to 4, 6, 8, 10 and 12.
    for (int n : {7, 9, 11, 13, 15})
        KVX_COMPARE_NEAR(trace.d[n - 1], trace.d[n - 4], 1e-12);
    // The step is kept while the error keeps its sign and halved and reversed
    // when it changes.
    for (int n = 3; n <= trace.count; ++n) {
        const double step = trace.d[n - 1] - trace.d[n - 2];
        const double previous = trace.d[n - 2] - trace.d[n - 3];
        const bool signChanged = (trace.err[n - 2] > 0) != (trace.err[n - 3] > 0);
        KVX_COMPARE_NEAR(step, signChanged ? -previous / 2 : previous, 1e-12);
    }

    // The 6 dB case: err -0.0705 at 4.3301, then half a step back.
    SpacingTrace twoStep;
    SolveSpacing(targetRatio(6), 2.5, halfAngle(60), platform, twoStep);
    QCOMPARE(twoStep.count, 2);
    KVX_COMPARE_NEAR(twoStep.err[0], -0.0705, 0.00005);
    KVX_COMPARE_NEAR(twoStep.d[1] - twoStep.d[0], -0.7217, 0.00005);
    KVX_COMPARE_NEAR(twoStep.err[1], 0.0005, 0.00005);
}

void TestSound::solverRunsThroughZeroWhenTargetUnreachable() {
    FakePlatform platform;
    SpacingTrace trace;
    const SpacingResult r = SolveSpacing(targetRatio(0.1), 2.5, halfAngle(60), platform, trace);
    QCOMPARE(r.d, 0.0);
    QCOMPARE(trace.count, 100);
    for (int n = 2; n <= 100; ++n)
        KVX_COMPARE_NEAR(trace.d[n - 1] - trace.d[n - 2], -0.7217, 0.00005);
    QVERIFY(trace.d[99] < 0);
}

void TestSound::exactHitEndsSearch() {
    // A target equal to the ratio at the first evaluated spacing makes err 0
    // exactly there.
    const double h = 2.5;
    const double th = halfAngle(60);
    const double first = 1.5 * (h + h) * std::tan(th);
    const double T = IntensityBetweenSpeakers(first, h, th) / IntensityBelowSpeaker(first, h, th);
    FakePlatform platform;
    SpacingTrace trace;
    const SpacingResult r = SolveSpacing(T, h, th, platform, trace);
    QCOMPARE(trace.err[0], 0.0);
    QCOMPARE(r.evaluations, 1);
    QCOMPARE(r.d, first);
    QVERIFY(r.settled);
}

void TestSound::speakerCount_data() {
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("d");
    QTest::addColumn<int>("expected");

    QTest::newRow("20 x 10 at 4") << 20.0 << 10.0 << 4.0 << 10;
    QTest::newRow("10 x 10 at 4: 2.5 rounds down to even") << 10.0 << 10.0 << 4.0 << 4;
    QTest::newRow("14 x 10 at 4: 3.5 rounds up to even") << 14.0 << 10.0 << 4.0 << 8;
    QTest::newRow("18 x 10 at 4: 4.5 rounds down to even") << 18.0 << 10.0 << 4.0 << 8;
    QTest::newRow("1 x 1 at 4: a small room gets one speaker") << 1.0 << 1.0 << 4.0 << 1;
    QTest::newRow("20 x 10 at the solved 3.6084") << 20.0 << 10.0 << 3.6084 << 18;
    QTest::newRow("zero spacing") << 20.0 << 10.0 << 0.0 << 0;
    QTest::newRow("negative spacing") << 20.0 << 10.0 << -8.0469 << 0;
    QTest::newRow("largest count that fits") << 2147483647.0 << 1.0 << 1.0 << 2147483647;
}

void TestSound::speakerCount() {
    QFETCH(double, length);
    QFETCH(double, width);
    QFETCH(double, d);
    QFETCH(int, expected);
    QCOMPARE(SpeakerCount(length, width, d), expected);
}

void TestSound::speakerCountOutOfRange_data() {
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("d");

    QTest::newRow("rows beyond 32 bits") << 1e10 << 1.0 << 1.0;
    QTest::newRow("half rounding up past the limit") << 2147483647.5 << 1.0 << 1.0;
    QTest::newRow("each count fits, the product does not") << 1e5 << 1e5 << 1.0;
    QTest::newRow("not-a-number spacing") << 20.0 << 10.0 << std::nan("");
    QTest::newRow("infinite length") << std::numeric_limits<double>::infinity() << 10.0 << 4.0;
}

void TestSound::speakerCountOutOfRange() {
    QFETCH(double, length);
    QFETCH(double, width);
    QFETCH(double, d);
    try {
        SpeakerCount(length, width, d);
        QFAIL("no KvxError");
    } catch (const KvxError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("out of range")), qPrintable(e.message()));
    }
}

void TestSound::log10_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("fails");

    QTest::newRow("hundred") << 100.0 << 2.0 << false;
    QTest::newRow("one") << 1.0 << 0.0 << false;
    QTest::newRow("speaker power 1.47") << 1.47 << 0.167317 << false;
    QTest::newRow("zero") << 0.0 << 0.0 << true;
    QTest::newRow("negative") << -6.0 << 0.0 << true;
    QTest::newRow("not a number") << std::nan("") << 0.0 << true;
}

void TestSound::log10() {
    QFETCH(double, x);
    QFETCH(double, expected);
    QFETCH(bool, fails);
    FakePlatform platform;
    KVX_COMPARE_NEAR(Log10(x, platform), expected, 1e-6);
    QCOMPARE(platform.messages.size(), fails ? 1 : 0);
    if (fails) {
        QCOMPARE(platform.messages[0].title, QStringLiteral("General Error"));
        QCOMPARE(platform.messages[0].style, 0);
        QVERIFY(platform.messages[0].text.contains(QStringLiteral("argument")));
    }
}

QTEST_GUILESS_MAIN(TestSound)
#include "test_sound.moc"
