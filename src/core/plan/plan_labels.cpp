#include "core/plan/plan_labels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <unordered_map>

namespace kvx {

RoomFrame::RoomFrame(const QRectF& room, const QRectF& area) {
    if (room.width() <= 0 || room.height() <= 0 || area.width() <= 0 || area.height() <= 0)
        return;
    m_scale = std::min(area.width() / room.width(), area.height() / room.height());
    const QPointF lowerLeft(area.center().x() - room.width() * m_scale / 2,
                            area.center().y() + room.height() * m_scale / 2);
    m_origin = lowerLeft + QPointF(-room.left() * m_scale, room.top() * m_scale);
}

QPointF RoomFrame::toDevice(QPointF metres) const {
    return {m_origin.x() + metres.x() * m_scale, m_origin.y() - metres.y() * m_scale};
}

QPointF RoomFrame::toRoom(QPointF device) const {
    if (!isValid())
        return {};
    return {(device.x() - m_origin.x()) / m_scale, (m_origin.y() - device.y()) / m_scale};
}

QRectF RoomFrame::toDevice(const QRectF& metres) const {
    return QRectF(toDevice(metres.topLeft()), toDevice(metres.bottomRight())).normalized();
}

QPointF PlacedDimension::outward() const {
    switch (side) {
    case DimensionSide::Bottom:
        return {0, -1};
    case DimensionSide::Top:
        return {0, 1};
    case DimensionSide::Left:
        return {-1, 0};
    case DimensionSide::Right:
        return {1, 0};
    }
    return {};
}

namespace {

std::pair<double, double> span(const PlacedDimension& p) {
    return p.horizontal() ? std::pair(p.from.x(), p.to.x()) : std::pair(p.from.y(), p.to.y());
}

// Lengths of the room closer than this are the same.
double toleranceOf(const QRectF& room) {
    return 1e-9 * std::max({1.0, room.width(), room.height()});
}

// Whether two dimensions would share a line: the same side, the same tier
// and overlapping spans.
bool shareLine(const PlacedDimension& a, const PlacedDimension& b, double tolerance) {
    const auto [alo, ahi] = span(a);
    const auto [blo, bhi] = span(b);
    return a.side == b.side && a.tier == b.tier && alo < bhi - tolerance && blo < ahi - tolerance;
}

// Shorter dimensions first: they lie nearer the wall.
std::vector<std::size_t> shortestFirst(const std::vector<PlacedDimension>& placed) {
    std::vector<std::size_t> order(placed.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return span(placed[a]).second - span(placed[a]).first <
               span(placed[b]).second - span(placed[b]).first;
    });
    return order;
}

} // namespace

std::vector<PlacedDimension> placeDimensions(const PlanGeometry& geometry) {
    const QRectF& room = geometry.room;
    const double tolerance = toleranceOf(room);
    const auto near = [tolerance](double a, double b) { return std::abs(a - b) <= tolerance; };
    std::vector<PlacedDimension> placed;
    for (const PlanGeometry::Dimension& d : geometry.dimensions) {
        const bool horizontal = near(d.from.y(), d.to.y());
        const bool vertical = near(d.from.x(), d.to.x());
        // A spacing of a single row or column measures nothing.
        if (horizontal == vertical)
            continue;
        PlacedDimension p;
        p.text = d.text;
        if (horizontal) {
            p.side = near(d.from.y(), room.bottom()) ? DimensionSide::Top : DimensionSide::Bottom;
            const double wall = p.side == DimensionSide::Top ? room.bottom() : room.top();
            p.from = {std::min(d.from.x(), d.to.x()), wall};
            p.to = {std::max(d.from.x(), d.to.x()), wall};
        } else {
            p.side = near(d.from.x(), room.right()) ? DimensionSide::Right : DimensionSide::Left;
            const double wall = p.side == DimensionSide::Right ? room.right() : room.left();
            p.from = {wall, std::min(d.from.y(), d.to.y())};
            p.to = {wall, std::max(d.from.y(), d.to.y())};
        }
        placed.push_back(p);
    }
    // One that overlaps another on its tier moves a tier further out, so
    // that chains share a line.
    const std::vector<std::size_t> order = shortestFirst(placed);
    for (std::size_t n = 0; n < order.size(); ++n) {
        PlacedDimension& p = placed[order[n]];
        const auto clashes = [&] {
            return std::any_of(order.begin(), order.begin() + std::ptrdiff_t(n),
                               [&](std::size_t i) { return shareLine(placed[i], p, tolerance); });
        };
        p.tier = 1;
        while (clashes())
            ++p.tier;
    }
    return placed;
}

