// The monitors of the desk as the system lists them now: the one place each program asks.
#pragma once

#include "engine/monitor_layout.h"

namespace vorel {

// Every monitor of the desktop in screen coordinates; a system that lists none gives the
// primary screen's size at the origin.
ScreenGeometry CurrentScreenGeometry();

}  // namespace vorel
