// The settings store: value kinds, defaults, write-backs and list storage.
#include "engine/settings_store.h"

#include <algorithm>
#include <variant>

#include "engine/own_calendar_settings.h"

namespace vorel {
namespace {

using BoolField = bool Settings::*;
using IntField = int32_t Settings::*;
using ColourField = uint32_t Settings::*;

struct ScalarValue {
  const char* name;
  std::variant<BoolField, IntField, ColourField> field;
  bool readByVorelrun;
};

// Switches, numbers and colours in the order they are loaded and saved.
constexpr ScalarValue kScalars[] = {
    {"Tile", &Settings::tile, true},
    {"Position", &Settings::position, true},
    {"Resize", &Settings::resize, true},
    {"ResizeOver", &Settings::resizeOver, true},
    {"Type", &Settings::inOrder, true},
    {"Screen", &Settings::screen, true},
    {"ScreenX", &Settings::screenX, true},
    {"ScreenY", &Settings::screenY, true},
    {"ChangeTime", &Settings::changeTime, false},
    {"Start", &Settings::start, false},
    {"Interval", &Settings::interval, false},
    {"Day", &Settings::day, false},
    {"Shade", &Settings::shade, false},
    {"Click", &Settings::click, false},
    // The rules that hold Vorelset's timed changes.
    {"HoldFullScreen", &Settings::holdFullScreen, true},
    {"HoldBattery", &Settings::holdBattery, true},
    {"HoldLocked", &Settings::holdLocked, true},
    {"Vorelrun", &Settings::vorelrun, true},
    {"DelayTime", &Settings::delayTime, true},
    {"Calender", &Settings::calender, true},
    {"CalenSpace", &Settings::calenSpace, true},
    {"CalenDistX", &Settings::calenDistX, true},
    {"CalenDistY", &Settings::calenDistY, true},
    {"CalenYearStart", &Settings::calenYearStart, true},
    {"CalenYW", &Settings::calenYW, true},
    {"CalenWD", &Settings::calenWD, true},
    {"CalenDayWidth", &Settings::calenDayWidth, true},
    {"CalenDayHeight", &Settings::calenDayHeight, true},
    {"CalenShadow", &Settings::calenShadow, true},
    {"CalenbShadow", &Settings::calenShadowOn, true},
    {"CalenbStuff", &Settings::calenStuff, true},
    {"CalenRadioGroupForm", &Settings::calenForm, true},
    {"CalenRadioGroupTraOrLon", &Settings::calenTraOrLon, true},
    {"CalenRadioGroupPlace", &Settings::calenPlace, true},
    {"CalenComboBoxYear", &Settings::calenYear, true},
    {"CalenComboBoxMonth", &Settings::calenMonth, true},
    {"CalenComboBoxWeek", &Settings::calenWeek, true},
    {"CalenComboBoxDay", &Settings::calenDay, true},
    {"CalenComboBoxLength", &Settings::calenLength, true},
    {"CalenColorYear", &Settings::colorYear, true},
    {"CalenColorNormal", &Settings::colorNormal, true},
    {"CalenColorSat", &Settings::colorSat, true},
    {"CalenColorSun", &Settings::colorSun, true},
    {"CalenColorFest", &Settings::colorFest, true},
    {"CalenColorToday", &Settings::colorToday, true},
    {"CalenColorShadow", &Settings::colorShadow, true},
    {"CalenCurrentLaw", &Settings::calenCurrentLaw, true},
    {"SystemCodecs", &Settings::systemCodecs, true},
    {"PerMonitor", &Settings::perMonitor, true},
};

constexpr const char* kFontSuffix[3] = {"Year", "Week", "Day"};

using FontIntField = int32_t CalendarFont::*;
using FontBoolField = bool CalendarFont::*;
struct FontValue {
  const char* stem;
  std::variant<FontIntField, FontBoolField> field;
};
// Loaded and saved after the names, property by property, each for Year, Week, Day.
constexpr FontValue kFontValues[] = {
    {"CalenFontChar", &CalendarFont::charset},    {"CalenFontSize", &CalendarFont::size},
    {"CalenFontBold", &CalendarFont::bold},       {"CalenFontItalic", &CalendarFont::italic},
    {"CalenFontUnder", &CalendarFont::underline}, {"CalenFontStrike", &CalendarFont::strikeOut},
};

std::unique_ptr<RegistryKey> OpenOrNull(Registry& registry, std::string_view path, bool create) {
  auto key = registry.Open(path, create);
  if (!key) return std::make_unique<NullRegistryKey>();
  return key;
}

void ReadBool(RegistryKey& key, const std::string& name, bool& target) {
  if (auto v = key.ReadInt(name)) target = *v != 0;
}
void ReadNumber(RegistryKey& key, const std::string& name, int32_t& target) {
  if (auto v = key.ReadInt(name)) target = *v;
}
void ReadColour(RegistryKey& key, const std::string& name, uint32_t& target) {
  if (auto v = key.ReadInt(name)) target = static_cast<uint32_t>(*v);
}

// A text whose empty or unreadable value is replaced by the given default.
std::string ReadTextOr(RegistryKey& key, const std::string& name, const std::string& fallback) {
  TextRead r = key.ReadText(name);
  if (r.status != TextStatus::kOk || r.text.empty()) return fallback;
  return r.text;
}

// A count that cannot be read is taken as 0 and written back at once.
int32_t ReadCount(RegistryKey& key, const char* name) {
  if (auto v = key.ReadInt(name)) return std::min(*v, kMaxListEntries);
  key.WriteInt(name, 0);
  return 0;
}

void LoadFolders(RegistryKey& key, Settings& s) {
  const int32_t count = ReadCount(key, "WallNum");
  for (int32_t n = 0; n < count; ++n) {
    const std::string index = std::to_string(n);
    TextRead path = key.ReadText("WallPath" + index);
    // A path of another type is unusable: that entry alone is left out.
    if (path.status == TextStatus::kWrongType) continue;
    FolderEntry e;
    e.path = path.text;
    e.subfolders = ReadTextOr(key, "WallSub" + index, kSubfoldersIgnore);
    if (s.program == ProgramKind::kVorelset) e.displayTime = ReadTextOr(key, "WallTime" + index, kStandard);
    e.tile = ReadTextOr(key, "WallTile" + index, kStandard);
    e.size = ReadTextOr(key, "WallSize" + index, kStandard);
    e.position = ReadTextOr(key, "WallPosi" + index, kStandard);
    s.folders.push_back(std::move(e));
  }
}

void LoadPictures(RegistryKey& key, Settings& s) {
  const int32_t count = ReadCount(key, "FileNum");
  for (int32_t n = 0; n < count; ++n) {
    const std::string index = std::to_string(n);
    TextRead path = key.ReadText("WallFile" + index);
    if (path.status == TextStatus::kWrongType) continue;
    PictureEntry e;
    e.path = path.text;
    e.displayTime = ReadTextOr(key, "FileTime" + index, kStandard);
    e.tile = ReadTextOr(key, "FileTile" + index, kStandard);
    e.size = ReadTextOr(key, "FileSize" + index, kStandard);
    e.position = ReadTextOr(key, "FilePosi" + index, kStandard);
    s.pictures.push_back(std::move(e));
  }
}

void LoadFonts(RegistryKey& key, Settings& s) {
  for (int i = 0; i < 3; ++i) {
    TextRead r = key.ReadText(std::string("CalenFontName") + kFontSuffix[i]);
    if (r.status == TextStatus::kWrongType) {
      s.fonts[i].name = "System";
    } else if (!r.text.empty()) {
      s.fonts[i].name = CutToChars(r.text, kMaxFontNameChars);
    }
  }
  for (const FontValue& v : kFontValues) {
    for (int i = 0; i < 3; ++i) {
      const std::string name = std::string(v.stem) + kFontSuffix[i];
      if (auto* f = std::get_if<FontIntField>(&v.field)) ReadNumber(key, name, s.fonts[i].*(*f));
      if (auto* f = std::get_if<FontBoolField>(&v.field)) ReadBool(key, name, s.fonts[i].*(*f));
    }
  }
}

void LoadOutsideValues(Registry& registry, Settings& s) {
  if (auto explorer = registry.Open(kExplorerKeyPath, false)) {
    auto state = explorer->ReadBinary("ShellState");
    // Read into a 28-byte buffer: longer values are not used at all.
    if (state && state->size() <= 28) {
      uint8_t buffer[28] = {};
      std::copy(state->begin(), state->end(), buffer);
      s.activeDesktopOn = (buffer[4] & 0x40) != 0;
    }
  }
  if (!s.gvKnown) {
    if (auto gv = registry.Open(kGvKeyPath, false)) {
      TextRead r = gv->ReadText("");
      s.gvPath = r.status == TextStatus::kOk ? r.text : std::string();
    }
    s.gvKnown = !s.gvPath.empty();
  }
  if (!s.susieFolderKnown) {
    if (auto susie = registry.Open(kSusieKeyPath, false)) {
      TextRead r = susie->ReadText("Path");
      s.susiePath = r.status == TextStatus::kOk ? r.text : std::string();
    }
    s.susieFolderKnown = !s.susiePath.empty();
  }
}

void WriteScalars(RegistryKey& key, const Settings& s) {
  for (const ScalarValue& v : kScalars) {
    if (auto* b = std::get_if<BoolField>(&v.field)) key.WriteInt(v.name, s.*(*b) ? 1 : 0);
    if (auto* i = std::get_if<IntField>(&v.field)) key.WriteInt(v.name, s.*(*i));
    if (auto* c = std::get_if<ColourField>(&v.field)) key.WriteInt(v.name, static_cast<int32_t>(s.*(*c)));
  }
}

void WriteFonts(RegistryKey& key, const Settings& s) {
  for (int i = 0; i < 3; ++i) key.WriteText(std::string("CalenFontName") + kFontSuffix[i], s.fonts[i].name);
  for (const FontValue& v : kFontValues) {
    for (int i = 0; i < 3; ++i) {
      const std::string name = std::string(v.stem) + kFontSuffix[i];
      if (auto* f = std::get_if<FontIntField>(&v.field)) key.WriteInt(name, s.fonts[i].*(*f));
      if (auto* f = std::get_if<FontBoolField>(&v.field)) key.WriteInt(name, s.fonts[i].*(*f) ? 1 : 0);
    }
  }
}

// The record of monitor place n: the primary's at 0 with the plain names, the others' with
// the place after the name, as the lists number their entries.
std::string RecordName(const char* stem, int place) {
  return place == 0 ? std::string(stem) : std::string(stem) + std::to_string(place);
}

CurrentPictureRecord ReadCurrent(RegistryKey& key, int place) {
  CurrentPictureRecord r;
  r.path = ReadTextOr(key, RecordName("OldFile", place), "");
  r.tile = ReadTextOr(key, RecordName("OldTile", place), kStandard);
  r.position = ReadTextOr(key, RecordName("OldPosi", place), kStandard);
  r.size = ReadTextOr(key, RecordName("OldSize", place), kStandard);
  return r;
}

void WriteCurrent(RegistryKey& key, const CurrentPictureRecord& r, int place = 0) {
  key.WriteText(RecordName("OldFile", place), r.path);
  key.WriteText(RecordName("OldTile", place), r.tile);
  key.WriteText(RecordName("OldPosi", place), r.position);
  key.WriteText(RecordName("OldSize", place), r.size);
}

// Another monitor's record is there while its path value is, whatever its type.
bool HasRecord(RegistryKey& key, int place) {
  return key.ReadText(RecordName("OldFile", place)).status != TextStatus::kMissing;
}

void LoadOtherMonitors(RegistryKey& key, Settings& s) {
  for (int place = 1; place < kMaxMonitors && HasRecord(key, place); ++place)
    s.otherMonitors.push_back(ReadCurrent(key, place));
}

// The primary's record and the others', and no record for a monitor that is not there
// any more.
void WriteAllCurrent(RegistryKey& key, const CurrentPictureRecord& primary,
                     const std::vector<CurrentPictureRecord>& others) {
  WriteCurrent(key, primary);
  int place = 1;
  for (; place <= static_cast<int>(others.size()) && place < kMaxMonitors; ++place)
    WriteCurrent(key, others[static_cast<size_t>(place - 1)], place);
  for (; place < kMaxMonitors && HasRecord(key, place); ++place)
    for (const char* stem : {"OldFile", "OldTile", "OldPosi", "OldSize"}) key.DeleteValue(RecordName(stem, place));
}

// --- Steering by hand: the exclusion list and the hot keys, each read only when stored.

constexpr const char* kExcludeCount = "ExcludeNum";
constexpr const char* kExcludeStem = "ExcludeFile";

struct HotKeyValue {
  const char* name;
  int32_t Settings::*field;
};
constexpr HotKeyValue kHotKeyValues[] = {
    {"HotKeyNext", &Settings::hotKeyNext},
    {"HotKeyPrev", &Settings::hotKeyPrev},
    {"HotKeyPause", &Settings::hotKeyPause},
    {"HotKeyExclude", &Settings::hotKeyExclude},
};

std::vector<std::string> ReadExcluded(RegistryKey& key) {
  std::vector<std::string> excluded = ReadTextList(key, kExcludeCount, kExcludeStem);
  std::erase(excluded, std::string());
  return excluded;
}

// The list written whole; the entries of a longer list before it are removed, so that a
// picture taken back is gone from the key too.
void WriteExcluded(RegistryKey& key, const std::vector<std::string>& excluded) {
  const int32_t before = std::clamp(key.ReadInt(kExcludeCount).value_or(0), 0, kMaxListEntries);
  const auto count = static_cast<int32_t>(std::min<size_t>(excluded.size(), kMaxListEntries));
  if (count == 0 && !key.ReadInt(kExcludeCount)) return;  // never excluded anything: nothing stored
  key.WriteInt(kExcludeCount, count);
  for (int32_t n = 0; n < count; ++n) key.WriteText(kExcludeStem + std::to_string(n), excluded[static_cast<size_t>(n)]);
  for (int32_t n = count; n < before; ++n) key.DeleteValue(kExcludeStem + std::to_string(n));
}

void LoadSteering(RegistryKey& key, Settings& s) {
  s.excluded = ReadExcluded(key);
  if (s.program != ProgramKind::kVorelset) return;
  for (const HotKeyValue& v : kHotKeyValues) ReadNumber(key, v.name, s.*(v.field));
}

void WriteSteering(RegistryKey& key, const Settings& s) {
  WriteExcluded(key, s.excluded);
  for (const HotKeyValue& v : kHotKeyValues) {
    // A key never set stays unstored, as before there were keys.
    if (s.*(v.field) == 0 && !key.ReadInt(v.name)) continue;
    key.WriteInt(v.name, s.*(v.field));
  }
}

}  // namespace

std::vector<std::string> ReadTextList(RegistryKey& key, const std::string& countName, const std::string& stem) {
  std::vector<std::string> texts;
  const int32_t count = std::clamp(key.ReadInt(countName).value_or(0), 0, kMaxListEntries);
  for (int32_t n = 0; n < count; ++n) {
    TextRead text = key.ReadText(stem + std::to_string(n));
    if (text.status == TextStatus::kOk) texts.push_back(std::move(text.text));
  }
  return texts;
}

std::string Settings::StartFontFace() const {
  return program == ProgramKind::kVorelset ? "ＭＳ Ｐ明朝" : "ＭＳ Ｐゴシック";
}

Settings Settings::VorelsetDefaults() {
  Settings s;
  s.program = ProgramKind::kVorelset;
  for (auto& f : s.fonts) f.name = s.StartFontFace();
  s.fonts[kFontYear].underline = true;
  return s;
}

Settings Settings::VorelrunDefaults() {
  Settings s;
  s.program = ProgramKind::kVorelrun;
  s.tile = false;
  s.resizeOver = false;
  s.vorelrun = false;
  s.calender = false;
  s.calenDistX = 16;
  s.calenDistY = 32;
  s.calenYear = 0;
  s.calenMonth = 1;
  s.calenWeek = 1;
  s.calenDay = 1;
  for (auto& f : s.fonts) f.name = s.StartFontFace();
  s.fonts[kFontYear].underline = true;
  return s;
}

std::string CutToChars(const std::string& text, int maxChars) {
  size_t pos = 0;
  int chars = 0;
  while (pos < text.size() && chars < maxChars) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    pos = std::min(text.size(), pos + len);
    ++chars;
  }
  return text.substr(0, pos);
}

