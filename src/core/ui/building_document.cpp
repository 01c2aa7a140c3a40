#include "core/ui/building_document.h"

#include "core/base/ini_file.h"
#include "core/base/platform.h"
#include "core/building/building_export.h"
#include "core/building/building_file.h"
#include "core/building/room_list.h"
#include "core/ui/kvx1.h"
#include "core/ui/offered_name.h"
#include "core/ui/recent_files.h"

#include <QFileInfo>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace kvx {

namespace {

namespace Text = BuildingWindowText;

const QString kBuildingFilter = QStringLiteral("KVX buildings (*.kvxb)|*.kvxb|All Files (*.*)|*.*");

// Two rooms that differ in their zone's name at most: the same calculation
// unless the zone's line voltage differs, which totalUp finds.
bool sameInputs(Room a, const Room& b) {
    a.zone = b.zone;
    a.unknownKeys = b.unknownKeys;
    a.name = b.name;
    return a == b;
}

const RecentList kRecentBuildings{QStringLiteral("Recent buildings"), QStringLiteral("Building")};

} // namespace

QStringList recentBuildings(const Kvx1& kvx) {
    return recentFiles(kvx, kRecentBuildings);
}

void rememberRecentBuilding(const Kvx1& kvx, const QString& path) {
    rememberRecentFile(kvx, kRecentBuildings, path);
}

void forgetRecentBuilding(const Kvx1& kvx, const QString& path) {
    forgetRecentFile(kvx, kRecentBuildings, path);
}

Building newBuilding(const LocalTexts& texts) {
    Building building;
    Zone zone;
    zone.name = texts.text(Text::NewZoneName).arg(1);
    building.zones.append(zone);
    return building;
}

BuildingDocument::BuildingDocument(Kvx1& kvx, QList<LspRecord> catalogue, QObject* parent)
    : QObject(parent)
    , m_kvx(kvx)
    , m_catalogue(std::move(catalogue))
    , m_building(newBuilding(kvx.localTexts())) {
    // One thread waits for the rooms while the others work them out.
    m_pool.setMaxThreadCount(QThread::idealThreadCount() + 1);
    m_figures = computeBuilding(m_building);
}

BuildingDocument::~BuildingDocument() {
    if (m_watcher) {
        m_cancel->store(true);
        m_watcher->waitForFinished();
    }
}

LocalTexts BuildingDocument::texts() const {
    return m_kvx.localTexts();
}

QString BuildingDocument::displayName() const {
    return m_path.isEmpty() ? m_kvx.localText(Text::Untitled) : QFileInfo(m_path).fileName();
}

