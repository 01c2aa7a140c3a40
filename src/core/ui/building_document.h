#pragma once

// The model of a building window: one building, its figures, its file and
// its list of edits to undo and redo. Every change a user makes goes through
// an edit here, so that the figures follow (an edited room recomputes that
// room and its zone only, recomputeRoom; anything else totalUp) and Undo
// takes it back. The first calculation of a building runs on Qt's thread pool
// (calculate(), progress(), cancelCalculation()); the rooms cannot be edited
// until it ends, so that its figures are of the building shown.
//
// The undo list lives here and not in a QUndoStack (Qt Gui): the core links
// Qt Core only, and the tests and any later front end edit and undo the
// building the same way. An edit is kept as what it replaced and what it put
// in its place (rooms in a range, the rooms' order, the zones).

#include "core/base/string_table.h"
#include "core/building/building.h"
#include "core/building/building_figures.h"
#include "core/catalogue/lsp_record.h"
#include "core/ui/replace_guard.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace kvx {

class Kvx1;

// The string-table ids (English block) of the building window.
namespace BuildingWindowText {
constexpr int NewBuilding = 1810; // the main window's File menu
constexpr int OpenBuilding = 1811;
constexpr int RecentBuildings = 1812;
constexpr int Untitled = 1813; // a building without a file
constexpr int Caption = 1814;  // %1 the building's file name, %2 the program
constexpr int FileMenu = 1815;
constexpr int Save = 1816;
constexpr int SaveAs = 1817;
constexpr int ExportRooms = 1818;
constexpr int ExportBill = 1819;
constexpr int ExportPdf = 1820;
constexpr int Close = 1821;
constexpr int EditMenu = 1822;
constexpr int Undo = 1823;
constexpr int Redo = 1824;
constexpr int AddRoom = 1825;
constexpr int DuplicateRooms = 1826;
constexpr int DeleteRooms = 1827;
constexpr int MoveUp = 1828;
constexpr int MoveDown = 1829;
constexpr int Copy = 1830;
constexpr int Paste = 1831;
constexpr int AddZone = 1832;
constexpr int DeleteZone = 1833;
constexpr int RoomMenu = 1834;
constexpr int PlanOfRoom = 1835;
constexpr int OpenAsProject = 1836;
constexpr int AddProject = 1837;
constexpr int Calculate = 1838;
constexpr int RoomsTab = 1839;
constexpr int ZonesTab = 1840;
constexpr int BillTab = 1841;
constexpr int Progress = 1842; // %1 rooms done, %2 in all
constexpr int Cancel = 1843;
constexpr int Cancelled = 1844;
constexpr int SaveQuestion = 1845; // %1 the building's name
constexpr int NewZoneName = 1847;  // %1 a number
constexpr int NewRoomName = 1848;  // %1 a number
constexpr int PasteRefused = 1849; // %1 why
// The rooms table's columns, in RoomColumn order, and the zones table's.
constexpr int FirstRoomColumn = 1850;
constexpr int FirstZoneColumn = 1883; // line voltage onwards; the name is RoomColumn's
constexpr int Fine = 1897;            // a room calculated without a level check
constexpr int NotCalculated = 1898;
constexpr int BadValue = 1899; // %1 the text, %2 the column
} // namespace BuildingWindowText

class BuildingDocument : public QObject {
    Q_OBJECT
public:
    // The catalogue fills a room's loudspeaker when a type is picked or pasted.
    BuildingDocument(Kvx1& kvx, QList<LspRecord> catalogue, QObject* parent = nullptr);
    ~BuildingDocument() override;

    Kvx1& kvx() const { return m_kvx; }
    LocalTexts texts() const;
    const QList<LspRecord>& catalogue() const { return m_catalogue; }

    const Building& building() const { return m_building; }
    // Nothing until the first calculation ended, and after it was cancelled.
    const BuildingFigures* figures() const { return m_figures ? &*m_figures : nullptr; }
    bool calculating() const { return m_watcher != nullptr; }
    // The file; empty for a new building.
    const QString& path() const { return m_path; }
    bool isModified() const { return m_modified; }
    // The file's name, or "New building".
    QString displayName() const;