double PlanTextMetrics::step() const {
    return 2.4 * (dimensionText ? dimensionText(QStringLiteral("0")).height() : 10 * point);
}

namespace {

// Whether the insides of two boxes meet; a box of no width or height is a
// line, which meets a box it crosses.
bool meet(const QRectF& a, const QRectF& b) {
    return a.left() < b.right() && b.left() < a.right() && a.top() < b.bottom() &&
           b.top() < a.bottom();
}

bool within(const QRectF& inner, const QRectF& outer) {
    const double slack = 1e-9 * std::max(1.0, outer.width() + outer.height());
    return inner.left() >= outer.left() - slack && inner.right() <= outer.right() + slack &&
           inner.top() >= outer.top() - slack && inner.bottom() <= outer.bottom() + slack;
}

QRectF segment(QPointF a, QPointF b) {
    return QRectF(a, b).normalized();
}

constexpr std::size_t sideIndex(DimensionSide side) {
    return std::size_t(side);
}

// The dimensions' places with the room in one frame: each one's line on a
// tier of its side and its text in a box beside that line.
class TextPlacer {
public:
    TextPlacer(const std::vector<PlacedDimension>& dimensions, const std::vector<QSizeF>& sizes,
               const RoomFrame& frame, const QRectF& area, const std::array<int, 4>& reserved,
               const PlanTextMetrics& metrics, const QRectF& room)
        : m_dimensions(dimensions)
        , m_tolerance(toleranceOf(room))
        , m_order(shortestFirst(dimensions)) {
        const QRectF roomBox = frame.toDevice(room).adjusted(-metrics.point, -metrics.point,
                                                             metrics.point, metrics.point);
        m_places.resize(dimensions.size());
        for (std::size_t i = 0; i < dimensions.size(); ++i)
            m_places[i] = placesInArea(dimensions[i], sizes[i], frame, area, roomBox,
                                       reserved[sideIndex(dimensions[i].side)] + 1, metrics);
        // The least each of the remaining dimensions can cost, for pruning.
        m_least.assign(m_order.size() + 1, 0);
        for (std::size_t n = m_order.size(); n-- > 0;) {
            int least = std::numeric_limits<int>::max() / 4;
            for (const Place& place : m_places[m_order[n]])
                least = std::min(least, place.cost);
            m_least[n] = m_least[n + 1] + least;
        }
    }

    // Every text placed, at the least cost found within a budget of tries
    // (a tier further out costs more than a text beside its line); nothing
    // when no way to place them all was found.
    std::optional<std::vector<PlanDrawingLayout::Dimension>> complete() {
        m_chosen.clear();
        m_best.reset();
        m_bestCost = std::numeric_limits<int>::max();
        m_budget = 20000;
        search(0, 0);
        return m_best;
    }

    // Each text in its first free place, in order; those without one left
    // out, their sides marked.
    std::vector<PlanDrawingLayout::Dimension> firstFree(std::array<bool, 4>& failed) {
        m_chosen.clear();
        for (std::size_t index : m_order) {
            const auto free = std::find_if(m_places[index].begin(), m_places[index].end(),
                                           [&](const Place& place) { return isFree(place); });
            if (free == m_places[index].end())
                failed[sideIndex(m_dimensions[index].side)] = true;
            else
                m_chosen.push_back(&*free);
        }
        return chosen();
    }

private:
    struct Place {
        PlanDrawingLayout::Dimension drawn;
        std::array<QRectF, 3> lines; // the dimension line and its two extension lines
        QRectF padded;               // the text's box with the gap it keeps
        // Beside the line, where its text would stand: another text there
        // would read as this line's.
        QRectF lane;
        int cost = 0;
    };

