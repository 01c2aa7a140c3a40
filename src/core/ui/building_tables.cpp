#include "core/ui/building_tables.h"

#include "core/base/numbers.h"
#include "core/building/building_error.h"
#include "core/building/building_texts.h"
#include "core/plan/layout_texts.h"
#include "core/system/system_texts.h"
#include "core/ui/kvx1.h"

#include <algorithm>
#include <cmath>

namespace kvx {

namespace {

namespace Text = BuildingWindowText;

// The text id of the user's own loudspeaker type in the type list.
constexpr int kUserTypeText = 1056;

QString fixed(double value, int decimals, const QLocale& locale) {
    return locale.toString(value, 'f', decimals);
}

bool isLength(RoomColumn c) {
    return c == RoomColumn::Length || c == RoomColumn::Width || c == RoomColumn::Height ||
           c == RoomColumn::Ear || c == RoomColumn::Margin || c == RoomColumn::Spacing;
}

const char* roomUnit(RoomColumn c) {
    switch (c) {
    case RoomColumn::Angle1:
    case RoomColumn::Angle4:
        return "°";
    case RoomColumn::Sensitivity:
    case RoomColumn::Difference:
    case RoomColumn::Ambient:
    case RoomColumn::DirectLevel:
    case RoomColumn::Difference1:
    case RoomColumn::Min1k:
    case RoomColumn::Spread1k:
        return "dB";
    case RoomColumn::RatedPower:
    case RoomColumn::SpeakerPower:
    case RoomColumn::Load:
        return "W";
    case RoomColumn::Reverberation:
        return "s";
    case RoomColumn::Within4k:
        return "%";
    default:
        return "";
    }
}

const char* zoneUnit(ZoneColumn c) {
    switch (c) {
    case ZoneColumn::Line:
        return "V";
    case ZoneColumn::Amplifier:
    case ZoneColumn::Load:
    case ZoneColumn::MinimumAmplifier:
        return "W";
    case ZoneColumn::AmplifierLoad:
        return "%";
    case ZoneColumn::Impedance:
    case ZoneColumn::LoopResistance:
        return "Ω";
    case ZoneColumn::Current:
        return "A";
    case ZoneColumn::Drop:
        return "dB";
    default:
        return "";
    }
}

QString titled(const QString& title, const QString& unit) {
    return unit.isEmpty() ? title : QStringLiteral("%1 (%2)").arg(title, unit);
}

std::optional<double> numberIn(const QString& text, const ValueRange& range) {
    const std::optional<double> value = readNumber(text);
    if (!value || !range.contains(*value))
        return std::nullopt;
    return value;
}

} // namespace

QString roomColumnTitle(RoomColumn column, const LocalTexts& texts, Units units) {
    const QString title = texts.text(Text::FirstRoomColumn + int(column));
    if (isLength(column))
        return titled(title, texts.text(lengthSymbolId(units)));
    return titled(title, QString::fromUtf8(roomUnit(column)));
}

QString zoneColumnTitle(ZoneColumn column, const LocalTexts& texts, Units units) {
    if (column == ZoneColumn::Name)
        return texts.text(Text::FirstRoomColumn + int(RoomColumn::Zone));
    if (column == ZoneColumn::Loudspeakers)
        return texts.text(Text::FirstRoomColumn + int(RoomColumn::Loudspeakers));
    if (column == ZoneColumn::Load)
        return titled(texts.text(Text::FirstRoomColumn + int(RoomColumn::Load)),
                      QStringLiteral("W"));
    int id = Text::FirstZoneColumn + int(column) - int(ZoneColumn::Line);
    if (column > ZoneColumn::Load)
        id -= 2; // Loudspeakers and Load take the rooms' titles
    if (column == ZoneColumn::CableLength)
        return titled(texts.text(id), texts.text(lengthSymbolId(units)));
    return titled(texts.text(id), QString::fromUtf8(zoneUnit(column)));
}

// --- rooms

RoomsTableModel::RoomsTableModel(BuildingDocument& document, QObject* parent)
    : QAbstractTableModel(parent)
    , m_document(document) {
    connect(&document, &BuildingDocument::changed, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&document, &BuildingDocument::roomChanged, this, [this](qsizetype row) {
        Q_EMIT dataChanged(index(int(row), 0), index(int(row), kRoomColumns - 1));
    });
    connect(&document, &BuildingDocument::calculatingChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int RoomsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_document.building().rooms.size());
}

int RoomsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kRoomColumns;
}

