#include "app/plan_texts.h"

#include "app/binding.h"
#include "core/plan/layout_texts.h"
#include "core/ui/kvx1.h"

namespace kvx::app {

PlanTexts::PlanTexts(const Kvx1& kvx)
    : m_kvx(kvx)
    , m_locale(kvx.locale) {
    m_locale.setNumberOptions(QLocale::OmitGroupSeparator);
}

QString PlanTexts::text(int id) const {
    // Texts that name metres name the chosen unit.
    return withLengthSymbol(m_kvx.localText(id), m_kvx.units);
}

Units PlanTexts::units() const {
    return m_kvx.units;
}

QString PlanTexts::metres(double value) const {
    return units() == Units::Imperial ? formatFeet(value, m_locale) : fixed(value, 2);
}

LocalTexts PlanTexts::localTexts() const {
    return m_kvx.localTexts();
}

QString PlanTexts::plain(int id) const {
    return withoutAccessKeys(text(id));
}

QString PlanTexts::fixed(double value, int decimals) const {
    QString shown = m_locale.toString(value, 'f', decimals);
    // A level that rounds to zero from below reads "0.0", not "-0.0".
    if (shown.startsWith(m_locale.negativeSign()) &&
        m_locale.toDouble(shown.mid(m_locale.negativeSign().size())) == 0)
        shown.remove(0, m_locale.negativeSign().size());
    return shown;
}

QString PlanTexts::count(qint64 value) const {
    // Counts are read at a glance: with the locale's thousands separator.
    return QLocale(m_locale.language(), m_locale.territory()).toString(value);
}

QStringList PlanTexts::planLines(const Layout& layout, double calculatedSpacing) const {
    const QString room =
        text(PlanViewText::RoomAndCount)
            .arg(metres(layout.length), metres(layout.width), count(layout.count()));
    const QString walls =
        text(PlanViewText::WallDistance).arg(metres(layout.wallX()), metres(layout.wallY()));
    // Offset rows that are shifted (more than one row and column) say so.
    if (layout.rows > 1 && layout.shifted(1)) {
        return {
            room,
            text(LayoutText::OffsetRows)
                .arg(count(layout.rows), count(layout.inRow(0)), count(layout.inRow(1))),
            text(LayoutText::OffsetSpacing)
                .arg(metres(layout.spacingX), metres(layout.spacingY),
                     metres(layout.at(0, 1).x() - layout.at(0, 0).x()), metres(calculatedSpacing)),
            walls,
        };
    }
    return {
        room,
        text(PlanViewText::ColumnsRows).arg(count(layout.columns), count(layout.rows)),
        text(PlanViewText::Spacing)
            .arg(metres(layout.spacingX), metres(layout.spacingY), metres(calculatedSpacing)),
        walls,
    };
}

QStringList PlanTexts::figureLines(const CoverageMap& map, Band band, double setDifference) const {
    const BandFigures& f = map.band(band);
    const double offset = shownOffset(map, band);
    return {
        text(LevelReference::LevelsIn).arg(referenceName(band)),
        text(PlanViewText::LevelRange)
            .arg(decibels(f.max + offset), decibels(f.min + offset), decibels(f.spread)),
        text(PlanViewText::Shares)
            .arg(decibels(setDifference), percent(f.withinSet), percent(f.within1),
                 percent(f.within2), percent(f.within3)),
        text(PlanViewText::ListenerArea).arg(metres(map.margin)),
    };
}

QString PlanTexts::bandName(Band band) const {
    return text(band == Band::K1 ? PlanViewText::Band1k : PlanViewText::Band4k);
}

QString PlanTexts::referenceName(Band band) const {
    // As shown: the 1 kHz map in absolute levels, the 4 kHz one against its maximum.
    return text(band == Band::K1 ? LevelReference::DirectSpl : LevelReference::MapMaximum);
}

QString PlanTexts::legendTitle(Band band) const {
    return text(LevelReference::LegendTitle).arg(bandName(band), referenceName(band));
}

double shownOffset(const CoverageMap& map, Band band) {
    return band == Band::K1 ? map.offset1k : -map.band(Band::K4).max;
}

} // namespace kvx::app
