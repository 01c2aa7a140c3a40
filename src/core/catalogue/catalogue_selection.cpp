// Placeholder: implemented by its subsystem.
#include "core/ui/main_window.h"

namespace kvx {

void FrmKvx::SetUserTypeFields(bool)
{
}

void FrmKvx::FileSel_Click()
{
}

void FrmKvx::lstLsp_Click()
{
}

void FrmKvx::LoudspeakerField_GotFocus()
{
}

} // namespace kvx
