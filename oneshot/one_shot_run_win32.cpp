#include "oneshot/one_shot_run_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <functional>

#include "calendar/calendar_draw.h"
#include "converters/dib.h"
#include "converters/susie_plugin_win32.h"
#include "engine/change_run_win32.h"
#include "engine/settings_store.h"
#include "platform/files.h"
#include "platform/program_paths_win32.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"

namespace vorel {
namespace {

// The present wallpaper read as a bitmap file (no plug-ins, no GV); empty when it cannot.
Picture ReadPresentWallpaper(const std::string& path) {
  if (path.empty()) return {};
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return {};
  std::optional<Picture> picture = DecodeBmpFile(bytes->data(), bytes->size());
  return picture ? std::move(*picture) : Picture{};
}

}  // namespace

std::optional<std::string> DirectPictureFromCommandLine(const wchar_t* commandLine) {
  int count = 0;
  const UniqueLocal args(reinterpret_cast<HLOCAL>(CommandLineToArgvW(commandLine, &count)));
  if (!args || count < 2) return std::nullopt;
  const wchar_t* first = static_cast<wchar_t**>(args.Get())[1];
  if (std::wstring_view(first) == L"0") return std::nullopt;
  return ToUtf8(first);
}

std::optional<DWORD> StoredDelayMs(Registry& registry) {
  const std::unique_ptr<RegistryKey> key = registry.Open(kSettingsKeyPath, true);
  if (!key) return std::nullopt;
  const std::optional<int32_t> seconds = key->ReadInt("DelayTime");
  if (!seconds) return std::nullopt;
  // A hand-edited value beyond 49 days would wrap around in milliseconds.
  const uint64_t ms = static_cast<uint64_t>(std::max(*seconds, 0)) * 1000;
  return static_cast<DWORD>(std::min<uint64_t>(ms, INFINITE - 1));
}

void RunOnce(Registry& registry, const std::optional<std::string>& directPicture, HWND owner,
             const std::function<void()>& beforeEffects) {
  Random15 random;
  const LoadContext loadContext{ProgramFolder(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const Settings settings = LoadSettings(ProgramKind::kVorelrun, registry, loadContext);
  TSusiePlugIn host;
  const PatternScan scan =
      ScanPlugins(host, settings.susiePath, settings.gvKnown, ProgramKind::kVorelrun, settings.systemCodecs);
  const CalendarLayout calendar = CalendarLayoutFromSettings(settings);
  CompositionContext context{settings, calendar, owner};
  context.beforeEffects = beforeEffects;
  const PictureLoadContext load = LoadContextOf(settings, host);

  const bool direct = directPicture.has_value();
  const bool prepared = settings.vorelrun && !direct;
  Picture picture;

  // Today's calendar onto the picture the previous log-on prepared (or onto whatever the
  // desktop shows now).
  if (prepared && settings.calender) {
    const std::string present = PresentWallpaper();
    LayoutChoice layout = GlobalLayout(settings);
    if (present == settings.wallFile)
      layout = ApplyOverrides(layout, settings.current.tile, settings.current.size, settings.current.position);
    picture = ReadPresentWallpaper(present);
    FitPicture(picture, layout, settings.screen, settings);
    StampCalendar(picture, layout.tile, layout.position, calendar, settings.calenForm);
    if (beforeEffects) beforeEffects();
    WriteWallpaperFile(settings.wallFile, picture);
    SetDesktopValues(layout.tile);
    TellSystemWallpaper(settings.wallFile);
    RunFollowUp(owner, settings.app, settings.appOption, settings.activeDesktopOn);
  }

  OrderPieceCache cache;
  const ChangeEnvironment environment{settings,         registry, scan.picturePatterns, context, load,
                                      std::ref(random), &cache};
  const InstallMode mode = prepared ? InstallMode::kPrepare : InstallMode::kShow;
  CurrentPictureRecord current = settings.current;
  std::optional<Picture> calendarFree;  // this run's picture as the calendar-free copy needs it
  std::optional<PictureEntry> installed;
  if (direct) {
    PictureEntry entry;
    entry.path = *directPicture;
    if (InstallPicture(entry, picture, environment, mode, &calendarFree)) installed = entry;
  } else {
    installed = ChangeWallpaper(picture, environment, mode, &calendarFree).installed;
  }
  if (installed) current = RecordOf(*installed);
  if (beforeEffects) beforeEffects();
  SaveCurrentPicture(current, registry);

  // Whoever reads the wallpaper file next (the next log-on) gets the picture without the
  // calendar of today. Without margins the picture fitted above is that copy already, so
  // the file is not decoded (or converted by GV) a second time.
  if (!prepared && settings.calender) {
    if (calendarFree) {
      const LayoutChoice layout = ApplyOverrides(GlobalLayout(settings), current.tile, current.size, current.position);
      WriteWallpaperFile(settings.wallFile, *calendarFree);
      SetDesktopValues(layout.tile);
    } else {
      WriteCalendarFreeCopy(picture, context, load, current);
    }
  }
  host.UnloadPlugins();
}

}  // namespace vorel
