// The building window as a user works it: an edit shows the same figures as
// the whole building worked out afresh and Undo takes it back; rows pasted
// from a spreadsheet; sorting by a column; the question before closing; a
// save that fails keeps everything as it was.
#include "app/building_window.h"
#include "app/dispatcher.h"
#include "app/plan_drawing.h"
#include "app/plan_window.h"
#include "core/building/building_file.h"
#include "core/plan/layout_texts.h"
#include "core/ui/kvx1.h"
#include "support/building.h"
#include "support/fake_platform.h"
#include "support/files.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace kvx;
using namespace kvx::app;

namespace {

// A room of "Test A" loudspeakers, 3 m high, ears at 1.2 m, 45 dB ambient.
Room room(const QString& name, const QString& zone, double length, double width) {
    Room r;
    std::tie(r.name, r.zone, r.length, r.width, r.height, r.ear, r.ambient) =
        std::tuple(name, zone, length, width, 3, 1.2, 45);
    r.loudspeaker = {QStringLiteral("Test A"), 90, 60, 89.5, 6, {}};
    return r;
}

// Five rooms in two zones; the fourth cannot be calculated (its ears are
// above its ceiling).
Building school() {
    Building b;
    b.name = QStringLiteral("School");
    b.zones = {Zone{"Ground", 100, 240, 60, "1.5", false, {}},
               Zone{"First", 100, 240, 60, "1.5", false, {}}};
    b.rooms = {room("A", "Ground", 9, 7), room("B", "First", 20, 10), room("C", "Ground", 6, 5),
               room("D", "First", 12, 8), room("E", "Ground", 15, 4)};
    b.rooms[3].height = 1;
    return b;
}

QStringList names(const Building& b) {
    QStringList list;
    for (const Room& r : b.rooms)
        list << r.name;
    return list;
}

} // namespace

class TestBuildingWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<test::FakePlatform> m_platform;
    std::unique_ptr<Kvx1> m_kvx;
    std::unique_ptr<Dispatcher> m_dispatcher;
    QPointer<BuildingWindow> m_window;
    QString m_file;

    BuildingDocument& document() { return m_window->document(); }
    // The figures shown are those of the building worked out whole.
    void compareWithWhole() {
        QVERIFY(document().figures());
        test::compareWithWhole(document().building(), *document().figures());
    }
    QModelIndex cell(int row, RoomColumn column) {
        return m_window->rooms().index(row, int(column));
    }
    bool edit(int row, RoomColumn column, const QString& text) {
        return m_window->rooms().setData(cell(row, column), text);
    }
    // A building in place of the school, its figures worked out.
    void reset(const Building& building) {
        document().reset(building);
        QTRY_VERIFY(!document().calculating());
    }

