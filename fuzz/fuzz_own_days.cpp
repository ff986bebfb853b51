// An own-day record as a hand edit may leave it: a record that reads as a day must write back
// to a record that reads as the same day, and mark only days of the span.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "calendar/own_days.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorel::fuzz::Reader in(data, size);
  const int32_t year = 1 + in.U16() % 9999;
  const vorel::DateSpan span{{year, 1 + in.Byte() % 12, 1}, {year + in.Byte() % 2, 12, 31}};
  const std::string record(in.Rest());
  const std::optional<vorel::OwnDay> day = vorel::ParseOwnDay(record);
  if (!day) return 0;
  if (vorel::ParseOwnDay(vorel::OwnDayRecord(*day)) != day) std::abort();
  vorel::DayMarks marks;
  vorel::MarkOwnDays(marks, {*day}, span);
  if (marks.Size() > 2) std::abort();
  return 0;
}
