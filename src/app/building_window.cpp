#include "app/building_window.h"

#include "app/dispatcher.h"
#include "app/print_module.h"
#include "app/room_plan.h"
#include "core/base/platform.h"
#include "core/building/building_error.h"
#include "core/building/building_texts.h"
#include "core/building/room_project.h"
#include "core/ui/kvx1.h"
#include "core/ui/offered_name.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>

namespace kvx::app {

namespace {

namespace Text = BuildingWindowText;

// The text id of the user's own loudspeaker type in the type list.
constexpr int kUserTypeText = 1056;

// Paints a cell's state (CellState) behind its text, and edits a cell that
// takes one of a list of values with a list box.
class BuildingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const QStringList choices = index.data(BuildingRole::Choices).toStringList();
        if (choices.isEmpty())
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* box = new QComboBox(parent);
        box->addItems(choices);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            box->setCurrentIndex(std::max(0, box->findText(index.data(Qt::EditRole).toString())));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, box->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        switch (CellState(index.data(BuildingRole::State).toInt())) {
        case CellState::Good:
            option->backgroundBrush = QColor(0xc8, 0xf0, 0xc8);
            break;
        case CellState::Warning:
            option->backgroundBrush = QColor(0xff, 0xe4, 0xa0);
            break;
        case CellState::Bad:
            option->backgroundBrush = QColor(0xff, 0xc0, 0xc0);
            break;
        case CellState::Missing:
            option->palette.setColor(QPalette::Text, Qt::gray);
            break;
        case CellState::None:
            break;
        }
    }
};

QTableView* tableView(QAbstractItemModel* model, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setItemDelegate(new BuildingDelegate(view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    view->horizontalHeader()->setSectionsClickable(true);
    view->setWordWrap(false);
    return view;
}

} // namespace

BuildingWindow::BuildingWindow(Kvx1& kvx, QList<LspRecord> catalogue, Dispatcher& dispatcher,
                               QWidget* parent)
    : QMainWindow(parent)
    , m_dispatcher(dispatcher) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("buildingWindow"));
    m_document = new BuildingDocument(kvx, std::move(catalogue), this);
    m_rooms = new RoomsTableModel(*m_document, this);
    m_zones = new ZonesTableModel(*m_document, this);

    m_tabs = new QTabWidget(this);
    m_roomsView = tableView(m_rooms, m_tabs);
    m_roomsView->setObjectName(QStringLiteral("roomsTable"));
    m_zonesView = tableView(m_zones, m_tabs);
    m_zonesView->setObjectName(QStringLiteral("zonesTable"));
    m_bill = new QPlainTextEdit(m_tabs);
    m_bill->setReadOnly(true);
    m_tabs->addTab(m_roomsView, kvx.localText(Text::RoomsTab));
    m_tabs->addTab(m_zonesView, kvx.localText(Text::ZonesTab));
    m_tabs->addTab(m_bill, kvx.localText(Text::BillTab));
    setCentralWidget(m_tabs);

    m_status = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setMinimumWidth(240);
    m_cancel = new QPushButton(kvx.localText(Text::Cancel), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    statusBar()->addWidget(m_status, 1);
    statusBar()->addPermanentWidget(m_progress);
    statusBar()->addPermanentWidget(m_cancel);
    connect(m_cancel, &QPushButton::clicked, this,
            [this] { m_dispatcher.run([this] { m_document->cancelCalculation(); }); });

    // The room's state (its error, its level check) next to its name, where
    // a reader's eye starts; the other figures follow its values.
    m_roomsView->horizontalHeader()->moveSection(int(RoomColumn::State), int(RoomColumn::Zone) + 1);
    createMenus();
    connect(m_roomsView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &BuildingWindow::sortBy);
    connect(m_document, &BuildingDocument::modifiedChanged, this, &BuildingWindow::showState);
    connect(m_document, &BuildingDocument::pathChanged, this, &BuildingWindow::showState);
    // A building read from its file: its rooms' texts size the columns.
    connect(m_document, &BuildingDocument::pathChanged, this, &BuildingWindow::fitColumns);
    connect(m_document, &BuildingDocument::calculatingChanged, this, &BuildingWindow::showState);
    connect(m_document, &BuildingDocument::changed, this, &BuildingWindow::showState);
    connect(m_document, &BuildingDocument::roomChanged, this, &BuildingWindow::showState);
    connect(m_document, &BuildingDocument::progress, this, &BuildingWindow::showProgress);
    for (RoomsTableModel* model : {m_rooms})
        connect(model, &RoomsTableModel::editRefused, m_status, &QLabel::setText);
    connect(m_zones, &ZonesTableModel::editRefused, m_status, &QLabel::setText);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    resize(screen.width() * 9 / 10, std::min(800, screen.height() * 8 / 10));
    showState();
    fitColumns();
}

