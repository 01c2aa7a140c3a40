#pragma once

// Input editing of the main window: the character filter that every numeric
// text box runs on each change, and (in field_events.cpp) the change, focus and
// click handlers of those boxes. The filter only tells the user about a wrong
// character; numbers are read later, when a calculation runs.

#include "core/base/units.h"
#include "core/ui/control.h"
#include "core/ui/kvx1.h"

namespace kvx {

// Accepts digits, one decimal separator (a dot or a comma) and a sign in first
// place, after the outer spaces are removed. An accepted text that differs from
// FocusText raises Modified; a rejected one leaves the text and Modified alone,
// shows the filter's message and gives the focus back to the field. A length
// field in imperial also takes the feet and inch marks (acceptsLengthCharacter).
void CheckNumericEntry(Kvx1& kvx, Control& field, bool lengthField = false,
                       Units units = Units::Metric);

} // namespace kvx
