// Reading rules, defaults, write-backs and list storage of the settings store.
#include "engine/settings_store.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

constexpr const char* kKey = "Software\\Brelkin\\Vorel";

LoadContext Context() { return {"C:\\Program Files\\Vorel\\", 1024, 768}; }

Settings Load(MemoryRegistry& reg, ProgramKind kind = ProgramKind::kVorelset) {
  return LoadSettings(kind, reg, Context());
}

TEST(SettingsStore, EmptyKeyGivesDefaultsAndWritesBackCountsAndWallpaperFile) {
  MemoryRegistry reg;
  Settings s = Load(reg);

  Settings expected = Settings::VorelsetDefaults();
  expected.wallFile = "C:\\Program Files\\Vorel\\WallPaper.bmp";
  expected.screenWidth = 1024;
  expected.screenHeight = 768;
  EXPECT_EQ(s, expected);
  EXPECT_EQ(s.fonts[kFontDay].name, "ＭＳ Ｐ明朝");

  ASSERT_NE(reg.Get(kKey, "WallNum"), nullptr);
  EXPECT_EQ(reg.Get(kKey, "WallNum")->type, MemoryRegistry::Type::kDword);
  EXPECT_EQ(reg.Get(kKey, "WallNum")->number, 0);
  ASSERT_NE(reg.Get(kKey, "FileNum"), nullptr);
  EXPECT_EQ(reg.Get(kKey, "FileNum")->number, 0);
  ASSERT_NE(reg.Get(kKey, "WallFile"), nullptr);
  EXPECT_EQ(reg.Get(kKey, "WallFile")->text, "C:\\Program Files\\Vorel\\WallPaper.bmp");
  // Nothing else is written by a load.
  EXPECT_EQ(reg.KeyValues(kKey).size(), 3u);
}

TEST(SettingsStore, VorelrunHasItsOwnDefaultsAndSkipsVorelsetOnlyValues) {
  MemoryRegistry reg;
  reg.SetInt(kKey, "ChangeTime", 5);
  reg.SetInt(kKey, "Shade", 1);
  reg.SetInt(kKey, "WallNum", 1);
  reg.SetText(kKey, "WallPath0", "D:\\写真");
  reg.SetText(kKey, "WallTime0", "30");
  Settings s = Load(reg, ProgramKind::kVorelrun);

  EXPECT_FALSE(s.tile);
  EXPECT_FALSE(s.resizeOver);
  EXPECT_FALSE(s.calender);
  EXPECT_FALSE(s.vorelrun);
  EXPECT_EQ(s.calenDistX, 16);
  EXPECT_EQ(s.calenDistY, 32);
  EXPECT_EQ(s.calenYear, 0);
  EXPECT_EQ(s.fonts[kFontYear].name, "ＭＳ Ｐゴシック");
  EXPECT_EQ(s.changeTime, 60) << "Vorelrun does not read ChangeTime";
  EXPECT_FALSE(s.shade);
  ASSERT_EQ(s.folders.size(), 1u);
  EXPECT_EQ(s.folders[0].path, "D:\\写真");
  EXPECT_EQ(s.folders[0].displayTime, "標準") << "Vorelrun does not read WallTime";
}

TEST(SettingsStore, SwitchReadsAnyNonZeroAsTrueAndSavesOne) {
  MemoryRegistry reg;
  reg.SetInt(kKey, "Type", 5);
  reg.SetInt(kKey, "Tile", 0);
  reg.SetText(kKey, "Day", "1");  // wrong type: keeps the default
  reg.SetInt(kKey, "ScreenX", -7);
  reg.SetInt(kKey, "CalenColorSat", 0x123456);
  Settings s = Load(reg);
  EXPECT_TRUE(s.inOrder);
  EXPECT_FALSE(s.tile);
  EXPECT_TRUE(s.day);
  EXPECT_EQ(s.screenX, -7);
  EXPECT_EQ(s.colorSat, 0x123456u);

  ASSERT_TRUE(SaveSettings(s, reg));
  EXPECT_EQ(reg.Get(kKey, "Type")->number, 1);
  EXPECT_EQ(reg.Get(kKey, "Day")->type, MemoryRegistry::Type::kDword);
  EXPECT_EQ(reg.Get(kKey, "Day")->number, 1);
}

