#include "core/calc/numbers.h"
#include "core/calc/sound.h"
#include "core/kvx_error.h"
#include "core/ui/main_window.h"

#include <cmath>

namespace kvx {

namespace {

const QString kInputError = QStringLiteral("Input Error");
const QString kCalculationError = QStringLiteral("Calculation Error");

// A run that cannot give a result worth showing: the message that says why.
struct CalcFailure {
    QString title;
    QString text;
};

double finite(double value) {
    if (!std::isfinite(value))
        throw CalcFailure{kCalculationError,
                          QStringLiteral("The calculation gives no finite result !") + QChar(10) +
                              QStringLiteral("Please check the input values")};
    return value;
}

} // namespace

void FrmKvx::cmdCalc_Click() {
    lastCalculation.reset();
    if (CheckInputs())
        Calculate();
    kvx.platform.setFocus(DiffSet);
    cmdCalc.setEnabled(false);
    mnuPrintFile.setEnabled(true);
    mnuReport.setEnabled(true);
    mnuExportPdf.setEnabled(true);
}

void FrmKvx::Calculate() {
    Platform& platform = kvx.platform;
    try {
        // The power first, so that the direct level is computed with the power
        // the window shows after the run.
        try {
            ShowSpeakerPower();
        } catch (const KvxError& e) {
            throw CalcFailure{kInputError, e.message()};
        }

        const double theta4 = finite(ParseDecimal(txtAngle4.text()) * kPi / 360);
        const double ear = ParseDecimal(txtEarHeight.text());
        const double h = finite(ParseDecimal(txtRoomHeight.text()) - ear);
        const double target = finite(std::pow(10.0, -ParseDecimal(txtLevelDif4.text()) / 10));

        const SpacingResult spacing = SolveSpacing(target, h, theta4, platform);
        const double d = finite(spacing.d);
        // An opening angle of 180 degrees or more can lead the search to a
        // spacing it accepts although no grid can have it.
        if (spacing.settled && d <= 0)
            throw CalcFailure{kCalculationError,
                              QStringLiteral("The calculated distance is not positive !") +
                                  QChar(10) +
                                  QStringLiteral("Please check the 4 kHz Opening Angle")};
        lblDistance.setText(formatOneDecimal(d, kvx.locale));

        const double theta1 = finite(ParseDecimal(txtAngle1.text()) * kPi / 360);
        const double below = finite(IntensityBelowSpeaker(d, h, theta1));
        const double between = finite(IntensityBetweenSpeakers(d, h, theta1));
        const double difference1 = finite(10 * Log10(below / between, platform));
        lblLevelDif1.setText(formatOneDecimal(difference1, kvx.locale));

        const qint32 speakers =
            SpeakerCount(ParseDecimal(txtRoomLength.text()), ParseDecimal(txtRoomWidth.text()), d);
        lblNrofSpeakers.setText(QString::number(speakers));

        const double gain = 10 * Log10(below, platform);
        const double power = ParseDecimal(lblPower.text());
        const double powerLog = Log10(power, platform);
        const double heightLog = Log10(h, platform);
        const double sensitivity = ParseDecimal(txtSensitivity.text());
        const double level = finite(sensitivity + 10 * powerLog - 20 * heightLog + gain);
        lblLevel.setText(formatWhole(level, kvx.locale));

        lastCalculation =
            CalcValues{d, spacing.evaluations, below, between, speakers, level, difference1, power};
    } catch (const CalcFailure& failure) {
        ClearResults();
        platform.messageBox(failure.text, MsgStyle::Exclamation, failure.title);
    } catch (const KvxError& e) {
        ClearResults();
        platform.messageBox(e.message(), MsgStyle::Exclamation, kCalculationError);
    }
}

bool FrmKvx::CheckInputs() {
    Platform& platform = kvx.platform;
    const auto refuse = [&](const QString& text) {
        platform.messageBox(text, MsgStyle::Exclamation, kInputError);
        return false;
    };
    // A number too large to read is refused like a wrong one, naming the field.
    const auto read = [&](const Control& field, const QString& label, double& value) {
        try {
            value = ParseDecimal(field.text());
            return true;
        } catch (const KvxError&) {
            return refuse(label + QStringLiteral(" is too large !"));
        }
    };
    const auto check = [&](const Control& field, const QString& label, bool zeroPasses) {
        double value = 0;
        if (!read(field, label, value))
            return false;
        if (zeroPasses ? value < 0 : value <= 0)
            return refuse(label + QStringLiteral(" should be positive !"));
        return true;
    };

    if (!check(txtRoomLength, QStringLiteral("Room Length"), false) ||
        !check(txtRoomWidth, QStringLiteral("Room Width"), false) ||
        !check(txtRoomHeight, QStringLiteral("Room Height"), false) ||
        !check(txtEarHeight, QStringLiteral("Ear Height"), true))
        return false;

    // Compared in double precision: 1.8 - 1.5 passes, 2.3 - 2.0 does not.
    const double room = ParseDecimal(txtRoomHeight.text());
    const double ear = ParseDecimal(txtEarHeight.text());
    if (ear >= room || room - ear < 0.3)
        return refuse(QStringLiteral("Room Height and Ear Height difference too small !") +
                      QChar(13) + QStringLiteral("Please adjust Room Height or Ear height"));

    if (!check(txtAngle1, QStringLiteral("Opening Angle"), false) ||
        !check(txtAngle4, QStringLiteral("4 kHz Opening Angle"), false) ||
        !check(txtLevelDif4, QStringLiteral("Difference Level"), false))
        return false;
    if (ParseDecimal(txtLevelDif4.text()) > 12)
        return refuse(QStringLiteral("Difference Level is too high !") + QChar(10) +
                      QStringLiteral("For equal coverage value about: 6 dB"));

    return check(txtSensitivity, QStringLiteral("Sensitivity"), true) &&
           check(txtMaxPower, QStringLiteral("Rated Power"), false);
}

} // namespace kvx
