#pragma once

// Pictures of the plan, drawn with QPainter on any paint device: the plan
// window's pages, the PNG and SVG exports and the pages of the design PDF all
// call these functions, so they show the same picture. Everything is drawn
// from a PlanScene; the arithmetic is the core's (core/plan/).
//
//   drawPlan      the room to scale, the loudspeakers numbered, the dimensions
//   drawCoverage  the colour map of one band, the loudspeakers over it, the legend
//   drawSheet     a page of an export: a title, the figures, then one of the above
//   drawSti       the STI map of the listener area, its own scale with the target

#include "core/plan/coverage.h"
#include "core/plan/plan_geometry.h"
#include "core/plan/plan_labels.h"
#include "core/speech/speech.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace kvx::app {

class PlanTexts;

// What every picture of a design is drawn from. The coverage map is absent
// when the margin leaves no listener area; coverageProblem then says why, in
// the user's language.
struct PlanScene {
    Design design;
    Layout layout;
    PlanGeometry geometry;
    std::optional<CoverageMap> coverage;
    QString coverageProblem;
};

// The scene of a usable design with the map's options (the listener area's
// margin, the samples); the texts in the user's language.
PlanScene makePlanScene(const Design& design, const CoverageOptions& options,
                        const PlanTexts& texts);

// The quietest relative 1 kHz level of the scene's listener area, from its
// map; nothing without a map.
std::optional<double> quietestOf(const PlanScene& scene);

// The colour of t in [0, 1] (clamped) on the viridis map: dark blue through
// green to yellow with evenly rising lightness, so that it reads in grey print
// and for colour-blind readers.
QColor mapColour(double t);

// The range of shown levels that the colours span: the listener area's
// levels of the band as the legend shows them, at least 1 dB wide.
struct LevelScale {
    double low = 0;
    double high = 1;
    double at(double shown) const { return (shown - low) / (high - low); }
};
LevelScale levelScale(const CoverageMap& map, Band band);

// The map of a band as an image, one pixel per sample point, the first row
// at the far wall (y up as in the pictures). Outside the listener area each
// colour is made pale (outsideColour): the same scale, plainly apart.
QImage coverageImage(const CoverageMap& map, Band band);
QRgb outsideColour(QRgb colour);

// The plan in area: the room outline, the loudspeakers with their numbers and
// the dimension lines, placed by layoutPlanDrawing; a plan of too many
// loudspeakers says so instead.
void drawPlan(QPainter& painter, const QRectF& area, const PlanGeometry& geometry,
              const PlanTexts& texts);
// Where drawPlan puts everything on the painter's device, with its fonts.
PlanDrawingLayout planDrawingLayout(const QPainter& painter, const QRectF& area,
                                    const PlanGeometry& geometry);

// Where drawCoverage puts the room in area (the legend goes below it), on a
// device of unitsPerPoint device units per typographic point.
RoomFrame coverageFrame(const QRectF& area, const PlanScene& scene, double unitsPerPoint);
// The map of a band in area, the listener area outlined (the room outside it
// pale and hatched), the loudspeakers over it and the legend in dB, with a
// note on the pale part when there is one; without a map, the reason.
void drawCoverage(QPainter& painter, const QRectF& area, const PlanScene& scene, Band band,
                  const PlanTexts& texts);

// The pages of the exports.
enum class Sheet { Plan, Coverage1k, Coverage4k };
// A page: its title, the plan's figures or the band's, then the picture.
void drawSheet(QPainter& painter, const QRectF& page, const PlanScene& scene, Sheet sheet,
               const PlanTexts& texts);
// A good size for a sheet widthPoints wide, in points.
QSizeF sheetSize(const PlanScene& scene, Sheet sheet, double widthPoints);

// The STI map as an image, one pixel per sample point, the first row at the
// far wall; the room outside the listener area in grey.
QImage stiImage(const StiMap& map);
// Where drawSti puts the room in area (the legend goes below it), on a device
// of unitsPerPoint device units per typographic point.
RoomFrame stiFrame(const QRectF& area, const PlanScene& scene, double unitsPerPoint);
// The STI map of the scene's listener area in area, the loudspeakers over it
// and its legend from 0 to 1 with the target marked (when there is one);
// without a map, problem in the room's outline.
void drawSti(QPainter& painter, const QRectF& area, const PlanScene& scene, const StiMap* map,
             std::optional<double> target, const QString& problem, const PlanTexts& texts);

} // namespace kvx::app
