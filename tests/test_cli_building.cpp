// kvx-cli building as a process: the hand building's schedule in plain form
// (English and Dutch) and JSON, a room list with semicolons and types from
// the catalogue, the building, schedule and bill written and read back,
// files that hold a project or a building (or the file read) not replaced
// unasked, and hostile files and command lines refused with exit status 2.
// The hand building's figures are checked against an independent calculation
// in test_building_figures and tests/reference/building_reference.py (which
// reads building-hand.json too); here the outputs are compared whole.
#include "support/cli.h"
#include "support/cli_table.h"
#include "support/files.h"

#include <QDir>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

using namespace kvx;

namespace {

const QString kData = QStringLiteral(KVX_SOURCE_DIR "/tests/data/cli/");
const QString kHand = kData + QStringLiteral("building-hand.kvxb");

using Result = test::CliResult;

QString room(const char* length) {
    return QStringLiteral(R"({"name":"A","length":%1,"width":7,"height":3,"ear":1.2,)"
                          R"("loudspeaker":{"angle1":90,"angle4":60,"sensitivity":90,)"
                          R"("ratedPower":6}})")
        .arg(QLatin1String(length));
}

QByteArray building(const QString& rest) {
    return QStringLiteral(R"({"format":"kvx-building","version":1%1})").arg(rest).toUtf8();
}

} // namespace

class TestCliBuilding : public QObject {
    Q_OBJECT

private:
    Result run(const QStringList& arguments) {
        return test::runCli(m_work.path(),
                            QStringList{"building", "--data-dir", m_data.path()} + arguments);
    }
    QString path(const QString& name) const { return m_work.filePath(name); }
    QString bad(const QString& name) const { return m_bad.filePath(name); }