BuildingWindow::~BuildingWindow() = default;

QAction* BuildingWindow::addCommand(QMenu* menu, int textId, const QKeySequence& key,
                                    const std::function<void()>& command) {
    QAction* action = menu->addAction(m_document->kvx().localText(textId));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, command] { m_dispatcher.run(command); });
    return action;
}

void BuildingWindow::createMenus() {
    Kvx1& kvx = m_document->kvx();
    QMenu* file = menuBar()->addMenu(kvx.localText(Text::FileMenu));
    addCommand(file, Text::Save, QKeySequence::Save, [this] { m_document->save(); });
    addCommand(file, Text::SaveAs, QKeySequence::SaveAs, [this] { m_document->saveAs(); });
    file->addSeparator();
    m_edits << addCommand(file, Text::ExportRooms, {}, [this] { exportRoomsAs(); });
    m_edits << addCommand(file, Text::ExportBill, {}, [this] { exportBillAs(); });
    m_edits << addCommand(file, Text::ExportPdf, {}, [this] { exportPdfAs(); });
    file->addSeparator();
    addCommand(file, Text::Close, QKeySequence::Close, [this] { close(); });

    QMenu* edit = menuBar()->addMenu(kvx.localText(Text::EditMenu));
    m_undo = addCommand(edit, Text::Undo, QKeySequence::Undo, [this] { m_document->undo(); });
    m_redo = addCommand(edit, Text::Redo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                        [this] { m_document->redo(); });
    edit->addSeparator();
    addCommand(edit, Text::Copy, QKeySequence::Copy, [this] { copy(); });
    m_edits << addCommand(edit, Text::Paste, QKeySequence::Paste, [this] { paste(); });
    edit->addSeparator();
    m_edits << addCommand(edit, Text::AddRoom, QKeySequence(Qt::CTRL | Qt::Key_Insert),
                          [this] { addRoom(); });
    m_edits << addCommand(edit, Text::DuplicateRooms, QKeySequence(Qt::CTRL | Qt::Key_D),
                          [this] { duplicateRooms(); });
    m_edits << addCommand(edit, Text::DeleteRooms, QKeySequence(Qt::CTRL | Qt::Key_Delete),
                          [this] { deleteRooms(); });
    m_edits << addCommand(edit, Text::MoveUp, QKeySequence(Qt::ALT | Qt::Key_Up),
                          [this] { moveRooms(-1); });
    m_edits << addCommand(edit, Text::MoveDown, QKeySequence(Qt::ALT | Qt::Key_Down),
                          [this] { moveRooms(1); });
    edit->addSeparator();
    m_edits << addCommand(edit, Text::AddZone, {}, [this] { addZone(); });
    m_edits << addCommand(edit, Text::DeleteZone, {}, [this] { deleteZone(); });
    edit->addSeparator();
    m_edits << addCommand(edit, Text::Calculate, QKeySequence(Qt::Key_F9),
                          [this] { m_document->calculate(); });

    QMenu* room = menuBar()->addMenu(kvx.localText(Text::RoomMenu));
    m_edits << addCommand(room, Text::PlanOfRoom, QKeySequence(Qt::CTRL | Qt::Key_L),
                          [this] { planOfRoom(); });
    m_edits << addCommand(room, Text::OpenAsProject, {}, [this] { openAsProject(); });
    m_edits << addCommand(room, Text::AddProject, {}, [this] { addProject(); });
}

