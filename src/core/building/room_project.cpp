#include "core/building/room_project.h"

#include "core/base/numbers.h"
#include "core/calc/power.h"

namespace kvx {

RoomProject projectOfRoom(const Room& room, const Zone& zone, const QString& typeText,
                          const QLocale& locale) {
    RoomProject p;
    const auto number = [&locale](double value) { return formatGeneral(value, locale); };
    const auto set = [&p](ProjectField field, const QString& text) {
        p.fields[size_t(field)] = text;
    };
    set(ProjectField::Description, room.name);
    set(ProjectField::LoudspeakerType, typeText);
    set(ProjectField::Angle1, number(room.loudspeaker.angle1));
    set(ProjectField::Angle4, number(room.loudspeaker.angle4));
    set(ProjectField::Sensitivity, number(room.loudspeaker.sensitivity));
    set(ProjectField::RatedPower, number(room.loudspeaker.ratedPower));
    set(ProjectField::RoomLength, number(room.length));
    set(ProjectField::RoomWidth, number(room.width));
    set(ProjectField::RoomHeight, number(room.height));
    set(ProjectField::EarHeight, number(room.ear));
    set(ProjectField::SpeakerTap, speakerTapItem(room.tap));
    set(ProjectField::AmplifierTap, amplifierTapItem(zone.line));
    set(ProjectField::Difference4, number(room.difference));
    p.settings.system.ambient = room.ambient;
    p.settings.system.above = room.above;
    p.settings.layout.pattern = room.pattern.value_or(Pattern::Square);
    p.settings.speech.reverberation = room.reverberation;
    return p;
}

std::optional<Room> roomOfProject(const ProjectFileContents& project, const QString& name,
                                  const QList<LspRecord>& catalogue) {
    QString fields[kProjectFieldCount];
    for (const auto& [field, text] : project.fields)
        fields[int(field)] = text;
    const auto number = [&](ProjectField field, const ValueRange& range) -> std::optional<double> {
        const std::optional<double> value = readNumber(fields[int(field)]);
        if (!value || !range.contains(*value))
            return std::nullopt;
        return value;
    };
    Room room;
    room.name = name;
    const auto length = number(ProjectField::RoomLength, BuildingLimits::Side);
    const auto width = number(ProjectField::RoomWidth, BuildingLimits::Side);
    const auto height = number(ProjectField::RoomHeight, BuildingLimits::Height);
    const auto ear = number(ProjectField::EarHeight, BuildingLimits::Ear);
    const auto difference = number(ProjectField::Difference4, BuildingLimits::Difference);
    if (!length || !width || !height || !ear)
        return std::nullopt;
    room.length = *length;
    room.width = *width;
    room.height = *height;
    room.ear = *ear;
    room.difference = difference.value_or(6);
    const QString type = fields[int(ProjectField::LoudspeakerType)];
    bool found = false;
    for (const LspRecord& record : catalogue) {
        if (record.TypeName == type || catalogueTypeName(record) == type.trimmed()) {
            room.loudspeaker = loudspeakerOf(record);
            found = true;
            break;
        }
    }
    if (!found) {
        const auto a1 = number(ProjectField::Angle1, BuildingLimits::Angle);
        const auto a4 = number(ProjectField::Angle4, BuildingLimits::Angle);
        const auto s = number(ProjectField::Sensitivity, BuildingLimits::Sensitivity);
        const auto p = number(ProjectField::RatedPower, BuildingLimits::Power);
        if (!a1 || !a4 || !s || !p)
            return std::nullopt;
        room.loudspeaker = {{}, *a1, *a4, *s, *p, {}};
    }
    for (const int divisor : {1, 2, 4}) {
        if (fields[int(ProjectField::SpeakerTap)].trimmed() == speakerTapItem(divisor))
            room.tap = divisor;
    }
    room.ambient = project.settings.system.ambient;
    room.above = project.settings.system.above;
    if (project.settings.layout.pattern == Pattern::Offset)
        room.pattern = Pattern::Offset;
    room.reverberation = project.settings.speech.reverberation;
    return room;
}

} // namespace kvx
