#pragma once

// Room lists: the rooms of a building as CSV, to and from spreadsheets. The
// first line names the columns, one room per further line:
//
//   name;zone;quantity;length;width;height;ear;type;...
//   "B.0.12 classroom";Ground floor;6;9;7,2;3;1,2;KV-C6 Std;...
//
// The columns are the room keys of the building file (kRoomListColumns), in
// any order and letter case; name, length, width, height and ear are needed,
// and either type (a type of the catalogue, whose data fills the room's
// loudspeaker) or the four loudspeaker values. The separator is "," or ";",
// whichever the header line uses; with ";" a decimal comma is read as well.
// Fields may be quoted (RFC 4180: a quote inside doubled, separators and line
// breaks inside quotes). Text in UTF-8 (a byte order mark is allowed); a file
// that is not UTF-8 is read as Windows-1252, as spreadsheets save it. A list
// is read whole or refused at its first fault, named by line and column.

#include "core/building/building.h"
#include "core/building/building_error.h"
#include "core/catalogue/lsp_record.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace kvx {

// The columns as export writes them, in this order.
const QStringList& roomListColumns();

enum class CsvSeparator { Comma, Semicolon }; // with Semicolon, a decimal comma

struct RoomList {
    QList<Zone> zones; // those the rooms name, in order, with their defaults
    QList<Room> rooms;
};

struct RoomListRead {
    std::optional<RoomList> list; // none when the list is refused
    std::optional<BuildingError> error;
};

RoomListRead parseRoomList(QByteArrayView bytes, const QList<LspRecord>& catalogue,
                           const QString& fileName);
RoomListRead readRoomListFile(const QString& path, const QList<LspRecord>& catalogue);

// Adds the rooms to the building, and the zones they name that it lacks.
void addRoomList(Building& building, const RoomList& list);

// The rooms as a list: UTF-8 with a byte order mark (so that spreadsheets
// see the accents), CR LF line ends, numbers in their shortest exact form,
// with ";" a decimal comma. Read back, it gives the same rooms (less their
// unknown keys, which have no column).
QByteArray roomListCsv(const QList<Room>& rooms, CsvSeparator separator = CsvSeparator::Comma);
// One room's fields in the columns' order, as roomListCsv writes them.
QStringList roomListFields(const Room& room, CsvSeparator separator);
// A text and a number as a list holds them: the text quoted (a quote inside
// doubled), the number in its shortest exact form, with ";" a decimal comma.
QString csvText(QString text);
QString csvNumber(double value, CsvSeparator separator);
// CSV as roomListCsv writes it: UTF-8 with a byte order mark, CR LF, the
// header's names and the rows' fields as they stand.
QByteArray csvBytes(const QStringList& header, const QList<QStringList>& rows,
                    CsvSeparator separator);

// The columns a schedule adds after a room's own: its figures. A list that
// holds them (a schedule taken back in) is read as if they were not there.
const QStringList& roomFigureColumns();

std::optional<BuildingError> writeRoomListFile(const QString& path, const QList<Room>& rooms,
                                               CsvSeparator separator = CsvSeparator::Comma);

} // namespace kvx
