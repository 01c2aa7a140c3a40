// Placeholder: implemented by its subsystem.
#include "core/ui/main_window.h"

namespace kvx {

void FrmKvx::ClearResults()
{
}

void FrmKvx::txtRoomLength_Change()
{
}

void FrmKvx::txtRoomWidth_Change()
{
}

void FrmKvx::txtRoomHeight_Change()
{
}

void FrmKvx::txtEarHeight_Change()
{
}

void FrmKvx::txtRoomLength_GotFocus()
{
}

void FrmKvx::txtRoomWidth_GotFocus()
{
}

void FrmKvx::txtRoomHeight_GotFocus()
{
}

void FrmKvx::txtEarHeight_GotFocus()
{
}

void FrmKvx::txtRoomLength_Click()
{
}

void FrmKvx::txtRoomWidth_Click()
{
}

void FrmKvx::txtRoomHeight_Click()
{
}

void FrmKvx::txtEarHeight_Click()
{
}

void FrmKvx::txtAngle1_Change()
{
}

void FrmKvx::txtAngle4_Change()
{
}

void FrmKvx::txtSensitivity_Change()
{
}

void FrmKvx::txtMaxPower_Change()
{
}

} // namespace kvx
