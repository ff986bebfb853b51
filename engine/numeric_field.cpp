#include "engine/numeric_field.h"

#include <algorithm>
#include <limits>

namespace vorel {

int64_t ReadFieldNumber(std::string_view text) {
  size_t i = 0;
  // Pasted text may start with the line breaks of a multi-line field.
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 10 - 1;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = std::min(value * 10 + (text[i] - '0'), kLimit);
  return negative ? -value : value;
}

int32_t CommitField(std::string_view text, FieldRange range, int32_t step) {
  const int64_t value = ReadFieldNumber(text) + step;
  return static_cast<int32_t>(std::clamp<int64_t>(value, range.low, range.high));
}

}  // namespace vorel
