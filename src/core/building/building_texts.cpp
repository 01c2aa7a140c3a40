#include "core/building/building_texts.h"

#include "core/base/numbers.h"
#include "core/building/building_error.h"
#include "core/speech/speech_texts.h"
#include "core/system/system_texts.h"

#include <cmath>

namespace kvx {

namespace {

namespace Text = BuildingFiguresText;

// The text id of the user's own loudspeaker type in the type list.
constexpr int kUserTypeText = 1056;

// A figure for reading: at most `decimals` decimals, no trailing zeros, and
// its unit.
QString figure(const LocalTexts& texts, double value, int decimals, const char* unit) {
    const double scale = std::pow(10.0, decimals);
    QString text = texts.locale.toString(std::round(value * scale) / scale, 'g', 15);
    if (*unit)
        text += u' ' + QString::fromUtf8(unit);
    return text;
}

QString whole(const LocalTexts& texts, qint64 value) {
    return texts.locale.toString(value);
}

const Zone& zoneAt(const Building& building, int index) {
    return index < building.zones.size() ? building.zones[index] : noZone();
}

} // namespace

QString roomErrorText(const RoomError& error, const LocalTexts& texts) {
    return error.textId ? texts.text(error.textId) : error.text;
}

QStringList roomNotes(const Room& room, const RoomFigures& figures, const LocalTexts& texts) {
    QStringList notes;
    if (figures.speechShortest && room.reverberation)
        notes << tooShortText(*room.reverberation, *figures.speechShortest, texts);
    if (figures.speechMapTooLarge)
        notes << texts.text(SpeechText::TooLargeForMap);
    return notes;
}

QString bomTypeName(const RoomLoudspeaker& l, const LocalTexts& texts) {
    if (!l.type.isEmpty())
        return l.type;
    const auto number = [&texts](double value) { return formatGeneral(value, texts.locale); };
    return texts.text(Text::UserType)
        .arg(texts.text(kUserTypeText), number(l.angle1), number(l.angle4), number(l.sensitivity),
             number(l.ratedPower));
}

QString buildingLength(const Building& building, double metres, const LocalTexts& texts) {
    if (building.units == Units::Imperial)
        return figure(texts, metresToFeet(metres), 1, "ft");
    return figure(texts, metres, 1, "m");
}

QString roomLine(const Building& building, const BuildingFigures& figures, qsizetype index,
                 const LocalTexts& texts) {
    const Room& room = building.rooms[index];
    const RoomFigures& f = figures.rooms[size_t(index)];
    const QString number = whole(texts, index + 1);
    if (f.error) {
        QString why = roomErrorText(*f.error, texts);
        if (!f.error->textId && !f.error->title.isEmpty())
            why.prepend(f.error->title + QStringLiteral(": "));
        why.replace(QChar(13), u' ').replace(QChar(10), u' ');
        return texts.text(Text::RoomOnly).arg(number, room.name, why);
    }
    QString state = texts.text(Text::NoLevelCheck);
    if (f.level) {
        state = texts.text(Text::LevelState)
                    .arg(f.level->met ? texts.text(SystemText::Met)
                                      : texts.text(SystemText::ShortBy)
                                            .arg(formatOneDecimal(f.level->shortBy, texts.locale)));
    }
    return texts.text(Text::RoomLine)
        .arg(number, room.name,
             building.units == Units::Imperial
                 ? formatFeet(f.design.distance, texts.locale, kSpacingFeetDecimals) +
                       QStringLiteral(" ft")
                 : formatOneDecimal(f.design.distance, texts.locale) + QStringLiteral(" m"),
             whole(texts, f.design.speakers), whole(texts, room.quantity),
             formatWhole(f.design.directLevel, texts.locale), state);
}

QString zoneLine(const Building& building, const BuildingFigures& figures, int index,
                 const LocalTexts& texts) {
    const ZoneFigures& z = figures.zones[size_t(index)];
    const SystemFigures& s = z.sizing;
    QString line =
        texts.text(Text::ZoneLine)
            .arg(zoneDisplayName(zoneAt(building, index), texts), whole(texts, z.line),
                 whole(texts, z.calculatedRooms), whole(texts, z.loudspeakers),
                 figure(texts, z.load, 1, "W"), figure(texts, s.minimumAmplifier, 1, "W"));
    if (s.rating && s.amplifierLoad && s.amplifierState) {
        line +=
            texts.text(Text::ZoneAmplifier)
                .arg(figure(texts, *s.rating, 1, "W"), figure(texts, *s.amplifierLoad * 100, 0, ""),
                     amplifierStateText(*s.amplifierState, texts));
    }
    if (s.cable && s.cable->state) {
        line +=
            texts.text(Text::ZoneCable)
                .arg(figure(texts, s.cable->loopResistance, 2, "Ω"),
                     figure(texts, s.cable->drop, 2, "dB"), dropStateText(*s.cable->state, texts));
    }
    return line;
}

QStringList billLines(const Building& building, const BuildingFigures& figures,
                      const LocalTexts& texts) {
    QStringList lines;
    for (const BomLoudspeaker& l : figures.bom.loudspeakers) {
        lines << texts.text(Text::BomLoudspeakers)
                     .arg(bomTypeName(l.loudspeaker, texts), whole(texts, l.count));
    }
    for (const BomAmplifier& a : figures.bom.amplifiers) {
        QString line = texts.text(Text::BomAmplifier)
                           .arg(zoneDisplayName(zoneAt(building, a.zone), texts),
                                whole(texts, a.line), figure(texts, a.minimum, 1, "W"));
        if (a.rating)
            line += texts.text(Text::BomRating).arg(figure(texts, *a.rating, 1, "W"));
        lines << line;
    }
    for (const BomCable& c : figures.bom.cable) {
        lines << texts.text(Text::BomCable)
                     .arg(crossSectionSettingText(c.crossSection, texts.locale),
                          buildingLength(building, c.measured, texts),
                          buildingLength(building, c.toOrder, texts));
    }
    return lines;
}

QStringList scheduleLines(const Building& building, const BuildingFigures& figures,
                          const LocalTexts& texts) {
    QStringList lines;
    for (qsizetype i = 0; i < building.rooms.size(); ++i)
        lines << roomLine(building, figures, i, texts);
    for (int z = 0; z < int(figures.zones.size()); ++z) {
        if (figures.shows(z))
            lines << zoneLine(building, figures, z, texts);
    }
    return lines + billLines(building, figures, texts);
}

} // namespace kvx
