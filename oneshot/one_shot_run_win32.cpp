#include "oneshot/one_shot_run_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <functional>

#include "calendar/calendar_draw.h"
#include "change/change_run_win32.h"
#include "converters/dib.h"
#include "converters/susie_plugin_win32.h"
#include "engine/settings_store.h"
#include "platform/dpi_win32.h"
#include "platform/files.h"
#include "platform/program_paths_win32.h"
#include "platform/screen_geometry_win32.h"
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

// Today's calendar onto the pictures the previous log-on prepared, one per monitor. A file of
// the virtual screen's size that is the wallpaper file gives every monitor its own part back,
// with that monitor's texts; any other wallpaper goes onto every monitor with the global
// layout, as the system itself shows one picture on each.
void RefreshEveryMonitor(const WallpaperLayout& layout, const CompositionContext& context) {
  const Settings& settings = context.settings;
  const std::string present = PresentWallpaper();
  Picture wallpaper = ReadPresentWallpaper(present);
  const bool ours =
      present == settings.wallFile && wallpaper.width == layout.Width() && wallpaper.height == layout.Height();
  if (ours && SystemVirtualScreenStyle() == VirtualScreenStyle::kTiledFromPrimary)
    UnrollVirtualScreen(wallpaper, layout.PrimaryCorner());
  const std::vector<MonitorPictures> records = CurrentMonitorPictures(settings, layout.monitors.size());
  Picture canvas;
  ComposeVirtualScreen(
      canvas, layout,
      [&](size_t monitor, const PixelWindow& target) {
        LayoutChoice choice = GlobalLayout(settings);
        Picture part;
        if (ours) {
          const ScreenRect& r = layout.monitors[monitor];
          const PixelWindow from = WindowOf(wallpaper, r.left, r.top, r.Width(), r.Height());
          part.width = from.width;
          part.height = from.height;
          part.pixels.resize(static_cast<size_t>(part.width) * part.height);
          for (int32_t y = 0; y < part.height; ++y)
            std::copy_n(from.Row(y), part.width, part.pixels.data() + static_cast<size_t>(y) * part.width);
          if (!records[monitor].empty()) {
            const CurrentPictureRecord& record = records[monitor].front();
            choice = ApplyOverrides(choice, record.tile, record.size, record.position);
          }
        }
        const FitRequest fit{choice, settings.screen ? settings.screenX : 0, settings.screen ? settings.screenY : 0,
                             target.width, target.height};
        FitPictureInto(ours ? part : wallpaper, fit, DesktopColour, target);
        return true;
      },
      DesktopColour);
  wallpaper = Picture{};
  InstallVirtualScreen(canvas, layout, context, MonitorUse::kShow);
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
  // The screen as it is now: its size, and the DPI the wallpaper's calendar is drawn for.
  const LoadContext loadContext{ProgramFolder(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                SystemDpi()};
  const Settings settings = LoadSettings(ProgramKind::kVorelrun, registry, loadContext);
  TSusiePlugIn host;
  const PatternScan scan =
      ScanPlugins(host, settings.susiePath, settings.gvKnown, ProgramKind::kVorelrun, settings.systemCodecs);
  const CalendarLayout calendar = CalendarLayoutFromSettings(settings);
  CompositionContext context{settings, calendar, owner};
  context.beforeEffects = beforeEffects;
  context.screens = CurrentScreenGeometry();
  const std::optional<WallpaperLayout> monitors = EveryMonitorLayout(context);
  const PictureLoadContext load = LoadContextOf(settings, host);

  const bool direct = directPicture.has_value();
  const bool prepared = settings.vorelrun && !direct;
  Picture picture;

  // Today's calendar onto the picture the previous log-on prepared (or onto whatever the
  // desktop shows now).
  if (prepared && settings.calender && monitors) {
    RefreshEveryMonitor(*monitors, context);
  } else if (prepared && settings.calender) {
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
  Settings records;  // the current pictures after this run
  records.current = settings.current;
  records.otherMonitors = settings.otherMonitors;
  std::optional<CalendarFreeForm> calendarFree;  // this run's pictures as the calendar-free copy needs them
  if (direct) {
    PictureEntry entry;
    entry.path = *directPicture;
    // With a picture per monitor it goes on the primary; the others keep theirs.
    if (InstallPicture(entry, picture, environment, mode, &calendarFree)) {
      records.current = RecordOf(entry);
      if (!monitors) records.otherMonitors.clear();
    }
  } else {
    TakeRecords(records, ChangeWallpaper(picture, environment, mode, &calendarFree).records);
  }
  if (beforeEffects) beforeEffects();
  SaveCurrentPicture(records.current, registry, records.otherMonitors);

  // Whoever reads the wallpaper file next (the next log-on) gets the picture without the
  // calendar of today. Without margins the picture fitted above is that copy already, so
  // the file is not decoded (or converted by GV) a second time.
  if (!prepared && settings.calender) {
    if (calendarFree)
      WriteCalendarFreeForm(*calendarFree, settings);
    else
      WriteCalendarFreeCopy(picture, context, load, records.current, records.otherMonitors);
  }
  host.UnloadPlugins();
}

}  // namespace vorel
