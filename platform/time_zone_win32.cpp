// SystemTimeToTzSpecificLocalTimeEx with the dynamic zone applies the rules of the year of
// the time converted; where it is missing or fails, the plain call with the current zone.
#include "platform/time_zone_win32.h"

#include <windows.h>

namespace vorel {
namespace {

// 100-nanosecond steps from 1601-01-01 to 1970-01-01.
constexpr int64_t kUnixEpochInFileTime = 116444736000000000LL;
constexpr int64_t kTicksPerSecond = 10000000LL;
constexpr int64_t kFirstSecond = -kUnixEpochInFileTime / kTicksPerSecond;
constexpr int64_t kLastSecond = 910692730000LL;  // in the year 30827

bool ToSystemTime(int64_t seconds, SYSTEMTIME& out) {
  const uint64_t ticks = static_cast<uint64_t>((seconds - kFirstSecond) * kTicksPerSecond);
  FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  return FileTimeToSystemTime(&file, &out) != FALSE;
}

bool ToSeconds(const SYSTEMTIME& time, int64_t& seconds) {
  FILETIME file{};
  if (!SystemTimeToFileTime(&time, &file)) return false;
  const uint64_t ticks = (static_cast<uint64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
  seconds = static_cast<int64_t>(ticks / kTicksPerSecond) + kFirstSecond;
  return true;
}

using ToLocalEx = BOOL(WINAPI*)(const DYNAMIC_TIME_ZONE_INFORMATION*, const SYSTEMTIME*, SYSTEMTIME*);

ToLocalEx DynamicConversion() {
  static const ToLocalEx conversion = [] {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<ToLocalEx>(
                        reinterpret_cast<void*>(GetProcAddress(kernel, "SystemTimeToTzSpecificLocalTimeEx")))
                  : nullptr;
  }();
  return conversion;
}

}  // namespace

int64_t SystemUtcToLocal(int64_t utcSeconds) {
  if (utcSeconds < kFirstSecond || utcSeconds > kLastSecond) return utcSeconds;
  SYSTEMTIME utc{};
  if (!ToSystemTime(utcSeconds, utc)) return utcSeconds;
  SYSTEMTIME local{};
  bool converted = false;
  if (const ToLocalEx conversion = DynamicConversion()) {
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    converted = GetDynamicTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID && conversion(&zone, &utc, &local);
  }
  if (!converted) converted = SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) != FALSE;
  int64_t seconds = utcSeconds;
  if (!converted || !ToSeconds(local, seconds)) return utcSeconds;
  return seconds;
}

}  // namespace vorel
