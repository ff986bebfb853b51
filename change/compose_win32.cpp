#include "change/compose_win32.h"

#include <shellapi.h>
#include <shlobj.h>
#include <versionhelpers.h>

#include <algorithm>

#include "calendar/plate.h"
#include "change/calendar_file_win32.h"
#include "engine/bmp_file.h"
#include "engine/display_scale.h"
#include "platform/files.h"
#include "platform/gdi_canvas_win32.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"

namespace vorel {

WallpaperWriteError::WallpaperWriteError(const std::string& path)
    : std::runtime_error("壁紙ファイルに書き込めませんでした: " + path) {}

LayoutChoice GlobalLayout(const Settings& settings) {
  return {settings.tile, settings.position, settings.resize, settings.resizeOver};
}

FitRequest ScreenFit(const LayoutChoice& layout, bool marginsOn, const Settings& settings) {
  FitRequest request;
  request.layout = layout;
  request.marginX = marginsOn ? settings.screenX : 0;
  request.marginY = marginsOn ? settings.screenY : 0;
  request.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  request.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  return request;
}

void FitPicture(Picture& picture, const LayoutChoice& layout, bool marginsOn, const Settings& settings) {
  FitPicture(picture, ScreenFit(layout, marginsOn, settings), DesktopColour);
}

namespace {

// The plate under what the calendar covers, as strong as the normal days' colour needs. When
// it changed anything, the part's pixels of `reach` (everything the calendar may paint, the
// plate included) as they were before, for the calendar-free copy.
std::optional<OverwrittenPixels> LayPlate(const PixelWindow& part, const CanvasArea& covered, CanvasArea reach,
                                          const CalendarLayout& layout) {
  const CanvasArea area = PlateArea(covered, ScaleForDpi(kPlateMargin, layout.Dpi), part.width, part.height);
  if (area.Empty() || !part.origin) return std::nullopt;
  const auto window = [&part](const CanvasArea& a) {
    return PixelWindow{part.Row(a.top) + a.left, part.stride, a.right - a.left, a.bottom - a.top};
  };
  const PixelWindow under = window(area);
  const Plate plate = PlateFor(under, layout.Style.ColorNormal);
  if (plate.strength <= 0) return std::nullopt;
  reach = {std::clamp(std::min(reach.left, area.left), 0, part.width), std::clamp(std::min(reach.top, area.top), 0, part.height),
           std::clamp(std::max(reach.right, area.right), 0, part.width),
           std::clamp(std::max(reach.bottom, area.bottom), 0, part.height)};
  const PixelWindow before = window(reach);
  OverwrittenPixels saved{reach.left, reach.top, {before.width, before.height, {}}};
  saved.pixels.pixels.resize(static_cast<size_t>(before.width) * before.height);
  for (int32_t y = 0; y < before.height; ++y)
    std::copy_n(before.Row(y), before.width, saved.pixels.pixels.data() + static_cast<size_t>(y) * before.width);
  ApplyPlate(under, plate);
  return saved;
}

}  // namespace

void DrawCalendarOn(const PixelWindow& part, const CalendarLayout& stored, int32_t form, const Clock& clock,
                    OverwrittenPixels* overwritten) {
  // One day for both drawings, even across midnight.
  const Date today = clock();
  const Clock sameDay = [today] { return today; };
  CalendarLayout layout = stored;
  // The file is read afresh for every drawing, and only for the days this one shows.
  if (!layout.File.empty())
    if (const std::optional<DateSpan> span = ShownSpan(layout, form, today))
      layout.FileDays = ReadCalendarFile(layout.File, *span).days;
  CanvasArea area;
  CanvasArea covered;
  {
    GdiCanvas measures(PixelWindow{}, layout.Dpi);
    BoundsCanvas bounds(measures);
    DrawCalendar(bounds, layout, form, sameDay);
    area = bounds.Area();
    covered = bounds.Covered();
  }
  std::optional<OverwrittenPixels> underPlate =
      layout.Plate ? LayPlate(part, covered, area, layout) : std::nullopt;
  GdiCanvas canvas(part, layout.Dpi, area);
  DrawCalendar(canvas, layout, form, sameDay);
  canvas.Finish(overwritten);
  if (underPlate && overwritten) *overwritten = std::move(*underPlate);
}

void StampCalendar(Picture& picture, bool tile, int32_t position, const CalendarLayout& layout, int32_t form,
                   const Clock& clock) {
  PlaceOnArea(picture, tile, position, layout.ScreenWidth, layout.ScreenHeight, DesktopColour);
  DrawCalendarOn(WindowOf(picture), layout, form, clock);
}

void WriteWallpaperFile(const std::string& path, const Picture& picture) {
  const bool written = ReplaceFileContent(path, [&picture](const std::function<bool(std::string_view)>& write) {
    return StreamBmp24(picture, write, kWallpaperChunkBytes);
  });
  if (!written) throw WallpaperWriteError(path);
}

namespace {

void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

constexpr const wchar_t* kSpanStyle = L"22";

std::wstring ReadText(HKEY key, const wchar_t* name) {
  wchar_t text[16]{};
  DWORD type = 0;
  DWORD bytes = sizeof(text) - sizeof(wchar_t);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes) != ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  return text;
}

// style: the "WallpaperStyle" a virtual screen needs, or none for the one screen's picture.
void WriteDesktopValues(bool tile, const wchar_t* style, const std::string* wallpaper) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE | KEY_QUERY_VALUE, &raw) !=
      ERROR_SUCCESS)
    return;
  const UniqueKey key(raw);
  SetText(key.Get(), L"WallpaperOriginX", L"0");
  SetText(key.Get(), L"WallpaperOriginY", L"0");
  SetText(key.Get(), L"TileWallpaper", tile ? L"1" : L"0");
  if (style)
    SetText(key.Get(), L"WallpaperStyle", style);
  else if (ReadText(key.Get(), L"WallpaperStyle") == kSpanStyle)
    SetText(key.Get(), L"WallpaperStyle", L"0");
  if (wallpaper) SetText(key.Get(), L"Wallpaper", ToWide(*wallpaper));
}

}  // namespace

