// Placeholder: implemented with the localized texts.
#include "core/shell/translation.h"

#include "core/ui/main_window.h"

namespace kvx {

void LoadGlobalTexts(Kvx1&, FrmKvx&) {}

void TranslateControls(const Kvx1&, Control&, const ControlList&) {}

void TranslateControls(const Kvx1& kvx, FrmKvx& window)
{
    TranslateControls(kvx, window.form, window.controls());
}

} // namespace kvx
