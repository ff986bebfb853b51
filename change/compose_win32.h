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
#include "change/load_picture_win32.h"
#include "engine/fit_picture.h"
#include "engine/monitor_layout.h"
#include "engine/picture.h"
#include "engine/settings.h"
#include "platform/gdi_canvas_win32.h"

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
  // The desk at this composition (CurrentScreenGeometry). With "PerMonitor" on and two or
  // more monitors every monitor gets its own picture; without monitors, one screen.
  ScreenGeometry screens = {};
};

// The monitors to compose one by one: set when "PerMonitor" is on and the desk has two or
// more monitors; otherwise the wallpaper is the one picture of the primary screen.
std::optional<WallpaperLayout> EveryMonitorLayout(const CompositionContext& context);

// The wallpaper file could not be written; the desktop and its values are untouched.
class WallpaperWriteError : public std::runtime_error {
 public:
  explicit WallpaperWriteError(const std::string& path);
};

LayoutChoice GlobalLayout(const Settings& settings);

// A fit to the screen size of this moment, with the margins of the settings when marginsOn.
FitRequest ScreenFit(const LayoutChoice& layout, bool marginsOn, const Settings& settings);
void FitPicture(Picture& picture, const LayoutChoice& layout, bool marginsOn, const Settings& settings);
// The calendar drawn on the part, GDI given a copy of only the area it covers; what it
// replaced into overwritten when given (in the part's coordinates).
void DrawCalendarOn(const PixelWindow& part, const CalendarLayout& layout, int32_t form, const Clock& clock = Today,
                    OverwrittenPixels* overwritten = nullptr);
void StampCalendar(Picture& picture, bool tile, int32_t position, const CalendarLayout& layout, int32_t form,
                   const Clock& clock = Today);
// Throws WallpaperWriteError; the previous file stays whole when writing fails.
void WriteWallpaperFile(const std::string& path, const Picture& picture);
// The wallpaper file goes out in pieces of this size, packed one after the other into one
// buffer that stays in the processor's cache: a buffer for the whole file would be new
// memory to fault in at each change, and a second copy of the picture.
inline constexpr size_t kWallpaperChunkBytes = size_t{256} << 10;
// "WallpaperOriginX", "WallpaperOriginY", "TileWallpaper" under Control Panel\Desktop, and
// "Wallpaper" too when a path is given (Vorelrun's prepared mode). A "WallpaperStyle" of 22
// left from a virtual screen goes back to 0: it would stretch one screen's picture over
// every monitor.
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

// The record's picture loaded, composed and installed again (new screens): as ComposeWallpaper
// with the record's texts, without the follow-up program. False when it cannot be loaded.
bool RecomposeWallpaper(Picture& picture, const CompositionContext& context, const PictureLoadContext& load,
                        const CurrentPictureRecord& record);

// Loads the recorded picture and writes it without calendar and margins into the wallpaper
// file, with the desktop values; the system is not told. False when it could not be loaded.
// With every monitor its own picture, each monitor's recorded picture (the primary's record,
// then the others') goes on its monitor; false when none of them loads.
bool WriteCalendarFreeCopy(Picture& picture, const CompositionContext& context, const PictureLoadContext& load,
                           const CurrentPictureRecord& record,
                           const std::vector<CurrentPictureRecord>& otherMonitors = {});

// Vorelset's wallpaper step at exit: erase ("Shade"), or leave the current picture without
// calendar and margins in the wallpaper file without telling the system.
void RecomposeAtExit(Picture& picture, const CompositionContext& context, const PictureLoadContext& load);

// ---- Every monitor its own picture.

// How a bitmap of the virtual screen lies on the desktop. Windows 7 tiles it from the
// primary's top-left corner, wrapping what lies left of or above it, so the file is rolled
// to match; Windows 8 and later lay it over the virtual screen as it is (span,
// "WallpaperStyle" 22). Both put a file of the virtual screen's size where Wine draws it.
enum class VirtualScreenStyle { kTiledFromPrimary, kSpanned };
VirtualScreenStyle SystemVirtualScreenStyle();

// What a composition per monitor is for.
enum class MonitorUse {
  kShow,          // a change: margins per "Screen", the calendar, the system told, the follow-up
  kRecompose,     // the same pictures again for new screens: as kShow without the follow-up
  kPrepare,       // Vorelrun's prepared mode: bare pictures, "Wallpaper" named, the system not told
  kCalendarFree,  // no margins, no calendar, the system not told: the copy for the next reader
};

// A monitor's pictures in the order they are tried: the first that loads is shown.
using MonitorPictures = std::vector<CurrentPictureRecord>;

// The wallpaper file's calendar-free form, kept by a change so that its pictures are not
// decoded (or converted by GV) a second time for it.
struct CalendarFreeForm {
  Picture picture;
  std::optional<WallpaperLayout> monitors;  // a virtual screen; otherwise the primary screen's picture
  bool tile = false;                        // the one picture's "TileWallpaper"
};
void WriteCalendarFreeForm(const CalendarFreeForm& form, const Settings& settings);

// Composes the virtual screen (each monitor's first picture that loads, fitted to it with its
// own texts and the global margins) and installs it for the use. Returns, per monitor, the
// index of the picture shown or -1; nullopt when no monitor could show its first picture and
// nothing was written. calendarFree, when given, receives the file's calendar-free form when
// that is the canvas without its calendar (kShow, no margins).
std::optional<std::vector<int>> InstallEveryMonitor(Picture& canvas, const WallpaperLayout& layout,
                                                    const std::vector<MonitorPictures>& pictures,
                                                    const CompositionContext& context, const PictureLoadContext& load,
                                                    MonitorUse use,
                                                    std::optional<CalendarFreeForm>* calendarFree = nullptr);

// The common end of every composition per monitor, for a canvas composed by its caller: the
// calendar on the primary's part (a showing use; what it replaced into underCalendar when
// given), the file rolled for the system's style, the desktop values, and the system and the
// follow-up program as the use wants.
void InstallVirtualScreen(Picture& canvas, const WallpaperLayout& layout, const CompositionContext& context,
                          MonitorUse use, OverwrittenPixels* underCalendar = nullptr);

// Every monitor's current picture (the primary's and the others') in the order of the layout;
// a monitor beyond the records has none.
std::vector<MonitorPictures> CurrentMonitorPictures(const Settings& settings, size_t monitors);
// The records a composition leaves: the picture each monitor shows, none where it shows none.
std::vector<CurrentPictureRecord> ShownRecords(const std::vector<MonitorPictures>& pictures,
                                               const std::vector<int>& shown);

}  // namespace vorel
