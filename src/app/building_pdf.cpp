#include "app/building_pdf.h"

#include "app/printing.h"
#include "core/building/building_error.h"
#include "core/building/building_texts.h"
#include "core/ui/building_tables.h"
#include "core/ui/kvx1.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <functional>

namespace kvx::app {

namespace {

namespace Text = BuildingWindowText;

// The rooms' columns the schedule prints: the values a reader checks the
// room by, then its figures. All of them would not fit across a page.
const RoomColumn kRoomColumns[] = {
    RoomColumn::Name,        RoomColumn::Zone,    RoomColumn::Quantity,
    RoomColumn::Length,      RoomColumn::Width,   RoomColumn::Height,
    RoomColumn::Type,        RoomColumn::Tap,     RoomColumn::Spacing,
    RoomColumn::Grid,        RoomColumn::Count,   RoomColumn::SpeakerPower,
    RoomColumn::DirectLevel, RoomColumn::StiMean, RoomColumn::Loudspeakers,
    RoomColumn::Load,        RoomColumn::State,
};

const ZoneColumn kZoneColumns[] = {
    ZoneColumn::Name,          ZoneColumn::Line,           ZoneColumn::Amplifier,
    ZoneColumn::CableLength,   ZoneColumn::CrossSection,   ZoneColumn::Rooms,
    ZoneColumn::Loudspeakers,  ZoneColumn::Load,           ZoneColumn::MinimumAmplifier,
    ZoneColumn::AmplifierLoad, ZoneColumn::AmplifierState, ZoneColumn::Drop,
    ZoneColumn::CableState,
};

QColor stateColour(CellState state) {
    switch (state) {
    case CellState::Good:
        return QColor(0xc8, 0xf0, 0xc8);
    case CellState::Warning:
        return QColor(0xff, 0xe4, 0xa0);
    case CellState::Bad:
        return QColor(0xff, 0xc0, 0xc0);
    default:
        return {};
    }
}

struct Cell {
    QString text;
    CellState state = CellState::None;
    bool right = false; // numbers line up on the right
    bool wrap = false;  // the text runs over lines rather than being cut short
};

// Draws pages of a table: the title and heading on each page, as many rows
// as fit, then the next page.
class Pages {
public:
    Pages(QPdfWriter& writer, QPainter& painter, QString footer)
        : m_writer(writer)
        , m_painter(painter)
        , m_footer(std::move(footer)) {
        m_page = QRectF(0, 0, writer.width(), writer.height());
        m_line = QFontMetricsF(painter.font(), &writer).height() * 1.35;
    }

    bool newPage() {
        if (m_started) {
            drawFooter();
            if (!m_writer.newPage())
                return false;
        }
        m_started = true;
        m_y = 0;
        ++m_number;
        return true;
    }
    void finish() {
        if (m_started)
            drawFooter();
    }

    void title(const QString& text, double scale = 1.6) {
        QFont font = m_painter.font();
        const QFont old = font;
        font.setPointSizeF(font.pointSizeF() * scale);
        font.setBold(true);
        m_painter.setFont(font);
        m_y += m_line * scale * 0.3;
        m_painter.drawText(QRectF(0, m_y, m_page.width(), m_line * scale), Qt::AlignLeft, text);
        m_y += m_line * scale * 1.2;
        m_painter.setFont(old);
    }
    void line(const QString& text) {
        if (m_y + m_line > bottom())
            newPage();
        m_painter.drawText(QRectF(0, m_y, m_page.width(), m_line), Qt::AlignLeft, text);
        m_y += m_line;
    }
    void gap() { m_y += m_line * 0.6; }

