#include "core/calc/pattern.h"

namespace kvx {

namespace {

const QString kSquare = QStringLiteral("square");
const QString kOffset = QStringLiteral("offset");
const QString kNearest = QStringLiteral("nearest");
const QString kSpacing = QStringLiteral("spacing");

} // namespace

QString patternToken(Pattern pattern) {
    return pattern == Pattern::Offset ? kOffset : kSquare;
}

QString fitToken(Fit fit) {
    return fit == Fit::Spacing ? kSpacing : kNearest;
}

std::optional<Pattern> patternFromToken(const QString& token) {
    if (token == kSquare)
        return Pattern::Square;
    if (token == kOffset)
        return Pattern::Offset;
    return std::nullopt;
}

std::optional<Fit> fitFromToken(const QString& token) {
    if (token == kNearest)
        return Fit::Nearest;
    if (token == kSpacing)
        return Fit::Spacing;
    return std::nullopt;
}

} // namespace kvx
