#include "app/plan_export.h"

#include "app/plan_texts.h"
#include "app/printing.h"
#include "core/base/kvx_error.h"
#include "core/base/save_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QPrinter>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSvgGenerator>

#include <dl_dxf.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>

#include <unistd.h>

namespace kvx::app {

namespace {

// Why an export failed, for the message.
struct WriteFailure {
    QString reason;
};

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Bytes made in memory go to the file through QSaveFile: renamed over the
// target once they are all on the disk.
void saveBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly))
        throw WriteFailure{file.errorString()};
    if (!writeSaveFile(file, bytes, &reason))
        throw WriteFailure{reason};
}

// A file that a library writes by name: it is written under a temporary name
// beside the target and renamed over it when complete. The result is an
// ordinary file of the user's: it keeps the permissions of the file it
// replaces, and a new one gets those every new file gets (the umask decides).
class Replacement {
public:
    explicit Replacement(const QString& target)
        : m_target(target) {
        // Created as any new file is, so the umask applies; a name that is
        // taken meanwhile is passed over.
        const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
        for (int attempt = 0;; ++attempt) {
            QString name = target + u'.';
            for (int i = 0; i < 6; ++i)
                name += letters.at(int(QRandomGenerator::global()->bounded(letters.size())));
            m_file.setFileName(name);
            if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                break;
            if (attempt >= 16 || !QFileInfo::exists(name))
                throw WriteFailure{m_file.errorString()};
        }
        m_file.close();
    }
    ~Replacement() {
        if (!m_committed)
            QFile::remove(path());
    }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    QString path() const { return m_file.fileName(); }

    void commit() {
        QFile file(path());
        if (!file.open(QIODevice::ReadWrite) || ::fsync(file.handle()) != 0)
            throw WriteFailure{file.errorString()};
        file.close();
        const QFileInfo old(m_target);
        if (old.isFile())
            QFile::setPermissions(path(), old.permissions());
        // rename() replaces an existing file in one step.
        if (std::rename(QFile::encodeName(path()).constData(),
                        QFile::encodeName(m_target).constData()) != 0)
            throw WriteFailure{systemError(errno)};
        m_committed = true;
    }

private:
    QString m_target;
    QFile m_file;
    bool m_committed = false;
};

// Pictures are drawn 10 inches wide: 720 points.
constexpr double kPictureWidthPoints = 720;

