#pragma once

// The words of a building's figures: a room's error and notes, the name of a
// loudspeaker type in the bill, and the schedule as lines of text (one per
// room, one per zone, then the bill), numbers rounded in the locale of the
// texts and states in words (system_texts.h's where it has them: the
// amplifier's and the cable's states, the level check, the cross-sections).

#include "core/base/string_table.h"
#include "core/building/building_figures.h"

#include <QString>
#include <QStringList>

namespace kvx {

// The string-table ids (English block) of the figures' texts.
namespace BuildingFiguresText {
constexpr int UserType = 1780;      // a loudspeaker of the user's own: its name and data
constexpr int RoomLine = 1781;      // number, name, spacing, count, quantity, level, state
constexpr int RoomOnly = 1782;      // number, name, and what is said of the room
constexpr int LevelState = 1783;    // "level met", "level short by 2 dB"
constexpr int NoLevelCheck = 1784;  // a room without an ambient noise
constexpr int ZoneLine = 1785;      // name, line, rooms, loudspeakers, load, minimum amplifier
constexpr int ZoneAmplifier = 1786; // rating, load in percent, state
constexpr int ZoneCable = 1787;     // loop resistance, drop, state
constexpr int BomLoudspeakers = 1788;
constexpr int BomAmplifier = 1789;
constexpr int BomRating = 1790;
constexpr int BomCable = 1791;
} // namespace BuildingFiguresText

// The room's error in the language of texts: the calculation's own message
// (its title left out), or the coverage map's refusal.
QString roomErrorText(const RoomError& error, const LocalTexts& texts);
// What a room's figures leave out and why (the speech estimate refused).
QStringList roomNotes(const Room& room, const RoomFigures& figures, const LocalTexts& texts);
// The name of a loudspeaker type in the bill: the catalogue type's, or for a
// loudspeaker of the user's own its data ("User type (90°/60°, 90 dB, 6 W)").
QString bomTypeName(const RoomLoudspeaker& loudspeaker, const LocalTexts& texts);

// The schedule: a line per room (the number counted from 1, the name, the
// spacing, the count times the quantity, the direct level, the level check
// or the error), a line per zone that shows, then the bill of materials.
// A length of the bill in the units the building's file names: "412.3 m", "1352.7 ft".
QString buildingLength(const Building& building, double metres, const LocalTexts& texts);
QString roomLine(const Building& building, const BuildingFigures& figures, qsizetype room,
                 const LocalTexts& texts);
QString zoneLine(const Building& building, const BuildingFigures& figures, int zone,
                 const LocalTexts& texts);
QStringList billLines(const Building& building, const BuildingFigures& figures,
                      const LocalTexts& texts);
QStringList scheduleLines(const Building& building, const BuildingFigures& figures,
                          const LocalTexts& texts);

} // namespace kvx
