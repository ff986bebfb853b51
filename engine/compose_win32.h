// Turning the loaded picture into the desktop wallpaper: overrides, fit, calendar, the
// wallpaper file, the desktop values, telling the system and the follow-up program; also
// erasing the wallpaper and the calendar-free copy left at Vorelset's exit.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "calendar/calendar_draw.h"
#include "engine/fit_picture.h"
#include "engine/load_picture_win32.h"
#include "engine/picture.h"
#include "engine/settings.h"

namespace vorel {

// What a composition reads besides the picture: the settings as they stand ("Screen",
// "ScreenX", "ScreenY", "Calender", "CalenRadioGroupForm", "WallFile", "App", "AppOption",
// ActiveDesktopOn), the calendar records, and the window that owns the follow-up program.
struct CompositionContext {
  const Settings& settings;
  const CalendarLayout& layout;
  HWND owner = nullptr;
  Clock clock = Today;
  // Called before the first change anyone can see (the wallpaper file, the desktop values):
  // Vorelrun prepares the picture while its title shows and holds the change back here until
  // its timer. It may be called more than once and may throw to abandon the change.
  std::function<void()> beforeEffects = nullptr;
};

// The wallpaper file could not be written; the desktop and its values are untouched.
class WallpaperWriteError : public std::runtime_error {
 public:
  explicit WallpaperWriteError(const std::string& path);
};

LayoutChoice GlobalLayout(const Settings& settings);

// A fit to the screen size of this moment, with the margins of the settings when marginsOn.
FitRequest ScreenFit(const LayoutChoice& layout, bool marginsOn, const Settings& settings);
void FitPicture(Picture& picture, const LayoutChoice& layout, bool marginsOn, const Settings& settings);
void StampCalendar(Picture& picture, bool tile, int32_t position, const CalendarLayout& layout, int32_t form,
                   const Clock& clock = Today);
// Throws WallpaperWriteError; the previous file stays whole when writing fails.
void WriteWallpaperFile(const std::string& path, const Picture& picture);
// The wallpaper file goes out in pieces of this size, packed one after the other into one
// buffer that stays in the processor's cache: a buffer for the whole file would be new
// memory to fault in at each change, and a second copy of the picture.
inline constexpr size_t kWallpaperChunkBytes = size_t{256} << 10;
// "WallpaperOriginX", "WallpaperOriginY", "TileWallpaper" under Control Panel\Desktop, and
// "Wallpaper" too when a path is given (Vorelrun's prepared mode).
void SetDesktopValues(bool tile, const std::string* wallpaper = nullptr);
void TellSystemWallpaper(const std::string& path);
void RunFollowUp(HWND owner, const std::string& application, const std::string& parameters, bool activeDesktopOn);
void EraseWallpaper();

// The steps after the fit, for a picture fitted with `layout` and the margins of the settings:
// the calendar, the wallpaper file, the desktop values, the system told, the follow-up program.
// calendarFree, when given, receives the fitted picture before the calendar is drawn, when it
// is the calendar-free form of the wallpaper (calendar on, no margins).
void InstallFitted(Picture& fitted, const CompositionContext& context, const LayoutChoice& layout,
                   std::optional<Picture>* calendarFree = nullptr);

// The entry's texts over the globals, the fit, then InstallFitted.
void ComposeWallpaper(Picture& picture, const CompositionContext& context, const std::string& tileText,
                      const std::string& positionText, const std::string& sizeText, const LayoutChoice& globals,
                      std::optional<Picture>* calendarFree = nullptr);

// Loads the recorded picture and writes it without calendar and margins into the wallpaper
// file, with the desktop values; the system is not told. False when it could not be loaded.
bool WriteCalendarFreeCopy(Picture& picture, const CompositionContext& context, const PictureLoadContext& load,
                           const CurrentPictureRecord& record);

// Vorelset's wallpaper step at exit: erase ("Shade"), or leave the current picture without
// calendar and margins in the wallpaper file without telling the system.
void RecomposeAtExit(Picture& picture, const CompositionContext& context, const PictureLoadContext& load);

}  // namespace vorel
