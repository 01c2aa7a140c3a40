// Placeholder: implemented by its subsystem.
#include "core/ui/main_window.h"

namespace kvx {

void FrmKvx::DiffSet_Change()
{
}

void FrmKvx::txtLevelDif4_Change()
{
}

} // namespace kvx