private Q_SLOTS:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        m_platform = std::make_unique<test::FakePlatform>();
        m_kvx = std::make_unique<Kvx1>(*m_platform, m_folder->path(), QLocale::c());
        m_kvx->texts.ProgramTitle = QStringLiteral("KVX");
        m_dispatcher = std::make_unique<Dispatcher>(*m_platform);
        m_file = m_folder->filePath(QStringLiteral("school.kvxb"));
        QVERIFY(!writeBuildingFile(m_file, school()));
        m_window =
            new BuildingWindow(*m_kvx, {{"Test A     ", 90, 60, 89.5f, 6.0f}}, *m_dispatcher);
        QVERIFY(document().open(m_file));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QTRY_VERIFY(!document().calculating() && document().figures());
    }
    void cleanup() {
        if (m_window) {
            m_window->setAttribute(Qt::WA_DeleteOnClose, false);
            m_platform->answers = {MsgResult::No};
            delete m_window;
        }
    }

    // An edit typed into a room's or a zone's cell recomputes its room and zone
    // (a zone's new line voltage its rooms too) to the figures the whole
    // building gives, and a renamed zone keeps its rooms; Ctrl+Z takes it
    // back, Ctrl+Shift+Z again.
    void editAndUndo_data() {
        QTest::addColumn<bool>("zone"); // a cell of the zones' table
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("taken");
        const auto room = [](const char* name, RoomColumn column, const char* typed, bool taken) {
            QTest::newRow(name) << false << int(column) << QString(typed) << taken;
        };
        const auto zone = [](const char* name, ZoneColumn column, const char* typed, bool taken) {
            QTest::newRow(name) << true << int(column) << QString(typed) << taken;
        };
        room("length", RoomColumn::Length, "12", true);
        room("to the other zone", RoomColumn::Zone, "First", true);
        room("quantity", RoomColumn::Quantity, "4", true);
        room("tap", RoomColumn::Tap, "1/4", true);
        room("angle makes a user type", RoomColumn::Angle1, "100", true);
        room("a height of nothing", RoomColumn::Height, "0", false);
        room("not a number", RoomColumn::Difference, "six", false);
        room("no such zone", RoomColumn::Zone, "Cellar", false);
        zone("zone renamed, its rooms follow", ZoneColumn::Name, "Hall", true);
        zone("zone on 70 V", ZoneColumn::Line, "70", true);
        zone("a smaller amplifier", ZoneColumn::Amplifier, "60", true);
        zone("no cable", ZoneColumn::CableLength, "", true);
        zone("the other zone's name", ZoneColumn::Name, "First", false);
        zone("zone on 60 V", ZoneColumn::Line, "60", false);
    }
    void editAndUndo() {
        QFETCH(bool, zone);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(bool, taken);
        QAbstractItemModel& table =
            zone ? static_cast<QAbstractItemModel&>(m_window->zones()) : m_window->rooms();
        const QModelIndex index = table.index(0, column);
        const Building before = document().building();
        const BuildingFigures figuresBefore = *document().figures();
        QCOMPARE(table.setData(index, typed), taken);
        QCOMPARE(document().canUndo(), taken);
        QCOMPARE(m_window->isWindowModified(), taken);
        if (!taken) {
            QCOMPARE(document().building(), before);
            return;
        }
        QCOMPARE(table.data(index).toString(), typed);
        QVERIFY(document().building() != before);
        for (const qsizetype i : {0, 2, 4})
            QVERIFY(!zone ||
                    document().building().rooms[i].zone == document().building().zones[0].name);
        compareWithWhole();

        QTest::keySequence(m_window, QKeySequence::Undo);
        QCOMPARE(document().building(), before);
        QCOMPARE(document().figures()->rooms[0].design, figuresBefore.rooms[0].design);
        compareWithWhole();
        QVERIFY(!m_window->isWindowModified());

        QTest::keySequence(m_window, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QCOMPARE(table.data(index).toString(), typed);
        QVERIFY(m_window->isWindowModified());
        compareWithWhole();
    }

    // The first calculation runs beside the window with its progress; Cancel
    // stops it and leaves no figures (never half of them), and the rooms can
    // be edited then.
    void cancelFirstCalculation() {
        Building b = school();
        while (b.rooms.size() < 3000)
            b.rooms << b.rooms[b.rooms.size() % 5];
        document().reset(b);
        QVERIFY(document().calculating());
        QVERIFY(m_window->progressBar()->isVisible());
        QVERIFY(!(m_window->rooms().flags(cell(0, RoomColumn::Length)) & Qt::ItemIsEditable));
        QTest::mouseClick(m_window->findChild<QPushButton*>(QStringLiteral("cancel")),
                          Qt::LeftButton);
        QVERIFY(!document().calculating() && !document().figures() &&
                !m_window->progressBar()->isVisible());
        QCOMPARE(m_window->rooms().text(0, RoomColumn::State),
                 m_kvx->localText(BuildingWindowText::NotCalculated));
        QVERIFY(edit(0, RoomColumn::Length, QStringLiteral("12")));
        QCOMPARE(document().building().rooms[0].length, 12.0);
        QVERIFY(!document().figures());
    }

    // Three rows copied from a spreadsheet go in after the selected room, the
    // zone they name with them; one Undo takes all of it back.
    void pasteThreeRows_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("with the column names, any order")
            << QStringLiteral("Width\tname\tlength\theight\tear\tzone\ttype\n"
                              "4\tP1\t5\t3\t1.2\tAnnex\tTest A\n"
                              "5\tP2\t6\t3\t1.2\tGround\tTest A\n"
                              "6\tP3\t7\t3\t1.2\t\tTest A\n");
        QTest::newRow("rows alone, decimal commas, CR LF")
            << QStringLiteral("P1\tAnnex\t1\t5\t4\t3\t1,2\tTest A\r\n"
                              "P2\tGround\t1\t6\t5\t3\t1,2\tTest A\r\n"
                              "P3\t\t1\t7\t6\t3\t1,2\tTest A\r\n");
    }
    void pasteThreeRows() {
        QFETCH(QString, text);
        const Building before = document().building();
        m_window->selectRooms({1});
        QApplication::clipboard()->setText(text);
        QTest::keySequence(m_window, QKeySequence::Paste);
        const Building& b = document().building();
        QCOMPARE(names(b), QStringList({"A", "B", "P1", "P2", "P3", "C", "D", "E"}));
        QCOMPARE(std::tuple(b.rooms[2].width, b.rooms[4].length, b.rooms[4].ear,
                            b.rooms[3].loudspeaker.angle1, b.zones.size(), b.zones.last().name),
                 std::tuple(4.0, 7.0, 1.2, 90.0, qsizetype(3), QString("Annex")));
        QCOMPARE(m_window->selectedRooms(), QList<qsizetype>({2, 3, 4}));
        compareWithWhole();
        QVERIFY(m_platform->messages.isEmpty());

        QTest::keySequence(m_window, QKeySequence::Undo);
        QCOMPARE(document().building(), before);
        compareWithWhole();
    }

    // A row that is no room is refused with the place named; nothing goes in.
    void pasteRefused() {
        const Building before = document().building();
        QApplication::clipboard()->setText(QStringLiteral("name\tlength\twidth\theight\tear\ttype\n"
                                                          "P1\t5\t4\t3\t1.2\tTest A\n"
                                                          "P2\tfive\t4\t3\t1.2\tTest A\n"));
        QTest::keySequence(m_window, QKeySequence::Paste);
        QCOMPARE(document().building(), before);
        QVERIFY(!document().canUndo());
        QCOMPARE(m_platform->messages.size(), 1);
        QVERIFY2(m_platform->messages[0].text.contains(QStringLiteral("line 3")),
                 qPrintable(m_platform->messages[0].text));
    }

    // A click on a heading sorts by it, again the other way; rooms without
    // the figure last either way; the figures go with their rooms; Undo
    // gives the order back.
    void sorting_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("ascending");
        QTest::addColumn<QStringList>("descending");
        QTest::newRow("length") << int(RoomColumn::Length) << QStringList{"C", "A", "D", "E", "B"}
                                << QStringList{"B", "E", "D", "A", "C"};
        QTest::newRow("loudspeakers, the room in error last")
            << int(RoomColumn::Loudspeakers) << QStringList{"C", "A", "E", "B", "D"}
            << QStringList{"B", "E", "A", "C", "D"};
        QTest::newRow("zone, equal rooms in their order")
            << int(RoomColumn::Zone) << QStringList{"B", "D", "A", "C", "E"}
            << QStringList{"A", "C", "E", "B", "D"};
    }
    void sorting() {
        QFETCH(int, column);
        const Building before = document().building();
        QHeaderView* header = m_window->roomsView()->horizontalHeader();
        const auto click = [&] {
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                       header->height() / 2));
        };
        click();
        QTEST(names(document().building()), "ascending");
        compareWithWhole();
        click();
        QTEST(names(document().building()), "descending");
        compareWithWhole();
        QTest::keySequence(m_window, QKeySequence::Undo);
        QTest::keySequence(m_window, QKeySequence::Undo);
        QCOMPARE(document().building(), before);
        compareWithWhole();
    }

    // Closing with changes asks; the answer decides, and nothing is lost
    // unasked.
    void closeQuestion_data() {
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<bool>("saveAsCancelled");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");
        QTest::newRow("save") << MsgResult::Yes << false << true << true;
        QTest::newRow("discard") << MsgResult::No << false << true << false;
        QTest::newRow("cancel") << MsgResult::Cancel << false << false << false;
        QTest::newRow("save, then cancel the file dialog")
            << MsgResult::Yes << true << false << false;
    }
    void closeQuestion() {
        QFETCH(MsgResult, answer);
        QFETCH(bool, saveAsCancelled);
        QFETCH(bool, closes);
        QFETCH(bool, written);
        if (saveAsCancelled) {
            // A new building has no file: Save asks for one.
            reset(school());
            m_platform->saveAnswers = {std::nullopt};
        }
        const QByteArray onDisk = test::readBytes(m_file);
        QVERIFY(edit(0, RoomColumn::Name, QStringLiteral("Hall")));
        m_platform->answers = {answer};
        QCOMPARE(m_window->close(), closes);
        QCOMPARE(m_platform->messages.size(), 1);
        QCOMPARE(m_platform->messages[0].style, MsgStyle::YesNoCancelQuestion);
        QVERIFY(m_platform->answers.isEmpty());
        QCOMPARE(test::readBytes(m_file) != onDisk, written);
        if (written)
            QCOMPARE(readBuildingFile(m_file).building->rooms[0].name, QStringLiteral("Hall"));
        if (!closes)
            QVERIFY(m_window->isVisible() && m_window->isWindowModified() &&
                    document().building().rooms[0].name == QStringLiteral("Hall"));
    }

    // When the program ends the window cannot stay: it asks Save or Don't
    // save, without Cancel, and a save that does not happen asks again.
    void closeWhileTheProgramEnds() {
        reset(school());
        QVERIFY(edit(0, RoomColumn::Name, QStringLiteral("Hall")));
        const QString saved = m_folder->filePath(QStringLiteral("saved.kvxb"));
        m_platform->answers = {MsgResult::Yes, MsgResult::Yes};
        m_platform->saveAnswers = {std::nullopt, saved};
        m_window->setEnding();
        QVERIFY(m_window->close());
        QCOMPARE(m_platform->messages.size(), 2);
        for (const test::RecordedMessage& message : m_platform->messages)
            QCOMPARE(message.style, MsgStyle::YesNoQuestion);
        QCOMPARE(readBuildingFile(saved).building->rooms[0].name, QStringLiteral("Hall"));
    }

    // Every save dialog starts where the program's rule says (the building's
    // folder) and offers a name: the building's file's, a new building's name,
    // else "Untitled"; the bill apart from the rooms' CSV, a room under its name.
    void dialogsOfferAName_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("building"); // a new building of this name; empty: school.kvxb
        QTest::addColumn<QString>("offered");
        const auto row = [](const char* name, int command, const char* building,
                            const char* offered) {
            QTest::newRow(name) << command << QString(building) << QString(offered);
        };
        row("Save As", 0, "", "school.kvxb");
        row("Save As, a new building", 0, "East wing/2", "East wing 2.kvxb");
        row("Save As, a new building without a name", 0, " ", "Untitled.kvxb");
        row("the rooms as CSV", 1, "", "school.csv");
        row("the bill as CSV", 2, "", "school Bill of materials.csv");
        row("the schedule PDF", 3, "", "school.pdf");
        row("a room as a project", 4, "", "A.kvx");
    }
    void dialogsOfferAName() {
        QFETCH(int, command);
        QFETCH(QString, building);
        QFETCH(QString, offered);
        if (!building.isEmpty()) {
            Building fresh = school();
            fresh.name = building;
            reset(fresh);
        }
        m_platform->saveAnswers = {std::nullopt};
        m_window->selectRooms({0});
        const std::function<bool()> commands[] = {
            [this] { return document().saveAs(); }, [this] { return m_window->exportRoomsAs(); },
            [this] { return m_window->exportBillAs(); }, [this] { return m_window->exportPdfAs(); },
            [this] { return m_window->openAsProject(), false; }};
        QVERIFY(!commands[command]());
        QCOMPARE(m_platform->dialogsShown.size(), 1);
        const CommonDialog& shown = m_platform->dialogsShown[0];
        QCOMPARE(shown.initDir, m_folder->path());
        QCOMPARE(shown.fileName, QDir(m_folder->path()).filePath(offered));
    }

    // A save that fails says why and keeps the building, its file, its
    // modified mark and its undo list; the file on disk is untouched.
    void failedSave() {
        QVERIFY(edit(2, RoomColumn::Width, QStringLiteral("5.5")));
        const Building edited = document().building();
        const QByteArray onDisk = test::readBytes(m_file);
        // A folder that does not exist: nothing can be written there.
        const QString blocked = m_folder->filePath(QStringLiteral("gone/taken.kvxb"));
        m_platform->saveAnswers = {blocked};
        QVERIFY(!document().saveAs());
        QCOMPARE(m_platform->messages.size(), 1);
        QVERIFY(m_platform->messages[0].text.contains(QStringLiteral("taken.kvxb")));
        QCOMPARE(document().path(), QFileInfo(m_file).absoluteFilePath());
        QCOMPARE(document().building(), edited);
        QVERIFY(document().isModified() && m_window->isWindowModified() && document().canUndo());
        QVERIFY(m_window->windowTitle().startsWith(QStringLiteral("school.kvxb")));
        QCOMPARE(test::readBytes(m_file), onDisk);
        compareWithWhole();
    }

    // The plan window of a room shows the room's own design, and neither the
    // program's project state nor its settings file change. A room written
    // as a project and read back as a room is the same calculation: the same
    // figures to the last digit.
    void roomAsPlanAndProject_data() {
        QTest::addColumn<int>("row");
        QTest::newRow("a catalogue type, ambient noise") << 1;
        QTest::newRow("the user's own type, offset rows, reverberation") << 2;
    }
    void roomAsPlanAndProject() {
        QFETCH(int, row);
        if (row == 2) {
            QVERIFY(edit(2, RoomColumn::Angle1, QStringLiteral("100")));
            QVERIFY(
                edit(2, RoomColumn::Pattern, patternName(Pattern::Offset, m_kvx->localTexts())));
            QVERIFY(edit(2, RoomColumn::Reverberation, QStringLiteral("0.9")));
        }
        const QString ini = m_folder->filePath(QStringLiteral("Kvx.ini"));
        QVERIFY(test::writeBytes(ini, "[Current lsp file]\r\nFilename=Test.lsp\r\n"));
        QVERIFY(writeLspFile(m_folder->filePath(QStringLiteral("Test.lsp")),
                             {{"Test A     ", 90, 60, 89.5f, 6.0f}}));
        const QByteArray settings = test::readBytes(ini);
        m_window->selectRooms({row});
        QPointer<PlanWindow> plan = m_window->planOfRoom();
        QVERIFY(plan);
        QVERIFY(QTest::qWaitForWindowExposed(plan));
        QVERIFY(plan->scene());
        QVERIFY(plan->scene()->design == document().figures()->rooms[size_t(row)].design);
        QVERIFY(!m_kvx->Modified && !m_dispatcher->programEnded() &&
                m_platform->messages.isEmpty());
        plan->close();
        QTRY_VERIFY(!plan);
        QCOMPARE(test::readBytes(ini), settings);

        const QString project = m_folder->filePath(QStringLiteral("room.kvx"));
        QSignalSpy opened(m_window.data(), &BuildingWindow::openProject);
        m_platform->saveAnswers = {project};
        m_window->openAsProject();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0][0].toString(), project);
        m_platform->openAnswers = {project};
        m_window->addProject();
        const Building& b = document().building();
        QCOMPARE(b.rooms.size(), 6);
        Room back = b.rooms[row + 1];
        QCOMPARE(back.name, QStringLiteral("room"));
        back.name = b.rooms[row].name;
        QCOMPARE(back, b.rooms[row]);
        QCOMPARE(document().figures()->rooms[size_t(row + 1)].design,
                 document().figures()->rooms[size_t(row)].design);
        QVERIFY(m_platform->messages.isEmpty());
    }

    // The schedule: the cover, the rooms over as many pages as they need,
    // the zones; an export aimed at a building asks first, and No leaves it.
    void schedulePdf_data() {
        QTest::addColumn<int>("rooms");
        QTest::addColumn<int>("pages");
        QTest::newRow("five rooms") << 5 << 3;
        QTest::newRow("two hundred rooms, seven pages of them") << 200 << 9;
    }
    void schedulePdf() {
        QFETCH(int, rooms);
        Building b = school();
        while (b.rooms.size() < rooms) {
            b.rooms << b.rooms[b.rooms.size() % 5];
            b.rooms.last().name = QStringLiteral("Room %1").arg(b.rooms.size());
        }
        reset(b);
        const QString pdf = m_folder->filePath(QStringLiteral("schedule.pdf"));
        QVERIFY(m_window->writeSchedulePdf(pdf));
        const QString text = QString::fromLatin1(test::readBytes(pdf));
        QTEST(int(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b")))), "pages");

        const QByteArray building = test::readBytes(m_file);
        m_platform->saveAnswers = {m_file};
        m_platform->answers = {MsgResult::No};
        QVERIFY(!m_window->exportPdfAs());
        QCOMPARE(m_platform->messages.size(), 1);
        // The program's one guard: No is the answer Return gives.
        QCOMPARE(m_platform->messages[0].style, MsgStyle::YesNoQuestion | MsgStyle::DefaultButton2);
        QCOMPARE(test::readBytes(m_file), building);
    }
};

QTEST_MAIN(TestBuildingWindow)
#include "test_building_window.moc"
