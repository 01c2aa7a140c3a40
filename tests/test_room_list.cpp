// Room lists as CSV: what spreadsheets write (either separator, decimal
// commas, any column order and case, quotes, leftovers), every refusal named
// by line and column, and a list out and back in unchanged.
#include "core/building/room_list.h"
#include "support/building.h"
#include "support/files.h"

#include <QTest>

using namespace kvx;
using namespace kvx::test;

Q_DECLARE_METATYPE(kvx::BuildingError::Kind)
Q_DECLARE_METATYPE(kvx::CsvSeparator)

namespace {

using Kind = BuildingError::Kind;

const QList<LspRecord> kCatalogue = {lspRecord("KV-C6 Std", 140, 80, 88.3f, 6),
                                     lspRecord("KV-C8 Dual", 110, 65, 90, 15),
                                     lspRecord("Odd", -45, 60, 90, 6)};

// A room in one line, its values in the columns' order.
QString describe(const Room& r) {
    const RoomLoudspeaker& l = r.loudspeaker;
    const auto n = [](double v) { return QString::number(v, 'g', QLocale::FloatingPointShortest); };
    const auto o = [&](std::optional<double> v) { return v ? n(*v) : QString(); };
    const QString pattern = !r.pattern ? "" : *r.pattern == Pattern::Offset ? "offset" : "square";
    return QStringList{r.name,          r.zone,          n(r.quantity),     n(r.length),
                       n(r.width),      n(r.height),     n(r.ear),          l.type,
                       n(l.angle1),     n(l.angle4),     n(l.sensitivity),  n(l.ratedPower),
                       "1/" + n(r.tap), n(r.difference), pattern,           n(r.margin),
                       o(r.ambient),    n(r.above),      o(r.reverberation)}
        .join(u'|');
}

const QByteArray kHeader = "name,length,width,height,ear,type\n";
const QByteArray kGood = "A,4,3,2.7,1.2,KV-C6 Std\n";
const QByteArray kValues = "name,length,width,height,ear,type,angle1,angle4,sensitivity,"
                           "ratedPower,tap,pattern,quantity\n";

Room room(const QString& name, const QString& zone, double length, const QString& type,
          double sensitivity) {
    Room r;
    std::tie(r.name, r.zone, r.length, r.width, r.height, r.ear) =
        std::tuple(name, zone, length, 10, 4, 1.5);
    r.loudspeaker = {type, 110, 65, sensitivity, 15, {}};
    return r;
}

} // namespace

