// The Win32 registry adapter and the settings store against the prefix's real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/settings_store.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

constexpr const char* kScratch = "Software\\VorelTest\\Registry";

class RegistryWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::DeleteUserKey(kScratch);
    testing::DeleteUserKey("Software\\Brelkin\\Vorel");
  }
  void TearDown() override {
    testing::DeleteUserKey(kScratch);
    testing::DeleteUserKey("Software\\Brelkin\\Vorel");
  }
  // Writes a raw value with the Win32 API, bypassing the adapter.
  static void Raw(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
    UniqueKey k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, ToWide(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.Put(),
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(k.Get(), ToWide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  Win32Registry reg_;
};

TEST_F(RegistryWin32, JapaneseTextsRoundTrip) {
  auto key = reg_.Open(std::string("\\") + kScratch, true);
  ASSERT_TRUE(key);
  ASSERT_TRUE(key->WriteText("WallPath0", "C:\\写真\\壁紙（夏）"));
  ASSERT_TRUE(key->WriteText("空", ""));
  TextRead r = key->ReadText("WallPath0");
  EXPECT_EQ(r.status, TextStatus::kOk);
  EXPECT_EQ(r.text, "C:\\写真\\壁紙（夏）");
  EXPECT_EQ(key->ReadText("空").status, TextStatus::kOk);
  EXPECT_EQ(key->ReadText("空").text, "");
  EXPECT_EQ(key->ReadText("nothing").status, TextStatus::kMissing);

  // Written as REG_SZ in UTF-16: another program reading the raw value sees the same text.
  UniqueKey raw;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(kScratch).c_str(), 0, KEY_READ, raw.Put()), ERROR_SUCCESS);
  wchar_t buf[64] = {};
  DWORD type = 0, size = sizeof buf;
  ASSERT_EQ(RegQueryValueExW(raw.Get(), L"WallPath0", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(ToUtf8(buf), "C:\\写真\\壁紙（夏）");
}

TEST_F(RegistryWin32, ValuesOfTheWrongTypeOrSizeAreNotRead) {
  const DWORD number = 5;
  const BYTE twoBytes[2] = {1, 2};
  const wchar_t text[] = L"12";
  Raw(kScratch, "dword", REG_DWORD, &number, sizeof number);
  Raw(kScratch, "short", REG_DWORD, twoBytes, 2);
  Raw(kScratch, "text", REG_SZ, text, sizeof text);
  Raw(kScratch, "binary", REG_BINARY, twoBytes, 2);
  // A text without its terminating zero, as a hand edit may leave it.
  Raw(kScratch, "unterminated", REG_SZ, text, 2 * sizeof(wchar_t));

  auto key = reg_.Open(kScratch, false);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadInt("dword"), 5);
  EXPECT_EQ(key->ReadInt("short"), std::nullopt);
  EXPECT_EQ(key->ReadInt("text"), std::nullopt);
  EXPECT_EQ(key->ReadText("dword").status, TextStatus::kWrongType);
  EXPECT_EQ(key->ReadText("binary").status, TextStatus::kWrongType);
  EXPECT_EQ(key->ReadText("unterminated").text, "12");
  EXPECT_EQ(key->ReadBinary("binary"), (std::vector<uint8_t>{1, 2}));
  EXPECT_EQ(key->ReadBinary("dword"), std::nullopt);
}

TEST_F(RegistryWin32, OpeningWithoutCreateLeavesAMissingKeyMissing) {
  EXPECT_EQ(reg_.Open("Software\\VorelTest\\Registry\\Nope", false), nullptr);
  UniqueKey probe;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VorelTest\\Registry\\Nope", 0, KEY_READ, probe.Put()),
            ERROR_SUCCESS);
  EXPECT_NE(reg_.Open("Software\\VorelTest\\Registry\\Made", true), nullptr);
}

TEST_F(RegistryWin32, SettingsLoadOnAnEmptyKeyWritesBackAndSaveRoundTrips) {
  LoadContext ctx{testing::ExeFolder(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  Settings s = LoadSettings(ProgramKind::kVorelset, reg_, ctx);
  EXPECT_EQ(s.wallFile, testing::ExeFolder() + "WallPaper.bmp");
  EXPECT_EQ(s.screenWidth, 1024);

  auto key = reg_.Open("Software\\Brelkin\\Vorel", false);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadInt("WallNum"), 0);
  EXPECT_EQ(key->ReadInt("FileNum"), 0);
  EXPECT_EQ(key->ReadText("WallFile").text, s.wallFile);

  s.folders = {{"C:\\写真", "全て", "30", "タイル", "する", "右下"}};
  s.pictures = {{"C:\\絵.bmp", "標準", "中央", "しない", "左上"}};
  s.fonts[kFontYear].name = "ＭＳ Ｐゴシック";
  s.inOrder = true;
  ASSERT_TRUE(SaveSettings(s, reg_));
  EXPECT_EQ(LoadSettings(ProgramKind::kVorelset, reg_, ctx), s);

  // Vorelrun reads the same key.
  Settings run = LoadSettings(ProgramKind::kVorelrun, reg_, ctx);
  EXPECT_TRUE(run.inOrder);
  ASSERT_EQ(run.folders.size(), 1u);
  EXPECT_EQ(run.folders[0].path, "C:\\写真");
  EXPECT_EQ(run.folders[0].displayTime, "標準");
}

TEST_F(RegistryWin32, WrongTypePathInTheRealRegistrySkipsOnlyThatEntry) {
  auto key = reg_.Open("Software\\Brelkin\\Vorel", true);
  ASSERT_TRUE(key);
  key->WriteInt("FileNum", 3);
  key->WriteText("WallFile0", "a.bmp");
  const DWORD bad = 1;
  Raw("Software\\Brelkin\\Vorel", "WallFile1", REG_DWORD, &bad, sizeof bad);
  key->WriteText("WallFile2", "c.bmp");
  key.reset();
  Settings s = LoadSettings(ProgramKind::kVorelset, reg_, {"C:\\", 1024, 768});
  ASSERT_EQ(s.pictures.size(), 2u);
  EXPECT_EQ(s.pictures[1].path, "c.bmp");
}

}  // namespace
}  // namespace vorel
