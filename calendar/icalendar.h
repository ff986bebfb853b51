// The user's calendar file (iCalendar, as Google Calendar, Outlook and Apple Calendar export
// it): the days on which its events take place, within the days a wallpaper calendar shows.
//
// What counts: every VEVENT that is not cancelled. All-day events mark each day from DTSTART
// to the day before DTEND (or DURATION); timed events mark the local dates they touch. RRULE
// (DAILY, WEEKLY, MONTHLY, YEARLY with INTERVAL, COUNT, UNTIL, BYDAY with ordinals,
// BYMONTHDAY, BYMONTH, BYSETPOS, WKST) and RDATE give the occurrences, EXDATE removes some,
// and an event with the same UID and a RECURRENCE-ID replaces (or, cancelled, removes) one.
//
// Times: a UTC time ("Z") becomes local by the conversion handed in (the system's time zone
// in the product); a time with a TZID is placed by that zone's VTIMEZONE in the file, then
// made local the same way; a TZID the file does not describe, and a time without a zone, are
// taken as local wall-clock times as written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "calendar/day_marks.h"

namespace vorel {

// A UTC time to the local wall-clock time, both in seconds since 1970-01-01 00:00.
using UtcToLocal = std::function<int64_t(int64_t utcSeconds)>;

// Larger files are not read: no exported calendar comes near it.
inline constexpr size_t kMaxIcsBytes = size_t{16} << 20;

enum class IcsStatus : uint8_t {
  kRead,         // a calendar; its damaged events (no start, a broken date) are passed over
  kTooLarge,     // over kMaxIcsBytes
  kNotCalendar,  // no complete VCALENDAR: another kind of file, or one cut short
  kUnreadable,   // not there, or it could not be read (set by whoever reads the file)
};

struct IcsDays {
  IcsStatus status = IcsStatus::kNotCalendar;
  std::vector<Date> days;  // in order, each once, all within the span
  size_t events = 0;       // the VEVENTs of the file, cancelled ones and overrides included
};

// Nothing but the file's bytes is read; the expansion stops past the span's last day.
IcsDays ReadIcsDays(std::string_view file, const DateSpan& span, const UtcToLocal& toLocal);

}  // namespace vorel
