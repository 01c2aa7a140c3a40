// The pattern and fit choices: two lists that show the project's layout
// settings, and their picks.
#include "core/calc/pattern.h"
#include "core/plan/layout_texts.h"
#include "core/project/project_settings.h"
#include "core/ui/main_window.h"

namespace kvx {

namespace {

// The lists' entries, in this order.
constexpr Pattern kPatterns[] = {Pattern::Square, Pattern::Offset};
constexpr Fit kFits[] = {Fit::Nearest, Fit::Spacing};

// A pick changes the project's layout and recalculates, as a tap pick does;
// picking what is already set only recalculates.
void layoutPick(FrmKvx& w, const LayoutSettings& picked) {
    w.setLayoutSettings(picked);
    w.cmdCalc_Click();
}

} // namespace

void FrmKvx::FillLayoutLists() {
    const LocalTexts texts = kvx.localTexts();
    lstPattern.clearItems();
    for (const Pattern pattern : kPatterns)
        lstPattern.addItem(patternName(pattern, texts));
    lstFit.clearItems();
    for (const Fit fit : kFits)
        lstFit.addItem(fitName(fit, texts));
    showLayoutSettings();
}

void FrmKvx::showLayoutSettings() {
    const LayoutSettings& layout = layoutSettings();
    lstPattern.setText(lstPattern.items().value(layout.pattern == Pattern::Offset ? 1 : 0));
    lstFit.setText(lstFit.items().value(layout.fit == Fit::Spacing ? 1 : 0));
}

void FrmKvx::lstPattern_Click() {
    const int index = lstPattern.listIndex();
    if (index < 0 || index >= int(std::size(kPatterns)))
        return;
    LayoutSettings picked = layoutSettings();
    picked.pattern = kPatterns[index];
    layoutPick(*this, picked);
}

void FrmKvx::lstFit_Click() {
    const int index = lstFit.listIndex();
    if (index < 0 || index >= int(std::size(kFits)))
        return;
    LayoutSettings picked = layoutSettings();
    picked.fit = kFits[index];
    layoutPick(*this, picked);
}

} // namespace kvx
