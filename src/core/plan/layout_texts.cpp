#include "core/plan/layout_texts.h"

#include "core/plan/layout.h"

#include <cmath>

namespace kvx {

QString patternName(Pattern pattern, const LocalTexts& texts) {
    return texts.text(pattern == Pattern::Offset ? LayoutText::Offset : LayoutText::Square);
}

QString fitName(Fit fit, const LocalTexts& texts) {
    return texts.text(fit == Fit::Spacing ? LayoutText::KeepSpacing : LayoutText::Nearest);
}

QString stretchedSpacingText(const Design& design, const Layout& layout, const LocalTexts& texts) {
    if (!stretchesSpacing(design, layout))
        return {};
    // Rounded up: "5 %" beside a stretch just over 5 % would read as no stretch.
    const double percent = std::ceil(spacingExcess(design, layout) * 100);
    return texts.text(LayoutText::SpacingStretched)
        .arg(texts.locale.toString(percent, 'f', 0), fitName(Fit::Spacing, texts));
}

QStringList layoutSettingsFields(const LayoutSettings& settings) {
    return {patternToken(settings.pattern), fitToken(settings.fit)};
}

QStringList readLayoutSettingsFields(const QStringList& fields, LayoutSettings& settings,
                                     const LocalTexts& texts) {
    QStringList problems;
    const LayoutSettings defaults;
    const QString pattern = fields.value(0).trimmed();
    if (const auto known = patternFromToken(pattern)) {
        settings.pattern = *known;
    } else {
        settings.pattern = defaults.pattern;
        if (!pattern.isEmpty())
            problems << texts.text(LayoutText::UnknownSetting)
                            .arg(pattern, texts.text(LayoutText::Pattern),
                                 patternName(defaults.pattern, texts));
    }
    const QString fit = fields.value(1).trimmed();
    if (const auto known = fitFromToken(fit)) {
        settings.fit = *known;
    } else {
        settings.fit = defaults.fit;
        if (!fit.isEmpty())
            problems << texts.text(LayoutText::UnknownSetting)
                            .arg(fit, texts.text(LayoutText::Fit), fitName(defaults.fit, texts));
    }
    return problems;
}

} // namespace kvx