TEST(SettingsStore, CurrentLawCalendarIsOffUnlessStoredAndBothProgramsReadIt) {
  for (ProgramKind kind : {ProgramKind::kVorelset, ProgramKind::kVorelrun}) {
    MemoryRegistry absent;
    EXPECT_FALSE(Load(absent, kind).calenCurrentLaw);
    MemoryRegistry wrongType;
    wrongType.SetText(kKey, "CalenCurrentLaw", "1");
    EXPECT_FALSE(Load(wrongType, kind).calenCurrentLaw);
    MemoryRegistry on;
    on.SetInt(kKey, "CalenCurrentLaw", 2);
    EXPECT_TRUE(Load(on, kind).calenCurrentLaw);
  }
  MemoryRegistry reg;
  Settings s = Load(reg);
  s.calenCurrentLaw = true;
  ASSERT_TRUE(SaveSettings(s, reg));
  ASSERT_NE(reg.Get(kKey, "CalenCurrentLaw"), nullptr);
  EXPECT_EQ(reg.Get(kKey, "CalenCurrentLaw")->type, MemoryRegistry::Type::kDword);
  EXPECT_EQ(reg.Get(kKey, "CalenCurrentLaw")->number, 1);
  EXPECT_TRUE(Load(reg, ProgramKind::kVorelrun).calenCurrentLaw);
  s.calenCurrentLaw = false;
  ASSERT_TRUE(SaveSettings(s, reg));
  EXPECT_EQ(reg.Get(kKey, "CalenCurrentLaw")->number, 0);
}

