#pragma once

#include "core/ui/kvx1.h"

#include <QString>

namespace kvx {

// The string table's text of the user type, "User type" in English.
constexpr int kUserTypeTextId = 1056;

// The type list's entry for a loudspeaker typed in by hand, as the selection
// and the focus rule compare it: the loaded global text, else the string table's.
QString userTypeText(const Kvx1& kvx);

} // namespace kvx
