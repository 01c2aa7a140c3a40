#include "core/ui/main_window/catalogue_selection.h"

#include "core/catalogue/lsp_record.h"
#include "core/ui/main_window.h"

namespace kvx {

QString userTypeText(const Kvx1& kvx) {
    return kvx.texts.UserTypeName.isEmpty() ? kvx.localText(kUserTypeTextId)
                                            : kvx.texts.UserTypeName;
}

namespace {

void colourLoudspeakerFields(FrmKvx& w, bool userType) {
    for (Control* field : {&w.txtAngle1, &w.txtAngle4, &w.txtSensitivity, &w.txtMaxPower})
        field->setBackColor(userType ? kWhite : kLightYellow);
}

} // namespace

void FrmKvx::SetUserTypeFields(bool userType) {
    colourLoudspeakerFields(*this, userType);
    if (userType) {
        txtAngle1.setText(QStringLiteral("120"));
        txtAngle4.setText(QStringLiteral("140"));
        txtSensitivity.setText(QStringLiteral("80"));
        txtMaxPower.setText(QStringLiteral("10"));
    }
}

void FrmKvx::FileSel_Click() {
    LspFile.reset();
    kvx.CurrentLspFile = FileSel.text();
    lstLsp.clearItems();
    // Remembered once it opens: a catalogue that cannot be read ends this run,
    // but must not keep the next start from opening the one that worked.
    OpenLoudspeakerFile();
    kvx.keepSetting(Configuration::DataFileSection, Configuration::DataFileKey, kvx.CurrentLspFile);
    FillLoudspeakerList();
    lstLsp.setText(lstLsp.items().constFirst());
    ShowLoudspeakerData(1);
}

void FrmKvx::lstLsp_Click() {
    if (lstLsp.text() == userTypeText(kvx)) {
        SetUserTypeFields(true);
    } else {
        // Entries past the last addressable record show the zeroed record.
        const int recordNumber = lstLsp.listIndex() + 1;
        ShowLoudspeakerData(recordNumber <= kMaxLspRecords ? qint16(recordNumber) : qint16(0));
        SetUserTypeFields(false);
    }
    cmdCalc_Click();
    kvx.Modified = true;
}

void FrmKvx::lstLsp_Change() {
    // Whatever set the type (New, Open, a pick), the colours tell whether the
    // fields take typing, as the focus rule decides it.
    colourLoudspeakerFields(*this, lstLsp.text() == userTypeText(kvx));
}

void FrmKvx::LoudspeakerField_GotFocus() {
    if (lstLsp.text() != userTypeText(kvx)) {
        kvx.platform.setFocus(DiffSet);
    } else {
        ClearResults();
        cmdCalc.setEnabled(true);
    }
}

} // namespace kvx