    // A table; the widths from the texts, shrunk to the page when wider.
    bool table(const QString& caption, const QStringList& heading,
               const std::function<QList<Cell>(qsizetype)>& row, qsizetype rows) {
        const QFontMetricsF metrics(m_painter.font(), &m_writer);
        const double pad = metrics.averageCharWidth();
        QFont bold = m_painter.font();
        bold.setBold(true);
        const QFontMetricsF boldMetrics(bold, &m_writer);
        // A heading wraps at its blanks, so its longest word sets its least width.
        std::vector<double> widths(size_t(heading.size()));
        for (qsizetype c = 0; c < heading.size(); ++c) {
            for (const QString& word : heading[c].split(u' '))
                widths[size_t(c)] =
                    std::max(widths[size_t(c)], boldMetrics.horizontalAdvance(word) + 2 * pad);
        }
        // The widths from the first rows: enough to size a column by its kind
        // without measuring a hundred thousand rooms.
        for (qsizetype r = 0; r < std::min<qsizetype>(rows, 500); ++r) {
            const QList<Cell> cells = row(r);
            for (qsizetype c = 0; c < cells.size(); ++c)
                widths[size_t(c)] =
                    std::max(widths[size_t(c)], metrics.horizontalAdvance(cells[c].text) + 2 * pad);
        }
        // A column that wraps takes a sixth of the page at most (a first
        // one, the name, a ninth); then, when
        // the table is too wide, the widest columns (names) give way first,
        // down to one width, so that the numbers stay whole.
        std::vector<bool> wraps(widths.size(), false);
        if (rows > 0) {
            const QList<Cell> first = row(0);
            for (qsizetype c = 0; c < first.size(); ++c)
                wraps[size_t(c)] = first[c].wrap;
        }
        double room = m_page.width();
        for (size_t c = 0; c < widths.size(); ++c) {
            if (wraps[c]) {
                widths[c] = std::min(widths[c], m_page.width() / (c == 0 ? 9 : 6));
                room -= widths[c];
            }
        }
        const auto total = [&](double cap) {
            double sum = 0;
            for (size_t c = 0; c < widths.size(); ++c)
                sum += wraps[c] ? 0 : std::min(widths[c], cap);
            return sum;
        };
        if (total(1e12) > room) {
            double low = 0, high = room;
            for (int i = 0; i < 40; ++i) {
                const double mid = (low + high) / 2;
                (total(mid) > room ? high : low) = mid;
            }
            for (size_t c = 0; c < widths.size(); ++c) {
                if (!wraps[c])
                    widths[c] = std::min(widths[c], low);
            }
        }

        // A heading takes up to three lines; a cell that says why a room has
        // no figures wraps (never cut short: it is the row's whole message).
        const auto heightOf = [&](const QList<Cell>& cells, bool head) {
            double height = m_line;
            for (qsizetype c = 0; c < cells.size(); ++c) {
                if (!head && !cells[c].wrap)
                    continue;
                const QRectF needed =
                    (head ? boldMetrics : metrics)
                        .boundingRect(QRectF(0, 0, widths[size_t(c)] - 2 * pad, 1e9),
                                      Qt::TextWordWrap, cells[c].text);
                height = std::max(height, needed.height() + m_line * 0.35);
            }
            return std::min(height, m_line * (head ? 3.2 : 8));
        };
        const auto drawRow = [&](const QList<Cell>& cells, bool head) {
            const double height = heightOf(cells, head);
            double x = 0;
            for (qsizetype c = 0; c < cells.size(); ++c) {
                const QRectF box(x, m_y, widths[size_t(c)], height);
                const QColor colour = stateColour(cells[c].state);
                if (colour.isValid())
                    m_painter.fillRect(box, colour);
                else if (head)
                    m_painter.fillRect(box, QColor(0xe8, 0xe8, 0xe8));
                const bool wrap = head || cells[c].wrap;
                const QString text =
                    wrap ? cells[c].text
                         : metrics.elidedText(cells[c].text, Qt::ElideRight, box.width() - 2 * pad);
                m_painter.drawText(box.adjusted(pad, 0, -pad, 0),
                                   Qt::AlignVCenter | (wrap ? Qt::TextWordWrap : 0) |
                                       (cells[c].right ? Qt::AlignRight : Qt::AlignLeft),
                                   text);
                x += widths[size_t(c)];
            }
            m_painter.save();
            m_painter.setPen(QPen(Qt::gray, 0));
            m_painter.drawLine(QPointF(0, m_y + height), QPointF(x, m_y + height));
            m_painter.restore();
            m_y += height;
        };
        QList<Cell> head;
        for (const QString& h : heading)
            head << Cell{h, CellState::None, false};
        const auto heads = [&] {
            const QFont old = m_painter.font();
            m_painter.setFont(bold);
            drawRow(head, true);
            m_painter.setFont(old);
        };
        title(caption, 1.3);
        heads();
        for (qsizetype r = 0; r < rows; ++r) {
            const QList<Cell> cells = row(r);
            if (m_y + heightOf(cells, false) > bottom()) {
                if (!newPage())
                    return false;
                title(caption, 1.3);
                heads();
            }
            drawRow(cells, false);
        }
        return true;
    }

private:
    double bottom() const { return m_page.height() - m_line * 1.5; }
    void drawFooter() {
        m_painter.drawText(QRectF(0, m_page.height() - m_line, m_page.width(), m_line),
                           Qt::AlignRight | Qt::AlignVCenter,
                           m_footer + QStringLiteral("   %1").arg(m_number));
    }