void SetDesktopValues(bool tile, const std::string* wallpaper) { WriteDesktopValues(tile, nullptr, wallpaper); }

void TellSystemWallpaper(const std::string& path) {
  std::wstring wide = ToWide(path);
  SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, wide.data(), SPIF_UPDATEINIFILE);
}

void RunFollowUp(HWND owner, const std::string& application, const std::string& parameters, bool activeDesktopOn) {
  if (activeDesktopOn) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
  if (application.empty()) return;
  ShellExecuteW(owner, nullptr, ToWide(application).c_str(), ToWide(parameters).c_str(), nullptr, SW_SHOW);
}

void EraseWallpaper() {
  wchar_t empty[1] = {L'\0'};
  SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, empty, SPIF_UPDATEINIFILE);
}

namespace {

void InstallFittedPicture(Picture& fitted, const CompositionContext& context, const LayoutChoice& layout,
                          std::optional<Picture>* calendarFree, bool followUp) {
  const Settings& settings = context.settings;
  if (settings.calender) {
    if (calendarFree && !settings.screen) *calendarFree = fitted;
    StampCalendar(fitted, layout.tile, layout.position, context.layout, settings.calenForm, context.clock);
  }
  if (context.beforeEffects) context.beforeEffects();
  WriteWallpaperFile(settings.wallFile, fitted);
  SetDesktopValues(layout.tile);
  TellSystemWallpaper(settings.wallFile);
  if (followUp) RunFollowUp(context.owner, settings.app, settings.appOption, settings.activeDesktopOn);
}

}  // namespace

void ComposeWallpaper(Picture& picture, const CompositionContext& context, const std::string& tileText,
                      const std::string& positionText, const std::string& sizeText, const LayoutChoice& globals,
                      std::optional<Picture>* calendarFree) {
  const LayoutChoice layout = ApplyOverrides(globals, tileText, sizeText, positionText);
  FitPicture(picture, layout, context.settings.screen, context.settings);
  InstallFitted(picture, context, layout, calendarFree);
}

void InstallFitted(Picture& fitted, const CompositionContext& context, const LayoutChoice& layout,
                   std::optional<Picture>* calendarFree) {
  InstallFittedPicture(fitted, context, layout, calendarFree, true);
}