void BuildingDocument::setModified(bool modified) {
    if (m_modified == modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(modified);
}

// --- the file

bool BuildingDocument::open(const QString& path) {
    BuildingRead read = readBuildingFile(path);
    if (!read.building) {
        m_kvx.platform.messageBox(buildingErrorText(*read.error, texts()), MsgStyle::Exclamation,
                                  m_kvx.texts.ProgramTitle);
        return false;
    }
    reset(std::move(*read.building));
    m_path = QFileInfo(path).absoluteFilePath();
    rememberRecentBuilding(m_kvx, m_path);
    Q_EMIT pathChanged();
    return true;
}

void BuildingDocument::reset(Building building) {
    cancelCalculation();
    m_building = std::move(building);
    m_figures.reset();
    m_undo.clear();
    m_redo.clear();
    m_savedAt = 0;
    m_path.clear();
    setModified(false);
    Q_EMIT pathChanged();
    Q_EMIT changed();
    calculate();
}

bool BuildingDocument::save() {
    if (m_path.isEmpty())
        return saveAs();
    return saveTo(m_path);
}

bool BuildingDocument::saveAs() {
    CommonDialog dialog;
    dialog.filter = kBuildingFilter;
    dialog.defaultExt = QStringLiteral("kvxb");
    dialog.flags =
        DialogFlags::PathMustExist | DialogFlags::HideReadOnly | DialogFlags::OverwritePrompt;
    dialog.initDir = m_kvx.dialogFolder(m_path);
    // A new building is offered under its name, else "Untitled".
    dialog.fileName = offeredPath(m_kvx, m_path, m_building.name, QStringLiteral("kvxb"));
    const std::optional<QString> chosen = m_kvx.platform.showSaveDialog(dialog);
    if (!chosen)
        return false;
    const bool own = !m_path.isEmpty() && QFileInfo(*chosen) == QFileInfo(m_path);
    if (!own && !mayWrite(*chosen, Replacement::Building))
        return false;
    if (!saveTo(*chosen))
        return false;
    m_kvx.rememberFolder(*chosen);
    return true;
}

bool BuildingDocument::saveTo(const QString& path) {
    if (const std::optional<BuildingError> error = writeBuildingFile(path, m_building)) {
        m_kvx.platform.messageBox(buildingErrorText(*error, texts()), MsgStyle::Exclamation,
                                  m_kvx.texts.ProgramTitle);
        return false;
    }
    m_savedAt = qsizetype(m_undo.size());
    setModified(false);
    const QString full = QFileInfo(path).absoluteFilePath();
    rememberRecentBuilding(m_kvx, full);
    if (full != m_path) {
        m_path = full;
        Q_EMIT pathChanged();
    }
    return true;
}

bool BuildingDocument::queryClose(bool ending) {
    while (m_modified) {
        const MsgResult answer = m_kvx.platform.messageBox(
            m_kvx.localText(Text::SaveQuestion).arg(displayName()),
            ending ? MsgStyle::YesNoQuestion : MsgStyle::YesNoCancelQuestion,
            m_kvx.texts.ProgramTitle);
        if (answer == MsgResult::No)
            return true;
        if (answer != MsgResult::Yes && !ending)
            return false;
        if (answer == MsgResult::Yes && save())
            return true;
        if (!ending)
            return false;
    }
    return true;
}

bool BuildingDocument::mayWrite(const QString& path, Replacement with) {
    return mayReplace(m_kvx, path, m_kvx.texts.ProgramTitle, with);
}

bool BuildingDocument::exportRooms(const QString& path) {
    if (!m_figures)
        return false;
    if (const auto error = writeCsvFile(path, scheduleCsv(m_building, *m_figures, texts()))) {
        m_kvx.platform.messageBox(buildingErrorText(*error, texts()), MsgStyle::Exclamation,
                                  m_kvx.texts.ProgramTitle);
        return false;
    }
    return true;
}

bool BuildingDocument::exportBill(const QString& path) {
    if (!m_figures)
        return false;
    if (const auto error = writeCsvFile(path, billCsv(m_building, *m_figures, texts()))) {
        m_kvx.platform.messageBox(buildingErrorText(*error, texts()), MsgStyle::Exclamation,
                                  m_kvx.texts.ProgramTitle);
        return false;
    }
    return true;
}

// --- the calculation

void BuildingDocument::calculate() {
    if (m_watcher)
        return;
    m_figures.reset();
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_watcher = std::make_unique<QFutureWatcher<std::optional<BuildingFigures>>>();
    connect(m_watcher.get(), &QFutureWatcherBase::finished, this,
            &BuildingDocument::finishCalculation);
    const qsizetype total = m_building.rooms.size();
    BuildingRun run;
    run.cancel = m_cancel.get();
    run.pool = &m_pool;
    run.progress = [this](qsizetype done, qsizetype all) {
        // From the pool's threads: the signal is sent on the window's thread.
        QMetaObject::invokeMethod(
            this, [this, done, all] { Q_EMIT progress(done, all); }, Qt::QueuedConnection);
    };
    // The run works on its own copy, so that nothing it reads changes under it.
    m_watcher->setFuture(QtConcurrent::run(&m_pool, [building = m_building, run, keep = m_cancel] {
        return computeBuilding(building, run);
    }));
    Q_EMIT calculatingChanged(true);
    Q_EMIT progress(0, total);
}

void BuildingDocument::cancelCalculation() {
    if (!m_watcher)
        return;
    m_cancel->store(true);
    m_watcher->waitForFinished();
    finishCalculation();
}

void BuildingDocument::finishCalculation() {
    if (!m_watcher)
        return;
    std::unique_ptr<QFutureWatcher<std::optional<BuildingFigures>>> watcher = std::move(m_watcher);
    watcher->disconnect(this);
    m_figures = m_cancel->load() ? std::nullopt : watcher->result();
    Q_EMIT calculatingChanged(false);
    Q_EMIT changed();
}

// --- edits

int BuildingDocument::zoneIndexOf(const Room& room) const {
    for (int i = 0; i < m_building.zones.size(); ++i) {
        if (!room.zone.isEmpty() && m_building.zones[i].name == room.zone)
            return i;
    }
    return int(m_building.zones.size());
}

void BuildingDocument::push(Step step) {
    if (m_watcher || step.empty())
        return;
    apply(step, true);
    if (m_savedAt > qsizetype(m_undo.size()))
        m_savedAt = -1; // the saved state can no longer be reached by Undo or Redo
    m_undo.push_back(std::move(step));
    m_redo.clear();
    setModified(true);
}

void BuildingDocument::undo() {
    if (m_undo.empty() || m_watcher)
        return;
    Step step = std::move(m_undo.back());
    m_undo.pop_back();
    apply(step, false);
    m_redo.push_back(std::move(step));
    setModified(qsizetype(m_undo.size()) != m_savedAt);
}

void BuildingDocument::redo() {
    if (m_redo.empty() || m_watcher)
        return;
    Step step = std::move(m_redo.back());
    m_redo.pop_back();
    apply(step, true);
    m_undo.push_back(std::move(step));
    setModified(qsizetype(m_undo.size()) != m_savedAt);
}

void BuildingDocument::apply(const Step& step, bool forward) {
    // One room edited in its values: that room and its zones only.
    if (step.size() == 1 && step[0].kind == Piece::Rooms && step[0].before.size() == 1 &&
        step[0].after.size() == 1 && m_figures) {
        const Piece& p = step[0];
        m_building.rooms[p.first] = forward ? p.after[0] : p.before[0];
        recomputeRoom(m_building, *m_figures, p.first);
        Q_EMIT roomChanged(p.first);
        return;
    }
    if (forward) {
        for (const Piece& piece : step)
            applyPiece(piece, true);
    } else {
        for (auto it = step.rbegin(); it != step.rend(); ++it)
            applyPiece(*it, false);
    }
    if (m_figures)
        totalUp(m_building, *m_figures);
    Q_EMIT changed();
}

void BuildingDocument::applyPiece(const Piece& piece, bool forward) {
    switch (piece.kind) {
    case Piece::Zones:
        m_building.zones = forward ? piece.zonesAfter : piece.zonesBefore;
        return;
    case Piece::Order: {
        std::vector<qsizetype> order = piece.order;
        if (!forward) {
            std::vector<qsizetype> inverse(order.size());
            for (size_t i = 0; i < order.size(); ++i)
                inverse[size_t(order[i])] = qsizetype(i);
            order = std::move(inverse);
        }
        QList<Room> rooms;
        rooms.reserve(m_building.rooms.size());
        for (const qsizetype from : order)
            rooms.append(m_building.rooms[from]);
        m_building.rooms = std::move(rooms);
        if (m_figures) {
            std::vector<RoomFigures> figures;
            figures.reserve(order.size());
            for (const qsizetype from : order)
                figures.push_back(std::move(m_figures->rooms[size_t(from)]));
            m_figures->rooms = std::move(figures);
        }
        return;
    }
    case Piece::Rooms: {
        const QList<Room>& removed = forward ? piece.before : piece.after;
        const QList<Room>& added = forward ? piece.after : piece.before;
        std::vector<RoomFigures> figures;
        if (m_figures) {
            for (qsizetype i = 0; i < added.size(); ++i) {
                const Room& room = added[i];
                if (i < removed.size() && sameInputs(removed[i], room)) {
                    figures.push_back(m_figures->rooms[size_t(piece.first + i)]);
                } else {
                    const int zone = zoneIndexOf(room);
                    figures.push_back(roomFiguresFor(room, zoneOf(m_building, room), zone));
                }
            }
            auto at = m_figures->rooms.begin() + piece.first;
            at = m_figures->rooms.erase(at, at + removed.size());
            m_figures->rooms.insert(at, std::make_move_iterator(figures.begin()),
                                    std::make_move_iterator(figures.end()));
        }
        m_building.rooms.remove(piece.first, removed.size());
        for (qsizetype i = 0; i < added.size(); ++i)
            m_building.rooms.insert(piece.first + i, added[i]);
        return;
    }
    }
}

void BuildingDocument::setRoom(qsizetype index, const Room& room) {
    if (index < 0 || index >= m_building.rooms.size() || m_building.rooms[index] == room)
        return;
    Piece p;
    p.first = index;
    p.before = {m_building.rooms[index]};
    p.after = {room};
    push({p});
}

void BuildingDocument::insertRooms(qsizetype index, const QList<Room>& rooms) {
    if (rooms.isEmpty())
        return;
    Piece p;
    p.first = std::clamp<qsizetype>(index, 0, m_building.rooms.size());
    p.after = rooms;
    if (m_building.rooms.size() + rooms.size() > BuildingLimits::MaxRooms)
        return;
    push({p});
}

void BuildingDocument::removeRooms(QList<qsizetype> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    Step step;
    // From the last row up, so that each piece's row is still where it was.
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        if (*it < 0 || *it >= m_building.rooms.size())
            continue;
        Piece p;
        p.first = *it;
        p.before = {m_building.rooms[*it]};
        step.push_back(p);
    }
    push(std::move(step));
}

