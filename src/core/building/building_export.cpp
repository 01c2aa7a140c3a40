#include "core/building/building_export.h"

#include "core/base/save_file.h"
#include "core/building/building_texts.h"

#include <QSaveFile>

namespace kvx {

namespace {

const Zone& zoneAt(const Building& building, int index) {
    return index < building.zones.size() ? building.zones[index] : noZone();
}

} // namespace

QByteArray scheduleCsv(const Building& building, const BuildingFigures& figures,
                       const LocalTexts& texts, CsvSeparator separator) {
    const auto number = [separator](double value) { return csvNumber(value, separator); };
    QList<QStringList> rows;
    rows.reserve(building.rooms.size());
    for (qsizetype i = 0; i < building.rooms.size(); ++i) {
        const RoomFigures& f = figures.rooms[size_t(i)];
        QStringList row = roomListFields(building.rooms[i], separator);
        if (f.error) {
            for (qsizetype c = 1; c < roomFigureColumns().size(); ++c)
                row << QString();
            row << csvText(roomErrorText(*f.error, texts));
        } else {
            const Design& d = f.design;
            row << number(d.distance) << QString::number(d.grid.columns)
                << QString::number(d.grid.rows) << QString::number(d.speakers)
                << number(d.speakerPower) << number(d.directLevel) << number(d.difference1)
                << number(f.coverage.min1k) << number(f.coverage.spread1k)
                << number(f.coverage.withinSet4k);
            if (f.level) {
                row << number(f.level->required) << number(f.level->quietest)
                    << (f.level->met ? QStringLiteral("true") : QStringLiteral("false"));
            } else {
                row << QString() << QString() << QString();
            }
            if (f.speech)
                row << number(f.speech->mean) << number(f.speech->min);
            else
                row << QString() << QString();
            row << QString::number(f.loudspeakers) << number(f.load) << QString();
        }
        rows.append(row);
    }
    return csvBytes(roomListColumns() + roomFigureColumns(), rows, separator);
}

QByteArray billCsv(const Building& building, const BuildingFigures& figures,
                   const LocalTexts& texts, CsvSeparator separator) {
    const auto number = [separator](double value) { return csvNumber(value, separator); };
    const QString none;
    QList<QStringList> rows;
    for (const BomLoudspeaker& l : figures.bom.loudspeakers) {
        rows.append({QStringLiteral("loudspeaker"), csvText(bomTypeName(l.loudspeaker, texts)),
                     none, QString::number(l.count), none, none, none, none, none});
    }
    for (const BomAmplifier& a : figures.bom.amplifiers) {
        rows.append({QStringLiteral("amplifier"),
                     csvText(zoneDisplayName(zoneAt(building, a.zone), texts)),
                     QString::number(a.line), none, number(a.minimum),
                     a.rating ? number(*a.rating) : none, none, none, none});
    }
    for (const BomCable& c : figures.bom.cable) {
        rows.append({QStringLiteral("cable"), none, none, none, none, none, csvText(c.crossSection),
                     number(c.measured), number(c.toOrder)});
    }
    return csvBytes({QStringLiteral("kind"), QStringLiteral("name"), QStringLiteral("line"),
                     QStringLiteral("count"), QStringLiteral("minimum"), QStringLiteral("rating"),
                     QStringLiteral("crossSection"), QStringLiteral("measured"),
                     QStringLiteral("toOrder")},
                    rows, separator);
}

std::optional<BuildingError> writeCsvFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    QString reason;
    if (file.open(QIODevice::WriteOnly) && writeSaveFile(file, bytes, &reason))
        return std::nullopt;
    BuildingError e;
    e.kind = BuildingError::Kind::CannotWrite;
    e.file = path;
    e.detail = reason.isEmpty() ? file.errorString() : reason;
    return e;
}

} // namespace kvx