void BuildingWindow::showState() {
    Kvx1& kvx = m_document->kvx();
    setWindowTitle(
        kvx.localText(Text::Caption)
            .arg(m_document->displayName() + QStringLiteral("[*]"), kvx.texts.ProgramTitle));
    setWindowModified(m_document->isModified());
    const bool calculating = m_document->calculating();
    m_progress->setVisible(calculating);
    m_cancel->setVisible(calculating);
    m_undo->setEnabled(!calculating && m_document->canUndo());
    m_redo->setEnabled(!calculating && m_document->canRedo());
    for (QAction* action : m_edits)
        action->setEnabled(!calculating);
    if (calculating != m_wasCalculating) {
        m_wasCalculating = calculating;
        m_status->clear();
        if (calculating)
            m_roomsView->horizontalHeader()->setSortIndicatorShown(false);
        else
            fitColumns();
    }
    if (!calculating && !m_document->figures() && !m_document->building().rooms.isEmpty())
        m_status->setText(kvx.localText(Text::Cancelled));
    showBill();
}

void BuildingWindow::fitColumns() {
    m_roomsView->resizeColumnsToContents();
    m_zonesView->resizeColumnsToContents();
    // A long error shows whole in its tooltip; the row keeps its figures in sight.
    const int widest = fontMetrics().averageCharWidth() * 40;
    for (QTableView* view : {m_roomsView, m_zonesView}) {
        for (int c = 0; c < view->model()->columnCount(); ++c)
            view->setColumnWidth(c, std::min(view->columnWidth(c), widest));
    }
}

void BuildingWindow::showBill() {
    const BuildingFigures* figures = m_document->figures();
    if (!figures) {
        m_bill->clear();
        return;
    }
    m_bill->setPlainText(
        billLines(m_document->building(), *figures, m_document->texts()).join(u'\n'));
}

void BuildingWindow::showProgress(qsizetype done, qsizetype total) {
    if (!m_document->calculating())
        return;
    m_progress->setRange(0, int(total));
    m_progress->setValue(int(done));
    m_status->setText(m_document->kvx().localText(Text::Progress).arg(done).arg(total));
}

