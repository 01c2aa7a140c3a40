// Placeholder: implemented by its subsystem.
#include "core/ui/main_window.h"

namespace kvx {

void FrmKvx::FillAmpTapList()
{
}

void FrmKvx::FillSpeakerTapList()
{
}

void FrmKvx::ShowSpeakerPower()
{
}

void FrmKvx::lstAmpTap_GotFocus()
{
}

void FrmKvx::lstLspTap_GotFocus()
{
}

void FrmKvx::lstAmpTap_Click()
{
}

void FrmKvx::lstLspTap_Click()
{
}

} // namespace kvx
