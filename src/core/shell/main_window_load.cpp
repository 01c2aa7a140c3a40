// Placeholder: implemented by its subsystem.
#include "core/ui/main_window.h"

namespace kvx {

void FrmKvx::Form_Load(const QString&)
{
}

void FrmKvx::Form_Activate()
{
}

bool FrmKvx::Form_QueryUnload()
{
    return true;
}

void FrmKvx::mnuAbout_Click()
{
}

void FrmKvx::mnuWorking_Click()
{
}

} // namespace kvx
