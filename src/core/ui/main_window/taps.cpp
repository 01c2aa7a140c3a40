// The tap lists, their events and the speaker power they give.
#include "core/base/kvx_error.h"
#include "core/base/numbers.h"
#include "core/calc/power.h"
#include "core/ui/main_window.h"

#include <cmath>

namespace kvx {

namespace {

void tapClick(FrmKvx& w, const Control& box) {
    // Raised, never cleared, by a pick: picking the remembered item back must
    // not forget another unsaved change.
    const bool changed = w.kvx.IsChanged(box.text());
    if (changed) {
        w.kvx.Modified = true;
        w.cmdCalc_Click();
    }
    w.cmdCalc_Click();
}

} // namespace

void FrmKvx::FillAmpTapList() {
    for (const double volts : kLineVoltages)
        lstAmpTap.addItem(amplifierTapItem(volts));
}

void FrmKvx::FillSpeakerTapList() {
    for (const int divisor : kSpeakerTapDivisors)
        lstLspTap.addItem(speakerTapItem(divisor));
}

void FrmKvx::ShowSpeakerPower() {
    double rated = 0;
    try {
        rated = ParseDecimal(txtMaxPower.text());
    } catch (const KvxError&) {
        throw KvxError(QStringLiteral("Rated Power is too large !"));
    }
    const auto divisor = tapDivisor(lstLspTap.text());
    if (!divisor)
        throw KvxError(QStringLiteral("Speaker Tap should be 1/n P with n from 1 to 9 !"));
    const auto volts = tapVoltage(lstAmpTap.text());
    if (!volts)
        throw KvxError(QStringLiteral("Amplifier Tap should begin with a voltage above 0 !"));

    const double power = tapPower(rated, *divisor, *volts);
    if (!std::isfinite(power))
        throw KvxError(QStringLiteral("Speaker Power is too large !"));
    lblPower.setText(formatGeneral(power, kvx.locale));
}

void FrmKvx::lstAmpTap_GotFocus() {
    kvx.FocusText = lstAmpTap.text();
}

void FrmKvx::lstLspTap_GotFocus() {
    kvx.FocusText = lstLspTap.text();
}

void FrmKvx::lstAmpTap_Click() {
    tapClick(*this, lstAmpTap);
}

void FrmKvx::lstLspTap_Click() {
    tapClick(*this, lstLspTap);
}

void FrmKvx::lstAmpTap_Change() {
    kvx.Modified = true;
}

void FrmKvx::lstLspTap_Change() {
    kvx.Modified = true;
}

} // namespace kvx