    // The places of a dimension's text inside the drawing and off the room,
    // the preferred first: nearer the wall first, and on each tier centred
    // on the line when it fits between the extension lines, else before the
    // line's start, else past its end. A tier further out costs more than
    // a text beside its line.
    static std::vector<Place> placesInArea(const PlacedDimension& d, QSizeF size,
                                           const RoomFrame& frame, const QRectF& area,
                                           const QRectF& roomBox, int tiers,
                                           const PlanTextMetrics& metrics) {
        const double u = metrics.point;
        const double step = metrics.step();
        const QPointF out = d.outwardOnDevice();
        const QPointF wallFrom = frame.toDevice(d.from);
        const QPointF wallTo = frame.toDevice(d.to);
        const double w = size.width();
        const double h = size.height();
        std::vector<Place> places;
        for (int tier = 1; tier <= tiers; ++tier) {
            const QPointF a = wallFrom + out * (tier * step);
            const QPointF b = wallTo + out * (tier * step);
            const std::array<QRectF, 3> lines = {
                segment(a, b), segment(wallFrom + out * (1.5 * u), a + out * (1.5 * u)),
                segment(wallTo + out * (1.5 * u), b + out * (1.5 * u))};
            if (!std::all_of(lines.begin(), lines.end(),
                             [&](const QRectF& line) { return within(line, area); }))
                continue;
            const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
            const bool centred = w + 2 * u <= length;
            std::vector<QRectF> boxes;
            if (d.horizontal()) {
                const double top =
                    d.side == DimensionSide::Bottom ? a.y() + 1.5 * u : a.y() - 1.5 * u - h;
                if (centred)
                    boxes.emplace_back((a.x() + b.x()) / 2 - w / 2, top, w, h);
                boxes.emplace_back(a.x() - 3 * u - w, top, w, h);
                boxes.emplace_back(b.x() + 3 * u, top, w, h);
            } else {
                // Upright text reads from the bottom up; from lies lower.
                const double left =
                    d.side == DimensionSide::Right ? a.x() + 1.5 * u : a.x() - 1.5 * u - h;
                if (centred)
                    boxes.emplace_back(left, (a.y() + b.y()) / 2 - w / 2, h, w);
                boxes.emplace_back(left, a.y() + 3 * u, h, w);
                boxes.emplace_back(left, b.y() - 3 * u - w, h, w);
            }
            for (std::size_t k = 0; k < boxes.size(); ++k) {
                const QRectF& label = boxes[k];
                if (!within(label, area) || meet(label, roomBox))
                    continue;
                PlacedDimension drawn = d;
                drawn.tier = tier;
                // Two texts keep a gap, so that they do not read as one.
                const QRectF padded = label.adjusted(-1.5 * u, -1.5 * u, 1.5 * u, 1.5 * u);
                const int cost = 3 * (tier - 1) + (centred && k == 0 ? 0 : 1);
                const QRectF lane = QRectF(a, b + out * (1.5 * u + h)).normalized();
                places.push_back(
                    {{drawn, a, b, wallFrom, wallTo, label}, lines, padded, lane, cost});
            }
        }
        return places;
    }

