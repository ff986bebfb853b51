// Times one composition of a large picture under Wine, step by step: reading and decoding
// the bitmap file, the fit to the screen, the calendar, the wallpaper file, the desktop
// values and telling the system; beside a plain write of the same bytes. Figures only.
//   compose_wine.exe <bitmap file> <wallpaper file> [repeats]
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "converters/dib.h"
#include "engine/bmp_file.h"
#include "change/compose_win32.h"
#include "platform/files.h"
#include "platform/strings.h"

namespace {

using Stopwatch = std::chrono::steady_clock;

double Ms(Stopwatch::time_point from) {
  return std::chrono::duration<double, std::milli>(Stopwatch::now() - from).count();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace vorel;
  if (argc < 3) {
    std::printf("usage: compose_wine <bitmap file> <wallpaper file> [repeats]\n");
    return 2;
  }
  const std::string source = ToUtf8(argv[1]);
  const std::string wallFile = ToUtf8(argv[2]);
  const int repeats = argc > 3 ? _wtoi(argv[3]) : 5;

  Settings settings = Settings::VorelrunDefaults();
  settings.calender = true;
  settings.resizeOver = true;
  settings.wallFile = wallFile;
  settings.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  settings.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const CalendarLayout layout = CalendarLayoutFromSettings(settings);
  const LayoutChoice choice = GlobalLayout(settings);

  std::map<std::string, std::vector<double>> times;
  const char* order[] = {"read file",
                         "decode",
                         "read + decode in order",
                         "fit (shrink)",
                         "calendar",
                         "write wallpaper file",
                         "  of which: packing to 24 bits",
                         "  of which: temp file and swap",
                         "desktop values",
                         "tell the system",
                         "whole composition",
                         "plain write, same bytes",
                         "plain write over the file",
                         "floor: fresh buffer written once"};
  for (int r = 0; r < repeats; ++r) {
    auto t = Stopwatch::now();
    const auto whole = t;
    // The file read whole, then decoded: the way before the loader read in order.
    std::optional<std::string> bytes = ReadWholeFile(source);
    times["read file"].push_back(Ms(t));
    if (!bytes) return 1;
    t = Stopwatch::now();
    std::optional<Picture> decoded = DecodeBmpFile(bytes->data(), bytes->size());
    bytes.reset();
    times["decode"].push_back(Ms(t));
    if (!decoded) return 1;
    decoded.reset();
    // As the loader reads it: rows converted as they are read.
    t = Stopwatch::now();
    ReadInOrder(source, [&decoded](uint64_t size, const OrderedReader& read) { decoded = DecodeBmpStream(read, size); });
    times["read + decode in order"].push_back(Ms(t));
    if (!decoded) return 1;
    const size_t decodedPixels = decoded->pixels.size();
    Picture picture = std::move(*decoded);
    const auto compose = Stopwatch::now();
    t = Stopwatch::now();
    FitPicture(picture, choice, false, settings);
    times["fit (shrink)"].push_back(Ms(t));
    t = Stopwatch::now();
    StampCalendar(picture, choice.tile, choice.position, layout, 0);
    times["calendar"].push_back(Ms(t));
    t = Stopwatch::now();
    WriteWallpaperFile(wallFile, picture);
    times["write wallpaper file"].push_back(Ms(t));
    t = Stopwatch::now();
    SetDesktopValues(choice.tile);
    times["desktop values"].push_back(Ms(t));
    t = Stopwatch::now();
    TellSystemWallpaper(wallFile);
    times["tell the system"].push_back(Ms(t));
    times["whole composition"].push_back(Ms(compose));
    (void)whole;

    // The wallpaper write taken apart: the packing alone, as the write does it, and the
    // temporary file and its swap with bytes already packed. The desktop reloads the
    // wallpaper it was just told of: that is let finish first, away from the figures.
    Sleep(1500);
    t = Stopwatch::now();
    StreamBmp24(picture, [](std::string_view) { return true; }, kWallpaperChunkBytes);
    times["  of which: packing to 24 bits"].push_back(Ms(t));
    const std::string encoded = EncodeBmp24(picture);
    t = Stopwatch::now();
    ReplaceFileContent(wallFile, [&encoded](const std::function<bool(std::string_view)>& write) {
      return write(encoded);
    });
    times["  of which: temp file and swap"].push_back(Ms(t));
    // The peers: the same bytes written plainly into a new file, and over the file that is
    // there (as replacing the wallpaper in place would, without the atomic swap).
    t = Stopwatch::now();
    WriteWholeFile(wallFile + ".plain.bmp", encoded);
    times["plain write, same bytes"].push_back(Ms(t));
    t = Stopwatch::now();
    WriteWholeFile(wallFile + ".plain.bmp", encoded);
    times["plain write over the file"].push_back(Ms(t));
    RemoveFile(wallFile + ".plain.bmp");

    // What no decoder can go below: a fresh buffer of the decoded size, written once (the
    // page faults of its first touch).
    t = Stopwatch::now();
    {
      PixelBuffer fresh;
      fresh.resize(decodedPixels);
      for (size_t i = 0; i < fresh.size(); ++i) fresh[i] = static_cast<uint32_t>(i);
      volatile uint32_t kept = fresh[fresh.size() / 2];
      (void)kept;
    }
    times["floor: fresh buffer written once"].push_back(Ms(t));
  }

  std::printf("screen %dx%d, %d repeats, median ms:\n", settings.screenWidth, settings.screenHeight, repeats);
  for (const char* name : order) {
    std::vector<double>& v = times[name];
    std::sort(v.begin(), v.end());
    std::printf("  %-26s %8.1f\n", name, v[v.size() / 2]);
  }
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
    std::printf("peak working set: %.0f MB\n", counters.PeakWorkingSetSize / 1048576.0);
  return 0;
}
