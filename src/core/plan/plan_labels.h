#pragma once

// Where a drawing of the plan puts the room, its dimension lines and its
// texts, in the units of the device it is drawn on. Pure geometry over
// rectangles: the caller measures the texts with the font it draws with, and
// every picture of the plan (the window, the PNG, SVG and PDF) draws what this
// gives, so that no two texts lie on each other and none leaves the drawing.

#include "core/plan/plan_geometry.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <vector>

namespace kvx {

// Where the room sits in a picture: metres to device coordinates, scaled to
// fit and centred, x to the right and y up (origin at the lower left corner).
class RoomFrame {
public:
    RoomFrame() = default;
    RoomFrame(const QRectF& room, const QRectF& area);

    bool isValid() const { return m_scale > 0; }
    double scale() const { return m_scale; } // device units per metre
    QPointF toDevice(QPointF metres) const;
    QPointF toRoom(QPointF device) const;
    QRectF toDevice(const QRectF& metres) const;

private:
    QPointF m_origin; // the device point of (0, 0)
    double m_scale = 0;
};

// A dimension line of the plan as the pictures and the DXF drawing place it:
// beside the wall it runs along, on the tier-th line out from it (1 the
// nearest), its points projected onto that wall. The spacings and the wall
// distances form chains beside the walls at the origin; the room's sides lie
// further out.
enum class DimensionSide { Bottom, Top, Left, Right };
struct PlacedDimension {
    QPointF from; // metres, on the wall, from < to along it
    QPointF to;
    QString text;
    DimensionSide side = DimensionSide::Bottom;
    int tier = 1;
    bool horizontal() const { return side == DimensionSide::Bottom || side == DimensionSide::Top; }
    // Away from the room, in room coordinates (y up), and on a device (y down).
    QPointF outward() const;
    QPointF outwardOnDevice() const { return {outward().x(), -outward().y()}; }
};
std::vector<PlacedDimension> placeDimensions(const PlanGeometry& geometry);

// The shortest distance between two loudspeakers of the plan (along a row
// or from one row to the next); the room's shorter side for one.
double closestSpeakers(const PlanGeometry& geometry);

// The sizes a drawing works with, in device units.
struct PlanTextMetrics {
    double point = 1; // one typographic point
    // A text's box as drawn: its advance and its line height (ascent plus
    // descent) for the dimensions' font, and for the loudspeakers' numbers.
    std::function<QSizeF(const QString&)> dimensionText;
    std::function<QSizeF(const QString&)> numberText;
    double step() const; // between two dimension lines beside a wall
};

struct PlanDrawingLayout {
    RoomFrame frame; // invalid when the area holds no room
    struct Dimension {
        PlacedDimension placed; // its tier as drawn
        QPointF lineFrom;       // the dimension line, device units
        QPointF lineTo;
        QPointF wallFrom; // where its extension lines leave the wall
        QPointF wallTo;
        QRectF label; // the text's box (standing upright on Left and Right)
    };
    // Dimensions whose text found no free place in the area are left out
    // (the summary above the picture gives every figure).
    std::vector<Dimension> dimensions;
    // The loudspeakers' marks: their radius (0 when they are too close to
    // tell apart and an area stands for them) and, when they fit, each
    // number's box in the order of the geometry's loudspeakers.
    double markRadius = 0;
    std::vector<QRectF> numbers;
};

// The plan in area: the room as large as the dimensions outside it leave
// room for; each dimension's text on its line, else past one end of it
// outside the extension lines, else on the next free line further out (the
// room shrinking to make space); the numbers beside their marks, inside the
// room, or none when one of them cannot be placed.
PlanDrawingLayout layoutPlanDrawing(const PlanGeometry& geometry, const QRectF& area,
                                    const PlanTextMetrics& metrics);

} // namespace kvx
