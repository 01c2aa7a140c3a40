#include "app/plan_drawing.h"

#include "app/plan_texts.h"
#include "core/speech/speech_texts.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace kvx::app {

namespace {

// The plan's texts: the dimensions and the loudspeakers' numbers, in points.
constexpr double kDimensionPoints = 8;
constexpr double kNumberPoints = 6.5;

// Device units per typographic point on the painter's device.
double pt(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    return device ? device->logicalDpiY() / 72.0 : 1.0;
}

void setFont(QPainter& painter, double points, bool bold = false) {
    QFont font = painter.font();
    font.setPointSizeF(points);
    font.setBold(bold);
    painter.setFont(font);
}

QPen pen(const QPainter& painter, const QColor& colour, double points,
         Qt::PenStyle style = Qt::SolidLine) {
    QPen p(colour, points * pt(painter), style);
    p.setCapStyle(Qt::FlatCap);
    return p;
}

// A message in the middle of area, wrapped to its width.
void drawMessage(QPainter& painter, const QRectF& area, const QString& text) {
    painter.save();
    setFont(painter, 10);
    painter.setPen(Qt::black);
    painter.drawText(area.adjusted(area.width() * 0.1, 0, -area.width() * 0.1, 0),
                     Qt::AlignCenter | Qt::TextWordWrap, text);
    painter.restore();
}

void drawDimension(QPainter& painter, const PlanDrawingLayout::Dimension& d) {
    const double u = pt(painter);
    const PlacedDimension& p = d.placed;
    const QPointF out = p.outwardOnDevice();
    const QPointF a = d.lineFrom;
    const QPointF b = d.lineTo;
    // Extension lines from the wall to a little beyond the dimension line.
    painter.setPen(pen(painter, QColor(60, 60, 60), 0.5));
    painter.drawLine(d.wallFrom + out * (1.5 * u), a + out * (1.5 * u));
    painter.drawLine(d.wallTo + out * (1.5 * u), b + out * (1.5 * u));
    painter.drawLine(a, b);
    // Oblique ticks at both ends.
    const QPointF tick = QPointF(2.5 * u, -2.5 * u);
    painter.setPen(pen(painter, Qt::black, 0.9));
    painter.drawLine(a - tick, a + tick);
    painter.drawLine(b - tick, b + tick);

    // The text in its box, upright beside a wall on the left or right.
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.save();
    if (p.horizontal()) {
        painter.translate(d.label.left(), d.label.top() + metrics.ascent());
    } else {
        painter.translate(d.label.left() + metrics.ascent(), d.label.bottom());
        painter.rotate(-90);
    }
    painter.drawText(QPointF(0, 0), p.text);
    painter.restore();
}

// The loudspeakers over a map: small rings, or nothing when they are too
// close to tell apart.
void drawSpeakers(QPainter& painter, const RoomFrame& frame, const PlanGeometry& geometry) {
    if (geometry.speakers.empty())
        return;
    const double u = pt(painter);
    const double spacing = closestSpeakers(geometry) * frame.scale();
    // Closer than the marks could be told apart: over a map they would
    // only hide it.
    if (spacing < 2 * u)
        return;
    // White around black: they hide little of the level below them and show
    // on dark and light colours alike.
    const double radius = std::clamp(0.06 * spacing, 0.6 * u, 2.5 * u);
    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (const auto& [colour, width] :
         {std::pair(QColor(Qt::white), 1.6), std::pair(QColor(Qt::black), 0.6)}) {
        painter.setPen(pen(painter, colour, width));
        for (const auto& s : geometry.speakers)
            painter.drawEllipse(frame.toDevice(s.position), radius, radius);
    }
    painter.restore();
}

// The loudspeakers of the plan, numbered where the layout found room for the
// numbers; too close to tell apart, the area they cover in grey.
void drawNumberedSpeakers(QPainter& painter, const PlanDrawingLayout& layout,
                          const PlanGeometry& geometry) {
    if (geometry.speakers.empty())
        return;
    const double u = pt(painter);
    const RoomFrame& frame = layout.frame;
    painter.save();
    if (layout.markRadius <= 0) {
        QRectF covered(geometry.speakers.front().position, geometry.speakers.back().position);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(150, 150, 150));
        painter.drawRect(frame.toDevice(covered.normalized()).adjusted(-u, -u, u, u));
        painter.restore();
        return;
    }
    const double radius = layout.markRadius;
    painter.setPen(pen(painter, Qt::black, 0.8));
    painter.setBrush(QColor(255, 255, 255, 220));
    for (const auto& s : geometry.speakers)
        painter.drawEllipse(frame.toDevice(s.position), radius, radius);
    painter.restore();
    if (layout.numbers.empty())
        return;
    painter.save();
    setFont(painter, kNumberPoints);
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.setPen(QColor(0, 0, 140));
    for (std::size_t i = 0; i < layout.numbers.size(); ++i)
        painter.drawText(layout.numbers[i].bottomLeft() - QPointF(0, metrics.descent()),
                         QString::number(geometry.speakers[i].number));
    painter.restore();
}