Settings LoadSettings(ProgramKind program, Registry& registry, const LoadContext& context) {
  Settings s = program == ProgramKind::kVorelset ? Settings::VorelsetDefaults() : Settings::VorelrunDefaults();
  s.screenWidth = context.screenWidth;
  s.screenHeight = context.screenHeight;
  s.screenDpi = context.screenDpi;
  auto key = OpenOrNull(registry, kSettingsKeyPath, true);

  for (const ScalarValue& v : kScalars) {
    if (program == ProgramKind::kVorelrun && !v.readByVorelrun) continue;
    if (auto* b = std::get_if<BoolField>(&v.field)) ReadBool(*key, v.name, s.*(*b));
    if (auto* i = std::get_if<IntField>(&v.field)) ReadNumber(*key, v.name, s.*(*i));
    if (auto* c = std::get_if<ColourField>(&v.field)) ReadColour(*key, v.name, s.*(*c));
  }
  LoadFonts(*key, s);

  s.current = ReadCurrent(*key, 0);
  LoadOtherMonitors(*key, s);

  s.wallFile = ReadTextOr(*key, "WallFile", "");
  if (s.wallFile.empty()) {
    s.wallFile = context.programFolder + kWallpaperFileName;
    key->WriteText("WallFile", s.wallFile);
  }

  LoadFolders(*key, s);
  LoadPictures(*key, s);
  s.app = ReadTextOr(*key, "App", "");
  s.appOption = ReadTextOr(*key, "AppOption", "");

  s.gvPath = ReadTextOr(*key, "GvPath", "");
  s.gvKnown = !s.gvPath.empty();
  s.susiePath = ReadTextOr(*key, "SusiePath", "");
  s.susieFolderKnown = !s.susiePath.empty();
  LoadSteering(*key, s);
  LoadOwnCalendar(*key, s);
  key.reset();

  LoadOutsideValues(registry, s);
  return s;
}

