// Placeholder: implemented by its subsystem.
#include "core/calc/numbers.h"

namespace kvx {

std::optional<double> ValChecked(const QString&)
{
    return 0.0;
}
double Val(const QString&)
{
    return 0;
}
double ParseDecimal(const QString&)
{
    return 0;
}
QString formatOneDecimal(double, const QLocale&)
{
    return {};
}
QString formatWhole(double, const QLocale&)
{
    return {};
}
QString formatGeneral(double, const QLocale&)
{
    return {};
}
QString formatGeneralSingle(float, const QLocale&)
{
    return {};
}

} // namespace kvx
