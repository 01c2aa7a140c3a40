#pragma once

// Putting the texts of the chosen language into the windows.

#include "core/ui/control.h"

namespace kvx {

class Kvx1;
class FrmKvx;

// The File and Help menus' and the About entry's captions: the texts 1001,
// 1002 and 1039 have no access key in every language (and stay as they are, for what else reads
// them).
constexpr int kMenuFileText = 1131;
constexpr int kMenuHelpText = 1132;
constexpr int kMenuAboutText = 1147;

// Loads the global texts of the chosen language and resets the main window's
// menu captions to their English ids (the next translation turns them into texts).
void LoadGlobalTexts(Kvx1& kvx, FrmKvx& window);

// Sets the caption of window and the texts of its controls from their Tags;
// a step that fails (absent text, bad Tag) is skipped and keeps its text.
void TranslateControls(const Kvx1& kvx, Control& window, const ControlList& controls);
void TranslateControls(const Kvx1& kvx, FrmKvx& window);

} // namespace kvx