bool RoomsTableModel::inCatalogue(const QString& type) const {
    return std::any_of(m_document.catalogue().begin(), m_document.catalogue().end(),
                       [&](const LspRecord& r) { return catalogueTypeName(r) == type; });
}

QString RoomsTableModel::typeText(const Room& room) const {
    if (room.loudspeaker.type.isEmpty())
        return m_document.kvx().localText(kUserTypeText);
    return room.loudspeaker.type;
}

QString RoomsTableModel::lengthText(double metres) const {
    const LocalTexts texts = m_document.texts();
    if (m_document.building().units == Units::Imperial)
        return formatFeet(metres, texts.locale);
    return formatGeneral(metres, texts.locale);
}

QString RoomsTableModel::text(qsizetype row, RoomColumn column) const {
    if (column == RoomColumn::State) {
        // What the figures leave out (a refused speech estimate) is said in the row too.
        const BuildingFigures* figures = m_document.figures();
        QStringList parts{cellText(row, column)};
        if (figures && size_t(row) < figures->rooms.size())
            parts += roomNotes(m_document.building().rooms[row], figures->rooms[size_t(row)],
                               m_document.texts());
        return parts.join(QStringLiteral("; "));
    }
    return cellText(row, column);
}

QString RoomsTableModel::cellText(qsizetype row, RoomColumn column) const {
    const Building& b = m_document.building();
    const Room& r = b.rooms[row];
    const LocalTexts texts = m_document.texts();
    const QLocale& locale = texts.locale;
    const auto general = [&](double v) { return formatGeneral(v, locale); };
    switch (column) {
    case RoomColumn::Name:
        return r.name;
    case RoomColumn::Zone:
        return zoneDisplayName(zoneOf(b, r), texts);
    case RoomColumn::Quantity:
        return locale.toString(r.quantity);
    case RoomColumn::Length:
        return lengthText(r.length);
    case RoomColumn::Width:
        return lengthText(r.width);
    case RoomColumn::Height:
        return lengthText(r.height);
    case RoomColumn::Ear:
        return lengthText(r.ear);
    case RoomColumn::Type:
        return typeText(r);
    case RoomColumn::Angle1:
        return general(r.loudspeaker.angle1);
    case RoomColumn::Angle4:
        return general(r.loudspeaker.angle4);
    case RoomColumn::Sensitivity:
        return general(r.loudspeaker.sensitivity);
    case RoomColumn::RatedPower:
        return general(r.loudspeaker.ratedPower);
    case RoomColumn::Tap:
        return tapText(r.tap);
    case RoomColumn::Difference:
        return general(r.difference);
    case RoomColumn::Pattern:
        return patternName(r.pattern.value_or(Pattern::Square), texts);
    case RoomColumn::Margin:
        return lengthText(r.margin);
    case RoomColumn::Ambient:
        return r.ambient ? general(*r.ambient) : QString();
    case RoomColumn::Reverberation:
        return r.reverberation ? general(*r.reverberation) : QString();
    default:
        break;
    }
    // The figures.
    const BuildingFigures* figures = m_document.figures();
    if (!figures || size_t(row) >= figures->rooms.size())
        return column == RoomColumn::State ? texts.text(Text::NotCalculated) : QString();
    const RoomFigures& f = figures->rooms[size_t(row)];
    if (f.error) {
        if (column != RoomColumn::State)
            return {};
        QString why = roomErrorText(*f.error, texts);
        return why.replace(QChar(13), u' ').replace(QChar(10), u' ').simplified();
    }
    const Design& d = f.design;
    switch (column) {
    case RoomColumn::Spacing:
        return m_document.building().units == Units::Imperial
                   ? formatFeet(d.distance, locale, kSpacingFeetDecimals)
                   : formatOneDecimal(d.distance, locale);
    case RoomColumn::Grid:
        return QStringLiteral("%1 × %2").arg(d.grid.columns).arg(d.grid.rows);
    case RoomColumn::Count:
        return locale.toString(d.speakers);
    case RoomColumn::SpeakerPower:
        return general(d.speakerPower);
    case RoomColumn::DirectLevel:
        return formatWhole(d.directLevel, locale);
    case RoomColumn::Difference1:
        return formatOneDecimal(d.difference1, locale);
    case RoomColumn::Min1k:
        return formatOneDecimal(f.coverage.min1k, locale);
    case RoomColumn::Spread1k:
        return formatOneDecimal(f.coverage.spread1k, locale);
    case RoomColumn::Within4k:
        return formatWhole(f.coverage.withinSet4k * 100, locale);
    case RoomColumn::Level:
    case RoomColumn::State: {
        if (!f.level)
            return column == RoomColumn::State ? texts.text(Text::Fine) : QString();
        const QString check =
            f.level->met
                ? texts.text(SystemText::Met)
                : texts.text(SystemText::ShortBy).arg(formatOneDecimal(f.level->shortBy, locale));
        return column == RoomColumn::State ? texts.text(BuildingFiguresText::LevelState).arg(check)
                                           : check;
    }
    case RoomColumn::StiMean:
        return f.speech ? fixed(f.speech->mean, 2, locale) : QString();
    case RoomColumn::StiMin:
        return f.speech ? fixed(f.speech->min, 2, locale) : QString();
    case RoomColumn::Loudspeakers:
        return locale.toString(f.loudspeakers);
    case RoomColumn::Load:
        return formatOneDecimal(f.load, locale);
    default:
        return {};
    }
}

