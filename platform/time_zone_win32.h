// The system's time zone for the calendar file: a UTC time as the local wall-clock time,
// with the zone's summer-time rules of that year.
#pragma once

#include <cstdint>

namespace vorel {

// Both in seconds since 1970-01-01 00:00. A time Windows cannot convert (before 1601 or after
// 30827) is returned as it is.
int64_t SystemUtcToLocal(int64_t utcSeconds);

}  // namespace vorel
