// The hot keys' stored values, their names, and the tray's tip with the picture's name.
#include "resident/hot_keys.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(HotKeys, StoredValuesAreReadAsTheControlGivesThemAndDamageIsNoKey) {
  struct Case {
    int32_t stored;
    HotKey key;
    uint32_t modifiers;
  };
  const Case cases[] = {
      {0, {}, 0},
      {0x0678, {0x78, kHotKeyControl | kHotKeyAlt}, kModControl | kModAlt | kModNoRepeat},  // Ctrl+Alt+F9
      {0x014E, {0x4E, kHotKeyShift}, kModShift | kModNoRepeat},
      {0x0A25, {0x25, kHotKeyControl | kHotKeyExtended}, kModControl | kModNoRepeat},  // extended: no modifier
      {0x0600, {}, 0},                                                                 // no key
      {0x1078, {}, 0},   // a flag that is none of the four
      {0x10678, {}, 0},  // bits above the control's word
      {-1, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    const HotKey key = HotKey::FromStored(c.stored);
    EXPECT_EQ(key, c.key);
    if (!key.None()) {
      EXPECT_EQ(key.Modifiers(), c.modifiers);
      EXPECT_EQ(key.Stored(), c.stored);
    }
  }
  EXPECT_EQ(HotKeyBindings().size(), 4u);
}

TEST(HotKeys, NamesReadAsTheControlShowsThem) {
  const auto keyName = [](uint8_t vk, bool) -> std::string {
    if (vk == 0x78) return "F9";
    if (vk == 'N') return "N";
    return "";
  };
  EXPECT_EQ(HotKeyName(HotKey{0x78, kHotKeyControl | kHotKeyAlt}, keyName), "Ctrl+Alt+F9");
  EXPECT_EQ(HotKeyName(HotKey{'N', kHotKeyControl | kHotKeyShift | kHotKeyAlt}, keyName), "Ctrl+Shift+Alt+N");
  EXPECT_EQ(HotKeyName(HotKey{0xE9, kHotKeyAlt}, keyName), "Alt+キー 0xE9");  // a key without a name
  EXPECT_EQ(HotKeyName(HotKey{}, keyName), "");
}

size_t Units(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

TEST(HotKeys, TheTipNamesThePictureAndThePauseAndFitsTheTray) {
  struct Case {
    const char* name;
    bool paused;
    std::string path;
    std::vector<std::string> keys;
    std::string tip;
  };
  const std::string longName = "とても長い名前の写真ファイル_" + std::string(60, 'x') + "_最後.jpg";
  const Case cases[] = {
      {"no picture", false, "", {}, "Vorel"},
      {"a picture", false, "C:\\写真\\夕焼け.bmp", {}, "Vorel\n夕焼け.bmp"},
      {"paused", true, "C:\\写真\\夕焼け.bmp", {}, "Vorel（一時停止中）\n夕焼け.bmp"},
      {"paused without a picture", true, "", {}, "Vorel（一時停止中）"},
      {"a key another program holds", false, "D:\\a.bmp", {"Ctrl+Alt+F9"}, "Vorel\na.bmp\n使えないキー: Ctrl+Alt+F9"},
      {"two keys, no picture", false, "", {"Ctrl+F9", "Alt+N"}, "Vorel\n使えないキー: Ctrl+F9, Alt+N"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TrayTip(c.paused, c.path, c.keys), c.tip);
  }
  // A long name is cut in its middle, keeping its start and its extension, within 63.
  for (const bool paused : {false, true}) {
    const std::string tip = TrayTip(paused, "C:\\" + longName, {"Ctrl+Alt+F9"});
    EXPECT_LE(Units(tip), kTrayTipChars) << tip;
    EXPECT_NE(tip.find("\nとても長い"), std::string::npos) << tip;
    EXPECT_NE(tip.find("…"), std::string::npos) << tip;
    EXPECT_NE(tip.find("最後.jpg\n使えないキー: Ctrl+Alt+F9"), std::string::npos) << tip;
  }
  // Many keys: the tip still fits.
  const std::string crowded =
      TrayTip(true, "C:\\" + longName, std::vector<std::string>(4, "Ctrl+Shift+Alt+Scroll Lock"));
  EXPECT_LE(Units(crowded), kTrayTipChars) << crowded;
}

}  // namespace
}  // namespace vorel
