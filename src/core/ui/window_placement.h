#pragma once

// Placing a window in the middle of the screen.

#include "core/ui/control.h"

namespace kvx {

class Platform;

// Centres window on the screen, both in twips. A window larger than the screen
// gets a negative position and extends past both edges equally. The busy
// pointer is shown during the call and the default pointer after it.
void CentreWindow(Platform& platform, Control& window);

} // namespace kvx
