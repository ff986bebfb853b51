// The user's calendar file ("IcsFile") read for one drawing of the calendar: its days within
// the span the calendar shows, UTC times in the system's time zone.
#pragma once

#include <string>

#include "calendar/icalendar.h"

namespace vorel {

// A missing, unreadable, oversized or damaged file gives no days and says so in the status;
// nothing is shown to the user here.
IcsDays ReadCalendarFile(const std::string& path, const DateSpan& span);

}  // namespace vorel
