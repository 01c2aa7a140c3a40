#include "core/calc/power.h"

#include "core/base/numbers.h"

#include <QLocale>

#include <cmath>

namespace kvx {

QString speakerTapItem(int divisor) {
    return QStringLiteral("1/%1 P").arg(divisor);
}

QString amplifierTapItem(double volts) {
    return QString::number(volts).rightJustified(3) + QStringLiteral(" V");
}

double tapPower(double ratedPower, int divisor, double volts) {
    return volts * (ratedPower / double(divisor)) * volts / 10000;
}

double shownTapPower(double ratedPower, int divisor, double volts) {
    return ParseDecimal(formatGeneral(tapPower(ratedPower, divisor, volts), QLocale::c()));
}

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

} // namespace kvx