    QPdfWriter& m_writer;
    QPainter& m_painter;
    QString m_footer;
    QRectF m_page;
    double m_line = 0;
    double m_y = 0;
    int m_number = 0;
    bool m_started = false;
};

} // namespace

std::optional<QString> writeSchedule(const QString& path, const BuildingDocument& document,
                                     const RoomsTableModel& rooms, const ZonesTableModel& zones) {
    const LocalTexts texts = document.texts();
    const Building& building = document.building();
    const BuildingFigures* figures = document.figures();
    const auto failed = [&](const QString& why) {
        BuildingError error;
        error.kind = BuildingError::Kind::CannotWrite;
        error.file = path;
        error.detail = why;
        return buildingErrorText(error, texts);
    };
    if (!figures)
        return failed(texts.text(Text::NotCalculated));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setTitle(building.name.isEmpty()
                            ? QFileInfo(document.displayName()).completeBaseName()
                            : building.name);
        writer.setCreator(document.kvx().texts.ProgramTitle);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(printerPaper(), QPageLayout::Landscape,
                                         QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer))
            return failed(file.errorString());
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(7);
        painter.setFont(font);
        const QString name = building.name.isEmpty() ? document.displayName() : building.name;
        Pages pages(writer, painter, name);
        bool ok = pages.newPage();

        // The cover: the totals and the bill.
        pages.title(name, 2.2);
        qint64 roomCount = 0, loudspeakers = 0;
        double load = 0;
        for (const ZoneFigures& z : figures->zones) {
            roomCount += z.calculatedRooms;
            loudspeakers += z.loudspeakers;
            load += z.load;
        }
        const QLocale& locale = texts.locale;
        const auto colon = [](const QString& a, const QString& b) {
            return a + QStringLiteral(": ") + b;
        };
        pages.line(colon(
            texts.text(Text::FirstZoneColumn + int(ZoneColumn::Rooms) - int(ZoneColumn::Line)),
            locale.toString(roomCount)));
        pages.line(colon(texts.text(Text::FirstRoomColumn + int(RoomColumn::Loudspeakers)),
                         locale.toString(loudspeakers)));
        pages.line(colon(texts.text(Text::FirstRoomColumn + int(RoomColumn::Load)),
                         locale.toString(load, 'f', 1) + QStringLiteral(" W")));
        pages.gap();
        pages.title(texts.text(Text::BillTab), 1.3);
        for (const QString& line : billLines(building, *figures, texts))
            pages.line(line);

        // The rooms.
        ok = ok && pages.newPage();
        QStringList heading;
        for (RoomColumn c : kRoomColumns)
            heading << roomColumnTitle(c, texts, building.units);
        ok = ok && pages.table(
                       texts.text(Text::RoomsTab), heading,
                       [&](qsizetype r) {
                           QList<Cell> cells;
                           for (RoomColumn c : kRoomColumns) {
                               const bool text = c == RoomColumn::Name || c == RoomColumn::Zone ||
                                                 c == RoomColumn::Type || c == RoomColumn::State;
                               cells << Cell{rooms.text(r, c), rooms.state(r, c), !text,
                                             c == RoomColumn::State || c == RoomColumn::Name};
                           }
                           return cells;
                       },
                       building.rooms.size());

        // The zones.
        ok = ok && pages.newPage();
        heading.clear();
        for (ZoneColumn c : kZoneColumns)
            heading << zoneColumnTitle(c, texts, building.units);
        ok = ok && pages.table(
                       texts.text(Text::ZonesTab), heading,
                       [&](qsizetype r) {
                           QList<Cell> cells;
                           for (ZoneColumn c : kZoneColumns) {
                               const bool text = c == ZoneColumn::Name ||
                                                 c == ZoneColumn::AmplifierState ||
                                                 c == ZoneColumn::CableState;
                               cells << Cell{zones.text(int(r), c), zones.state(int(r), c), !text};
                           }
                           return cells;
                       },
                       zones.rowCount());
        pages.finish();
        if (!painter.end() || !ok)
            return failed(file.errorString());
    }
    if (!file.commit())
        return failed(file.errorString());
    return std::nullopt;
}

} // namespace kvx::app