// A step of whole decibels (1, 2, 5 times a power of ten) giving at most
// about six ticks over span.
double tickStep(double span) {
    const double raw = span / 6;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * decade >= raw)
            return m * decade;
    return 10 * decade;
}

// The colour bar of a legend in area, on a device of u units per point.
QRectF legendBar(const QRectF& area, double u) {
    const double width = std::min(area.width(), 320 * u);
    return {area.center().x() - width / 2, area.top(), width, 9 * u};
}

void drawLegend(QPainter& painter, const QRectF& area, const LevelScale& scale,
                const QString& title, const PlanTexts& texts) {
    const double u = pt(painter);
    painter.save();
    setFont(painter, 8);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QRectF bar = legendBar(area, u);
    QLinearGradient gradient(bar.topLeft(), bar.topRight());
    for (int i = 0; i <= 10; ++i)
        gradient.setColorAt(i / 10.0, mapColour(i / 10.0));
    painter.setPen(pen(painter, Qt::black, 0.5));
    painter.setBrush(gradient);
    painter.drawRect(bar);

    const double step = tickStep(scale.high - scale.low);
    const int decimals = step < 1 ? 1 : 0;
    for (double v = std::ceil(scale.low / step - 1e-9) * step; v <= scale.high + 1e-9 * step;
         v += step) {
        const double x = bar.left() + scale.at(v) * bar.width();
        painter.drawLine(QPointF(x, bar.bottom()), QPointF(x, bar.bottom() + 2.5 * u));
        const QString label = texts.fixed(v, decimals);
        painter.drawText(QPointF(x - metrics.horizontalAdvance(label) / 2,
                                 bar.bottom() + 2.5 * u + metrics.ascent()),
                         label);
    }
    painter.drawText(QRectF(area.left(), bar.bottom() + 3 * u + metrics.height(), area.width(),
                            metrics.height() * 1.2),
                     Qt::AlignHCenter | Qt::AlignTop, title);
    painter.restore();
}

// The lines above a sheet's picture.
QStringList sheetLines(const PlanScene& scene, Sheet sheet, const PlanTexts& texts) {
    if (sheet == Sheet::Plan) {
        QStringList lines = texts.planLines(scene.layout, scene.design.distance);
        if (scene.geometry.tooManyToDraw)
            lines << texts.text(kvx::PlanText::TooManyToDraw);
        return lines;
    }
    const Band band = sheet == Sheet::Coverage1k ? Band::K1 : Band::K4;
    if (!scene.coverage)
        return {scene.coverageProblem};
    QStringList lines = texts.figureLines(*scene.coverage, band, scene.design.difference4);
    if (band == Band::K1)
        lines << texts.text(kvx::PlanText::DirectLevelDiffers);
    return lines;
}

QString sheetTitle(Sheet sheet, const PlanTexts& texts) {
    switch (sheet) {
    case Sheet::Plan:
        return texts.plain(PlanViewText::PlanTab);
    case Sheet::Coverage1k:
        return texts.plain(PlanViewText::Coverage1k);
    case Sheet::Coverage4k:
        return texts.plain(PlanViewText::Coverage4k);
    }
    return {};
}

