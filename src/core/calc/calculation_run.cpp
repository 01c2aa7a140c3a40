// Placeholder: implemented by its subsystem.
#include "core/ui/main_window.h"

namespace kvx {

void FrmKvx::cmdCalc_Click()
{
}

void FrmKvx::Calculate()
{
}

bool FrmKvx::CheckInputs()
{
    return false;
}

} // namespace kvx
