// Placeholder: implemented by its subsystem.
#include "core/ui/main_window.h"

namespace kvx {

void FrmKvx::OpenLoudspeakerFile()
{
}

void FrmKvx::FillLoudspeakerList()
{
}

void FrmKvx::ShowLoudspeakerData(qint16)
{
}

} // namespace kvx