    // Whether a place is free of the dimensions placed so far: its line
    // shares its tier with no other it would overlap, its lines cross no
    // text and its text meets no text or line.
    bool isFree(const Place& place) const {
        const QRectF& label = place.drawn.label;
        const auto crosses = [](const std::array<QRectF, 3>& lines, const QRectF& box) {
            return std::any_of(lines.begin(), lines.end(),
                               [&](const QRectF& line) { return meet(line, box); });
        };
        return std::none_of(m_chosen.begin(), m_chosen.end(), [&](const Place* other) {
            return meet(label, other->lane) || meet(place.lane, other->drawn.label) ||
                   shareLine(place.drawn.placed, other->drawn.placed, m_tolerance) ||
                   crosses(place.lines, other->drawn.label) || meet(place.padded, other->padded) ||
                   crosses(other->lines, label);
        });
    }

    // How many shorter dimensions of its side lie further out than a place:
    // a drawing reads best with the longer ones outside.
    int insideShorter(const Place& place) const {
        const PlacedDimension& d = place.drawn.placed;
        const auto [lo, hi] = span(d);
        return int(std::count_if(m_chosen.begin(), m_chosen.end(), [&](const Place* chosen) {
            const PlacedDimension& other = chosen->drawn.placed;
            const auto [olo, ohi] = span(other);
            return other.side == d.side && other.tier > d.tier && ohi - olo < hi - lo - m_tolerance;
        }));
    }

    std::vector<PlanDrawingLayout::Dimension> chosen() const {
        std::vector<PlanDrawingLayout::Dimension> drawn;
        drawn.reserve(m_chosen.size());
        for (const Place* place : m_chosen)
            drawn.push_back(place->drawn);
        return drawn;
    }

    void search(std::size_t n, int cost) {
        if (cost + m_least[n] >= m_bestCost)
            return;
        if (n == m_order.size()) {
            m_best = chosen();
            m_bestCost = cost;
            return;
        }
        for (const Place& place : m_places[m_order[n]]) {
            if (--m_budget < 0)
                return;
            if (!isFree(place))
                continue;
            m_chosen.push_back(&place);
            search(n + 1, cost + place.cost + 3 * insideShorter(place));
            m_chosen.pop_back();
        }
    }

    const std::vector<PlacedDimension>& m_dimensions;
    const double m_tolerance;
    const std::vector<std::size_t> m_order;
    std::vector<std::vector<Place>> m_places; // by dimension
    std::vector<int> m_least;                 // by position in m_order, of the rest
    std::vector<const Place*> m_chosen;       // the places taken so far, in m_order
    std::optional<std::vector<PlanDrawingLayout::Dimension>> m_best;
    int m_bestCost = 0;
    int m_budget = 0;
};

} // namespace

double closestSpeakers(const PlanGeometry& geometry) {
    double closest = std::min(geometry.room.width(), geometry.room.height());
    if (geometry.speakers.size() < 2)
        return closest;
    const QPointF first = geometry.speakers[0].position;
    for (std::size_t i = 1; i < std::min<std::size_t>(geometry.speakers.size(), 3); ++i) {
        const QPointF d = geometry.speakers[i].position - first;
        closest = std::min(closest, std::hypot(d.x(), d.y()));
    }
    // The first of the next row.
    for (const auto& s : geometry.speakers) {
        if (std::abs(s.position.y() - first.y()) > 1e-9) {
            closest = std::min(closest, s.position.y() - first.y());
            break;
        }
    }
    return closest;
}

