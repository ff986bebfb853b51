// A numeric field's text as typed or pasted. Input: low (4 bytes), high (4), step (4), text.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "engine/numeric_field.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorel::fuzz::Reader in(data, size);
  int32_t low = in.I32();
  int32_t high = in.I32();
  if (low > high) std::swap(low, high);
  const int32_t step = in.I32();
  const auto text = in.Rest();

  const int64_t number = vorel::ReadFieldNumber(text);
  const int32_t value = vorel::CommitField(text, {low, high}, step);
  if (value < low || value > high) std::abort();
  // The fixed ranges the settings window uses, with their ▲/▼ steps.
  for (const auto range : {vorel::kIntervalRange, vorel::kDelayRange}) {
    for (const int32_t s : {0, vorel::kIntervalStep, -vorel::kIntervalStep, vorel::kDelayStep, -vorel::kDelayStep}) {
      const int32_t v = vorel::CommitField(text, range, s);
      if (v < range.low || v > range.high) std::abort();
    }
  }
  // A text with no digits reads as 0; one that reads inside the range is kept as it is.
  if (number >= low && number <= high && vorel::CommitField(text, {low, high}) != number) std::abort();
  return 0;
}
