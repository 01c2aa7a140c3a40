#include "core/plan/plan_settings.h"

#include "core/base/numbers.h"

#include <cmath>

namespace kvx {

QStringList planSettingsFields(const PlanSettings& settings) {
    return {exactNumber(settings.margin)};
}

QStringList readPlanSettingsFields(const QStringList& fields, PlanSettings& settings,
                                   const LocalTexts& texts) {
    const QString text = fields.value(0).trimmed();
    if (text.isEmpty())
        return {};
    const std::optional<double> value = readNumber(text);
    if (!value || !std::isfinite(*value) || *value < 0)
        return {texts.text(PlanSettingsText::NotAMargin).arg(text)};
    settings.margin = *value;
    return {};
}

} // namespace kvx