namespace {

// Each number beside its mark, meeting no other number or mark: all on the
// same side of their marks (up and to the right first) when they all fit in
// the room, else each where it first fits, in the room before the drawing;
// all of them or none.
std::vector<QRectF> placeNumbers(const PlanGeometry& geometry, const RoomFrame& frame,
                                 double radius, double spacing, const PlanTextMetrics& metrics,
                                 const QRectF& area, const std::vector<QRectF>& dimensions) {
    const double u = metrics.point;
    if (!metrics.numberText || geometry.speakers.empty())
        return {};
    const QSizeF widest = metrics.numberText(QString::number(geometry.speakers.back().number));
    // Numbers that would run into each other are left out (the table lists them).
    if (spacing < widest.width() + 2 * radius + 2 * u || spacing < 2.2 * widest.height())
        return {};
    // Inside the room is clear of its walls' thick line.
    const QRectF room =
        frame.toDevice(geometry.room).adjusted(1.5 * u, 1.5 * u, -1.5 * u, -1.5 * u);
    // Marks and numbers by the cell of their centre: any of them is smaller
    // than a cell, so one that meets a box lies in a neighbouring cell.
    struct Item {
        QRectF box;
        bool mark = false; // a circle in box
    };
    std::unordered_map<qint64, std::vector<Item>> cells;
    const auto cellOf = [&](QPointF p) {
        const auto cx = qint64(std::floor((p.x() - room.left()) / spacing));
        const auto cy = qint64(std::floor((p.y() - room.top()) / spacing));
        return std::pair(cx, cy);
    };
    const auto add = [&](const QRectF& box, bool mark) {
        const auto [cx, cy] = cellOf(box.center());
        cells[cx * 4000003 + cy].push_back({box, mark});
    };
    const auto meetsItem = [](const QRectF& box, const Item& item) {
        if (!item.mark)
            return meet(box, item.box);
        const QPointF c = item.box.center();
        const double dx = std::max({box.left() - c.x(), 0.0, c.x() - box.right()});
        const double dy = std::max({box.top() - c.y(), 0.0, c.y() - box.bottom()});
        return dx * dx + dy * dy < item.box.width() * item.box.width() / 4;
    };
    const auto taken = [&](const QRectF& box) {
        const auto [cx, cy] = cellOf(box.center());
        for (qint64 x = cx - 1; x <= cx + 1; ++x)
            for (qint64 y = cy - 1; y <= cy + 1; ++y) {
                const auto found = cells.find(x * 4000003 + y);
                if (found == cells.end())
                    continue;
                for (const Item& other : found->second)
                    if (meetsItem(box, other))
                        return true;
            }
        return false;
    };
    for (const auto& s : geometry.speakers) {
        const QPointF p = frame.toDevice(s.position);
        add(QRectF(p.x() - radius, p.y() - radius, 2 * radius, 2 * radius), true);
    }
    const double off = 0.8 * radius + 0.5 * u;
    const auto candidatesOf = [&](const PlanGeometry::Speaker& s) {
        const QPointF p = frame.toDevice(s.position);
        const QSizeF size = metrics.numberText(QString::number(s.number));
        const double w = size.width();
        const double h = size.height();
        const double beside = radius + 0.75 * u;
        return std::array<QRectF, 6>{QRectF(p.x() + off, p.y() - off - h, w, h),
                                     QRectF(p.x() + beside, p.y() - h / 2, w, h),
                                     QRectF(p.x() - off - w, p.y() - off - h, w, h),
                                     QRectF(p.x() + off, p.y() + off, w, h),
                                     QRectF(p.x() - off - w, p.y() + off, w, h),
                                     QRectF(p.x() - beside - w, p.y() - h / 2, w, h)};
    };
    const auto inRoom = [&](const QRectF& c) { return within(c, room) && !taken(c); };
    // In a narrow room a number may reach over the wall, not over a
    // dimension or out of the drawing.
    const auto inDrawing = [&](const QRectF& c) {
        return within(c, area) && !taken(c) &&
               std::none_of(dimensions.begin(), dimensions.end(),
                            [&](const QRectF& d) { return meet(c, d); });
    };
    const auto marks = cells;
    std::vector<QRectF> numbers;
    numbers.reserve(geometry.speakers.size());
    // Best every number on the same side of its mark, inside the room.
    for (std::size_t side = 0; side < 6; ++side) {
        cells = marks;
        numbers.clear();
        for (const auto& s : geometry.speakers) {
            const QRectF c = candidatesOf(s)[side];
            if (!inRoom(c))
                break;
            numbers.push_back(c);
            add(c, false);
        }
        if (numbers.size() == geometry.speakers.size())
            return numbers;
    }
    // Else each where it fits, the room before the drawing.
    cells = marks;
    numbers.clear();
    for (const auto& s : geometry.speakers) {
        const auto candidates = candidatesOf(s);
        auto free = std::find_if(candidates.begin(), candidates.end(), inRoom);
        if (free == candidates.end())
            free = std::find_if(candidates.begin(), candidates.end(), inDrawing);
        if (free == candidates.end())
            return {};
        numbers.push_back(*free);
        add(*free, false);
    }
    return numbers;
}

} // namespace

