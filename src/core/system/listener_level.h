#pragma once

// The quietest point of the listener area at 1 kHz, as the level check and
// the tap advice need it: in dB re one loudspeaker overhead (add
// levelOffset1k() for the absolute level).

#include "core/calc/design.h"

#include <optional>

namespace kvx {

// The minimum relative 1 kHz level over the listener area (the points at
// least margin from every wall; the whole room by default) of the design's
// coverage map; nothing for a design that is not usable or a margin that
// leaves no listener area.
std::optional<double> quietestRelative1k(const Design& design, double margin = 0);

} // namespace kvx