// Points of the header of a sheet: the title and its lines, wrapped.
constexpr double kTitlePoints = 13;
constexpr double kLinePoints = 9;

} // namespace

PlanScene makePlanScene(const Design& design, const CoverageOptions& options,
                        const PlanTexts& texts) {
    PlanScene scene;
    scene.design = design;
    scene.layout = layoutFor(design);
    scene.geometry = planGeometry(scene.layout, texts.locale(), texts.units());
    if (scene.layout.count() <= 0)
        return scene;
    try {
        scene.coverage = coverageFor(design, scene.layout, options);
    } catch (const CoverageError& error) {
        scene.coverageProblem = error.textId ? texts.text(error.textId) : error.message;
    }
    return scene;
}

std::optional<double> quietestOf(const PlanScene& scene) {
    if (!scene.coverage)
        return std::nullopt;
    return scene.coverage->band(Band::K1).min;
}

QColor mapColour(double t) {
    // viridis at eleven evenly spaced points; linear in between.
    static constexpr std::array<QRgb, 11> stops = {
        0x440154, 0x482576, 0x414487, 0x35608d, 0x2a788e, 0x21908c,
        0x22a884, 0x43bf71, 0x7ad151, 0xbbdf27, 0xfde725,
    };
    if (!(t > 0)) // NaN too
        t = 0;
    t = std::min(t, 1.0) * 10;
    const int i = std::min(int(t), 9);
    const double f = t - i;
    const QColor a(stops[i]);
    const QColor b(stops[i + 1]);
    const auto mix = [f](int x, int y) { return int(std::lround(x + (y - x) * f)); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

LevelScale levelScale(const CoverageMap& map, Band band) {
    const BandFigures& f = map.band(band);
    const double offset = shownOffset(map, band);
    LevelScale scale{f.min + offset, f.max + offset};
    if (!(scale.high - scale.low >= 1)) {
        const double middle = (scale.low + scale.high) / 2;
        scale = {middle - 0.5, middle + 0.5};
    }
    return scale;
}

QRgb outsideColour(QRgb colour) {
    // Most of the way to white: lighter than any colour of the scale's lower
    // part, yet a louder point stays lighter than a quieter one.
    const auto pale = [](int c) { return int(std::lround(c + (255 - c) * 0.6)); };
    return qRgb(pale(qRed(colour)), pale(qGreen(colour)), pale(qBlue(colour)));
}

QImage coverageImage(const CoverageMap& map, Band band) {
    if (!map.hasLevels())
        return {};
    const qsizetype nx = qsizetype(map.x.size());
    const qsizetype ny = qsizetype(map.y.size());
    QImage image(int(nx), int(ny), QImage::Format_RGB32);
    const LevelScale scale = levelScale(map, band);
    const double offset = shownOffset(map, band);
    std::array<QRgb, 256> table;
    for (int i = 0; i < 256; ++i)
        table[std::size_t(i)] = mapColour(i / 255.0).rgb();
    for (qsizetype iy = 0; iy < ny; ++iy) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(ny - 1 - iy)));
        for (qsizetype ix = 0; ix < nx; ++ix) {
            const double t = scale.at(map.levelAt(band, ix, iy) + offset);
            const int i = t > 0 ? int(std::lround(std::min(t, 1.0) * 255)) : 0;
            line[ix] = map.inListenerArea(ix, iy) ? table[std::size_t(i)]
                                                  : outsideColour(table[std::size_t(i)]);
        }
    }
    return image;
}

PlanDrawingLayout planDrawingLayout(const QPainter& painter, const QRectF& area,
                                    const PlanGeometry& geometry) {
    const auto measure = [&painter](double points) {
        QFont font = painter.font();
        font.setPointSizeF(points);
        font.setBold(false);
        return [metrics = QFontMetricsF(font, painter.device())](const QString& text) {
            return QSizeF(metrics.horizontalAdvance(text), metrics.height());
        };
    };
    PlanTextMetrics metrics;
    metrics.point = pt(painter);
    metrics.dimensionText = measure(kDimensionPoints);
    metrics.numberText = measure(kNumberPoints);
    return layoutPlanDrawing(geometry, area, metrics);
}

