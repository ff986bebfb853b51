#include "engine/compose_win32.h"

#include <shellapi.h>
#include <shlobj.h>

#include "engine/bmp_file.h"
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

void StampCalendar(Picture& picture, bool tile, int32_t position, const CalendarLayout& layout, int32_t form,
                   const Clock& clock) {
  PlaceOnArea(picture, tile, position, layout.ScreenWidth, layout.ScreenHeight, DesktopColour);
  GdiCanvas canvas(picture);
  DrawCalendar(canvas, layout, form, clock);
  canvas.Finish();
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

}  // namespace

void SetDesktopValues(bool tile, const std::string* wallpaper) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) return;
  const UniqueKey key(raw);
  SetText(key.Get(), L"WallpaperOriginX", L"0");
  SetText(key.Get(), L"WallpaperOriginY", L"0");
  SetText(key.Get(), L"TileWallpaper", tile ? L"1" : L"0");
  if (wallpaper) SetText(key.Get(), L"Wallpaper", ToWide(*wallpaper));
}

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

void ComposeWallpaper(Picture& picture, const CompositionContext& context, const std::string& tileText,
                      const std::string& positionText, const std::string& sizeText, const LayoutChoice& globals,
                      std::optional<Picture>* calendarFree) {
  const LayoutChoice layout = ApplyOverrides(globals, tileText, sizeText, positionText);
  FitPicture(picture, layout, context.settings.screen, context.settings);
  InstallFitted(picture, context, layout, calendarFree);
}

void InstallFitted(Picture& fitted, const CompositionContext& context, const LayoutChoice& layout,
                   std::optional<Picture>* calendarFree) {
  const Settings& settings = context.settings;
  if (settings.calender) {
    if (calendarFree && !settings.screen) *calendarFree = fitted;
    StampCalendar(fitted, layout.tile, layout.position, context.layout, settings.calenForm, context.clock);
  }
  if (context.beforeEffects) context.beforeEffects();
  WriteWallpaperFile(settings.wallFile, fitted);
  SetDesktopValues(layout.tile);
  TellSystemWallpaper(settings.wallFile);
  RunFollowUp(context.owner, settings.app, settings.appOption, settings.activeDesktopOn);
}

void RecomposeAtExit(Picture& picture, const CompositionContext& context, const PictureLoadContext& load) {
  const Settings& settings = context.settings;
  if (settings.shade) {
    EraseWallpaper();
    RunFollowUp(context.owner, settings.app, settings.appOption, settings.activeDesktopOn);
    return;
  }
  if (settings.calender && !settings.current.path.empty())
    WriteCalendarFreeCopy(picture, context, load, settings.current);
}

bool WriteCalendarFreeCopy(Picture& picture, const CompositionContext& context, const PictureLoadContext& load,
                           const CurrentPictureRecord& record) {
  const Settings& settings = context.settings;
  const LayoutChoice layout = ApplyOverrides(GlobalLayout(settings), record.tile, record.size, record.position);
  if (!LoadFittedPicture(record.path, ScreenFit(layout, false, settings), picture, load)) return false;
  if (context.beforeEffects) context.beforeEffects();
  WriteWallpaperFile(settings.wallFile, picture);
  SetDesktopValues(layout.tile);
  return true;
}

}  // namespace vorel
