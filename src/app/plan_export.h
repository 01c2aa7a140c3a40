#pragma once

// The plan's files: a picture as PNG or SVG, the design PDF (the report's
// page, then the plan and both coverage maps, one page each, the system page
// and, with a reverberation time, the speech page), a DXF drawing for CAD
// (metres, on named layers) and the positions as CSV. Every file is written
// whole or not at all: it appears under its name only when complete, and a
// file that cannot be written leaves an older one as it was.

#include "app/plan_drawing.h"

#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

class QPainter;

namespace kvx {
class ReportPrinter;
}

namespace kvx::app {

enum class PlanFormat { Png, Svg, Pdf, Dxf, Csv };

// The format a file name asks for by its extension (any letter case).
std::optional<PlanFormat> planFormatFor(const QString& path);

// The DXF layers.
inline const QString kDxfRoomLayer = QStringLiteral("ROOM");
inline const QString kDxfSpeakerLayer = QStringLiteral("LOUDSPEAKERS");
inline const QString kDxfNumberLayer = QStringLiteral("NUMBERS");
inline const QString kDxfDimensionLayer = QStringLiteral("DIMENSIONS");
inline const QString kDxfNoteLayer = QStringLiteral("NOTES");

struct PlanExport {
    const PlanScene* scene = nullptr;
    const PlanTexts* texts = nullptr;
    // What a PNG or SVG picture shows.
    Sheet picture = Sheet::Plan;
    // Puts the report's page on the printer it is given, for the PDF;
    // throws KvxError when the report cannot be made. Without it the PDF
    // starts with the plan.
    std::function<void(ReportPrinter&)> report;
    // Draws the system page onto an area of the PDF's last page; without it
    // the PDF ends with the maps.
    std::function<void(QPainter&, const QRectF&)> system;
    // Draws the speech page onto an area of a page after the system page;
    // without it there is none.
    std::function<void(QPainter&, const QRectF&)> speech;
};

// Writes the file in the format; empty when it was written, else the message
// for the user, which names the file.
QString writePlanFile(const QString& path, PlanFormat format, const PlanExport& what);

} // namespace kvx::app
