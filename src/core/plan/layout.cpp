#include "core/plan/layout.h"

#include "core/base/kvx_error.h"

#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QTextStream>

namespace kvx {

QPointF Layout::position(qint64 number) const {
    if (columns <= 0)
        return {};
    const qint64 index = number - 1;
    const qint64 i = index % columns;
    const qint64 j = index / columns;
    return {(double(i) + 0.5) * spacingX, (double(j) + 0.5) * spacingY};
}

std::vector<QPointF> Layout::positions() const {
    std::vector<QPointF> result;
    if (!hasPositions())
        return result;
    result.reserve(size_t(count()));
    for (qint64 j = 0; j < rows; ++j)
        for (qint64 i = 0; i < columns; ++i)
            result.emplace_back((double(i) + 0.5) * spacingX, (double(j) + 0.5) * spacingY);
    return result;
}

Layout layoutFor(const Design& design) {
    if (!design.usable() || !(design.length > 0) || !(design.width > 0))
        return {};
    GridSplit grid;
    try {
        // The same split that gave the count, so the plan shows that many.
        grid = SplitGrid(design.length, design.width, design.distance);
    } catch (const KvxError&) {
        return {};
    }
    if (grid.count() <= 0)
        return {};
    Layout layout;
    layout.length = design.length;
    layout.width = design.width;
    layout.columns = grid.columns;
    layout.rows = grid.rows;
    layout.spacingX = design.length / double(grid.columns);
    layout.spacingY = design.width / double(grid.rows);
    return layout;
}

QString positionsCsv(const Layout& layout) {
    QString text;
    QTextStream out(&text);
    out << "number,x,y\n";
    if (!layout.hasPositions())
        return text;
    qint64 number = 0;
    for (const QPointF& p : layout.positions()) {
        // Shortest form that reads back exactly, always with a dot.
        out << ++number << ',' << QString::number(p.x(), 'g', QLocale::FloatingPointShortest) << ','
            << QString::number(p.y(), 'g', QLocale::FloatingPointShortest) << '\n';
    }
    return text;
}

bool writePositionsCsv(const Layout& layout, const QString& path, QString* whyNot) {
    const auto refuse = [whyNot](const QString& reason) {
        if (whyNot)
            *whyNot = reason;
        return false;
    };
    if (QFileInfo(path).isDir())
        return refuse(QStringLiteral("a folder has that name"));
    const QByteArray bytes = positionsCsv(layout).toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return refuse(file.errorString());
    // commit() misses a failure to flush the write buffer (a full disk) and
    // would put a cut-off file in place: flush first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return refuse(reason);
    }
    if (!file.commit())
        return refuse(file.errorString());
    return true;
}

} // namespace kvx