void drawPlan(QPainter& painter, const QRectF& area, const PlanGeometry& geometry,
              const PlanTexts& texts) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const PlanDrawingLayout layout = planDrawingLayout(painter, area, geometry);
    if (!layout.frame.isValid()) {
        painter.restore();
        return;
    }
    const QRectF room = layout.frame.toDevice(geometry.room);
    painter.setPen(pen(painter, Qt::black, 1.6));
    painter.setBrush(Qt::white);
    painter.drawRect(room);

    drawNumberedSpeakers(painter, layout, geometry);
    setFont(painter, kDimensionPoints);
    for (const PlanDrawingLayout::Dimension& d : layout.dimensions)
        drawDimension(painter, d);
    if (geometry.tooManyToDraw)
        drawMessage(painter, room, texts.text(kvx::PlanText::TooManyToDraw));
    painter.restore();
}

namespace {

// Height of the legend band below a map, in points, and of the note on the
// pale part outside the listener area below it (two lines at most).
constexpr double kLegendPoints = 42;
constexpr double kOutsideNotePoints = 24;

// A map with a margin shows the room outside the listener area.
bool showsOutside(const CoverageMap& map) {
    return map.margin > 0;
}

// Diagonal lines over area, spacing apart, as the painter's clip lets them.
void drawHatching(QPainter& painter, const QRectF& area, double spacing, const QPen& line) {
    painter.setPen(line);
    const double reach = area.width() + area.height();
    for (double d = spacing / 2; d < reach; d += spacing)
        painter.drawLine(QPointF(area.left() + d, area.bottom()),
                         QPointF(area.left() + d - area.height(), area.top()));
}

// A pale hatched sample and the words that say what it stands for, centred
// at the top of area.
void drawOutsideNote(QPainter& painter, const QRectF& area, const QString& text) {
    const double u = pt(painter);
    painter.save();
    setFont(painter, 8);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double textWidth =
        std::min(metrics.horizontalAdvance(text) + 1, std::max(area.width() - 20 * u, 40 * u));
    const QRectF swatch(area.center().x() - (textWidth + 18 * u) / 2, area.top() + 1 * u, 12 * u,
                        metrics.height() - 2 * u);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(outsideColour(mapColour(0.5).rgb())));
    painter.drawRect(swatch);
    painter.save();
    painter.setClipRect(swatch);
    drawHatching(painter, swatch, 4 * u, pen(painter, QColor(90, 90, 90), 0.4));
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(pen(painter, Qt::black, 0.5));
    painter.drawRect(swatch);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(swatch.right() + 6 * u, area.top(), textWidth, area.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    painter.restore();
}

} // namespace

RoomFrame coverageFrame(const QRectF& area, const PlanScene& scene, double unitsPerPoint) {
    const double u = unitsPerPoint;
    const double below =
        kLegendPoints + (scene.coverage && showsOutside(*scene.coverage) ? kOutsideNotePoints : 0);
    return RoomFrame(scene.geometry.room, area.adjusted(4 * u, 4 * u, -4 * u, -(below + 6) * u));
}