// Switches added since the first release: each has its default when absent or of the wrong
// type, both programs read it, and it is written as 0 or 1.
TEST(SettingsStore, AddedSwitchesKeepTheirDefaultsAndBothProgramsReadThem) {
  struct Case {
    const char* name;
    bool Settings::*field;
    bool absent;
  };
  const Case cases[] = {
      {"SystemCodecs", &Settings::systemCodecs, true},
      {"PerMonitor", &Settings::perMonitor, false},
      {"HoldFullScreen", &Settings::holdFullScreen, false},
      {"HoldBattery", &Settings::holdBattery, false},
      {"HoldLocked", &Settings::holdLocked, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (ProgramKind kind : {ProgramKind::kVorelset, ProgramKind::kVorelrun}) {
      MemoryRegistry absent;
      EXPECT_EQ(Load(absent, kind).*c.field, c.absent);
      MemoryRegistry wrongType;
      wrongType.SetText(kKey, c.name, c.absent ? "0" : "1");
      EXPECT_EQ(Load(wrongType, kind).*c.field, c.absent);
      MemoryRegistry flipped;
      flipped.SetInt(kKey, c.name, c.absent ? 0 : 2);
      EXPECT_EQ(Load(flipped, kind).*c.field, !c.absent);
    }
    MemoryRegistry reg;
    Settings s = Load(reg);
    for (bool on : {!c.absent, c.absent}) {
      s.*c.field = on;
      ASSERT_TRUE(SaveSettings(s, reg));
      ASSERT_NE(reg.Get(kKey, c.name), nullptr);
      EXPECT_EQ(reg.Get(kKey, c.name)->type, MemoryRegistry::Type::kDword);
      EXPECT_EQ(reg.Get(kKey, c.name)->number, on ? 1 : 0);
      EXPECT_EQ(Load(reg, ProgramKind::kVorelrun).*c.field, on);
    }
  }
}

TEST(SettingsStore, TheOtherMonitorsRecords) {
  for (ProgramKind kind : {ProgramKind::kVorelset, ProgramKind::kVorelrun}) {
    MemoryRegistry absent;
    EXPECT_TRUE(Load(absent, kind).otherMonitors.empty());
    MemoryRegistry on;
    // Two other monitors; the second's texts are empty or unreadable, a gap ends the run.
    on.SetText(kKey, "OldFile1", "D:\\左.bmp");
    on.SetText(kKey, "OldTile1", "タイル");
    on.SetText(kKey, "OldSize1", "しない");
    on.SetText(kKey, "OldPosi1", "右下");
    on.SetInt(kKey, "OldFile2", 5);
    on.SetText(kKey, "OldTile2", "");
    on.SetText(kKey, "OldFile4", "D:\\遠い.bmp");
    const Settings s = Load(on, kind);
    ASSERT_EQ(s.otherMonitors.size(), 2u);
    EXPECT_EQ(s.otherMonitors[0], (CurrentPictureRecord{"D:\\左.bmp", "タイル", "しない", "右下"}));
    EXPECT_EQ(s.otherMonitors[1], CurrentPictureRecord{});
  }

  MemoryRegistry reg;
  Settings s = Load(reg);
  s.current = {"C:\\主.bmp", kStandard, kStandard, "左上"};
  s.otherMonitors = {{"C:\\二.bmp", "中央", "する", kStandard}, {"C:\\三.bmp", kStandard, kStandard, "下"}};
  ASSERT_TRUE(SaveSettings(s, reg));
  EXPECT_EQ(reg.Get(kKey, "OldFile")->text, "C:\\主.bmp");
  EXPECT_EQ(reg.Get(kKey, "OldFile2")->text, "C:\\三.bmp");
  EXPECT_EQ(reg.Get(kKey, "OldSize1")->text, "する");
  const Settings again = Load(reg, ProgramKind::kVorelrun);
  EXPECT_EQ(again.current, s.current);
  EXPECT_EQ(again.otherMonitors, s.otherMonitors);

  // One monitor fewer: its four values go, the others stay; no other monitor: all go.
  for (size_t others : {size_t{1}, size_t{0}}) {
    s.otherMonitors.resize(others);
    ASSERT_TRUE(SaveCurrentPicture(s.current, reg, s.otherMonitors));
    for (const char* stem : {"OldFile", "OldTile", "OldSize", "OldPosi"}) {
      EXPECT_EQ(reg.Get(kKey, std::string(stem) + "1") != nullptr, others == 1) << stem;
      EXPECT_EQ(reg.Get(kKey, std::string(stem) + "2"), nullptr) << stem;
    }
    EXPECT_EQ(Load(reg).otherMonitors, s.otherMonitors);
  }
  EXPECT_EQ(reg.Get(kKey, "OldFile")->text, "C:\\主.bmp");
}

TEST(SettingsStore, ListEntriesTakeDefaultsForEmptyMissingAndUnreadableTexts) {
  MemoryRegistry reg;
  reg.SetInt(kKey, "WallNum", 2);
  reg.SetText(kKey, "WallPath0", "C:\\壁紙");
  reg.SetText(kKey, "WallSub0", "");
  reg.SetInt(kKey, "WallTile0", 3);  // not a text
  reg.SetText(kKey, "WallPosi0", "右下");
  // Entry 1 has no values at all.
  reg.SetInt(kKey, "FileNum", 1);
  reg.SetText(kKey, "WallFile0", "C:\\a.bmp");
  reg.SetText(kKey, "FileTime0", "120");
  Settings s = Load(reg);

  ASSERT_EQ(s.folders.size(), 2u);
  EXPECT_EQ(s.folders[0], (FolderEntry{"C:\\壁紙", "無視", "標準", "標準", "標準", "右下"}));
  EXPECT_EQ(s.folders[1], (FolderEntry{"", "無視", "標準", "標準", "標準", "標準"}));
  ASSERT_EQ(s.pictures.size(), 1u);
  EXPECT_EQ(s.pictures[0], (PictureEntry{"C:\\a.bmp", "120", "標準", "標準", "標準"}));
}

TEST(SettingsStore, PathOfWrongTypeSkipsOnlyThatEntry) {
  MemoryRegistry reg;
  reg.SetInt(kKey, "WallNum", 3);
  reg.SetText(kKey, "WallPath0", "A");
  reg.SetInt(kKey, "WallPath1", 9);
  reg.SetText(kKey, "WallPath2", "C");
  reg.SetInt(kKey, "FileNum", 3);
  reg.SetBinary(kKey, "WallFile0", {1, 2});
  reg.SetText(kKey, "WallFile1", "y.bmp");
  reg.SetText(kKey, "WallFile2", "z.bmp");
  Settings s = Load(reg);

  ASSERT_EQ(s.folders.size(), 2u);
  EXPECT_EQ(s.folders[0].path, "A");
  EXPECT_EQ(s.folders[1].path, "C") << "the last entry must survive a bad one before it";
  ASSERT_EQ(s.pictures.size(), 2u);
  EXPECT_EQ(s.pictures[0].path, "y.bmp");
  EXPECT_EQ(s.pictures[1].path, "z.bmp");
  // The stored values are not changed by the load.
  EXPECT_EQ(reg.Get(kKey, "WallPath1")->type, MemoryRegistry::Type::kDword);
}

// Found by the settings fuzzer: a count of two thousand million read that many entries.
TEST(SettingsStore, CorruptedHugeCountsReadAtMostTheListLimit) {
  for (const int32_t count : {kMaxListEntries + 1, 1 << 30, INT32_MAX}) {
    MemoryRegistry reg;
    reg.SetInt(kKey, "WallNum", count);
    reg.SetText(kKey, "WallPath0", "A");
    reg.SetInt(kKey, "FileNum", count);
    reg.SetText(kKey, "WallFile1", "y.bmp");
    Settings s = Load(reg, ProgramKind::kVorelrun);

    ASSERT_EQ(s.folders.size(), static_cast<size_t>(kMaxListEntries)) << count;
    EXPECT_EQ(s.folders[0].path, "A");
    ASSERT_EQ(s.pictures.size(), static_cast<size_t>(kMaxListEntries));
    EXPECT_EQ(s.pictures[1].path, "y.bmp");
    EXPECT_EQ(reg.Get(kKey, "FileNum")->number, count) << "the load must not rewrite the stored count";
  }
}

TEST(SettingsStore, ShorterListSaveLeavesHigherIndexesUnread) {
  MemoryRegistry reg;
  Settings s = Load(reg);
  for (int i = 0; i < 5; ++i) s.folders.push_back({"F" + std::to_string(i), "全て", "10", "タイル", "する", "左"});
  ASSERT_TRUE(SaveSettings(s, reg));
  s.folders.resize(3);
  ASSERT_TRUE(SaveSettings(s, reg));

  EXPECT_EQ(reg.Get(kKey, "WallNum")->number, 3);
  ASSERT_NE(reg.Get(kKey, "WallPath3"), nullptr);
  ASSERT_NE(reg.Get(kKey, "WallPath4"), nullptr);
  EXPECT_EQ(reg.Get(kKey, "WallPath4")->text, "F4");
  Settings again = Load(reg);
  ASSERT_EQ(again.folders.size(), 3u);
  EXPECT_EQ(again.folders, s.folders);
}

TEST(SettingsStore, SaveThenLoadKeepsEveryValue) {
  MemoryRegistry reg;
  Settings s = Load(reg);
  s.tile = false;
  s.position = 7;
  s.resize = true;
  s.resizeOver = false;
  s.inOrder = true;
  s.screen = true;
  s.screenX = 11;
  s.screenY = 12;
  s.changeTime = 999;
  s.start = true;
  s.interval = true;
  s.day = false;
  s.shade = true;
  s.click = 3;
  s.vorelrun = false;
  s.delayTime = 30;
  s.calender = false;
  s.calenSpace = -1;
  s.calenDistX = 2;
  s.calenDistY = 3;
  s.calenYearStart = 4;
  s.calenYW = 5;
  s.calenWD = 6;
  s.calenDayWidth = 7;
  s.calenDayHeight = 8;
  s.calenShadow = 9;
  s.calenShadowOn = false;
  s.calenStuff = false;
  s.calenForm = 1;
  s.calenTraOrLon = 0;
  s.calenPlace = 2;
  s.calenYear = 24;
  s.calenMonth = 6;
  s.calenWeek = 4;
  s.calenDay = 5;
  s.calenLength = 18;
  s.colorYear = 1;
  s.colorNormal = 2;
  s.colorSat = 3;
  s.colorSun = 4;
  s.colorFest = 5;
  s.colorToday = 6;
  s.colorShadow = 7;
  s.fonts[kFontYear] = {"IPAPGothic", 128, 9, false, false, false, true};
  s.fonts[kFontWeek] = {"ＭＳ Ｐゴシック", 0, 10, true, false, true, false};
  s.fonts[kFontDay] = {"Arial", 1, 11, false, true, true, true};
  s.current = {"C:\\今.jpg", "タイル", "しない", "右上"};
  s.wallFile = "C:\\壁紙.bmp";
  s.folders = {{"C:\\f", "一層", "20", "中央", "する", "上"}};
  s.pictures = {{"C:\\p.bmp", "標準", "タイル", "標準", "中央"}, {"C:\\q.bmp", "5", "標準", "しない", "左上"}};
  s.app = "notepad.exe";
  s.appOption = "/a";
  s.gvPath = "C:\\GV\\Gv.exe";
  s.gvKnown = true;
  s.susiePath = "C:\\spi";
  s.susieFolderKnown = true;
  ASSERT_TRUE(SaveSettings(s, reg));
  EXPECT_EQ(Load(reg), s);
}

TEST(SettingsStore, ShellStateIsUsedOnlyAsBinaryOfAtMost28Bytes) {
  struct Case {
    const char* what;
    int type;  // 0 binary, 1 dword, 2 none
    size_t size;
    bool expected;
  } cases[] = {
      {"28 bytes with the bit", 0, 28, true},
      {"5 bytes with the bit", 0, 5, true},
      {"36 bytes with the bit", 0, 36, false},
      {"DWORD", 1, 4, false},
      {"missing", 2, 0, false},
  };
  for (const Case& c : cases) {
    MemoryRegistry reg;
    const char* explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
    std::vector<uint8_t> bytes(c.size, 0);
    if (c.size > 4) bytes[4] = 0x40;
    if (c.type == 0) reg.SetBinary(explorer, "ShellState", bytes);
    if (c.type == 1) reg.SetInt(explorer, "ShellState", 0x40404040);
    EXPECT_EQ(Load(reg).activeDesktopOn, c.expected) << c.what;
  }
  MemoryRegistry reg;
  reg.SetBinary("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", "ShellState", std::vector<uint8_t>(28, 0xBF));
  EXPECT_FALSE(Load(reg).activeDesktopOn) << "only bit 0x40 counts";
}

TEST(SettingsStore, GvAndSusieFallBackToTheirOwnKeysWithoutCreatingThem) {
  MemoryRegistry reg;
  reg.SetText("Software\\Pemble\\GV\\Path", "", "C:\\GV\\Gv.exe");
  reg.SetText("Software\\Ulmore\\Susie\\Plug-in", "Path", "C:\\Susie");
  Settings s = Load(reg);
  EXPECT_TRUE(s.gvKnown);
  EXPECT_EQ(s.gvPath, "C:\\GV\\Gv.exe");
  EXPECT_TRUE(s.susieFolderKnown);
  EXPECT_EQ(s.susiePath, "C:\\Susie");
  ASSERT_TRUE(SaveSettings(s, reg));
  EXPECT_EQ(reg.Get(kKey, "GvPath")->text, "C:\\GV\\Gv.exe");
  EXPECT_EQ(reg.Get(kKey, "SusiePath")->text, "C:\\Susie");

  // The own value wins over the outside key.
  reg.SetText(kKey, "GvPath", "D:\\Gv.exe");
  EXPECT_EQ(Load(reg).gvPath, "D:\\Gv.exe");

  MemoryRegistry empty;
  Settings none = Load(empty);
  EXPECT_FALSE(none.gvKnown);
  EXPECT_FALSE(none.susieFolderKnown);
  ASSERT_TRUE(SaveSettings(none, empty));
  EXPECT_EQ(empty.Get(kKey, "GvPath"), nullptr);
  EXPECT_EQ(empty.Get(kKey, "SusiePath"), nullptr);
  EXPECT_FALSE(empty.HasKey("Software\\Pemble\\GV\\Path"));
  EXPECT_FALSE(empty.HasKey("Software\\Ulmore\\Susie\\Plug-in"));
}

TEST(SettingsStore, FontNamesAreCutFallBackAndReadSystemForWrongType) {
  MemoryRegistry reg;
  reg.SetText(kKey, "CalenFontNameYear", std::string(40, 'A'));
  reg.SetInt(kKey, "CalenFontNameWeek", 1);
  reg.SetText(kKey, "CalenFontNameDay", "");
  reg.SetInt(kKey, "CalenFontSizeWeek", 30);
  reg.SetInt(kKey, "CalenFontUnderYear", 0);
  Settings s = Load(reg);
  EXPECT_EQ(s.fonts[kFontYear].name, std::string(31, 'A'));
  EXPECT_EQ(s.fonts[kFontWeek].name, "System");
  EXPECT_EQ(s.fonts[kFontDay].name, "ＭＳ Ｐ明朝");
  EXPECT_EQ(s.fonts[kFontWeek].size, 30);
  EXPECT_FALSE(s.fonts[kFontYear].underline);

  // Characters are counted, not bytes: a Japanese name is not cut inside a character.
  std::string longJapanese;
  for (int i = 0; i < 35; ++i) longJapanese += "明";
  reg.SetText(kKey, "CalenFontNameYear", longJapanese);
  EXPECT_EQ(Load(reg).fonts[kFontYear].name, longJapanese.substr(0, 31 * 3));
}

class UnopenableRegistry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> Open(std::string_view, bool) override { return nullptr; }
};

TEST(SettingsStore, UnopenableKeyGivesDefaultsAndSaveReportsFailure) {
  UnopenableRegistry reg;
  Settings s = LoadSettings(ProgramKind::kVorelset, reg, Context());
  EXPECT_EQ(s.wallFile, "C:\\Program Files\\Vorel\\WallPaper.bmp");
  EXPECT_TRUE(s.folders.empty());
  EXPECT_FALSE(SaveSettings(s, reg));
  EXPECT_FALSE(SaveCurrentPicture(s.current, reg));
}

TEST(SettingsStore, CurrentPictureRecordIsWrittenAlone) {
  MemoryRegistry reg;
  ASSERT_TRUE(SaveCurrentPicture({"C:\\x.jpg", "タイル", "する", "右"}, reg));
  EXPECT_EQ(reg.KeyValues(kKey).size(), 4u);
  EXPECT_EQ(reg.Get(kKey, "OldPosi")->text, "右");
  Settings s = Load(reg, ProgramKind::kVorelrun);
  EXPECT_EQ(s.current, (CurrentPictureRecord{"C:\\x.jpg", "タイル", "する", "右"}));
}

}  // namespace
}  // namespace vorel