QList<qsizetype> BuildingDocument::moveRooms(QList<qsizetype> indices, int delta) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    const qsizetype n = m_building.rooms.size();
    if (indices.isEmpty() || (delta < 0 && indices.first() <= 0) ||
        (delta > 0 && indices.last() >= n - 1) || indices.first() < 0 || indices.last() >= n)
        return indices;
    std::vector<qsizetype> order(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i)
        order[size_t(i)] = i;
    // Each selected row trades places with its neighbour, from the side it moves to.
    if (delta < 0) {
        for (const qsizetype i : indices)
            std::swap(order[size_t(i)], order[size_t(i - 1)]);
    } else {
        for (auto it = indices.rbegin(); it != indices.rend(); ++it)
            std::swap(order[size_t(*it)], order[size_t(*it + 1)]);
    }
    reorderRooms(order);
    for (qsizetype& i : indices)
        i += delta < 0 ? -1 : 1;
    return indices;
}

void BuildingDocument::reorderRooms(const std::vector<qsizetype>& order) {
    if (qsizetype(order.size()) != m_building.rooms.size())
        return;
    bool same = true;
    for (size_t i = 0; i < order.size() && same; ++i)
        same = order[i] == qsizetype(i);
    if (same)
        return;
    Piece p;
    p.kind = Piece::Order;
    p.order = order;
    push({p});
}