CellState RoomsTableModel::state(qsizetype row, RoomColumn column) const {
    const Room& r = m_document.building().rooms[row];
    if (column == RoomColumn::Type)
        return r.loudspeaker.type.isEmpty() || inCatalogue(r.loudspeaker.type) ? CellState::None
                                                                               : CellState::Warning;
    if (column == RoomColumn::Zone) {
        const bool known =
            std::any_of(m_document.building().zones.begin(), m_document.building().zones.end(),
                        [&](const Zone& z) { return z.name == r.zone; });
        return r.zone.isEmpty() || known ? CellState::None : CellState::Warning;
    }
    if (column != RoomColumn::State && column != RoomColumn::Level)
        return CellState::None;
    const BuildingFigures* figures = m_document.figures();
    if (!figures || size_t(row) >= figures->rooms.size())
        return column == RoomColumn::State ? CellState::Missing : CellState::None;
    const RoomFigures& f = figures->rooms[size_t(row)];
    if (f.error)
        return column == RoomColumn::State ? CellState::Bad : CellState::None;
    if (!f.level)
        return column == RoomColumn::State ? CellState::Good : CellState::None;
    return f.level->met ? CellState::Good : CellState::Bad;
}

QVariant RoomsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto column = RoomColumn(index.column());
    const qsizetype row = index.row();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(row, column);
    case Qt::ToolTipRole: {
        const BuildingFigures* figures = m_document.figures();
        if (column == RoomColumn::State && figures && size_t(row) < figures->rooms.size())
            return text(row, column);
        return {};
    }
    case Qt::TextAlignmentRole:
        if (column == RoomColumn::Name || column == RoomColumn::Zone ||
            column == RoomColumn::Type || column == RoomColumn::State ||
            column == RoomColumn::Level || column == RoomColumn::Pattern)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        return int(Qt::AlignRight | Qt::AlignVCenter);
    case BuildingRole::State:
        return int(state(row, column));
    case BuildingRole::Sort: {
        const Room& r = m_document.building().rooms[row];
        switch (column) {
        case RoomColumn::Name:
        case RoomColumn::Zone:
        case RoomColumn::Type:
        case RoomColumn::Pattern:
        case RoomColumn::State:
            return text(row, column);
        case RoomColumn::Quantity:
            return r.quantity;
        case RoomColumn::Length:
            return r.length;
        case RoomColumn::Width:
            return r.width;
        case RoomColumn::Height:
            return r.height;
        case RoomColumn::Ear:
            return r.ear;
        case RoomColumn::Angle1:
            return r.loudspeaker.angle1;
        case RoomColumn::Angle4:
            return r.loudspeaker.angle4;
        case RoomColumn::Sensitivity:
            return r.loudspeaker.sensitivity;
        case RoomColumn::RatedPower:
            return r.loudspeaker.ratedPower;
        case RoomColumn::Tap:
            return r.tap;
        case RoomColumn::Difference:
            return r.difference;
        case RoomColumn::Margin:
            return r.margin;
        case RoomColumn::Ambient:
            return r.ambient ? QVariant(*r.ambient) : QVariant();
        case RoomColumn::Reverberation:
            return r.reverberation ? QVariant(*r.reverberation) : QVariant();
        default:
            break;
        }
        const BuildingFigures* figures = m_document.figures();
        if (!figures || size_t(row) >= figures->rooms.size() || figures->rooms[size_t(row)].error)
            return {};
        const RoomFigures& f = figures->rooms[size_t(row)];
        switch (column) {
        case RoomColumn::Spacing:
            return f.design.distance;
        case RoomColumn::Grid:
        case RoomColumn::Count:
            return double(f.design.speakers);
        case RoomColumn::SpeakerPower:
            return f.design.speakerPower;
        case RoomColumn::DirectLevel:
            return f.design.directLevel;
        case RoomColumn::Difference1:
            return f.design.difference1;
        case RoomColumn::Min1k:
            return f.coverage.min1k;
        case RoomColumn::Spread1k:
            return f.coverage.spread1k;
        case RoomColumn::Within4k:
            return f.coverage.withinSet4k;
        case RoomColumn::Level:
            return f.level ? QVariant(f.level->quietest - f.level->required) : QVariant();
        case RoomColumn::StiMean:
            return f.speech ? QVariant(f.speech->mean) : QVariant();
        case RoomColumn::StiMin:
            return f.speech ? QVariant(f.speech->min) : QVariant();
        case RoomColumn::Loudspeakers:
            return double(f.loudspeakers);
        case RoomColumn::Load:
            return f.load;
        default:
            return {};
        }
    }
    case BuildingRole::Choices: {
        const LocalTexts texts = m_document.texts();
        QStringList choices;
        switch (column) {
        case RoomColumn::Zone:
            for (const Zone& z : m_document.building().zones)
                choices << z.name;
            choices << zoneDisplayName(noZone(), texts);
            return choices;
        case RoomColumn::Type:
            for (const LspRecord& record : m_document.catalogue())
                choices << catalogueTypeName(record);
            choices << m_document.kvx().localText(kUserTypeText);
            return choices;
        case RoomColumn::Tap:
            return QStringList{tapText(1), tapText(2), tapText(4)};
        case RoomColumn::Pattern:
            return QStringList{patternName(Pattern::Square, texts),
                               patternName(Pattern::Offset, texts)};
        default:
            return {};
        }
    }
    default:
        return {};
    }
}

