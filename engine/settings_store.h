// Reading and writing the settings image under the settings key.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/registry.h"
#include "engine/settings.h"
#include "engine/wallpaper_history.h"

namespace vorel {

// What the store needs from the running program that is not in the registry.
struct LoadContext {
  std::string programFolder;  // folder of the running executable, with its trailing backslash
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
  int32_t screenDpi = 96;  // the DPI the wallpaper's calendar is drawn for
};

// A list count beyond this is a corrupted value, not a list: a hand-edited "FileNum" of two
// thousand million would otherwise add that many empty entries and exhaust the memory. The
// lists are filled by hand one entry at a time, so no real list comes near it.
inline constexpr int32_t kMaxListEntries = 65535;

// A list of texts stored as a count and one value per entry ("ExcludeNum", "ExcludeFile0", …):
// the entries that read as texts, in order; a missing or damaged count is an empty list.
std::vector<std::string> ReadTextList(RegistryKey& key, const std::string& countName, const std::string& stem);

// Reads every value the program uses, in the documented order, starting from the
// program's own defaults. Missing "WallNum", "FileNum" and "WallFile" are written back.
// When the key cannot be opened, the result is the defaults.
Settings LoadSettings(ProgramKind program, Registry& registry, const LoadContext& context);

// Vorelset: writes every setting (not the persistent order), both lists, the follow-up
// application and, while known, the GV path and the plug-in folder. Values of list indexes
// beyond the counts are left in place.
bool SaveSettings(const Settings& settings, Registry& registry);

// Vorelrun: writes the record of the picture now on the desktop, and the other monitors'
// records; the records of monitor places beyond them are removed.
bool SaveCurrentPicture(const CurrentPictureRecord& record, Registry& registry,
                        const std::vector<CurrentPictureRecord>& otherMonitors = {});

// The exclusion list as stored, for a change to it made outside the settings window (the tray's
// "この絵を今後使わない"), which must not take the window's unsaved edits with it.
std::vector<std::string> LoadExcluded(Registry& registry);
bool SaveExcluded(const std::vector<std::string>& excluded, Registry& registry);

// The history of the desktop's pictures ("History"), read and written by both programs after
// their changes; a value that is missing, of another type or damaged reads as empty.
WallpaperHistory LoadHistory(Registry& registry);
bool SaveHistory(const WallpaperHistory& history, Registry& registry);
// Vorelset's hints shown once per user: "HintShown", a REG_DWORD of one bit per kind of hint
// (resident/first_hints.h). Missing or of another type, nothing has been shown. Vorelrun shows
// no hints and reads none.
uint32_t LoadHintShown(Registry& registry);
bool SaveHintShown(uint32_t shown, Registry& registry);
// What Windows 10 and 11 do with the desktop's background: "BackgroundType" under
// \Software\Microsoft\Windows\CurrentVersion\Explorer\Wallpapers; nullopt when missing or
// not a REG_DWORD.
std::optional<int32_t> LoadWindowsBackgroundType(Registry& registry);

// Cuts a UTF-8 text to at most maxChars characters without splitting a character.
std::string CutToChars(const std::string& text, int maxChars);

}  // namespace vorel
