#pragma once

// Why a building file or a room list cannot be read or written, and where:
// the file, the room (by number and name) or zone, the key, and for a room
// list the line and the column. buildingErrorText() puts it into words.

#include "core/base/string_table.h"
#include "core/building/building.h"

#include <QString>

namespace kvx {

// The kind of value a key must hold.
enum class ValueKind { Number, WholeNumber, Text, TrueFalse, Object, List };

struct BuildingError {
    enum class Kind {
        CannotRead,    // the file cannot be opened or read (detail: the system's reason)
        CannotWrite,   // the file cannot be written; the old one stays (detail)
        TooLarge,      // the file is larger than BuildingLimits::MaxFileBytes
        TooManyValues, // more than BuildingLimits::MaxValues values or MaxContainers lists and
                       // objects
        NotJson,       // the bytes are not JSON (line, column: where it breaks)
        TooDeep,       // JSON nested deeper than the reader takes (line, column)
        NotABuilding,  // the top level is no object or has no "format"
        OtherFormat,   // "format" names another format (value)
        NewerVersion,  // "version" is above kBuildingFileVersion (value)
        Missing,       // a required key is absent
        WrongKind,     // a value of another kind than expected (a text for a number...)
        OutOfRange,    // a number outside its range (value, range)
        UnknownValue,  // a text or number that is none of the allowed ones (value, allowed)
        TooManyRooms,  // more than BuildingLimits::MaxRooms rooms
        DuplicateZone, // a zone's name is that of an earlier zone (otherZone)
        UnnamedZone,   // a zone named "": that is the name of "No zone"
        // Room lists only.
        EmptyList,       // not even a line of column names
        UnclosedQuote,   // a quoted field runs to the end of the file
        TextAfterQuote,  // something other than a separator after a closing quote
        UnknownColumn,   // a column name that is not a room key (value)
        DuplicateColumn, // a column named twice (otherColumn: the first)
        MissingColumn, // a required column is absent (key; "type": neither it nor the four values)
        NoValue,       // a required field is empty
        ExtraValue,    // a value beyond the last column or under a column without a name
        UnknownType,   // a type that is not in the catalogue, without the four values (value)
    };
    Kind kind = Kind::CannotRead;
    QString file;
    int room = 0; // counted from 1; 0 when the error is not in a room
    QString roomName;
    int zone = 0; // counted from 1; 0 when the error is not in a zone
    QString zoneName;
    QString key;    // the room key or column, "loudspeaker.angle1" inside a loudspeaker
    int line = 0;   // counted from 1 (the JSON's, or the room list's with the header)
    int column = 0; // counted from 1
    QString value;  // the offending value as it stood
    ValueKind expected = ValueKind::Number;
    ValueRange range;
    QString allowed;     // the allowed values, for UnknownValue
    int otherZone = 0;   // DuplicateZone
    int otherColumn = 0; // DuplicateColumn
    QString detail;      // the system's reason, for CannotRead and CannotWrite

    bool operator==(const BuildingError&) const = default;
};

// The texts of buildings, by English id.
namespace BuildingText {
constexpr int NoZone = 1730;
constexpr int CannotRead = 1731;
constexpr int CannotWrite = 1732;
constexpr int TooLarge = 1733;
constexpr int NotJson = 1734;
constexpr int TooDeep = 1735;
constexpr int NotABuilding = 1736;
constexpr int OtherFormat = 1737;
constexpr int NewerVersion = 1738;
constexpr int PlaceKey = 1739;  // "%1, %2: %3": place, key, what is wrong
constexpr int PlaceRoom = 1740; // "%1, room %2 (\"%3\")"
constexpr int PlaceRoomNoName = 1741;
constexpr int PlaceZone = 1742;
constexpr int PlaceZoneNoName = 1743;
constexpr int PlaceLine = 1744;       // "%1, line %2"
constexpr int PlaceLineColumn = 1745; // "%1, line %2, column %3 (%4)"
constexpr int Missing = 1746;
constexpr int MustBeNumber = 1747; // to MustBeList in ValueKind order
constexpr int MustBeWhole = 1748;
constexpr int MustBeText = 1749;
constexpr int MustBeTrueFalse = 1750;
constexpr int MustBeObject = 1751;
constexpr int MustBeList = 1752;
constexpr int NotANumber = 1753;
constexpr int NotAWholeNumber = 1754;
constexpr int OutOfRangeAbove = 1755;
constexpr int OutOfRangeFrom = 1756;
constexpr int UnknownValue = 1757;
constexpr int TooManyRooms = 1758;
constexpr int DuplicateZone = 1759;
constexpr int UnnamedZone = 1760;
constexpr int EmptyList = 1761;
constexpr int UnclosedQuote = 1762;
constexpr int TextAfterQuote = 1763;
constexpr int UnknownColumn = 1764;
constexpr int DuplicateColumn = 1765;
constexpr int MissingColumn = 1766;
constexpr int MissingLoudspeakerColumns = 1767;
constexpr int NoValue = 1768;
constexpr int ExtraValue = 1769;
constexpr int UnknownType = 1770;
constexpr int PlaceLineColumnNoKey = 1772; // "%1, line %2, column %3: %4"
constexpr int PlaceOnly = 1771; // "%1: %2": place, what is wrong (a zone or room that is no object)
constexpr int TooManyValues = 1773;
} // namespace BuildingText

// The zone's name as shown: "No zone" for the zone named "".
QString zoneDisplayName(const Zone& zone, const LocalTexts& texts);

// The whole message: "school.kvxb, room 3 ("B.0.12"), length: 0 is outside its
// range: above 0 and at most 10000."
QString buildingErrorText(const BuildingError& error, const LocalTexts& texts);

} // namespace kvx