QVariant RoomsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return roomColumnTitle(RoomColumn(section), m_document.texts(), m_document.building().units);
}

Qt::ItemFlags RoomsTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() < kFirstRoomFigure && !m_document.calculating())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool RoomsTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() >= kFirstRoomFigure ||
        index.row() >= rowCount())
        return false;
    const auto column = RoomColumn(index.column());
    const Building& b = m_document.building();
    Room room = b.rooms[index.row()];
    const QString typed = value.toString().trimmed();
    const Units units = b.units;
    const auto length = [&](const ValueRange& range) -> std::optional<double> {
        const LengthReading reading = readLength(typed, units);
        if (typed.isEmpty() || !reading.ok() || !range.contains(reading.metres))
            return std::nullopt;
        return reading.metres;
    };
    bool ok = true;
    const auto set = [&ok](double& target, std::optional<double> v) {
        if (v)
            target = *v;
        else
            ok = false;
    };
    // An optional value: empty is none.
    const auto setOptional = [&ok, &typed](std::optional<double>& target, const ValueRange& range) {
        if (typed.isEmpty()) {
            target.reset();
            return;
        }
        const std::optional<double> v = numberIn(typed, range);
        if (v)
            target = v;
        else
            ok = false;
    };
    // Changing a catalogue type's data makes the loudspeaker the user's own.
    const auto ownLoudspeaker = [&room] { room.loudspeaker.type.clear(); };
    switch (column) {
    case RoomColumn::Name:
        room.name = typed;
        break;
    case RoomColumn::Zone: {
        room.zone.clear();
        for (const Zone& z : b.zones) {
            if (z.name == typed)
                room.zone = z.name;
        }
        ok = !room.zone.isEmpty() || typed == zoneDisplayName(noZone(), m_document.texts()) ||
             typed.isEmpty();
        break;
    }
    case RoomColumn::Quantity: {
        const std::optional<double> v = numberIn(typed, BuildingLimits::Quantity);
        if (v)
            room.quantity = int(*v);
        ok = v.has_value();
        break;
    }
    case RoomColumn::Length:
        set(room.length, length(BuildingLimits::Side));
        break;
    case RoomColumn::Width:
        set(room.width, length(BuildingLimits::Side));
        break;
    case RoomColumn::Height:
        set(room.height, length(BuildingLimits::Height));
        break;
    case RoomColumn::Ear:
        set(room.ear, length(BuildingLimits::Ear));
        break;
    case RoomColumn::Margin:
        set(room.margin, length(BuildingLimits::Margin));
        break;
    case RoomColumn::Type: {
        if (typed == m_document.kvx().localText(kUserTypeText)) {
            ownLoudspeaker();
            break;
        }
        ok = false;
        for (const LspRecord& record : m_document.catalogue()) {
            if (catalogueTypeName(record) == typed) {
                room.loudspeaker = loudspeakerOf(record);
                ok = true;
                break;
            }
        }
        break;
    }
    case RoomColumn::Angle1:
        set(room.loudspeaker.angle1, numberIn(typed, BuildingLimits::Angle));
        ownLoudspeaker();
        break;
    case RoomColumn::Angle4:
        set(room.loudspeaker.angle4, numberIn(typed, BuildingLimits::Angle));
        ownLoudspeaker();
        break;
    case RoomColumn::Sensitivity:
        set(room.loudspeaker.sensitivity, numberIn(typed, BuildingLimits::Sensitivity));
        ownLoudspeaker();
        break;
    case RoomColumn::RatedPower:
        set(room.loudspeaker.ratedPower, numberIn(typed, BuildingLimits::Power));
        ownLoudspeaker();
        break;
    case RoomColumn::Tap: {
        const std::optional<int> tap = tapFromText(typed);
        if (tap)
            room.tap = *tap;
        ok = tap.has_value();
        break;
    }
    case RoomColumn::Difference:
        set(room.difference, numberIn(typed, BuildingLimits::Difference));
        break;
    case RoomColumn::Pattern:
        if (typed == patternName(Pattern::Offset, m_document.texts()))
            room.pattern = Pattern::Offset;
        else if (typed == patternName(Pattern::Square, m_document.texts()))
            room.pattern.reset();
        else
            ok = false;
        break;
    case RoomColumn::Ambient:
        setOptional(room.ambient, BuildingLimits::Ambient);
        break;
    case RoomColumn::Reverberation:
        setOptional(room.reverberation, BuildingLimits::Reverberation);
        break;
    default:
        return false;
    }
    if (!ok) {
        Q_EMIT editRefused(m_document.kvx()
                               .localText(Text::BadValue)
                               .arg(typed, roomColumnTitle(column, m_document.texts(), units)));
        return false;
    }
    // Room values the file would refuse stay out (a name is free text).
    m_document.setRoom(index.row(), room);
    return true;
}

void RoomsTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kRoomColumns || m_document.calculating())
        return;
    const qsizetype n = rowCount();
    std::vector<QVariant> keys(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i)
        keys[size_t(i)] = data(index(int(i), column), BuildingRole::Sort);
    std::vector<qsizetype> rows(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i)
        rows[size_t(i)] = i;
    const bool ascending = order == Qt::AscendingOrder;
    std::stable_sort(rows.begin(), rows.end(), [&](qsizetype a, qsizetype b) {
        const QVariant& x = keys[size_t(a)];
        const QVariant& y = keys[size_t(b)];
        // Rooms without the figure go last either way.
        if (!x.isValid() || !y.isValid())
            return x.isValid() && !y.isValid();
        if (x.typeId() == QMetaType::QString) {
            const int c = QString::localeAwareCompare(x.toString(), y.toString());
            return ascending ? c < 0 : c > 0;
        }
        return ascending ? x.toDouble() < y.toDouble() : x.toDouble() > y.toDouble();
    });
    m_document.reorderRooms(rows);
}

// --- zones

ZonesTableModel::ZonesTableModel(BuildingDocument& document, QObject* parent)
    : QAbstractTableModel(parent)
    , m_document(document) {
    const auto reset = [this] {
        beginResetModel();
        endResetModel();
    };
    connect(&document, &BuildingDocument::changed, this, reset);
    connect(&document, &BuildingDocument::roomChanged, this, reset);
    connect(&document, &BuildingDocument::calculatingChanged, this, reset);
}

