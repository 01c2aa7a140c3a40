// Placeholder: implemented by its subsystem.
#include "core/ui/main_window.h"

namespace kvx {

void FrmKvx::mnuReport_Click()
{
}

void FrmKvx::mnuExportPdf_Click()
{
}

void FrmKvx::mnuPrintFile_Click()
{
}

void FrmKvx::mnuPrintSetup_Click()
{
}

} // namespace kvx
