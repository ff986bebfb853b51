// The memory of one change with every monitor its own picture, on the desk it runs on
// (bench/monitors_memory.sh gives it three monitors of 3840 x 2160): the process's peak
// working set during the change over its working set just before, beside the largest decoded
// source plus the composed virtual screen at 32 bits, the bound the change must keep within
// 20 % of. The pictures are loaded, fitted and composed as Vorelset's change run does it,
// with the calendar. Figures only.
//   monitors_wine.exe <wallpaper file> <picture.bmp>... [--one]   (--one: the option off)
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "calendar/calendar_draw.h"
#include "change/change_run_win32.h"
#include "platform/files.h"
#include "platform/screen_geometry_win32.h"
#include "platform/strings.h"

namespace {

PROCESS_MEMORY_COUNTERS Counters() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters;
}

double MiB(double bytes) { return bytes / (1024.0 * 1024.0); }

// A bitmap's decoded size at 32 bits, from its header.
double DecodedBytes(const std::string& path) {
  const std::optional<std::string> head = [&]() -> std::optional<std::string> {
    std::optional<std::string> bytes;
    vorel::ReadInOrder(path, [&](uint64_t, const vorel::OrderedReader& read) {
      std::string buffer(26, '\0');
      if (read(buffer.data(), buffer.size()) == buffer.size()) bytes = buffer;
    });
    return bytes;
  }();
  if (!head) return 0;
  const auto at = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>((*head)[i])); };
  const int32_t width = static_cast<int32_t>(at(18) | at(19) << 8 | at(20) << 16 | at(21) << 24);
  const int32_t height = static_cast<int32_t>(at(22) | at(23) << 8 | at(24) << 16 | at(25) << 24);
  return 4.0 * width * (height < 0 ? -height : height);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace vorel;
  if (argc < 3) {
    std::printf("usage: monitors_wine <wallpaper file> <picture.bmp>... [--one]\n");
    return 2;
  }
  Settings settings = Settings::VorelsetDefaults();
  settings.perMonitor = true;
  settings.tile = false;
  settings.inOrder = true;
  settings.wallFile = ToUtf8(argv[1]);
  double largest = 0;
  for (int i = 2; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--one") == 0) {
      settings.perMonitor = false;
      continue;
    }
    settings.pictures.push_back({ToUtf8(argv[i])});
    largest = std::max(largest, DecodedBytes(settings.pictures.back().path));
  }
  // List order starts at the second entry: the first monitor gets the second picture.
  std::rotate(settings.pictures.rbegin(), settings.pictures.rbegin() + 1, settings.pictures.rend());
  settings.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  settings.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const CalendarLayout calendar = CalendarLayoutFromSettings(settings);
  CompositionContext composition{settings, calendar};
  composition.screens = CurrentScreenGeometry();
  PictureLoadContext load;
  load.wallFile = settings.wallFile;
  MemoryRegistry order;
  const std::vector<std::string> patterns;
  const ChangeEnvironment environment{settings, order, patterns, composition, load, [] { return 0; }, nullptr};
  const WallpaperLayout layout = LayoutOf(composition.screens);
  const std::optional<WallpaperLayout> every = EveryMonitorLayout(composition);
  const double screen =
      every ? 4.0 * layout.Width() * layout.Height() : 4.0 * settings.screenWidth * settings.screenHeight;

  const PROCESS_MEMORY_COUNTERS before = Counters();
  Picture picture;
  const DWORD start = GetTickCount();
  const ChangeOutcome outcome = ChangeWallpaper(picture, environment, InstallMode::kShow);
  const DWORD took = GetTickCount() - start;
  const PROCESS_MEMORY_COUNTERS after = Counters();
  if (!outcome.installed) {
    std::printf("the change installed nothing\n");
    return 1;
  }
  const double peak = static_cast<double>(after.PeakWorkingSetSize) - static_cast<double>(before.WorkingSetSize);
  const double bound = largest + screen;
  std::printf("desk: %zu monitors, virtual screen %d x %d; %s\n", layout.monitors.size(), layout.Width(),
              layout.Height(), every ? "every monitor its own picture" : "the one picture of the primary screen");
  std::printf("largest decoded source: %.1f MiB; composed %s at 32 bits: %.1f MiB; sum: %.1f MiB; +20 %%: %.1f MiB\n",
              MiB(largest), every ? "virtual screen" : "screen", MiB(screen), MiB(bound), MiB(bound * 1.2));
  std::printf(
      "working set before the change: %.1f MiB; peak during it: %.1f MiB; the change's peak: %.1f MiB (%.0f %% "
      "of the sum); %lu ms\n",
      MiB(static_cast<double>(before.WorkingSetSize)), MiB(static_cast<double>(after.PeakWorkingSetSize)), MiB(peak),
      100.0 * peak / bound, took);
  return 0;
}
