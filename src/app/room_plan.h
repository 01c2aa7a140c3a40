#pragma once

// "Plan of this room": the plan window on a room of a building. The plan
// window follows a main window's model; the room gets one of its own, never
// shown, loaded from the room as a project (room_project.h) in a folder of
// its own with a copy of the configuration file, so that neither the user's
// project in the main window nor the user's settings are touched. The model
// lives as long as its plan window.

#include "core/building/building.h"

#include <QString>

namespace kvx {
class Kvx1;
}

namespace kvx::app {

class Dispatcher;
class PlanWindow;

// The plan window of the room, shown; nullptr when the room could not be
// loaded (said in a message box).
PlanWindow* openRoomPlan(const Kvx1& kvx, Dispatcher& dispatcher, const Room& room,
                         const Zone& zone, const QString& typeText);

} // namespace kvx::app