void BuildingDocument::setZone(int index, const Zone& zone) {
    if (index < 0 || index >= m_building.zones.size() || m_building.zones[index] == zone)
        return;
    const QString oldName = m_building.zones[index].name;
    if (zone.name.trimmed().isEmpty())
        return;
    for (int i = 0; i < m_building.zones.size(); ++i) {
        if (i != index && m_building.zones[i].name == zone.name)
            return;
    }
    Step step;
    Piece zones;
    zones.kind = Piece::Zones;
    zones.zonesBefore = m_building.zones;
    zones.zonesAfter = m_building.zones;
    zones.zonesAfter[index] = zone;
    step.push_back(zones);
    if (zone.name != oldName) {
        for (qsizetype i = 0; i < m_building.rooms.size(); ++i) {
            if (m_building.rooms[i].zone != oldName)
                continue;
            Piece p;
            p.first = i;
            p.before = {m_building.rooms[i]};
            p.after = p.before;
            p.after[0].zone = zone.name;
            step.push_back(p);
        }
    }
    push(std::move(step));
}

void BuildingDocument::addZone() {
    Zone zone;
    for (int n = int(m_building.zones.size()) + 1;; ++n) {
        zone.name = m_kvx.localText(Text::NewZoneName).arg(n);
        const bool taken = std::any_of(m_building.zones.begin(), m_building.zones.end(),
                                       [&](const Zone& z) { return z.name == zone.name; });
        if (!taken)
            break;
    }
    Piece p;
    p.kind = Piece::Zones;
    p.zonesBefore = m_building.zones;
    p.zonesAfter = m_building.zones;
    p.zonesAfter.append(zone);
    push({p});
}

