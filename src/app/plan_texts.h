#pragma once

// The texts of the plan window and of its exports, in the user's language, and
// the numbers in them. The window, the PNG, SVG and PDF pictures and kvx-cli's
// plan exports all take their words from here, so they read the same.

#include "core/base/units.h"
#include "core/plan/coverage.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace kvx {
class Kvx1;
struct PlanGeometry;
} // namespace kvx

namespace kvx::app {

// English ids of the string table: the window's own texts. The texts that
// the core's plan shares (kvx::PlanText) come from coverage.h.
namespace PlanViewText {
enum : int {
    Menu = 1250,
    Title = 1251,
    PlanTab = 1252,
    CoverageTab = 1253,
    Export = 1255,
    CopyPositions = 1256,
    Number = 1257,
    ColumnX = 1258,
    ColumnY = 1259,
    BandLabel = 1260,
    Band1k = 1261,
    Band4k = 1262,
    MarginLabel = 1263,
    Metres = 1264,
    RoomAndCount = 1265,
    ColumnsRows = 1266,
    Spacing = 1267,
    WallDistance = 1268,
    LevelRange = 1273,
    Shares = 1274,
    ListenerArea = 1275,
    PointerValue = 1276,
    PointerHint = 1277,
    ExportPng = 1278,
    ExportSvg = 1279,
    ExportPdf = 1280,
    ExportDxf = 1281,
    ExportCsv = 1282,
    ExportTitle = 1283,
    FilterPng = 1284,
    FilterSvg = 1285,
    FilterPdf = 1286,
    FilterDxf = 1287,
    FilterCsv = 1288,
    CannotWrite = 1289,
    Coverage1k = 1291,
    Coverage4k = 1292,
    Positions = 1293,
    Copied = 1295,
    NoMapForSize = 1296,
    WidestBeam = 1515,          // the band's opening angle reaches the model's widest beam
    OutsideListenerArea = 1516, // the pale, hatched part of a map with a margin
};
} // namespace PlanViewText

class PlanTexts {
public:
    // The texts of the current language of kvx, numbers in its locale.
    explicit PlanTexts(const Kvx1& kvx);

    QString text(int id) const;
    LocalTexts localTexts() const;
    // The text without its access-key marks, for titles and pictures.
    QString plain(int id) const;
    // Lengths (metres, or feet in imperial units), levels and shares as the
    // plan shows them.
    QString metres(double value) const;
    // The units lengths are shown in, the main window's choice at this moment.
    Units units() const;
    QString decibels(double value) const { return fixed(value, 1); }
    QString percent(double share) const { return fixed(share * 100, 0); }
    QString count(qint64 value) const;
    QString fixed(double value, int decimals) const;
    const QLocale& locale() const { return m_locale; }

    // The plan's summary: the room and the count, the grid, the spacings
    // (with the calculated one) and the wall distances.
    QStringList planLines(const Layout& layout, double calculatedSpacing) const;
    // A band's figures as the coverage page shows them above the map; levels
    // as the legend shows them (see shownOffset).
    QStringList figureLines(const CoverageMap& map, Band band, double setDifference) const;
    QString bandName(Band band) const;
    // The reference the band's shown levels are given against, in the
    // words kvx-cli uses for it.
    QString referenceName(Band band) const;
    QString legendTitle(Band band) const;

private:
    const Kvx1& m_kvx;
    QLocale m_locale;
};

// What the coverage pictures add to a relative level (dB re one loudspeaker
// overhead) to show it: at 1 kHz the absolute level (offset1k), at 4 kHz the
// level re the band's maximum over the listener area.
double shownOffset(const CoverageMap& map, Band band);

} // namespace kvx::app
