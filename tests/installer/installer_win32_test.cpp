// The installer of this tree (installer\VorelSetup-test.exe: the shipped script, a 64-bit
// program in the 64-bit tree) run silently in the session's fresh prefix, as a new user's first
// install and over configurations already there (an upgrade from the second install on). The
// settings key is compared value by value and byte by byte, and the installed Vorelset's first
// change is looked at on the desktop.
#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/settings.h"
#include "engine/settings_store.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "tests/fixtures/wine_test_support.h"
#include "tests/resident/running_vorelset.h"

namespace vorel {
namespace {

using testing::WaitFor;

constexpr wchar_t kKey[] = L"Software\\Brelkin\\Vorel";

struct StoredValue {
  std::wstring name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  bool operator==(const StoredValue&) const = default;
};

StoredValue Dword(const std::wstring& name, DWORD value) {
  const auto* bytes = reinterpret_cast<const BYTE*>(&value);
  return {name, REG_DWORD, {bytes, bytes + sizeof(value)}};
}

StoredValue Text(const std::wstring& name, const std::string& text) {
  const std::wstring wide = ToWide(text);
  const auto* bytes = reinterpret_cast<const BYTE*>(wide.c_str());
  return {name, REG_SZ, {bytes, bytes + (wide.size() + 1) * sizeof(wchar_t)}};
}

// Every value of the settings key as stored, in the order of their names.
std::vector<StoredValue> KeyValues() {
  std::vector<StoredValue> values;
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) return values;
  const UniqueKey key(raw);
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameChars = 256;
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegEnumValueW(key.Get(), index, name, &nameChars, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) break;
    StoredValue value{std::wstring(name, nameChars), type, std::vector<BYTE>(bytes)};
    nameChars = 256;
    RegEnumValueW(key.Get(), index, name, &nameChars, nullptr, &type, value.data.data(), &bytes);
    values.push_back(std::move(value));
  }
  std::sort(values.begin(), values.end(), [](const StoredValue& a, const StoredValue& b) { return a.name < b.name; });
  return values;
}

void PutValues(const std::vector<StoredValue>& values) {
  testing::DeleteUserKey(kSettingsKeyPath);
  HKEY raw = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr), ERROR_SUCCESS);
  const UniqueKey key(raw);
  for (const StoredValue& v : values)
    ASSERT_EQ(RegSetValueExW(key.Get(), v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size())),
              ERROR_SUCCESS);
}

std::string Describe(const std::vector<StoredValue>& values) {
  std::string text;
  for (const StoredValue& v : values) text += " " + ToUtf8(v.name) + "(" + std::to_string(v.type) + ")";
  return text;
}

std::string KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = ToUtf8(path);
  CoTaskMemFree(path);
  return folder;
}

std::string InstallFolder() { return KnownFolder(FOLDERID_LocalAppData) + "\\Programs\\Vorel"; }

testing::ProgramRun InstallSilently() {
  return testing::RunProgram("\"" + testing::ExeFolder() + "..\\..\\installer\\VorelSetup-test.exe\" /S", 180000);
}

// The entry the option writes for a Pictures folder: all subfolders, every override "標準".
std::vector<StoredValue> PicturesEntry(const std::string& folder) {
  return {Text(L"WallPath0", folder),        Text(L"WallPosi0", kStandard), Text(L"WallSize0", kStandard),
          Text(L"WallSub0", kSubfoldersAll), Text(L"WallTile0", kStandard), Text(L"WallTime0", kStandard)};
}

std::vector<StoredValue> Sorted(std::vector<StoredValue> values) {
  std::sort(values.begin(), values.end(), [](const StoredValue& a, const StoredValue& b) { return a.name < b.name; });
  return values;
}

