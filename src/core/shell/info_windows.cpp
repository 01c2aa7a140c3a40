#include "core/shell/info_windows.h"

#include "core/plan/layout_texts.h"
#include "core/ui/kvx1.h"
#include "core/ui/translation.h"
#include "core/ui/window_placement.h"

#include <QDateTime>
#include <QFileInfo>

namespace kvx {

namespace {

const QString kLineFeed = QStringLiteral("\n");
// "Close" in every language.
constexpr int kCloseText = 1137;

} // namespace

FrmAbout::FrmAbout(Kvx1& kvx_)
    : kvx(kvx_) {
    form.setText(QStringLiteral("About KVX"));
    form.setSize(6600, 5400);
    Close_Key.setText(QStringLiteral("Close"));
}

ControlList FrmAbout::controls() const {
    auto* self = const_cast<FrmAbout*>(this);
    return {&self->lblVersion,   &self->lblFileDate, &self->lblAbout, &self->lblInfo,
            &self->lblCopyright, &self->Image1,      &self->Image2,   &self->Close_Key};
}

void FrmAbout::Form_Load() {
    TranslateControls(kvx, form, controls());

    // Every text in the chosen language, the body included.
    const auto T = [this](int id) { return kvx.localText(id); };
    form.setText(T(1107));
    Close_Key.setText(T(kCloseText));
    const QString N = T(1100);
    const QString A1 = T(1040);
    const QString A2 = T(1102);
    const QString A3 = T(1103);
    const QString D1 = T(1139);
    const QString D2 = T(1105);

    CentreWindow(kvx.platform, form);

    lblVersion.setText(kvx.texts.ProgramTitle + QLatin1Char(' ') + kvx.texts.VersionText);

    // The window must open even when there is no data file to date.
    const QString opened = T(1138);
    if (kvx.CurrentLspFile.isEmpty()) {
        lblFileDate.setText(opened + T(1140));
    } else {
        const QFileInfo dataFile(kvx.cataloguePath(kvx.CurrentLspFile));
        if (dataFile.isFile()) {
            const QDate date = dataFile.lastModified().date();
            lblFileDate.setText(opened + kvx.CurrentLspFile + QStringLiteral(" dd ") +
                                kvx.locale.toString(date, QLocale::ShortFormat));
        } else {
            lblFileDate.setText(opened + kvx.CurrentLspFile + u' ' + T(1141));
        }
    }

    lblCopyright.setText(N);
    lblAbout.setText(A1 + kLineFeed + A2 + D2 + A3);
    lblInfo.setText(D1 + kLineFeed + D2);
}

FrmWorking::FrmWorking(Kvx1& kvx_)
    : kvx(kvx_) {
    form.setText(QStringLiteral("Working with ..."));
    form.setSize(7500, 7200);
    cmdClose.setText(QStringLiteral("Close"));
}

ControlList FrmWorking::controls() const {
    auto* self = const_cast<FrmWorking*>(this);
    return {&self->lblVersion, &self->lbl1, &self->lbl3, &self->Image1, &self->cmdClose};
}

void FrmWorking::Form_Load() {
    TranslateControls(kvx, form, controls());

    const auto T = [this](int id) { return kvx.localText(id); };

    CentreWindow(kvx.platform, form);

    // The button closes the window: "Close", never "Quit" (the German 1106).
    cmdClose.setText(T(kCloseText));
    // A language without its own caption gets it from the texts added later.
    if (!kvx.strings.contains(1110 + kvx.LanguageOffset))
        form.setText(T(1145));
    lblVersion.setText(kvx.texts.ProgramTitle);
    const QString paragraphBreak = kLineFeed + kLineFeed;
    lbl1.setText(T(1040) + T(1041) + T(1042) + paragraphBreak + T(1043) + T(1044) + T(1045) +
                 T(1046) + paragraphBreak + T(1047) + T(1048) + T(1049) + paragraphBreak + T(1050) +
                 paragraphBreak + T(LayoutText::WorkingParagraph));
    lbl3.setText(T(1051));
}

} // namespace kvx