PlanDrawingLayout layoutPlanDrawing(const PlanGeometry& geometry, const QRectF& area,
                                    const PlanTextMetrics& metrics) {
    PlanDrawingLayout layout;
    const double u = metrics.point;
    const double step = metrics.step();
    const std::vector<PlacedDimension> dimensions = placeDimensions(geometry);
    std::vector<QSizeF> sizes;
    sizes.reserve(dimensions.size());
    for (const PlacedDimension& d : dimensions)
        sizes.push_back(metrics.dimensionText ? metrics.dimensionText(d.text) : QSizeF());
    // Room for the dimensions outside the walls, and for the marks on the
    // walls; a side whose text finds no place gets one more line, which
    // makes the room smaller, until the texts fit or nothing more helps.
    std::array<int, 4> reserved{};
    for (const PlacedDimension& d : dimensions)
        reserved[sideIndex(d.side)] = std::max(reserved[sideIndex(d.side)], d.tier);
    constexpr int kMostLines = 8;
    const double edge = 7 * u;
    for (;;) {
        const QRectF inner =
            area.adjusted(edge + reserved[sideIndex(DimensionSide::Left)] * step,
                          edge + reserved[sideIndex(DimensionSide::Top)] * step,
                          -edge - reserved[sideIndex(DimensionSide::Right)] * step,
                          -edge - reserved[sideIndex(DimensionSide::Bottom)] * step);
        const RoomFrame frame(geometry.room, inner);
        if (!frame.isValid())
            break;
        TextPlacer placer(dimensions, sizes, frame, area, reserved, metrics, geometry.room);
        if (auto all = placer.complete()) {
            layout.frame = frame;
            layout.dimensions = std::move(*all);
            break;
        }
        std::array<bool, 4> failed{};
        std::vector<PlanDrawingLayout::Dimension> some = placer.firstFree(failed);
        // A smaller room is worth it only for more dimensions shown.
        if (!layout.frame.isValid() || some.size() > layout.dimensions.size()) {
            layout.frame = frame;
            layout.dimensions = std::move(some);
        }
        bool more = false;
        for (std::size_t side = 0; side < 4; ++side)
            if (failed[side] && reserved[side] < kMostLines) {
                ++reserved[side];
                more = true;
            }
        if (!more)
            break;
    }
    if (!layout.frame.isValid() || geometry.speakers.empty())
        return layout;

    const double spacing = closestSpeakers(geometry) * layout.frame.scale();
    // Closer than the marks could be told apart: an area stands for them.
    if (spacing < 2 * u)
        return layout;
    layout.markRadius = std::clamp(0.2 * spacing, 0.6 * u, 6 * u);
    std::vector<QRectF> drawn; // the dimensions' texts and lines
    for (const PlanDrawingLayout::Dimension& d : layout.dimensions) {
        const QPointF out = d.placed.outwardOnDevice();
        drawn.push_back(d.label.adjusted(-1.5 * u, -1.5 * u, 1.5 * u, 1.5 * u));
        drawn.push_back(segment(d.lineFrom, d.lineTo));
        drawn.push_back(segment(d.wallFrom, d.lineFrom + out * (1.5 * u)));
        drawn.push_back(segment(d.wallTo, d.lineTo + out * (1.5 * u)));
    }
    layout.numbers =
        placeNumbers(geometry, layout.frame, layout.markRadius, spacing, metrics, area, drawn);
    return layout;
}

} // namespace kvx
