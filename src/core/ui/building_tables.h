#pragma once

// The building window's tables as Qt item models over a BuildingDocument:
// the rooms (their values, editable, then their figures) and the zones (the
// same). They put values and figures into words in the building's units and
// the user's language, and turn a typed text back into a value; an edit goes
// to the document as one step of Undo. Colours are the view's: a cell says
// its state (StateRole) and the view's delegate paints it.

#include "core/ui/building_document.h"

#include <QAbstractTableModel>

namespace kvx {

enum class RoomColumn {
    // The room's values.
    Name,
    Zone,
    Quantity,
    Length,
    Width,
    Height,
    Ear,
    Type,
    Angle1,
    Angle4,
    Sensitivity,
    RatedPower,
    Tap,
    Difference,
    Pattern,
    Margin,
    Ambient,
    Reverberation,
    // Its figures.
    Spacing,
    Grid,
    Count,
    SpeakerPower,
    DirectLevel,
    Difference1,
    Min1k,
    Spread1k,
    Within4k,
    Level,
    StiMean,
    StiMin,
    Loudspeakers,
    Load,
    State,
};
constexpr int kRoomColumns = int(RoomColumn::State) + 1;
constexpr int kFirstRoomFigure = int(RoomColumn::Spacing);

enum class ZoneColumn {
    Name,
    Line,
    Amplifier,
    CableLength,
    CrossSection,
    Spread,
    Rooms,
    Loudspeakers,
    Load,
    MinimumAmplifier,
    AmplifierLoad,
    AmplifierState,
    Impedance,
    Current,
    LoopResistance,
    Drop,
    CableState,
};
constexpr int kZoneColumns = int(ZoneColumn::CableState) + 1;
constexpr int kFirstZoneFigure = int(ZoneColumn::Rooms);

// What a cell says beyond its text.
enum class CellState { None, Good, Warning, Bad, Missing };

namespace BuildingRole {
constexpr int State = Qt::UserRole + 1;   // CellState as int
constexpr int Sort = Qt::UserRole + 2;    // a number or a text to sort by
constexpr int Choices = Qt::UserRole + 3; // QStringList: the values a list cell takes
} // namespace BuildingRole

class RoomsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RoomsTableModel(BuildingDocument& document, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A typed text for a value column; a text that is no value of the column
    // is refused (editRefused) and changes nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Sorts the rooms by the column, one step of Undo; rooms without the
    // figure last; equal rooms keep their order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The cell's text as shown (for the schedule PDF too).
    QString text(qsizetype row, RoomColumn column) const;
    CellState state(qsizetype row, RoomColumn column) const;

Q_SIGNALS:
    void editRefused(const QString& why);

private:
    QString cellText(qsizetype row, RoomColumn column) const;
    QString typeText(const Room& room) const;
    QString lengthText(double metres) const;
    bool inCatalogue(const QString& type) const;

    BuildingDocument& m_document;
};

class ZonesTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ZonesTableModel(BuildingDocument& document, QObject* parent = nullptr);

    // The building's zones, then "No zone" when it holds rooms.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    QString text(int row, ZoneColumn column) const;
    CellState state(int row, ZoneColumn column) const;

Q_SIGNALS:
    void editRefused(const QString& why);

private:
    bool showsNoZone() const;

    BuildingDocument& m_document;
};

// The column's heading, with the unit of the building's units.
QString roomColumnTitle(RoomColumn column, const LocalTexts& texts, Units units);
QString zoneColumnTitle(ZoneColumn column, const LocalTexts& texts, Units units);

} // namespace kvx
