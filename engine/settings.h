// The in-memory image of every setting under \Software\Brelkin\Vorel, both picture lists,
// the record of the picture on the desktop and the values read from other programs.
// Plain data: the programs' windows show it, the engine takes what it needs from it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/own_calendar_settings.h"

namespace vorel {

// Override texts as the user sees them; the engine compares them exactly.
inline constexpr const char* kStandard = "標準";
inline constexpr const char* kSubfoldersIgnore = "無視";
inline constexpr const char* kSubfoldersOneLevel = "一層";
inline constexpr const char* kSubfoldersAll = "全て";

inline constexpr const char* kSettingsKeyPath = "\\Software\\Brelkin\\Vorel";
inline constexpr const char* kExplorerKeyPath = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
inline constexpr const char* kGvKeyPath = "\\Software\\Pemble\\GV\\Path";
inline constexpr const char* kSusieKeyPath = "\\Software\\Ulmore\\Susie\\Plug-in";
inline constexpr const char* kWallpaperFileName = "WallPaper.bmp";
// Where Windows 10 and 11 keep whether their own slideshow replaces the wallpaper.
inline constexpr const char* kWallpapersKeyPath = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Wallpapers";

enum class ProgramKind { kVorelset, kVorelrun };

struct FolderEntry {
  std::string path;
  std::string subfolders = kSubfoldersIgnore;
  std::string displayTime = kStandard;
  std::string tile = kStandard;
  std::string size = kStandard;
  std::string position = kStandard;
  bool operator==(const FolderEntry&) const = default;
};

struct PictureEntry {
  std::string path;
  std::string displayTime = kStandard;
  std::string tile = kStandard;
  std::string size = kStandard;
  std::string position = kStandard;
  bool operator==(const PictureEntry&) const = default;
};

// The picture now on the desktop ("OldFile", "OldTile", "OldSize", "OldPosi").
struct CurrentPictureRecord {
  std::string path;                  // CurrentPicture
  std::string tile = kStandard;      // CurrentTile
  std::string size = kStandard;      // CurrentSize
  std::string position = kStandard;  // CurrentPosition
  bool operator==(const CurrentPictureRecord&) const = default;
};

// One of the calendar's three fonts: header ("Year"), weekday row ("Week"), days ("Day").
struct CalendarFont {
  std::string name;
  int32_t charset = 1;
  int32_t size = 18;
  bool bold = true;
  bool italic = true;
  bool underline = false;
  bool strikeOut = false;
  bool operator==(const CalendarFont&) const = default;
};

enum CalendarFontIndex { kFontYear = 0, kFontWeek = 1, kFontDay = 2 };

struct Settings {
  ProgramKind program = ProgramKind::kVorelset;

  // How pictures are put on the desktop.
  bool tile = true;
  int32_t position = 4;
  bool resize = false;
  bool resizeOver = true;
  bool inOrder = false;  // "Type": false random, true list order
  bool screen = false;
  int32_t screenX = 0;
  int32_t screenY = 0;

  // Vorelset's triggers and tray.
  int32_t changeTime = 60;
  bool start = false;
  bool interval = false;
  bool day = true;
  bool shade = false;
  int32_t click = 0;

  // Vorelset's timed changes (interval, midnight, resume) held while a program shows full
  // screen, while the machine runs on battery, while the session is locked; off unless stored.
  bool holdFullScreen = false;  // "HoldFullScreen"
  bool holdBattery = false;     // "HoldBattery"
  bool holdLocked = false;      // "HoldLocked"

  // Vorelrun.
  bool vorelrun = true;
  int32_t delayTime = 0;

  // Calendar.
  bool calender = true;
  int32_t calenSpace = 16;
  int32_t calenDistX = 37;
  int32_t calenDistY = 16;
  int32_t calenYearStart = 16;
  int32_t calenYW = 2;
  int32_t calenWD = 2;
  int32_t calenDayWidth = 48;
  int32_t calenDayHeight = 20;
  int32_t calenShadow = 2;
  bool calenShadowOn = true;  // "CalenbShadow"
  bool calenStuff = true;     // "CalenbStuff"
  int32_t calenForm = 0;      // "CalenRadioGroupForm"
  int32_t calenTraOrLon = 1;  // "CalenRadioGroupTraOrLon"
  int32_t calenPlace = 3;     // "CalenRadioGroupPlace"
  int32_t calenYear = 1;      // "CalenComboBoxYear"
  int32_t calenMonth = 2;     // "CalenComboBoxMonth"
  int32_t calenWeek = 3;      // "CalenComboBoxWeek"
  int32_t calenDay = 3;       // "CalenComboBoxDay"
  int32_t calenLength = 1;    // "CalenComboBoxLength"
  // Holidays and eras of today's law instead of the one fixed table; off unless stored.
  bool calenCurrentLaw = false;  // "CalenCurrentLaw"
  // Pictures the system's own codecs read (JPEG, PNG, ...) count too; on unless stored off.
  bool systemCodecs = true;  // "SystemCodecs"
  uint32_t colorYear = 0xFFFFFF;
  uint32_t colorNormal = 0xFFFFFF;
  uint32_t colorSat = 0xFF0000;
  uint32_t colorSun = 0x0000FF;
  uint32_t colorFest = 0x0000FF;
  uint32_t colorToday = 0x00FF00;
  uint32_t colorShadow = 0x000000;
  std::array<CalendarFont, 3> fonts;
  // The user's own days, calendar file, anniversary colour and plate.
  OwnCalendarSettings ownCalendar;

  CurrentPictureRecord current;
  // Every monitor its own picture ("PerMonitor"); off unless stored. With it on and several
  // monitors, current is the primary's picture and otherMonitors hold the others' in the
  // monitors' order ("OldFile1", "OldTile1", … for the second monitor, and so on).
  bool perMonitor = false;
  std::vector<CurrentPictureRecord> otherMonitors;
  std::string wallFile;
  std::vector<FolderEntry> folders;
  std::vector<PictureEntry> pictures;
  std::string app;
  std::string appOption;
  std::string gvPath;
  std::string susiePath;

  // Steering the wallpaper by hand. The pictures never to be shown again, as the user excluded
  // them ("ExcludeNum", "ExcludeFile" + n; both programs). Vorelset's system-wide keys, each the
  // value a hot-key control gives (low byte the virtual-key code, next byte the HOTKEYF_ flags;
  // 0 none): "HotKeyNext", "HotKeyPrev", "HotKeyPause", "HotKeyExclude".
  std::vector<std::string> excluded;
  int32_t hotKeyNext = 0;
  int32_t hotKeyPrev = 0;
  int32_t hotKeyPause = 0;
  int32_t hotKeyExclude = 0;

  // Not stored under the settings key.
  bool gvKnown = false;
  bool susieFolderKnown = false;
  bool activeDesktopOn = false;
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
  int32_t screenDpi = 96;  // the calendar's stored distances are drawn times this ÷ 96

  // The font face each program starts with and falls back to.
  std::string StartFontFace() const;
  // An erase: no picture on any monitor any more.
  void ForgetCurrentPictures() {
    current.path.clear();
    otherMonitors.clear();
  }

  static Settings VorelsetDefaults();
  static Settings VorelrunDefaults();
  bool operator==(const Settings&) const = default;
};

inline constexpr int kMaxFontNameChars = 31;
// The monitors whose current pictures are stored: a hand-edited run of "OldFile" + n values
// beyond this is not a desk.
inline constexpr int kMaxMonitors = 64;

}  // namespace vorel
