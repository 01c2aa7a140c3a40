#include "core/base/numbers.h"
#include "core/ui/main_window.h"

namespace kvx {

void FrmKvx::DiffSet_Change() {
    txtLevelDif4.setText(formatGeneral(DiffSet.value() / 10.0, kvx.locale));
}

void FrmKvx::txtLevelDif4_Change() {
    // The plain reader, not ParseDecimal: a comma ends the number, and a 1 kHz
    // angle that reads as 0 means no loudspeaker has been chosen yet.
    if (Val(txtAngle1.text()) > 0)
        cmdCalc_Click();
}

} // namespace kvx