bool SaveSettings(const Settings& s, Registry& registry) {
  auto key = registry.Open(kSettingsKeyPath, true);
  if (!key) return false;
  WriteScalars(*key, s);
  WriteFonts(*key, s);
  WriteAllCurrent(*key, s.current, s.otherMonitors);
  key->WriteText("WallFile", s.wallFile);

  key->WriteInt("WallNum", static_cast<int32_t>(s.folders.size()));
  for (size_t n = 0; n < s.folders.size(); ++n) {
    const std::string index = std::to_string(n);
    const FolderEntry& e = s.folders[n];
    key->WriteText("WallPath" + index, e.path);
    key->WriteText("WallSub" + index, e.subfolders);
    key->WriteText("WallTime" + index, e.displayTime);
    key->WriteText("WallTile" + index, e.tile);
    key->WriteText("WallSize" + index, e.size);
    key->WriteText("WallPosi" + index, e.position);
  }
  key->WriteInt("FileNum", static_cast<int32_t>(s.pictures.size()));
  for (size_t n = 0; n < s.pictures.size(); ++n) {
    const std::string index = std::to_string(n);
    const PictureEntry& e = s.pictures[n];
    key->WriteText("WallFile" + index, e.path);
    key->WriteText("FileTime" + index, e.displayTime);
    key->WriteText("FileTile" + index, e.tile);
    key->WriteText("FileSize" + index, e.size);
    key->WriteText("FilePosi" + index, e.position);
  }
  key->WriteText("App", s.app);
  key->WriteText("AppOption", s.appOption);
  if (s.gvKnown) key->WriteText("GvPath", s.gvPath);
  if (s.susieFolderKnown) key->WriteText("SusiePath", s.susiePath);
  WriteSteering(*key, s);
  SaveOwnCalendar(*key, s);
  return true;
}