    QTemporaryDir m_data; // the test catalogue and a Kvx.ini naming it
    QTemporaryDir m_work; // what the command writes
    QTemporaryDir m_bad;  // the hostile files

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(test::writeDataFolder(m_data.path(), "English"));
        const std::pair<const char*, QByteArray> files[] = {
            {"not-json.kvxb", "hello"},
            {"deep.kvxb", QByteArray(2000, '[') + QByteArray(2000, ']')},
            {"nan.kvxb", building(",\"rooms\":[" + room("NaN") + "]")},
            {"huge.kvxb", building(",\"rooms\":[" + room("1e400") + "]")},
            {"text-length.kvxb", building(",\"rooms\":[" + room("\"9\"") + "]")},
            {"negative.kvxb", building(",\"rooms\":[" + room("-9") + "]")},
            {"zones.kvxb", building(R"(,"zones":[{"name":"Z"},{"name":"Z"}])")},
            {"project.kvxb", R"({"format":"kvx-project","version":1})"},
            {"newer.kvxb", R"({"format":"kvx-building","version":2})"},
            {"many.kvxb", building(",\"rooms\":[{}" + QString(",{}").repeated(100'000) + "]")},
            {"column.csv",
             "name;length;width;height;ear;type;ambiant\n\"A\";9;7;3;1,2;Ceiling 6;45\n"},
            {"type.csv", "name;length;width;height;ear;type\n\"A\";9;7;3;1,2;Nope\n"},
        };
        for (const auto& [name, bytes] : files)
            QVERIFY(test::writeBytes(bad(QString::fromLatin1(name)), bytes));
    }

    void schedule_data() {
        QTest::addColumn<QStringList>("arguments");
        // The square rooms and the zones checked against tests/data/check_goldens.py.
        QTest::addColumn<QString>("golden"); // under tests/data/cli: .txt, and .json if there
        QTest::addColumn<int>("status");
        QTest::newRow("hand building: a room refused, exit 1")
            << QStringList{kHand, "--locale", "C"} << "building-hand" << 1;
        QTest::newRow("hand building in Dutch")
            << QStringList{kHand, "--language", "Dutch", "--locale", "nl_NL"}
            << "building-hand-dutch" << 1;
        QTest::newRow("room list: semicolons, decimal commas, types of the catalogue")
            << QStringList{kData + "building-rooms.csv", "--locale", "C"} << "building-rooms" << 0;
    }
    void schedule() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, golden);
        QFETCH(int, status);
        Result r = run(arguments);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, QString::fromUtf8(test::readBytes(kData + golden + ".txt")));
        const QByteArray json = test::readBytes(kData + golden + ".json");
        if (!json.isEmpty()) {
            r = run(arguments << "--json");
            QCOMPARE(r.status, status);
            QCOMPARE(r.json(), QJsonDocument::fromJson(json).object());
        }
    }

    // The building written reads back to the same schedule; the schedule CSV
    // reads back as a room list with the same rooms (its zones, which a list
    // cannot carry, with their defaults: 100 V); the bill as the golden file.
    void filesWrittenAndReadBack() {
        Result r = run({kHand, "--locale", "C", "-o", path("copy.kvxb"), "--bom", path("bom.csv")});
        QCOMPARE(r.status, 1);
        QCOMPARE(test::readBytes(path("bom.csv")),
                 test::readBytes(kData + "building-hand-bom.csv"));
        const QString hand = QString::fromUtf8(test::readBytes(kData + "building-hand.txt"));
        QCOMPARE(run({path("copy.kvxb"), "--locale", "C"}).out, hand);

        r = run({kHand, "-o", path("schedule.csv")});
        QCOMPARE(r.status, 1);
        const QByteArray csv = test::readBytes(path("schedule.csv"));
        QVERIFY(csv.startsWith("\xEF\xBB\xBFname,zone,quantity,length,width,height,ear,type,angle1,"
                               "angle4,sensitivity,ratedPower,tap,difference,pattern,margin,"
                               "ambient,above,reverberation,spacing,columns,rows,count,"
                               "speakerPower,directLevel,difference1,min1k,spread1k,"
                               "withinSet4k,levelRequired,levelQuietest,levelMet,stiMean,"
                               "stiMin,loudspeakers,load,error\r\n"));
        QVERIFY(csv.contains(",,,,,,,,,,,,,,,,,\"Room Height and Ear Height difference too"));
        // The hall's zone is on 70 V: in a list it is on the default 100 V.
        const QStringList rooms = hand.split(u'\n');
        const QStringList back = run({path("schedule.csv"), "--locale", "C"}).out.split(u'\n');
        for (const int room : {0, 2, 3})
            QCOMPARE(back[room], rooms[room]);
    }

    // -o and --bom replace a project, a building or the file read only when
    // asked; refused, the file stays as it was.
    void notReplacedUnasked_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QByteArray>("held");
        QTest::addColumn<QString>("error");
        const QByteArray project = test::readBytes(kData + "hall.kvx");
        const QByteArray kvxb = test::readBytes(kHand);
        const QString kept = "holds a KVX project or building";
        QTest::newRow("a schedule over a project named .csv") << "old.csv"
                                                              << "-o" << project << kept;
        QTest::newRow("a bill over a building") << "old.kvxb"
                                                << "--bom" << kvxb << kept;
        QTest::newRow("a building over a building without its extension")
            << "old.csv"
            << "--bom" << kvxb << kept;
        QTest::newRow("the building over itself") << "hand.kvxb"
                                                  << "-o" << kvxb << "is the file read";
    }
    void notReplacedUnasked() {
        QFETCH(QString, target);
        QFETCH(QString, option);
        QFETCH(QByteArray, held);
        QFETCH(QString, error);
        QVERIFY(test::writeBytes(path("hand.kvxb"), test::readBytes(kHand)));
        QVERIFY(test::writeBytes(path(target), held));
        Result r = run({path("hand.kvxb"), option, path(target)});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
        QCOMPARE(test::readBytes(path(target)), held);
        r = run({path("hand.kvxb"), option, path(target), "--overwrite"});
        QCOMPARE(r.status, 1);
        QVERIFY(test::readBytes(path(target)) != held || target == "hand.kvxb");
    }

    void refused_data() {
        test::addRowsFrom(QStringLiteral("building-bad.tsv"), {"arguments", "error"});
    }
    void refused() {
        QFETCH(QString, arguments);
        QFETCH(QString, error);
        for (QString* text : {&arguments, &error})
            text->replace("@bad", m_bad.path()).replace("@work", m_work.path());
        const QStringList before = test::snapshot(m_work.path(), true);
        const Result r = run(arguments.split(u' '));
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QString());
        QCOMPARE(test::snapshot(m_work.path(), true), before);
    }
};

QTEST_GUILESS_MAIN(TestCliBuilding)
#include "test_cli_building.moc"
