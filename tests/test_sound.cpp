// The acoustic model and the spacing solver against worked values.
#include "core/calc/sound.h"
#include "core/kvx_error.h"
#include "support/compare.h"
#include "support/fake_platform.h"

#include <QTest>

#include <cmath>

using namespace kvx;
using kvx::test::FakePlatform;

namespace {

// The half opening angle in radians of a full opening angle in degrees, as
// the calculation converts it.
double halfAngle(double fullDegrees) {
    return fullDegrees * kPi / 360;
}

} // namespace

class TestSound : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void model();
    void solver_data();
    void solver();
    void speakerCount();
};

void TestSound::model() {
    const double h90 = halfAngle(90);
    KVX_COMPARE_NEAR(Directivity(0, h90), 1, 1e-12);
    KVX_COMPARE_NEAR(Directivity(h90, h90), 0.353554, 1e-6); // -6 dB at the half angle
    KVX_COMPARE_NEAR(Directivity(3 * halfAngle(20), halfAngle(20)), -0.071379, 1e-6);
    // A wide beam is capped at half, but not on the axis itself.
    KVX_COMPARE_NEAR(Directivity(0, halfAngle(170)), 1, 1e-12);
    KVX_COMPARE_NEAR(Directivity(1.5, halfAngle(170)), 0.5 * std::cos(1.5), 1e-12);

    KVX_COMPARE_NEAR(SpeakerContribution(1, 0, 2.5, 2.5, h90), 0.125, 1e-6);
    KVX_COMPARE_NEAR(SpeakerContribution(1, 1, 2.5, 2.5, h90), 0.058687, 1e-6);
    KVX_COMPARE_NEAR(IntensityBelowSpeaker(2.5, 2.5, h90), 2.321998, 1e-6);
    KVX_COMPARE_NEAR(IntensityBetweenSpeakers(2.5, 2.5, h90), 1.769530, 1e-6);
    // The sums see only the square of the spacing; at 0 every speaker is on its axis.
    QCOMPARE(IntensityBetweenSpeakers(-2.5, 2.5, h90), IntensityBetweenSpeakers(2.5, 2.5, h90));
    QCOMPARE(IntensityBelowSpeaker(0, 2.5, h90), 49.0);
    QCOMPARE(IntensityBetweenSpeakers(0, 2.5, h90), 36.0);

    FakePlatform platform;
    QCOMPARE(Log10(100, platform), 2.0);
    for (double x : {0.0, -6.0, std::nan("")})
        QCOMPARE(Log10(x, platform), 0.0);
    QCOMPARE(platform.messageTitles(), QStringList(3, "General Error"));
}

void TestSound::solver_data() {
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("fullAngle");
    QTest::addColumn<double>("differenceDb");
    QTest::addColumn<double>("expected");
    QTest::addColumn<int>("evaluations");
    QTest::addColumn<double>("firstSpacing");
    QTest::addColumn<QList<int>>("repeated"); // evaluations back at the spacing of n - 3

    const auto row = [](const char* name, double h, double angle, double db, double d, int n,
                        double first, QList<int> repeated = {}) {
        QTest::newRow(name) << h << angle << db << d << n << first << repeated;
    };
    row("60 degrees, 6 dB: 2 evaluations", 2.5, 60, 6, 3.6084, 2, 4.3301);
    row("80 degrees, 3 dB: 16 evaluations", 1.8, 80, 3, 2.3895, 16, 4.5311, {7, 9, 11, 13, 15});
    row("60 degrees, 0.1 dB: never reached", 2.5, 60, 0.1, 0, 100, 4.3301);
    row("180 degrees: starts millions of metres out", 2.5, 180, 6, 8.0582, 45, 5652720);
    row("270 degrees: runs on negative spacings", 2.5, 270, 6, -8.0469, 9, -7.5);
}

void TestSound::solver() {
    QFETCH(double, h);
    QFETCH(double, fullAngle);
    QFETCH(double, differenceDb);
    QFETCH(double, expected);
    QFETCH(int, evaluations);
    QFETCH(double, firstSpacing);
    QFETCH(QList<int>, repeated);

    const double T = std::pow(10.0, -differenceDb / 10);
    FakePlatform platform;
    SpacingTrace trace;
    const SpacingResult r = SolveSpacing(T, h, halfAngle(fullAngle), platform, trace);
    KVX_COMPARE_NEAR(r.d, expected, 0.00005);
    QCOMPARE(r.evaluations, evaluations);
    QCOMPARE(r.settled, evaluations < 100);
    QCOMPARE(platform.messageTitles(),
             r.settled ? QStringList{} : QStringList{"Calculation Error"});
    KVX_COMPARE_NEAR(trace.d[0], firstSpacing, std::abs(firstSpacing) * 1e-5);
    // The step is kept while the error keeps its sign, halved and reversed when it changes.
    for (int i = 2; i < trace.count; ++i) {
        const double previous = trace.d[i - 1] - trace.d[i - 2];
        const bool signChanged = (trace.err[i - 1] > 0) != (trace.err[i - 2] > 0);
        KVX_COMPARE_NEAR(trace.d[i] - trace.d[i - 1], signChanged ? -previous / 2 : previous,
                         1e-12);
    }
    for (int n : repeated)
        KVX_COMPARE_NEAR(trace.d[n - 1], trace.d[n - 4], 1e-12);
}

void TestSound::speakerCount() {
    // Rows and columns are rounded half to even; a small room still gets one speaker.
    QCOMPARE(SpeakerCount(20, 10, 4), 10);
    QCOMPARE(SpeakerCount(10, 10, 4), 4); // 2.5 rounds down
    QCOMPARE(SpeakerCount(14, 10, 4), 8); // 3.5 rounds up
    QCOMPARE(SpeakerCount(1, 1, 4), 1);
    QCOMPARE(SpeakerCount(20, 10, 0), 0); // as for any spacing not above 0
    QCOMPARE(SpeakerCount(2147483647, 1, 1), 2147483647);
    // Beyond 32 bits the count is refused, not wrapped: rounded past the limit, as a
    // product, or from no number at all.
    QVERIFY_THROWS_EXCEPTION(KvxError, SpeakerCount(2147483647.5, 1, 1));
    QVERIFY_THROWS_EXCEPTION(KvxError, SpeakerCount(1e5, 1e5, 1));
    QVERIFY_THROWS_EXCEPTION(KvxError, SpeakerCount(20, 10, std::nan("")));
}

QTEST_GUILESS_MAIN(TestSound)
#include "test_sound.moc"
