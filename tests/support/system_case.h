#pragma once
// The room that the system sizing tests work on: 20 x 10 m, h = 2.5 m, 90/60
// degrees, 90 dB, 6 W at 1/1 P on 100 V gives 18 loudspeakers and 108 W,
// calculated and saved; the quietest point 1 dB below one loudspeaker overhead.
#include "core/ui/main_window.h"
#include "support/harness.h"

#include <optional>

namespace kvx::test {

inline std::optional<double> oneDecibelDown(const Design&) {
    return -1.0;
}

inline void calculateSystemCase(Harness& h) {
    FrmKvx& w = *h.w;
    w.FillSpeakerTapList();
    w.FillAmpTapList();
    w.lstLspTap.setText(QStringLiteral("1/1 P"));
    w.lstAmpTap.setText(QStringLiteral("100 V"));
    const std::pair<Control*, const char*> fields[] = {
        {&w.txtRoomLength, "20"},  {&w.txtRoomWidth, "10"}, {&w.txtRoomHeight, "4"},
        {&w.txtEarHeight, "1.5"},  {&w.txtAngle1, "90"},    {&w.txtAngle4, "60"},
        {&w.txtSensitivity, "90"}, {&w.txtMaxPower, "6"}};
    for (const auto& [field, text] : fields)
        field->setText(QString::fromLatin1(text));
    w.DiffSet.setValue(60);
    w.cmdCalc_Click();
    h.kvx.Modified = false;
    h.platform.clear();
}

} // namespace kvx::test