bool RecomposeWallpaper(Picture& picture, const CompositionContext& context, const PictureLoadContext& load,
                        const CurrentPictureRecord& record) {
  const Settings& settings = context.settings;
  const LayoutChoice layout = ApplyOverrides(GlobalLayout(settings), record.tile, record.size, record.position);
  if (!LoadFittedPicture(record.path, ScreenFit(layout, settings.screen, settings), picture, load)) return false;
  InstallFittedPicture(picture, context, layout, nullptr, false);
  return true;
}

void RecomposeAtExit(Picture& picture, const CompositionContext& context, const PictureLoadContext& load) {
  const Settings& settings = context.settings;
  if (settings.shade) {
    EraseWallpaper();
    RunFollowUp(context.owner, settings.app, settings.appOption, settings.activeDesktopOn);
    return;
  }
  if (settings.calender && !settings.current.path.empty())
    WriteCalendarFreeCopy(picture, context, load, settings.current, settings.otherMonitors);
}

std::optional<WallpaperLayout> EveryMonitorLayout(const CompositionContext& context) {
  if (!context.settings.perMonitor) return std::nullopt;
  WallpaperLayout layout = LayoutOf(context.screens);
  if (layout.monitors.size() < 2) return std::nullopt;
  return layout;
}

VirtualScreenStyle SystemVirtualScreenStyle() {
  return IsWindows8OrGreater() ? VirtualScreenStyle::kSpanned : VirtualScreenStyle::kTiledFromPrimary;
}

namespace {

void WriteVirtualScreen(const Picture& canvas, const WallpaperLayout& layout, VirtualScreenStyle style,
                        const std::string& path) {
  const Offset roll = style == VirtualScreenStyle::kTiledFromPrimary ? layout.PrimaryCorner() : Offset{};
  const bool written = ReplaceFileContent(path, [&](const std::function<bool(std::string_view)>& write) {
    return StreamBmp24Rolled(canvas, roll.x, roll.y, write, kWallpaperChunkBytes);
  });
  if (!written) throw WallpaperWriteError(path);
}

void SetVirtualScreenDesktopValues(VirtualScreenStyle style, const std::string* wallpaper) {
  if (style == VirtualScreenStyle::kTiledFromPrimary)
    WriteDesktopValues(true, L"0", wallpaper);
  else
    WriteDesktopValues(false, kSpanStyle, wallpaper);
}

// The calendar on the primary's part, laid out for that part's size.
void StampCalendarOnPrimary(Picture& canvas, const WallpaperLayout& layout, const CompositionContext& context,
                            OverwrittenPixels* overwritten) {
  const ScreenRect& primary = layout.monitors[0];
  const PixelWindow part = WindowOf(canvas, primary.left, primary.top, primary.Width(), primary.Height());
  CalendarLayout calendar = context.layout;
  calendar.ScreenWidth = part.width;
  calendar.ScreenHeight = part.height;
  DrawCalendarOn(part, calendar, context.settings.calenForm, context.clock, overwritten);
}

}  // namespace

std::vector<MonitorPictures> CurrentMonitorPictures(const Settings& settings, size_t monitors) {
  std::vector<MonitorPictures> pictures(monitors);
  for (size_t i = 0; i < monitors; ++i) {
    const CurrentPictureRecord& record = i == 0                               ? settings.current
                                         : i <= settings.otherMonitors.size() ? settings.otherMonitors[i - 1]
                                                                              : CurrentPictureRecord{};
    if (!record.path.empty()) pictures[i].push_back(record);
  }
  return pictures;
}

std::vector<CurrentPictureRecord> ShownRecords(const std::vector<MonitorPictures>& pictures,
                                               const std::vector<int>& shown) {
  std::vector<CurrentPictureRecord> records(pictures.size());
  for (size_t i = 0; i < pictures.size() && i < shown.size(); ++i)
    if (shown[i] >= 0) records[i] = pictures[i][static_cast<size_t>(shown[i])];
  return records;
}

