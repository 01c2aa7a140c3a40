// Placeholder: implemented with the configuration file.
#include "core/shell/ini_file.h"

namespace kvx {

std::optional<QString> ReadIniValue(const QString&, const QString&, const QString&)
{
    return std::nullopt;
}

bool WriteIniValue(const QString&, const QString&, const QString&, const QString&)
{
    return false;
}

} // namespace kvx
