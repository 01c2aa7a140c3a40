#pragma once

// A building window: the rooms table, the zones table and the bill of
// materials of one building (core/ui/building_document.h). Any number can be
// open beside the main window. The tables are Qt item views over the core's
// models; the window forwards the user's commands to the document and shows
// its state (the modified mark, the calculation's progress). It computes no
// figure itself.

#include "core/ui/building_document.h"
#include "core/ui/building_tables.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;

namespace kvx {
class Kvx1;
}

namespace kvx::app {

class Dispatcher;
class PlanWindow;

class BuildingWindow : public QMainWindow {
    Q_OBJECT
public:
    BuildingWindow(Kvx1& kvx, QList<LspRecord> catalogue, Dispatcher& dispatcher,
                   QWidget* parent = nullptr);
    ~BuildingWindow() override;

    BuildingDocument& document() { return *m_document; }
    RoomsTableModel& rooms() { return *m_rooms; }
    ZonesTableModel& zones() { return *m_zones; }
    QTableView* roomsView() const { return m_roomsView; }
    QTableView* zonesView() const { return m_zonesView; }
    QProgressBar* progressBar() const { return m_progress; }

    // The program is ending: closing asks to save or discard, without the
    // choice to cancel, which could not keep the program running.
    void setEnding() { m_ending = true; }

    // The selected rooms' rows, in order.
    QList<qsizetype> selectedRooms() const;
    void selectRooms(const QList<qsizetype>& rows);

    // The commands of the menus.
    void copy();
    void paste();
    void addRoom();
    void duplicateRooms();
    void deleteRooms();
    void moveRooms(int delta);
    void addZone();
    void deleteZone();
    bool exportRoomsAs();
    bool exportBillAs();
    bool exportPdfAs();
    // Writes the selected room as a project (asking where) and opens it in
    // the main window (openProject).
    void openAsProject();
    // Reads a project (asking which) as a new room after the selection.
    void addProject();
    // The plan window of the selected room (room_plan.h); nullptr without one.
    PlanWindow* planOfRoom();
    // Writes the schedule PDF: a cover with the totals and the bill, the
    // rooms over as many pages as they need, then the zones. False (said in a
    // message box) when it cannot be written.
    bool writeSchedulePdf(const QString& path);

Q_SIGNALS:
    // "Open as project": the room written as a project file at path.
    void openProject(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    QAction* addCommand(QMenu* menu, int textId, const QKeySequence& key,
                        const std::function<void()>& command);
    void showState();
    void showBill();
    void fitColumns();
    void showProgress(qsizetype done, qsizetype total);
    void sortBy(int column);
    // Asks for a file to write (the guard asks before a project or building
    // is replaced); nothing when cancelled.
    QString typeTextOf(const Room& room) const;
    // what: the words that tell apart two exports of one suffix (empty for none).
    std::optional<QString> askExportPath(const QString& filter, const QString& extension,
                                         const QString& what = {});

    Dispatcher& m_dispatcher;
    BuildingDocument* m_document = nullptr;
    RoomsTableModel* m_rooms = nullptr;
    ZonesTableModel* m_zones = nullptr;

    QTabWidget* m_tabs = nullptr;
    QTableView* m_roomsView = nullptr;
    QTableView* m_zonesView = nullptr;
    QPlainTextEdit* m_bill = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_status = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QList<QAction*> m_edits; // disabled while the first calculation runs
    bool m_ending = false;
    bool m_wasCalculating = false;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace kvx::app
