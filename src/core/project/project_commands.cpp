// Placeholder: implemented by its subsystem.
#include "core/ui/main_window.h"

namespace kvx {

void FrmKvx::ResetProject()
{
}

void FrmKvx::mnuNew_Click()
{
}

void FrmKvx::mnuOpen_Click()
{
}

void FrmKvx::mnuSave_Click()
{
}

void FrmKvx::mnuSaveAs_Click()
{
}

void FrmKvx::mnuExit_Click()
{
}

void FrmKvx::txtDescription_Click()
{
}

void FrmKvx::txtDescription_Change()
{
}

} // namespace kvx
