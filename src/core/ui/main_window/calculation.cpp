#include "core/base/kvx_error.h"
#include "core/base/numbers.h"
#include "core/calc/design.h"
#include "core/calc/power.h"
#include "core/calc/sound.h"
#include "core/project/project_settings.h"
#include "core/ui/main_window.h"

#include <cmath>
#include <utility>

namespace kvx {

namespace {

const QString kInputError = QStringLiteral("Input Error");
const QString kCalculationError = QStringLiteral("Calculation Error");

} // namespace

void FrmKvx::cmdCalc_Click() {
    // The old design goes at once; the observers hear of the outcome once the
    // run is over.
    asOneRun([this] {
        setLastCalculation(std::nullopt);
        ++m_calculationRuns;
        if (CheckInputs())
            Calculate();
        else
            // The fields no longer give the results shown: a report must not
            // print them beside the refused value.
            ClearResults();
        kvx.platform.setFocus(DiffSet);
        cmdCalc.setEnabled(false);
        mnuPrintFile.setEnabled(true);
        mnuReport.setEnabled(true);
        mnuExportPdf.setEnabled(true);
    });
}

void FrmKvx::Calculate() {
    Platform& platform = kvx.platform;
    // What the model has to say comes before the outcome, in its own order.
    Messages messages;
    try {
        // The power first, so that the direct level is computed with the power
        // the window shows after the run.
        try {
            ShowSpeakerPower();
        } catch (const KvxError& e) {
            throw CalcFailure{kInputError, e.message()};
        }

        DesignInputs in;
        in.length = lengthMetres(txtRoomLength);
        in.width = lengthMetres(txtRoomWidth);
        in.roomHeight = lengthMetres(txtRoomHeight);
        in.earHeight = lengthMetres(txtEarHeight);
        in.angle1 = ParseDecimal(txtAngle1.text());
        in.angle4 = ParseDecimal(txtAngle4.text());
        in.sensitivity = ParseDecimal(txtSensitivity.text());
        in.ratedPower = ParseDecimal(txtMaxPower.text());
        in.lineVoltage = tapVoltage(lstAmpTap.text()).value_or(0);
        in.tapDivisor = tapDivisor(lstLspTap.text()).value_or(1);
        // The power as the window shows it, so that the level matches the label.
        in.speakerPower = ParseDecimal(lblPower.text());
        in.difference4 = ParseDecimal(txtLevelDif4.text());
        in.pattern = layoutSettings().pattern;
        in.fit = layoutSettings().fit;

        const Design design = computeDesign(in, messages);
        showMessages(platform, std::exchange(messages, {}));
        const ResultTexts texts = formatResults(design, kvx.locale);
        lblDistance.setText(units() == Units::Metric ? texts.distance
                                                     : shownDistance(design.distance));
        lblLevelDif1.setText(texts.difference1);
        lblNrofSpeakers.setText(texts.speakers);
        lblLevel.setText(texts.level);
        setLastCalculation(design);
    } catch (const CalcFailure& failure) {
        showMessages(platform, messages);
        ClearResults();
        platform.messageBox(failure.text, MsgStyle::Exclamation, failure.title);
    } catch (const KvxError& e) {
        showMessages(platform, messages);
        ClearResults();
        platform.messageBox(e.message(), MsgStyle::Exclamation, kCalculationError);
    }
}

bool FrmKvx::CheckInputs() {
    // A field holding a number too large to read has no value to check.
    const auto read = [](const Control& field) -> std::optional<double> {
        try {
            return ParseDecimal(field.text());
        } catch (const KvxError&) {
            return std::nullopt;
        }
    };
    // In feet a text that is none of the length forms is refused by name,
    // before any value is checked.
    if (units() == Units::Imperial) {
        for (Control* field : lengthFields()) {
            if (!storedLength(*field)) {
                kvx.platform.messageBox(notALengthMessage(*field), MsgStyle::Exclamation,
                                        kInputError);
                return false;
            }
        }
    }
    const auto length = [this, &read](const Control& field) -> std::optional<double> {
        if (units() == Units::Metric)
            return read(field);
        return ParseDecimal(*storedLength(field));
    };
    const std::optional<CalcFailure> failure =
        checkInputs({length(txtRoomLength), length(txtRoomWidth), length(txtRoomHeight),
                     length(txtEarHeight), read(txtAngle1), read(txtAngle4), read(txtLevelDif4),
                     read(txtSensitivity), read(txtMaxPower)});
    if (!failure)
        return true;
    kvx.platform.messageBox(failure->text, MsgStyle::Exclamation, failure->title);
    return false;
}

} // namespace kvx
