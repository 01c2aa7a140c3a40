// Numbers typed or read from files: reading any text gives a finite number or
// a clear refusal, and the shown forms of any number read back to it.

#include "support.h"

#include "core/base/kvx_error.h"
#include "core/base/numbers.h"

#include <cfloat>
#include <cmath>

using namespace kvx;
using namespace kvx::fuzz;

namespace {

void checkFinite(double value, const QString& text, const char* reader) {
    if (!std::isfinite(value))
        propertyFailed(reader, QStringLiteral("\"%1\" read as %2").arg(text).arg(value));
}

// The general forms keep 15 (double) and 7 (single) significant digits.
void checkShownForms(double value, const QLocale& locale) {
    for (const QString& shown : {formatGeneral(value, locale), formatOneDecimal(value, locale),
                                 formatWhole(value, locale)}) {
        if (shown.isEmpty() || shown.contains(QLatin1String("inf")) ||
            shown.contains(QLatin1String("nan")))
            propertyFailed("a finite number is shown as no number", shown);
    }
    const auto back = [&locale](const QString& shown) {
        return ValChecked(QString(shown).replace(locale.decimalPoint(), QStringLiteral(".")));
    };
    const auto close = [](double a, double b, double relative) {
        return std::fabs(a - b) <= relative * std::fabs(b) || std::fabs(b) < 1e-290;
    };
    const QString general = formatGeneral(value, locale);
    if (const auto read = back(general); !read || !close(*read, value, 1e-14))
        propertyFailed("the general form reads back as another number", general);
    if (std::fabs(value) <= FLT_MAX) {
        const float single = float(value);
        const QString shown = formatGeneralSingle(single, locale);
        if (const auto read = back(shown);
            !read || (std::fabs(single) >= FLT_MIN && !close(*read, single, 1e-6)))
            propertyFailed("the single form reads back as another number", shown);
    }
}

void readAll(const QString& text) {
    const std::optional<double> checked = ValChecked(text);
    if (checked)
        checkFinite(*checked, text, "ValChecked gave no finite number");
    checkFinite(Val(text), text, "Val gave no finite number");
    try {
        const double decimal = ParseDecimal(text);
        checkFinite(decimal, text, "ParseDecimal gave no finite number");
        checkShownForms(decimal, QLocale::c());
        checkShownForms(decimal, QLocale(QLocale::Dutch, QLocale::Netherlands));
    } catch (const KvxError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    readAll(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    readAll(QString(reinterpret_cast<const QChar*>(data), qsizetype(size / 2)));
    return 0;
}