bool SaveCurrentPicture(const CurrentPictureRecord& record, Registry& registry,
                        const std::vector<CurrentPictureRecord>& otherMonitors) {
  auto key = registry.Open(kSettingsKeyPath, true);
  if (!key) return false;
  WriteAllCurrent(*key, record, otherMonitors);
  return true;
}

std::vector<std::string> LoadExcluded(Registry& registry) {
  auto key = registry.Open(kSettingsKeyPath, true);
  return key ? ReadExcluded(*key) : std::vector<std::string>{};
}

bool SaveExcluded(const std::vector<std::string>& excluded, Registry& registry) {
  auto key = registry.Open(kSettingsKeyPath, true);
  if (!key) return false;
  WriteExcluded(*key, excluded);
  return true;
}

WallpaperHistory LoadHistory(Registry& registry) {
  auto key = registry.Open(kSettingsKeyPath, true);
  if (!key) return {};
  const TextRead stored = key->ReadText(kHistoryValue);
  return stored.status == TextStatus::kOk ? ParseHistory(stored.text) : WallpaperHistory{};
}

bool SaveHistory(const WallpaperHistory& history, Registry& registry) {
  auto key = registry.Open(kSettingsKeyPath, true);
  return key && key->WriteText(kHistoryValue, FormatHistory(history));
}

uint32_t LoadHintShown(Registry& registry) {
  auto key = registry.Open(kSettingsKeyPath, false);
  if (!key) return 0;
  return static_cast<uint32_t>(key->ReadInt("HintShown").value_or(0));
}

bool SaveHintShown(uint32_t shown, Registry& registry) {
  auto key = registry.Open(kSettingsKeyPath, true);
  return key && key->WriteInt("HintShown", static_cast<int32_t>(shown));
}

std::optional<int32_t> LoadWindowsBackgroundType(Registry& registry) {
  auto key = registry.Open(kWallpapersKeyPath, false);
  if (!key) return std::nullopt;
  return key->ReadInt("BackgroundType");
}

}  // namespace vorel
