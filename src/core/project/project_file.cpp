// Placeholder: implemented by its subsystem.
#include "core/ui/main_window.h"

namespace kvx {

void FrmKvx::WriteProjectFile(const QString&)
{
}

void FrmKvx::ReadProjectFile(const QString&)
{
}

} // namespace kvx
