// The units menu and the four room fields that hold a length: they show and
// take the chosen units, while the calculation and the project file get metres.

#include "core/base/ini_file.h"
#include "core/base/kvx_error.h"
#include "core/base/numbers.h"
#include "core/ui/main_window.h"

namespace kvx {

namespace {

void chooseUnits(FrmKvx& w, Units units) {
    if (!w.setUnits(units))
        return;
    w.kvx.keepSetting(Configuration::LanguageSection, Configuration::UnitsKey, unitsIniText(units));
}

} // namespace

void FrmKvx::mnuMetric_Click() {
    chooseUnits(*this, Units::Metric);
}

void FrmKvx::mnuImperial_Click() {
    chooseUnits(*this, Units::Imperial);
}

QList<Control*> FrmKvx::lengthFields() {
    return {&txtRoomLength, &txtRoomWidth, &txtRoomHeight, &txtEarHeight};
}

bool FrmKvx::isLengthField(const Control& field) const {
    return &field == &txtRoomLength || &field == &txtRoomWidth || &field == &txtRoomHeight ||
           &field == &txtEarHeight;
}

QString FrmKvx::notALengthMessage(const Control& field) const {
    int label = ExpRoomLength;
    if (&field == &txtRoomWidth)
        label = ExpRoomWidth;
    else if (&field == &txtRoomHeight)
        label = ExpRoomHeight;
    else if (&field == &txtEarHeight)
        label = ExpEarHeight;
    return kvx.localText(UnitsText::NotALengthInFeet).arg(ExpText[label]->text(), field.text());
}

double FrmKvx::lengthMetres(const Control& field) const {
    if (units() == Units::Metric)
        return ParseDecimal(field.text());
    const std::optional<QString> stored = storedLength(field);
    if (!stored)
        throw KvxError(notALengthMessage(field));
    return ParseDecimal(*stored);
}

} // namespace kvx