    // --- the file
    // Reads the file; a file that cannot be read is said in a message box and
    // nothing of this building changes. Starts the calculation.
    bool open(const QString& path);
    // Takes a building that is not a file yet (a new one, a room list).
    void reset(Building building);
    // Save writes the building's file, Save As asks for one first (the guard
    // asks before any file that holds another project or building is
    // replaced). A failed save is said and keeps the building, its file and
    // its modified mark as they were.
    bool save();
    bool saveAs();
    bool saveTo(const QString& path);
    // Before the window closes: with changes, asks whether to save them. True
    // when the window may close. When the program is ending (no Cancel), a
    // failed save asks again.
    bool queryClose(bool ending = false);

    // --- exports: the schedule and the bill as CSV, written complete or not
    // at all (a failure is said). The caller has passed the file through
    // mayWrite, the guard every export goes through.
    bool exportRooms(const QString& path);
    bool exportBill(const QString& path);
    // Whether a file may be written: a file holding a project or a building
    // (this one's own file too) is replaced only when the user says so.
    // The program's one guard (replace_guard.h), with the words of an export
    // unless told otherwise.
    bool mayWrite(const QString& path, Replacement with = Replacement::Export);

    // --- the calculation
    void calculate();
    void cancelCalculation();

    // --- edits, each one step of Undo
    void setRoom(qsizetype index, const Room& room);
    void insertRooms(qsizetype index, const QList<Room>& rooms);
    void removeRooms(QList<qsizetype> indices);
    // Moves the rows one place up (-1) or down (+1) as a block; returns their
    // new rows (the same when they cannot move).
    QList<qsizetype> moveRooms(QList<qsizetype> indices, int delta);
    // The rooms in a new order: order[i] is the old index of the new room i.
    void reorderRooms(const std::vector<qsizetype>& order);
    // A zone's new values; renamed, its rooms follow it.
    void setZone(int index, const Zone& zone);
    void addZone();
    // Its rooms go to "No zone".
    void removeZone(int index);
    // Rooms from tab-separated text (a spreadsheet's copy), with or without a
    // line of column names; the room list's rules. A refusal is said in words
    // (nothing is pasted) and returned.
    std::optional<QString> pasteRooms(qsizetype index, const QString& tsv);
    // The rooms as tab-separated text with a line of column names.
    QString copyRooms(const QList<qsizetype>& indices) const;

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    void undo();
    void redo();

    // A new room for Add: the last room's values (or sensible ones), a new name.
    Room newRoom() const;

Q_SIGNALS:
    // One room's row changed (its values and figures).
    void roomChanged(qsizetype index);
    // Anything else: the rooms, their figures, the zones, the bill.
    void changed();
    void modifiedChanged(bool modified);
    void pathChanged();
    void progress(qsizetype done, qsizetype total);
    // The calculation ended (calculated or cancelled) or started.
    void calculatingChanged(bool calculating);

private:
    struct Piece {
        enum Kind { Rooms, Order, Zones } kind = Rooms;
        qsizetype first = 0;
        QList<Room> before, after;
        std::vector<qsizetype> order;
        QList<Zone> zonesBefore, zonesAfter;
    };
    using Step = std::vector<Piece>;

    void push(Step step);
    void apply(const Step& step, bool forward);
    void applyPiece(const Piece& piece, bool forward);
    int zoneIndexOf(const Room& room) const;
    void setModified(bool modified);
    void finishCalculation();

    Kvx1& m_kvx;
    QList<LspRecord> m_catalogue;
    Building m_building;
    std::optional<BuildingFigures> m_figures;
    QString m_path;
    bool m_modified = false;
    std::vector<Step> m_undo, m_redo;
    // The undo list's entry that matches the file; -1 when none does.
    qsizetype m_savedAt = 0;

    // The calculation's own threads (see BuildingRun::pool).
    QThreadPool m_pool;
    std::unique_ptr<QFutureWatcher<std::optional<BuildingFigures>>> m_watcher;
    std::shared_ptr<std::atomic<bool>> m_cancel;
};

// The rooms and zones of a new building: one zone, no rooms.
Building newBuilding(const LocalTexts& texts);

// The buildings last opened or saved, newest first (full paths), kept in
// Kvx.ini beside the recent projects when kvx.keepRecentProjects is set.
QStringList recentBuildings(const Kvx1& kvx);
void rememberRecentBuilding(const Kvx1& kvx, const QString& path);
// Drops a building that has gone from the list.
void forgetRecentBuilding(const Kvx1& kvx, const QString& path);

} // namespace kvx