bool ZonesTableModel::showsNoZone() const {
    const BuildingFigures* f = m_document.figures();
    return f && f->shows(f->noZoneIndex());
}

int ZonesTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return int(m_document.building().zones.size()) + (showsNoZone() ? 1 : 0);
}

int ZonesTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kZoneColumns;
}

QString ZonesTableModel::text(int row, ZoneColumn column) const {
    const Building& b = m_document.building();
    const Zone& z = row < b.zones.size() ? b.zones[row] : noZone();
    const LocalTexts texts = m_document.texts();
    const QLocale& locale = texts.locale;
    switch (column) {
    case ZoneColumn::Name:
        return zoneDisplayName(z, texts);
    case ZoneColumn::Line:
        return locale.toString(z.line);
    case ZoneColumn::Amplifier:
        return z.amplifier ? formatGeneral(*z.amplifier, locale) : QString();
    case ZoneColumn::CableLength:
        if (!z.cableLength)
            return {};
        return b.units == Units::Imperial ? formatFeet(*z.cableLength, locale)
                                          : formatGeneral(*z.cableLength, locale);
    case ZoneColumn::CrossSection:
        return crossSectionSettingText(z.crossSection, locale);
    case ZoneColumn::Spread:
        return {};
    default:
        break;
    }
    const BuildingFigures* figures = m_document.figures();
    if (!figures)
        return {};
    const int figureRow = row < b.zones.size() ? row : figures->noZoneIndex();
    const ZoneFigures& f = figures->zones[size_t(figureRow)];
    const SystemFigures& s = f.sizing;
    switch (column) {
    case ZoneColumn::Rooms:
        return locale.toString(f.calculatedRooms);
    case ZoneColumn::Loudspeakers:
        return locale.toString(f.loudspeakers);
    case ZoneColumn::Load:
        return formatOneDecimal(f.load, locale);
    case ZoneColumn::MinimumAmplifier:
        return formatOneDecimal(s.minimumAmplifier, locale);
    case ZoneColumn::AmplifierLoad:
        return s.amplifierLoad ? formatWhole(*s.amplifierLoad * 100, locale) : QString();
    case ZoneColumn::AmplifierState:
        return s.amplifierState ? amplifierStateText(*s.amplifierState, texts) : QString();
    case ZoneColumn::Impedance:
        return s.total > 0 ? formatOneDecimal(s.impedance, locale) : QString();
    case ZoneColumn::Current:
        return fixed(s.current, 2, locale);
    case ZoneColumn::LoopResistance:
        return s.cable ? fixed(s.cable->loopResistance, 2, locale) : QString();
    case ZoneColumn::Drop:
        return s.cable ? fixed(s.cable->drop, 2, locale) : QString();
    case ZoneColumn::CableState:
        return s.cable && s.cable->state ? dropStateText(*s.cable->state, texts) : QString();
    default:
        return {};
    }
}

CellState ZonesTableModel::state(int row, ZoneColumn column) const {
    const BuildingFigures* figures = m_document.figures();
    if (!figures)
        return CellState::None;
    const Building& b = m_document.building();
    const int figureRow = row < b.zones.size() ? row : figures->noZoneIndex();
    const SystemFigures& s = figures->zones[size_t(figureRow)].sizing;
    if (column == ZoneColumn::AmplifierState && s.amplifierState) {
        switch (*s.amplifierState) {
        case AmplifierState::Fine:
            return CellState::Good;
        case AmplifierState::Tight:
            return CellState::Warning;
        case AmplifierState::Overloaded:
            return CellState::Bad;
        }
    }
    if (column == ZoneColumn::CableState && s.cable && s.cable->state) {
        switch (*s.cable->state) {
        case DropState::Green:
            return CellState::Good;
        case DropState::Amber:
            return CellState::Warning;
        case DropState::Red:
            return CellState::Bad;
        }
    }
    return CellState::None;
}