QByteArray pngBytes(const PlanExport& what) {
    // 150 dots per inch: sharp on screen and on paper.
    constexpr double dpi = 150;
    const QSizeF points = sheetSize(*what.scene, what.picture, kPictureWidthPoints);
    QImage image(QSize(int(std::ceil(points.width() * dpi / 72)),
                       int(std::ceil(points.height() * dpi / 72))),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    image.fill(Qt::white);
    QPainter painter(&image);
    const double margin = 18 * dpi / 72;
    drawSheet(painter, QRectF(image.rect()).adjusted(margin, margin, -margin, -margin), *what.scene,
              what.picture, *what.texts);
    painter.end();

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        throw WriteFailure{writer.errorString()};
    return bytes;
}

QByteArray svgBytes(const PlanExport& what) {
    constexpr double dpi = 96;
    const QSizeF points = sheetSize(*what.scene, what.picture, kPictureWidthPoints);
    const QSize size(int(std::ceil(points.width() * dpi / 72)),
                     int(std::ceil(points.height() * dpi / 72)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(int(dpi));
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(what.texts->plain(PlanViewText::Title));
    QPainter painter;
    if (!painter.begin(&generator))
        throw WriteFailure{QStringLiteral("the drawing cannot be started.")};
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const double margin = 18 * dpi / 72;
    drawSheet(painter, QRectF(QPointF(0, 0), size).adjusted(margin, margin, -margin, -margin),
              *what.scene, what.picture, *what.texts);
    painter.end();
    return bytes;
}

void writePdf(const QString& path, const PlanExport& what) {
    Replacement file(path);
    QPrinter printer(QPrinter::HighResolution);
    setUpPdf(printer, path);
    printer.setOutputFileName(file.path());
    QPainter painter;
    if (!painter.begin(&printer))
        throw WriteFailure{QStringLiteral("the document cannot be started.")};
    bool ok = true;
    bool first = true;
    if (what.report) {
        try {
            ok = drawReport(painter, printer, what.report);
        } catch (const KvxError& error) {
            painter.end();
            throw WriteFailure{error.message()};
        }
        first = false;
    }
    const QRectF page(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    for (Sheet sheet : {Sheet::Plan, Sheet::Coverage1k, Sheet::Coverage4k}) {
        if (!first)
            ok = printer.newPage() && ok;
        first = false;
        drawSheet(painter, page, *what.scene, sheet, *what.texts);
    }
    if (what.system) {
        ok = printer.newPage() && ok;
        what.system(painter, page);
    }
    if (what.speech) {
        ok = printer.newPage() && ok;
        what.speech(painter, page);
    }
    if (!painter.end() || !ok || printer.printerState() == QPrinter::Error)
        throw WriteFailure{QStringLiteral("writing failed.")};
    file.commit();
}

// A text for a DXF file: its code page cannot hold every character of the
// user's language, so what is not ASCII goes as \U+XXXX, which CAD reads.
std::string dxfText(const QString& text) {
    std::string out;
    for (const char32_t c : text.toUcs4()) {
        if (c < 128 && c >= 32) {
            out += char(c);
        } else if (c >= 128) {
            char code[16];
            std::snprintf(code, sizeof code, "\\U+%04X", unsigned(c));
            out += code;
        }
    }
    return out;
}

DL_Attributes onLayer(const QString& layer) {
    return DL_Attributes(layer.toStdString(), 256, -1, "BYLAYER", 1.0); // colour and width by layer
}

void writeDxfTables(DL_Dxf& dxf, DL_WriterA& dw) {
    dw.sectionTables();
    dxf.writeVPort(dw);
    dw.tableLinetypes(3);
    dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "BYBLOCK", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "BYLAYER", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Continuous", 0, 0, 0.0));
    dw.tableEnd();
    // Colours by AutoCAD index: the room in the drawing's colour, the
    // loudspeakers red, their numbers blue, the dimensions grey.
    const std::pair<QString, int> layers[] = {
        {QStringLiteral("0"), 7}, {kDxfRoomLayer, 7},      {kDxfSpeakerLayer, 1},
        {kDxfNumberLayer, 5},     {kDxfDimensionLayer, 8}, {kDxfNoteLayer, 7},
    };
    dw.tableLayers(int(std::size(layers)));
    for (const auto& [name, colour] : layers)
        dxf.writeLayer(dw, DL_LayerData(name.toStdString(), 0),
                       DL_Attributes("", colour, -3, "CONTINUOUS", 1.0));
    dw.tableEnd();
    dw.tableStyle(1);
    // dxflib keeps the handle of the style named exactly "Standard" for the
    // dimension style to point at; under any other name that pointer is unset.
    dxf.writeStyle(dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 0.2, "txt", ""));
    dw.tableEnd();
    dxf.writeView(dw);
    dxf.writeUcs(dw);
    dw.tableAppid(1);
    dxf.writeAppid(dw, "ACAD");
    dw.tableEnd();
    dxf.writeDimStyle(dw, 1, 1, 1, 1, 1);
    dxf.writeBlockRecord(dw);
    dw.tableEnd();
    dw.sectionEnd();

    dw.sectionBlocks();
    for (const char* block : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
        dxf.writeBlock(dw, DL_BlockData(block, 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(dw, block);
    }
    dw.sectionEnd();
}

// angle: counter-clockwise, in radians (dxflib writes it in degrees).
void writeDxfText(DL_Dxf& dxf, DL_WriterA& dw, QPointF at, double height, const QString& text,
                  const QString& layer, double angle = 0) {
    dxf.writeText(dw,
                  DL_TextData(at.x(), at.y(), 0, at.x(), at.y(), 0, height, 1.0, 0, 0, 0,
                              dxfText(text), "Standard", angle),
                  onLayer(layer));
}

// The plan in drawing units: metres, or feet when the user works in feet.
PlanGeometry dxfGeometry(const PlanGeometry& metres, double scale) {
    PlanGeometry drawn = metres;
    drawn.room = QRectF(metres.room.topLeft() * scale, metres.room.size() * scale);
    for (PlanGeometry::Speaker& s : drawn.speakers)
        s.position *= scale;
    for (PlanGeometry::Dimension& d : drawn.dimensions) {
        d.from *= scale;
        d.to *= scale;
    }
    return drawn;
}

void writeDxfEntities(DL_Dxf& dxf, DL_WriterA& dw, const PlanScene& scene, const PlanTexts& texts) {
    const double scale = texts.units() == Units::Imperial ? metresToFeet(1) : 1;
    const PlanGeometry geometry = dxfGeometry(scene.geometry, scale);
    const QRectF& room = geometry.room;
    const double closest = std::min(scene.layout.spacingX, scene.layout.spacingY) * scale;
    // A ceiling loudspeaker is about 0.2 m across; closer ones get smaller marks.
    const double radius = std::min(0.1 * scale, 0.2 * closest);
    const double textHeight = std::clamp(0.25 * closest, 0.02 * scale, 0.2 * scale);

    dw.sectionEntities();
    dxf.writePolyline(dw, DL_PolylineData(4, 0, 0, 1), onLayer(kDxfRoomLayer));
    for (const QPointF corner :
         {room.topLeft(), room.topRight(), room.bottomRight(), room.bottomLeft()})
        dxf.writeVertex(dw, DL_VertexData(corner.x(), corner.y(), 0, 0));
    dxf.writePolylineEnd(dw);

    for (const PlanGeometry::Speaker& s : geometry.speakers) {
        dxf.writeCircle(dw, DL_CircleData(s.position.x(), s.position.y(), 0, radius),
                        onLayer(kDxfSpeakerLayer));
        writeDxfText(dxf, dw, s.position + QPointF(radius, radius), textHeight,
                     QString::number(s.number), kDxfNumberLayer);
    }

    // Dimension lines placed as in the pictures, on a drawing of the room at
    // a thousand units per drawing unit with the texts textHeight high, wide
    // enough around the room to leave it at its size; every place is then
    // taken back into the drawing's own units.
    constexpr double k = 1000;
    PlanTextMetrics metrics;
    metrics.point = textHeight * k / 8;
    metrics.dimensionText = [h = textHeight * k](const QString& text) {
        return QSizeF(0.6 * h * double(text.size()), 1.2 * h);
    };
    const double margin = 12 * metrics.step();
    const PlanDrawingLayout layout = layoutPlanDrawing(
        geometry,
        QRectF(room.topLeft() * k, room.size() * k).adjusted(-margin, -margin, margin, margin),
        metrics);
    const RoomFrame& frame = layout.frame;
    for (const PlanDrawingLayout::Dimension& d : layout.dimensions) {
        const PlacedDimension& p = d.placed;
        const double u = metrics.point;
        const QPointF out = p.outwardOnDevice();
        const auto line = [&](QPointF from, QPointF to) {
            const QPointF a = frame.toRoom(from);
            const QPointF b = frame.toRoom(to);
            dxf.writeLine(dw, DL_LineData(a.x(), a.y(), 0, b.x(), b.y(), 0),
                          onLayer(kDxfDimensionLayer));
        };
        line(d.lineFrom, d.lineTo);
        line(d.wallFrom, d.lineFrom + out * (1.5 * u));
        line(d.wallTo, d.lineTo + out * (1.5 * u));
        // The text stands on its box's lower edge (its right edge upright),
        // a fifth of its box below the baseline.
        const QRectF box = d.label;
        const double height = (p.horizontal() ? box.height() : box.width()) / 1.2 / frame.scale();
        const QPointF start = p.horizontal()
                                  ? frame.toRoom(box.bottomLeft() - QPointF(0, box.height() / 6))
                                  : frame.toRoom(box.bottomRight() - QPointF(box.width() / 6, 0));
        writeDxfText(dxf, dw, start, height, p.text, kDxfDimensionLayer,
                     p.horizontal() ? 0 : std::numbers::pi / 2);
    }
    if (geometry.tooManyToDraw)
        writeDxfText(dxf, dw, room.center(), std::max(room.width(), room.height()) / 80,
                     texts.text(kvx::PlanText::TooManyToDraw), kDxfNoteLayer);
    dw.sectionEnd();
}

// A DXF file (AutoCAD 2000) in metres, or in feet when the user works in feet.
void writeDxf(const QString& path, const PlanExport& what) {
    Replacement file(path);
    {
        DL_Dxf dxf;
        const std::unique_ptr<DL_WriterA> dw(
            dxf.out(QFile::encodeName(file.path()).constData(), DL_Codes::AC1015));
        if (!dw)
            throw WriteFailure{QStringLiteral("the file cannot be created.")};
        dxf.writeHeader(*dw);
        const bool feet = what.texts->units() == Units::Imperial;
        dw->dxfString(9, "$INSUNITS");
        dw->dxfInt(70, feet ? 2 : 6); // feet or metres
        dw->dxfString(9, "$MEASUREMENT");
        dw->dxfInt(70, feet ? 0 : 1); // imperial or metric
        dw->sectionEnd();
        writeDxfTables(dxf, *dw);
        writeDxfEntities(dxf, *dw, *what.scene, *what.texts);
        dxf.writeObjects(*dw);
        dxf.writeObjectsEnd(*dw);
        dw->dxfEOF();
        dw->close();
    }
    // The writer cannot tell of a failed write: a complete file ends with EOF.
    QFile written(file.path());
    if (!written.open(QIODevice::ReadOnly) || written.size() < 8 ||
        !written.seek(written.size() - 8) || !written.readAll().trimmed().endsWith("EOF"))
        throw WriteFailure{QStringLiteral("writing failed.")};
    file.commit();
}

} // namespace

std::optional<PlanFormat> planFormatFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return PlanFormat::Png;
    if (suffix == QLatin1String("svg"))
        return PlanFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return PlanFormat::Pdf;
    if (suffix == QLatin1String("dxf"))
        return PlanFormat::Dxf;
    if (suffix == QLatin1String("csv"))
        return PlanFormat::Csv;
    return std::nullopt;
}

QString writePlanFile(const QString& path, PlanFormat format, const PlanExport& what) {
    const PlanTexts& texts = *what.texts;
    try {
        switch (format) {
        case PlanFormat::Png:
            saveBytes(path, pngBytes(what));
            break;
        case PlanFormat::Svg:
            saveBytes(path, svgBytes(what));
            break;
        case PlanFormat::Pdf:
            writePdf(path, what);
            break;
        case PlanFormat::Dxf:
            writeDxf(path, what);
            break;
        case PlanFormat::Csv:
            if (QString reason;
                !writePositionsCsv(what.scene->layout, path, texts.localTexts(), &reason))
                throw WriteFailure{reason};
            break;
        }
    } catch (const WriteFailure& failure) {
        return texts.text(PlanViewText::CannotWrite)
            .arg(QDir::toNativeSeparators(path), failure.reason);
    }
    return {};
}

} // namespace kvx::app