QList<qsizetype> BuildingWindow::selectedRooms() const {
    QList<qsizetype> rows;
    for (const QModelIndex& index : m_roomsView->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty() && m_roomsView->currentIndex().isValid())
        rows << m_roomsView->currentIndex().row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void BuildingWindow::selectRooms(const QList<qsizetype>& rows) {
    QItemSelection selection;
    for (const qsizetype row : rows) {
        if (row >= 0 && row < m_rooms->rowCount())
            selection.select(m_rooms->index(int(row), 0),
                             m_rooms->index(int(row), m_rooms->columnCount() - 1));
    }
    if (!rows.isEmpty())
        m_roomsView->selectionModel()->setCurrentIndex(m_rooms->index(int(rows.first()), 0),
                                                       QItemSelectionModel::NoUpdate);
    m_roomsView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void BuildingWindow::copy() {
    const QList<qsizetype> rows = selectedRooms();
    if (rows.isEmpty())
        return;
    QApplication::clipboard()->setText(m_document->copyRooms(rows));
}

void BuildingWindow::paste() {
    const QList<qsizetype> rows = selectedRooms();
    const qsizetype at = rows.isEmpty() ? m_document->building().rooms.size() : rows.last() + 1;
    const qsizetype before = m_document->building().rooms.size();
    m_document->pasteRooms(at, QApplication::clipboard()->text());
    const qsizetype added = m_document->building().rooms.size() - before;
    QList<qsizetype> pasted;
    for (qsizetype i = 0; i < added; ++i)
        pasted << at + i;
    selectRooms(pasted);
}

void BuildingWindow::addRoom() {
    const QList<qsizetype> rows = selectedRooms();
    const qsizetype at = rows.isEmpty() ? m_document->building().rooms.size() : rows.last() + 1;
    m_document->insertRooms(at, {m_document->newRoom()});
    selectRooms({at});
}

void BuildingWindow::duplicateRooms() {
    const QList<qsizetype> rows = selectedRooms();
    if (rows.isEmpty())
        return;
    QList<Room> copies;
    for (const qsizetype row : rows)
        copies << m_document->building().rooms[row];
    m_document->insertRooms(rows.last() + 1, copies);
    QList<qsizetype> added;
    for (qsizetype i = 0; i < copies.size(); ++i)
        added << rows.last() + 1 + i;
    selectRooms(added);
}

void BuildingWindow::deleteRooms() {
    const QList<qsizetype> rows = selectedRooms();
    m_document->removeRooms(rows);
    if (!rows.isEmpty())
        selectRooms({std::min(rows.first(), m_document->building().rooms.size() - 1)});
}

void BuildingWindow::moveRooms(int delta) {
    selectRooms(m_document->moveRooms(selectedRooms(), delta));
}

void BuildingWindow::addZone() {
    m_document->addZone();
    m_tabs->setCurrentWidget(m_zonesView);
}

void BuildingWindow::deleteZone() {
    const QModelIndex current = m_zonesView->currentIndex();
    if (current.isValid())
        m_document->removeZone(current.row());
}

void BuildingWindow::sortBy(int column) {
    if (column == m_sortColumn)
        m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
        m_sortOrder = Qt::AscendingOrder;
    m_sortColumn = column;
    m_dispatcher.run([&] { m_rooms->sort(column, m_sortOrder); });
    m_roomsView->horizontalHeader()->setSortIndicatorShown(true);
    m_roomsView->horizontalHeader()->setSortIndicator(column, m_sortOrder);
}

std::optional<QString> BuildingWindow::askExportPath(const QString& filter,
                                                     const QString& extension,
                                                     const QString& what) {
    Kvx1& kvx = m_document->kvx();
    // The exports are of the figures: without them (a cancelled
    // calculation) there is nothing to write, and the user is told why.
    if (!m_document->figures()) {
        kvx.platform.messageBox(kvx.localText(Text::Cancelled), MsgStyle::Exclamation,
                                kvx.texts.ProgramTitle);
        return std::nullopt;
    }
    CommonDialog dialog;
    dialog.filter = filter;
    dialog.defaultExt = extension;
    dialog.flags =
        DialogFlags::PathMustExist | DialogFlags::HideReadOnly | DialogFlags::OverwritePrompt;
    dialog.initDir = kvx.dialogFolder(m_document->path());
    // The building's name and what the export holds, when two share a suffix.
    QString name = offeredName(kvx, m_document->path(), m_document->building().name);
    if (!what.isEmpty())
        name = fileNameOf(name + u' ' + what);
    dialog.fileName = QDir(dialog.initDir).filePath(name + u'.' + extension);
    const std::optional<QString> chosen = kvx.platform.showSaveDialog(dialog);
    if (!chosen || !m_document->mayWrite(*chosen))
        return std::nullopt;
    kvx.rememberFolder(*chosen);
    return chosen;
}

bool BuildingWindow::exportRoomsAs() {
    const auto path = askExportPath(QStringLiteral("CSV (*.csv)|*.csv"), QStringLiteral("csv"));
    return path && m_document->exportRooms(*path);
}

bool BuildingWindow::exportBillAs() {
    const auto path = askExportPath(QStringLiteral("CSV (*.csv)|*.csv"), QStringLiteral("csv"),
                                    m_document->kvx().localText(Text::BillTab));
    return path && m_document->exportBill(*path);
}

bool BuildingWindow::exportPdfAs() {
    const auto path = askExportPath(QStringLiteral("PDF (*.pdf)|*.pdf"), QStringLiteral("pdf"));
    return path && writeSchedulePdf(*path);
}

bool BuildingWindow::writeSchedulePdf(const QString& path) {
    const BuildingFigures* figures = m_document->figures();
    if (!figures)
        return false;
    QString whyNot;
    Printing* found = printing(&whyNot);
    const std::optional<QString> why =
        found ? found->writeSchedule(path, *m_document, *m_rooms, *m_zones) : whyNot;
    if (why) {
        m_document->kvx().platform.messageBox(*why, MsgStyle::Exclamation,
                                              m_document->kvx().texts.ProgramTitle);
        return false;
    }
    return true;
}

QString BuildingWindow::typeTextOf(const Room& room) const {
    // The type as the main window's list shows it: the catalogue's name with
    // its padding, or the user's own type.
    for (const LspRecord& record : m_document->catalogue()) {
        if (!room.loudspeaker.type.isEmpty() && catalogueTypeName(record) == room.loudspeaker.type)
            return record.TypeName;
    }
    return m_document->kvx().localText(kUserTypeText);
}

PlanWindow* BuildingWindow::planOfRoom() {
    const QList<qsizetype> rows = selectedRooms();
    if (rows.isEmpty())
        return nullptr;
    const Building& b = m_document->building();
    const Room& room = b.rooms[rows.first()];
    return openRoomPlan(m_document->kvx(), m_dispatcher, room, zoneOf(b, room), typeTextOf(room));
}

void BuildingWindow::openAsProject() {
    const QList<qsizetype> rows = selectedRooms();
    if (rows.isEmpty())
        return;
    Kvx1& kvx = m_document->kvx();
    const Building& b = m_document->building();
    const Room& room = b.rooms[rows.first()];
    const QString typeText = typeTextOf(room);
    CommonDialog dialog;
    dialog.filter = QStringLiteral("KVX Files (*.kvx)|*.kvx|All Files (*.*)|*.*");
    dialog.defaultExt = QStringLiteral("kvx");
    dialog.flags =
        DialogFlags::PathMustExist | DialogFlags::HideReadOnly | DialogFlags::OverwritePrompt;
    dialog.initDir = kvx.dialogFolder(m_document->path());
    // The room's project is offered under the room's name.
    dialog.fileName =
        QDir(dialog.initDir).filePath(offeredName(kvx, {}, room.name) + QStringLiteral(".kvx"));
    const std::optional<QString> chosen = kvx.platform.showSaveDialog(dialog);
    if (!chosen || !m_document->mayWrite(*chosen))
        return;
    const RoomProject project = projectOfRoom(room, zoneOf(b, room), typeText, kvx.locale);
    writeProjectFile(*chosen, project.fields, project.settings, kvx.localTexts());
    kvx.rememberFolder(*chosen);
    Q_EMIT openProject(*chosen);
}

void BuildingWindow::addProject() {
    Kvx1& kvx = m_document->kvx();
    CommonDialog dialog;
    dialog.filter = QStringLiteral("KVX Files (*.kvx)|*.kvx|All Files (*.*)|*.*");
    dialog.defaultExt = QStringLiteral("kvx");
    dialog.flags = DialogFlags::FileMustExist | DialogFlags::HideReadOnly;
    dialog.initDir = kvx.dialogFolder(m_document->path());
    const std::optional<QString> chosen = kvx.platform.showOpenDialog(dialog);
    if (!chosen)
        return;
    kvx.rememberFolder(*chosen);
    const ProjectFileContents contents = readProjectFile(*chosen, kvx.localTexts());
    const QString name = QFileInfo(*chosen).completeBaseName();
    std::optional<Room> room = roomOfProject(contents, name, m_document->catalogue());
    if (!room) {
        BuildingError error;
        error.kind = BuildingError::Kind::CannotRead;
        error.file = *chosen;
        error.detail = kvx.localText(Text::NotCalculated);
        kvx.platform.messageBox(buildingErrorText(error, m_document->texts()),
                                MsgStyle::Exclamation, kvx.texts.ProgramTitle);
        return;
    }
    const QList<qsizetype> rows = selectedRooms();
    const Building& b = m_document->building();
    if (!rows.isEmpty())
        room->zone = b.rooms[rows.last()].zone;
    else if (!b.zones.isEmpty())
        room->zone = b.zones.first().name;
    const qsizetype at = rows.isEmpty() ? b.rooms.size() : rows.last() + 1;
    m_document->insertRooms(at, {*room});
    selectRooms({at});
}

void BuildingWindow::closeEvent(QCloseEvent* event) {
    bool mayClose = false;
    if (m_ending || m_dispatcher.programEnded())
        mayClose = m_document->queryClose(true);
    else
        m_dispatcher.run([&] { mayClose = m_document->queryClose(); });
    if (mayClose) {
        m_document->cancelCalculation();
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace kvx::app