// A new user whose Pictures folder Windows keeps elsewhere than the profile's default (as a
// folder moved to another drive): the installer asks Windows for it, the settings store reads
// the entry it writes, and the installed Vorelset's first change puts the photo found two levels
// down on the desktop and tells where it lives.
TEST(InstallerWin32, ANewUserGetsThePicturesFolderAndItsPhotoAtTheFirstChange) {
  const testing::TempFolder temp;
  const std::string pictures = temp.File("写真 ライブラリ");
  const std::string photo = pictures + "\\旅行\\港.jpg";
  ASSERT_TRUE(CreateDirectoryW(ToWide(pictures).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(ToWide(pictures + "\\旅行").c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(ToWide(testing::FixturePath("pictures\\baseline.jpg")).c_str(), ToWide(photo).c_str(), FALSE));
  const std::wstring widePictures = ToWide(pictures);
  ASSERT_EQ(
      RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                      L"My Pictures", REG_EXPAND_SZ, widePictures.c_str(),
                      static_cast<DWORD>((widePictures.size() + 1) * sizeof(wchar_t))),
      ERROR_SUCCESS);
  ASSERT_EQ(KnownFolder(FOLDERID_Pictures), pictures);
  testing::DeleteUserKey(kSettingsKeyPath);

  const testing::ProgramRun install = InstallSilently();
  ASSERT_TRUE(install.finished);
  EXPECT_EQ(install.exitCode, 0u);
  std::vector<StoredValue> expected = PicturesEntry(pictures);
  expected.push_back(Dword(L"WallNum", 1));
  EXPECT_EQ(KeyValues(), Sorted(expected)) << Describe(KeyValues());
  // A silent install starts nothing.
  EXPECT_EQ(FindWindowW(kTrayFormClass, nullptr), nullptr);

  Win32Registry registry;
  const Settings loaded = LoadSettings(ProgramKind::kVorelset, registry, {InstallFolder() + "\\", 1024, 768, 96});
  FolderEntry entry;
  entry.path = pictures;
  entry.subfolders = kSubfoldersAll;
  EXPECT_EQ(loaded.folders, std::vector<FolderEntry>{entry});
  EXPECT_TRUE(loaded.pictures.empty());

  testing::RunningVorelset vorelset;
  ASSERT_TRUE(vorelset.Start(InstallFolder() + "\\Vorelset.exe"));
  // The finish page's second step: the installed program's command line hands it the change.
  const testing::ProgramRun next = testing::RunProgram("\"" + InstallFolder() + "\\Vorelset.exe\" /next");
  ASSERT_TRUE(next.finished);
  EXPECT_EQ(next.exitCode, 0u);
  // The photo tiles the screen around the copy in the screen's centre (the position "中央");
  // the calendar is far from there.
  const std::string wallFile = InstallFolder() + "\\WallPaper.bmp";
  const Picture reference = testing::ReadBmpFile(testing::FixturePath("pictures\\ref-baseline.bmp"));
  ASSERT_FALSE(reference.Empty());
  int largest = 256;
  const auto photoShown = [&] {
    const Picture wall = testing::ReadBmpFile(wallFile);
    if (wall.width < reference.width || wall.height < reference.height) return false;
    const int32_t left = (wall.width - reference.width) / 2;
    const int32_t top = (wall.height - reference.height) / 2;
    largest = 0;
    for (int32_t y = 0; y < reference.height; ++y)
      for (int32_t x = 0; x < reference.width; ++x)
        for (const int shift : {0, 8, 16})
          largest = std::max(largest, std::abs(static_cast<int>((wall.At(left + x, top + y) >> shift) & 0xFF) -
                                               static_cast<int>((reference.At(x, y) >> shift) & 0xFF)));
    return largest <= 3;
  };
  EXPECT_TRUE(WaitFor(photoShown, 60000)) << "largest difference " << largest;
  EXPECT_EQ(testing::DesktopValue("Wallpaper"), wallFile);
  // The first run found pictures: the hint of where Vorel lives was shown, once.
  EXPECT_TRUE(WaitFor([&registry] { return LoadHintShown(registry) == 1u; }));
  EXPECT_EQ(vorelset.Close(), 0u);
}

// Configurations already in the key, each installed over (the first a fresh install, the
// others upgrades): one that names a folder or a file, or a count someone wrote in another
// form, is left byte for byte; lists that are empty get the Pictures folder and nothing else
// changes.
TEST(InstallerWin32, AnExistingConfigurationIsLeftByteForByte) {
  const std::string pictures = KnownFolder(FOLDERID_Pictures);
  ASSERT_FALSE(pictures.empty());
  const std::vector<BYTE> eightZeros(8, 0);
  struct Configuration {
    const char* name;
    std::vector<StoredValue> values;
    bool getsPictures;
  };
  const std::vector<Configuration> configurations = {
      {"folders and settings",
       {Dword(L"WallNum", 2), Text(L"WallPath0", "D:\\写真"), Text(L"WallSub0", kSubfoldersOneLevel),
        Text(L"WallPath1", "E:\\絵"), Dword(L"FileNum", 0), Dword(L"DelayTime", 7), Dword(L"Order", 3),
        Dword(L"HintShown", 1)},
       false},
      {"a file and no folder", {Dword(L"FileNum", 1), Text(L"WallFile0", "C:\\絵\\朝.jpg")}, false},
      {"files and a folder count of 0", {Dword(L"WallNum", 0), Dword(L"FileNum", 2)}, false},
      {"a count written as text", {Text(L"WallNum", "1"), Dword(L"FileNum", 0)}, false},
      {"a count of eight bytes", {StoredValue{L"WallNum", REG_BINARY, eightZeros}}, false},
      {"empty lists and other settings",
       {Dword(L"WallNum", 0), Dword(L"FileNum", 0), Dword(L"DelayTime", 7), Text(L"WallPath0", "C:\\前の")},
       true},
      {"no lists yet", {Dword(L"Tile", 0)}, true},
  };
  for (const Configuration& c : configurations) {
    SCOPED_TRACE(c.name);
    PutValues(c.values);
    const std::vector<StoredValue> before = KeyValues();
    const testing::ProgramRun install = InstallSilently();
    ASSERT_TRUE(install.finished);
    EXPECT_EQ(install.exitCode, 0u);
    std::vector<StoredValue> expected = before;
    if (c.getsPictures) {
      std::vector<StoredValue> entry = PicturesEntry(pictures);
      entry.push_back(Dword(L"WallNum", 1));
      for (const StoredValue& v : entry) {
        std::erase_if(expected, [&v](const StoredValue& old) { return old.name == v.name; });
        expected.push_back(v);
      }
    }
    EXPECT_EQ(KeyValues(), Sorted(expected)) << Describe(KeyValues());
  }
}

}  // namespace
}  // namespace vorel