QVariant ZonesTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto column = ZoneColumn(index.column());
    const bool own = index.row() < m_document.building().zones.size();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(index.row(), column);
    case Qt::CheckStateRole:
        if (column == ZoneColumn::Spread && own)
            return m_document.building().zones[index.row()].spread ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        if (column == ZoneColumn::Name || column == ZoneColumn::AmplifierState ||
            column == ZoneColumn::CableState)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        return int(Qt::AlignRight | Qt::AlignVCenter);
    case BuildingRole::State:
        return int(state(index.row(), column));
    case BuildingRole::Choices:
        if (column == ZoneColumn::Line)
            return QStringList{QStringLiteral("100"), QStringLiteral("70"), QStringLiteral("50")};
        if (column == ZoneColumn::CrossSection) {
            QStringList choices;
            for (const CrossSection& c : listedCrossSections())
                choices << crossSectionSettingText(c.name, m_document.texts().locale);
            return choices;
        }
        return {};
    default:
        return {};
    }
}

QVariant ZonesTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return zoneColumnTitle(ZoneColumn(section), m_document.texts(), m_document.building().units);
}

Qt::ItemFlags ZonesTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!index.isValid() || index.row() >= m_document.building().zones.size() ||
        index.column() >= kFirstZoneFigure || m_document.calculating())
        return flags;
    if (ZoneColumn(index.column()) == ZoneColumn::Spread)
        return flags | Qt::ItemIsUserCheckable;
    return flags | Qt::ItemIsEditable;
}

bool ZonesTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= m_document.building().zones.size())
        return false;
    const auto column = ZoneColumn(index.column());
    Zone zone = m_document.building().zones[index.row()];
    if (role == Qt::CheckStateRole && column == ZoneColumn::Spread) {
        zone.spread = value.toInt() == Qt::Checked;
        m_document.setZone(index.row(), zone);
        return true;
    }
    if (role != Qt::EditRole)
        return false;
    const QString typed = value.toString().trimmed();
    const Units units = m_document.building().units;
    bool ok = true;
    switch (column) {
    case ZoneColumn::Name:
        for (int i = 0; i < m_document.building().zones.size(); ++i)
            ok = ok && !(i != index.row() && m_document.building().zones[i].name == typed);
        ok = ok && !typed.isEmpty();
        zone.name = typed;
        if (typed == m_document.building().zones[index.row()].name)
            return true;
        break;
    case ZoneColumn::Line: {
        const std::optional<double> v = readNumber(typed);
        ok = v && isLineVoltage(*v);
        if (ok)
            zone.line = int(*v);
        break;
    }
    case ZoneColumn::Amplifier:
        if (typed.isEmpty())
            zone.amplifier.reset();
        else if (const auto v = numberIn(typed, BuildingLimits::Power))
            zone.amplifier = v;
        else
            ok = false;
        break;
    case ZoneColumn::CableLength: {
        if (typed.isEmpty()) {
            zone.cableLength.reset();
            break;
        }
        const LengthReading reading = readLength(typed, units);
        ok = reading.ok() && BuildingLimits::CableLength.contains(reading.metres);
        if (ok)
            zone.cableLength = reading.metres;
        break;
    }
    case ZoneColumn::CrossSection: {
        const std::optional<CrossSection> c = findCrossSection(typed);
        ok = c.has_value();
        if (ok)
            zone.crossSection = c->name;
        break;
    }
    default:
        return false;
    }
    if (!ok) {
        Q_EMIT editRefused(m_document.kvx()
                               .localText(Text::BadValue)
                               .arg(typed, zoneColumnTitle(column, m_document.texts(), units)));
        return false;
    }
    m_document.setZone(index.row(), zone);
    return true;
}

} // namespace kvx
