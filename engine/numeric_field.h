// The one reading of every numeric field of the settings window: leading blanks, an
// optional sign, decimal digits up to the first non-digit, 0 when there are none; then the
// step of a ▲/▼ press and the field's range.
#pragma once

#include <cstdint>
#include <string_view>

namespace vorel {

struct FieldRange {
  int32_t low = 0;
  int32_t high = 0;
};

// The number a field's text reads as. Digits beyond what 64 bits hold saturate, so a field
// of thousands of digits still reads as "very large".
int64_t ReadFieldNumber(std::string_view text);

// The value a field takes when it is applied: its text read, the step added (▲ +step,
// ▼ -step, 0 for focus loss and Enter), then clamped to the range.
int32_t CommitField(std::string_view text, FieldRange range, int32_t step = 0);

// Ranges of the fields whose limits are fixed.
inline constexpr FieldRange kIntervalRange{1, 999};  // "ChangeTime", seconds
inline constexpr FieldRange kDelayRange{0, 999};     // "DelayTime", seconds
inline constexpr int32_t kIntervalStep = 10;
inline constexpr int32_t kDelayStep = 1;

}  // namespace vorel