std::optional<std::vector<int>> InstallEveryMonitor(Picture& canvas, const WallpaperLayout& layout,
                                                    const std::vector<MonitorPictures>& pictures,
                                                    const CompositionContext& context, const PictureLoadContext& load,
                                                    MonitorUse use, std::optional<CalendarFreeForm>* calendarFree) {
  const Settings& settings = context.settings;
  const bool shows = use == MonitorUse::kShow || use == MonitorUse::kRecompose;
  const bool margins = shows && settings.screen;
  const LayoutChoice globals = GlobalLayout(settings);
  std::vector<int> shown(layout.monitors.size(), -1);
  ComposeVirtualScreen(
      canvas, layout,
      [&](size_t monitor, const PixelWindow& target) {
        if (monitor >= pictures.size()) return false;
        for (size_t i = 0; i < pictures[monitor].size(); ++i) {
          const CurrentPictureRecord& p = pictures[monitor][i];
          if (p.path.empty()) continue;
          const FitRequest fit{ApplyOverrides(globals, p.tile, p.size, p.position), margins ? settings.screenX : 0,
                               margins ? settings.screenY : 0, target.width, target.height};
          if (LoadFittedInto(p.path, fit, target, load)) {
            shown[monitor] = static_cast<int>(i);
            return true;
          }
        }
        return false;
      },
      DesktopColour);
  if (std::none_of(shown.begin(), shown.end(), [](int s) { return s == 0; })) {
    canvas = Picture{};
    return std::nullopt;
  }
  OverwrittenPixels underCalendar;
  const bool calendar = shows && settings.calender;
  InstallVirtualScreen(canvas, layout, context, use, calendarFree && !margins ? &underCalendar : nullptr);
  if (calendarFree && calendar && !margins) {
    const ScreenRect& primary = layout.monitors[0];
    PutBack(underCalendar, WindowOf(canvas, primary.left, primary.top, primary.Width(), primary.Height()));
    *calendarFree = CalendarFreeForm{std::move(canvas), layout, false};
  }
  return shown;
}

void InstallVirtualScreen(Picture& canvas, const WallpaperLayout& layout, const CompositionContext& context,
                          MonitorUse use, OverwrittenPixels* underCalendar) {
  const Settings& settings = context.settings;
  const bool shows = use == MonitorUse::kShow || use == MonitorUse::kRecompose;
  if (shows && settings.calender) StampCalendarOnPrimary(canvas, layout, context, underCalendar);
  if (context.beforeEffects) context.beforeEffects();
  const VirtualScreenStyle style = SystemVirtualScreenStyle();
  WriteVirtualScreen(canvas, layout, style, settings.wallFile);
  SetVirtualScreenDesktopValues(style, use == MonitorUse::kPrepare ? &settings.wallFile : nullptr);
  if (shows) TellSystemWallpaper(settings.wallFile);
  if (use == MonitorUse::kShow) RunFollowUp(context.owner, settings.app, settings.appOption, settings.activeDesktopOn);
}

void WriteCalendarFreeForm(const CalendarFreeForm& form, const Settings& settings) {
  if (form.monitors) {
    const VirtualScreenStyle style = SystemVirtualScreenStyle();
    WriteVirtualScreen(form.picture, *form.monitors, style, settings.wallFile);
    SetVirtualScreenDesktopValues(style, nullptr);
    return;
  }
  WriteWallpaperFile(settings.wallFile, form.picture);
  SetDesktopValues(form.tile);
}

bool WriteCalendarFreeCopy(Picture& picture, const CompositionContext& context, const PictureLoadContext& load,
                           const CurrentPictureRecord& record, const std::vector<CurrentPictureRecord>& otherMonitors) {
  const Settings& settings = context.settings;
  if (const std::optional<WallpaperLayout> monitors = EveryMonitorLayout(context)) {
    Settings records;
    records.current = record;
    records.otherMonitors = otherMonitors;
    const bool written =
        InstallEveryMonitor(picture, *monitors, CurrentMonitorPictures(records, monitors->monitors.size()), context,
                            load, MonitorUse::kCalendarFree)
            .has_value();
    picture = Picture{};
    return written;
  }
  const LayoutChoice layout = ApplyOverrides(GlobalLayout(settings), record.tile, record.size, record.position);
  if (!LoadFittedPicture(record.path, ScreenFit(layout, false, settings), picture, load)) return false;
  if (context.beforeEffects) context.beforeEffects();
  WriteWallpaperFile(settings.wallFile, picture);
  SetDesktopValues(layout.tile);
  return true;
}

}  // namespace vorel
