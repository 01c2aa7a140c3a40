#include "core/base/kvx_error.h"
#include "core/calc/design.h"
#include "core/ui/main_window.h"
#include "core/ui/numeric_filter.h"

namespace kvx {

namespace {

// A changed room field makes a new calculation possible and withdraws the
// reports, which would describe the old room.
void roomFieldChanged(FrmKvx& w, Control& field) {
    CheckNumericEntry(w.kvx, field, true, w.units());
    w.cmdCalc.setEnabled(true);
    w.mnuPrintFile.setEnabled(false);
    w.mnuReport.setEnabled(false);
    w.mnuExportPdf.setEnabled(false);
}

} // namespace

void FrmKvx::ClearResults() {
    lblDistance.setText({});
    lblNrofSpeakers.setText({});
    lblLevelDif1.setText({});
    lblLevel.setText({});
    setLastCalculation(std::nullopt);
}

void FrmKvx::txtRoomLength_Change() {
    roomFieldChanged(*this, txtRoomLength);
}

void FrmKvx::txtRoomWidth_Change() {
    roomFieldChanged(*this, txtRoomWidth);
}

void FrmKvx::txtRoomHeight_Change() {
    roomFieldChanged(*this, txtRoomHeight);
}

void FrmKvx::txtEarHeight_Change() {
    roomFieldChanged(*this, txtEarHeight);
}

void FrmKvx::txtRoomLength_GotFocus() {
    kvx.FocusText = txtRoomLength.text();
    cmdCalc.setEnabled(true);
}

void FrmKvx::txtRoomWidth_GotFocus() {
    kvx.FocusText = txtRoomWidth.text();
}

void FrmKvx::txtRoomHeight_GotFocus() {
    kvx.FocusText = txtRoomHeight.text();
}

void FrmKvx::txtEarHeight_GotFocus() {
    kvx.FocusText = txtEarHeight.text();
}

void FrmKvx::txtRoomLength_Click() {
    ClearResults();
    cmdCalc.setEnabled(true);
}

void FrmKvx::txtRoomWidth_Click() {
    ClearResults();
    cmdCalc.setEnabled(true);
}

void FrmKvx::txtRoomHeight_Click() {
    ClearResults();
}

void FrmKvx::txtEarHeight_Click() {
    ClearResults();
}

void FrmKvx::txtAngle1_Change() {
    CheckNumericEntry(kvx, txtAngle1);
}

void FrmKvx::txtAngle4_Change() {
    CheckNumericEntry(kvx, txtAngle4);
}

void FrmKvx::txtSensitivity_Change() {
    CheckNumericEntry(kvx, txtSensitivity);
}

void FrmKvx::txtMaxPower_Change() {
    CheckNumericEntry(kvx, txtMaxPower);
    try {
        ShowSpeakerPower();
    } catch (const KvxError&) {
        // A tap or rated power that gives no power leaves the last one shown;
        // the next calculation reports the problem.
    }
}

} // namespace kvx
