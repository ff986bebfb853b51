// The history's pictures put on the desktop again, as a change puts its pictures there.
#pragma once

#include <vector>

#include "change/change_run_win32.h"
#include "engine/wallpaper_history.h"

namespace vorel {

// Shows the entry as a change shows a picture (today's calendar, today's screens, the
// follow-up program): each monitor its record of the entry, a monitor without one (or whose
// picture is excluded or cannot be loaded) keeping what it shows. kGone when none of the
// entry's files exists any more; kNotShown when its primary picture is excluded or nothing
// could be shown. shown receives the records now on the desktop, the primary's first.
HistoryShow ShowHistoryEntry(const HistoryEntry& entry, Picture& picture, const ChangeEnvironment& environment,
                             std::vector<CurrentPictureRecord>& shown);

}  // namespace vorel
