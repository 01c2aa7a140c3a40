#include "core/building/building_error.h"

#include "core/base/numbers.h"

namespace kvx {

namespace {

using Kind = BuildingError::Kind;

QString number(int value) {
    return QString::number(value);
}

// Where the error is, before the key: the file, the room or the zone.
QString place(const BuildingError& e, const LocalTexts& texts) {
    if (e.room > 0) {
        return e.roomName.isEmpty()
                   ? texts.text(BuildingText::PlaceRoomNoName).arg(e.file, number(e.room))
                   : texts.text(BuildingText::PlaceRoom).arg(e.file, number(e.room), e.roomName);
    }
    if (e.zone > 0) {
        return e.zoneName.isEmpty()
                   ? texts.text(BuildingText::PlaceZoneNoName).arg(e.file, number(e.zone))
                   : texts.text(BuildingText::PlaceZone).arg(e.file, number(e.zone), e.zoneName);
    }
    return e.file;
}

// What is wrong with the value of the key, as a sentence.
QString what(const BuildingError& e, const LocalTexts& texts) {
    const auto general = [&texts](double value) { return formatGeneral(value, texts.locale); };
    switch (e.kind) {
    case Kind::Missing:
        return texts.text(BuildingText::Missing);
    case Kind::WrongKind:
        if (!e.value.isEmpty() && e.expected == ValueKind::Number)
            return texts.text(BuildingText::NotANumber).arg(e.value);
        if (!e.value.isEmpty() && e.expected == ValueKind::WholeNumber)
            return texts.text(BuildingText::NotAWholeNumber).arg(e.value);
        return texts.text(BuildingText::MustBeNumber + int(e.expected));
    case Kind::OutOfRange:
        return texts
            .text(e.range.aboveLeast ? BuildingText::OutOfRangeAbove : BuildingText::OutOfRangeFrom)
            .arg(e.value, general(e.range.least), general(e.range.greatest));
    case Kind::UnknownValue:
        return texts.text(BuildingText::UnknownValue).arg(e.value, e.allowed);
    case Kind::TooManyRooms:
        return texts.text(BuildingText::TooManyRooms).arg(number(int(BuildingLimits::MaxRooms)));
    case Kind::DuplicateZone:
        return texts.text(BuildingText::DuplicateZone).arg(number(e.otherZone));
    case Kind::UnnamedZone:
        return texts.text(BuildingText::UnnamedZone).arg(texts.text(BuildingText::NoZone));
    case Kind::UnclosedQuote:
        return texts.text(BuildingText::UnclosedQuote);
    case Kind::TextAfterQuote:
        return texts.text(BuildingText::TextAfterQuote);
    case Kind::UnknownColumn:
        return texts.text(BuildingText::UnknownColumn).arg(e.value, e.allowed);
    case Kind::DuplicateColumn:
        return texts.text(BuildingText::DuplicateColumn).arg(number(e.otherColumn));
    case Kind::MissingColumn:
        return e.key == QLatin1String("type") ? texts.text(BuildingText::MissingLoudspeakerColumns)
                                              : texts.text(BuildingText::MissingColumn).arg(e.key);
    case Kind::NoValue:
        return texts.text(BuildingText::NoValue);
    case Kind::ExtraValue:
        return texts.text(BuildingText::ExtraValue);
    case Kind::UnknownType:
        return texts.text(BuildingText::UnknownType).arg(e.value);
    default:
        return {};
    }
}

} // namespace

QString zoneDisplayName(const Zone& zone, const LocalTexts& texts) {
    return zone.name.isEmpty() ? texts.text(BuildingText::NoZone) : zone.name;
}

QString buildingErrorText(const BuildingError& e, const LocalTexts& texts) {
    switch (e.kind) {
    case Kind::CannotRead:
        return texts.text(BuildingText::CannotRead).arg(e.file, e.detail);
    case Kind::CannotWrite:
        return texts.text(BuildingText::CannotWrite).arg(e.file, e.detail);
    case Kind::TooLarge:
        return texts.text(BuildingText::TooLarge)
            .arg(e.file, number(int(BuildingLimits::MaxFileBytes / (1024 * 1024))));
    case Kind::TooManyValues:
        return texts.text(BuildingText::TooManyValues)
            .arg(e.file, number(int(BuildingLimits::MaxRooms)));
    case Kind::NotJson:
        return texts.text(BuildingText::NotJson).arg(e.file, number(e.line), number(e.column));
    case Kind::TooDeep:
        return texts.text(BuildingText::TooDeep).arg(e.file, number(e.line), number(e.column));
    case Kind::NotABuilding:
        return texts.text(BuildingText::NotABuilding).arg(e.file);
    case Kind::OtherFormat:
        return texts.text(BuildingText::OtherFormat).arg(e.file, e.value);
    case Kind::NewerVersion:
        return texts.text(BuildingText::NewerVersion).arg(e.file, e.value, e.allowed);
    case Kind::EmptyList:
        return texts.text(BuildingText::EmptyList).arg(e.file);
    default:
        break;
    }
    if (e.line > 0 && e.column > 0 && e.key.isEmpty()) {
        return texts.text(BuildingText::PlaceLineColumnNoKey)
            .arg(e.file, number(e.line), number(e.column), what(e, texts));
    }
    if (e.line > 0 && e.column > 0) {
        return texts.text(BuildingText::PlaceLineColumn)
            .arg(e.file, number(e.line), number(e.column), e.key, what(e, texts));
    }
    if (e.line > 0)
        return texts.text(BuildingText::PlaceLine).arg(e.file, number(e.line), what(e, texts));
    if (e.key.isEmpty())
        return texts.text(BuildingText::PlaceOnly).arg(place(e, texts), what(e, texts));
    return texts.text(BuildingText::PlaceKey).arg(place(e, texts), e.key, what(e, texts));
}

} // namespace kvx
