#include "core/calc/power.h"

#include "core/calc/numbers.h"
#include "core/kvx_error.h"
#include "core/ui/main_window.h"

#include <QLocale>

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

// The divisor of the rated power: the third character of the speaker tap
// ("1/2 P"). The box is editable, so a typed "1/8 P" works; a text without a
// digit from 1 to 9 there gives no divisor.
std::optional<int> tapDivisor(const QString& tap) {
    if (tap.size() < 3)
        return std::nullopt;
    const QChar digit = tap.at(2);
    if (digit < u'1' || digit > u'9')
        return std::nullopt;
    return digit.unicode() - u'0';
}

// The line voltage: the first three characters of the amplifier tap (" 70 V"),
// outer spaces removed, read as a whole number text. Only a finite voltage
// above zero gives a power.
std::optional<double> tapVoltage(const QString& tap) {
    QString volts = tap.left(3);
    while (volts.startsWith(u' '))
        volts.remove(0, 1);
    while (volts.endsWith(u' '))
        volts.chop(1);
    volts.replace(u',', u'.');
    bool ok = false;
    const double v = QLocale::c().toDouble(volts, &ok);
    if (!ok || !std::isfinite(v) || v <= 0)
        return std::nullopt;
    return v;
}

void FrmKvx::FillAmpTapList() {
    lstAmpTap.addItem(QStringLiteral("100 V"));
    lstAmpTap.addItem(QStringLiteral(" 70 V"));
    lstAmpTap.addItem(QStringLiteral(" 50 V"));
}

void FrmKvx::FillSpeakerTapList() {
    lstLspTap.addItem(QStringLiteral("1/1 P"));
    lstLspTap.addItem(QStringLiteral("1/2 P"));
    lstLspTap.addItem(QStringLiteral("1/4 P"));
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

    const double tapped = rated / double(*divisor);
    const double power = *volts * tapped * *volts / 10000;
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
