// The settings of the user's own calendar: own days, the calendar file, the colour of an
// anniversary and the plate under the calendar. Absent values leave the calendar as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorel {

class RegistryKey;
struct Settings;

inline constexpr const char* kIcsKindDefault = "記念日";

struct OwnCalendarSettings {
  // "MyDayNum" and "MyDay0", "MyDay1", ...: records "DATE,KIND,NAME" as stored, damaged ones
  // included, so that saving never loses one.
  std::vector<std::string> myDays;
  std::string icsFile;                     // "IcsFile", empty for none
  std::string icsKind = kIcsKindDefault;   // "IcsKind": "休日" or "記念日"
  uint32_t colorMyDay = 0x000080FF;        // "CalenColorMyDay"
  bool plate = false;                      // "CalenPlate"
  bool operator==(const OwnCalendarSettings&) const = default;
};

// Read into settings.ownCalendar, each value on its own; a missing or mistyped one keeps its
// default. Both programs read them all.
void LoadOwnCalendar(RegistryKey& key, Settings& settings);
// Every value written; own-day records beyond the count are left in place, as the lists do.
void SaveOwnCalendar(RegistryKey& key, const Settings& settings);

}  // namespace vorel
