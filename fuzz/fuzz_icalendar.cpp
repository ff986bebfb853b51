// The calendar-file reader on any bytes, with a span and a time zone the input picks: it
// must neither crash nor run away, and what it marks must lie in the span, in order.
#include <cstdint>
#include <cstdlib>

#include "calendar/icalendar.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorel::fuzz::Reader in(data, size);
  // Offsets from -12 to +14 hours in quarter hours, and a summer hour in the second half year.
  const int64_t offset = (static_cast<int64_t>(in.Byte() % 105) - 48) * 900;
  const bool summer = in.Byte() & 1;
  const vorel::UtcToLocal toLocal = [offset, summer](int64_t utc) {
    const int64_t dayOfYear = ((utc / 86400) % 365 + 365) % 365;
    return utc + offset + (summer && dayOfYear > 180 ? 3600 : 0);
  };
  const int32_t year = 1990 + in.Byte() % 60;
  const int32_t month = 1 + in.Byte() % 12;
  const vorel::Date first{year, month, 1};
  const vorel::Date last = vorel::DateOfDayNumber(vorel::DayNumber(first) + 27 + in.Byte() % 64);
  const vorel::IcsDays read = vorel::ReadIcsDays(in.Rest(), {first, last}, toLocal);
  int64_t previous = vorel::DayNumber(first) - 1;
  for (const vorel::Date& day : read.days) {
    const int64_t number = vorel::DayNumber(day);
    if (number <= previous || number > vorel::DayNumber(last)) std::abort();
    previous = number;
  }
  return 0;
}
