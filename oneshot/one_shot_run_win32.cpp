#include "oneshot/one_shot_run_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <functional>

#include "calendar/calendar_draw.h"
#include "converters/dib.h"
#include "converters/susie_plugin_win32.h"
#include "engine/collect_pictures.h"
#include "engine/compose_win32.h"
#include "engine/directory_listing_win32.h"
#include "engine/load_picture_win32.h"
#include "engine/picture_order.h"
#include "engine/settings_store.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"

namespace vorel {
namespace {

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return ToUtf8(path.substr(0, path.find_last_of(L'\\') + 1));
}

std::string PresentWallpaper() {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\desktop", 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return {};
  const UniqueKey key(raw);
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.Get(), L"Wallpaper", nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.Get(), L"Wallpaper", nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
      ERROR_SUCCESS)
    return {};
  text.resize(std::min<size_t>(bytes / sizeof(wchar_t), text.size()));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return ToUtf8(text);
}

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

void RunOnce(Registry& registry, const std::optional<std::string>& directPicture, HWND owner) {
  Random15 random;
  const LoadContext loadContext{ProgramFolder(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const Settings settings = LoadSettings(ProgramKind::kVorelrun, registry, loadContext);
  TSusiePlugIn host;
  const PatternScan scan = ScanPlugins(host, settings.susiePath, settings.gvKnown, ProgramKind::kVorelrun);
  const CalendarLayout calendar = CalendarLayoutFromSettings(settings);
  const CompositionContext context{settings, calendar, owner};
  const PictureLoadContext load{
      settings.wallFile, settings.gvPath, ProgramKind::kVorelrun,
      [&host](const std::string& path, Picture& target) { return host.LoadFromFile(path, target); }};

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
    WriteWallpaperFile(settings.wallFile, picture);
    SetDesktopValues(layout.tile);
    TellSystemWallpaper(settings.wallFile);
    RunFollowUp(owner, settings.app, settings.appOption, settings.activeDesktopOn);
  }

  CurrentPictureRecord chosen;
  bool haveChoice = false;
  if (direct) {
    chosen.path = *directPicture;
    haveChoice = true;
  } else {
    std::vector<FolderEntry> folders = settings.folders;
    std::vector<PictureEntry> candidates = settings.pictures;
    CollectPictures(folders, candidates, scan.picturePatterns, ListDirectoryWin32);
    if (!candidates.empty()) {
      const PictureEntry& entry = NextPicture(candidates, settings.inOrder, registry, std::ref(random));
      chosen = {entry.path, entry.tile, entry.size, entry.position};
      haveChoice = true;
    }
  }

  CurrentPictureRecord current = settings.current;
  std::optional<Picture> calendarFree;  // this run's picture as the calendar-free copy needs it
  if (haveChoice && LoadPicture(chosen.path, picture, load)) {
    const LayoutChoice layout = ApplyOverrides(GlobalLayout(settings), chosen.tile, chosen.size, chosen.position);
    // Margins follow "Screen" here as in Vorelset's change run; a prepared picture gets
    // them, with the calendar, at the next log-on.
    const bool margins = !prepared && settings.screen;
    FitPicture(picture, layout, margins, settings);
    if (!prepared && settings.calender) {
      if (!margins) calendarFree = picture;
      StampCalendar(picture, layout.tile, layout.position, calendar, settings.calenForm);
    }
    WriteWallpaperFile(settings.wallFile, picture);
    if (prepared) {
      // Shown by the system when it next reads its wallpaper, at the next log-on at the latest.
      SetDesktopValues(layout.tile, &settings.wallFile);
    } else {
      SetDesktopValues(layout.tile);
      TellSystemWallpaper(settings.wallFile);
      RunFollowUp(owner, settings.app, settings.appOption, settings.activeDesktopOn);
    }
    current = chosen;
  }
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
