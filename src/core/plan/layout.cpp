#include "core/plan/layout.h"

#include "core/base/kvx_error.h"
#include "core/base/numbers.h"
#include "core/base/save_file.h"
#include "core/plan/coverage.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>

namespace kvx {

QPointF Layout::at(qint64 i, qint64 row) const {
    const double x = shifted(row) ? double(i + 1) : double(i) + 0.5;
    return {x * spacingX, (double(row) + 0.5) * spacingY};
}

std::optional<QPointF> Layout::position(qint64 number) const {
    if (number < 1 || number > count())
        return std::nullopt;
    const qint64 index = number - 1;
    // Rows come in pairs of the same make-up: an unshifted and a shifted one.
    const qint64 pair = columns + inRow(1);
    const qint64 rest = index % pair;
    const qint64 row = 2 * (index / pair) + (rest < columns ? 0 : 1);
    return at(rest < columns ? rest : rest - columns, row);
}

std::vector<QPointF> Layout::positions() const {
    std::vector<QPointF> result;
    if (!hasPositions())
        return result;
    result.reserve(size_t(count()));
    for (qint64 j = 0; j < rows; ++j)
        for (qint64 i = 0; i < inRow(j); ++i)
            result.push_back(at(i, j));
    return result;
}

Layout layoutFor(const Design& design) {
    if (!design.usable() || !(design.length > 0) || !(design.width > 0))
        return {};
    GridSplit grid;
    try {
        // The same split that gave the count, so the plan shows that many.
        grid = SplitGrid(design.length, design.width, design.distance, design.pattern, design.fit);
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
    layout.pattern = grid.pattern;
    return layout;
}

double spacingExcess(const Design& design, const Layout& layout) {
    if (!(design.distance > 0) || layout.count() <= 0)
        return 0;
    return std::max(layout.spacingX / design.distance,
                    layout.spacingY / rowPitch(design.distance, layout.pattern)) -
           1;
}

bool stretchesSpacing(const Design& design, const Layout& layout) {
    return design.fit == Fit::Nearest && spacingExcess(design, layout) > kNoticedSpacingExcess;
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
        out << ++number << ',' << exactNumber(p.x()) << ',' << exactNumber(p.y()) << '\n';
    }
    return text;
}

bool writePositionsCsv(const Layout& layout, const QString& path, const LocalTexts& texts,
                       QString* whyNot) {
    const auto refuse = [whyNot](const QString& reason) {
        if (whyNot)
            *whyNot = reason;
        return false;
    };
    // Positions one by one only where there are any to list.
    if (!layout.hasPositions())
        return refuse(texts.text(PlanText::NoPositions));
    if (QFileInfo(path).isDir())
        return refuse(QStringLiteral("a folder has that name"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return refuse(file.errorString());
    QString reason;
    return writeSaveFile(file, positionsCsv(layout).toUtf8(), &reason) || refuse(reason);
}

} // namespace kvx
