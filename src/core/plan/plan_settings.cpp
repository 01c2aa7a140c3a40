#include "core/plan/plan_settings.h"

#include "core/base/numbers.h"
#include "core/base/units.h"

#include <cmath>

namespace kvx {

// Metres to 0.1 mm, as every length of a project file, however it was typed.
QStringList planSettingsFields(const PlanSettings& settings) {
    return {metresFileText(settings.margin)};
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