void drawCoverage(QPainter& painter, const QRectF& area, const PlanScene& scene, Band band,
                  const PlanTexts& texts) {
    const double u = pt(painter);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const RoomFrame frame = coverageFrame(area, scene, u);
    if (!frame.isValid()) {
        painter.restore();
        return;
    }
    const QRectF room = frame.toDevice(scene.geometry.room);
    if (!scene.coverage || !scene.coverage->hasLevels()) {
        painter.setPen(pen(painter, Qt::black, 1.2));
        painter.setBrush(Qt::white);
        painter.drawRect(room);
        drawMessage(painter, room,
                    scene.coverage ? texts.text(PlanViewText::NoMapForSize)
                                   : scene.coverageProblem);
        painter.restore();
        return;
    }
    const CoverageMap& map = *scene.coverage;

    // Each pixel of the image is centred on its sample point: the image
    // reaches half a sample beyond the walls and is cut at them.
    const QImage image = coverageImage(map, band);
    const double dx = map.x.size() > 1 ? (map.x.back() - map.x.front()) / (map.x.size() - 1) : 0;
    const double dy = map.y.size() > 1 ? (map.y.back() - map.y.front()) / (map.y.size() - 1) : 0;
    const QRectF samples(QPointF(map.x.front() - dx / 2, map.y.front() - dy / 2),
                         QPointF(map.x.back() + dx / 2, map.y.back() + dy / 2));
    painter.save();
    painter.setClipRect(room);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(frame.toDevice(samples), image);
    painter.restore();

    painter.setBrush(Qt::NoBrush);
    const bool outside = showsOutside(map);
    if (outside) {
        // Outside the listener area the colours are pale (coverageImage) and
        // hatched: no figure counts them, and they must not read as quiet.
        const QRectF listeners = frame.toDevice(
            scene.geometry.room.adjusted(map.margin, map.margin, -map.margin, -map.margin));
        QPainterPath band;
        band.addRect(room);
        band.addRect(listeners);
        band.setFillRule(Qt::OddEvenFill);
        painter.save();
        painter.setClipPath(band);
        drawHatching(painter, room, 6 * u, pen(painter, QColor(70, 70, 70, 150), 0.4));
        painter.restore();
        painter.setPen(pen(painter, Qt::black, 1.4));
        painter.drawRect(listeners);
        painter.setPen(pen(painter, Qt::white, 0.8, Qt::DashLine));
        painter.drawRect(listeners);
    }
    painter.setPen(pen(painter, Qt::black, 1.2));
    painter.drawRect(room);
    drawSpeakers(painter, frame, scene.geometry);

    // The legend right below the map, and what the pale part is.
    const QRectF legend(area.left(), room.bottom() + 8 * u, area.width(), kLegendPoints * u);
    drawLegend(painter, legend, levelScale(map, band), texts.legendTitle(band), texts);
    if (outside)
        drawOutsideNote(painter, legend.translated(0, kLegendPoints * u),
                        texts.text(PlanViewText::OutsideListenerArea));
    painter.restore();
}

void drawSheet(QPainter& painter, const QRectF& page, const PlanScene& scene, Sheet sheet,
               const PlanTexts& texts) {
    const double u = pt(painter);
    painter.save();
    painter.setPen(Qt::black);
    setFont(painter, kTitlePoints, true);
    QRectF used;
    painter.drawText(page, Qt::AlignLeft | Qt::AlignTop, sheetTitle(sheet, texts), &used);
    double y = used.bottom() + 4 * u;
    setFont(painter, kLinePoints);
    for (const QString& line : sheetLines(scene, sheet, texts)) {
        painter.drawText(QRectF(page.left(), y, page.width(), page.bottom() - y),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, line, &used);
        y = used.bottom() + 1 * u;
    }
    const QRectF picture(page.left(), y + 6 * u, page.width(), page.bottom() - y - 6 * u);
    painter.restore();
    if (sheet == Sheet::Plan)
        drawPlan(painter, picture, scene.geometry, texts);
    else
        drawCoverage(painter, picture, scene, sheet == Sheet::Coverage1k ? Band::K1 : Band::K4,
                     texts);
}

QSizeF sheetSize(const PlanScene& scene, Sheet sheet, double widthPoints) {
    const double lines = sheet == Sheet::Plan ? 5 : 6;
    const double header = kTitlePoints * 1.6 + lines * kLinePoints * 1.5 + 12;
    const QRectF& room = scene.geometry.room;
    const double aspect = room.width() > 0 ? room.height() / room.width() : 0.5;
    const double below = sheet == Sheet::Plan ? 90 : kLegendPoints + kOutsideNotePoints + 30;
    const double picture =
        std::clamp(widthPoints * aspect + below, widthPoints * 0.3, widthPoints * 1.4);
    return {widthPoints, header + picture};
}

namespace {

// Height of the STI legend below a map, in points: the target's mark above
// the colour bar, then the bar, its scale and its title.
constexpr double kStiLegendPoints = 56;
// The part of the room outside the listener area, where nothing is estimated.
constexpr QRgb kNotEstimated = 0xd4d4d4;

} // namespace