void BuildingDocument::removeZone(int index) {
    if (index < 0 || index >= m_building.zones.size())
        return;
    const QString name = m_building.zones[index].name;
    Step step;
    for (qsizetype i = 0; i < m_building.rooms.size(); ++i) {
        if (m_building.rooms[i].zone != name)
            continue;
        Piece p;
        p.first = i;
        p.before = {m_building.rooms[i]};
        p.after = p.before;
        p.after[0].zone.clear();
        step.push_back(p);
    }
    Piece zones;
    zones.kind = Piece::Zones;
    zones.zonesBefore = m_building.zones;
    zones.zonesAfter = m_building.zones;
    zones.zonesAfter.removeAt(index);
    step.push_back(zones);
    push(std::move(step));
}

Room BuildingDocument::newRoom() const {
    Room room;
    if (!m_building.rooms.isEmpty()) {
        room = m_building.rooms.last();
        room.unknownKeys = {};
    } else {
        room.length = 10;
        room.width = 8;
        room.height = 3;
        room.ear = 1.2;
        if (!m_catalogue.isEmpty())
            room.loudspeaker = loudspeakerOf(m_catalogue.first());
        if (!m_building.zones.isEmpty())
            room.zone = m_building.zones.first().name;
    }
    room.name = m_kvx.localText(Text::NewRoomName).arg(m_building.rooms.size() + 1);
    return room;
}

// --- copy and paste

QString BuildingDocument::copyRooms(const QList<qsizetype>& indices) const {
    // Numbers with the decimal separator of the user's language, as a
    // spreadsheet of that language reads them.
    const CsvSeparator form = texts().locale.decimalPoint() == QStringLiteral(",")
                                  ? CsvSeparator::Semicolon
                                  : CsvSeparator::Comma;
    const auto cell = [](QString field) {
        if (field.startsWith(u'"') && field.endsWith(u'"') && field.size() >= 2)
            field = field.mid(1, field.size() - 2)
                        .replace(QStringLiteral("\"\""), QStringLiteral("\""));
        return field.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', u' ');
    };
    QString text = roomListColumns().join(u'\t') + u'\n';
    for (const qsizetype i : indices) {
        if (i < 0 || i >= m_building.rooms.size())
            continue;
        QStringList cells;
        for (const QString& field : roomListFields(m_building.rooms[i], form))
            cells << cell(field);
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

std::optional<QString> BuildingDocument::pasteRooms(qsizetype index, const QString& tsv) {
    // The text becomes a room list with ";" (which reads a decimal comma as
    // well as a point); a first line of column names is kept, else the
    // columns are the list's own in its order.
    QStringList lines = tsv.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return std::nullopt;
    QStringList known = roomListColumns() + roomFigureColumns();
    for (QString& name : known)
        name = name.toLower();
    const QStringList first = lines.first().split(u'\t');
    const bool header = std::all_of(first.begin(), first.end(), [&](const QString& cell) {
        return known.contains(cell.trimmed().toLower());
    });
    QString csv;
    if (!header)
        csv = roomListColumns().join(u';') + u'\n';
    for (const QString& line : lines) {
        QStringList cells;
        for (const QString& cell : line.split(u'\t'))
            cells << csvText(cell.trimmed());
        csv += cells.join(u';') + u'\n';
    }
    const RoomListRead read =
        parseRoomList(csv.toUtf8(), m_catalogue, m_kvx.localText(Text::Paste).remove(u'&'));
    if (!read.list) {
        const QString why =
            m_kvx.localText(Text::PasteRefused).arg(buildingErrorText(*read.error, texts()));
        m_kvx.platform.messageBox(why, MsgStyle::Exclamation, m_kvx.texts.ProgramTitle);
        return why;
    }
    if (m_building.rooms.size() + read.list->rooms.size() > BuildingLimits::MaxRooms)
        return std::nullopt;
    Step step;
    // Zones the rooms name that the building lacks come with them.
    Piece zones;
    zones.kind = Piece::Zones;
    zones.zonesBefore = m_building.zones;
    Building added;
    added.zones = m_building.zones;
    addRoomList(added, *read.list);
    zones.zonesAfter = added.zones;
    if (zones.zonesAfter != zones.zonesBefore)
        step.push_back(zones);
    Piece rooms;
    rooms.first = std::clamp<qsizetype>(index, 0, m_building.rooms.size());
    rooms.after = read.list->rooms;
    step.push_back(rooms);
    push(std::move(step));
    return std::nullopt;
}

} // namespace kvx