class TestRoomList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reads_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("rooms");
        QTest::newRow("commas, every column")
            << QByteArray("name,zone,quantity,length,width,height,ear,type,angle1,angle4,"
                          "sensitivity,ratedPower,tap,difference,pattern,margin,ambient,above,"
                          "reverberation\nB.0.12 classroom,Ground floor,6,9,7.2,3,1.2,KV-C6 Std,"
                          "140,80,88,6,1/2,6,square,0.5,45,15,0.8")
            << QStringList{"B.0.12 classroom|Ground floor|6|9|7.2|3|1.2|KV-C6 Std|140|80|88|6|"
                           "1/2|6|square|0.5|45|15|0.8"};
        QTest::newRow("semicolons, decimal commas, any order and case, a catalogue type")
            << QByteArray("EAR;Name;Width;LENGTH;height;Type;Tap;Margin;Pattern\n"
                          "1,2;Office;7,2;9;3;KV-C6 Std;1/4;0.5;Offset\n")
            << QStringList{"Office||1|9|7.2|3|1.2|KV-C6 Std|140|80|88.3|6|1/4|6|offset|0.5||15|"};
        QTest::newRow("quotes around separators, quotes and line breaks, CR alone too")
            << QByteArray("name,length,width,height,ear,angle1,angle4,sensitivity,ratedPower,"
                          "zone\n\"Hall \"\"A\"\", east\",20,10,4,1.5,90,60,90,6,\"1st, floor\"\n"
                          " \"Two\r\nlines\rand a CR\r\r\n\" , 3 , 3 ,2.5,1.2,90,60,90,6,\n")
            << QStringList{"Hall \"A\", east|1st, floor|1|20|10|4|1.5||90|60|90|6|1/1|6||0||15|",
                           "Two\nlines\nand a CR\n\n||1|3|3|2.5|1.2||90|60|90|6|1/1|6||0||15|"};
        QTest::newRow("a spreadsheet's leftovers: byte order mark, CR LF, empty rows")
            << QByteArray("\xEF\xBB\xBFname;length;width;height;ear;type;;\r\n\r\n"
                          "Room 1;4;3;2,7;1,2;KV-C8 Dual;;\r\n;;;;;;;\r\n")
            << QStringList{"Room 1||1|4|3|2.7|1.2|KV-C8 Dual|110|65|90|15|1/1|6||0||15|"};
        QTest::newRow("Windows-1252 from a spreadsheet")
            << QByteArray("name;length;width;height;ear;type\r\nB\xfcro;4;3;2,7;1,2;KV-C8 Dual")
            << QStringList{"Büro||1|4|3|2.7|1.2|KV-C8 Dual|110|65|90|15|1/1|6||0||15|"};
    }
    void reads() {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, rooms);
        const RoomListRead read = parseRoomList(csv, kCatalogue, "r.csv");
        QVERIFY2(read.list, qPrintable(read.error ? where(*read.error) : QString()));
        QStringList described;
        for (const Room& r : read.list->rooms)
            described << describe(r);
        QCOMPARE(described, rooms);
    }

    void refusals_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("place");
        const auto row = [](const char* name, const QByteArray& csv, Kind kind,
                            const QString& place) { QTest::newRow(name) << csv << kind << place; };
        row("empty", "\n\n", Kind::EmptyList, "/");
        row("an unknown column", "name,length,widht,height,ear,type\n", Kind::UnknownColumn,
            "line 1 column 3 / widht");
        row("a column twice", "name,length,width,Length,height,ear,type\n", Kind::DuplicateColumn,
            "line 1 column 4 / Length");
        row("no height", "name,length,width,ear,type\n", Kind::MissingColumn,
            "line 1 column 0 / height");
        // A blank first line holds neither separator: commas are taken.
        row("a blank line, then a header", "\nname,length\n", Kind::MissingColumn,
            "line 2 column 0 / width");
        row("neither type nor the four values", "name,length,width,height,ear\n",
            Kind::MissingColumn, "line 1 column 0 / type");
        row("one of the four values", "name,length,width,height,ear,type,angle1\n",
            Kind::MissingColumn, "line 1 column 0 / angle4");
        row("not a number", kHeader + kGood + "B,4,x,2.7,1.2,KV-C6 Std\n", Kind::WrongKind,
            "room 2 B line 3 column 3 / width");
        row("a decimal comma with commas", kHeader + "A,\"4,5\",3,2.7,1.2,KV-C6 Std\n",
            Kind::WrongKind, "room 1 A line 2 column 2 / length");
        row("a thousands separator", "name;length;width;height;ear;type\nA;1.000,5;3;3;1;KV\n",
            Kind::WrongKind, "room 1 A line 2 column 2 / length");
        row("infinity", kHeader + "A,inf,3,2.7,1.2,KV-C6 Std\n", Kind::WrongKind,
            "room 1 A line 2 column 2 / length");
        row("a quantity of 2.5", kValues + "A,4,3,3,1,,90,60,90,6,,,2.5\n", Kind::WrongKind,
            "room 1 A line 2 column 13 / quantity");
        row("a zero width", kHeader + "A,4,0,2.7,1.2,KV-C6 Std\n", Kind::OutOfRange,
            "room 1 A line 2 column 3 / width");
        row("an empty length", kHeader + "A,,3,2.7,1.2,KV-C6 Std\n", Kind::NoValue,
            "room 1 A line 2 column 2 / length");
        row("a line shorter than the header", kHeader + "A,4,3\n", Kind::NoValue,
            "room 1 A line 2 column 4 / height");
        row("a type not in the catalogue", kHeader + "A,4,3,2.7,1.2,KV-X\n", Kind::UnknownType,
            "room 1 A line 2 column 6 / type");
        row("no type and no values", kHeader + "A,4,3,2.7,1.2,\n", Kind::NoValue,
            "room 1 A line 2 column 6 / type");
        row("three of the four values", kValues + "A,4,3,3,1,,90,60,,6\n", Kind::NoValue,
            "room 1 A line 2 column 9 / sensitivity");
        row("a catalogue type with a negative angle", kHeader + "A,4,3,2.7,1.2,Odd\n",
            Kind::OutOfRange, "room 1 A line 2 column 6 / type");
        row("a tap of 1/3", kValues + "A,4,3,3,1,,90,60,90,6,1/3\n", Kind::UnknownValue,
            "room 1 A line 2 column 11 / tap");
        row("a hexagonal pattern", kValues + "A,4,3,3,1,,90,60,90,6,,hex\n", Kind::UnknownValue,
            "room 1 A line 2 column 12 / pattern");
        row("no closing quote", kHeader + kGood + "\"B,4,3\n\n", Kind::UnclosedQuote,
            "line 3 column 1 /");
        row("text after the closing quote", kHeader + "\"A\" x,4,3,2.7,1.2,KV-C6 Std\n",
            Kind::TextAfterQuote, "line 2 column 1 /");
        row("a value beyond the last column", kHeader + "A,4,3,2.7,1.2,KV-C6 Std,,7\n",
            Kind::ExtraValue, "room 1 line 2 column 8 /");
        row("a value beyond the thousandth field",
            kHeader + "A,4,3,2.7,1.2,KV-C6 Std" + QByteArray(1000, ',') + "x\n", Kind::ExtraValue,
            "line 2 column 1006 /");
        row("a value under a column without a name",
            "name,length,width,height,ear,,type\nA,4,3,2.7,1.2,x,KV-C6 Std\n", Kind::ExtraValue,
            "room 1 line 2 column 6 /");
        row("the line after a name of two lines",
            kHeader + "\"Two\nlines\",4,3,2.7,1.2,KV-C6 Std\nB,4,3,0,1.2,KV-C6 Std",
            Kind::OutOfRange, "room 2 B line 4 column 4 / height");
        row("more than 100,000 rooms", kHeader + kGood.repeated(100'001), Kind::TooManyRooms,
            "line 100002 column 0 /");
    }
    // Every fault refuses the whole list, named by its line and column.
    void refusals() {
        QFETCH(QByteArray, csv);
        QFETCH(Kind, kind);
        const RoomListRead read = parseRoomList(csv, kCatalogue, "r.csv");
        QVERIFY(!read.list && read.error);
        QCOMPARE(read.error->kind, kind);
        QTEST(where(*read.error), "place");
    }

    void roundTrip_data() {
        QTest::addColumn<CsvSeparator>("separator");
        QTest::addColumn<QByteArray>("firstRoom");
        QTest::newRow("commas") << CsvSeparator::Comma
                                << QByteArray("\"Hall \"\"A\"\"; east, 2\",\"1st floor\",3,20.25,"
                                              "10,4,1.5,\"KV-C8 Dual\",110,65,90,15,1/2,4.5,"
                                              "offset,0.75,52.5,12,1.15\r\n");
        QTest::newRow("semicolons") << CsvSeparator::Semicolon
                                    << QByteArray("\"Hall \"\"A\"\"; east, 2\";\"1st floor\";3;"
                                                  "20,25;10;4;1,5;\"KV-C8 Dual\";110;65;90;15;"
                                                  "1/2;4,5;offset;0,75;52,5;12;1,15\r\n");
    }
    // Out and back in: the same rooms, and written again the same bytes.
    void roundTrip() {
        QFETCH(CsvSeparator, separator);
        Room hall = room("Hall \"A\"; east, 2", "1st floor", 20.25, "KV-C8 Dual", 90);
        std::tie(hall.quantity, hall.tap, hall.difference, hall.pattern, hall.margin, hall.ambient,
                 hall.above, hall.reverberation) =
            std::tuple(3, 2, 4.5, Pattern::Offset, 0.75, 52.5, 12, 1.15);
        const QList<Room> rooms = {hall, room("Two\nlines, Ünïcode", "", 3, "", 89.3),
                                   room("  padded  ", "Roof", 0.1, "", 1e-4)};
        const QByteArray csv = roomListCsv(rooms, separator);
        const QList<QByteArray> lines = csv.split('\n');
        QCOMPARE(lines[0],
                 "\xEF\xBB\xBF" +
                     roomListColumns().join(separator == CsvSeparator::Comma ? ',' : ';').toUtf8() +
                     '\r');
        QTEST(lines[1] + '\n', "firstRoom");

        const RoomListRead read = parseRoomList(csv, {}, "r.csv");
        QVERIFY2(read.list, qPrintable(read.error ? where(*read.error) : QString()));
        QCOMPARE(read.list->rooms, rooms);
        QCOMPARE(roomListCsv(read.list->rooms, separator), csv);
    }

    // The zones a list names are made in their order; adding the list to a
    // building keeps the zones it has.
    void zones() {
        const RoomList list =
            *parseRoomList(kValues.chopped(1) + ",zone\n" + "A,4,3,3,1,,90,60,90,6,,,,Roof\n" +
                               "B,4,3,3,1,,90,60,90,6,,,,Ground\nC,4,3,3,1,,90,60,90,6,,,,\n" +
                               "D,4,3,3,1,,90,60,90,6,,,,Roof\n",
                           {}, "r.csv")
                 .list;
        QCOMPARE(list.zones.size(), 2);
        QCOMPARE(list.zones[0].name, "Roof");
        QCOMPARE(list.zones[1], (Zone{"Ground", 100, {}, {}, "1.5", false, {}}));
        Building b;
        const Zone ground{"Ground", 70, 240, {}, "2.5", false, {}};
        b.zones = {ground};
        b.rooms = {room("Old", "Ground", 5, "", 90)};
        addRoomList(b, list);
        QVERIFY(b.zones == (QList<Zone>{ground, list.zones[0]}));
        QCOMPARE(b.rooms.mid(1), list.rooms);
    }
};

QTEST_GUILESS_MAIN(TestRoomList)
#include "test_room_list.moc"