QImage stiImage(const StiMap& map) {
    if (map.empty())
        return {};
    const qsizetype nx = qsizetype(map.x.size());
    const qsizetype ny = qsizetype(map.y.size());
    QImage image(int(nx), int(ny), QImage::Format_RGB32);
    std::array<QRgb, 256> table;
    for (int i = 0; i < 256; ++i)
        table[std::size_t(i)] = mapColour(i / 255.0).rgb();
    for (qsizetype iy = 0; iy < ny; ++iy) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(ny - 1 - iy)));
        for (qsizetype ix = 0; ix < nx; ++ix) {
            const std::optional<double> sti = map.at(ix, iy);
            line[ix] = sti ? table[std::size_t(std::lround(std::clamp(*sti, 0.0, 1.0) * 255))]
                           : kNotEstimated;
        }
    }
    return image;
}

RoomFrame stiFrame(const QRectF& area, const PlanScene& scene, double unitsPerPoint) {
    const double u = unitsPerPoint;
    return RoomFrame(scene.geometry.room,
                     area.adjusted(4 * u, 4 * u, -4 * u, -(kStiLegendPoints + 6) * u));
}

void drawSti(QPainter& painter, const QRectF& area, const PlanScene& scene, const StiMap* map,
             std::optional<double> target, const QString& problem, const PlanTexts& texts) {
    const double u = pt(painter);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const RoomFrame frame = stiFrame(area, scene, u);
    if (!frame.isValid()) {
        painter.restore();
        return;
    }
    const QRectF room = frame.toDevice(scene.geometry.room);
    if (!map || map->empty()) {
        painter.setPen(pen(painter, Qt::black, 1.2));
        painter.setBrush(Qt::white);
        painter.drawRect(room);
        drawMessage(painter, room, problem);
        painter.restore();
        return;
    }

    // As the coverage map: each pixel centred on its sample point, cut at the walls.
    const double dx =
        map->x.size() > 1 ? (map->x.back() - map->x.front()) / double(map->x.size() - 1) : 0;
    const double dy =
        map->y.size() > 1 ? (map->y.back() - map->y.front()) / double(map->y.size() - 1) : 0;
    const QRectF samples(QPointF(map->x.front() - dx / 2, map->y.front() - dy / 2),
                         QPointF(map->x.back() + dx / 2, map->y.back() + dy / 2));
    painter.save();
    painter.setClipRect(room);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(frame.toDevice(samples), stiImage(*map));
    painter.restore();

    painter.setBrush(Qt::NoBrush);
    if (map->margin > 0) {
        const QRectF listeners =
            scene.geometry.room.adjusted(map->margin, map->margin, -map->margin, -map->margin);
        painter.setPen(pen(painter, Qt::white, 1.0, Qt::DashLine));
        painter.drawRect(frame.toDevice(listeners));
    }
    painter.setPen(pen(painter, Qt::black, 1.2));
    painter.drawRect(room);
    drawSpeakers(painter, frame, scene.geometry);

    // The scale is the STI's own, 0 to 1, whatever the map holds; the target
    // is marked on it, its value above the bar.
    setFont(painter, 8);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double markRoom = metrics.height() + 3 * u;
    const QRectF legend(area.left(), room.bottom() + 8 * u + markRoom, area.width(),
                        (kStiLegendPoints - 8) * u - markRoom);
    drawLegend(painter, legend, LevelScale{0, 1}, texts.text(SpeechText::MapTitle), texts);
    if (target) {
        const QRectF bar = legendBar(legend, u);
        const double x = bar.left() + std::clamp(*target, 0.0, 1.0) * bar.width();
        for (const auto& [colour, width] :
             {std::pair(QColor(Qt::white), 3.0), std::pair(QColor(Qt::black), 1.4)}) {
            painter.setPen(pen(painter, colour, width));
            painter.drawLine(QPointF(x, bar.top() - 2 * u), QPointF(x, bar.bottom()));
        }
        const QString label = texts.text(SpeechText::Target) + u' ' + texts.fixed(*target, 2);
        const double labelWidth = metrics.horizontalAdvance(label);
        const double left = std::clamp(x - labelWidth / 2, bar.left(), bar.right() - labelWidth);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(left, bar.top() - 3 * u - metrics.descent()), label);
    }
    painter.restore();
}

} // namespace kvx::app
